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
  progress->setWindowTitle(main.MessageText(QStringLiteral("FinestraCaricaDati")));
  progress->Label1->setText(main.MessageText(QStringLiteral("LabelCaricaDati")));
  progress->SetCompletionText(main.MessageText(QStringLiteral("MessCompletato")));
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
