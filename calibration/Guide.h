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

// A short English name of a step for the log's markers.
const char* MarkerTextOf(Step step);

}  // namespace calibration
