#include "FromLive.h"

#include <gtest/gtest.h>

#include "ConfCar.h"
#include "LiveBlocks.h"
#include "Parameters.h"

namespace {

// The check reads the probe's scale with the offset the configuration window
// shows: bytes whose volts lie just under a whole hundredth must not lose it.
TEST(CarSettings, ProbeOffsetInTheHundredthsTheWindowShows) {
  constexpr int kProbeWithOffset = 5;  // 0.8-1.6 V, the one probe with an offset
  struct Case {
    int raw;
    int hundredths;
  };
  const Case cases[] = {{0, 0}, {3, 6}, {6, 12}, {9, 18}, {15, 30}, {128, 251}, {255, 500}};
  ConfCar store("default.dmr");
  // The probe type is kept as its code in the ECU's list: find the one for it.
  const int probeSlot = store.MemberAddress(params::Number(params::Id::LambdaProbeType));
  for (int raw = 0; raw < 256; ++raw) {
    store.StoreRaw(probeSlot, raw);
    if (store.GetValue(params::Number(params::Id::LambdaProbeType)) == kProbeWithOffset) break;
  }
  ASSERT_EQ(store.GetValue(params::Number(params::Id::LambdaProbeType)), kProbeWithOffset);
  for (const Case& c : cases) {
    store.StoreRaw(store.MemberAddress(params::Number(params::Id::LambdaReferenceOffset)), c.raw);
    const auto expected = live::LambdaScale(kProbeWithOffset, c.hundredths);
    const calibration::CarSettings car = calibration::CarSettingsOf(store);
    EXPECT_EQ(car.lambdaLow, expected[0]) << "raw " << c.raw;
    EXPECT_EQ(car.lambdaHigh, expected[1]) << "raw " << c.raw;
  }
}

// The actuator's limits cut its windows: the check takes them from the
// store, the lower one as the lower.
TEST(CarSettings, ActuatorLimitsFromTheStore) {
  ConfCar store("default.dmr");
  store.StoreRaw(store.MemberAddress(params::Number(params::Id::ActuatorLowerLimit)), 12);
  store.StoreRaw(store.MemberAddress(params::Number(params::Id::ActuatorUpperLimit)), 201);
  const calibration::CarSettings car = calibration::CarSettingsOf(store);
  EXPECT_EQ(car.lowerLimit, 12);
  EXPECT_EQ(car.upperLimit, 201);
}

}  // namespace
