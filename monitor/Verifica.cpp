#include "Verifica.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cmath>

#include "ConfCar.h"
#include "FormContext.h"
#include "FromLive.h"
#include "FromLog.h"
#include "Grafico.h"
#include "History.h"
#include "LambdaPairChart.h"
#include "LogReader.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "ResultFile.h"
#include "Scaling.h"
#include "Visualizza.h"
#include "WindowTexts.h"

namespace {

using calibration::Fuel;
using calibration::Reason;
using calibration::Step;
using calibration::Verdict;

// Seconds of the latest counted samples the chart shows for each fuel.
constexpr double kChartSeconds = 10;

int Index(auto value) {
  return static_cast<int>(value);
}

const calibration::PhaseSummary& PhaseAt(const calibration::CheckResult& result, int row) {
  // Rows: petrol idle, petrol 2500, gas idle, gas 2500.
  const auto& band = result.bands[static_cast<std::size_t>(row % 2)];
  return row < 2 ? band.petrol : band.gas;
}

}  // namespace

TFormVerifica::TFormVerifica(const FormContext& context, QWidget* parent)
    : QDialog(parent), link_(context.link), poller_(context.link, context.store) {
  setObjectName(QStringLiteral("FormVerifica"));
  title_ = QStringLiteral("Verifica carburazione gas");
  // Designed at 800x600, scaled to the screen with its size fixed.
  setFixedSize(780, 548);
  if (context.store != nullptr) car_ = calibration::CarSettingsOf(*context.store);

  LabelVerificaPasso =
      ui::MakeLabel(this, QStringLiteral("LabelVerificaPasso"), {}, {10, 8, 760, 50});
  QFont big = LabelVerificaPasso->font();
  big.setPixelSize(18);
  big.setBold(true);
  LabelVerificaPasso->setFont(big);
  LabelVerificaPasso->setWordWrap(true);

  const char* phaseNames[] = {"LabelFaseMinimoBenzina", "LabelFaseGiriBenzina",
                              "LabelFaseMinimoGas", "LabelFaseGiriGas"};
  const char* phaseTexts[] = {"Minimo benzina", "2500 giri benzina", "Minimo gas",
                              "2500 giri gas"};
  for (int i = 0; i < 4; ++i) {
    const int y = 66 + 32 * i;
    LabelFase[i] = ui::MakeLabel(this, QLatin1String(phaseNames[i]),
                                 QString::fromUtf8(phaseTexts[i]), {10, y, 190, 26});
    BarraFase[i] = new QProgressBar(this);
    BarraFase[i]->setObjectName(QStringLiteral("BarraFase%1").arg(i + 1));
    BarraFase[i]->setGeometry(205, y, 280, 26);
    BarraFase[i]->setRange(0, static_cast<int>(calibration::kThresholds.minValidSeconds));
    BarraFase[i]->setFormat(QStringLiteral("%v / %m s"));
    LabelEsclusi[i] =
        ui::MakeLabel(this, QStringLiteral("LabelEsclusi%1").arg(i + 1), {}, {495, y, 275, 26});
  }

  LabelColBenzina = ui::MakeLabel(this, QStringLiteral("LabelColBenzina"),
                                  QStringLiteral("Benzina"), {150, 200, 300, 22});
  LabelColGas = ui::MakeLabel(this, QStringLiteral("LabelColGas"), QStringLiteral("Gas"),
                              {460, 200, 310, 22});
  for (QLabel* header : {LabelColBenzina, LabelColGas}) {
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
  }
  LabelBanda[0] = ui::MakeLabel(this, QStringLiteral("LabelBandaMinimo"), QStringLiteral("Minimo"),
                                {10, 224, 135, 70});
  LabelBanda[1] = ui::MakeLabel(this, QStringLiteral("LabelBandaGiri"),
                                QStringLiteral("2500 giri/min"), {10, 298, 135, 70});
  // Each band's name stands level with the first line of its verdicts.
  for (QLabel* band : LabelBanda) {
    QFont bold = band->font();
    bold.setBold(true);
    band->setFont(bold);
    band->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    band->setWordWrap(true);
  }
  for (int i = 0; i < 4; ++i) {
    const int band = i / 2;
    const bool gas = i % 2 == 1;
    LabelEsito[i] = ui::MakeLabel(this, QStringLiteral("LabelEsito%1").arg(i + 1), {},
                                  {gas ? 460 : 150, 224 + 74 * band, gas ? 310 : 300, 70});
    LabelEsito[i]->setWordWrap(true);
    LabelEsito[i]->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelEsito[i]->setTextFormat(Qt::RichText);
  }
  LabelGraficoLambda =
      ui::MakeLabel(this, QStringLiteral("LabelGraficoLambda"),
                    QStringLiteral("Lambda: benzina (sopra), gas (sotto)"), {10, 374, 760, 20});
  GraficoLambda = new monitor::LambdaPairChart(this);
  GraficoLambda->setObjectName(QStringLiteral("GraficoLambda"));
  GraficoLambda->setGeometry(10, 396, 760, 96);

  ButtonApriLog = new QPushButton(QStringLiteral("&Apri registrazione..."), this);
  ButtonApriLog->setObjectName(QStringLiteral("ButtonApriLog"));
  ButtonApriLog->setGeometry(10, 502, 260, 36);
  ButtonEsci = new QPushButton(QStringLiteral("&Esci"), this);
  ButtonEsci->setObjectName(QStringLiteral("ButtonEsci"));
  ButtonEsci->setGeometry(620, 502, 150, 36);
  connect(ButtonApriLog, &QPushButton::clicked, this, &TFormVerifica::ChooseLog);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);

  stepTexts_ = {QStringLiteral("Scaldare il motore"),
                QStringLiteral("A benzina: tenere il motore al minimo"),
                QStringLiteral("A benzina: tenere il motore a circa 2500 giri/min"),
                QStringLiteral("Commutare a gas"),
                QStringLiteral("A gas: tenere il motore al minimo"),
                QStringLiteral("A gas: tenere il motore a circa 2500 giri/min"),
                QStringLiteral("Verifica completata")};
  switchToPetrolText_ = QStringLiteral("Il motore è a gas: commutare a benzina");
  verdictTexts_ = {QStringLiteral("OK"),
                   QStringLiteral("Magro a gas"),
                   QStringLiteral("Ricco a gas"),
                   QStringLiteral("Lambda non commuta a gas"),
                   QStringLiteral("Attuatore al limite superiore"),
                   QStringLiteral("Attuatore al limite inferiore"),
                   QStringLiteral("Dati insufficienti")};
  coldText_ = QStringLiteral("freddo");
  unsteadyText_ = QStringLiteral("non stabile");
  noSwitchingText_ = QStringLiteral("sonda ferma");
  LoadTexts(context.language);
  setWindowTitle(title_);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, &TFormVerifica::Tick);
  if (link_ != nullptr) Timer1->start();

  ScaleToScreen(this);
  Refresh();
}

TFormVerifica::~TFormVerifica() {
  StopRecording();
}

bool TFormVerifica::RecordInto(const QString& path) {
  if (recording_) return false;
  const auto now = static_cast<std::uint32_t>(QDateTime::currentSecsSinceEpoch());
  if (!recorder_.Start(QFile::encodeName(path).toStdString(), now, "gas calibration check"))
    return false;
  recorder_.Mark(calibration::MarkerTextOf(step_));
  return true;
}

void TFormVerifica::StopRecording() {
  if (!recorder_.Recording()) return;
  recorder_.Stop();
  if (!samples_.empty()) KeepResult(recorder_.File().string());
}

void TFormVerifica::done(int result) {
  StopRecording();
  QDialog::done(result);
}

void TFormVerifica::LoadTexts(TModuloLingua* language) {
  if (language == nullptr) return;
  QList<WindowText> texts = {
      {QStringLiteral("FinestraVerifica"), 50, StoreIn(&title_)},
      {QStringLiteral("LabelFaseMinimoBenzina"), 25, SetTextOf(LabelFase[0])},
      {QStringLiteral("LabelFaseGiriBenzina"), 25, SetTextOf(LabelFase[1])},
      {QStringLiteral("LabelFaseMinimoGas"), 25, SetTextOf(LabelFase[2])},
      {QStringLiteral("LabelFaseGiriGas"), 25, SetTextOf(LabelFase[3])},
      {QStringLiteral("LabelColBenzina"), 30, SetTextOf(LabelColBenzina)},
      {QStringLiteral("LabelColGas"), 30, SetTextOf(LabelColGas)},
      {QStringLiteral("LabelBandaMinimo"), 15, SetTextOf(LabelBanda[0])},
      {QStringLiteral("LabelBandaGiri"), 15, SetTextOf(LabelBanda[1])},
      {QStringLiteral("LabelGraficoLambda"), 60, SetTextOf(LabelGraficoLambda)},
      {QStringLiteral("ButtonApriLog"), 30, SetTextOf(ButtonApriLog)},
      {QStringLiteral("ButtonEsci"), 10, SetTextOf(ButtonEsci)},
      {QStringLiteral("MessFreddo"), 15, StoreIn(&coldText_)},
      {QStringLiteral("MessNonStabile"), 15, StoreIn(&unsteadyText_)},
      {QStringLiteral("MessNonCommuta"), 15, StoreIn(&noSwitchingText_)},
      {QStringLiteral("MessRisultatoNonSalvato"), 70, StoreIn(&notSavedText_)},
      {QStringLiteral("MessErrRegistrazione"), 70, StoreIn(&unreadableText_)},
  };
  const char* stepKeys[] = {"PassoCaldo",     "PassoMinimoBenzina", "PassoGiriBenzina",
                            "PassoCommuta",   "PassoMinimoGas",     "PassoGiriGas",
                            "PassoFine"};
  const char* verdictKeys[] = {"EsitoOk",        "EsitoMagro",     "EsitoRicco",
                               "EsitoSondaFerma", "EsitoLimiteSup", "EsitoLimiteInf",
                               "EsitoDatiInsufficienti"};
  const char* adviceKeys[] = {"ConsiglioOk",        "ConsiglioMagro",     "ConsiglioRicco",
                              "ConsiglioSonda",     "ConsiglioLimiteSup", "ConsiglioLimiteInf"};
  const char* reasonKeys[] = {"MotivoNonRegistrato", "MotivoBreve",       "MotivoFreddo",
                              "MotivoNonStabile",    "MotivoSondaBenzina", "MotivoRiferimento"};
  for (int i = 0; i < 7; ++i) texts.append({QLatin1String(stepKeys[i]), 90, StoreIn(&stepTexts_[i])});
  texts.append({QStringLiteral("PassoPassaBenzina"), 90, StoreIn(&switchToPetrolText_)});
  for (int i = 0; i < 7; ++i)
    texts.append({QLatin1String(verdictKeys[i]), 40, StoreIn(&verdictTexts_[i])});
  for (int i = 0; i < 6; ++i)
    texts.append({QLatin1String(adviceKeys[i]), 150, StoreIn(&adviceTexts_[i])});
  for (int i = 0; i < 6; ++i)
    texts.append({QLatin1String(reasonKeys[i]), 70, StoreIn(&reasonTexts_[i + 1])});
  // A dictionary without these texts leaves the Italian ones.
  ApplyWindowTexts(*language, texts);
  GraficoLambda->SetCaptions(LabelColBenzina->text(), LabelColGas->text());
}

void TFormVerifica::Tick() {
  if (recording_) return;
  const monitor::LiveSample sample = poller_.Poll();
  recorder_.Take(sample);
  // The check takes the records its log keeps, as the log gives them back,
  // so that checking the log later gives the same verdicts.
  if (polls_.Take(sample)) AddSample(calibration::SampleOfRecord(logging::AsLogged(polls_.Record())));
}

void TFormVerifica::AddSample(const calibration::Sample& sample) {
  samples_.push_back(sample);
  Refresh();
}

void TFormVerifica::ShowRecording(std::vector<calibration::Sample> samples,
                                  const QString& logPath) {
  StopRecording();
  recording_ = true;
  Timer1->stop();
  samples_ = std::move(samples);
  // The title names the log shown.
  setWindowTitle(logPath.isEmpty() ? title_
                                   : title_ + QStringLiteral(" - ") + QFileInfo(logPath).fileName());
  Refresh();
  resultFile_.clear();
  if (!logPath.isEmpty()) KeepResult(QFile::encodeName(logPath).toStdString());
}

bool TFormVerifica::KeepResult(const std::string& logPath) {
  const std::string path = calibration::ResultPathFor(logPath);
  std::string error;
  if (!calibration::WriteResultFile(path, calibration::RowsOf(result_), &error)) {
    LabelVerificaPasso->setText(notSavedText_ + QStringLiteral(" ") +
                                QFile::decodeName(QByteArray::fromStdString(path)));
    return false;
  }
  resultFile_ = QFile::decodeName(QByteArray::fromStdString(path));
  return true;
}

bool TFormVerifica::OpenLog(const QString& path) {
  const logging::ReadResult read = logging::ReadLog(QFile::encodeName(path).toStdString());
  if (!read.ok) {
    MessageBoxes::ShowError(this, unreadableText_ + QLatin1Char(' ') + QFileInfo(path).fileName(),
                            windowTitle(), QString::fromStdString(read.error));
    return false;
  }
  ShowRecording(calibration::SamplesOf(read.log), path);
  return true;
}

void TFormVerifica::ChooseLog() {
  // A dialog of its own each time: nothing of it (its completer's list)
  // outlives the choice.
  QFileDialog dialog(this);
  dialog.setObjectName(QStringLiteral("OpenDialogRegistrazione"));
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setNameFilters({QStringLiteral("MLVLG (*.mlg)"), QStringLiteral("* (*)")});
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // At first the recordings, which sit beside the history of the ECUs (one
  // folder per ECU); then where the last log came from.
  QString folder = lastFolder_;
  if (folder.isEmpty())
    folder = QFile::decodeName((history::DefaultFolder().parent_path() / "Logs").c_str());
  if (QDir(folder).exists()) dialog.setDirectory(folder);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  const QString path = dialog.selectedFiles().first();
  lastFolder_ = QFileInfo(path).absolutePath();
  OpenLog(path);
}

void TFormVerifica::OfferOn(TFormGrafico& chart, const FormContext& context) {
  if (chart.Recording().Records() == 0) return;
  auto* button = new QPushButton(QStringLiteral("Verifica &carburazione gas"));
  button->setObjectName(QStringLiteral("ButtonVerifica"));
  if (context.language != nullptr)
    ApplyWindowTexts(*context.language,
                     {{QStringLiteral("ActionVerifica"), 30, SetTextOf(button)}});
  chart.AddCommand(button);
  QObject::connect(button, &QPushButton::clicked, &chart, [&chart, context] {
    TFormVerifica check(context, &chart);
    check.ShowRecording(calibration::SamplesOf(chart.Recording()), chart.RecordingPath());
    check.exec();
  });
}

void TFormVerifica::Refresh() {
  result_ = calibration::Check(samples_, car_);
  const Step previous = step_;
  if (!samples_.empty()) step_ = calibration::NextStep(result_, samples_.back(), car_);
  // A recording is judged whole: the guide has nothing more to ask.
  if (recording_) step_ = Step::Done;
  // Samples on gas never count for a petrol phase: while the car runs on gas
  // the technician is told to switch back, not to hold a speed that counts
  // for nothing.
  const bool switchBack =
      !recording_ && !samples_.empty() && calibration::NeedsPetrol(step_, samples_.back());
  LabelVerificaPasso->setText(switchBack ? switchToPetrolText_
                                         : stepTexts_[static_cast<std::size_t>(Index(step_))]);
  ShowProgress();
  ShowVerdicts();
  ShowChart();
  if (step_ == previous) return;
  if (recorder_.Recording()) {
    recorder_.Mark(calibration::MarkerTextOf(step_));
    if (step_ == Step::Done) KeepResult(recorder_.File().string());
  }
  emit StepChanged(step_);
}

QString TFormVerifica::ExclusionText(const calibration::PhaseSummary& phase) const {
  QStringList parts;
  const auto add = [&parts](const QString& what, double seconds) {
    if (seconds >= 0.5) parts << QStringLiteral("%1 %2 s").arg(what).arg(std::lround(seconds));
  };
  add(coldText_, phase.coldSeconds);
  add(unsteadyText_, phase.unsteadySeconds);
  add(noSwitchingText_, phase.noSwitchingSeconds);
  return parts.join(QStringLiteral(", "));
}

void TFormVerifica::ShowProgress() {
  for (int row = 0; row < 4; ++row) {
    const calibration::PhaseSummary& phase = PhaseAt(result_, row);
    BarraFase[row]->setValue(std::min(BarraFase[row]->maximum(),
                                      static_cast<int>(std::floor(phase.validSeconds))));
    LabelEsclusi[row]->setText(ExclusionText(phase));
  }
}

QString TFormVerifica::VerdictText(Verdict verdict, Reason reason) const {
  const auto v = static_cast<std::size_t>(Index(verdict));
  const QString advice = verdict == Verdict::NotEnoughData
                             ? reasonTexts_[static_cast<std::size_t>(Index(reason))]
                             : adviceTexts_[v];
  const char* colour = verdict == Verdict::Ok              ? "#008000"
                       : verdict == Verdict::NotEnoughData ? "#606060"
                                                           : "#C00000";
  return QStringLiteral("<b><font color=\"%1\">%2</font></b><br>%3")
      .arg(QLatin1String(colour), verdictTexts_[v].toHtmlEscaped(), advice.toHtmlEscaped());
}

void TFormVerifica::ShowVerdicts() {
  for (int i = 0; i < 4; ++i) {
    const auto& band = result_.bands[static_cast<std::size_t>(i / 2)];
    const Fuel fuel = i % 2 == 0 ? Fuel::Petrol : Fuel::Gas;
    const Verdict verdict = band.VerdictOf(fuel);
    // Until a phase is done live, its cell says only what is missing.
    LabelEsito[i]->setText(VerdictText(verdict, band.ReasonOf(fuel)));
  }
}

void TFormVerifica::ShowChart() {
  const std::vector<calibration::SampleClass> classes = calibration::Classify(samples_, car_);
  std::array<std::vector<double>, 2> traces;  // petrol, gas
  std::array<double, 2> newest = {-1, -1};
  for (std::size_t i = samples_.size(); i-- > 0;) {
    if (classes[i].exclusion != calibration::Exclusion::None) continue;
    const std::size_t fuel = samples_[i].onGas ? 1 : 0;
    if (newest[fuel] < 0) newest[fuel] = samples_[i].time;
    if (samples_[i].time < newest[fuel] - kChartSeconds) continue;
    traces[fuel].push_back(calibration::ScalePosition(samples_[i].lambda, car_));
  }
  for (auto& trace : traces) std::reverse(trace.begin(), trace.end());
  GraficoLambda->SetTraces(std::move(traces[0]), std::move(traces[1]));
}
