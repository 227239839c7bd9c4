#include "ToolWindows.h"

#include <QAction>

#include "Files.h"
#include "FormMain.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "ProcessObjects.h"

// The tool windows are still to come; until each arrives its command tells
// the user so, titled with the command's own caption.
namespace {
void NotYetAvailable(TFormMain& main, int entry) {
  QAction* action = main.EntryAction(entry);
  const QString title = action != nullptr ? TModuloLingua::TextWithoutAccelerator(action->text())
                                          : main.windowTitle();
  MessageBoxes::ShowInformation(&main, QString::fromUtf8("Funzione non ancora disponibile."),
                                title);
}

// The page a configuration window opens on: the low byte of its Tag.
int PageOf(int tag) {
  return tag & 0xFF;
}
}  // namespace

namespace ToolWindows {

void OpenLiveView(TFormMain& main) {
  NotYetAvailable(main, TFormMain::kVisualizza);
}

bool OpenVehicleConfiguration(TFormMain& main) {
  NotYetAvailable(main, TFormMain::kConfVettura);
  return false;
}

int OpenOptionalConfiguration(TFormMain& main, int tag) {
  NotYetAvailable(main, TFormMain::kConfOpt);
  return PageOf(tag);
}

int OpenSoftwareConfiguration(TFormMain& main, int tag) {
  NotYetAvailable(main, TFormMain::kConfSw);
  return PageOf(tag);
}

void OpenDiagnosis(TFormMain& main) {
  NotYetAvailable(main, TFormMain::kDiagnosi);
}

void OpenOriginalIndicator(TFormMain& main) {
  NotYetAvailable(main, TFormMain::kIndicatore);
}

bool OpenFileManagement(TFormMain& main) {
  ProcessObjects& process = Process();
  if (process.store == nullptr || process.settings == nullptr) return false;
  TFormFile window(*process.store, *process.settings, process.language, &main);
  return window.exec() == QDialog::Accepted;
}

}  // namespace ToolWindows
