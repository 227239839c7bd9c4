#include "FromLog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "Analysis.h"
#include "LogReader.h"
#include "LogWriter.h"
#include "SyntheticDrive.h"
#include "SyntheticLog.h"

namespace {

namespace fs = std::filesystem;
using calibration::Sample;
using calibration::testing::Recording;

fs::path TempLog(const char* name) {
  return fs::temp_directory_path() / (std::string("fromlog-") + std::to_string(::getpid()) + "-" + name);
}

// What the recorder writes of a poll comes back as the same sample: every
// field the check reads, the missing temperature reading and the flags
// included.
TEST(FromLog, RecordsComeBackAsTheSamplesTheyWere) {
  std::vector<Sample> written;
  const auto add = [&written](double time, int rpm, int lambda, bool gas, auto&& change) {
    Sample s;
    s.time = time;
    s.rpm = rpm;
    s.lambda = lambda;
    s.onGas = gas;
    s.temperature = 65;
    s.actuator = 120;
    s.defaultPosition = 110;
    change(s);
    written.push_back(s);
  };
  add(0.0, 820, 12, false, [](Sample&) {});
  add(0.1, 2510, 88, true, [](Sample& s) { s.upperLimit = true; s.actuator = 255; });
  add(0.2, 2490, 45, true, [](Sample& s) { s.lowerLimit = true; s.actuator = 0; });
  add(0.3, 3100, 0, true, [](Sample& s) { s.cutOff = true; });
  add(0.4, 790, 500, false, [](Sample& s) { s.temperature = calibration::kNoTemperature; });
  add(0.5, 800, 33, true, [](Sample& s) { s.temperature = -12; });
  const fs::path file = TempLog("roundtrip.mlg");
  std::string error;
  ASSERT_TRUE(calibration::testing::WriteLog(file, written, &error)) << error;
  const logging::ReadResult read = logging::ReadLog(file);
  fs::remove(file);
  ASSERT_TRUE(read.ok) << read.error;
  const std::vector<Sample> back = calibration::SamplesOf(read.log);
  ASSERT_EQ(back.size(), written.size());
  for (std::size_t i = 0; i < back.size(); ++i) {
    const Sample& a = written[i];
    const Sample& b = back[i];
    EXPECT_NEAR(b.time, a.time, 0.001) << i;
    EXPECT_EQ(b.rpm, a.rpm) << i;
    EXPECT_EQ(b.lambda, a.lambda) << i;
    EXPECT_EQ(b.actuator, a.actuator) << i;
    EXPECT_EQ(b.defaultPosition, a.defaultPosition) << i;
    EXPECT_EQ(b.temperature, a.temperature) << i;
    EXPECT_EQ(b.onGas, a.onGas) << i;
    EXPECT_EQ(b.cutOff, a.cutOff) << i;
    EXPECT_EQ(b.upperLimit, a.upperLimit) << i;
    EXPECT_EQ(b.lowerLimit, a.lowerLimit) << i;
  }
}

// A log with only some of the channels (another recorder's, or an older
// one) is judged on what it has: without temperature readings the engine is
// not taken as cold.
TEST(FromLog, ALogWithoutTemperatureIsNotTakenAsCold) {
  Recording r;
  r.Phase(false, 800, 25).Phase(true, 800, 25);
  const std::vector<logging::Channel> channels = {
      {logging::ValueType::U16, "RPM", "rpm", logging::DisplayStyle::Float, 1, 0, 0},
      {logging::ValueType::U16, "Lambda", "V", logging::DisplayStyle::Float, 0.01f, 0, 2},
      {logging::ValueType::U08, "Fuel", "gas=1", logging::DisplayStyle::Float, 1, 0, 0},
  };
  const fs::path file = TempLog("few-channels.mlg");
  logging::LogWriter writer;
  ASSERT_TRUE(writer.Open(file, 0, channels, "")) << writer.Error();
  for (const Sample& s : r.samples) {
    const double values[] = {static_cast<double>(s.rpm), s.lambda / 100.0, s.onGas ? 1.0 : 0.0};
    writer.AppendRecord(s.time, values);
  }
  writer.Close();
  const logging::ReadResult read = logging::ReadLog(file);
  fs::remove(file);
  ASSERT_TRUE(read.ok) << read.error;
  const auto result = calibration::Check(calibration::SamplesOf(read.log), r.car);
  EXPECT_EQ(result.bands[0].verdict, calibration::Verdict::Ok)
      << calibration::TokenOf(result.bands[0].reason);
  EXPECT_EQ(result.bands[0].gas.coldSeconds, 0);
}

}  // namespace
