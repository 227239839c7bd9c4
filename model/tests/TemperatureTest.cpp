#include <gtest/gtest.h>

#include "ConfCar.h"

TEST(Temperature, RawOfTemperature) {
  const std::pair<float, int> cases[] = {
      {15.0f, 156},
      {60.0f, 51},
      {25.0f, 128},
      {-55.0f, 252},
      {180.0f, 2},
      // Outside the table the nearest end is used.
      {-80.0f, 252},
      {400.0f, 2},
  };
  for (const auto& [celsius, raw] : cases) EXPECT_EQ(RawOfTemperature(celsius), raw) << celsius;
}

TEST(Temperature, TemperatureOfRaw) {
  const std::pair<int, double> cases[] = {
      {128, 24.84},
      {200, -1.91},
      {0, 226.38},
  };
  for (const auto& [raw, celsius] : cases)
    EXPECT_NEAR(static_cast<double>(TemperatureOfRaw(raw)), celsius, 0.02) << raw;
  EXPECT_EQ(TemperatureOfRaw(255), -1000);
  // Colder than the table's first point: its coldest end.
  EXPECT_EQ(TemperatureOfRaw(253), -55);
  EXPECT_EQ(TemperatureOfRaw(254), -55);
}

TEST(Temperature, RoundTripIsCloseButNotExact) {
  EXPECT_NEAR(static_cast<double>(TemperatureOfRaw(RawOfTemperature(25.0f))), 24.84, 0.01);
  for (int celsius = -30; celsius <= 90; celsius += 5)  // where one raw step is under 1.5 °C
    EXPECT_NEAR(
        static_cast<double>(TemperatureOfRaw(RawOfTemperature(static_cast<float>(celsius)))),
        celsius, 1.5)
        << celsius;
}
