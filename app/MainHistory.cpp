// The main window's word about the history of the ECU: a snapshot or journal
// line that could not be kept is said in the status bar, which otherwise
// stays hidden, and the bar hides again once the message has gone.
#include <QStatusBar>

#include "FormMain.h"

void TFormMain::ReportInStatusBar(const QString& text) {
  constexpr int kShownMs = 30000;
  QStatusBar* bar = statusBar();
  if (!bar->property("hidesWhenQuiet").toBool()) {
    bar->setProperty("hidesWhenQuiet", true);
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
      if (message.isEmpty()) bar->hide();
    });
  }
  bar->show();
  bar->showMessage(text, kShownMs);
}
