// The check's inputs from the live side: a sample from the decoded live
// blocks (the values the live view shows), and the car's settings from the
// parameter store.
#pragma once

#include "LiveBlocks.h"
#include "Sample.h"

class ConfCar;

namespace calibration {

Sample SampleOf(double time, const live::FastValues& fast, const live::SlowValues& slow);

// Probe type and offset, change-over temperature and the actuator's
// working windows around the default, as the store holds them.
CarSettings CarSettingsOf(ConfCar& store);

}  // namespace calibration
