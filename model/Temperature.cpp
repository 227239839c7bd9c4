// Thermistor table of the temperature sensor: resistance relative to 25 °C,
// one point every 5 °C from -55 °C, in a divider with a 4700 ohm resistor.
#include <array>
#include <cmath>

#include "ConfCar.h"

namespace {

constexpr int kPointCount = 48;
constexpr int kFirstTemperature = -55;
constexpr int kStep = 5;
constexpr int kSeriesResistor = 4700;
constexpr int kNominalResistance = 4700;

constexpr std::array<float, kPointCount> kPoints = {
    97.578f,  67.65f,   47.538f,  33.831f,   24.359f,  17.753f,   // -55..-30
    13.067f,  9.7228f,  7.3006f,  5.5361f,   4.2332f,  3.266f,    // -25..0
    2.5392f,  1.9902f,  1.5709f,  1.2492f,   1.0f,     0.805f,    // 5..30
    0.65326f, 0.5329f,  0.4371f,  0.36f,     0.299f,   0.2493f,   // 35..60
    0.2088f,  0.1757f,  0.148f,   0.1262f,   0.1076f,  0.09215f,  // 65..90
    0.07922f, 0.0683f,  0.05924f, 0.05153f,  0.04492f, 0.0392f,   // 95..120
    0.0343f,  0.03018f, 0.02665f, 0.023594f, 0.0209f,  0.0186f,   // 125..150
    0.0166f,  0.01486f, 0.01332f, 0.01198f,  0.01079f, 0.00974f,  // 155..180
};

constexpr float kLowestTemperature = kFirstTemperature;
constexpr float kHighestTemperature = kFirstTemperature + kStep * (kPointCount - 1);

}  // namespace

long double TemperatureOfRaw(int raw) {
  if (raw >= 255) return -1000;  // sensor missing
  if (raw < 0) raw = 0;
  const float ratio = static_cast<float>(raw * kSeriesResistor) /
                      static_cast<float>((255 - raw) * kNominalResistance);
  int i = 0;
  while (i < kPointCount && kPoints[static_cast<std::size_t>(i)] > ratio) ++i;
  // Raw 253 and 254 give a ratio at or above the coldest point: there is no
  // interval to interpolate in, so they read as the table's coldest end.
  if (i == 0) return kFirstTemperature;
  if (i == kPointCount) i = kPointCount - 1;  // hotter than the table: extend its last slope
  const long double upper = kPoints[static_cast<std::size_t>(i)];
  const long double lower = kPoints[static_cast<std::size_t>(i - 1)];
  return (i - (static_cast<long double>(ratio) - upper) / (lower - upper)) * kStep +
         kFirstTemperature;
}

int RawOfTemperature(float celsius) {
  // Outside the table the nearest end is used; NaN counts as the cold end.
  if (!(celsius >= kLowestTemperature)) celsius = kLowestTemperature;
  if (celsius > kHighestTemperature) celsius = kHighestTemperature;
  const float u = (celsius - kFirstTemperature) / kStep;
  const int i = static_cast<int>(u);
  const float f = u - static_cast<float>(i);
  float q = kPoints[static_cast<std::size_t>(i)];
  if (i + 1 < kPointCount) {
    q = kPoints[static_cast<std::size_t>(i)] +
        f * (kPoints[static_cast<std::size_t>(i + 1)] - kPoints[static_cast<std::size_t>(i)]);
  }
  const long double thermistor = static_cast<long double>(kNominalResistance) * q;
  const long double raw = 255.0L * thermistor / (thermistor + kSeriesResistor) + 0.5L;
  return static_cast<int>(std::trunc(raw));
}
