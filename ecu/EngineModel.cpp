#include "EngineModel.h"

#include <algorithm>
#include <cmath>

namespace vecu {
namespace {

constexpr double kStep = 0.01;
constexpr double kDriveCycle = 20.0;  // seconds: idle, rev up, release, idle
constexpr double kIdleRpm = 850;
constexpr double kWarmTemperature = 75;
constexpr double kWarmUpSeconds = 40;
constexpr double kLambdaHalfPeriod = 0.45;
constexpr double kDiagnosisSeconds = 5;
// The drive never revs past this: a cut-off end speed above it (the factory
// setting is 10000 rpm) is taken as this one, so every deceleration cuts off.
constexpr double kHighestCutOffEnd = 3000;
// Above this speed with the throttle closed the engine is over-running.
constexpr double kOverRunRpm = kIdleRpm + 400;
// Steps per second the actuator moves in closed loop, and when it is sent
// against a limit.
constexpr double kHuntRate = 60;
constexpr double kLimitRate = 150;
// Share of the gas flow, in percent, that one actuator step trims: with the
// factory travel (0..255 around 100) the actuator makes up about 23 % lean and
// 15 % rich, so an error of 25 % either way leaves it at a limit.
constexpr double kMixturePerStep = 0.15;
// Seconds the ECU takes to learn the default position a mixture error needs.
constexpr double kMixtureLearnSeconds = 3;

double RpmOfPeriod(int period) {
  return period == 0 || period == 255 ? 0.0 : 120000.0 / period;
}

// Throttle the driver asks for at a point of the drive cycle (raw 0..255).
double ThrottleDemand(double t) {
  const double phase = std::fmod(t, kDriveCycle);
  if (phase < 8) return 30;
  if (phase < 10) return 30 + (phase - 8) / 2 * 160;  // opening up to 3.7 V
  if (phase < 12) return 190;
  return 30;  // released: deceleration, then idle
}

double RpmDemand(double throttle) {
  return kIdleRpm + (throttle - 30) / 160 * 3600;
}

// Throttle that holds an engine speed (0: idle), the inverse of RpmDemand.
double ThrottleForRpm(int rpm) {
  if (rpm <= 0) return 30;
  return std::clamp(30 + (rpm - kIdleRpm) / 3600 * 160, 30.0, 250.0);
}

}  // namespace

int EngineModel::TemperatureRaw(double celsius) {
  // NTC thermistor, 4.7 kOhm at 25 degrees, beta 3950, in a divider with 4.7 kOhm.
  const double kelvin = celsius + 273.15;
  const double ratio = std::exp(3950.0 * (1.0 / kelvin - 1.0 / 298.15));
  return std::clamp(static_cast<int>(std::lround(255.0 * ratio / (ratio + 1.0))), 1, 254);
}

void EngineModel::SetDrive(std::vector<DrivePhase> phases) {
  drive_ = std::move(phases);
  if (!drive_.empty()) gasTemperature_ = kWarmTemperature;
}

const DrivePhase* EngineModel::PhaseAt(double t) const {
  if (drive_.empty()) return nullptr;
  for (const DrivePhase& phase : drive_) {
    if (t < phase.seconds) return &phase;
    t -= phase.seconds;
  }
  return &drive_.back();
}

void EngineModel::Advance(double seconds, EcuMemory& memory) {
  for (double left = seconds; left > 1e-9; left -= kStep) Step(std::min(left, kStep), memory);
}

void EngineModel::Step(double dt, EcuMemory& memory) {
  time_ += dt;
  // Cranking for the first second, then running.
  const bool cranking = time_ < 1.0;
  const DrivePhase* phase = PhaseAt(time_);
  const double demand = cranking          ? 30
                        : phase != nullptr ? ThrottleForRpm(phase->rpm)
                                           : ThrottleDemand(time_);
  throttle_ += std::clamp(demand - throttle_, -400 * dt, 200 * dt);
  minThrottle_ = std::min(minThrottle_, throttle_);
  const double targetRpm = cranking ? 250 : RpmDemand(throttle_);
  const double rate = targetRpm > rpm_ ? 3000 : 1200;  // rpm per second
  rpm_ += std::clamp(targetRpm - rpm_, -rate * dt, rate * dt);

  // Cut-off while the throttle is closed and the engine is above the cut-off end speed.
  const double cutOffEnd =
      std::clamp(RpmOfPeriod(memory.Get(41)), kIdleRpm + 300, kHighestCutOffEnd);
  cutOff_ = !cranking && throttle_ < 40 && rpm_ > cutOffEnd;

  gasTemperature_ += (kWarmTemperature - gasTemperature_) * dt / kWarmUpSeconds;

  // Change-over: warm enough (a lower raw reading is hotter) and the engine has
  // once passed the change-over speed; back to petrol when the tank runs low.
  const bool warm = TemperatureRaw(gasTemperature_) <= memory.Get(58);
  if (rpm_ >= RpmOfPeriod(memory.Get(56))) revSeen_ = true;
  const bool levelOk = gasLevel_ > memory.Get(57);
  // On a bench test the technician holds the fuel with the switch.
  onGas_ = !cranking && (phase != nullptr ? phase->gas : warm && revSeen_ && levelOk);
  if (tankCycle_ > 0) {
    const double cycle = std::fmod(time_, tankCycle_) / tankCycle_;  // 0..1
    gasLevel_ = 255 * (cycle < 0.5 ? 2 * cycle : 2 * (1 - cycle));
  } else if (onGas_) {
    gasLevel_ = std::max(0.0, gasLevel_ - dt / 30.0);
  }

  // Lambda: switching every half period around stoichiometry in closed loop.
  lambdaTimer_ += dt;
  if (lambdaTimer_ >= kLambdaHalfPeriod) {
    lambdaTimer_ = 0;
    rich_ = !rich_;
  }

  StepActuator(dt, memory);
  // With the fixed-default option on, the default is the technician's
  // setting: the ECU neither learns it nor writes it.
  if (!FixedDefault(memory)) {
    memory.Set(kDefaultPositionAddress, 0, static_cast<int>(std::lround(learnt_)));
  }
  UpdateDiagnosis(dt, memory);
}

bool EngineModel::FixedDefault(const EcuMemory& memory) {
  return (memory.Get(kOptionAddress) & kFixedDefaultBit) != 0;
}

void EngineModel::StepActuator(double dt, const EcuMemory& memory) {
  // Idle and off-idle windows around the learnt default, limits.
  const bool learning = !FixedDefault(memory);
  if (!learning) learnt_ = memory.Get(kDefaultPositionAddress);
  const double lower = memory.Get(35);
  const double upper = std::max(lower, static_cast<double>(memory.Get(36)));
  stuck_ = 0;
  if (!onGas_) {
    actuator_ = learnt_;
  } else if (cutOff_) {
    actuator_ = memory.Get(42);
  } else {
    const int zone = TpsZone(memory);
    const bool idle = zone == 0;
    const double up = idle ? memory.Get(31) : memory.Get(33);
    const double down = idle ? memory.Get(32) : memory.Get(34);
    const double load = (throttle_ - 30) / 160 * 40;
    // Where the actuator must stand for the gas to burn right.
    const double needed = neutral_ - gasMixture_ / kMixturePerStep + load;
    if (zone == 3) {
      // Full power: wide open, held by the upper limit.
      actuator_ = std::min(upper, actuator_ + kLimitRate * dt);
    } else if (idle && rpm_ > kOverRunRpm) {
      // Over-run after the cut-off: closed, held by the lower limit.
      actuator_ = std::max(lower, actuator_ - kLimitRate * dt);
    } else if (gasMixture_ != 0 && (needed > upper || needed < lower)) {
      // The closed loop keeps pushing towards a position the travel does not
      // reach: the actuator stands at its limit and the mixture stays wrong.
      stuck_ = needed > upper ? -1 : 1;
      actuator_ = stuck_ < 0 ? std::min(upper, actuator_ + kLimitRate * dt)
                             : std::max(lower, actuator_ - kLimitRate * dt);
      if (learning) learnt_ += (actuator_ - load - learnt_) * dt / 10;
    } else {
      const double target = learnt_ + load + (rich_ ? -down : up) * 0.5;
      actuator_ += std::clamp(target - actuator_, -kHuntRate * dt, kHuntRate * dt);
      if (learning) {
        learnt_ += (actuator_ - load - learnt_) * dt / 10;
        if (gasMixture_ != 0) learnt_ += (needed - load - learnt_) * dt / kMixtureLearnSeconds;
      }
    }
  }
  actuator_ = std::clamp(actuator_, lower, upper);
  if (learning) learnt_ = std::clamp(learnt_, lower, upper);
}

void EngineModel::UpdateDiagnosis(double dt, EcuMemory& memory) {
  const bool watching = onGas_ && !cutOff_;
  const bool dead = watching && fault_ == ProbeFault::Dead;
  const bool lean = watching && fault_ == ProbeFault::StuckLean;
  const bool richStuck = watching && fault_ == ProbeFault::StuckRich;
  deadTime_ = dead ? deadTime_ + dt : 0;
  leanTime_ = lean ? leanTime_ + dt : 0;
  richTime_ = richStuck ? richTime_ + dt : 0;
  const int enabled = memory.Get(52);
  int flags = memory.Get(kErrorFlagsAddress);
  if ((enabled & 1) && deadTime_ > kDiagnosisSeconds) flags |= 1;
  if ((enabled & 2) && leanTime_ > kDiagnosisSeconds) flags |= 2;
  if ((enabled & 4) && richTime_ > kDiagnosisSeconds) flags |= 4;
  memory.Set(kErrorFlagsAddress, 0, flags);
}

int EngineModel::TpsZone(const EcuMemory& memory) const {
  const double idle = memory.Get(25, 0) + memory.Get(24);
  if (throttle_ >= memory.Get(25, 2)) return 3;
  if (throttle_ <= std::max(idle, minThrottle_ + memory.Get(24))) return 0;
  if (throttle_ < memory.Get(25, 1)) return 1;
  return 2;
}

int EngineModel::LambdaRaw(const EcuMemory& memory) const {
  // Probe output in volts for a 0-1 V probe, then scaled to the fitted type.
  double volts = rich_ ? 0.80 : 0.12;
  if (!onGas_ && rpm_ > 0) volts = 0.45 + (rich_ ? 0.3 : -0.3);
  if (onGas_ && stuck_ != 0) volts = stuck_ > 0 ? 0.88 : 0.08;
  if (onGas_ && fault_ == ProbeFault::Dead) volts = 0.45;
  if (onGas_ && fault_ == ProbeFault::StuckLean) volts = 0.08;
  if (onGas_ && fault_ == ProbeFault::StuckRich) volts = 0.88;
  if (cutOff_) volts = 0.05;
  if (rpm_ < 100) volts = 0;
  switch (memory.Get(4)) {
    case 6:
    case 10:
      volts *= 5;
      break;
    case 7:
    case 11:
      volts = 5 - volts * 5;
      break;
    case 16:
      volts = 0.80 + volts * 0.8;
      break;
    default:
      break;
  }
  return std::clamp(static_cast<int>(volts * 51), 0, 255);
}

EngineModel::Block EngineModel::FastBlock(const EcuMemory& memory) const {
  Block block{};
  const int rpm = Rpm();
  block[0] = rpm < 100 ? 0 : static_cast<std::uint8_t>(std::clamp(120000 / rpm, 1, 254));
  block[1] = static_cast<std::uint8_t>(LambdaRaw(memory));
  const int tps = static_cast<int>(std::lround(throttle_));
  const bool inverted = (memory.Get(3) & 1) != 0;
  block[2] = static_cast<std::uint8_t>(inverted ? 255 - tps : tps);
  // Lambda status: 0 no closed loop yet, 1 lean, 2 rich, 3 open loop (cut-off, power).
  int status = 0;
  if (onGas_) status = (stuck_ != 0 ? stuck_ > 0 : rich_) ? 2 : 1;
  const int zone = TpsZone(memory);
  if (onGas_ && (cutOff_ || (zone == 3 && memory.Get(43) != 0))) status = 3;
  block[3] = static_cast<std::uint8_t>((status << 4) | zone);
  std::uint8_t flags = 0;
  if (onGas_ && ActuatorPosition() >= memory.Get(36)) flags |= 0x80;
  if (onGas_ && ActuatorPosition() <= memory.Get(35)) flags |= 0x40;
  if (cutOff_) flags |= 0x04;
  block[4] = flags;
  block[5] = static_cast<std::uint8_t>(ActuatorPosition());
  return block;
}

EngineModel::Block EngineModel::SlowBlock(const EcuMemory& memory) const {
  Block block{};
  const int minimum = static_cast<int>(std::lround(minThrottle_));
  block[0] = static_cast<std::uint8_t>(TemperatureRaw(gasTemperature_));
  block[1] = static_cast<std::uint8_t>(std::lround(gasLevel_));
  block[2] = static_cast<std::uint8_t>((onGas_ ? 0x08 : 0) | (onGas_ ? 0x01 : 0));
  block[3] = static_cast<std::uint8_t>((memory.Get(3) & 1) != 0 ? 255 - minimum : minimum);
  block[4] = static_cast<std::uint8_t>(std::lround(learnt_));
  return block;
}

}  // namespace vecu
