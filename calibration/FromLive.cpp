#include "FromLive.h"

#include <cmath>

#include "ConfCar.h"
#include "Parameters.h"

namespace calibration {
namespace {

int Whole(long double value) {
  return static_cast<int>(std::trunc(value));
}

}  // namespace

Sample SampleOf(double time, const live::FastValues& fast, const live::SlowValues& slow) {
  Sample s;
  s.time = time;
  s.rpm = fast.rpm;
  s.lambda = fast.lambdaCentivolts;
  s.actuator = fast.actuator;
  s.upperLimit = fast.upperLimit;
  s.lowerLimit = fast.lowerLimit;
  s.cutOff = fast.cutOff;
  s.defaultPosition = slow.defaultPosition;
  s.temperature = slow.temperature == live::kNoTemperature ? kNoTemperature : slow.temperature;
  s.onGas = slow.onGas;
  return s;
}

CarSettings CarSettingsOf(ConfCar& store) {
  using params::Id;
  auto stored = [&store](Id id) { return store.GetValue(params::Number(id)); };
  CarSettings car;
  // The offset in the hundredths the configuration window shows (rounded:
  // the stored volts lie on either side of a whole number of hundredths).
  const auto scale =
      live::LambdaScale(Whole(stored(Id::LambdaProbeType)),
                        static_cast<int>(std::lround(stored(Id::LambdaReferenceOffset) * 100)));
  car.lambdaLow = scale[0];
  car.lambdaHigh = scale[1];
  car.changeOverTemperature = Whole(stored(Id::ChangeOverMinimumTemperature));
  car.idleUp = Whole(stored(Id::IdleOpeningStepsBeyond));
  car.idleDown = Whole(stored(Id::IdleClosingStepsBelow));
  car.offIdleUp = Whole(stored(Id::OffIdleOpeningStepsBeyond));
  car.offIdleDown = Whole(stored(Id::OffIdleClosingStepsBelow));
  return car;
}

}  // namespace calibration
