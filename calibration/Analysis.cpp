#include "Analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace calibration {
namespace {

int BandOf(int rpm, const Thresholds& limits) {
  if (rpm >= limits.idleRpmLow && rpm <= limits.idleRpmHigh) return 0;
  if (rpm >= limits.partLoadRpmLow && rpm <= limits.partLoadRpmHigh) return 1;
  return -1;
}

bool IsCold(const Sample& sample, const CarSettings& car) {
  // Without a temperature reading (an ECU with no sensor) nothing is known
  // to be cold.
  return sample.temperature != kNoTemperature && sample.temperature <= car.changeOverTemperature;
}

// Lean/rich state with hysteresis and whether each sample changed it.
void MarkSwitching(const std::vector<Sample>& samples, const CarSettings& car,
                   const Thresholds& limits, std::vector<SampleClass>* classes) {
  int state = 0;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const double position = ScalePosition(samples[i].lambda, car);
    int next = state;
    if (position > 0.5 + limits.hysteresis) next = 1;
    if (position < 0.5 - limits.hysteresis) next = -1;
    (*classes)[i].crossing = state != 0 && next != state;
    (*classes)[i].state = next;
    state = next;
  }
}

// Samples on petrol in a gap between crossings longer than the limit: the
// probe is not active there (cold probe, open loop), so petrol is no reference.
std::vector<bool> InSwitchingGap(const std::vector<Sample>& samples,
                                 const std::vector<SampleClass>& classes,
                                 const Thresholds& limits) {
  constexpr double kNever = std::numeric_limits<double>::infinity();
  const std::size_t n = samples.size();
  std::vector<double> previous(n, -kNever), next(n, kNever);
  double last = -kNever;
  for (std::size_t i = 0; i < n; ++i) {
    if (classes[i].crossing) last = samples[i].time;
    previous[i] = last;
  }
  last = kNever;
  for (std::size_t i = n; i-- > 0;) {
    if (classes[i].crossing) last = samples[i].time;
    next[i] = last;
  }
  std::vector<bool> gap(n);
  for (std::size_t i = 0; i < n; ++i) gap[i] = next[i] - previous[i] > limits.maxSwitchGapSeconds;
  return gap;
}

// Steps above and below the actuator's default position.
struct Room {
  int up = 0;
  int down = 0;
};

// The working windows the ECU uses in a band: idle, or off idle.
Room WindowsOf(Band band, const CarSettings& car) {
  return band == Band::Idle ? Room{car.idleUp, car.idleDown} : Room{car.offIdleUp, car.offIdleDown};
}

// The steps the ECU lets the actuator move above and below a default
// position: its windows, cut where they reach past the actuator's limits.
Room RoomAround(int defaultPosition, Band band, const CarSettings& car) {
  const Room window = WindowsOf(band, car);
  return {std::max(0, std::min(car.upperLimit - defaultPosition, window.up)),
          std::max(0, std::min(defaultPosition - car.lowerLimit, window.down))};
}

// The mean offset from the default as a share of the mean room on its side.
double WindowUse(double offset, double roomUp, double roomDown, Band band,
                 const CarSettings& car) {
  // The ECU learns its default while the actuator stands at a limit, so the
  // default creeps towards the limit and the room left on that side shrinks:
  // the offset is measured against that room, not the whole window, or an
  // actuator held at its top would look as if it had travel to spare.
  const double room = offset >= 0 ? roomUp : roomDown;
  if (room > 0) return offset / room;
  if (offset == 0) return 0;
  // No room at all on that side, yet the actuator is beyond its default:
  // the car's limits are not those the recording was made with, so the
  // whole window is the only measure left.
  const Room window = WindowsOf(band, car);
  const int whole = offset > 0 ? window.up : window.down;
  return whole > 0 ? offset / whole : 0;
}

}  // namespace

double ScalePosition(double lambda, const CarSettings& car) {
  const double span = car.lambdaHigh - car.lambdaLow;
  if (span == 0) return 0.5;
  return (lambda - car.lambdaLow) / span;
}

std::vector<SampleClass> Classify(const std::vector<Sample>& samples, const CarSettings& car,
                                  const Thresholds& limits) {
  std::vector<SampleClass> classes(samples.size());
  MarkSwitching(samples, car, limits, &classes);
  const std::vector<bool> gap = InSwitchingGap(samples, classes, limits);
  double runStart = 0;  // since when the band, fuel and no cut-off have held
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const Sample& s = samples[i];
    SampleClass& c = classes[i];
    if (i > 0) c.seconds = std::clamp(s.time - samples[i - 1].time, 0.0, limits.maxSampleGapSeconds);
    c.band = s.cutOff ? -1 : BandOf(s.rpm, limits);
    // A change of band or fuel, a cut-off or a gap in the recording starts
    // the settling again.
    const bool sameRun = i > 0 && c.band >= 0 && c.band == classes[i - 1].band &&
                         s.onGas == samples[i - 1].onGas &&
                         s.time - samples[i - 1].time <= limits.maxSampleGapSeconds;
    if (!sameRun) runStart = s.time;
    if (c.band < 0) {
      c.exclusion = Exclusion::OutOfBand;
      continue;
    }
    int lowest = s.rpm, highest = s.rpm;
    for (std::size_t j = i; j-- > 0 && samples[j].time >= s.time - limits.steadySeconds;) {
      lowest = std::min(lowest, samples[j].rpm);
      highest = std::max(highest, samples[j].rpm);
    }
    const bool steady = s.time - runStart >= limits.steadySeconds &&
                        highest - lowest <= limits.steadyRpmSpread;
    if (IsCold(s, car)) {
      c.exclusion = Exclusion::Cold;
    } else if (!steady) {
      c.exclusion = Exclusion::NotSteady;
    } else if (!s.onGas && gap[i]) {
      c.exclusion = Exclusion::NoSwitching;
    } else {
      c.exclusion = Exclusion::None;
    }
  }
  return classes;
}

PhaseSummary Summarise(const std::vector<Sample>& samples, const std::vector<SampleClass>& classes,
                       Fuel fuel, Band band, const CarSettings& car, const Thresholds& limits) {
  PhaseSummary p;
  p.fuel = fuel;
  p.band = band;
  const int bandIndex = band == Band::Idle ? 0 : 1;
  double lean = 0, rich = 0, lambda = 0, actuator = 0, actuatorSquares = 0, offset = 0;
  double roomUp = 0, roomDown = 0, upper = 0, lower = 0;
  for (std::size_t i = 0; i < samples.size() && i < classes.size(); ++i) {
    const Sample& s = samples[i];
    const SampleClass& c = classes[i];
    if (s.onGas != (fuel == Fuel::Gas) || c.band != bandIndex) continue;
    const double w = c.seconds;
    p.bandSeconds += w;
    switch (c.exclusion) {
      case Exclusion::Cold:
        p.coldSeconds += w;
        continue;
      case Exclusion::NotSteady:
        p.unsteadySeconds += w;
        continue;
      case Exclusion::NoSwitching:
        p.noSwitchingSeconds += w;
        continue;
      default:
        break;
    }
    p.validSeconds += w;
    p.crossings += c.crossing ? 1 : 0;
    (ScalePosition(s.lambda, car) < 0.5 ? lean : rich) += w;
    lambda += w * s.lambda;
    actuator += w * s.actuator;
    actuatorSquares += w * s.actuator * s.actuator;
    offset += w * (s.actuator - s.defaultPosition);
    const Room room = RoomAround(s.defaultPosition, band, car);
    roomUp += w * room.up;
    roomDown += w * room.down;
    upper += s.upperLimit ? w : 0;
    lower += s.lowerLimit ? w : 0;
  }
  if (p.validSeconds > 0) {
    const double t = p.validSeconds;
    p.switchingPerSecond = p.crossings / t;
    p.leanShare = lean / t;
    p.richShare = rich / t;
    p.meanLambda = lambda / t;
    if (fuel == Fuel::Gas) {
      p.actuatorMean = actuator / t;
      p.actuatorSpread = std::sqrt(std::max(0.0, actuatorSquares / t - p.actuatorMean * p.actuatorMean));
      p.windowUse = WindowUse(offset / t, roomUp / t, roomDown / t, band, car);
      p.upperShare = upper / t;
      p.lowerShare = lower / t;
    }
  }
  if (p.validSeconds >= limits.minValidSeconds) return p;
  if (p.bandSeconds <= 0) {
    p.reason = Reason::NotRecorded;
  } else if (p.bandSeconds < limits.minValidSeconds) {
    p.reason = Reason::TooShort;
  } else if (p.coldSeconds >= p.unsteadySeconds && p.coldSeconds >= p.noSwitchingSeconds) {
    p.reason = Reason::Cold;
  } else if (p.unsteadySeconds >= p.noSwitchingSeconds) {
    p.reason = Reason::NotSteady;
  } else {
    p.reason = Reason::NoSwitching;
  }
  return p;
}

BandVerdict Judge(const PhaseSummary& petrol, const PhaseSummary& gas, const CarSettings& car,
                  const Thresholds& limits) {
  BandVerdict b;
  b.band = gas.band;
  b.petrol = petrol;
  b.gas = gas;
  b.reason = Reason::None;
  auto verdict = [&b](Verdict v) {
    b.verdict = v;
    return b;
  };
  if (!gas.Valid()) {
    b.reason = gas.reason;
    return verdict(Verdict::NotEnoughData);
  }
  if (!petrol.Valid()) {
    b.reason = Reason::NoPetrolReference;
    return verdict(Verdict::NotEnoughData);
  }
  if (gas.upperShare >= limits.limitShare || gas.lowerShare >= limits.limitShare)
    return verdict(gas.upperShare >= gas.lowerShare ? Verdict::UpperLimit : Verdict::LowerLimit);
  if (gas.switchingPerSecond < limits.minSwitchingPerSecond) {
    const double position = ScalePosition(gas.meanLambda, car);
    if (position < limits.middleLow) return verdict(Verdict::LeanOnGas);
    if (position > limits.middleHigh) return verdict(Verdict::RichOnGas);
    return verdict(Verdict::NotSwitchingOnGas);
  }
  if (gas.leanShare >= limits.biasShare && gas.leanShare - petrol.leanShare >= limits.biasMargin)
    return verdict(Verdict::LeanOnGas);
  if (gas.richShare >= limits.biasShare && gas.richShare - petrol.richShare >= limits.biasMargin)
    return verdict(Verdict::RichOnGas);
  if (gas.windowUse >= limits.windowEdge) return verdict(Verdict::LeanOnGas);
  if (gas.windowUse <= -limits.windowEdge) return verdict(Verdict::RichOnGas);
  return verdict(Verdict::Ok);
}

Verdict BandVerdict::VerdictOf(Fuel fuel) const {
  if (fuel == Fuel::Gas) return verdict;
  return petrol.Valid() ? Verdict::Ok : Verdict::NotEnoughData;
}

Reason BandVerdict::ReasonOf(Fuel fuel) const {
  return fuel == Fuel::Gas ? reason : petrol.reason;
}

CheckResult Check(const std::vector<Sample>& samples, const CarSettings& car,
                  const Thresholds& limits) {
  const std::vector<SampleClass> classes = Classify(samples, car, limits);
  CheckResult result;
  for (std::size_t i = 0; i < kBands.size(); ++i) {
    const PhaseSummary petrol = Summarise(samples, classes, Fuel::Petrol, kBands[i], car, limits);
    const PhaseSummary gas = Summarise(samples, classes, Fuel::Gas, kBands[i], car, limits);
    result.bands[i] = Judge(petrol, gas, car, limits);
  }
  return result;
}

bool NeedsAdjustment(Verdict verdict) {
  return verdict != Verdict::Ok && verdict != Verdict::NotEnoughData;
}

int ExitCodeOf(const CheckResult& result) {
  bool missing = false;
  for (const BandVerdict& b : result.bands) {
    if (NeedsAdjustment(b.verdict)) return 3;
    missing |= b.verdict == Verdict::NotEnoughData;
  }
  return missing ? 1 : 0;
}

}  // namespace calibration
