// A poll becomes the record the live view shows, and a record read back from
// a log becomes a poll that shows the same again.
#include <gtest/gtest.h>

#include <array>

#include "EcuChannels.h"
#include "LogWriter.h"
#include "TempFolder.h"

namespace {

using logging::EcuRecord;

live::Sample Poll(double time, std::array<std::uint8_t, 6> fast, bool slowRead = false,
                  std::array<std::uint8_t, 5> slow = {}, live::MinTpsRule rule = {}) {
  live::Sample s;
  s.time = time;
  s.connected = true;
  s.fastRead = true;
  s.slowDue = s.slowRead = slowRead;
  std::copy(fast.begin(), fast.end(), s.fast.begin());
  std::copy(slow.begin(), slow.end(), s.slow.begin());
  s.minTpsRule = rule;
  return s;
}

TEST(EcuChannels, APollBecomesTheValuesTheLiveViewShows) {
  EcuRecord r;
  // Slow block: temperature raw 0 (no reading), level 77, on gas with the
  // actuator windows, minimum TPS raw 51 (1.00 V) shown inverted: 4.00 V.
  ASSERT_TRUE(logging::Apply(Poll(0.5, {60, 41, 30, 0x32, 0xC4, 120}, true, {0, 77, 0x09, 51, 99},
                                  {0, false, true}),
                             &r));
  EcuRecord expected;
  expected.time = 0.5;
  expected.rpm = 2000;
  expected.lambdaCentivolts = 81;
  expected.tpsCentivolts = 59;
  expected.tpsZone = 2;
  expected.lambdaStatus = 3;
  expected.actuator = 120;
  expected.cutOff = expected.upperLimit = expected.lowerLimit = true;
  expected.temperature = live::kNoTemperature;
  expected.gasLevel = 77;
  expected.onGas = true;
  expected.actuatorWindows = true;
  expected.minTpsCentivolts = 400;
  expected.defaultPosition = 99;
  EXPECT_EQ(r, expected);

  // A poll without the slow block keeps its part; a failed fast read keeps
  // the fast part; a disconnected poll brings nothing.
  live::Sample fastOnly = Poll(0.6, {120, 0, 0, 0, 0, 7});
  ASSERT_TRUE(logging::Apply(fastOnly, &r));
  EXPECT_EQ(r.rpm, 1000);
  EXPECT_EQ(r.gasLevel, 77);
  live::Sample failed = Poll(0.7, {60, 0, 0, 0, 0, 0});
  failed.fastRead = false;
  EXPECT_FALSE(logging::Apply(failed, &r));
  EXPECT_EQ(r.rpm, 1000);
  EXPECT_EQ(r.time, 0.7);
  live::Sample gone;
  EXPECT_FALSE(logging::Apply(gone, &r));
}

// Until both blocks have arrived a record would hold made-up values (fuel,
// level, temperature before the first slow block), so none is made.
TEST(EcuChannels, RecordsStartOnceBothBlocksHaveArrived) {
  struct Step {
    const char* what;
    bool connected, fastRead, slowRead;
    bool record;
  };
  const Step steps[] = {
      {"fast only, no slow block yet", true, true, false, false},
      {"slow read failed again", true, true, false, false},
      {"disconnected", false, false, false, false},
      {"slow only, fast failed: fast already seen", true, false, true, true},
      {"fast only, slow seen before", true, true, false, true},
      {"nothing arrived", true, false, false, false},
      {"disconnected again", false, false, false, false},
      {"back with both", true, true, true, true},
  };
  logging::RecordFolder folder;
  double time = 0;
  for (const Step& step : steps) {
    live::Sample s = Poll(time += 0.1, {60, 0, 0, 0, 0, 0}, step.slowRead, {0, 9, 0x08, 0, 0});
    s.connected = step.connected;
    s.fastRead = step.fastRead;
    EXPECT_EQ(folder.Take(s), step.record) << step.what;
  }
  EXPECT_EQ(folder.Record().rpm, 2000);
  EXPECT_EQ(folder.Record().gasLevel, 9);
  EXPECT_TRUE(folder.Record().onGas);

  // A slow block first and a fast one later make the first record then.
  logging::RecordFolder slowFirst;
  live::Sample slow = Poll(0.1, {}, true, {0, 9, 0, 0, 0});
  slow.fastRead = false;
  EXPECT_FALSE(slowFirst.Take(slow));
  EXPECT_TRUE(slowFirst.Take(Poll(0.2, {60, 0, 0, 0, 0, 0})));
}

TEST(EcuChannels, ARecordReadBackReplaysAsTheSamePoll) {
  EcuRecord cold;
  cold.rpm = 0;
  cold.temperature = live::kNoTemperature;
  cold.time = 0.0995;  // half a millisecond: a log keeps 0.100 (or 0.099)
  EcuRecord running;
  running.time = 12.3456789;
  running.rpm = 2600;
  running.lambdaCentivolts = 81;
  running.tpsCentivolts = 500;
  running.tpsZone = 3;
  running.lambdaStatus = 2;
  running.actuator = 200;
  running.defaultPosition = 90;
  running.minTpsCentivolts = 62;
  running.temperature = 45;
  running.gasLevel = 255;
  running.onGas = running.cutOff = running.lowerLimit = running.actuatorWindows = true;
  EcuRecord frozen = running;
  frozen.temperature = -20;
  frozen.onGas = false;
  frozen.upperLimit = true;
  frozen.lowerLimit = false;

  // Written to a log, read back, turned into a poll and decoded again.
  TempFolder folder;
  logging::LogWriter writer;
  ASSERT_TRUE(writer.Open(folder / "r.mlg", 0, logging::EcuChannels(), ""));
  const EcuRecord records[] = {cold, running, frozen};
  for (const EcuRecord& r : records) {
    std::array<double, logging::kEcuChannelCount> values{};
    logging::ValuesOf(r, values);
    writer.AppendRecord(r.time, values);
  }
  writer.Close();
  const auto read = logging::ReadLog(folder / "r.mlg");
  ASSERT_TRUE(read.ok) << read.error;
  ASSERT_EQ(read.log.Records(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EcuRecord back = logging::RecordOf(read.log, i);
    // What a live check works out from AsLogged is what a check of the log
    // works out: the same record, bit for bit.
    EXPECT_EQ(logging::AsLogged(records[i]), back) << "record " << i;
    EXPECT_NEAR(back.time, records[i].time, 0.0006);  // to the millisecond
    back.time = records[i].time;
    EXPECT_EQ(back, records[i]) << "record " << i;
    EcuRecord replayed;
    ASSERT_TRUE(logging::Apply(logging::SampleOf(back), &replayed));
    EXPECT_EQ(replayed, back) << "record " << i;
  }
}

}  // namespace
