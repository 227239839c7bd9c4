// The chart's pure arithmetic: per-column min/max decimation of a trace, the
// time axis' steps and texts, the chart data's look-ups, a log's columns as
// chart channels, the replay clock, and where a replay's dashboard goes
// beside its chart.
#include <QTest>
#include <cmath>
#include <limits>
#include <vector>

#include "ChartData.h"
#include "Decimation.h"
#include "LogReader.h"
#include "RecordingChart.h"
#include "ReplayClock.h"
#include "ReplayPlacement.h"
#include "StripChart.h"

using monitor::ColumnSpan;
using monitor::DecimatedTrace;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A column written as "column:first,last,min,max" with a leading "|" when
// the trace is broken before it.
QString Describe(const DecimatedTrace& t) {
  QStringList parts;
  if (t.before) parts << QStringLiteral("<%1@%2").arg(t.before->value).arg(t.before->time);
  for (const ColumnSpan& c : t.columns)
    parts << QStringLiteral("%1%2:%3,%4,%5,%6")
                 .arg(c.gapBefore ? "|" : "")
                 .arg(c.column)
                 .arg(c.first)
                 .arg(c.last)
                 .arg(c.min)
                 .arg(c.max);
  if (t.after) parts << QStringLiteral(">%1@%2").arg(t.after->value).arg(t.after->time);
  return parts.join(' ');
}

}  // namespace

class ChartArithmeticTest : public QObject {
  Q_OBJECT

 private slots:
  void decimate_data();
  void decimate();
  void manySamplesKeepEveryExtreme();
  void tickSteps_data();
  void tickSteps();
  void timeTexts_data();
  void timeTexts();
  void chartDataLookups();
  void logColumnsBecomeChannels();
  void replayClock();
  void replayPlacement_data();
  void replayPlacement();
};

void ChartArithmeticTest::decimate_data() {
  QTest::addColumn<std::vector<double>>("times");
  QTest::addColumn<std::vector<float>>("values");
  QTest::addColumn<double>("from");
  QTest::addColumn<double>("to");
  QTest::addColumn<int>("columns");
  QTest::addColumn<QString>("expected");

  const std::vector<double> t10 = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::vector<float> v10 = {5, 1, 9, 4, 4, 7, 2, 8, 3, 6};
  QTest::newRow("two samples a column") << t10 << v10 << 0.0 << 10.0 << 5
                                        << "0:5,1,1,5 1:9,4,4,9 2:4,7,4,7 3:2,8,2,8 4:3,6,3,6";
  QTest::newRow("all in one column") << t10 << v10 << 0.0 << 10.0 << 1 << "0:5,6,1,9";
  QTest::newRow("fewer samples than columns: empty columns are left out")
      << std::vector<double>{0, 5} << std::vector<float>{1, 2} << 0.0 << 10.0 << 10
      << "0:1,1,1,1 5:2,2,2,2";
  QTest::newRow("window inside the data keeps its neighbours")
      << t10 << v10 << 3.0 << 6.0 << 3 << "<9@2 0:4,4,4,4 1:4,4,4,4 2:7,7,7,7 >2@6";
  QTest::newRow("window between two samples: only the neighbours")
      << std::vector<double>{0, 10} << std::vector<float>{1, 3} << 4.0 << 6.0 << 100
      << "<1@0 >3@10";
  QTest::newRow("window after the data") << t10 << v10 << 20.0 << 30.0 << 10 << "<6@9";
  QTest::newRow("window before the data") << t10 << v10 << -10.0 << -5.0 << 10 << ">5@0";
  QTest::newRow("a sample on the right edge belongs to the next window")
      << std::vector<double>{0, 2} << std::vector<float>{1, 2} << 0.0 << 2.0 << 2
      << "0:1,1,1,1 >2@2";
  QTest::newRow("a missing value breaks the trace")
      << std::vector<double>{0, 1, 2, 3} << std::vector<float>{1, kNaN, 3, 4} << 0.0 << 4.0 << 4
      << "0:1,1,1,1 |2:3,3,3,3 3:4,4,4,4";
  QTest::newRow("missing values at the edges cut the neighbours")
      << std::vector<double>{0, 1, 2, 3, 4} << std::vector<float>{1, kNaN, 3, kNaN, 5} << 1.0
      << 4.0 << 3 << "|1:3,3,3,3";
  QTest::newRow("a missing neighbour is no neighbour")
      << std::vector<double>{0, 1, 2, 3} << std::vector<float>{kNaN, 2, 3, kNaN} << 1.0 << 3.0
      << 2 << "0:2,2,2,2 1:3,3,3,3";
  QTest::newRow("nothing but missing values")
      << std::vector<double>{0, 1} << std::vector<float>{kNaN, kNaN} << 0.0 << 2.0 << 2 << "";
  QTest::newRow("no columns") << t10 << v10 << 0.0 << 10.0 << 0 << "";
  QTest::newRow("empty window") << t10 << v10 << 5.0 << 5.0 << 10 << "";
  QTest::newRow("no samples") << std::vector<double>{} << std::vector<float>{} << 0.0 << 1.0 << 4
                              << "";
  QTest::newRow("mismatched columns") << std::vector<double>{0, 1} << std::vector<float>{1} << 0.0
                                      << 2.0 << 2 << "";
}

void ChartArithmeticTest::decimate() {
  QFETCH(std::vector<double>, times);
  QFETCH(std::vector<float>, values);
  QFETCH(double, from);
  QFETCH(double, to);
  QFETCH(int, columns);
  QFETCH(QString, expected);
  QCOMPARE(Describe(monitor::Decimate(times, values, from, to, columns)), expected);
}

// A long noisy trace: every column's min and max are the true extremes of
// the samples that fall in it, and a single spike is never lost.
void ChartArithmeticTest::manySamplesKeepEveryExtreme() {
  const int n = 100000;
  std::vector<double> times(n);
  std::vector<float> values(n);
  for (int i = 0; i < n; ++i) {
    times[i] = i * 0.02;
    values[i] = static_cast<float>(std::sin(i * 0.37) * 100);
  }
  values[54321] = 5000;  // one spike
  const double to = n * 0.02;
  const int columns = 640;
  const DecimatedTrace t = monitor::Decimate(times, values, 0, to, columns);
  QCOMPARE(static_cast<int>(t.columns.size()), columns);
  std::vector<float> low(columns, 1e9F), high(columns, -1e9F);
  for (int i = 0; i < n; ++i) {
    const int c = std::min(columns - 1, static_cast<int>(times[i] / to * columns));
    low[c] = std::min(low[c], values[i]);
    high[c] = std::max(high[c], values[i]);
  }
  for (const ColumnSpan& c : t.columns) {
    QCOMPARE(c.min, low[c.column]);
    QCOMPARE(c.max, high[c.column]);
  }
  const int spikeColumn = static_cast<int>(times[54321] / to * columns);
  QCOMPARE(t.columns[spikeColumn].max, 5000.0F);
}

void ChartArithmeticTest::tickSteps_data() {
  QTest::addColumn<double>("minimum");
  QTest::addColumn<double>("step");
  QTest::newRow("tenths") << 0.05 << 0.1;
  QTest::newRow("exact") << 2.0 << 2.0;
  QTest::newRow("between 5 and 10 s") << 6.0 << 10.0;
  QTest::newRow("quarter minute") << 11.0 << 15.0;
  QTest::newRow("minutes") << 100.0 << 120.0;
  QTest::newRow("an hour") << 2000.0 << 3600.0;
  QTest::newRow("past a day") << 90000.0 << 172800.0;
}

void ChartArithmeticTest::tickSteps() {
  QFETCH(double, minimum);
  QFETCH(double, step);
  QCOMPARE(monitor::TickStep(minimum), step);
}

void ChartArithmeticTest::timeTexts_data() {
  QTest::addColumn<double>("seconds");
  QTest::addColumn<bool>("tenths");
  QTest::addColumn<QString>("text");
  QTest::newRow("zero") << 0.0 << false << "0:00";
  QTest::newRow("seconds") << 7.0 << false << "0:07";
  QTest::newRow("minutes") << 754.0 << false << "12:34";
  QTest::newRow("hours") << 3725.0 << false << "1:02:05";
  QTest::newRow("tenths") << 65.25 << true << "1:05.3";
  QTest::newRow("rounding carries into the minute") << 59.96 << true << "1:00.0";
  QTest::newRow("before the start") << -1.5 << true << "-0:01.5";
}

void ChartArithmeticTest::timeTexts() {
  QFETCH(double, seconds);
  QFETCH(bool, tenths);
  QFETCH(QString, text);
  QCOMPARE(monitor::ChartTimeText(seconds, tenths), text);
}

void ChartArithmeticTest::chartDataLookups() {
  monitor::ChartData data({{"A", "V", 2, {}}, {"B", "", 0, {}}});
  const float a[] = {1, 10};
  const float b[] = {kNaN, 20};
  const float c[] = {3};  // a sample short of a value: the rest are missing
  data.Append(1.0, a);
  data.Append(2.0, b);
  data.Append(1.5, c);  // earlier than the last: kept in order at 2.0
  QCOMPARE(data.Count(), std::size_t{3});
  QCOMPARE(data.Times().back(), 2.0);
  QVERIFY(!data.IndexAt(0.5).has_value());
  QCOMPARE(*data.IndexAt(1.7), std::size_t{0});
  QCOMPARE(*data.IndexAt(2.0), std::size_t{2});
  QCOMPARE(data.ValueAt(0, 1.2), 1.0F);
  QCOMPARE(data.ValueAt(0, 9.0), 3.0F);
  QVERIFY(std::isnan(data.ValueAt(1, 9.0)));
  QVERIFY(std::isnan(data.ValueAt(0, 0.0)));
  QVERIFY(std::isnan(data.ValueAt(7, 1.0)));
  // The range ignores missing values.
  QCOMPARE(data.Channels()[0].low, 1.0F);
  QCOMPARE(data.Channels()[0].high, 3.0F);
  QCOMPARE(data.Channels()[1].low, 10.0F);
  QCOMPARE(data.Channels()[1].high, 20.0F);
  QCOMPARE(*data.ChannelNamed("B"), std::size_t{1});
  QVERIFY(!data.ChannelNamed("C").has_value());
}

// The time is the axis, the temperature's validity folds into the
// temperature, any other channel (ours or not) is drawn as it is.
void ChartArithmeticTest::logColumnsBecomeChannels() {
  logging::Log log;
  log.channels = {{logging::ValueType::U32, "Time", "s", {}, 0.001F, 0, 3},
                  {logging::ValueType::S16, "Gas temp", "C", {}, 1, 0, 0},
                  {logging::ValueType::U08, "Gas temp valid", "", {}, 1, 0, 0},
                  {logging::ValueType::U16, "Battery", "V", {}, 0.1F, 0, 1}};
  log.times = {0, 0.5, 1};
  log.values = {0, 40, 1, 13.8,  //
                0.5, 0, 0, 13.9,  //
                1, 41, 1, 14.0};
  log.markers = {{0.5, "change-over to gas"}};
  const monitor::ChartData data = monitor::ChartDataOfLog(log);
  QCOMPARE(data.Channels().size(), std::size_t{2});
  QCOMPARE(data.Channels()[0].name, std::string("Gas temp"));
  QCOMPARE(data.Channels()[1].name, std::string("Battery"));
  QCOMPARE(data.Channels()[1].unit, std::string("V"));
  QCOMPARE(data.Channels()[1].digits, 1);
  QCOMPARE(data.Count(), std::size_t{3});
  QCOMPARE(data.ValueAt(0, 0.0), 40.0F);
  QVERIFY(std::isnan(data.ValueAt(0, 0.5)));  // no sensor reading: no value
  QCOMPARE(data.ValueAt(0, 1.0), 41.0F);
  QCOMPARE(data.ValueAt(1, 0.5), 13.9F);
  QCOMPARE(data.Channels()[0].low, 40.0F);  // the missing reading is no 0 C
  QCOMPARE(data.Markers().size(), std::size_t{1});
  QCOMPARE(data.Markers()[0].text, std::string("change-over to gas"));
  QCOMPARE(data.Markers()[0].time, 0.5);
}

void ChartArithmeticTest::replayClock() {
  monitor::ReplayClock c(10, 70);
  QCOMPARE(c.Position(), 10.0);
  QCOMPARE(c.Advance(1), 10.0);  // paused: nothing moves
  c.Play();
  QCOMPARE(c.Advance(1), 11.0);
  c.SetSpeed(16);
  QCOMPARE(c.Advance(0.5), 19.0);
  c.SetSpeed(0);  // below 1 counts as 1
  QCOMPARE(c.Speed(), 1);
  c.SetSpeed(4);
  c.Seek(65);
  QCOMPARE(c.Advance(-1), 65.0);  // time never runs back
  QCOMPARE(c.Advance(10), 70.0);  // stops at the end ...
  QVERIFY(!c.Playing());          // ... and pauses there
  QVERIFY(c.AtEnd());
  c.Play();  // from the end, it starts again
  QCOMPARE(c.Position(), 10.0);
  QVERIFY(c.Playing());
  c.Seek(-100);
  QCOMPARE(c.Position(), 10.0);
  c.Seek(1e9);
  QCOMPARE(c.Position(), 70.0);
  c.Pause();
  QVERIFY(!c.Playing());

  monitor::ReplayClock empty(5, 5);  // nothing to play
  empty.Play();
  QVERIFY(!empty.Playing());
}

// The dashboard (798 x 570 as designed) and the chart (at least 460 x 240
// inside its frame) side by side or one above the other, both inside the
// screen, neither over the other, the dashboard as large as the room allows
// and never larger than it would be alone.
void ChartArithmeticTest::replayPlacement_data() {
  QTest::addColumn<QRect>("screen");
  QTest::addColumn<QMargins>("frame");
  QTest::addColumn<double>("alone");
  QTest::addColumn<bool>("apart");
  const QMargins none;
  const QMargins decorated(2, 24, 2, 2);
  QTest::newRow("800 x 600") << QRect(0, 0, 800, 600) << none << 1.0 << true;
  QTest::newRow("800 x 600, framed") << QRect(0, 0, 800, 600) << decorated << 1.0 << true;
  QTest::newRow("1024 x 768") << QRect(0, 0, 1024, 768) << none << 1.28 << true;
  QTest::newRow("1024 x 768 under a panel") << QRect(0, 28, 1024, 740) << decorated << 1.28
                                            << true;
  QTest::newRow("1920 x 1080") << QRect(0, 0, 1920, 1080) << decorated << 2.4 << true;
  QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << decorated << 1.6 << true;
  QTest::newRow("too small for both") << QRect(0, 0, 640, 400) << decorated << 0.8 << false;
}

void ChartArithmeticTest::replayPlacement() {
  QFETCH(QRect, screen);
  QFETCH(QMargins, frame);
  QFETCH(double, alone);
  QFETCH(bool, apart);
  const QSize design(798, 570);
  const QSize chartMinimum(460, 240);
  const auto p = monitor::PlaceReplay(screen, chartMinimum, design, frame, alone);
  QVERIFY2(screen.contains(p.view), qPrintable(QStringLiteral("view %1,%2 %3x%4")
                                                   .arg(p.view.x())
                                                   .arg(p.view.y())
                                                   .arg(p.view.width())
                                                   .arg(p.view.height())));
  QVERIFY(screen.contains(p.chart));
  QVERIFY(p.viewScale <= alone);
  QVERIFY(p.viewScale >= monitor::kSmallestReplayScale);
  QCOMPARE(p.view.size(), QSize(int(std::floor(798 * p.viewScale)) + frame.left() + frame.right(),
                                int(std::floor(570 * p.viewScale)) + frame.top() + frame.bottom()));
  QCOMPARE(p.chart.intersects(p.view), !apart);
  if (apart) {
    QVERIFY(p.chart.width() >= chartMinimum.width() + frame.left() + frame.right());
    QVERIFY(p.chart.height() >= chartMinimum.height() + frame.top() + frame.bottom());
    // The chart takes the rest of the screen on the view's side.
    const QRect both = p.chart.united(p.view);
    QVERIFY(both.width() == screen.width() || both.height() == screen.height());
  }
}

QTEST_GUILESS_MAIN(ChartArithmeticTest)
#include "ChartArithmeticTest.moc"
