// What a replay feeds the live view: a recorded sample encoded back into the
// live blocks shows, after the live view's own decoding, exactly the values
// that were recorded; and the replay clock's play, pause, speeds and jumps.
#include <QTest>
#include <cmath>
#include <limits>

#include "ConfCar.h"
#include "LiveBlocks.h"
#include "LiveChannels.h"
#include "ReplayClock.h"

using monitor::LiveChannel;

namespace {
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::size_t At(LiveChannel c) {
  return static_cast<std::size_t>(c);
}
}  // namespace

class ReplaySampleTest : public QObject {
  Q_OBJECT

 private slots:
  void inversesFindTheByteOfEveryShownValue();
  void recordedValuesShowAgain_data();
  void recordedValuesShowAgain();
  void missingEngineSpeedIsNoConnection();
  void channelsAreFoundByName();
  void clock();
};

// Every value the ECU can send comes back to a byte that shows it again.
void ReplaySampleTest::inversesFindTheByteOfEveryShownValue() {
  for (int raw = 0; raw <= 255; ++raw) {
    const int rpm = live::RpmOfPeriod(raw);
    QCOMPARE(live::RpmOfPeriod(monitor::PeriodOfRpm(rpm)), rpm);
    const int cv = live::CentivoltsOfRaw(raw);
    QCOMPARE(live::CentivoltsOfRaw(monitor::RawOfCentivolts(cv)), cv);
    if (raw == 0 || raw == 255) continue;
    const int t = static_cast<int>(TemperatureOfRaw(raw));
    QCOMPARE(static_cast<int>(TemperatureOfRaw(monitor::RawOfShownTemperature(t))), t);
  }
  // Values no byte gives land on the nearest one.
  QCOMPARE(live::RpmOfPeriod(monitor::PeriodOfRpm(2560)), 2600);
  QCOMPARE(monitor::PeriodOfRpm(-5), 0);
  QCOMPARE(live::CentivoltsOfRaw(monitor::RawOfCentivolts(900)), 500);
}

void ReplaySampleTest::recordedValuesShowAgain_data() {
  QTest::addColumn<std::vector<float>>("values");
  // Values the ECU can send (volts come in steps of about 0.02 V).
  // RPM, Lambda, TPS, TPS zone, Lambda status, Actuator, Default pos,
  // Min TPS, Gas temp, Gas level, Fuel, Cut-off, Upper limit, Lower limit.
  QTest::newRow("idle on petrol")
      << std::vector<float>{800, 0.46F, 0.51F, 0, 1, 120, 118, 0.48F, 35, 4, 0, 0, 0, 0};
  QTest::newRow("cruise on gas at the upper limit, cut-off")
      << std::vector<float>{3000, 0.87F, 2.36F, 2, 3, 200, 150, 0.50F, 60, 3, 1, 1, 1, 0};
  QTest::newRow("stopped, lower limit, no temperature")
      << std::vector<float>{0, 0, 0, 1, 0, 0, 0, 0, kNaN, 0, 0, 0, 0, 1};
  QTest::newRow("top of every scale")
      << std::vector<float>{6000, 5, 5, 3, 3, 255, 255, 5, 100, 255, 1, 1, 1, 1};
}

// A recorded sample replayed through the live decoding shows what was recorded.
void ReplaySampleTest::recordedValuesShowAgain() {
  QFETCH(std::vector<float>, values);
  monitor::ChartData data(monitor::LiveChartChannels());
  data.Append(12.5, values);
  const monitor::ReplayChannels map = monitor::ReplayChannelsOf(data);
  const monitor::LiveSample sample = monitor::SampleOfRecord(data, map, 0);
  QCOMPARE(sample.time, 12.5);
  QVERIFY(sample.connected && sample.fastRead && sample.slowRead);
  const monitor::LiveDisplay shown = monitor::NextDisplay({}, sample, monitor::LiveSnapshot{});
  const auto again = monitor::ChartValuesOf(shown, true);
  for (std::size_t i = 0; i < monitor::kLiveChannelCount; ++i) {
    if (std::isnan(values[i])) {
      QVERIFY2(std::isnan(again[i]), monitor::LiveChannelTable()[i].name.data());
      continue;
    }
    QVERIFY2(std::fabs(again[i] - values[i]) < 0.006F, monitor::LiveChannelTable()[i].name.data());
  }
  // Gas temperature the sensor did not give stays "not available".
  if (std::isnan(values[At(LiveChannel::GasTemperature)]))
    QCOMPARE(shown.temperature, live::kNoTemperature);
}

void ReplaySampleTest::missingEngineSpeedIsNoConnection() {
  monitor::ChartData data(monitor::LiveChartChannels());
  std::vector<float> values(monitor::kLiveChannelCount, kNaN);
  data.Append(1, values);
  const monitor::LiveSample sample =
      monitor::SampleOfRecord(data, monitor::ReplayChannelsOf(data), 0);
  QVERIFY(!sample.connected);
  QVERIFY(!sample.fastRead && !sample.slowRead);
  // Past the end there is nothing.
  QVERIFY(!monitor::SampleOfRecord(data, monitor::ReplayChannelsOf(data), 5).connected);
}

// A log of another tool: its channels in another order and some missing;
// those that are there replay, the others read as zero.
void ReplaySampleTest::channelsAreFoundByName() {
  monitor::ChartData data({{"Battery", "V", 1, {}}, {"Actuator", "steps", 0, {}},
                           {"RPM", "rpm", 0, {}}});
  const float values[] = {13.8F, 77, 2500};
  data.Append(0, values);
  const monitor::ReplayChannels map = monitor::ReplayChannelsOf(data);
  QVERIFY(map.Usable());
  QCOMPARE(map.column[At(LiveChannel::Rpm)], 2);
  QCOMPARE(map.column[At(LiveChannel::Actuator)], 1);
  QCOMPARE(map.column[At(LiveChannel::Lambda)], -1);
  const monitor::LiveDisplay shown = monitor::NextDisplay(
      {}, monitor::SampleOfRecord(data, map, 0), monitor::LiveSnapshot{});
  QCOMPARE(shown.rpm, 2500);
  QCOMPARE(shown.actuator, 77);
  QCOMPARE(shown.lambda, 0);

  monitor::ChartData foreign({{"Battery", "V", 1, {}}});
  QVERIFY(!monitor::ReplayChannelsOf(foreign).Usable());
}

void ReplaySampleTest::clock() {
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

QTEST_GUILESS_MAIN(ReplaySampleTest)
#include "ReplaySampleTest.moc"
