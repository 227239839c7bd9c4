// The check against the virtual ECU on a test bench, over the real serial
// link on a pseudo-terminal: idle and 2500 rpm on petrol, then on gas, with
// the regulator's mixture error or a dead probe on gas. The virtual ECU's
// engine moves on a tenth of a second at every request, so the test runs as
// fast as the link allows and sees the same engine on any machine.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "Analysis.h"
#include "ConfCar.h"
#include "FromLive.h"
#include "BenchPolling.h"

namespace {

using calibration::Verdict;

constexpr double kSecondsPerRequest = 0.1;
constexpr double kPhaseSeconds = 30;

struct BenchCase {
  const char* name;
  double mixture;
  vecu::ProbeFault fault;
  std::vector<Verdict> accepted;  // either verdict is right, in both bands
};

// Test listings name the case, not its bytes.
void PrintTo(const BenchCase& c, std::ostream* out) { *out << c.name; }

class Bench : public ::testing::TestWithParam<BenchCase> {};

std::vector<calibration::Sample> RecordBenchTest(const BenchCase& c, vecu::EcuMemory* memory) {
  vecu::EcuOptions options;
  options.secondsPerRequest = kSecondsPerRequest;
  options.probeFault = c.fault;
  options.gasMixture = c.mixture;
  options.drive = {{false, 0, kPhaseSeconds},
                   {false, 2500, kPhaseSeconds},
                   {true, 0, kPhaseSeconds},
                   {true, 2500, kPhaseSeconds}};
  std::vector<calibration::Sample> samples;
  logging::RecordFolder polls;
  *memory = linktest::PollBench(options, 4 * kPhaseSeconds + 2, [&](const live::Sample& sample) {
    if (polls.Take(sample)) samples.push_back(calibration::SampleOfRecord(polls.Record()));
  });
  return samples;
}

TEST_P(Bench, VerdictInBothBands) {
  const BenchCase& c = GetParam();
  vecu::EcuMemory memory;
  const auto samples = RecordBenchTest(c, &memory);
  ASSERT_GT(samples.size(), 4 * kPhaseSeconds * 3) << "at least three samples a second";
  calibration::CarSettings car;  // the factory probe (0-1 V) and windows
  car.changeOverTemperature = static_cast<int>(std::trunc(TemperatureOfRaw(memory.Get(58))));
  const auto result = calibration::Check(samples, car);
  for (const auto& band : result.bands) {
    bool accepted = false;
    for (Verdict v : c.accepted) accepted |= band.verdict == v;
    EXPECT_TRUE(accepted) << c.name << " at " << calibration::TokenOf(band.band) << ": "
                          << calibration::TokenOf(band.verdict) << " "
                          << calibration::TokenOf(band.reason) << ", gas "
                          << band.gas.validSeconds << " s, petrol " << band.petrol.validSeconds
                          << " s, switching " << band.gas.switchingPerSecond << "/s, " << samples.size()
                          << " samples";
  }
}

const BenchCase kBenchCases[] = {
    {"RightMixture", 0, vecu::ProbeFault::None, {Verdict::Ok}},
    {"Lean25", -25, vecu::ProbeFault::None, {Verdict::LeanOnGas, Verdict::UpperLimit}},
    {"Rich25", 25, vecu::ProbeFault::None, {Verdict::RichOnGas, Verdict::LowerLimit}},
    {"DeadProbe", 0, vecu::ProbeFault::Dead, {Verdict::NotSwitchingOnGas}},
};

std::string CaseName(const ::testing::TestParamInfo<BenchCase>& param) {
  return param.param.name;
}

INSTANTIATE_TEST_SUITE_P(VirtualEcu, Bench, ::testing::ValuesIn(kBenchCases), CaseName);

}  // namespace
