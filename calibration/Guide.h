// What the technician is asked to do next during a check, from what the
// samples so far give: warm up, hold each band on petrol, switch to gas, hold
// each band on gas, done.
#pragma once

#include "Analysis.h"

namespace calibration {

enum class Step { WarmUp, IdlePetrol, PartLoadPetrol, SwitchToGas, IdleGas, PartLoadGas, Done };

// latest: the newest sample (its fuel and temperature); result: the check
// over every sample so far.
Step NextStep(const CheckResult& result, const Sample& latest, const CarSettings& car);

// Whether the engine runs on gas while the step asks for petrol: the
// technician must switch back to petrol first. The step stays the petrol one
// (so does the log's marker); only what the technician is told changes.
bool NeedsPetrol(Step step, const Sample& latest);

// A short English name of a step for the log's markers.
const char* MarkerTextOf(Step step);

}  // namespace calibration
