// TFormVerifica on the offscreen platform: guided through a whole check from
// samples (steps, progress, verdicts side by side, markers' signal), a
// recording's result kept beside its log, the dictionary's texts, and the
// live path against the virtual ECU program on a bench test.
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "ConfCar.h"
#include "FormContext.h"
#include "FromLog.h"
#include "LogReader.h"
#include "Grafico.h"
#include "Visualizza.h"
#include "MessageBoxes.h"
#include "LambdaPairChart.h"
#include "ModuloLingua.h"
#include "RecordingLink.h"
#include "ResultFile.h"
#include "Scaling.h"
#include "RealLink.h"
#include "SyntheticDrive.h"
#include "SyntheticLog.h"
#include "Verifica.h"
#include "WindowTestSupport.h"

namespace {

using calibration::Step;
using calibration::testing::Recording;
using calibration::testing::Wave;

// A bench test whose gas runs lean: the probe stuck low, the actuator at its
// upper limit at 2500 rpm.
Recording LeanBenchTest() {
  Recording r;
  r.Phase(false, 800, 25).Phase(false, 2500, 25);
  r.Phase(true, 800, 25, {0.08, 0.08, 0, 1});
  r.Phase(true, 2500, 25, {0.08, 0.08, 0, 1}, [](calibration::Sample& s) {
    s.actuator = 255;
    s.upperLimit = true;
  });
  return r;
}

// The lean bench test as the recorder writes it.
bool WriteLeanLog(const QString& path) {
  std::string error;
  const bool written = calibration::testing::WriteLog(path.toStdString(), LeanBenchTest().samples, &error);
  if (!written) qWarning("%s", error.c_str());
  return written;
}

// The markers of a session log, in order; none when it cannot be read.
QStringList MarkersOf(const QString& log) {
  const logging::ReadResult read = logging::ReadLog(log.toStdString());
  if (!read.ok) qWarning("%s", read.error.c_str());
  QStringList markers;
  for (const auto& marker : read.log.markers) markers << QString::fromStdString(marker.text);
  return markers;
}

}  // namespace

class CalibrationCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void guidesThroughAWholeCheck();
  void recordingResultIsKeptBesideTheLog();
  void unwritableResultIsSaid();
  void opensALogAndRefusesAFileThatIsNone();
  void chartOffersTheCheckOfItsRecording();
  void englishTextsAndScreenSizes();
  void livePollingFollowsTheEngine();
  void stepsAreMarkedInTheSessionLog();
  void petrolStepsOnGasAskToSwitchBack();

 private:
  std::unique_ptr<TFormVerifica> MakeWindow(ecu::EcuLink* link = nullptr);

  RecordingLink link_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<TModuloLingua> lingua_;
};

void CalibrationCheckTest::init() {
  OverrideScreenWidth(800);
  link_ = RecordingLink();
  store_ = std::make_unique<ConfCar>("x.dmr", &link_);
  lingua_ = std::make_unique<TModuloLingua>();
  QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
  lingua_->SetSelectedColumn("ITALIANO");
}

std::unique_ptr<TFormVerifica> CalibrationCheckTest::MakeWindow(ecu::EcuLink* link) {
  FormContext context;
  context.store = store_.get();
  context.link = link;
  context.language = lingua_.get();
  return std::make_unique<TFormVerifica>(context);
}

void CalibrationCheckTest::guidesThroughAWholeCheck() {
  auto w = MakeWindow();
  QSignalSpy steps(w.get(), &TFormVerifica::StepChanged);
  const Recording r = LeanBenchTest();
  QString idlePetrolHalfway;
  for (std::size_t i = 0; i < r.samples.size(); ++i) {
    w->AddSample(r.samples[i]);
    if (i == 120) idlePetrolHalfway = w->LabelVerificaPasso->text();  // 12 s into idle on petrol
  }
  QCOMPARE(idlePetrolHalfway, QStringLiteral("A benzina: tenere il motore al minimo"));
  QList<Step> seen;
  for (const auto& args : steps) seen << args.at(0).value<Step>();
  const QList<Step> expected = {Step::IdlePetrol, Step::PartLoadPetrol, Step::SwitchToGas,
                                Step::IdleGas, Step::PartLoadGas, Step::Done};
  QCOMPARE(seen, expected);
  QCOMPARE(w->LabelVerificaPasso->text(), QStringLiteral("Verifica completata"));
  for (QProgressBar* bar : w->BarraFase) QCOMPARE(bar->value(), 20);
  // Verdicts side by side: petrol OK in both bands, gas lean at idle and
  // the actuator at its upper limit at 2500 rpm.
  QVERIFY(w->LabelEsito[0]->text().contains(QStringLiteral("OK")));
  QVERIFY(w->LabelEsito[1]->text().contains(QStringLiteral("Magro a gas")));
  QVERIFY(w->LabelEsito[1]->text().contains(QStringLiteral("Arricchire")));
  QVERIFY(w->LabelEsito[2]->text().contains(QStringLiteral("OK")));
  QVERIFY(w->LabelEsito[3]->text().contains(QStringLiteral("Attuatore al limite superiore")));
  // The chart: petrol switching, gas held at the lean end.
  QVERIFY(!w->GraficoLambda->Petrol().empty() && !w->GraficoLambda->Gas().empty());
  QVERIFY(*std::max_element(w->GraficoLambda->Gas().begin(), w->GraficoLambda->Gas().end()) < 0.1);
  w->show();
  Screenshot(w.get(), "calibration-check-it");
}

void CalibrationCheckTest::recordingResultIsKeptBesideTheLog() {
  QTemporaryDir folder;
  auto w = MakeWindow();
  const QString log = folder.filePath(QStringLiteral("2026-12-10_20-00-00.mlg"));
  w->ShowRecording(LeanBenchTest().samples, log);
  QCOMPARE(w->ResultFile(), folder.filePath(QStringLiteral("2026-12-10_20-00-00.check.csv")));
  std::vector<calibration::ResultRow> rows;
  std::string error;
  QVERIFY2(calibration::ReadResultFile(w->ResultFile().toStdString(), &rows, &error), error.c_str());
  QCOMPARE(rows.size(), std::size_t{4});
  QCOMPARE(rows[1].verdict, std::string("lean-on-gas"));
  QCOMPARE(rows[3].verdict, std::string("actuator-upper-limit"));
  QCOMPARE(w->CurrentStep(), Step::Done);
}

void CalibrationCheckTest::unwritableResultIsSaid() {
  auto w = MakeWindow();
  w->ShowRecording(LeanBenchTest().samples, QStringLiteral("/nonexistent-folder/drive.mlg"));
  QVERIFY(w->ResultFile().isEmpty());
  QVERIFY(w->LabelVerificaPasso->text().startsWith(
      QStringLiteral("Impossibile salvare il risultato:")));
  // The verdicts are shown all the same.
  QVERIFY(w->LabelEsito[1]->text().contains(QStringLiteral("Magro a gas")));
}

// "Open recording...": a log's check is shown and kept beside it; a file
// that is no log is refused with the reader's reason, and what was shown
// stays.
void CalibrationCheckTest::opensALogAndRefusesAFileThatIsNone() {
  QTemporaryDir folder;
  const QString log = folder.filePath(QStringLiteral("bench.mlg"));
  QVERIFY(WriteLeanLog(log));
  const QString notes = folder.filePath(QStringLiteral("notes.mlg"));
  QFile file(notes);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("not a log\n");
  file.close();

  auto w = MakeWindow();
  ScopedMessageBoxCapture boxes;
  QVERIFY(w->OpenLog(log));
  QVERIFY(boxes.Empty());
  QVERIFY(w->LabelEsito[1]->text().contains(QStringLiteral("Magro a gas")));
  QVERIFY(w->LabelEsito[3]->text().contains(QStringLiteral("Attuatore al limite superiore")));
  QCOMPARE(w->ResultFile(), folder.filePath(QStringLiteral("bench.check.csv")));
  QCOMPARE(w->windowTitle(), QStringLiteral("Verifica carburazione gas - bench.mlg"));

  for (const QString& bad : {notes, folder.filePath(QStringLiteral("missing.mlg")), folder.path()}) {
    boxes.Clear();
    QVERIFY(!w->OpenLog(bad));
    QCOMPARE(boxes.Requests().size(), 1);
    QVERIFY2(boxes.Last().text.startsWith(QStringLiteral("Impossibile aprire la registrazione:")),
             qPrintable(boxes.Last().text));
    QVERIFY(!boxes.Last().detail.isEmpty());
    QVERIFY(w->LabelEsito[1]->text().contains(QStringLiteral("Magro a gas")));
  }
}

// A recording opened in the chart can be checked from the chart's bottom
// row; a live chart offers nothing.
void CalibrationCheckTest::chartOffersTheCheckOfItsRecording() {
  QTemporaryDir folder;
  const QString log = folder.filePath(QStringLiteral("bench.mlg"));
  QVERIFY(WriteLeanLog(log));
  FormContext context;
  context.store = store_.get();
  context.language = lingua_.get();

  TFormGrafico live(context);
  TFormVerifica::OfferOn(live, context);
  QVERIFY(live.findChild<QPushButton*>(QStringLiteral("ButtonVerifica")) == nullptr);

  TFormGrafico chart(context);
  QVERIFY(chart.OpenRecording(log));
  TFormVerifica::OfferOn(chart, context);
  auto* button = chart.findChild<QPushButton*>(QStringLiteral("ButtonVerifica"));
  QVERIFY(button != nullptr);
  QCOMPARE(button->text(), QStringLiteral("Verifica &carburazione gas"));
  QString gasAtIdle;
  WhenModal<TFormVerifica>([&gasAtIdle](TFormVerifica* check) {
    gasAtIdle = check->LabelEsito[1]->text();
    check->reject();
  });
  button->click();
  QVERIFY2(gasAtIdle.contains(QStringLiteral("Magro a gas")), qPrintable(gasAtIdle));
  QVERIFY(QFile::exists(folder.filePath(QStringLiteral("bench.check.csv"))));
}

void CalibrationCheckTest::englishTextsAndScreenSizes() {
  lingua_->SetSelectedColumn("ENGLISH");
  for (int width : {800, 1024}) {
    OverrideScreenWidth(width);
    auto w = MakeWindow();
    w->ShowRecording(LeanBenchTest().samples);
    QCOMPARE(w->windowTitle(), QStringLiteral("Gas calibration check"));
    QCOMPARE(w->LabelFase[2]->text(), QStringLiteral("Idle, gas"));
    QVERIFY(w->LabelEsito[1]->text().contains(QStringLiteral("Lean on gas")));
    // Designed at 800x600 and scaled with the screen, like every window.
    const double factor = width / 800.0;
    QCOMPARE(w->size(), QSize(qRound(780 * factor), qRound(548 * factor)));
    QCOMPARE(w->ButtonEsci->geometry().right() + 1, qRound(770 * factor));
    w->show();
    Screenshot(w.get(), QStringLiteral("calibration-check-en-%1").arg(width));
  }
}

// The window's own polling against ecu-sim on a bench test: samples arrive,
// the guide asks for idle on petrol and counts its seconds.
void CalibrationCheckTest::livePollingFollowsTheEngine() {
  SimulatedEcuSession session(QStringLiteral("check"),
                              {QStringLiteral("--drive"), QStringLiteral("petrol/idle:600")});
  QVERIFY2(session.Ready(), qPrintable(session.Errors()));
  store_ = std::make_unique<ConfCar>("x.dmr", session.Link());
  auto w = MakeWindow(session.Link());
  QTemporaryDir folder;
  const QString log = folder.filePath(QStringLiteral("ecu-18-0-1-23/check.mlg"));
  QVERIFY(w->RecordInto(log));
  QTRY_VERIFY_WITH_TIMEOUT(w->BarraFase[0]->value() >= 2, 15000);
  QCOMPARE(w->CurrentStep(), Step::IdlePetrol);
  QVERIFY(w->LabelEsito[0]->text().contains(QStringLiteral("Dati insufficienti")));

  // Closing keeps the session's log, with a marker at each step, and the
  // check's result beside it.
  w->reject();
  QVERIFY(!w->Recorder().Recording());
  const logging::ReadResult read = logging::ReadLog(log.toStdString());
  QVERIFY2(read.ok, read.error.c_str());
  // Two seconds counted: some ten polls at least, however busy the machine.
  QVERIFY(read.log.Records() >= 10);
  QStringList markers;
  for (const auto& marker : read.log.markers) markers << QString::fromStdString(marker.text);
  QVERIFY2(markers.contains(QStringLiteral("check: warm up")) &&
               markers.contains(QStringLiteral("check: idle on petrol")),
           qPrintable(markers.join(QStringLiteral(" | "))));
  std::vector<calibration::ResultRow> rows;
  std::string error;
  QVERIFY2(calibration::ReadResultFile(
               folder.filePath(QStringLiteral("ecu-18-0-1-23/check.check.csv")).toStdString(),
               &rows, &error),
           error.c_str());
  QCOMPARE(rows[0].verdict, std::string("not-enough-data"));
  // The log's check agrees with the window's: the same samples, the same
  // decoding (the log keeps times to the millisecond).
  const auto fromLog = calibration::Check(calibration::SamplesOf(read.log), w->Car());
  QVERIFY(std::abs(fromLog.bands[0].petrol.validSeconds -
                   w->Result().bands[0].petrol.validSeconds) < 0.01);
}

// Markers at each change of step while a whole check is guided live.
void CalibrationCheckTest::stepsAreMarkedInTheSessionLog() {
  QTemporaryDir folder;
  const QString log = folder.filePath(QStringLiteral("check.mlg"));
  auto w = MakeWindow();
  QVERIFY(w->RecordInto(log));
  for (const calibration::Sample& sample : LeanBenchTest().samples) w->AddSample(sample);
  QVERIFY(QFile::exists(folder.filePath(QStringLiteral("check.check.csv"))));
  w->reject();
  const QStringList markers = MarkersOf(log);
  const QStringList expected = {
      QStringLiteral("check: warm up"),         QStringLiteral("check: idle on petrol"),
      QStringLiteral("check: 2500 rpm on petrol"), QStringLiteral("check: switch to gas"),
      QStringLiteral("check: idle on gas"),     QStringLiteral("check: 2500 rpm on gas"),
      QStringLiteral("check: done")};
  QCOMPARE(markers, expected);
}

// A car that runs on gas while a petrol phase is due: its samples count for
// the gas phases only, so the step's place says to switch back to petrol
// until it does; the step, and the log's markers, stay the petrol ones.
void CalibrationCheckTest::petrolStepsOnGasAskToSwitchBack() {
  struct Case {
    const char* column;
    int screenWidth;
    QString switchBack;
    QString partLoadPetrol;
  };
  const Case cases[] = {
      {"ITALIANO", 800, QStringLiteral("Il motore è a gas: commutare a benzina"),
       QStringLiteral("A benzina: tenere il motore a circa 2500 giri/min")},
      {"ENGLISH", 1024, QStringLiteral("The engine is running on gas: switch to petrol"),
       QStringLiteral("On petrol: hold the engine at about 2500 rpm")},
  };
  for (const Case& c : cases) {
    lingua_->SetSelectedColumn(c.column);
    OverrideScreenWidth(c.screenWidth);
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("check.mlg"));
    auto w = MakeWindow();
    QVERIFY(w->RecordInto(log));
    Recording r;
    const auto feed = [&w, &r](std::size_t from) {
      for (std::size_t i = from; i < r.samples.size(); ++i) w->AddSample(r.samples[i]);
    };
    r.Phase(true, 800, 10);
    feed(0);
    QCOMPARE(w->CurrentStep(), Step::IdlePetrol);
    QCOMPARE(w->LabelVerificaPasso->text(), c.switchBack);
    QCOMPARE(w->BarraFase[0]->value(), 0);
    w->show();
    Screenshot(w.get(), QStringLiteral("calibration-check-back-to-petrol-%1-%2")
                            .arg(QLatin1String(c.column))
                            .arg(c.screenWidth));
    std::size_t fed = r.samples.size();
    r.Phase(false, 800, 25);
    feed(fed);
    QCOMPARE(w->LabelVerificaPasso->text(), c.partLoadPetrol);
    fed = r.samples.size();
    r.Phase(true, 2500, 5);
    feed(fed);
    QCOMPARE(w->CurrentStep(), Step::PartLoadPetrol);
    QCOMPARE(w->LabelVerificaPasso->text(), c.switchBack);
    fed = r.samples.size();
    r.Phase(false, 2500, 25);
    feed(fed);
    QCOMPARE(w->CurrentStep(), Step::SwitchToGas);
    w->reject();
    const QStringList expected = {
        QStringLiteral("check: warm up"), QStringLiteral("check: idle on petrol"),
        QStringLiteral("check: 2500 rpm on petrol"), QStringLiteral("check: switch to gas")};
    QCOMPARE(MarkersOf(log), expected);
  }
}

QTEST_MAIN(CalibrationCheckTest)
#include "CalibrationCheckTest.moc"
