// The check's inputs from the live side: a sample from the decoded live
// blocks (the values the live view shows), and the car's settings from the
// parameter store.
#pragma once

#include "LiveBlocks.h"
#include "Sample.h"

class ConfCar;

namespace calibration {

Sample SampleOf(double time, const live::FastValues& fast, const live::SlowValues& slow);

// Probe scale (4, 30), change-over temperature (58) and the actuator's
// working windows (31..34), as the store holds them.
CarSettings CarSettingsOf(ConfCar& store);

}  // namespace calibration
