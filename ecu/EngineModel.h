// A small model of a car with the gas system fitted, enough to make the live
// blocks move as on a real engine: idle and revving, throttle zones, lambda
// switching rich/lean in closed loop, the gas warming up, the change-over
// from petrol to gas, the actuator hunting around its learnt default, cut-off
// on deceleration, and the lambda diagnosis checks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "EcuMemory.h"

namespace vecu {

// A probe fault the model can simulate, so that the diagnosis checks trip.
enum class ProbeFault { None, Dead, StuckLean, StuckRich };

// One steady phase of a bench test: the fuel held with the switch, the engine
// at idle (rpm 0) or held at an engine speed, for a number of seconds.
struct DrivePhase {
  bool gas = false;
  int rpm = 0;  // 0: idle
  double seconds = 0;
};

class EngineModel {
 public:
  using Block = std::array<std::uint8_t, wire::kLiveSize>;

  explicit EngineModel(ProbeFault fault = ProbeFault::None) : fault_(fault) {}

  // seconds > 0: the gas level rises from empty to full and falls back again
  // over that many seconds, as while a technician fills and empties the
  // tank; 0: it falls slowly while the car runs on gas.
  void SetTankCycle(double seconds) { tankCycle_ = seconds; }

  // A bench test instead of the repeating drive cycle: the engine is warm from
  // the start and goes through the phases in order; the last one is held
  // after the schedule ends. An empty schedule keeps the drive cycle.
  void SetDrive(std::vector<DrivePhase> phases);

  // A mixture error on gas in percent (lean negative, rich positive), as a
  // badly adjusted regulator or mixer gives. The actuator trims it while its
  // travel allows; beyond that it stands at its limit and the probe stays
  // lean or rich.
  void SetGasMixture(double percent) { gasMixture_ = percent; }

  // Moves the engine on by seconds of simulated time, in steps of 10 ms,
  // updating the parameters the ECU computes (default position, error flags).
  void Advance(double seconds, EcuMemory& memory);

  Block FastBlock(const EcuMemory& memory) const;
  Block SlowBlock(const EcuMemory& memory) const;

  // Simulated time since the engine started, in seconds.
  double Time() const { return time_; }
  int Rpm() const { return static_cast<int>(rpm_); }
  bool OnGas() const { return onGas_; }
  bool CutOff() const { return cutOff_; }
  int ActuatorPosition() const { return static_cast<int>(actuator_); }
  double GasTemperature() const { return gasTemperature_; }

  // Raw thermistor reading for a temperature, the ECU's own sensor curve.
  static int TemperatureRaw(double celsius);

 private:
  void Step(double dt, EcuMemory& memory);
  void UpdateDiagnosis(double dt, EcuMemory& memory);
  int LambdaRaw(const EcuMemory& memory) const;
  int TpsZone(const EcuMemory& memory) const;
  const DrivePhase* PhaseAt(double t) const;
  void StepActuator(double dt, const EcuMemory& memory);
  // The option byte's fixed-default bit: the default position is set, not learnt.
  static bool FixedDefault(const EcuMemory& memory);

  ProbeFault fault_;
  double time_ = 0;
  double rpm_ = 0;
  double throttle_ = 30;  // raw TPS 0..255
  double minThrottle_ = 30;
  double gasTemperature_ = 5;
  double gasLevel_ = 200;
  double tankCycle_ = 0;
  double actuator_ = 100;
  double learnt_ = 100;
  double lambdaTimer_ = 0;
  bool rich_ = false;
  bool onGas_ = false;
  bool cutOff_ = false;
  bool revSeen_ = false;
  double leanTime_ = 0;
  double richTime_ = 0;
  double deadTime_ = 0;
  std::vector<DrivePhase> drive_;
  double gasMixture_ = 0;
  // The actuator position at which gas burns right with no mixture error.
  double neutral_ = 100;
  // Lean (-1), right (0) or rich (+1) while the actuator cannot trim any more.
  int stuck_ = 0;
};

}  // namespace vecu
