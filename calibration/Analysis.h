// The gas calibration check as pure functions of recorded samples: how the
// lambda probe switches, how long it is lean or rich, where the actuator works
// on gas, which samples count (warm, steady, probe active), and a verdict per
// engine speed band comparing gas with petrol.
#pragma once

#include <array>
#include <vector>

#include "Sample.h"
#include "Thresholds.h"

namespace calibration {

enum class Fuel { Petrol, Gas };
enum class Band { Idle, PartLoad };
constexpr std::array<Band, 2> kBands = {Band::Idle, Band::PartLoad};
constexpr std::array<Fuel, 2> kFuels = {Fuel::Petrol, Fuel::Gas};

// Why a sample does not count for its band.
enum class Exclusion { None, OutOfBand, Cold, NotSteady, NoSwitching };

struct SampleClass {
  int band = -1;  // index into kBands, -1: in neither band
  Exclusion exclusion = Exclusion::OutOfBand;
  double seconds = 0;  // the time this sample stands for
  // Lean (-1) or rich (+1) after the hysteresis, 0 before the first switch.
  int state = 0;
  bool crossing = false;  // the state changed at this sample
};

// Where a voltage lies on the probe's scale: 0 the lean end, 1 the rich end,
// whichever way round the probe's voltages run.
double ScalePosition(double lambda, const CarSettings& car);

std::vector<SampleClass> Classify(const std::vector<Sample>& samples, const CarSettings& car,
                                  const Thresholds& limits = kThresholds);

// Why a phase (or a band's verdict) has not enough data.
enum class Reason { None, NotRecorded, TooShort, Cold, NotSteady, NoSwitching, NoPetrolReference };

// What the counted samples of one fuel in one band show.
struct PhaseSummary {
  Fuel fuel = Fuel::Petrol;
  Band band = Band::Idle;
  double bandSeconds = 0;  // in the band on this fuel, counted or not
  double validSeconds = 0;
  double coldSeconds = 0;
  double unsteadySeconds = 0;
  double noSwitchingSeconds = 0;
  int crossings = 0;
  double switchingPerSecond = 0;
  double leanShare = 0;
  double richShare = 0;
  double meanLambda = 0;  // hundredths of a volt
  // On gas: the actuator's mean and spread (standard deviation) in steps,
  // its mean offset from the default position as a share of the working
  // window on that side (positive: opening), and the shares of time at the
  // upper and lower limit flags.
  double actuatorMean = 0;
  double actuatorSpread = 0;
  double windowUse = 0;
  double upperShare = 0;
  double lowerShare = 0;
  Reason reason = Reason::None;  // None: valid

  bool Valid() const { return reason == Reason::None; }
};

PhaseSummary Summarise(const std::vector<Sample>& samples, const std::vector<SampleClass>& classes,
                       Fuel fuel, Band band, const CarSettings& car,
                       const Thresholds& limits = kThresholds);

enum class Verdict {
  Ok,
  LeanOnGas,
  RichOnGas,
  NotSwitchingOnGas,
  UpperLimit,
  LowerLimit,
  NotEnoughData,
};

struct BandVerdict {
  Band band = Band::Idle;
  PhaseSummary petrol;
  PhaseSummary gas;
  Verdict verdict = Verdict::NotEnoughData;  // the band's verdict, gas against petrol
  Reason reason = Reason::NotRecorded;       // with NotEnoughData

  // The verdict shown on one fuel's row: petrol is OK once its phase is
  // valid; gas carries the band's verdict.
  Verdict VerdictOf(Fuel fuel) const;
  Reason ReasonOf(Fuel fuel) const;
};

struct CheckResult {
  std::array<BandVerdict, 2> bands;
};

BandVerdict Judge(const PhaseSummary& petrol, const PhaseSummary& gas, const CarSettings& car,
                  const Thresholds& limits = kThresholds);
CheckResult Check(const std::vector<Sample>& samples, const CarSettings& car,
                  const Thresholds& limits = kThresholds);

// 0 every band OK, 3 something must be adjusted, 1 not enough data.
int ExitCodeOf(const CheckResult& result);
bool NeedsAdjustment(Verdict verdict);

// Stable tokens (files, CSV) and English texts (the command line).
const char* TokenOf(Band band);
const char* TokenOf(Fuel fuel);
const char* TokenOf(Verdict verdict);
const char* TokenOf(Reason reason);
const char* TextOf(Verdict verdict);
const char* TextOf(Reason reason);
// What to check or turn, in which direction.
const char* RecommendationOf(Verdict verdict, Reason reason);

}  // namespace calibration
