// The live view and the diagnosis against the ecu-sim program on a real
// pseudo-terminal, through the program's own link library: the engine warms
// and changes over to gas on screen, and a lean probe trips its check, which
// the window clears.
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ColourCell.h"
#include "ConfCar.h"
#include "Diagnosi.h"
#include "FormContext.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "RealLink.h"
#include "VirtualEcuProcess.h"
#include "Visualizza.h"

namespace {

// With MV_SCREENSHOTS set to a folder, keeps a picture of the window there.
void Screenshot(QWidget* window, const QString& name) {
  const QString folder = qEnvironmentVariable("MV_SCREENSHOTS");
  if (folder.isEmpty()) return;
  QCoreApplication::processEvents();
  window->grab().save(QDir(folder).filePath(name + "-" +
                                            qEnvironmentVariable("MV_LANGUAGE", "ITALIANO") +
                                            ".png"));
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
  void diagnosisShowsATrippedCheckAndClearsIt();

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
  Screenshot(&w, "live-petrol");
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
  Screenshot(&w, "live-gas");
  const QStringList log = session.Sim().Log();
  QVERIFY(log.contains(QStringLiteral("LIVE 0")) && log.contains(QStringLiteral("LIVE 1")));
  for (const QString& line : log) QVERIFY2(!line.startsWith("WRITE"), qPrintable(line));
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

QTEST_MAIN(MonitorEndToEndTest)
#include "MonitorEndToEndTest.moc"
