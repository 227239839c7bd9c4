// One recorded live sample as the calibration check reads it, in the units
// the live view shows, and the settings of the car it was recorded on.
#pragma once

namespace calibration {

// Temperature meaning "no sensor reading".
constexpr int kNoTemperature = -1000;

struct Sample {
  double time = 0;  // seconds
  int rpm = 0;
  int lambda = 0;  // hundredths of a volt
  int actuator = 0;         // steps
  int defaultPosition = 0;  // steps
  int temperature = kNoTemperature;  // gas temperature, degrees Celsius
  bool onGas = false;
  bool cutOff = false;
  bool upperLimit = false;
  bool lowerLimit = false;
};

// What the check needs to know of the car besides the samples.
struct CarSettings {
  // Lambda scale in hundredths of a volt: the low end is lean, the high end
  // rich (inverted probes have high < low).
  int lambdaLow = 0;
  int lambdaHigh = 100;
  // The change-over temperature in degrees: below or at it the engine is cold.
  int changeOverTemperature = 15;
  // Actuator working windows around the default position, in steps.
  int idleUp = 25;
  int idleDown = 25;
  int offIdleUp = 40;
  int offIdleDown = 40;
  // The actuator's travel, in steps: a window reaching past a limit is cut
  // there, as the ECU cuts it.
  int lowerLimit = 0;
  int upperLimit = 255;
};

}  // namespace calibration
