// The live view's arithmetic as tables: what a poll turns the display into,
// the lambda cell, the minimum TPS, the actuator windows and their marks, the
// dial and its needle, and which block the poller reads on which poll.
#include <QTest>
#include <chrono>
#include <thread>

#include "ConfCar.h"
#include "DialGeometry.h"
#include "LiveLink.h"
#include "LivePoller.h"
#include "LiveTick.h"
#include "Parameters.h"

using namespace monitor;

namespace {

LiveSample Connected(const LiveBlock& fast, bool slowDue = false, const LiveBlock& slow = {},
                     MinTpsRule rule = {}) {
  LiveSample s;
  s.connected = true;
  s.fastRead = true;
  s.fast = fast;
  s.slowDue = slowDue;
  s.slowRead = slowDue;
  s.slow = slow;
  s.minTpsRule = rule;
  return s;
}

LiveBlock Fast(std::uint8_t period, std::uint8_t lambda = 0, std::uint8_t tps = 0,
               std::uint8_t zoneAndStatus = 0, std::uint8_t flags = 0, std::uint8_t actuator = 0) {
  LiveBlock b{};
  b[0] = period;
  b[1] = lambda;
  b[2] = tps;
  b[3] = zoneAndStatus;
  b[4] = flags;
  b[5] = actuator;
  return b;
}

LiveBlock Slow(std::uint8_t temperature, std::uint8_t level, std::uint8_t flags,
               std::uint8_t defaultPosition) {
  LiveBlock b{};
  b[0] = temperature;
  b[1] = level;
  b[2] = flags;
  b[3] = 100;
  b[4] = defaultPosition;
  return b;
}

LiveSample Failed(bool connected, bool slowDue = false) {
  LiveSample s;
  s.connected = connected;
  s.slowDue = connected && slowDue;
  return s;
}

// Every value the view shows, in one list for a readable comparison.
QList<int> Shown(const LiveDisplay& d) {
  return {d.rpm,        d.lambda,      d.tps,        d.tpsZone,  d.lambdaStatus,
          d.lambdaCell, d.fastFlags,   d.actuator,   d.temperature, d.gasLevel,
          d.slowFlags,  d.minTps,      d.defaultPosition};
}

LiveSample WithFailedSlow(LiveSample s) {
  s.slowDue = true;
  s.slowRead = false;
  s.slow = {};
  return s;
}

}  // namespace

Q_DECLARE_METATYPE(live::Sample)

class LiveTickTest : public QObject {
  Q_OBJECT

 private slots:
  void fastBlockDecodes_data();
  void fastBlockDecodes();
  void lambdaCell_data();
  void lambdaCell();
  void minimumTps_data();
  void minimumTps();
  void storedVoltsInTheConfigurationsHundredths();
  void actuatorSpans_data();
  void actuatorSpans();
  void actuatorMarks();
  void failedAndMissedReadsKeepTheDisplay();
  void slowPartRefreshesOnlyWhenDue();
  void needleOffsets_data();
  void needleOffsets();
  void dialGeometry();
  void pollerReadsSlowBlockOnFirstAndEveryEleventh();
  void pollerWaitsWhileDisconnected();
  void pollerReadsSlowAtLeastEverySecondWhenAsked();
  void combinedShowsWhatBothWould_data();
  void combinedShowsWhatBothWould();
};

void LiveTickTest::fastBlockDecodes_data() {
  QTest::addColumn<int>("period");
  QTest::addColumn<int>("raw");
  QTest::addColumn<int>("rpm");
  QTest::addColumn<int>("centivolts");
  QTest::newRow("period 1, raw 255") << 1 << 255 << 120000 << 500;
  QTest::newRow("period 240, raw 0") << 240 << 0 << 500 << 0;
  QTest::newRow("period 241, raw 128") << 241 << 128 << 400 << 251;
  QTest::newRow("period 0 stands still") << 0 << 1 << 0 << 2;
  QTest::newRow("period 255 stands still") << 255 << 254 << 0 << 499;
}

void LiveTickTest::fastBlockDecodes() {
  QFETCH(int, period);
  QFETCH(int, raw);
  QFETCH(int, rpm);
  QFETCH(int, centivolts);
  const auto p = static_cast<std::uint8_t>(period);
  const auto r = static_cast<std::uint8_t>(raw);
  const LiveDisplay d =
      NextDisplay({}, Connected(Fast(p, r, r, 0x32, 0xC4, 77)), LiveSnapshot{});
  QCOMPARE(d.rpm, rpm);
  QCOMPARE(d.lambda, centivolts);
  QCOMPARE(d.tps, centivolts);
  QCOMPARE(d.tpsZone, 2);
  QCOMPARE(d.lambdaStatus, 3);
  QVERIFY(d.UpperLimit() && d.LowerLimit() && d.CutOff());
  QCOMPARE(d.actuator, 77);
}

void LiveTickTest::lambdaCell_data() {
  QTest::addColumn<int>("probeType");
  QTest::addColumn<int>("offset");
  QTest::addColumn<int>("lambda");
  QTest::addColumn<int>("cell");
  QTest::newRow("0-1 V at 0 V") << 0 << 0 << 0 << 0;
  QTest::newRow("0-1 V at 0.45 V") << 0 << 0 << 45 << 4;
  QTest::newRow("0-1 V at 0.95 V") << 0 << 0 << 95 << 9;
  QTest::newRow("0-1 V at 1.20 V, clamped") << 0 << 0 << 120 << 9;
  QTest::newRow("0-5 V at 2.50 V") << 1 << 0 << 250 << 5;
  QTest::newRow("5-0 V at 0 V") << 3 << 0 << 0 << 9;
  QTest::newRow("5-0 V at 2.50 V") << 4 << 0 << 250 << 4;
  QTest::newRow("5-0 V at 4.50 V") << 3 << 0 << 450 << 0;
  QTest::newRow("5-0 V at 5.00 V, clamped") << 3 << 0 << 500 << 0;
  QTest::newRow("0.8-1.6 V below the offset") << 5 << 80 << 40 << 0;
  QTest::newRow("0.8-1.6 V at 0.87 V") << 5 << 80 << 87 << 0;
  QTest::newRow("0.8-1.6 V at 0.88 V") << 5 << 80 << 88 << 1;
  QTest::newRow("0.8-1.6 V at 1.60 V, clamped") << 5 << 80 << 160 << 9;
  QTest::newRow("unknown type is 0-1 V") << 9 << 0 << 55 << 5;
}

void LiveTickTest::lambdaCell() {
  QFETCH(int, probeType);
  QFETCH(int, offset);
  QFETCH(int, lambda);
  QFETCH(int, cell);
  const auto scale = LambdaScale(probeType, offset);
  QCOMPARE(LambdaCell(lambda, scale[0], scale[1]), cell);
}

void LiveTickTest::minimumTps_data() {
  QTest::addColumn<int>("sent");
  QTest::addColumn<int>("hysteresis");
  QTest::addColumn<bool>("fixed");
  QTest::addColumn<bool>("inverted");
  QTest::addColumn<int>("shown");
  QTest::newRow("fixed option off") << 100 << 20 << false << false << 100;
  QTest::newRow("fixed option adds the hysteresis") << 100 << 20 << true << false << 120;
  QTest::newRow("sum would reach 5.10 V") << 490 << 20 << true << false << 490;
  QTest::newRow("sum would reach 5.10 V, inverted") << 490 << 20 << true << true << 10;
  QTest::newRow("inverted after adding") << 100 << 20 << true << true << 380;
}

void LiveTickTest::minimumTps() {
  QFETCH(int, sent);
  QFETCH(int, hysteresis);
  QFETCH(bool, fixed);
  QFETCH(bool, inverted);
  QFETCH(int, shown);
  QCOMPARE(MinTpsShown(sent, {hysteresis, fixed, inverted}), shown);
}

// The lambda offset and the idle TPS hysteresis reach the live view in the
// hundredths the configuration window shows, for every byte the ECU may hold.
void LiveTickTest::storedVoltsInTheConfigurationsHundredths() {
  constexpr int kOffsetProbeCode = 16;  // the probe type whose scale starts at the offset
  ConfCar store("unused.dmr");
  store.StoreRaw(params::Row(params::Id::LambdaProbeType).slot, kOffsetProbeCode);
  for (int raw = 0; raw < 256; ++raw) {
    store.StoreRaw(params::Row(params::Id::LambdaReferenceOffset).slot, raw);
    store.StoreRaw(params::Row(params::Id::IdleTpsHysteresis).slot, raw);
    const int shown = live::CentivoltsOfRaw(raw);
    QCOMPARE(SnapshotOf(store).lambdaLow, shown);
    QCOMPARE(MinTpsRuleOf(store).hysteresis, shown);
  }
}

void LiveTickTest::actuatorSpans_data() {
  QTest::addColumn<int>("defaultPosition");
  QTest::addColumn<int>("zone");
  QTest::addColumn<int>("lower");
  QTest::addColumn<int>("upper");
  QTest::addColumn<int>("justOffIdle");
  QTest::addColumn<QList<int>>("spans");  // off-idle up, down, idle up, down
  QTest::newRow("room on both sides") << 100 << 0 << 0 << 255 << 255 << QList<int>{40, 30, 25, 20};
  QTest::newRow("near the upper limit") << 240 << 0 << 0 << 250 << 255 << QList<int>{10, 30, 10, 20};
  QTest::newRow("near the lower limit") << 30 << 0 << 5 << 255 << 255 << QList<int>{40, 25, 25, 20};
  QTest::newRow("just off idle limits the opening") << 100 << 1 << 0 << 255 << 15
                                                    << QList<int>{15, 30, 25, 20};
  QTest::newRow("just-off-idle only in zone 1") << 100 << 2 << 0 << 255 << 15
                                                << QList<int>{40, 30, 25, 20};
  QTest::newRow("default under the lower limit wraps as a byte")
      << 2 << 0 << 5 << 255 << 255 << QList<int>{40, 253, 25, 253};
}

void LiveTickTest::actuatorSpans() {
  QFETCH(int, defaultPosition);
  QFETCH(int, zone);
  QFETCH(int, lower);
  QFETCH(int, upper);
  QFETCH(int, justOffIdle);
  QFETCH(QList<int>, spans);
  LiveSnapshot s;
  s.lowerLimit = lower;
  s.upperLimit = upper;
  s.offIdleUp = 40;
  s.offIdleDown = 30;
  s.idleUp = 25;
  s.idleDown = 20;
  s.justOffIdleUp = justOffIdle;
  const ActuatorSpans got = SpansOf(defaultPosition, zone, s);
  QCOMPARE((QList<int>{got.offIdleUp, got.offIdleDown, got.idleUp, got.idleDown}), spans);
}

void LiveTickTest::actuatorMarks() {
  // At 800 pixels the usable track is 31 pixels shorter than the bar and
  // starts 4 pixels below its top.
  const ActuatorMarks top = MarksOf({0, 0, 0, 0}, 255, 64, 433, 24, 800);
  QCOMPARE(top.defaultTop, 68);
  QCOMPARE(top.idleHeight, 0);
  QCOMPARE(top.offIdleHeight, 0);
  const ActuatorMarks bottom = MarksOf({0, 0, 0, 0}, 0, 64, 433, 24, 800);
  QCOMPARE(bottom.defaultTop, 68 + 402);
  const ActuatorMarks mid = MarksOf({40, 30, 25, 20}, 100, 64, 433, 24, 800);
  QCOMPARE(mid.defaultTop, 312);  // trunc((1 - 100/255) * 402 + 68)
  QCOMPARE(mid.offIdleHeight, 110);  // trunc(402 * 70 / 255)
  QCOMPARE(mid.offIdleTop, 260);  // trunc(324 - 40 * 402 / 255), mid 324
  QCOMPARE(mid.idleHeight, 70);
  QCOMPARE(mid.idleTop, 284);
  // A wider screen scales the track's margins.
  QCOMPARE(MarksOf({0, 0, 0, 0}, 255, 82, 554, 24, 1024).defaultTop, 82 + 5);
}

void LiveTickTest::failedAndMissedReadsKeepTheDisplay() {
  LiveDisplay shown = NextDisplay({}, Connected(Fast(100, 40, 60, 0x11, 0x80, 90)), {});
  QCOMPARE(shown.rpm, 1200);
  QCOMPARE(shown.lambdaCell, 7);  // 0.79 V on a 0-1 V probe

  LiveSample failed;
  failed.connected = true;
  const LiveDisplay afterFailure = NextDisplay(shown, failed, {});
  QCOMPARE(afterFailure.rpm, 1200);
  QCOMPARE(afterFailure.actuator, 90);
  QCOMPARE(afterFailure.fastFlags, std::uint8_t{0x80});

  const LiveDisplay disconnected = NextDisplay(afterFailure, LiveSample{}, {});
  QCOMPARE(disconnected.rpm, 1200);
  QCOMPARE(disconnected.lambda, shown.lambda);
  QVERIFY(!disconnected.slowRefreshed);

  // Nothing was ever read: zeros and no temperature.
  const LiveDisplay never = NextDisplay({}, LiveSample{}, {});
  QCOMPARE(never.rpm, 0);
  QCOMPARE(never.temperature, live::kNoTemperature);

  // Reading resumes from the frozen state: the previous speed is the frozen one.
  const LiveDisplay resumed = NextDisplay(disconnected, Connected(Fast(60)), {});
  QCOMPARE(resumed.previousRpm, 1200);
  QCOMPARE(resumed.rpm, 2000);
}

void LiveTickTest::slowPartRefreshesOnlyWhenDue() {
  LiveBlock slow{};
  slow[0] = 0;     // no temperature sensor
  slow[1] = 180;   // gas level
  slow[2] = 0x09;  // on gas, windows shown
  slow[3] = 250;   // 4.91 V
  slow[4] = 120;
  const LiveDisplay d = NextDisplay({}, Connected(Fast(0), true, slow, {20, true, false}), {});
  QVERIFY(d.slowRefreshed);
  QCOMPARE(d.temperature, live::kNoTemperature);
  QCOMPARE(d.gasLevel, 180);
  QVERIFY(d.OnGas() && d.ShowActuatorWindows());
  QCOMPARE(d.minTps, 491);  // adding 0.20 V would pass 5 V
  QCOMPARE(d.defaultPosition, 120);

  // A failed slow read refreshes the slow part from the kept values.
  LiveSample failedSlow = Connected(Fast(0), true, {}, {});
  failedSlow.slowRead = false;
  const LiveDisplay kept = NextDisplay(d, failedSlow, {});
  QVERIFY(kept.slowRefreshed);
  QCOMPARE(kept.gasLevel, 180);
  QCOMPARE(kept.defaultPosition, 120);

  // A poll without the slow block leaves the slow part alone.
  QVERIFY(!NextDisplay(d, Connected(Fast(0)), {}).slowRefreshed);
}

void LiveTickTest::needleOffsets_data() {
  QTest::addColumn<int>("rpm");
  QTest::addColumn<int>("dx");
  QTest::addColumn<int>("dy");
  // Radius 66 (the design frame), needle 39 pixels.
  QTest::newRow("0 rpm, lower left") << 0 << -27 << 27;
  QTest::newRow("1000 rpm, left") << 1000 << -39 << 0;
  QTest::newRow("3000 rpm, straight up") << 3000 << 0 << -39;
  QTest::newRow("5000 rpm, right") << 5000 << 39 << 0;
  QTest::newRow("6000 rpm, lower right") << 6000 << 27 << 27;
  QTest::newRow("7000 rpm, past the last mark") << 7000 << 0 << 39;
}

void LiveTickTest::needleOffsets() {
  QFETCH(int, rpm);
  QFETCH(int, dx);
  QFETCH(int, dy);
  QCOMPARE(NeedleLength(66), 39);
  const NeedleOffset got = NeedleOffsetOf(rpm, 39);
  QCOMPARE(got.dx, dx);
  QCOMPARE(got.dy, dy);
}

void LiveTickTest::dialGeometry() {
  const DialGeometry g = DialOf(16, 272, 241, 233);
  QCOMPARE(g.radius, 66);
  QCOMPARE(g.centreX, 136);
  QCOMPARE(g.centreY, 388);
  QCOMPARE(g.diagonal, 46);
  // Widened to the TPS frame's width for a variant-2 ECU.
  QCOMPARE(DialOf(16, 272, 409, 233).centreX, 220);
}

void LiveTickTest::pollerReadsSlowBlockOnFirstAndEveryEleventh() {
  LiveLink link;
  link.connected = true;
  LivePoller poller(&link, nullptr);
  QList<int> slowPolls;
  for (int poll = 1; poll <= 23; ++poll) {
    if (poll == 12) link.failSlow = true;  // a failed slow read waits its turn too
    if (poller.Poll().slowDue) slowPolls.append(poll);
  }
  QCOMPARE(slowPolls, (QList<int>{1, 12, 23}));
  QCOMPARE(link.fastReads, 23);
  QCOMPARE(link.slowReads, 3);
}

void LiveTickTest::pollerWaitsWhileDisconnected() {
  LiveLink link;
  ConfCar store("x.dmr", &link);
  link.connected = true;
  LivePoller poller(&link, &store);
  QVERIFY(poller.Poll().slowRead);
  for (int i = 0; i < 5; ++i) poller.Poll();
  link.connected = false;
  for (int i = 0; i < 30; ++i) {
    const LiveSample s = poller.Poll();
    QVERIFY(!s.connected && !s.fastRead && !s.slowDue);
  }
  QCOMPARE(link.fastReads, 6);
  link.connected = true;
  int polls = 0;
  while (!poller.Poll().slowDue) ++polls;
  QCOMPARE(polls, 5);  // the countdown went on from where it stood
}

// Faster than the view draws, a line that slows the polls down still brings
// the slow block at least once a second; at the view's own rate only the
// one-in-eleven rhythm counts.
void LiveTickTest::pollerReadsSlowAtLeastEverySecondWhenAsked() {
  for (const bool asked : {false, true}) {
    LiveLink link;
    link.connected = true;
    LivePoller poller(&link, nullptr);
    poller.SetSlowAtLeastEverySecond(asked);
    QVERIFY(poller.Poll().slowDue);
    QVERIFY(!poller.Poll().slowDue);
    std::this_thread::sleep_for(std::chrono::milliseconds(1050));
    QCOMPARE(poller.Poll().slowDue, asked);
    // After a slow read the count starts again either way.
    QVERIFY(!poller.Poll().slowDue);
  }
}

// Polls drawn together show what drawing each in turn would show: the
// newest values of each block, never an older block over a newer one.
void LiveTickTest::combinedShowsWhatBothWould_data() {
  QTest::addColumn<LiveSample>("earlier");
  QTest::addColumn<LiveSample>("later");
  const LiveSample fastA = Connected(Fast(100, 40, 60, 0x11, 0x80, 90));
  const LiveSample fastB = Connected(Fast(60, 20, 200, 0x32, 0x04, 140));
  const LiveSample slowA = Connected(Fast(100, 40), true, Slow(120, 72, 0x09, 190), {20, true, false});
  const LiveSample slowB = Connected(Fast(80, 10), true, Slow(0, 30, 0x00, 110), {0, false, true});
  QTest::newRow("fast after fast") << fastA << fastB;
  QTest::newRow("fast after slow") << slowA << fastB;
  QTest::newRow("slow after slow") << slowA << slowB;
  QTest::newRow("slow after fast") << fastA << slowB;
  QTest::newRow("failed fast after slow") << slowA << Failed(true);
  QTest::newRow("failed slow after slow") << slowA << WithFailedSlow(fastB);
  QTest::newRow("slow after failed slow") << WithFailedSlow(fastA) << slowB;
  QTest::newRow("failed slow after fast") << fastA << WithFailedSlow(fastB);
  QTest::newRow("lost after slow") << slowA << Failed(false);
  QTest::newRow("slow after lost") << Failed(false) << slowB;
  QTest::newRow("both lost") << Failed(false) << Failed(false);
}

void LiveTickTest::combinedShowsWhatBothWould() {
  QFETCH(LiveSample, earlier);
  QFETCH(LiveSample, later);
  const LiveSnapshot snapshot;
  // Something shown before, so a kept value is told from a fresh one.
  const LiveDisplay before = NextDisplay(
      {}, Connected(Fast(200, 90, 10, 0x20, 0x40, 30), true, Slow(50, 5, 0x01, 60)), snapshot);
  const LiveDisplay inTurn = NextDisplay(NextDisplay(before, earlier, snapshot), later, snapshot);
  const LiveDisplay together = NextDisplay(before, Combined(earlier, later), snapshot);
  QCOMPARE(Shown(together), Shown(inTurn));
  // The slow part is redrawn when either poll would have redrawn it.
  const bool refreshed =
      NextDisplay(before, earlier, snapshot).slowRefreshed || inTurn.slowRefreshed;
  QCOMPARE(together.slowRefreshed, refreshed);
  // The previous values are those shown before, so the view clears the
  // cells it lit last time.
  QCOMPARE(together.previousLambdaCell, before.lambdaCell);
  if (Combined(earlier, later).fastRead) {
    QCOMPARE(together.previousRpm, before.rpm);
    QCOMPARE(together.previousTpsZone, before.tpsZone);
  }
}

QTEST_GUILESS_MAIN(LiveTickTest)
#include "LiveTickTest.moc"
