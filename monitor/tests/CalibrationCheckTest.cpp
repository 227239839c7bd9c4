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
#include "LambdaPairChart.h"
#include "ModuloLingua.h"
#include "RecordingLink.h"
#include "ResultFile.h"
#include "Scaling.h"
#include "RealLink.h"
#include "SyntheticDrive.h"
#include "Verifica.h"
#include "WindowTestSupport.h"

namespace {

using calibration::Step;
using calibration::testing::Recording;
using calibration::testing::Wave;

void Screenshot(QWidget* window, const QString& name) {
  const QString folder = qEnvironmentVariable("MV_SCREENSHOTS");
  if (!folder.isEmpty()) window->grab().save(QDir(folder).filePath(name + ".png"));
}

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

}  // namespace

class CalibrationCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void guidesThroughAWholeCheck();
  void recordingResultIsKeptBesideTheLog();
  void unwritableResultIsSaid();
  void englishTextsAndScreenSizes();
  void livePollingFollowsTheEngine();

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
  QTRY_VERIFY_WITH_TIMEOUT(w->BarraFase[0]->value() >= 2, 15000);
  QCOMPARE(w->CurrentStep(), Step::IdlePetrol);
  QVERIFY(w->LabelEsito[0]->text().contains(QStringLiteral("Dati insufficienti")));
}

QTEST_MAIN(CalibrationCheckTest)
#include "CalibrationCheckTest.moc"
