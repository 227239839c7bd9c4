#include "ToolWindows.h"

#include <QFile>

#include "Confronta.h"
#include "ConnectionHistory.h"
#include "Diagnosi.h"
#include "Files.h"
#include "FormConfOpt.h"
#include "FormConfSw.h"
#include "FormContext.h"
#include "FormMain.h"
#include "FormVettura.h"
#include "History.h"
#include "Indicatore.h"
#include "ProcessObjects.h"
#include "Visualizza.h"

namespace {
// What every tool window is handed: the program's shared objects.
FormContext ContextOf(const ProcessObjects& process) {
  FormContext context;
  context.store = process.store;
  context.link = process.link;
  context.language = process.language;
  context.settings = process.settings;
  context.demoMode = process.demoMode;
  context.identification = process.identification;
  context.openLiveView = [](QWidget* over) { ToolWindows::OpenLiveView(over); };
  return context;
}

// The page a configuration window opens on: the low byte of its Tag.
int PageOf(int tag) {
  return tag & 0xFF;
}

// Shows a paged configuration window maximised and modal; the page it was
// on when it closed.
int ShowConfigurationWindow(PagedConfigWindow& window, int tag) {
  window.SetTag(tag);
  window.setWindowState(Qt::WindowMaximized);
  window.exec();
  return window.Tag();
}
}  // namespace

namespace ToolWindows {

void OpenLiveView(TFormMain& main) {
  OpenLiveView(&main);
}

void OpenLiveView(QWidget* over) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return;
  TFormVisualizza window(ContextOf(process), over);
  window.move(0, 0);
  window.exec();
}

bool OpenVehicleConfiguration(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return false;
  TFormVettura window(ContextOf(process), &main);
  window.setWindowState(window.windowState() | Qt::WindowMaximized);
  window.exec();
  return window.MemoryErased();
}

int OpenOptionalConfiguration(TFormMain& main, int tag) {
  if (Process().store == nullptr) return PageOf(tag);
  TFormConfOpt window(ContextOf(Process()), &main);
  return ShowConfigurationWindow(window, tag);
}

int OpenSoftwareConfiguration(TFormMain& main, int tag) {
  if (Process().store == nullptr) return PageOf(tag);
  TFormConfSw window(ContextOf(Process()), &main);
  return ShowConfigurationWindow(window, tag);
}

void OpenDiagnosis(TFormMain& main) {
  if (Process().store == nullptr) return;
  TFormDiagnosi window(ContextOf(Process()), &main);
  window.exec();
}

void OpenOriginalIndicator(TFormMain& main) {
  if (Process().store == nullptr) return;
  TFormIndicatore window(ContextOf(Process()), &main);
  window.exec();
}

bool OpenFileManagement(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr || process.settings == nullptr) return false;
  TFormFile window(ContextOf(process), &main);
  return window.exec() == QDialog::Accepted;
}

void OpenCompare(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return;
  const std::filesystem::path folder =
      process.history != nullptr ? process.history->Folder() : history::DefaultFolder();
  TFormConfronta window(ContextOf(process), QFile::decodeName(folder.c_str()), &main);
  window.exec();
}

}  // namespace ToolWindows
