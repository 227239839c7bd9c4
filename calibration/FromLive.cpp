#include "FromLive.h"

#include <cmath>

#include "ConfCar.h"

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
  CarSettings car;
  const auto scale = live::LambdaScale(Whole(store.GetValue(4)), Whole(store.GetValue(30) * 100));
  car.lambdaLow = scale[0];
  car.lambdaHigh = scale[1];
  car.changeOverTemperature = Whole(store.GetValue(58));
  car.idleUp = Whole(store.GetValue(31));
  car.idleDown = Whole(store.GetValue(32));
  car.offIdleUp = Whole(store.GetValue(33));
  car.offIdleDown = Whole(store.GetValue(34));
  return car;
}

}  // namespace calibration
