// TFormVerifica: the gas calibration check, guided. Live, it polls the ECU
// ten times a second, tells the technician what to do next (warm up, hold
// idle and about 2,500 rpm on petrol, switch to gas, the same again), shows
// per phase the valid seconds collected and the seconds not counted with
// why, and at the end the verdicts with what to adjust, petrol beside gas,
// over a small chart of the lambda on petrol above the lambda on gas. On a
// recording holding both fuels it shows the same at once, and keeps the
// result beside the log.
#pragma once

#include <QDialog>
#include <QMetaType>
#include <QList>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "Analysis.h"
#include "EcuChannels.h"
#include "SessionRecorder.h"
#include "Guide.h"
#include "LiveBlocks.h"
#include "LivePoller.h"

struct FormContext;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class TFormGrafico;
class TModuloLingua;

namespace monitor {
class LambdaPairChart;
}

class TFormVerifica : public QDialog {
  Q_OBJECT

 public:
  // context.store supplies the car's settings; without a link the window
  // waits for a recording.
  explicit TFormVerifica(const FormContext& context, QWidget* parent = nullptr);
  ~TFormVerifica() override;

  // Live: records every poll into a log at path, with a marker at each
  // change of step, and keeps the check's result beside it when the check
  // is done and when the window closes. false when the log cannot be made
  // (the check goes on unrecorded).
  bool RecordInto(const QString& path);
  const logging::SessionRecorder& Recorder() const { return recorder_; }

  // One poll of the ECU (the timer's work while live).
  void Tick();
  // Adds a sample taken elsewhere and refreshes the window.
  void AddSample(const calibration::Sample& sample);
  // Shows the check of a whole recording; with logPath, keeps the result
  // beside it. Live polling stops.
  void ShowRecording(std::vector<calibration::Sample> samples, const QString& logPath = {});
  // Reads a log and shows its check; false, after saying why, when the file
  // cannot be read as a log (what was shown stays).
  bool OpenLog(const QString& path);
  // "Open recording...": asks for a log (in the recordings folder at first)
  // and shows its check.
  void ChooseLog();

  // Offers the check of the chart's recording in the chart's bottom row;
  // nothing while the chart is live.
  static void OfferOn(TFormGrafico& chart, const FormContext& context);

  const calibration::CheckResult& Result() const { return result_; }
  calibration::Step CurrentStep() const { return step_; }
  const calibration::CarSettings& Car() const { return car_; }
  // Where the last result was kept ("" when none was written).
  const QString& ResultFile() const { return resultFile_; }

  QLabel* LabelVerificaPasso;
  std::array<QLabel*, 4> LabelFase;        // petrol idle, petrol 2500, gas idle, gas 2500
  std::array<QProgressBar*, 4> BarraFase;
  std::array<QLabel*, 4> LabelEsclusi;
  QLabel* LabelColBenzina;
  QLabel* LabelColGas;
  std::array<QLabel*, 2> LabelBanda;       // idle, 2500
  std::array<QLabel*, 4> LabelEsito;       // idle petrol, idle gas, 2500 petrol, 2500 gas
  QLabel* LabelGraficoLambda;
  monitor::LambdaPairChart* GraficoLambda;
  QPushButton* ButtonApriLog;
  QPushButton* ButtonEsci;
  QTimer* Timer1;

 signals:
  // The guided step changed (the recording's marker goes with it).
  void StepChanged(calibration::Step step);

 private:
  void done(int result) override;
  void LoadTexts(TModuloLingua* language);
  void Refresh();
  void ShowProgress();
  void ShowVerdicts();
  void ShowChart();
  bool KeepResult(const std::string& logPath);
  void StopRecording();
  QString ExclusionText(const calibration::PhaseSummary& phase) const;
  QString VerdictText(calibration::Verdict verdict, calibration::Reason reason) const;

  calibration::CarSettings car_;
  ecu::EcuLink* link_;
  monitor::LivePoller poller_;
  logging::RecordFolder polls_;  // what the polls so far showed
  std::vector<calibration::Sample> samples_;
  calibration::CheckResult result_;
  calibration::Step step_ = calibration::Step::WarmUp;
  bool recording_ = false;  // showing a recording, not live
  logging::SessionRecorder recorder_;  // the live check's own log
  QString resultFile_;
  QString lastFolder_;  // where the last log was chosen
  QString title_;       // the window's title without a log's name

  // Texts from the dictionary (Italian until looked up).
  std::array<QString, 7> stepTexts_;
  QString switchToPetrolText_;  // in a petrol step's place while on gas
  std::array<QString, 7> verdictTexts_;
  std::array<QString, 7> adviceTexts_;
  std::array<QString, 7> reasonTexts_;
  QString coldText_, unsteadyText_, noSwitchingText_, notSavedText_;
  QString unreadableText_ = QStringLiteral("Impossibile aprire la registrazione:");
};

Q_DECLARE_METATYPE(calibration::Step)
