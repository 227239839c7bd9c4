// Every limit the calibration check decides by, in one table. docs/calibration-check.md
// gives the reasoning behind each figure.
#pragma once

namespace calibration {

struct Thresholds {
  // Hysteresis either side of the probe's midpoint, as a share of its span:
  // a switch counts only once the voltage has gone this far past the middle.
  double hysteresis = 0.10;
  // Fewer crossings per second than this on gas: the probe is not switching.
  double minSwitchingPerSecond = 0.2;
  // On petrol the probe counts as active while its crossings are at most this
  // many seconds apart; samples in a longer gap are not counted.
  double maxSwitchGapSeconds = 5.0;
  // Valid seconds a phase needs before it is judged.
  double minValidSeconds = 20.0;
  // The engine speed must have stayed in its band, within steadyRpmSpread,
  // for this long before a sample counts as steady.
  double steadySeconds = 2.0;
  int steadyRpmSpread = 200;
  // Engine speed bands: idle, and the steady part load around 2,500 rpm.
  int idleRpmLow = 500;
  int idleRpmHigh = 1300;
  int partLoadRpmLow = 2000;
  int partLoadRpmHigh = 3000;
  // A longer gap between two samples (a lost connection) counts as this long.
  double maxSampleGapSeconds = 0.5;
  // Share of the time at a limit flag that means the actuator has run out of travel.
  double limitShare = 0.25;
  // A probe that does not switch and whose mean stays inside this part of
  // its scale (0 lean end, 1 rich end) is dead, not lean or rich.
  double middleLow = 0.3;
  double middleHigh = 0.7;
  // A switching probe is lean (rich) on gas when it spends at least
  // biasShare of the time lean (rich), and that much more than on petrol.
  double biasShare = 0.65;
  double biasMargin = 0.20;
  // The actuator's mean beyond this share of its working window, above
  // (below) the default position: it keeps opening (closing) to make up
  // for a lean (rich) mixture.
  double windowEdge = 0.75;
};

inline constexpr Thresholds kThresholds{};

}  // namespace calibration
