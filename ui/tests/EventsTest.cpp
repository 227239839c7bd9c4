// The two notifications: the connection state may arrive from the link's own
// thread and reaches the window active when it is delivered; the progress goes
// at once to the active window.
#include <QTest>
#include <QWidget>
#include <thread>

#include "Events.h"

namespace {
class RecordingWindow : public QWidget {
 public:
  QList<bool> states;
  QList<QPair<int, bool>> progress;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == kConnectionStateEventType) {
      states.append(static_cast<ConnectionStateEvent*>(event)->Connected());
      return true;
    }
    if (event->type() == kProgressEventType) {
      const auto* p = static_cast<ProgressEvent*>(event);
      progress.append({p->Percent(), p->Add()});
      return true;
    }
    return QWidget::event(event);
  }
};

void MakeActive(QWidget& window) {
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
}
}  // namespace

class EventsTest : public QObject {
  Q_OBJECT

 private slots:
  void ConnectionStateFromAnotherThreadReachesTheActiveWindow() {
    RecordingWindow window;
    MakeActive(window);
    ConnectionStateRelay relay;
    std::thread link([&relay] {
      relay.ConnectionChanged(true);
      relay.ConnectionChanged(false);
    });
    link.join();
    // Nothing arrives until the user-interface thread delivers it, in order.
    QVERIFY(window.states.isEmpty());
    QTRY_COMPARE(window.states, (QList<bool>{true, false}));
  }

  void ProgressIsSentAtOnce() {
    RecordingWindow window;
    MakeActive(window);
    SendProgressToActiveWindow(9, true);
    SendProgressToActiveWindow(100, false);
    QCOMPARE(window.progress, (QList<QPair<int, bool>>{{9, true}, {100, false}}));
  }
};

QTEST_MAIN(EventsTest)
#include "EventsTest.moc"
