#include "Visualizza.h"

#include <QComboBox>
#include <QFontInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <chrono>
#include <cmath>

#include "ActuatorTrackBar.h"
#include "ApplicationInfo.h"
#include "ColourCell.h"
#include "ConfCar.h"
#include "DictionaryProblem.h"
#include "EngineSpeedDial.h"
#include "FormContext.h"
#include "GlobalData.h"
#include "Grafico.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "RecordingFoot.h"
#include "Scaling.h"
#include "SessionLogs.h"
#include "SessionRecorder.h"
#include "WindowTexts.h"

using monitor::ColourCell;

namespace {

const QColor kRed(0xFF, 0x00, 0x00);
const QColor kGreen(0x00, 0x80, 0x00);

QFrame* MakeFrame(QWidget* parent, const char* name, QRect geometry, int shape) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QLatin1String(name));
  frame->setFrameStyle(shape | QFrame::Sunken);
  frame->setGeometry(geometry);
  return frame;
}

void SetTextColour(QLabel* label, const QColor& colour) {
  if (label->palette().color(QPalette::WindowText) == colour) return;
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

QColor CaptionColour(const QWidget* widget) {
  return widget->palette().color(QPalette::Active, QPalette::Highlight);
}

// Keeps a label's text centred on x at the given top.
void CentreOn(QLabel* label, int x, int top) {
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->move(x - label->width() / 2, top);
}

}  // namespace

QColor TFormVisualizza::FormColour() {
  return QColor(0xE3, 0xE3, 0xE3);
}

QColor TFormVisualizza::TableColour(int index) {
  static const QColor table[8] = {
      QColor(0x00, 0xFF, 0xFF), QColor(0x00, 0xFF, 0x00), QColor(0xFF, 0xFF, 0x00), kRed,
      kGreen, QColor(0xFF, 0xFF, 0x00), kRed, QColor(0x00, 0x00, 0x00)};
  return table[index & 7];
}

TFormVisualizza::TFormVisualizza(const FormContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      snapshot_(monitor::SnapshotOf(*context.store)),
      poller_(context.link, context.store) {
  setObjectName(QStringLiteral("FormVisualizza"));
  setWindowTitle(QStringLiteral("Visualizzazione parametri vettura"));
  resize(DesignSize());
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(16);
  font.setBold(true);
  setFont(font);
  QPalette background = palette();
  background.setColor(QPalette::Window, FormColour());
  setPalette(background);
  setAutoFillBackground(true);

  BuildLambdaGroup();
  BuildTpsGroup();
  BuildSpeedGroup();
  BuildOtherGroup();
  BuildActuatorGroup();
  ButtonEsci = new QPushButton(QStringLiteral("&ESCI"), this);
  ButtonEsci->setObjectName(QStringLiteral("ButtonEsci"));
  ButtonEsci->setGeometry(16, 520, 409, 36);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);
  LabelRegistra = ui::MakeLabel(this, "LabelRegistra", QString(), {440, 548, 337, 20});
  QFont indicator = LabelRegistra->font();
  indicator.setPixelSize(12);
  indicator.setBold(false);
  LabelRegistra->setFont(indicator);
  LabelRegistra->hide();
  BuildRateControl();
  StaticTextInf->setText(QString::number(snapshot_.lowerLimit));
  StaticTextSup->setText(QString::number(snapshot_.upperLimit));

  ScaleToScreen(this);
  scale_ = ScreenScaleFactor();
  if (context.store->VariantFlag()) HideOtherControls();
  PlaceDial();
  LoadTexts(context.language);
  if (context.settings != nullptr) rate_ = context.settings->RecordingRate();
  FillRates();
  LabelComm->setText(petrol_);
  if (!context.sessionLogFolder.empty()) StartRecording();
  connect(this, &TFormVisualizza::MarkerRequested, this, &TFormVisualizza::MarkByHand);

  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, &TFormVisualizza::OnTimer1);
  PollTimer = new QTimer(this);
  PollTimer->setObjectName(QStringLiteral("PollTimer"));
  PollTimer->setTimerType(Qt::PreciseTimer);
  connect(PollTimer, &QTimer::timeout, this, &TFormVisualizza::OnPollTimer);
  ApplyRate();
  Timer1->start();
  ButtonEsci->setFocus();
  setWindowState(Qt::WindowMaximized);
}

TFormVisualizza::~TFormVisualizza() {
  if (writeMarkers_) context_.store->RemoveWriteObserver(writeMarkers_.get());
  if (recorder_) recorder_->Stop();
}

// The log is named by the session's start; older logs make room for it once
// it exists. Writes to the ECU during the session are heard beside the
// journal and become markers.
void TFormVisualizza::StartRecording() {
  const auto now = std::chrono::system_clock::now();
  const std::filesystem::path file = logging::NewLogFile(context_.sessionLogFolder, now);
  const ecu::Identification& id = context_.identification;
  const std::string info = "ECU type " + std::to_string(id.typeCode) + " variant " +
                           std::to_string(id.variant) + " version " + std::to_string(id.version) +
                           "; recorded by the live view of " + kProgramTitle;
  recorder_ = std::make_unique<logging::SessionRecorder>();
  recorder_->SetFailureReport([this](const std::string& why) {
    recordingFailure_ = QString::fromStdString(why);
    ShowRecording();
  });
  const auto unixTime = std::chrono::system_clock::to_time_t(now);
  if (recorder_->Start(file, static_cast<std::uint32_t>(unixTime), info)) {
    logging::ApplyLogRetention(context_.sessionLogFolder.parent_path(), file);
    writeMarkers_ = std::make_unique<logging::WriteMarkers>(
        [this](const std::string& text) { recorder_->Mark(text); });
    context_.store->AddWriteObserver(writeMarkers_.get());
  }
  ShowRecording();
}

void TFormVisualizza::ShowAtScale(double scale) {
  if (!(scale > 0)) return;
  setWindowState(Qt::WindowNoState);
  if (std::fabs(scale - scale_) > 1e-9) {
    ScaleWidgetTree(this, scale / scale_);
    scale_ = scale;
    PlaceDial();
  }
  resize(static_cast<int>(std::floor(DesignSize().width() * scale)),
         static_cast<int>(std::floor(DesignSize().height() * scale)));
}

void TFormVisualizza::MarkByHand() {
  if (!recorder_ || !recorder_->Recording()) return;
  ++handMarks_;
  recorder_->Mark("mark " + std::to_string(handMarks_));
  ShowRecording();
}

// "● Recording: 2026-12-11_101500.mlg   Marks (M): 2" while it records; the
// reason in red once a write failed (said once, the view goes on). The
// tooltip has the log's whole path.
void TFormVisualizza::ShowRecording() {
  QString text;
  if (!recordingFailure_.isEmpty()) {
    text = recordingStopped_ + QStringLiteral(": ") + recordingFailure_;
    SetTextColour(LabelRegistra, kRed);
    LabelRegistra->setText(
        LabelRegistra->fontMetrics().elidedText(text, Qt::ElideRight, LabelRegistra->width()));
  } else {
    const QString marks =
        handMarks_ > 0 ? marksText_ + QStringLiteral(": %1").arg(handMarks_) : QString();
    text = monitor::RecordingFootText(LabelRegistra->fontMetrics(), LabelRegistra->width(),
                                      recordingText_,
                                      QString::fromStdString(recorder_->File().filename().string()),
                                      marks);
    SetTextColour(LabelRegistra, palette().color(QPalette::WindowText));
    LabelRegistra->setText(text);
  }
  LabelRegistra->setToolTip(QString::fromStdString(recorder_->File().string()) +
                            (recordingFailure_.isEmpty() ? QString() : QStringLiteral("\n") + text));
  LabelRegistra->show();
}

// The recording rate, in the free corner of the actuator group under the
// readings: a caption and a drop-down list in the indicator's small type.
// The list takes no keyboard focus, so the view's keys (M, G, F12) stay the
// view's and a letter never picks a rate by accident.
void TFormVisualizza::BuildRateControl() {
  LabelFrequenza = ui::MakeLabel(this, "LabelFrequenza", QStringLiteral("Frequenza"), {640, 448, 130, 20});
  LabelFrequenza->setFont(LabelRegistra->font());
  ComboFrequenza = new QComboBox(this);
  ComboFrequenza->setObjectName(QStringLiteral("ComboFrequenza"));
  ComboFrequenza->setGeometry(640, 470, 130, 26);
  ComboFrequenza->setFont(LabelRegistra->font());
  ComboFrequenza->setFocusPolicy(Qt::NoFocus);
  connect(ComboFrequenza, &QComboBox::activated, this, [this](int index) {
    if (index >= 0 && index < static_cast<int>(live::kRecordingRates.size()))
      SetRecordingRate(live::kRecordingRates[static_cast<std::size_t>(index)]);
  });
}

// One item per rate, in the order of live::kRecordingRates; the fastest
// says in its hint what it means.
void TFormVisualizza::FillRates() {
  const QSignalBlocker quiet(ComboFrequenza);
  ComboFrequenza->clear();
  for (const int rate : live::kRecordingRates) {
    if (rate == live::kAsFastAsTheLineAllows) {
      ComboFrequenza->addItem(fastestRate_);
      ComboFrequenza->setItemData(ComboFrequenza->count() - 1, fastestRateHint_,
                                  Qt::ToolTipRole);
    } else {
      ComboFrequenza->addItem(QStringLiteral("%1 Hz").arg(rate));
    }
    if (rate == rate_) ComboFrequenza->setCurrentIndex(ComboFrequenza->count() - 1);
  }
  ComboFrequenza->setToolTip(ComboFrequenza->itemData(ComboFrequenza->currentIndex(),
                                                      Qt::ToolTipRole).toString());
}

void TFormVisualizza::SetRecordingRate(int rate) {
  if (live::KnownRecordingRate(rate) != rate) return;
  rate_ = rate;
  if (context_.settings != nullptr) context_.settings->SetRecordingRate(rate);
  FillRates();
  ApplyRate();
}

// At ten polls a second the drawing timer polls, as it always did; faster,
// the poll timer polls and the drawing timer only draws.
void TFormVisualizza::ApplyRate() {
  poller_.SetSlowAtLeastEverySecond(rate_ != live::kShownRate);
  if (rate_ == live::kShownRate) {
    PollTimer->stop();
    return;
  }
  PollTimer->setInterval(rate_ == live::kAsFastAsTheLineAllows ? 0 : 1000 / rate_);
  PollTimer->start();
}

void TFormVisualizza::OnTimer1() {
  if (rate_ == live::kShownRate) {
    Tick();
  } else {
    ShowNewest();
  }
}

// As fast as the line allows, the next poll goes out as soon as the event
// loop has had its turn; the link's own wait for the answer is the pace.
// An ECU that does not answer (or is not connected) is asked ten times a
// second instead, so a dead line never spins the processor.
void TFormVisualizza::OnPollTimer() {
  const monitor::LiveSample sample = Poll();
  if (rate_ == live::kAsFastAsTheLineAllows)
    PollTimer->setInterval(sample.connected && sample.fastRead ? 0 : 100);
}

void TFormVisualizza::BuildLambdaGroup() {
  Bevel1 = MakeFrame(this, "Bevel1", {16, 16, 409, 89}, QFrame::Panel);
  LabelVisLambda =
      ui::MakeLabel(this, "LabelVisLambda", QStringLiteral("Lambda"), {32, 24, 115, 24});
  StaticTextLambda =
      ui::MakeLabel(this, "StaticTextLambda", QStringLiteral("0 V"), {32, 64, 115, 24});
  PanelLambda = MakeFrame(this, "PanelLambda", {152, 32, 257, 57}, QFrame::Panel);
  for (int k = 0; k < 10; ++k) {
    auto* cell = new ColourCell(FormColour(), 1, PanelLambda);
    cell->setObjectName(QStringLiteral("Shape%1").arg(k + 1));
    cell->setGeometry(8 + 24 * k, 9, 25, 40);
    LambdaCells.append(cell);
  }
}

void TFormVisualizza::BuildTpsGroup() {
  BevelTps = MakeFrame(this, "BevelTps", {16, 120, 409, 137}, QFrame::Panel);
  LabelVisTps = ui::MakeLabel(this, "LabelVisTps", QStringLiteral("TPS"), {32, 128, 115, 24});
  StaticTextTps = ui::MakeLabel(this, "StaticTextTps", QStringLiteral("0 V"), {32, 168, 115, 24});
  PanelTps = MakeFrame(this, "PanelTps", {152, 136, 257, 57}, QFrame::Panel);
  for (int k = 0; k < 4; ++k) {
    auto* cell = new ColourCell(FormColour(), 2, PanelTps);
    cell->setObjectName(QStringLiteral("Shape%1").arg(k + 11));
    cell->setGeometry(8 + 60 * k, 9, 61, 40);
    TpsCells.append(cell);
  }
  LabelVisMinTps =
      ui::MakeLabel(this, "LabelVisMinTps", QStringLiteral("Min. TPS"), {152, 216, 120, 24});
  StaticTextMinTps =
      ui::MakeLabel(this, "StaticTextMinTps", QStringLiteral("0 V"), {280, 216, 120, 24});
  LabelVisCutoff =
      ui::MakeLabel(this, "LabelVisCutoff", QStringLiteral("CUTOFF"), {32, 216, 115, 24});
  SetTextColour(LabelVisCutoff, kRed);
  LabelVisCutoff->hide();
}

void TFormVisualizza::BuildSpeedGroup() {
  BevelGiri = MakeFrame(this, "BevelGiri", {16, 272, 241, 233}, QFrame::Panel);
  Dial = new monitor::EngineSpeedDial(this);
  Dial->setObjectName(QStringLiteral("DialGiri"));
  Dial->setGeometry(BevelGiri->geometry());
  LabelVisGiri =
      ui::MakeLabel(this, "LabelVisGiri", QStringLiteral("Giri Motore"), {24, 276, 160, 24});
  for (int k = 0; k < 7; ++k) {
    QLabel* mark = ui::MakeLabel(this, "", QString::number(k), {0, 0, 12, 20});
    mark->setObjectName(QStringLiteral("LabelRifGiri%1").arg(k + 1));
    SetTextColour(mark, kRed);
    LabelRifGiri.append(mark);
  }
  LabelVisContaGiri =
      ui::MakeLabel(this, "LabelVisContaGiri", QStringLiteral("rpm x 1000"), {0, 0, 110, 16});
  // Small enough to sit inside the dial between the "0" and "6" marks.
  QFont small = LabelVisContaGiri->font();
  small.setPixelSize(11);
  small.setBold(false);
  LabelVisContaGiri->setFont(small);
  SetTextColour(LabelVisContaGiri, Qt::white);
  StaticTextGiri = ui::MakeLabel(this, "StaticTextGiri", QStringLiteral("0"), {0, 0, 150, 24});
}

void TFormVisualizza::BuildOtherGroup() {
  Bevel2 = MakeFrame(this, "Bevel2", {272, 272, 153, 233}, QFrame::Panel);
  LabelVisAltri =
      ui::MakeLabel(this, "LabelVisAltri", QStringLiteral("Altri Controlli"), {280, 276, 140, 24});
  LabelVisTemp =
      ui::MakeLabel(this, "LabelVisTemp", QStringLiteral("Temperatura:"), {280, 308, 140, 22});
  StaticTextTemp =
      ui::MakeLabel(this, "StaticTextTemp", QStringLiteral("n.d."), {280, 332, 140, 22});
  Bevel3 = MakeFrame(this, "Bevel3", {280, 362, 137, 2}, QFrame::HLine);
  LabelVisLivello =
      ui::MakeLabel(this, "LabelVisLivello", QStringLiteral("Livello GAS"), {280, 372, 140, 22});
  StaticTextLivello =
      ui::MakeLabel(this, "StaticTextLivello", QStringLiteral("0"), {280, 396, 140, 22});
  Bevel4 = MakeFrame(this, "Bevel4", {280, 426, 137, 2}, QFrame::HLine);
  LabelVisFunz =
      ui::MakeLabel(this, "LabelVisFunz", QStringLiteral("Funzionamento"), {280, 436, 140, 22});
  LabelComm = ui::MakeLabel(this, "LabelComm", QStringLiteral("BENZINA"), {280, 464, 137, 24});
  LabelComm->setAlignment(Qt::AlignCenter);
}

void TFormVisualizza::BuildActuatorGroup() {
  BevelAttuatori = MakeFrame(this, "BevelAttuatori", {440, 16, 337, 529}, QFrame::Panel);
  LabelVisAtt = ui::MakeLabel(this, "LabelVisAtt", QStringLiteral("Attuatore"), {456, 24, 200, 24});
  ShapeFMin = new ColourCell(kRed, 1, this);
  ShapeFMin->setObjectName(QStringLiteral("ShapeFMin"));
  ShapeFMin->setGeometry(464, 288, 9, 193);
  ShapeMin = new ColourCell(QColor(0x00, 0xFF, 0xFF), 1, this);
  ShapeMin->setObjectName(QStringLiteral("ShapeMin"));
  ShapeMin->setGeometry(480, 288, 9, 193);
  TrackBarMax = new monitor::ActuatorTrackBar(this);
  TrackBarMax->setObjectName(QStringLiteral("TrackBarMax"));
  TrackBarMax->setGeometry(496, 64, 49, 433);
  TrackBarMax->setValue(255);
  LabelDef = ui::MakeLabel(this, "LabelDef", QStringLiteral("\u2B05"), {548, 264, 24, 24});
  LabelVisDef2 = ui::MakeLabel(this, "LabelVisDef2", QStringLiteral("Def"), {574, 264, 60, 24});
  LabelVisDefault =
      ui::MakeLabel(this, "LabelVisDefault", QStringLiteral("Default"), {640, 96, 130, 24});
  StaticTextDef = ui::MakeLabel(this, "StaticTextDef", QStringLiteral("0"), {640, 120, 130, 24});
  LabelVisPos =
      ui::MakeLabel(this, "LabelVisPos", QStringLiteral("Posizione"), {640, 176, 130, 24});
  StaticTextMot = ui::MakeLabel(this, "StaticTextMot", QStringLiteral("0"), {640, 200, 130, 24});
  LabelSup = ui::MakeLabel(this, "LabelSup", QStringLiteral("Limite sup."), {640, 256, 130, 24});
  StaticTextSup = ui::MakeLabel(this, "StaticTextSup", QStringLiteral("0"), {640, 280, 130, 24});
  LabelInf = ui::MakeLabel(this, "LabelInf", QStringLiteral("Limite inf."), {640, 336, 130, 24});
  StaticTextInf = ui::MakeLabel(this, "StaticTextInf", QStringLiteral("0"), {640, 360, 130, 24});
  for (QLabel* hidden : {LabelSup, StaticTextSup, LabelInf, StaticTextInf}) hidden->hide();
}

// A variant-2 ECU has none of the other readings: the speed group takes
// their room.
void TFormVisualizza::HideOtherControls() {
  for (QWidget* w : std::initializer_list<QWidget*>{Bevel2, LabelVisAltri, LabelVisTemp,
                                                    StaticTextTemp, Bevel3, LabelVisLivello,
                                                    StaticTextLivello, Bevel4, LabelVisFunz})
    w->hide();
  BevelGiri->resize(BevelTps->width(), BevelGiri->height());
}

void TFormVisualizza::PlaceDial() {
  const QRect frame = BevelGiri->geometry();
  Dial->PlaceOver(frame);
  const monitor::DialGeometry g =
      monitor::DialOf(frame.left(), frame.top(), frame.width(), frame.height());
  const int cx = g.centreX;
  const int cy = g.centreY;
  const int r = g.radius;
  const int k = g.diagonal;
  const int points = QFontInfo(LabelRifGiri[1]->font()).pointSize();
  const QPoint places[7] = {{cx - k - 15, cy + k + 5}, {cx - r - 15, cy - points},
                            {cx - k - 20, cy - k - 15}, {cx - 5, cy - r - 20},
                            {cx + k + 10, cy - k - 15}, {cx + r + 10, cy - points},
                            {cx + k + 5, cy + k + 5}};
  for (int i = 0; i < 7; ++i) LabelRifGiri[i]->move(places[i]);
  CentreOn(LabelVisContaGiri, cx, cy + r - 30);
  CentreOn(StaticTextGiri, cx, cy + r + 20);
}

void TFormVisualizza::LoadTexts(TModuloLingua* lingua) {
  const QList<WindowText> texts = {
      {QStringLiteral("LabelVisLambda"), 10, SetTextOf(LabelVisLambda)},
      {QStringLiteral("LabelVisTps"), 10, SetTextOf(LabelVisTps)},
      {QStringLiteral("LabelVisMinTps"), 10, SetTextOf(LabelVisMinTps)},
      {QStringLiteral("LabelVisCutoff"), 10, SetTextOf(LabelVisCutoff)},
      {QStringLiteral("LabelVisGiri"), 12, SetTextOf(LabelVisGiri)},
      {QStringLiteral("LabelVisAltri"), 15, SetTextOf(LabelVisAltri)},
      {QStringLiteral("LabelVisTemp"), 15, SetTextOf(LabelVisTemp)},
      {QStringLiteral("LabelVisLivello"), 15, SetTextOf(LabelVisLivello)},
      {QStringLiteral("LabelVisFunz"), 15, SetTextOf(LabelVisFunz)},
      {QStringLiteral("LabelVisAtt"), 20, SetTextOf(LabelVisAtt)},
      {QStringLiteral("LabelVisDefault"), 15, SetTextOf(LabelVisDefault)},
      {QStringLiteral("LabelVisDef2"), 5, SetTextOf(LabelVisDef2)},
      {QStringLiteral("LabelVisPos"), 15, SetTextOf(LabelVisPos)},
      {QStringLiteral("LabelVisContaGiri"), 12, SetTextOf(LabelVisContaGiri)},
      {QStringLiteral("ButtonEsci"), 10, SetTextOf(ButtonEsci)},
      {QStringLiteral("FinestraVisualizza"), 50, SetTitleOf(this)},
      {QStringLiteral("LabelFunzBenzina"), 15, StoreIn(&petrol_)},
      {QStringLiteral("LabelFunzGas"), 15, StoreIn(&gas_)},
      {QStringLiteral("UnitaVolt"), 5, StoreIn(&voltUnit_)},
      {QStringLiteral("UnitaGiri"), 5, StoreIn(&rpmUnit_)},
      {QStringLiteral("MessND"), 5, StoreIn(&notAvailable_)},
      {QStringLiteral("LabelRegistra"), 20, StoreIn(&recordingText_)},
      {QStringLiteral("LabelRegistraSegni"), 15, StoreIn(&marksText_)},
      {QStringLiteral("MessRegistraFerma"), 30, StoreIn(&recordingStopped_)},
      {QStringLiteral("LabelFrequenza"), 20, SetTextOf(LabelFrequenza)},
      {QStringLiteral("ComboFrequenzaMax"), 12, StoreIn(&fastestRate_)},
      {QStringLiteral("ComboFrequenzaMaxInfo"), 50, StoreIn(&fastestRateHint_)},
  };
  if (lingua == nullptr || !ApplyWindowTexts(*lingua, texts)) {
    ui::ShowDictionaryProblem(this, 1);
  }
}

void TFormVisualizza::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F12) {
    reject();
    return;
  }
  if (event->key() == Qt::Key_G && event->modifiers() == Qt::NoModifier) {
    OpenChart();
    return;
  }
  if (event->key() == Qt::Key_M && event->modifiers() == Qt::NoModifier) {
    MarkByHand();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TFormVisualizza::Tick() {
  Poll();
  ShowNewest();
}

monitor::LiveSample TFormVisualizza::Poll() {
  const monitor::LiveSample sample = poller_.Poll();
  if (recorder_) recorder_->Take(sample);
  emit SampleTaken(sample);
  newest_ = newestPending_ ? monitor::Combined(newest_, sample) : sample;
  newestPending_ = true;
  return sample;
}

void TFormVisualizza::ShowNewest() {
  if (!newestPending_) return;
  newestPending_ = false;
  ShowSample(newest_);
}

void TFormVisualizza::OpenChart() {
  TFormGrafico chart(context_, this);
  connect(this, &TFormVisualizza::SampleTaken, &chart, &TFormGrafico::AppendSample);
  connect(&chart, &TFormGrafico::MarkerRequested, this, &TFormVisualizza::MarkerRequested);
  chart.exec();
}

void TFormVisualizza::StopPolling() {
  Timer1->stop();
  PollTimer->stop();
  // With no polls a recording rate means nothing: the choice goes too.
  LabelFrequenza->hide();
  ComboFrequenza->hide();
}

void TFormVisualizza::ShowSample(const monitor::LiveSample& sample) {
  display_ = monitor::NextDisplay(display_, sample, snapshot_);
  Render();
}

QString TFormVisualizza::Volts(int centivolts) const {
  return QLocale::system().toString(centivolts / 100.0, 'f', 2) + QStringLiteral(" ") + voltUnit_;
}

void TFormVisualizza::Render() {
  const monitor::LiveDisplay& d = display_;
  StaticTextTps->setText(Volts(d.tps));
  if (d.previousTpsZone != d.tpsZone) TpsCells[d.previousTpsZone]->SetColour(FormColour());
  TpsCells[d.tpsZone]->SetColour(TableColour(d.tpsZone));
  TrackBarMax->setValue(255 - d.actuator);
  StaticTextMot->setText(QString::number(d.actuator));
  ShapeFMin->setVisible(d.ShowActuatorWindows());
  ShapeMin->setVisible(d.ShowActuatorWindows());
  SetTextColour(LabelSup, d.UpperLimit() ? kRed : CaptionColour(this));
  SetTextColour(LabelInf, d.LowerLimit() ? kRed : CaptionColour(this));
  LabelVisCutoff->setVisible(d.CutOff());
  StaticTextLambda->setText(Volts(d.lambda));
  if (d.previousLambdaCell != d.lambdaCell)
    LambdaCells[d.previousLambdaCell]->SetColour(FormColour());
  LambdaCells[d.lambdaCell]->SetColour(TableColour(4 + d.lambdaStatus));
  StaticTextGiri->setText(QString::number(d.rpm) + QStringLiteral(" ") + rpmUnit_);
  Dial->SetRpm(d.rpm);
  if (d.slowRefreshed) RenderSlow();
}

void TFormVisualizza::RenderSlow() {
  const monitor::LiveDisplay& d = display_;
  StaticTextMinTps->setText(Volts(d.minTps));
  StaticTextTemp->setText(d.temperature == live::kNoTemperature ? notAvailable_
                                                                 : QString::number(d.temperature));
  StaticTextLivello->setText(QString::number(d.gasLevel));
  LabelComm->setText(d.OnGas() ? gas_ : petrol_);
  SetTextColour(LabelComm, d.OnGas() ? kRed : kGreen);
  TrackBarMax->SetSelection(255 - snapshot_.upperLimit, 255 - snapshot_.lowerLimit);

  const monitor::ActuatorSpans spans = monitor::SpansOf(d.defaultPosition, d.tpsZone, snapshot_);
  const monitor::ActuatorMarks marks =
      monitor::MarksOf(spans, d.defaultPosition, TrackBarMax->y(), TrackBarMax->height(),
                       LabelDef->height(),
                       static_cast<int>(std::lround(scale_ * kDesignScreenWidth)));
  LabelDef->move(LabelDef->x(), marks.defaultTop);
  LabelVisDef2->move(LabelVisDef2->x(), marks.defaultTop);
  ShapeFMin->setGeometry(ShapeFMin->x(), marks.offIdleTop, ShapeFMin->width(),
                         std::max(0, marks.offIdleHeight));
  ShapeMin->setGeometry(ShapeMin->x(), marks.idleTop, ShapeMin->width(),
                        std::max(0, marks.idleHeight));
  StaticTextDef->setText(QString::number(d.defaultPosition));
}
