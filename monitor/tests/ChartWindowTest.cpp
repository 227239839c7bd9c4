// TFormGrafico on the offscreen platform: a recording shown whole, zoom and
// pan by wheel, drag and keys, the cursor's read-out of every channel, the
// choice of channels, live samples followed at the right edge (from the live
// view's own poll, G), and a replay played at 16x through the live view
// without touching the link.
#include <QComboBox>
#include <QTemporaryDir>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>
#include <QWheelEvent>
#include <cmath>
#include <memory>

#include "ConfCar.h"
#include "FormContext.h"
#include "GlobalData.h"
#include "Grafico.h"
#include "EcuChannels.h"
#include "EngineSpeedDial.h"
#include "LiveLink.h"
#include "LogWriter.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "Scaling.h"
#include "SessionRecorder.h"
#include "StripChart.h"
#include "Visualizza.h"
#include "WindowTestSupport.h"

namespace {

// Chart channels of our recordings: every log channel but the time and the
// temperature's validity.
constexpr std::size_t kRpm = 0;
constexpr std::size_t kLambda = 1;
constexpr std::size_t kActuator = 5;
constexpr std::size_t kTemperature = 8;
constexpr std::size_t kFuel = 10;
constexpr std::size_t kChannels = logging::kEcuChannelCount - 2;

// A minute at 10 samples a second, recorded as the program records: the
// engine speed climbs 100 rpm every 5 s from 800, the actuator follows a slow
// wave, the lambda swings each second; the temperature sensor answers after
// 5 s, the ECU changes over to gas at 30 s, where a marker says so.
void WriteMinute(const QString& path) {
  logging::LogWriter writer;
  QVERIFY(writer.Open(path.toStdString(), 1765360800, logging::EcuChannels(), "test"));
  for (int i = 0; i < 600; ++i) {
    const double t = i / 10.0;
    logging::EcuRecord r;
    r.time = t;
    r.rpm = static_cast<int>(800 + 100 * std::floor(t / 5));
    r.lambdaCentivolts = (i / 10) % 2 == 0 ? 12 : 82;
    r.tpsCentivolts = 60 + i / 10;
    r.actuator = static_cast<int>(std::lround(120 + 40 * std::sin(t / 6)));
    r.defaultPosition = 118;
    r.temperature = t < 5 ? live::kNoTemperature : 40;
    r.gasLevel = 3;
    r.onGas = t >= 30;
    std::array<double, logging::kEcuChannelCount> values;
    logging::ValuesOf(r, values);
    writer.AppendRecord(t, values);
    if (i == 300) writer.AppendMarker(t, "change-over to gas");
    if (i == 425) writer.AppendMarker(t, "56: 2000 -> 2600 rpm");
  }
  writer.Close();
  QVERIFY(!writer.Failed());
}

bool Near(double a, double b) {
  return std::fabs(a - b) < 1e-4;
}

monitor::LiveSample Sample(double time, int period, bool connected = true) {
  monitor::LiveSample s;
  s.time = time;
  s.connected = connected;
  s.fastRead = connected;
  s.fast[0] = static_cast<std::uint8_t>(period);
  return s;
}

QString Shown(double value, int digits) {
  QLocale locale;
  locale.setNumberOptions(QLocale::OmitGroupSeparator);
  return locale.toString(value, 'f', digits);
}

}  // namespace

class ChartWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();
  void recordingIsShownWhole();
  void timeLabelsStayInsideTheChart_data();
  void timeLabelsStayInsideTheChart();
  void wheelZoomsAroundThePointer();
  void dragAndKeysPan();
  void cursorReadsOutEveryChannel();
  void channelsCanBeHidden();
  void liveSamplesFollowTheNewest();
  void liveViewFeedsTheChartFromItsOwnPoll();
  void replayPlaysAtSixteenTimesThroughTheLiveView();
  void replayJumpsToADraggedTime();
  void replayViewLeavesTheChartInSight_data();
  void replayViewLeavesTheChartInSight();
  void replayDoesNotPollAtAFasterRecordingRate();
  void sessionRecordedLiveReplaysWithTheCablePulled();
  void recordingWithoutEngineSpeedDoesNotPlay();
  void unreadableRecordingIsRefused();
  void textsComeFromTheDictionary();

 private:
  std::unique_ptr<TFormGrafico> MakeWindow();
  // A window showing the minute's recording.
  std::unique_ptr<TFormGrafico> MakeReplay();
  FormContext Context();

  QTemporaryDir folder_;
  QString minute_;
  LiveLink link_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<TModuloLingua> lingua_;
};

void ChartWindowTest::initTestCase() {
  QVERIFY(folder_.isValid());
  minute_ = folder_.filePath(QStringLiteral("2026-12-10_10-00-00.mlg"));
  WriteMinute(minute_);
}

void ChartWindowTest::init() {
  OverrideScreenWidth(800);
  link_ = LiveLink();
  link_.connected = true;
  store_ = std::make_unique<ConfCar>("x.dmr", &link_);
  lingua_ = std::make_unique<TModuloLingua>();
  QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
  lingua_->SetSelectedColumn("ITALIANO");
}

void ChartWindowTest::cleanup() {
  OverrideScreenWidth(0);
}

FormContext ChartWindowTest::Context() {
  FormContext context;
  context.store = store_.get();
  context.link = &link_;
  context.language = lingua_.get();
  return context;
}

std::unique_ptr<TFormGrafico> ChartWindowTest::MakeWindow() {
  auto window = std::make_unique<TFormGrafico>(Context());
  window->setWindowState(Qt::WindowNoState);
  window->resize(800, 600);
  window->show();
  return window;
}

std::unique_ptr<TFormGrafico> ChartWindowTest::MakeReplay() {
  auto window = MakeWindow();
  if (!window->OpenRecording(minute_)) return nullptr;
  return window;
}

void ChartWindowTest::recordingIsShownWhole() {
  ScopedMessageBoxCapture boxes;
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  QVERIFY(boxes.Empty());
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  QCOMPARE(w->Grafico->ViewStart(), 0.0);
  QVERIFY(Near(w->Grafico->ViewSpan(), 59.9));
  QCOMPARE(w->Data().Count(), std::size_t{600});
  QCOMPARE(w->Data().Markers().size(), std::size_t{2});
  QCOMPARE(w->Data().Markers()[0].text, std::string("change-over to gas"));
  QVERIFY(!w->Grafico->Following());
  QCOMPARE(w->Grafico->VisibleChannels().size(), kChannels);
  QVERIFY(w->PannelloRiproduzione->isVisible());
  QVERIFY(w->windowTitle().endsWith(QStringLiteral("2026-12-10_10-00-00.mlg")));
  QCOMPARE(w->ListaCanali->topLevelItem(0)->text(0), QStringLiteral("Giri motore"));
  QCOMPARE(w->LabelTempo->text(), QStringLiteral("0:00.0 / 0:59.9"));
  Screenshot(w.get(), "chart-recording");
}

// Every time label under the axis is drawn whole inside the chart, none
// over another, and the tick nearest the right edge keeps its label.
void ChartWindowTest::timeLabelsStayInsideTheChart_data() {
  QTest::addColumn<double>("start");
  QTest::addColumn<double>("span");
  QTest::addColumn<int>("width");
  QTest::addColumn<QString>("last");
  QTest::newRow("whole minute") << 0.0 << 59.9 << 800 << QStringLiteral("0:45");
  QTest::newRow("tick at the right edge") << 40.0 << 10.05 << 800 << QStringLiteral("0:50");
  QTest::newRow("tenths at the right edge") << 48.91 << 0.5 << 800 << QStringLiteral("0:49.4");
  QTest::newRow("wide window") << 40.0 << 10.02 << 1024 << QStringLiteral("0:50");
  QTest::newRow("tick at the left edge") << 30.0 << 20.0 << 800 << QStringLiteral("0:45");
}

void ChartWindowTest::timeLabelsStayInsideTheChart() {
  QFETCH(double, start);
  QFETCH(double, span);
  QFETCH(int, width);
  QFETCH(QString, last);
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  w->resize(width, width * 3 / 4);
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  monitor::StripChart* chart = w->Grafico;
  chart->SetView(start, span);
  QCOMPARE(chart->ViewStart(), start);
  const auto labels = chart->AxisLabels(chart->fontMetrics());
  QVERIFY(!labels.empty());
  for (std::size_t i = 0; i < labels.size(); ++i) {
    QVERIFY2(chart->rect().contains(labels[i].box),
             qPrintable(labels[i].text + QStringLiteral(" leaves the chart")));
    QVERIFY(labels[i].box.width() > chart->fontMetrics().horizontalAdvance(labels[i].text));
    if (i > 0) QVERIFY(labels[i].box.left() > labels[i - 1].box.right());
  }
  QCOMPARE(labels.back().text, last);
  if (QString(QTest::currentDataTag()) == QLatin1String("tick at the right edge"))
    Screenshot(w.get(), "chart-time-labels");
}

void ChartWindowTest::wheelZoomsAroundThePointer() {
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  monitor::StripChart* chart = w->Grafico;
  const QPointF at(chart->PlotArea().left() + chart->PlotArea().width() * 0.25, 50);
  const double under = chart->TimeAtX(at.x());
  QWheelEvent in(at, chart->mapToGlobal(at), {}, {0, 240}, Qt::NoButton, Qt::NoModifier,
                 Qt::NoScrollPhase, false);
  QApplication::sendEvent(chart, &in);
  QVERIFY(Near(chart->ViewSpan(), 59.9 * 0.64));
  QVERIFY(std::fabs(chart->TimeAtX(at.x()) - under) < 1e-9);
  // Out again, past the whole: the view never runs off the data.
  QWheelEvent out(at, chart->mapToGlobal(at), {}, {0, -1200}, Qt::NoButton, Qt::NoModifier,
                  Qt::NoScrollPhase, false);
  QApplication::sendEvent(chart, &out);
  QCOMPARE(chart->ViewStart(), 0.0);
  // The keys zoom too, down to the shortest span and no further.
  for (int i = 0; i < 40; ++i) QTest::keyClick(chart, Qt::Key_Plus);
  QCOMPARE(chart->ViewSpan(), monitor::StripChart::kMinimumSpan);
  QTest::keyClick(chart, Qt::Key_Minus);
  QVERIFY(chart->ViewSpan() > monitor::StripChart::kMinimumSpan);
  QTest::keyClick(chart, Qt::Key_Home);
  QVERIFY(Near(chart->ViewSpan(), 59.9));
}

void ChartWindowTest::dragAndKeysPan() {
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  monitor::StripChart* chart = w->Grafico;
  chart->SetView(20, 10);
  const auto cursor = chart->Cursor();
  const QRect plot = chart->PlotArea();
  const double perPixel = 10.0 / plot.width();
  const QPoint from(plot.center().x(), 40);
  QTest::mousePress(chart, Qt::LeftButton, {}, from);
  QTest::mouseMove(chart, from + QPoint(-50, 0));
  QTest::mouseMove(chart, from + QPoint(-100, 0));
  QTest::mouseRelease(chart, Qt::LeftButton, {}, from + QPoint(-100, 0));
  QVERIFY(std::fabs(chart->ViewStart() - (20 + 100 * perPixel)) < 1e-9);
  QCOMPARE(chart->Cursor(), cursor);  // a drag moves no cursor
  const double before = chart->ViewStart();
  QTest::keyClick(chart, Qt::Key_Right);
  QVERIFY(std::fabs(chart->ViewStart() - (before + 1)) < 1e-9);
  QTest::keyClick(chart, Qt::Key_Left);
  QTest::keyClick(chart, Qt::Key_Left);
  QVERIFY(std::fabs(chart->ViewStart() - (before - 1)) < 1e-9);
  // Dragged far past the end, the view stops at the last sample.
  QTest::mousePress(chart, Qt::LeftButton, {}, from);
  QTest::mouseMove(chart, from + QPoint(-100000 / 100, 0));
  QTest::mouseRelease(chart, Qt::LeftButton, {}, from + QPoint(-1000, 0));
  QVERIFY(chart->ViewStart() <= 59.9 - 10 + 1e-9);
}

void ChartWindowTest::cursorReadsOutEveryChannel() {
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  monitor::StripChart* chart = w->Grafico;
  chart->SetView(30, 10);
  QTest::mouseClick(chart, Qt::LeftButton, {},
                    QPoint(static_cast<int>(chart->XOfTime(35.04)) + 1, 40));
  QVERIFY(chart->Cursor().has_value());
  const double t = *chart->Cursor();
  QVERIFY(t > 35.0 && t < 35.1);
  // The last sample at or before the cursor: 35.0 s.
  QCOMPARE(w->ReadOut(kRpm), QStringLiteral("1500 rpm"));
  QCOMPARE(w->ReadOut(kLambda), Shown(0.82, 2) + QStringLiteral(" V"));
  QCOMPARE(w->ReadOut(kActuator),
           QString::number(std::lround(120 + 40 * std::sin(35.0 / 6))) + QStringLiteral(" steps"));
  QCOMPARE(w->ListaCanali->topLevelItem(0)->text(1), QStringLiteral("1500 rpm"));
  // Degrees with their sign; the fuel as 0 or 1 under its caption, with no
  // "gas=1" after the number.
  QCOMPARE(w->ReadOut(kTemperature), QString::fromUtf8("40 °C"));
  QCOMPARE(w->ReadOut(kFuel), QStringLiteral("1"));
  QVERIFY(w->LabelCursore->text().endsWith(monitor::ChartTimeText(t, true)));
  // Where a channel had no value the read-out says so.
  chart->SetCursor(2);
  QCOMPARE(w->ReadOut(kTemperature), QStringLiteral("-"));
  QCOMPARE(w->ReadOut(kRpm), QStringLiteral("800 rpm"));
  // Shift and the arrows move the cursor a pixel at a time.
  chart->SetView(0, 10);
  QTest::keyClick(chart, Qt::Key_Right, Qt::ShiftModifier);
  QVERIFY(std::fabs(*chart->Cursor() - (2 + 10.0 / chart->PlotArea().width())) < 1e-9);
  Screenshot(w.get(), "chart-cursor");
}

void ChartWindowTest::channelsCanBeHidden() {
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  QTreeWidgetItem* lambda = w->ListaCanali->topLevelItem(static_cast<int>(kLambda));
  lambda->setCheckState(0, Qt::Unchecked);
  const auto& shown = w->Grafico->VisibleChannels();
  QCOMPARE(shown.size(), kChannels - 1);
  QVERIFY(std::find(shown.begin(), shown.end(), kLambda) == shown.end());
  // Each lane takes an equal share of the height.
  QVERIFY(w->Grafico->LaneRect(0).height() >
          w->Grafico->PlotArea().height() / static_cast<int>(kChannels));
  lambda->setCheckState(0, Qt::Checked);
  QCOMPARE(w->Grafico->VisibleChannels().size(), kChannels);
}

void ChartWindowTest::liveSamplesFollowTheNewest() {
  auto w = MakeWindow();
  QVERIFY(!w->PannelloRiproduzione->isVisible());
  for (int i = 0; i <= 1200; ++i) w->AppendSample(Sample(i / 10.0, 240));
  QCOMPARE(w->Data().Count(), std::size_t{1201});
  QVERIFY(w->Grafico->Following());
  // With no cursor placed, the list reads out the newest sample.
  QVERIFY(!w->Grafico->Cursor());
  QCOMPARE(w->ListaCanali->topLevelItem(static_cast<int>(kRpm))->text(1),
           QStringLiteral("500 rpm"));
  QVERIFY(w->LabelCursore->text().endsWith(QStringLiteral("2:00.0")));
  QCOMPARE(w->Grafico->ViewStart(), 120.0 - monitor::StripChart::kLiveSpan);
  // Looking back stops following; End takes it up again.
  QTest::keyClick(w->Grafico, Qt::Key_Left);
  QVERIFY(!w->Grafico->Following());
  w->AppendSample(Sample(120.1, 240));
  QVERIFY(w->Grafico->ViewStart() < 60.1);
  QTest::keyClick(w->Grafico, Qt::Key_End);
  QCOMPARE(w->Grafico->ViewStart(), 120.1 - monitor::StripChart::kLiveSpan);
  // A poll without the ECU leaves a gap in every trace.
  w->AppendSample(Sample(120.2, 240, false));
  w->Grafico->SetCursor(120.2);
  QCOMPARE(w->ReadOut(kRpm), QStringLiteral("-"));
  w->Grafico->SetCursor(120.1);
  QCOMPARE(w->ReadOut(kRpm), QStringLiteral("500 rpm"));
  // M sets a marker at the newest sample and asks for it in the log.
  int asked = 0;
  connect(w.get(), &TFormGrafico::MarkerRequested, [&asked] { ++asked; });
  QTest::keyClick(w.get(), Qt::Key_M);
  QCOMPARE(asked, 1);
  QCOMPARE(w->Data().Markers().size(), std::size_t{1});
  QCOMPARE(w->Data().Markers().back().time, 120.2);
  Screenshot(w.get(), "chart-live");
}

// G in the live view opens the chart; the live view's poll keeps feeding it
// (one poll, no second reader of the link), and M in the chart reaches the
// live view, whose recording keeps the marker.
void ChartWindowTest::liveViewFeedsTheChartFromItsOwnPoll() {
  TFormVisualizza view(Context());
  view.Timer1->stop();
  view.show();
  link_.fast = {100, 40, 60, 0x11, 0, 90};
  int samples = -1;
  int fastReads = -1;
  int marked = 0;
  connect(&view, &TFormVisualizza::MarkerRequested, [&marked] { ++marked; });
  WhenModal<TFormGrafico>([&](TFormGrafico* chart) {
    for (int i = 0; i < 3; ++i) view.Tick();
    QTest::keyClick(chart, Qt::Key_M);
    samples = static_cast<int>(chart->Data().Count());
    fastReads = link_.fastReads;
    chart->Grafico->SetCursor(chart->Data().LastTime());
    QCOMPARE(chart->ReadOut(kRpm), QStringLiteral("1200 rpm"));
    chart->reject();
  });
  QTest::keyClick(&view, Qt::Key_G);
  QCOMPARE(samples, 3);
  QCOMPARE(fastReads, 3);
  QCOMPARE(marked, 1);
}

void ChartWindowTest::replayPlaysAtSixteenTimesThroughTheLiveView() {
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  link_.calls.clear();
  w->SetSpeed(16);
  QCOMPARE(w->ComboVelocita->currentText(), QString::fromUtf8("16×"));
  w->Play();
  QVERIFY(w->Clock().Playing());
  TFormVisualizza* view = w->ReplayView();
  QVERIFY(view != nullptr);
  QVERIFY(view->isVisible());
  QVERIFY(!view->Timer1->isActive());
  QCOMPARE(w->ButtonRiproduci->text(), QStringLiteral("&Pausa"));
  // Half a second of wall time at 16x is 8 s of the recording.
  w->ReplayStep(0.5);
  QVERIFY(Near(w->Clock().Position(), 8.0));
  QCOMPARE(view->Display().rpm, 900);
  QCOMPARE(view->StaticTextGiri->text(), QStringLiteral("900 rpm"));
  QCOMPARE(*w->Grafico->Cursor(), w->Clock().Position());
  // Then on its own timer to the end: the 52 s left take about 3.3 s.
  QTRY_VERIFY_WITH_TIMEOUT(!w->Clock().Playing(), 15000);
  QVERIFY(Near(w->Clock().Position(), 59.9));
  QCOMPARE(view->Display().rpm, 1900);
  QCOMPARE(view->LabelComm->text(), QStringLiteral("GAS"));
  QCOMPARE(w->SliderTempo->value(), w->SliderTempo->maximum());
  QCOMPARE(w->ButtonRiproduci->text(), QStringLiteral("&Riproduci"));
  Screenshot(view, "replay-live-view");
  // The replay never asked the link for anything.
  QVERIFY(link_.calls.empty());
  QCOMPARE(link_.fastReads + link_.slowReads, 0);
}

// The chart opens maximised, as the program opens it; the replay's
// dashboard then takes a part of the screen of its own, scaled to fit, and
// the chart the rest: both inside the screen, neither over the other.
void ChartWindowTest::replayViewLeavesTheChartInSight_data() {
  QTest::addColumn<int>("width");
  QTest::newRow("800 x 600") << 800;
  QTest::newRow("1024 x 768") << 1024;
}

void ChartWindowTest::replayViewLeavesTheChartInSight() {
  QFETCH(int, width);
  OverrideScreenWidth(width);
  const QRect screen = ScreenArea();
  TFormGrafico w(Context());
  QVERIFY(w.OpenRecording(minute_));
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  w.Play();
  TFormVisualizza* view = w.ReplayView();
  QVERIFY(view != nullptr);
  QVERIFY(QTest::qWaitForWindowExposed(view));
  QCoreApplication::processEvents();
  const QRect chart = w.frameGeometry();
  const QRect dashboard = view->frameGeometry();
  const auto describe = [](const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
  };
  QVERIFY2(screen.contains(chart), qPrintable(describe(chart)));
  QVERIFY2(screen.contains(dashboard), qPrintable(describe(dashboard)));
  QVERIFY2(!chart.intersects(dashboard), qPrintable(describe(chart) + " / " + describe(dashboard)));
  QVERIFY(!w.isMaximized());
  QVERIFY(w.size().expandedTo(w.minimumSizeHint()) == w.size());
  // The dashboard is drawn whole at its scale: the dial inside its frame,
  // the exit button inside the window.
  QVERIFY(view->Scale() < ScreenScaleFactor());
  QCOMPARE(view->Dial->geometry(), view->BevelGiri->geometry());
  QVERIFY(view->rect().contains(view->ButtonEsci->geometry()));
  w.ReplayStep(0.5);
  Screenshot(&w, QStringLiteral("replay-chart-%1").arg(width));
  Screenshot(view, QStringLiteral("replay-dashboard-%1").arg(width));
}

void ChartWindowTest::replayJumpsToADraggedTime() {
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  w->Play();
  w->Pause();
  // The slider dragged to its middle: the dashboard shows the sample there.
  w->SliderTempo->setSliderDown(true);
  w->SliderTempo->setSliderPosition(w->SliderTempo->maximum() / 2);
  w->SliderTempo->setSliderDown(false);
  QVERIFY(Near(w->Clock().Position(), 29.95));
  QCOMPARE(w->ReplayView()->Display().rpm, 1300);
  QCOMPARE(w->LabelTempo->text(), QStringLiteral("0:30.0 / 0:59.9"));
  // Space in the dashboard plays and pauses.
  QTest::keyClick(w->ReplayView(), Qt::Key_Space);
  QVERIFY(w->Clock().Playing());
  QTest::keyClick(w->ReplayView(), Qt::Key_Space);
  QVERIFY(!w->Clock().Playing());
  // Closing the dashboard pauses; Play opens it again.
  w->Play();
  w->ReplayView()->reject();
  QVERIFY(!w->Clock().Playing());
  w->Play();
  QVERIFY(w->ReplayView()->isVisible());
}

// A session as the program records it: the live view's own poll of the ECU
// into the session recorder, the engine speeding up tick by tick and the ECU
// changing over to gas. Then the cable is pulled: the log opens in the chart
// and plays through a live view that shows, at each recorded time, what the
// live view showed then, and never asks the link for anything.
void ChartWindowTest::sessionRecordedLiveReplaysWithTheCablePulled() {
  const QString path = folder_.filePath(QStringLiteral("session.mlg"));
  struct Seen {
    double time;
    int rpm;
    QString fuel;
  };
  std::vector<Seen> seen;
  {
    logging::SessionRecorder recorder;
    QVERIFY(recorder.Start(path.toStdString(), 1765360800, "test"));
    TFormVisualizza view(Context());
    view.Timer1->stop();
    double latest = 0;
    connect(&view, &TFormVisualizza::SampleTaken, &view,
            [&](const monitor::LiveSample& sample) {
              recorder.Take(sample);
              latest = sample.time;
            });
    link_.slow = {};
    for (int i = 0; i < 12; ++i) {
      link_.fast = {static_cast<std::uint8_t>(200 - 10 * i), 40, 60, 0x11, 0, 90};
      link_.slow[2] = i < 6 ? 0 : 0x08;  // petrol, then gas
      view.Tick();
      seen.push_back({latest, view.Display().rpm, view.LabelComm->text()});
      QTest::qWait(30);
    }
    recorder.Stop();
    QVERIFY(!recorder.Failed());
  }
  QVERIFY(seen.front().rpm != seen.back().rpm);
  QVERIFY(seen.front().fuel != seen.back().fuel);

  link_.connected = false;
  link_.calls.clear();
  link_.fastReads = link_.slowReads = 0;
  ScopedMessageBoxCapture boxes;
  auto w = MakeWindow();
  QVERIFY(w->OpenRecording(path));
  QVERIFY(boxes.Empty());
  QCOMPARE(w->Data().Count(), seen.size());
  QVERIFY(w->ButtonRiproduci->isEnabled());
  w->Play();
  w->Pause();
  // Each tick is a record, at its time as far as the log keeps it.
  for (std::size_t i = 0; i < seen.size(); ++i) {
    const double recorded = w->Data().Times()[i];
    QVERIFY(std::fabs(recorded - seen[i].time) < 0.002);
    w->SeekTo(recorded);
    QCOMPARE(w->ReplayView()->Display().rpm, seen[i].rpm);
    QCOMPARE(w->ReplayView()->LabelComm->text(), seen[i].fuel);
  }
  // Played to its end at 16x, the dashboard shows the last tick.
  w->SeekTo(seen.front().time);
  w->SetSpeed(16);
  w->Play();
  QTRY_VERIFY_WITH_TIMEOUT(!w->Clock().Playing(), 5000);
  QCOMPARE(w->ReplayView()->Display().rpm, seen.back().rpm);
  QVERIFY(link_.calls.empty());
  QCOMPARE(link_.fastReads + link_.slowReads, 0);
}

void ChartWindowTest::recordingWithoutEngineSpeedDoesNotPlay() {
  auto w = MakeWindow();
  logging::Log foreign;
  foreign.channels = {{logging::ValueType::U16, "Battery", "V", {}, 0.1F, 0, 1}};
  foreign.times = {0, 1};
  foreign.values = {13.5, 13.5};
  w->ShowRecording(std::move(foreign), QStringLiteral("other.mlg"));
  QVERIFY(!w->ButtonRiproduci->isEnabled());
  QVERIFY(!w->ButtonRiproduci->toolTip().isEmpty());
  w->Play();
  QVERIFY(w->ReplayView() == nullptr);
  // Its channel is drawn under its own name all the same.
  QCOMPARE(w->ListaCanali->topLevelItem(0)->text(0), QStringLiteral("Battery"));
}

// A file that is no log, and one cut inside its header: refused, with the
// reader's reason under the message, and nothing opens.
void ChartWindowTest::unreadableRecordingIsRefused() {
  QFile original(minute_);
  QVERIFY(original.open(QIODevice::ReadOnly));
  const QByteArray header = original.read(30);
  for (const QByteArray& bytes : {QByteArray("name,value\n56,2000\n"), header}) {
    const QString path = folder_.filePath(QStringLiteral("bad.mlg"));
    QFile bad(path);
    QVERIFY(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write(bytes);
    bad.close();
    ScopedMessageBoxCapture boxes;
    auto w = MakeWindow();
    QVERIFY(!w->OpenRecording(path));
    QCOMPARE(boxes.Requests().size(), 1);
    QVERIFY(boxes.Last().text.startsWith(QStringLiteral("Impossibile aprire la registrazione:")));
    QVERIFY(boxes.Last().text.contains(QStringLiteral("bad.mlg")));
    QVERIFY(!boxes.Last().detail.isEmpty());
    QVERIFY(!w->Replaying());
  }
  // A name that is not there at all.
  ScopedMessageBoxCapture boxes;
  auto w = MakeWindow();
  QVERIFY(!w->OpenRecording(folder_.filePath(QStringLiteral("none.mlg"))));
  QCOMPARE(boxes.Requests().size(), 1);
}

void ChartWindowTest::textsComeFromTheDictionary() {
  lingua_->SetSelectedColumn("ENGLISH");
  auto w = MakeReplay();
  QVERIFY(w != nullptr);
  QCOMPARE(w->windowTitle(), QStringLiteral("Parameter chart - 2026-12-10_10-00-00.mlg"));
  QCOMPARE(w->ListaCanali->headerItem()->text(0), QStringLiteral("Channel"));
  QCOMPARE(w->ListaCanali->topLevelItem(0)->text(0), QStringLiteral("Engine speed"));
  QCOMPARE(w->ButtonRiproduci->text(), QStringLiteral("&Play"));
  QCOMPARE(w->LabelVelocita->text(), QStringLiteral("Speed"));
  Screenshot(w.get(), "chart-english");

  // Without the dictionary: the message, and the Italian texts.
  ScopedMessageBoxCapture boxes;
  FormContext context = Context();
  context.language = nullptr;
  TModuloLingua empty;
  context.language = &empty;  // opened on nothing: every lookup fails
  TFormGrafico bare(context);
  QCOMPARE(boxes.Requests().size(), 1);
  QVERIFY(boxes.Last().text.contains(QStringLiteral("Codice 8")));
  QCOMPARE(bare.windowTitle(), QStringLiteral("Grafico dei parametri"));
}

// A faster recording rate polls on a timer of its own; the replay's
// dashboard must not run it either, nor offer a rate that means nothing there.
void ChartWindowTest::replayDoesNotPollAtAFasterRecordingRate() {
  SettingsSandbox sandbox;
  sandbox.Store(QStringLiteral("/tmp"), 0, 0);
  ScopedMessageBoxCapture boxes;
  int goOn = -1;
  GlobalData settings(goOn);
  QVERIFY(settings.SetRecordingRate(50));
  FormContext context = Context();
  context.settings = &settings;
  TFormGrafico w(context);
  w.resize(800, 600);
  w.show();
  QVERIFY(w.OpenRecording(minute_));
  link_.calls.clear();
  w.Play();
  TFormVisualizza* view = w.ReplayView();
  QVERIFY(view != nullptr);
  QVERIFY(!view->Timer1->isActive());
  QVERIFY(!view->PollTimer->isActive());
  QVERIFY(!view->ComboFrequenza->isVisible());
  QVERIFY(!view->LabelFrequenza->isVisible());
  QTest::qWait(200);
  QVERIFY(link_.calls.empty());
  w.Pause();
  settings.DiscardWithoutSaving();
}

QTEST_MAIN(ChartWindowTest)
#include "ChartWindowTest.moc"
