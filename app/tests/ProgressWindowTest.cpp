// The progress window and the wait banner: the bar and its text after a run of
// progress events (clamping included), events that go to another window, the
// full read's progress arriving through the store while the window is on
// screen at start-up and at a manual connection, and the idle moment that
// closes whichever window start-up made.
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "Attendere.h"
#include "Events.h"
#include "FormMain.h"
#include "ProgressRecorder.h"
#include "ShellFixture.h"

namespace {
void Send(QWidget* window, const QString& step) {
  const bool add = !step.startsWith(QLatin1Char('='));
  ProgressEvent event((add ? step : step.mid(1)).toInt(), add);
  QCoreApplication::sendEvent(window, &event);
}
}  // namespace

class ProgressWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void FreshWindowIsEmpty() {
    TFormAttesa window;
    QCOMPARE(window.ProgressBar1->value(), 0);
    QCOMPARE(window.Label2->text(), QString());
    QVERIFY(window.Button1->isHidden());
    QVERIFY(!window.Button1->isEnabled());
    QCOMPARE(window.size(), QSize(400, 92));
  }

  // Steps: "+n" or "-n" add, "=n" sets.
  void FollowsTheProgressEvents_data() {
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("position");
    QStringList elevenNines;
    for (int i = 0; i < 11; ++i) elevenNines << QStringLiteral("+9");
    QTest::newRow("eleven steps of 9") << elevenNines << 99;
    QTest::newRow("then an absolute 100") << (elevenNines << QStringLiteral("=100")) << 100;
    QTest::newRow("a step past 100") << QStringList{"=95", "+9"} << 100;
    QTest::newRow("set above 100") << QStringList{"=150"} << 100;
    QTest::newRow("set below 0") << QStringList{"=40", "=-5"} << 0;
    QTest::newRow("a step below 0") << QStringList{"=10", "-20"} << 0;
    QTest::newRow("set after steps") << QStringList{"+9", "+9", "=50"} << 50;
  }
  void FollowsTheProgressEvents() {
    QFETCH(QStringList, steps);
    QFETCH(int, position);
    TFormAttesa window;
    window.SetCompletionText(QStringLiteral("completato"));
    window.show();
    for (const QString& step : steps) Send(&window, step);
    QCOMPARE(window.ProgressBar1->value(), position);
    QCOMPARE(window.Label2->text(), QString::number(position) + QStringLiteral("% completato"));
  }

  void EventForAnotherWindowDoesNotReachIt() {
    TFormAttesa progress;
    progress.ShowAndPaint();
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QCOMPARE(QApplication::activeWindow(), &other);

    SendProgressToActiveWindow(50, false);

    QCOMPARE(progress.ProgressBar1->value(), 0);
    QCOMPARE(progress.Label2->text(), QString());
  }

  // The start-up progress window follows the whole read, with its dictionary
  // texts, and the first idle moment closes it.
  void StartupReadIsFollowedThenClosed() {
    ShellFixture f;
    ProgressRecorder recorder;
    f.Start();

    QCOMPARE(recorder.texts, FullReadTexts(f.Text("MessCompletato")));
    QVERIFY(recorder.allShown);
    auto* window = f.main->findChild<TFormAttesa*>();
    QVERIFY(window != nullptr);
    QCOMPARE(window->windowTitle(), f.Text("FinestraCaricaDati"));
    QCOMPARE(window->Label1->text(), f.Text("LabelCaricaDati"));
    QVERIFY(!window->windowTitle().isEmpty());
    QTRY_VERIFY(f.main->findChild<TFormAttesa*>() == nullptr);
  }

  void ManualReadIsFollowedThenClosed() {
    ShellFixture f;
    f.Start();
    f.main->show();
    QTRY_VERIFY(f.main->findChild<TFormAttesa*>() == nullptr);
    ProgressRecorder recorder;

    f.Action("ActionConnetti")->trigger();

    QCOMPARE(recorder.texts, FullReadTexts(f.Text("MessCompletato")));
    QVERIFY(recorder.allShown);
    auto* window = f.main->findChild<TFormAttesa*>();
    QVERIFY(window == nullptr || !window->isVisible());
  }

  void DemoShowsTheBannerUntilIdle() {
    ShellFixture f;
    f.Start({QStringLiteral("/demo")});
    QVERIFY(f.main->findChild<TFormAttesa*>() == nullptr);
    auto* banner = f.main->findChild<TFormAttendere*>();
    QVERIFY(banner != nullptr);
    QVERIFY(banner->isVisible());
    QCOMPARE(banner->LabelAttendere->text(), f.Text("LabelAttendere"));
    QVERIFY(banner->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QTRY_VERIFY(f.main->findChild<TFormAttendere*>() == nullptr);
  }
};

QTEST_MAIN(ProgressWindowTest)
#include "ProgressWindowTest.moc"
