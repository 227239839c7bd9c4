// ecuctl check: its command line, its text, and its verdict and exit code on
// logs, small synthetic ones and ones recorded from the virtual ECU on a
// bench test.
#include "CheckCommand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "BenchPolling.h"
#include "Companion.h"
#include "ConfCar.h"
#include "FromLive.h"
#include "Parameters.h"
#include "SessionRecorder.h"
#include "SyntheticDrive.h"
#include "SyntheticLog.h"

namespace {

namespace fs = std::filesystem;
using calibration::Sample;
using calibration::testing::Recording;
using calibration::testing::Wave;

class CheckCommand : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_ = fs::temp_directory_path() / ("ecuctl-check-" + std::to_string(::getpid()));
};

TEST_F(CheckCommand, OptionsGiveTheProbeScaleAndWarmth) {
  ConfCar factory("factory.dmr");
  const calibration::CarSettings factoryCar = calibration::CarSettingsOf(factory);
  struct Case {
    std::vector<std::string> args;
    int low, high, warm;
    bool csv;
  };
  const Case cases[] = {
      {{"check", "a.mlg"}, factoryCar.lambdaLow, factoryCar.lambdaHigh,
       factoryCar.changeOverTemperature, false},
      {{"check", "a.mlg", "--probe", "3", "--warm", "40"}, 500, 0, 40, false},
      {{"check", "--probe", "5", "--probe-offset", "0.9", "a.mlg", "--csv"}, 90, 170,
       factoryCar.changeOverTemperature, true},
      {{"check", "a.mlg", "--warm", "-5"}, 0, 100, -5, false},
  };
  for (const Case& c : cases) {
    CheckOptions options;
    std::string error;
    ASSERT_TRUE(ParseCheckOptions(c.args, &options, &error)) << error;
    EXPECT_EQ(options.file, "a.mlg");
    EXPECT_EQ(options.csv, c.csv);
    EXPECT_EQ(options.car.lambdaLow, c.low) << c.args.size();
    EXPECT_EQ(options.car.lambdaHigh, c.high) << c.args.size();
    EXPECT_EQ(options.car.changeOverTemperature, c.warm) << c.args.size();
    // The actuator's windows are always the factory ones.
    EXPECT_EQ(options.car.idleUp, factoryCar.idleUp);
    EXPECT_EQ(options.car.offIdleDown, factoryCar.offIdleDown);
  }
}

TEST_F(CheckCommand, RefusesABadCommandLineWithAReason) {
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"check"}, "needs a log"},
      {{"check", "a.mlg", "b.mlg"}, "one log"},
      {{"check", "a.mlg", "--probe", "6"}, "bad value '6' for --probe"},
      {{"check", "a.mlg", "--probe", "1.5"}, "bad value '1.5'"},
      {{"check", "a.mlg", "--probe-offset", "0,9"}, "bad value '0,9'"},
      {{"check", "a.mlg", "--probe-offset", "nan"}, "bad value 'nan'"},
      {{"check", "a.mlg", "--warm", "20.5"}, "bad value '20.5' for --warm"},
      {{"check", "a.mlg", "--warm"}, "--warm needs a value"},
      {{"check", "a.mlg", "--fast"}, "unknown option --fast"},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCheckCommand(c.args, out, err), kExitUsage) << c.reason;
    EXPECT_NE(err.str().find(c.reason), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());
  }
}

TEST_F(CheckCommand, PrintsAVerdictPerBandAndFuel) {
  Recording r;
  r.Phase(false, 800, 25).Phase(true, 800, 25, {0.5, 0.5, 0, 1});
  const auto result = calibration::Check(r.samples, r.car);
  std::ostringstream text;
  PrintCheck(result, false, text);
  const std::string expected[] = {
      "idle      petrol  OK; switching 2.0/s, lean 51 %, mean 0.49 V (22.6 s counted)\n",
      "idle      gas     lambda not switching on gas; switching 0.0/s, lean 0 %, mean 0.50 V, "
      "actuator 100 +- 4 steps, upper limit 0 %, lower limit 0 % (23.0 s counted)\n",
      "                  Check the lambda probe, its wiring to the ECU and the emulation "
      "setting.\n",
      "2500 rpm  petrol  not enough data: this phase was not recorded\n",
      "                  Hold the band for at least 20 s on this fuel.\n",
      "2500 rpm  gas     not enough data: this phase was not recorded\n",
  };
  std::size_t at = 0;
  for (const std::string& line : expected) {
    const std::size_t found = text.str().find(line, at);
    ASSERT_NE(found, std::string::npos) << line << "\nin\n" << text.str();
    at = found + line.size();
  }
  std::ostringstream csv;
  PrintCheck(result, true, csv);
  EXPECT_EQ(csv.str().substr(0, 10), "band,fuel,");
  EXPECT_NE(csv.str().find("\nidle,gas,lambda-not-switching,,"), std::string::npos);
}

// Small logs, written as the recorder writes them: each gives its verdict
// and the exit code that goes with it.
TEST_F(CheckCommand, VerdictAndExitCodeOfALog) {
  const auto both = [](Recording& r, const Wave& gas = {}) {
    r.Phase(false, 800, 25).Phase(false, 2500, 25).Phase(true, 800, 25, gas).Phase(true, 2500, 25, gas);
  };
  struct Case {
    const char* name;
    std::function<void(Recording&)> drive;
    std::vector<std::string> options;
    int code;
    const char* line;  // a line of the CSV that must be there
  };
  const Case cases[] = {
      {"every band OK", [&](Recording& r) { both(r); }, {}, kCheckAllOk, "2500,gas,ok,"},
      {"lean on gas", [&](Recording& r) { both(r, {0.08, 0.08, 0, 1}); }, {}, kCheckAdjust,
       "idle,gas,lean-on-gas,"},
      {"petrol only", [](Recording& r) { r.Phase(false, 800, 25).Phase(false, 2500, 25); }, {},
       kCheckNotEnoughData, "idle,gas,not-enough-data,not-recorded,"},
      {"one band to adjust, the other missing",
       [](Recording& r) { r.Phase(false, 800, 25).Phase(true, 800, 25, {0.92, 0.92, 0, 1}); },
       {}, kCheckAdjust, "idle,gas,rich-on-gas,"},
      {"gas cold",
       [&](Recording& r) {
         r.Phase(false, 800, 25).Phase(true, 800, 25, {}, [](Sample& s) { s.temperature = 10; });
       },
       {"--warm", "30"}, kCheckNotEnoughData, "idle,gas,not-enough-data,cold,"},
      {"no temperature readings",
       [&](Recording& r) {
         both(r);
         for (Sample& s : r.samples) s.temperature = calibration::kNoTemperature;
       },
       {}, kCheckAllOk, "idle,gas,ok,"},
      {"inverted probe, told", [&](Recording& r) { r.car.lambdaLow = 500, r.car.lambdaHigh = 0; both(r); },
       {"--probe", "3"}, kCheckAllOk, "idle,petrol,ok,"},
      // Taken as a 0-1 V probe, 5-0 V voltages never come below its middle.
      {"inverted probe, not told",
       [&](Recording& r) { r.car.lambdaLow = 500, r.car.lambdaHigh = 0; both(r); }, {},
       kCheckNotEnoughData, "idle,petrol,not-enough-data,no-switching,"},
      {"empty log", [](Recording&) {}, {}, kCheckNotEnoughData,
       "idle,petrol,not-enough-data,not-recorded,"},
  };
  for (const Case& c : cases) {
    Recording r;
    c.drive(r);
    const std::string log = Path("drive.mlg");
    std::string error;
    ASSERT_TRUE(calibration::testing::WriteLog(log, r.samples, &error)) << error;
    std::vector<std::string> args = {"check", log, "--csv"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::ostringstream out, err;
    EXPECT_EQ(RunCheckCommand(args, out, err), c.code) << c.name << "\n" << out.str() << err.str();
    EXPECT_NE(out.str().find(std::string("\n") + c.line), std::string::npos)
        << c.name << "\n" << out.str();
    EXPECT_EQ(err.str().empty(), c.code != kCheckNotEnoughData) << c.name << ": " << err.str();
  }
}

// A file that is no log is refused as a bad file; a log cut short is judged
// on what it holds, and says so.
TEST_F(CheckCommand, UnreadableAndCutShortLogs) {
  Recording r;
  r.Phase(false, 800, 25).Phase(true, 800, 25, {0.08, 0.08, 0, 1});
  const std::string log = Path("drive.mlg");
  std::string error;
  ASSERT_TRUE(calibration::testing::WriteLog(log, r.samples, &error)) << error;
  const std::string cut = Path("cut.mlg");
  fs::copy_file(log, cut);
  fs::resize_file(cut, fs::file_size(log) - 7);
  std::ofstream(Path("notes.mlg")) << "not a log\n";
  ASSERT_EQ(::mkfifo(Path("fifo.mlg").c_str(), 0600), 0);
  const struct {
    std::string file;
    int code;
    const char* message;
  } cases[] = {
      {Path("missing.mlg"), kExitBadFile, "cannot be read"},
      {Path("notes.mlg"), kExitBadFile, "cannot be read"},
      {dir_.string(), kExitBadFile, "not a regular file"},
      {Path("fifo.mlg"), kExitBadFile, "not a regular file"},
      {cut, kCheckAdjust, "is read up to its last whole block"},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(RunCheckCommand({"check", c.file}, out, err), c.code) << c.file;
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    if (c.code == kExitBadFile) {
      EXPECT_TRUE(out.str().empty()) << out.str();
    }
  }
}

// The whole way: the virtual ECU drives a bench test, the session recorder
// writes the log as the program does, and ecuctl (the program, without an
// ECU) judges it.
struct BenchCase {
  const char* name;
  double mixture;
  int code;
  std::vector<std::string> gasVerdicts;  // either is right, in both bands
};

// Test listings name the case, not its bytes.
void PrintTo(const BenchCase& c, std::ostream* out) { *out << c.name; }

class CheckOfARecordedBenchTest : public ::testing::TestWithParam<BenchCase> {};

TEST_P(CheckOfARecordedBenchTest, GivesTheVerdict) {
  const BenchCase& c = GetParam();
  constexpr double kPhaseSeconds = 30;
  vecu::EcuOptions options;
  options.secondsPerRequest = 0.1;
  options.gasMixture = c.mixture;
  options.drive = {{false, 0, kPhaseSeconds},
                   {false, 2500, kPhaseSeconds},
                   {true, 0, kPhaseSeconds},
                   {true, 2500, kPhaseSeconds}};
  const fs::path log =
      fs::temp_directory_path() / ("ecuctl-bench-" + std::to_string(::getpid()) + ".mlg");
  logging::SessionRecorder recorder;
  ASSERT_TRUE(recorder.Start(log, 1765396800, "bench test")) << recorder.Error();
  linktest::PollBench(options, 4 * kPhaseSeconds + 2,
                      [&](const live::Sample& sample) { recorder.Take(sample); });
  recorder.Stop();
  ASSERT_FALSE(recorder.Failed()) << recorder.Error();
  // The virtual ECU runs with the factory configuration, which the check
  // takes when not told otherwise.
  const std::string command = std::string(ECUCTL_PATH) + " check " + log.string() + " --csv 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
  const int status = ::pclose(pipe);
  fs::remove(log);
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.code) << output;
  for (const char* band : {"idle", "2500"}) {
    EXPECT_NE(output.find(std::string("\n") + band + ",petrol,ok,"), std::string::npos)
        << band << "\n" << output;
    bool found = false;
    for (const std::string& verdict : c.gasVerdicts)
      found |= output.find(std::string("\n") + band + ",gas," + verdict + ",") != std::string::npos;
    EXPECT_TRUE(found) << band << "\n" << output;
  }
}

const BenchCase kBenchCases[] = {
    {"RightMixture", 0, kCheckAllOk, {"ok"}},
    {"Lean25", -25, kCheckAdjust, {"lean-on-gas", "actuator-upper-limit"}},
};

INSTANTIATE_TEST_SUITE_P(VirtualEcu, CheckOfARecordedBenchTest, ::testing::ValuesIn(kBenchCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
