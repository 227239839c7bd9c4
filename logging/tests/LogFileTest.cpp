// Writing and reading logs: every value type round trip, a log cut anywhere,
// damaged or foreign files, a writer killed or out of disk space.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "LogReader.h"
#include "LogWriter.h"
#include "TempFolder.h"

namespace {

using logging::Channel;
using logging::DisplayStyle;
using logging::ValueType;

const Channel kTime = {ValueType::U32, "Time", "s", DisplayStyle::Float, 0.001f, 0, 3};

// Writes a log of a Time channel and one more, one record per value.
std::filesystem::path WriteLog(const TempFolder& folder, const Channel& channel,
                               const std::vector<double>& values) {
  const std::array<Channel, 2> channels = {kTime, channel};
  logging::LogWriter writer;
  const auto file = folder / "log.mlg";
  EXPECT_TRUE(writer.Open(file, 1700000000, channels, "test"));
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double time = 0.1 * static_cast<double>(i);
    writer.AppendRecord(time, std::array<double, 2>{time, values[i]});
  }
  writer.Close();
  return file;
}

struct TypeCase {
  Channel channel;
  std::vector<double> values;  // written, and expected back within half a step
};

TEST(LogFile, EveryValueTypeRoundTrips) {
  const TypeCase cases[] = {
      {{ValueType::U08, "u8", "", DisplayStyle::Float, 1, 0, 0}, {0, 1, 127, 255}},
      {{ValueType::S08, "s8", "", DisplayStyle::Float, 1, 0, 0}, {-128, -1, 0, 127}},
      {{ValueType::U16, "u16", "V", DisplayStyle::Float, 0.01f, 0, 2}, {0, 0.81, 5.0, 655.35}},
      {{ValueType::S16, "s16", "C", DisplayStyle::Float, 1, 40, 0}, {-32728, -40, 0, 32807}},
      {{ValueType::U32, "u32", "", DisplayStyle::Float, 1, 0, 0}, {0, 4294967295.0}},
      {{ValueType::S32, "s32", "", DisplayStyle::Float, 0.5f, 0, 1}, {-1073741824.0, -0.5, 2.5}},
      {{ValueType::S64, "s64", "", DisplayStyle::Float, 1, 0, 0}, {-9007199254740992.0, 0, 1e15}},
      {{ValueType::F32, "f32", "", DisplayStyle::Float, 1, 0, 3}, {-1.5, 0, 3.25, 1e30}},
  };
  for (const TypeCase& c : cases) {
    TempFolder folder;
    const logging::ReadResult read = logging::ReadLog(WriteLog(folder, c.channel, c.values));
    ASSERT_TRUE(read.ok) << c.channel.name << ": " << read.error;
    const logging::Log& log = read.log;
    EXPECT_EQ(log.startTime, 1700000000u);
    EXPECT_EQ(log.info, "test");
    EXPECT_EQ(log.channels[1], c.channel);
    EXPECT_TRUE(log.stoppedEarly.empty()) << log.stoppedEarly;
    ASSERT_EQ(log.Records(), c.values.size()) << c.channel.name;
    const double step = std::abs(static_cast<double>(c.channel.scale));
    for (std::size_t r = 0; r < c.values.size(); ++r) {
      EXPECT_NEAR(log.times[r], 0.1 * static_cast<double>(r), 1e-6);
      const double tolerance = c.channel.type == ValueType::F32
                                   ? std::abs(c.values[r]) * 1e-7
                                   : step / 2 + std::abs(c.values[r]) * 1e-7;
      EXPECT_NEAR(log.Value(r, 1), c.values[r], tolerance) << c.channel.name << " record " << r;
    }
  }
}

TEST(LogFile, ValuesBeyondTheTypeAreClampedNotWrapped) {
  const std::pair<Channel, std::array<double, 3>> cases[] = {
      // channel, {too low, too high, not a number} -> low end, high end, 0
      {{ValueType::U08, "u8", "", DisplayStyle::Float, 1, 0, 0}, {0, 255, 0}},
      {{ValueType::S08, "s8", "", DisplayStyle::Float, 1, 0, 0}, {-128, 127, 0}},
      {{ValueType::U16, "u16", "", DisplayStyle::Float, 1, 0, 0}, {0, 65535, 0}},
      {{ValueType::S16, "s16", "", DisplayStyle::Float, 1, 0, 0}, {-32768, 32767, 0}},
      {{ValueType::U32, "u32", "", DisplayStyle::Float, 1, 0, 0}, {0, 4294967295.0, 0}},
      {{ValueType::S32, "s32", "", DisplayStyle::Float, 1, 0, 0}, {-2147483648.0, 2147483647.0, 0}},
      {{ValueType::S64, "s64", "", DisplayStyle::Float, 1, 0, 0},
       {-9223372036854775808.0, 9223372036854775807.0, 0}},
  };
  for (const auto& [channel, expected] : cases) {
    TempFolder folder;
    const auto read = logging::ReadLog(
        WriteLog(folder, channel, {-1e300, 1e300, std::numeric_limits<double>::quiet_NaN()}));
    ASSERT_TRUE(read.ok) << read.error;
    for (std::size_t r = 0; r < 3; ++r)
      EXPECT_EQ(read.log.Value(r, 1), expected[r]) << channel.name << " record " << r;
  }
}

TEST(LogFile, ACutLogReadsUpToItsLastWholeBlock) {
  TempFolder folder;
  const std::array<Channel, 2> channels = {
      kTime, {ValueType::U16, "RPM", "rpm", DisplayStyle::Float, 1, 0, 0}};
  const auto file = folder / "log.mlg";
  std::size_t lastRecordAt = 0;
  std::size_t lastMarkerAt = 0;
  {
    logging::LogWriter writer;
    ASSERT_TRUE(writer.Open(file, 0, channels, "cut"));
    for (int i = 0; i < 5; ++i) writer.AppendRecord(i * 0.1, std::array<double, 2>{i * 0.1, 800.0 + i});
    writer.AppendMarker(0.45, "manual");
    writer.Flush();
    lastMarkerAt = writer.Size() - 54;
    lastRecordAt = writer.Size();
    writer.AppendRecord(0.5, std::array<double, 2>{0.5, 900.0});
    writer.Close();
  }
  const std::vector<std::uint8_t> whole = Bytes(file);
  ASSERT_EQ(whole.size(), lastRecordAt + 4 + 6 + 1);

  const auto full = logging::ParseLog(whole);
  ASSERT_TRUE(full.ok);
  EXPECT_EQ(full.log.Records(), 6u);
  EXPECT_EQ(full.log.markers.size(), 1u);

  // Cut anywhere inside the last record: five records and the marker remain.
  for (std::size_t cut = lastRecordAt; cut < whole.size(); ++cut) {
    const auto read = logging::ParseLog(std::span(whole.data(), cut));
    ASSERT_TRUE(read.ok) << "cut at " << cut;
    EXPECT_EQ(read.log.Records(), 5u) << "cut at " << cut;
    EXPECT_EQ(read.log.Value(4, 1), 804) << "cut at " << cut;
    ASSERT_EQ(read.log.markers.size(), 1u) << "cut at " << cut;
    EXPECT_EQ(read.log.markers[0].text, "manual");
    EXPECT_NEAR(read.log.markers[0].time, 0.45, 1e-5);
    EXPECT_EQ(read.log.stoppedEarly.empty(), cut == lastRecordAt) << "cut at " << cut;
  }
  // Cut inside the marker: the marker is gone, the records before it stay.
  for (std::size_t cut = lastMarkerAt + 1; cut < lastRecordAt; ++cut) {
    const auto read = logging::ParseLog(std::span(whole.data(), cut));
    ASSERT_TRUE(read.ok) << "cut at " << cut;
    EXPECT_EQ(read.log.Records(), 5u);
    EXPECT_TRUE(read.log.markers.empty());
    EXPECT_EQ(read.log.stoppedEarly, "the last block is incomplete");
  }
}

// A valid two-channel log to damage.
std::vector<std::uint8_t> GoodLog() {
  TempFolder folder;
  return Bytes(WriteLog(folder, {ValueType::U08, "x", "", DisplayStyle::Float, 1, 0, 0}, {1, 2, 3}));
}

TEST(LogFile, AForeignOrDamagedHeaderIsRefusedWithItsReason) {
  struct Case {
    const char* what;
    std::size_t at;  // byte to change; the size to cut to when value < 0
    int value;
    const char* reason;
  };
  const std::size_t info = 22 + 2 * 55;
  const Case cases[] = {
      {"empty", 0, -1, "not an MLVLG log"},
      {"other magic", 0, 'P', "not an MLVLG log"},
      {"magic not NUL-ended", 5, 'X', "not an MLVLG log"},
      {"cut in header", 15, -1, "ends inside its header"},
      {"version 2", 7, 2, "version 2 is not supported"},
      {"no channels", 21, 0, "no channels"},
      {"cut in descriptors", 100, -1, "ends inside its channel descriptors"},
      {"unknown type", 22 + 55, 9, "channel 2 has an unknown value type 9"},
      {"record length", 19, 9, "record length 9 does not match its channels (5 bytes)"},
      {"info offset", 13, 40, "info text offset lies inside the channel descriptors"},
      {"data offset beyond the file", 16, 0x7F, "data offset lies outside the file"},
      {"data offset before the info", 17, static_cast<int>(info), "data offset lies outside"},
      {"scale not a number", 22 + 55 + 46, 0x7F, "channel 2 has an unusable scale"},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bytes = GoodLog();
    if (c.value < 0) {
      bytes.resize(c.at);
    } else {
      bytes[c.at] = static_cast<std::uint8_t>(c.value);
      if (std::string(c.what) == "scale not a number") bytes[c.at + 1] = 0xC0;
    }
    const auto read = logging::ParseLog(bytes);
    EXPECT_FALSE(read.ok) << c.what;
    EXPECT_NE(read.error.find(c.reason), std::string::npos) << c.what << ": " << read.error;
  }
}

TEST(LogFile, ADamagedBlockEndsTheReadingThereAndKeepsWhatCameBefore) {
  const std::size_t data = 22 + 2 * 55 + 5;  // "test" and its NUL
  const std::size_t block = 4 + 5 + 1;
  const std::pair<std::size_t, const char*> cases[] = {
      {data + block + 4 + 4, "the record at byte 147 is damaged"},  // a value byte of record 2
      {data + block + 9, "the record at byte 147 is damaged"},      // its check byte
      {data + block, "unknown block type 7 at byte 147"},           // its block type
  };
  for (const auto& [at, reason] : cases) {
    std::vector<std::uint8_t> bytes = GoodLog();
    bytes[at] = 7;
    const auto read = logging::ParseLog(bytes);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.log.Records(), 1u);
    EXPECT_EQ(read.log.stoppedEarly, reason);
  }
}

TEST(LogFile, MarkerTimesCountFromTheRecordBefore) {
  TempFolder folder;
  const std::array<Channel, 1> channels = {kTime};
  const auto file = folder / "markers.mlg";
  logging::LogWriter writer;
  ASSERT_TRUE(writer.Open(file, 0, channels, ""));
  writer.AppendMarker(0.02, "before any record");  // counted back from the first record
  writer.AppendRecord(0.1, std::array<double, 1>{0.1});
  writer.AppendMarker(0.15, "in a run");
  writer.AppendMarker(0.6, "within a stamp's reach");
  writer.AppendMarker(5.2, "beyond it");  // the stamp cannot tell the whole laps
  writer.AppendRecord(12.35, std::array<double, 1>{12.35});
  writer.AppendMarker(12.5, "after the last record");
  writer.Close();
  const auto read = logging::ReadLog(file);
  ASSERT_TRUE(read.ok);
  const std::pair<const char*, double> expected[] = {
      {"before any record", 0.02},
      {"in a run", 0.15},
      {"within a stamp's reach", 0.6},
      {"beyond it", 0.1 + std::fmod(5.1, 0.65536)},
      {"after the last record", 12.5}};
  ASSERT_EQ(read.log.markers.size(), std::size(expected));
  for (std::size_t m = 0; m < std::size(expected); ++m) {
    EXPECT_EQ(read.log.markers[m].text, expected[m].first);
    EXPECT_NEAR(read.log.markers[m].time, expected[m].second, 2e-5) << expected[m].first;
  }
}

TEST(LogFile, WithoutATimeChannelRecordTimesComeFromTheBlockStamps) {
  TempFolder folder;
  const std::array<Channel, 1> channels = {{{ValueType::U08, "x", "", DisplayStyle::Float, 1, 0, 0}}};
  logging::LogWriter writer;
  ASSERT_TRUE(writer.Open(folder / "a.mlg", 0, channels, ""));
  for (double t : {0.0, 0.4, 0.8, 1.2}) writer.AppendRecord(t, std::array<double, 1>{1});
  writer.Close();
  const auto read = logging::ReadLog(folder / "a.mlg");
  ASSERT_TRUE(read.ok);
  ASSERT_EQ(read.log.Records(), 4u);
  EXPECT_NEAR(read.log.times[3], 1.2, 1e-9);
}

TEST(LogFile, AKilledWriterLeavesAReadableLog) {
  TempFolder folder;
  const auto file = folder / "killed.mlg";
  const std::array<Channel, 2> channels = {
      kTime, {ValueType::U16, "RPM", "rpm", DisplayStyle::Float, 1, 0, 0}};
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    logging::LogWriter writer;
    if (!writer.Open(file, 0, channels, "killed")) _exit(1);
    for (long i = 0;; ++i) {
      const double t = 0.01 * static_cast<double>(i);
      writer.AppendRecord(t, std::array<double, 2>{t, static_cast<double>(i % 60000)});
      if (i % 50 == 0) usleep(1000);
    }
  }
  // Wait until something reached the file, then kill without warning.
  for (int i = 0; i < 500 && (!std::filesystem::exists(file) ||
                              std::filesystem::file_size(file) < 5000);
       ++i)
    usleep(10000);
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  const auto read = logging::ReadLog(file);
  ASSERT_TRUE(read.ok) << read.error;
  ASSERT_GT(read.log.Records(), 0u);
  for (std::size_t r = 0; r < read.log.Records(); ++r)
    ASSERT_EQ(read.log.Value(r, 1), static_cast<double>(r % 60000)) << "record " << r;
}

TEST(LogFile, AFullDiskStopsTheWriterAtAWholeBlock) {
  TempFolder folder;
  const auto file = folder / "full.mlg";
  const std::array<Channel, 2> channels = {
      kTime, {ValueType::U16, "RPM", "rpm", DisplayStyle::Float, 1, 0, 0}};
  const std::size_t preamble = 22 + 2 * 55 + 5;
  const std::size_t block = 4 + 6 + 1;
  // The file-size limit stands in for a full disk: writes past it fail.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {preamble + 100 * block + 5, preamble + 100 * block + 5};
    setrlimit(RLIMIT_FSIZE, &limit);
    logging::LogWriter writer;
    if (!writer.Open(file, 0, channels, "full")) _exit(1);
    for (int i = 0; i < 250; ++i) {
      const double t = 0.01 * i;
      writer.AppendRecord(t, std::array<double, 2>{t, 1000.0 + i});
      if (i % 7 == 0) writer.Flush();
    }
    writer.AppendMarker(3, "after the failure");
    writer.Close();
    _exit(writer.Failed() && writer.Error().find("cannot write the log") == 0 ? 0 : 2);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  const auto size = std::filesystem::file_size(file);
  EXPECT_EQ((size - preamble) % block, 0u) << size;
  const auto read = logging::ReadLog(file);
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_TRUE(read.log.stoppedEarly.empty()) << read.log.stoppedEarly;
  EXPECT_GT(read.log.Records(), 90u);
  EXPECT_TRUE(read.log.markers.empty());
  for (std::size_t r = 0; r < read.log.Records(); ++r)
    ASSERT_EQ(read.log.Value(r, 1), 1000.0 + static_cast<double>(r));
}

TEST(LogFile, AFileThatCannotBeMadeIsToldAtOnce) {
  TempFolder folder;
  std::ofstream(folder / "plain") << "x";
  logging::LogWriter writer;
  EXPECT_FALSE(writer.Open(folder / "plain" / "log.mlg", 0, std::array<Channel, 1>{kTime}, ""));
  EXPECT_TRUE(writer.Failed());
  EXPECT_EQ(writer.Error().rfind("cannot create the log", 0), 0u) << writer.Error();
  const auto read = logging::ReadLog(folder / "missing.mlg");
  EXPECT_FALSE(read.ok);
  EXPECT_NE(read.error.find("cannot open"), std::string::npos);
}

}  // namespace
