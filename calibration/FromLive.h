// The check's inputs from the live side: a sample from what a poll showed
// (the record the session recorder writes, so a live check and the check of
// its recording see the same values), and the car's settings from the
// parameter store.
#pragma once

#include "EcuChannels.h"
#include "Sample.h"

class ConfCar;

namespace calibration {

Sample SampleOfRecord(const logging::EcuRecord& record);

// Probe type and offset, change-over temperature, the actuator's working
// windows around the default and its limits, as the store holds them.
CarSettings CarSettingsOf(ConfCar& store);

}  // namespace calibration
