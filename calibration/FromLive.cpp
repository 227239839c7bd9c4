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

Sample SampleOfRecord(const logging::EcuRecord& record) {
  Sample s;
  s.time = record.time;
  s.rpm = record.rpm;
  s.lambda = record.lambdaCentivolts;
  s.actuator = record.actuator;
  s.upperLimit = record.upperLimit;
  s.lowerLimit = record.lowerLimit;
  s.cutOff = record.cutOff;
  s.defaultPosition = record.defaultPosition;
  s.temperature = record.temperature == live::kNoTemperature ? kNoTemperature : record.temperature;
  s.onGas = record.onGas;
  return s;
}

CarSettings CarSettingsOf(ConfCar& store) {
  using params::Id;
  auto stored = [&store](Id id) { return store.GetValue(params::Number(id)); };
  CarSettings car;
  const auto scale = live::LambdaScale(
      Whole(stored(Id::LambdaProbeType)),
      params::WholeHundredths(static_cast<double>(stored(Id::LambdaReferenceOffset))));
  car.lambdaLow = scale[0];
  car.lambdaHigh = scale[1];
  car.changeOverTemperature = Whole(stored(Id::ChangeOverMinimumTemperature));
  car.idleUp = Whole(stored(Id::IdleOpeningStepsBeyond));
  car.idleDown = Whole(stored(Id::IdleClosingStepsBelow));
  car.offIdleUp = Whole(stored(Id::OffIdleOpeningStepsBeyond));
  car.offIdleDown = Whole(stored(Id::OffIdleClosingStepsBelow));
  car.lowerLimit = Whole(stored(Id::ActuatorLowerLimit));
  car.upperLimit = Whole(stored(Id::ActuatorUpperLimit));
  return car;
}

}  // namespace calibration
