// Synthetic recordings for the check's tests: steady phases sampled at 10 Hz
// with a lambda wave on a probe's scale, and hooks to spoil them.
#pragma once

#include <cmath>
#include <functional>
#include <vector>

#include "Sample.h"

namespace calibration::testing {

// A lambda wave as positions on the probe's scale (0 lean end, 1 rich end).
struct Wave {
  double lean = 0.15;
  double rich = 0.85;
  double period = 1.0;     // seconds; 0: no switching, held at lean
  double leanPart = 0.5;   // share of each period spent lean
};

inline int VoltageAt(double position, const CarSettings& car) {
  return static_cast<int>(std::lround(car.lambdaLow + position * (car.lambdaHigh - car.lambdaLow)));
}

inline int WaveAt(const Wave& wave, double t, const CarSettings& car) {
  if (wave.period <= 0) return VoltageAt(wave.lean, car);
  const double phase = std::fmod(t, wave.period) / wave.period;
  return VoltageAt(phase < wave.leanPart ? wave.lean : wave.rich, car);
}

struct Recording {
  CarSettings car;
  std::vector<Sample> samples;
  double time = 0;

  // Appends a steady phase; spoil changes each sample after it is made.
  Recording& Phase(bool gas, int rpm, double seconds, const Wave& wave = {},
                   const std::function<void(Sample&)>& spoil = {}) {
    const double end = time + seconds;
    for (; time < end - 1e-9; time += 0.1) {
      Sample s;
      s.time = time;
      s.rpm = rpm;
      s.onGas = gas;
      s.lambda = WaveAt(wave, time, car);
      s.temperature = 70;
      s.defaultPosition = 100;
      s.actuator = gas ? 100 + static_cast<int>(std::lround(5 * std::sin(time * 3))) : 100;
      if (spoil) spoil(s);
      samples.push_back(s);
    }
    return *this;
  }
};

}  // namespace calibration::testing
