#include "Guide.h"

namespace calibration {

Step NextStep(const CheckResult& result, const Sample& latest, const CarSettings& car) {
  const BandVerdict& idle = result.bands[0];
  const BandVerdict& partLoad = result.bands[1];
  const bool cold =
      latest.temperature != kNoTemperature && latest.temperature <= car.changeOverTemperature;
  if (!idle.petrol.Valid() || !partLoad.petrol.Valid()) {
    if (cold) return Step::WarmUp;
    return idle.petrol.Valid() ? Step::PartLoadPetrol : Step::IdlePetrol;
  }
  if (idle.gas.Valid() && partLoad.gas.Valid()) return Step::Done;
  if (!latest.onGas) return Step::SwitchToGas;
  if (cold) return Step::WarmUp;
  return idle.gas.Valid() ? Step::PartLoadGas : Step::IdleGas;
}

bool NeedsPetrol(Step step, const Sample& latest) {
  return latest.onGas && (step == Step::IdlePetrol || step == Step::PartLoadPetrol);
}

const char* MarkerTextOf(Step step) {
  switch (step) {
    case Step::WarmUp: return "check: warm up";
    case Step::IdlePetrol: return "check: idle on petrol";
    case Step::PartLoadPetrol: return "check: 2500 rpm on petrol";
    case Step::SwitchToGas: return "check: switch to gas";
    case Step::IdleGas: return "check: idle on gas";
    case Step::PartLoadGas: return "check: 2500 rpm on gas";
    case Step::Done: return "check: done";
  }
  return "";
}

}  // namespace calibration
