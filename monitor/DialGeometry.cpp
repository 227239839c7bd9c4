#include "DialGeometry.h"

#include <cmath>
#include <numbers>

namespace monitor {
namespace {
constexpr double kOneOverRootTwo = 0.7072135785007072;

int Trunc(double value) {
  return static_cast<int>(std::trunc(value));
}
}  // namespace

DialGeometry DialOf(int left, int top, int width, int height) {
  DialGeometry g;
  g.radius = Trunc(height * 2.0 / 7.0);
  g.centreX = left + width / 2;
  g.centreY = top + height / 2;
  g.diagonal = Trunc(g.radius * kOneOverRootTwo);
  return g;
}

int NeedleLength(int radius) {
  return Trunc(radius * 0.6);
}

NeedleOffset NeedleOffsetOf(int rpm, int length) {
  constexpr double pi = std::numbers::pi;
  const double x = rpm / 6000.0 * 270.0 * 2.0 * pi / 360.0;
  const double l = length;
  if (x < pi / 4) {
    const double v = pi / 4 - x;
    return {Trunc(-l * std::cos(v)), Trunc(l * std::sin(v))};
  }
  if (x < 3 * pi / 4) {
    const double v = x - pi / 4;
    return {Trunc(-l * std::cos(v)), Trunc(-l * std::sin(v))};
  }
  if (x < 5 * pi / 4) {
    const double v = 5 * pi / 4 - x;
    return {Trunc(l * std::cos(v)), Trunc(-l * std::sin(v))};
  }
  const double v = x - 5 * pi / 4;
  return {Trunc(l * std::cos(v)), Trunc(l * std::sin(v))};
}

}  // namespace monitor
