#include "StartupWait.h"

#include <QLabel>

#include "Attendere.h"
#include "FormMain.h"

namespace StartupWait {

QWidget* CreateWindow(TFormMain& main, bool demo) {
  if (demo) {
    auto* banner = new TFormAttendere(&main);
    banner->LabelAttendere->setText(main.MessageText(QStringLiteral("LabelAttendere")));
    banner->ShowAndPaint();
    return banner;
  }
  auto* progress = new TFormAttesa(&main);
  progress->SetTexts(main.MessageText(QStringLiteral("FinestraCaricaDati")),
                     main.MessageText(QStringLiteral("LabelCaricaDati")),
                     main.MessageText(QStringLiteral("MessCompletato")));
  progress->ShowAndPaint();
  return progress;
}

void CloseWindow(QWidget* window) {
  if (window == nullptr) return;
  QWidget* owner = window->parentWidget();
  window->close();
  delete window;
  HandActivationBack(owner);
}

}  // namespace StartupWait
