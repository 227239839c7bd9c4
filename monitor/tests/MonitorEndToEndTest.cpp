// The live view and the diagnosis against the ecu-sim program on a real
// pseudo-terminal, through the program's own link library: the engine warms
// and changes over to gas on screen, the session is recorded as the engine
// ran, and a lean probe trips its check, which the window clears.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <set>
#include <vector>

#include "ColourCell.h"
#include "ConfCar.h"
#include "Diagnosi.h"
#include "FormContext.h"
#include "LogReader.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "RealLink.h"
#include "SessionRecorder.h"
#include "VirtualEcuProcess.h"
#include "Visualizza.h"
#include "WindowTestSupport.h"

namespace {

// A screenshot named after the dictionary language it shows, taken once the
// events still queued are handled, so it has the newest sample on it.
void ScreenshotInLanguage(QWidget* window, const QString& name) {
  if (qEnvironmentVariable("MV_SCREENSHOTS").isEmpty()) return;
  QCoreApplication::processEvents();
  Screenshot(window, name + "-" + qEnvironmentVariable("MV_LANGUAGE", "ITALIANO"));
}

constexpr int kWaitMs = 15000;

// Calls step every interval until done says yes or the time is up.
bool Within(int ms, const std::function<void()>& step, const std::function<bool()>& done,
            int interval = 20) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    step();
    if (done()) return true;
    QTest::qWait(interval);
  }
  return false;
}


}  // namespace

class MonitorEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void liveViewShowsWarmingAndChangeOver();
  void liveViewRecordsTheEngineAndAWrite();
  void diagnosisShowsATrippedCheckAndClearsIt();
  void fasterRateRecordsMorePollsWithTheSlowBlock();

};

void MonitorEndToEndTest::liveViewShowsWarmingAndChangeOver() {
  SimulatedEcuSession session(QStringLiteral("live"),
                              {QStringLiteral("--time-scale"), QStringLiteral("10")});
  QVERIFY2(session.Ready(), qPrintable(session.Errors()));
  session.Store().ReadAll();
  // The real dictionary, in the language MV_LANGUAGE names (Italian unless set).
  TModuloLingua lingua;
  QVERIFY(lingua.Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
  lingua.SetSelectedColumn(qEnvironmentVariable("MV_LANGUAGE", QStringLiteral("ITALIANO")));
  FormContext context = session.Context();
  context.language = &lingua;
  TFormVisualizza w(context);
  w.Timer1->stop();
  w.show();
  w.Tick();
  ScreenshotInLanguage(&w, "live-petrol");
  QVERIFY(w.Display().temperature != live::kNoTemperature);
  const int firstTemperature = w.Display().temperature;
  QVERIFY(!w.Display().OnGas());
  QVERIFY(Within(kWaitMs, [&] { w.Tick(); }, [&] { return w.Display().OnGas(); }));
  QVERIFY(w.Display().temperature > firstTemperature);
  QCOMPARE(w.LabelComm->palette().color(QPalette::WindowText), QColor(Qt::red));
  QVERIFY(!w.ShapeMin->isHidden());
  // The needle and the bar move with the engine.
  QVERIFY(Within(kWaitMs, [&] { w.Tick(); }, [&] { return w.Display().rpm > 2000; }));
  QVERIFY(w.Display().lambdaStatus != 0);
  ScreenshotInLanguage(&w, "live-gas");
  const QStringList log = session.Sim().Log();
  QVERIFY(log.contains(QStringLiteral("LIVE 0")) && log.contains(QStringLiteral("LIVE 1")));
  for (const QString& line : log) QVERIFY2(!line.startsWith("WRITE"), qPrintable(line));
}

// A few seconds of the live view leave a log: its RPM channel is the engine
// the virtual ECU runs (held at 2500 rpm after its start) as the view showed
// it poll by poll, and the write made meanwhile is a marker.
void MonitorEndToEndTest::liveViewRecordsTheEngineAndAWrite() {
  SimulatedEcuSession session(QStringLiteral("recorded"),
                              {QStringLiteral("--time-scale"), QStringLiteral("10"),
                               QStringLiteral("--drive"), QStringLiteral("petrol/2500:600")});
  QVERIFY2(session.Ready(), qPrintable(session.Errors()));
  session.Store().ReadAll();
  QTemporaryDir logs;
  FormContext context = session.Context();
  context.sessionLogFolder = logs.filePath(QStringLiteral("ecu-18-0-0-23")).toStdString();
  std::filesystem::path file;
  std::vector<int> shown;
  {
    ScopedMessageBoxCapture boxes;  // no dictionary here
    TFormVisualizza w(context);
    w.Timer1->stop();
    w.show();
    file = w.Recorder()->File();
    const auto tick = [&] {
      w.Tick();
      shown.push_back(w.Display().rpm);
    };
    QVERIFY(Within(kWaitMs, tick, [&] { return w.Display().rpm == 2500; }, 100));
    QCOMPARE(session.Store().SetValue(56, 3000), 1);
    for (int k = 0; k < 10; ++k) {
      tick();
      QTest::qWait(100);
    }
    QVERIFY(w.Recorder()->Recording());
  }
  QVERIFY(session.Sim().Log().contains(QStringLiteral("WRITE 56 0 40")));

  const logging::ReadResult read = logging::ReadLog(file);
  QVERIFY2(read.ok, read.error.c_str());
  const logging::Log& log = read.log;
  QCOMPARE(log.Records(), shown.size());
  const int rpm = log.ChannelIndex("RPM");
  for (std::size_t r = 0; r < shown.size(); ++r) QCOMPARE(int(log.Value(r, rpm)), shown[r]);
  QCOMPARE(int(log.Value(log.Records() - 1, rpm)), 2500);
  QCOMPARE(log.markers.size(), std::size_t{1});
  QCOMPARE(log.markers[0].text, std::string("56 \u2192 3000"));
  QVERIFY(log.markers[0].time > log.times[0] && log.markers[0].time < log.times.back());
}

void MonitorEndToEndTest::diagnosisShowsATrippedCheckAndClearsIt() {
  SimulatedEcuSession session(QStringLiteral("diagnosis"),
                              {QStringLiteral("--time-scale"), QStringLiteral("20"),
                               QStringLiteral("--probe-fault"), QStringLiteral("lean")});
  QVERIFY2(session.Ready(), qPrintable(session.Errors()));
  session.Store().ReadAll();
  VirtualEcuProcess& sim = session.Sim();
  ScopedMessageBoxCapture boxes;  // no dictionary here
  TFormDiagnosi w(session.Context());
  w.Timer1->stop();
  w.show();
  QVERIFY(!w.CheckBox2->isChecked());
  QTest::mouseClick(w.CheckBox2, Qt::LeftButton);
  QVERIFY(w.CheckBox2->isChecked());
  QVERIFY(sim.Log().contains(QStringLiteral("WRITE 52 0 2")));
  const QString ok = w.LabelStato2->text();
  QVERIFY(Within(kWaitMs, [&] { w.Tick(); }, [&] { return (w.ErrorFlags() & 2) != 0; }, 200));
  QVERIFY(w.LabelStato2->text() != ok);
  QCOMPARE(w.LabelStato1->text(), ok);

  QTest::mouseClick(w.ButtonReset, Qt::LeftButton);
  QCOMPARE(w.LabelStato2->text(), QStringLiteral("OK"));
  QVERIFY(sim.Log().contains(QStringLiteral("WRITE 53 0 0")));
  // The probe is still lean: the ECU records it again and the window shows it.
  QVERIFY(Within(kWaitMs, [&] { w.Tick(); }, [&] { return (w.ErrorFlags() & 2) != 0; }, 200));
}

// The view's own timers against the virtual ECU: two seconds at ten polls
// a second, then two at fifty. The fast part of the log holds clearly more
// records a second, the view keeps drawing, and the slow block still comes
// in its rhythm (the gas temperature of the warming engine moves in it).
void MonitorEndToEndTest::fasterRateRecordsMorePollsWithTheSlowBlock() {
  SimulatedEcuSession session(QStringLiteral("rate"),
                              {QStringLiteral("--time-scale"), QStringLiteral("20")});
  QVERIFY2(session.Ready(), qPrintable(session.Errors()));
  session.Store().ReadAll();
  QTemporaryDir logs;
  FormContext context = session.Context();
  context.sessionLogFolder = logs.filePath(QStringLiteral("ecu-18-0-0-23")).toStdString();
  std::filesystem::path file;
  std::uint64_t atTen = 0;
  std::uint64_t atFifty = 0;
  {
    ScopedMessageBoxCapture boxes;  // no dictionary here
    TFormVisualizza w(context);
    w.show();
    file = w.Recorder()->File();
    QTest::qWait(2000);
    atTen = w.Recorder()->Records();
    emit w.ComboFrequenza->activated(2);
    QCOMPARE(w.RecordingRate(), 50);
    const int rpmBefore = w.Display().rpm;
    QVERIFY(Within(kWaitMs, [] {}, [&] { return w.Display().rpm != rpmBefore; }));
    QTest::qWait(2000);
    atFifty = w.Recorder()->Records() - atTen;
  }
  qInfo("%llu records in two seconds at 10 Hz, %llu at 50 Hz", static_cast<unsigned long long>(atTen),
        static_cast<unsigned long long>(atFifty));
  QVERIFY2(atFifty >= 2 * atTen, qPrintable(QStringLiteral("%1 records at 10 Hz, %2 at 50 Hz")
                                                .arg(atTen)
                                                .arg(atFifty)));
  const logging::ReadResult read = logging::ReadLog(file);
  QVERIFY2(read.ok, read.error.c_str());
  const int temperature = read.log.ChannelIndex("Gas temp");
  std::set<double> seen;
  for (std::size_t r = atTen; r < read.log.Records(); ++r)
    seen.insert(read.log.Value(r, temperature));
  QVERIFY2(seen.size() >= 2, "the gas temperature never moved at fifty polls a second");
}

QTEST_MAIN(MonitorEndToEndTest)
#include "MonitorEndToEndTest.moc"
