#include "Grafico.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMargins>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "ApplicationInfo.h"
#include "ConfCar.h"
#include "DictionaryProblem.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "RecordingChart.h"
#include "ReplayPlacement.h"
#include "Scaling.h"
#include "StripChart.h"
#include "Visualizza.h"
#include "WindowTexts.h"

namespace {

constexpr int kPollInterval = 100;  // ms, as the live view
constexpr int kPlayInterval = 50;   // ms between two replay steps
constexpr int kSliderSteps = 10000;
constexpr int kValueColumn = 1;

// The channels of our recordings by their names in the logs, with the
// dictionary key of their caption and the Italian caption shown when the
// dictionary lacks it.
struct ChannelCaption {
  const char* name;
  const char* key;
  const char* italian;
};
const ChannelCaption kChannelCaptions[] = {
    {"RPM", "CanaleGiri", "Giri motore"},
    {"Lambda", "CanaleLambda", "Lambda"},
    {"TPS", "CanaleTps", "TPS"},
    {"TPS zone", "CanaleZonaTps", "Zona TPS"},
    {"Lambda status", "CanaleStatoLambda", "Stato lambda"},
    {"Actuator", "CanaleAttuatore", "Attuatore"},
    {"Default pos", "CanaleDefault", "Posizione default"},
    {"Min TPS", "CanaleMinTps", "Min. TPS"},
    {"Gas temp", "CanaleTempGas", "Temperatura gas"},
    {"Gas level", "CanaleLivelloGas", "Livello gas"},
    {"Fuel", "CanaleCarburante", "Funzionamento a gas"},
    {"Cut-off", "CanaleCutoff", "Cut-off"},
    {"Upper limit", "CanaleLimiteSup", "Limite superiore"},
    {"Lower limit", "CanaleLimiteInf", "Limite inferiore"},
    {"Actuator windows", "CanaleFinestreAtt", "Finestre attuatore"},
};
constexpr std::size_t kCaptionCount = std::size(kChannelCaptions);

}  // namespace

TFormGrafico::TFormGrafico(const FormContext& context, QWidget* parent)
    : QDialog(parent),
      context_(context),
      liveColumns_(logging::EcuChannels()),
      data_(liveColumns_.Channels()) {
  setObjectName(QStringLiteral("FormGrafico"));
  setWindowTitle(title_);
  resize(798, 570);
  setSizeGripEnabled(true);

  Grafico = new monitor::StripChart(this);
  Grafico->setObjectName(QStringLiteral("Grafico"));

  ListaCanali = new QTreeWidget(this);
  ListaCanali->setObjectName(QStringLiteral("ListaCanali"));
  ListaCanali->setColumnCount(2);
  ListaCanali->setHeaderLabels({QStringLiteral("Canale"), QStringLiteral("Valore")});
  ListaCanali->setRootIsDecorated(false);
  ListaCanali->setFocusPolicy(Qt::NoFocus);
  ListaCanali->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  ListaCanali->header()->setSectionResizeMode(kValueColumn, QHeaderView::ResizeToContents);
  ListaCanali->header()->setStretchLastSection(false);
  ListaCanali->setFixedWidth(230);
  LabelCursore = ui::MakeLabel(this, "LabelCursore", cursor_);

  LabelTastiGrafico = ui::MakeLabel(
      this, "LabelTastiGrafico",
      QString::fromUtf8("Rotella o +/-: zoom · trascina o frecce: scorri · clic o Maiusc+frecce: "
                        "cursore · Home: tutto · Fine: segui"));
  LabelTastiGrafico->setWordWrap(true);
  QFont small = LabelTastiGrafico->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  LabelTastiGrafico->setFont(small);

  BuildPlayBar();
  ButtonEsci = ui::MakeButton(this, "ButtonEsci", QStringLiteral("&Esci"));
  ButtonEsci->setAutoDefault(false);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);

  auto* side = new QVBoxLayout;
  side->addWidget(ListaCanali, 1);
  side->addWidget(LabelCursore);
  auto* top = new QHBoxLayout;
  top->addWidget(Grafico, 1);
  top->addLayout(side);
  commands_ = new QHBoxLayout;
  commands_->addWidget(LabelTastiGrafico, 1);
  commands_->addWidget(ButtonEsci);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addWidget(PannelloRiproduzione);
  layout->addLayout(commands_);

  LoadTexts(context.language);
  Grafico->SetData(&data_);
  NameChannels();
  FillChannelList();
  connect(Grafico, &monitor::StripChart::CursorMoved, this, &TFormGrafico::RefreshReadOut);
  connect(ListaCanali, &QTreeWidget::itemChanged, this, &TFormGrafico::ChannelChecked);

  ScaleToScreen(this);
  ui::KeepCaptionMargins(ButtonEsci);
  Grafico->setFocus();
  setWindowState(Qt::WindowMaximized);
}

TFormGrafico::~TFormGrafico() {
  // The view's own teardown sends events (deactivation) while it is no longer
  // a TFormVisualizza: it must not reach this filter by then.
  if (replayView_ != nullptr) {
    replayView_->removeEventFilter(this);
    delete replayView_.data();
  }
}

void TFormGrafico::AddCommand(QPushButton* button) {
  button->setParent(this);
  button->setAutoDefault(false);
  commands_->insertWidget(commands_->indexOf(ButtonEsci), button);
  ui::KeepCaptionMargins(button);
}

void TFormGrafico::BuildPlayBar() {
  PannelloRiproduzione = new QWidget(this);
  PannelloRiproduzione->setObjectName(QStringLiteral("PannelloRiproduzione"));
  ButtonRiproduci = ui::MakeButton(PannelloRiproduzione, "ButtonRiproduci", play_);
  ButtonRiproduci->setAutoDefault(false);
  LabelVelocita =
      ui::MakeLabel(PannelloRiproduzione, "LabelVelocita", QString::fromUtf8("Velocità"));
  ComboVelocita = new QComboBox(PannelloRiproduzione);
  ComboVelocita->setObjectName(QStringLiteral("ComboVelocita"));
  for (int speed : kSpeeds) ComboVelocita->addItem(QString::fromUtf8("%1×").arg(speed), speed);
  ComboVelocita->setFocusPolicy(Qt::NoFocus);
  SliderTempo = new QSlider(Qt::Horizontal, PannelloRiproduzione);
  SliderTempo->setObjectName(QStringLiteral("SliderTempo"));
  SliderTempo->setRange(0, kSliderSteps);
  SliderTempo->setFocusPolicy(Qt::NoFocus);
  LabelTempo = ui::MakeLabel(PannelloRiproduzione, "LabelTempo", QStringLiteral("0:00.0 / 0:00.0"));
  LabelTempo->setMinimumWidth(150);
  LabelTempo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  auto* bar = new QHBoxLayout(PannelloRiproduzione);
  bar->setContentsMargins(0, 0, 0, 0);
  bar->addWidget(ButtonRiproduci);
  bar->addWidget(LabelVelocita);
  bar->addWidget(ComboVelocita);
  bar->addWidget(SliderTempo, 1);
  bar->addWidget(LabelTempo);
  PannelloRiproduzione->hide();

  playTimer_ = new QTimer(this);
  playTimer_->setInterval(kPlayInterval);
  connect(playTimer_, &QTimer::timeout, this, [this] {
    // In nanoseconds: whole milliseconds would drop a fraction at every
    // step, and the replay would fall further behind the wall clock.
    const qint64 now = wall_.nsecsElapsed();
    ReplayStep(static_cast<double>(now - lastStep_) / 1e9);
    lastStep_ = now;
  });
  connect(ButtonRiproduci, &QPushButton::clicked, this, [this] {
    if (clock_.Playing()) Pause();
    else Play();
  });
  connect(ComboVelocita, &QComboBox::activated, this,
          [this](int index) { SetSpeed(ComboVelocita->itemData(index).toInt()); });
  connect(SliderTempo, &QSlider::sliderMoved, this, [this](int value) {
    SeekTo(clock_.Start() + (clock_.End() - clock_.Start()) * value / kSliderSteps);
  });
}

void TFormGrafico::LoadTexts(TModuloLingua* language) {
  std::vector<QString> live(kCaptionCount);
  for (std::size_t i = 0; i < kCaptionCount; ++i)
    live[i] = QString::fromUtf8(kChannelCaptions[i].italian);
  QString columnChannel = QStringLiteral("Canale");
  QString columnValue = QStringLiteral("Valore");
  if (language != nullptr) {
    QList<WindowText> texts = {
        {QStringLiteral("FinestraGrafico"), 70, StoreIn(&title_)},
        {QStringLiteral("ColCanale"), 20, StoreIn(&columnChannel)},
        {QStringLiteral("ColValore"), 20, StoreIn(&columnValue)},
        {QStringLiteral("LabelCursore"), 20, StoreIn(&cursor_)},
        {QStringLiteral("LabelTastiGrafico"), 120, SetTextOf(LabelTastiGrafico)},
        {QStringLiteral("ButtonRiproduci"), 15, StoreIn(&play_)},
        {QStringLiteral("ButtonPausa"), 15, StoreIn(&pause_)},
        {QStringLiteral("LabelVelocita"), 15, SetTextOf(LabelVelocita)},
        {QStringLiteral("ButtonEsci"), 10, SetTextOf(ButtonEsci)},
        {QStringLiteral("MessErrRegistrazione"), 70, StoreIn(&unreadable_)},
        {QStringLiteral("MessNoRiproduzione"), 90, StoreIn(&notReplayable_)},
        {QStringLiteral("MessSegno"), 20, StoreIn(&marker_)},
    };
    for (std::size_t i = 0; i < kCaptionCount; ++i)
      texts.append({QLatin1String(kChannelCaptions[i].key), 20, StoreIn(&live[i])});
    if (!ApplyWindowTexts(*language, texts)) {
      ui::ShowDictionaryProblem(this, 8);
    }
  }
  setWindowTitle(title_);
  ListaCanali->setHeaderLabels({columnChannel, columnValue});
  ButtonRiproduci->setText(clock_.Playing() ? pause_ : play_);
  LabelCursore->setText(cursor_);
  liveCaptions_ = live;
}

// Every channel of the data: the live ones by their names in the chosen
// language, any other by the name its log gives it.
void TFormGrafico::NameChannels() {
  captions_.clear();
  for (const monitor::ChartChannel& channel : data_.Channels()) {
    QString caption = QString::fromStdString(channel.name);
    for (std::size_t i = 0; i < kCaptionCount; ++i)
      if (channel.name == kChannelCaptions[i].name) caption = liveCaptions_[i];
    captions_.push_back(caption);
  }
  Grafico->SetCaptions(captions_);
}

QString TFormGrafico::CaptionOf(std::size_t channel) const {
  return channel < captions_.size() ? captions_[channel] : QString();
}

void TFormGrafico::FillChannelList() {
  const QSignalBlocker quiet(ListaCanali);
  ListaCanali->clear();
  const auto& shown = Grafico->VisibleChannels();
  for (std::size_t c = 0; c < data_.Channels().size(); ++c) {
    auto* item = new QTreeWidgetItem(ListaCanali, {CaptionOf(c), QString()});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    const bool visible = std::find(shown.begin(), shown.end(), c) != shown.end();
    item->setCheckState(0, visible ? Qt::Checked : Qt::Unchecked);
    item->setTextAlignment(kValueColumn, Qt::AlignRight | Qt::AlignVCenter);
  }
  RefreshReadOut();
}

void TFormGrafico::ChannelChecked() {
  std::vector<std::size_t> visible;
  for (int i = 0; i < ListaCanali->topLevelItemCount(); ++i)
    if (ListaCanali->topLevelItem(i)->checkState(0) == Qt::Checked)
      visible.push_back(static_cast<std::size_t>(i));
  Grafico->SetVisibleChannels(visible);
}

// At the cursor; live with no cursor placed, at the newest sample.
std::optional<double> TFormGrafico::ReadOutTime() const {
  if (Grafico->Cursor()) return Grafico->Cursor();
  if (!replaying_ && !data_.Empty()) return data_.LastTime();
  return std::nullopt;
}

QString TFormGrafico::ReadOut(std::size_t channel) const {
  const auto at = ReadOutTime();
  if (!at || channel >= data_.Channels().size()) return QStringLiteral("-");
  const float value = data_.ValueAt(channel, *at);
  if (std::isnan(value)) return QStringLiteral("-");
  const monitor::ChartChannel& c = data_.Channels()[channel];
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  QString text = locale.toString(static_cast<double>(value), 'f', std::clamp(c.digits, 0, 6));
  if (!c.unit.empty()) text += QLatin1Char(' ') + QString::fromStdString(c.unit);
  return text;
}

void TFormGrafico::RefreshReadOut() {
  const QSignalBlocker quiet(ListaCanali);
  for (int i = 0; i < ListaCanali->topLevelItemCount(); ++i)
    ListaCanali->topLevelItem(i)->setText(kValueColumn, ReadOut(static_cast<std::size_t>(i)));
  const auto at = ReadOutTime();
  LabelCursore->setText(at ? cursor_ + QLatin1Char(' ') + monitor::ChartTimeText(*at, true)
                           : cursor_);
}

void TFormGrafico::AppendSample(const monitor::LiveSample& sample) {
  if (replaying_) return;
  // The values the live view shows after this poll, as the recorder takes
  // them; without the ECU every trace has a gap.
  logging::Apply(sample, &record_);
  if (sample.connected) {
    std::array<double, logging::kEcuChannelCount> values;
    logging::ValuesOf(record_, values);
    liveColumns_.RowOf(values, row_);
  } else {
    row_.assign(data_.Channels().size(), std::numeric_limits<float>::quiet_NaN());
  }
  data_.Append(sample.time, row_);
  Grafico->DataAppended();
  // Without a cursor the read-out follows the newest sample; with one, a
  // sample may just have arrived at or before it.
  RefreshReadOut();
}

void TFormGrafico::StartPolling() {
  if (context_.link == nullptr || replaying_) return;
  poller_ = std::make_unique<monitor::LivePoller>(context_.link, context_.store);
  pollTimer_ = new QTimer(this);
  pollTimer_->setInterval(kPollInterval);
  connect(pollTimer_, &QTimer::timeout, this, [this] { AppendSample(poller_->Poll()); });
  pollTimer_->start();
}

bool TFormGrafico::Polling() const {
  return pollTimer_ != nullptr && pollTimer_->isActive();
}

bool TFormGrafico::OpenRecording(const QString& path) {
  logging::Log recording;
  std::string reason;
  if (!monitor::LoadRecording(QFile::encodeName(path).toStdString(), &recording, &reason)) {
    MessageBoxes::ShowError(this, unreadable_ + QLatin1Char('\n') + QDir::toNativeSeparators(path),
                            windowTitle(), QString::fromStdString(reason));
    return false;
  }
  ShowRecording(std::move(recording), QFileInfo(path).fileName());
  recordingPath_ = path;
  return true;
}

void TFormGrafico::ShowRecording(logging::Log recording, const QString& name) {
  if (pollTimer_ != nullptr) pollTimer_->stop();
  replaying_ = true;
  recordingName_ = name;
  recordingPath_.clear();
  log_ = std::move(recording);
  data_ = monitor::ChartDataOfLog(log_);
  std::vector<std::size_t> all;
  for (std::size_t c = 0; c < data_.Channels().size(); ++c) all.push_back(c);
  Grafico->SetData(&data_);
  Grafico->SetVisibleChannels(all);
  NameChannels();
  FillChannelList();
  Grafico->ShowAll();
  Grafico->SetCursor(data_.FirstTime());
  clock_ = monitor::ReplayClock(data_.FirstTime(), data_.LastTime());
  lastReplayed_.reset();
  setWindowTitle(title_ + QStringLiteral(" - ") + name);
  PannelloRiproduzione->show();
  // Any log with the engine speed replays (what it lacks reads as zero).
  const bool replayable = log_.ChannelIndex("RPM") >= 0;
  ButtonRiproduci->setEnabled(replayable && !data_.Empty());
  if (!replayable) ButtonRiproduci->setToolTip(notReplayable_);
  RefreshPlayBar();
}

void TFormGrafico::OpenReplayView() {
  if (replayView_ != nullptr) {
    replayView_->show();
    replayView_->raise();
    return;
  }
  // The dashboard of a replay never reaches the ECU (no link, no poll) and
  // records nothing.
  FormContext context = context_;
  context.link = nullptr;
  context.sessionLogFolder.clear();
  context.openLiveView = nullptr;
  replayView_ = new TFormVisualizza(context, this);
  replayView_->setAttribute(Qt::WA_DeleteOnClose, false);
  replayView_->StopPolling();
  replayView_->installEventFilter(this);
  replayView_->setWindowModality(Qt::NonModal);
  connect(replayView_, &QDialog::finished, this, [this] { Pause(); });
  PlaceReplayView();
  replayView_->show();
}

namespace {

// The window manager's frame around a window shown with one; none before
// the window is shown.
QMargins FrameOf(const QWidget* window) {
  const QRect inner = window->geometry();
  const QRect outer = window->frameGeometry();
  return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                  outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

}  // namespace

// The chart leaves room for the replay's dashboard beside or below it, and
// the dashboard is drawn as large as that room allows. The chart keeps at
// least two fifths of the screen's height, so its traces stay readable.
void TFormGrafico::PlaceReplayView() {
  const QMargins frame = FrameOf(this);
  const QRect screen = ScreenArea();
  const QSize chartMinimum = minimumSizeHint().expandedTo(QSize(0, screen.height() * 2 / 5));
  const monitor::ReplayPlacement placement = monitor::PlaceReplay(
      screen, chartMinimum, TFormVisualizza::DesignSize(), frame, ScreenScaleFactor());
  replayView_->ShowAtScale(placement.viewScale);
  setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
  setGeometry(placement.chart.marginsRemoved(frame));
  replayView_->setGeometry(placement.view.marginsRemoved(frame));
}

void TFormGrafico::Play() {
  if (!replaying_ || !ButtonRiproduci->isEnabled()) return;
  OpenReplayView();
  clock_.Play();
  wall_.start();
  lastStep_ = 0;
  playTimer_->start();
  ShowReplayPosition();
  RefreshPlayBar();
}

void TFormGrafico::Pause() {
  clock_.Pause();
  playTimer_->stop();
  RefreshPlayBar();
}

void TFormGrafico::SetSpeed(int speed) {
  clock_.SetSpeed(speed);
  const int index = ComboVelocita->findData(clock_.Speed());
  if (index >= 0) ComboVelocita->setCurrentIndex(index);
  RefreshPlayBar();
}

void TFormGrafico::SeekTo(double time) {
  clock_.Seek(time);
  ShowReplayPosition();
  RefreshPlayBar();
}

void TFormGrafico::ReplayStep(double wallSeconds) {
  clock_.Advance(wallSeconds);
  ShowReplayPosition();
  if (!clock_.Playing()) playTimer_->stop();
  RefreshPlayBar();
}

// The dashboard shows the newest sample at or before the replay's position:
// at 16x many samples pass between two steps, and only the last is seen.
void TFormGrafico::ShowReplayPosition() {
  Grafico->SetCursor(clock_.Position());
  // Keep the position in view when it leaves the zoomed window.
  if (clock_.Position() < Grafico->ViewStart() ||
      clock_.Position() >= Grafico->ViewStart() + Grafico->ViewSpan())
    Grafico->SetView(clock_.Position() - Grafico->ViewSpan() / 2, Grafico->ViewSpan());
  const auto index = data_.IndexAt(clock_.Position());
  if (!index || index == lastReplayed_ || replayView_ == nullptr) return;
  lastReplayed_ = index;
  replayView_->ShowSample(logging::SampleOf(logging::RecordOf(log_, *index)));
}

void TFormGrafico::RefreshPlayBar() {
  if (!replaying_) return;
  ButtonRiproduci->setText(clock_.Playing() ? pause_ : play_);
  const double length = clock_.End() - clock_.Start();
  if (!SliderTempo->isSliderDown()) {
    const QSignalBlocker quiet(SliderTempo);
    SliderTempo->setValue(length > 0 ? static_cast<int>(std::lround(
                                           (clock_.Position() - clock_.Start()) / length * kSliderSteps))
                                     : 0);
  }
  const QString where = monitor::ChartTimeText(clock_.Position() - clock_.Start(), true) +
                        QStringLiteral(" / ") + monitor::ChartTimeText(length, true);
  LabelTempo->setText(where);
  if (replayView_ != nullptr) {
    replayView_->setWindowTitle(recordingName_ + QStringLiteral("  ") + where +
                                QString::fromUtf8("  %1×").arg(clock_.Speed()));
  }
}

void TFormGrafico::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F12) {
    reject();
    return;
  }
  if (event->key() == Qt::Key_Space && replaying_) {
    if (clock_.Playing()) Pause();
    else Play();
    return;
  }
  if (event->key() == Qt::Key_M && !replaying_) {
    ++markers_;
    data_.AddMarker(data_.LastTime(), QStringLiteral("%1 %2").arg(marker_).arg(markers_).toStdString());
    Grafico->update();
    emit MarkerRequested();
    return;
  }
  QDialog::keyPressEvent(event);
}

// The replay's dashboard: Space plays and pauses there too.
bool TFormGrafico::eventFilter(QObject* watched, QEvent* event) {
  if (watched == replayView_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
    if (clock_.Playing()) Pause();
    else Play();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
