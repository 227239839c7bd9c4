// Watches the progress events of a full read: each event reaches its window
// first, then the recorder notes what the window shows. A progress event for
// any other window is noted by that window's class name between < and >.
#pragma once

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QStringList>

#include "Attendere.h"
#include "Events.h"

// Lets each progress event reach its window, then notes what the window
// shows (or, for any other window, that it was the receiver).
class ProgressRecorder : public QObject {
 public:
  QStringList texts;
  bool allShown = true;

  ProgressRecorder() { qApp->installEventFilter(this); }
  ~ProgressRecorder() override { qApp->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != kProgressEventType || delivering_) return false;
    delivering_ = true;
    QCoreApplication::sendEvent(watched, event);
    delivering_ = false;
    auto* window = qobject_cast<TFormAttesa*>(watched);
    if (window == nullptr) {
      texts.append(QStringLiteral("<") + watched->metaObject()->className() + QStringLiteral(">"));
      return true;
    }
    texts.append(window->Label2->text());
    allShown = allShown && window->isVisible();
    // With MV_SCREENSHOTS set to a folder, keeps a picture of the window mid-read.
    const QString folder = qEnvironmentVariable("MV_SCREENSHOTS");
    if (!folder.isEmpty() && window->ProgressBar1->value() == 45)
      window->grab().save(QDir(folder).filePath(QStringLiteral("progress.png")));
    return true;
  }

 private:
  bool delivering_ = false;
};

// What a full read shows: eleven steps of 9, then 100.
inline QStringList FullReadTexts(const QString& completion) {
  QStringList texts;
  for (int step = 1; step <= 11; ++step)
    texts.append(QString::number(step * 9) + QStringLiteral("% ") + completion);
  texts.append(QStringLiteral("100% ") + completion);
  return texts;
}
