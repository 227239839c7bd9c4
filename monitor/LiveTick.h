// The live view's arithmetic, with no widget in sight: what one poll of the
// ECU turns the displayed values into, the lambda bar cell, the minimum TPS
// rule, the actuator's working windows and where their marks go on the track.
// The window renders what these return; a replay or a chart can feed the same
// functions.
#pragma once

#include <array>
#include <cstdint>

#include "EcuLink.h"
#include "LiveBlocks.h"

class ConfCar;

namespace monitor {

using LiveBlock = live::Block;
using MinTpsRule = live::MinTpsRule;
using LiveSample = live::Sample;
using live::MinTpsShown;

// Parameters read from the store once, when the view opens.
struct LiveSnapshot {
  int lambdaLow = 0;    // lambda scale, hundredths of a volt
  int lambdaHigh = 100;
  int upperLimit = 255;  // actuator travel limits (36, 35), steps
  int lowerLimit = 0;
  int idleUp = 0;        // 31: idle opening beyond the default
  int idleDown = 0;      // 32: idle closing below the default
  int offIdleUp = 0;     // 33
  int offIdleDown = 0;   // 34
  int justOffIdleUp = 255;  // 19: opening just off idle (255 = no limit)
};

// The lambda scale of a probe type, shared with the recorded-sample checks.
using live::LambdaScale;

// Reads the snapshot from the store.
LiveSnapshot SnapshotOf(ConfCar& store);


// Everything the view shows, plus what it showed before where only a change
// is repainted.
struct LiveDisplay {
  int rpm = 0;
  int previousRpm = 0;
  int lambda = 0;  // hundredths of a volt
  int tps = 0;     // hundredths of a volt
  int tpsZone = 0;
  int previousTpsZone = 0;
  int lambdaStatus = 0;
  int lambdaCell = 0;
  int previousLambdaCell = 0;
  std::uint8_t fastFlags = 0;
  int actuator = 0;
  // Slow part.
  int temperature = live::kNoTemperature;
  int gasLevel = 0;
  std::uint8_t slowFlags = 0;
  int minTps = 0;  // hundredths of a volt, as shown
  int defaultPosition = 0;
  bool slowRefreshed = false;  // this poll refreshes the slow part of the view

  bool OnGas() const { return (slowFlags & 0x08) != 0; }
  bool ShowActuatorWindows() const { return (slowFlags & 0x01) != 0; }
  bool UpperLimit() const { return (fastFlags & 0x80) != 0; }
  bool LowerLimit() const { return (fastFlags & 0x40) != 0; }
  bool CutOff() const { return (fastFlags & 0x04) != 0; }
};

// The next displayed values after a poll. A failed or skipped read keeps the
// values it would have replaced.
LiveDisplay NextDisplay(const LiveDisplay& shown, const LiveSample& sample,
                        const LiveSnapshot& snapshot);

// One sample that shows what the two, shown one after the other, would:
// the later's blocks, and the earlier's where the later brought none. The
// live view draws at its own rhythm while the poller may be faster; it shows
// the polls in between as one.
LiveSample Combined(const LiveSample& earlier, const LiveSample& later);

// Which of the ten lambda cells lights for a voltage on the given scale.
int LambdaCell(int lambda, int low, int high);

// The actuator's working windows around the default position, in steps,
// clipped at the travel limits.
struct ActuatorSpans {
  int offIdleUp = 0;
  int offIdleDown = 0;
  int idleUp = 0;
  int idleDown = 0;
};
ActuatorSpans SpansOf(int defaultPosition, int tpsZone, const LiveSnapshot& snapshot);

// Where the default mark and the two windows go beside the track bar, in
// window pixels.
struct ActuatorMarks {
  int defaultTop = 0;
  int offIdleTop = 0;
  int offIdleHeight = 0;
  int idleTop = 0;
  int idleHeight = 0;
};
ActuatorMarks MarksOf(const ActuatorSpans& spans, int defaultPosition, int trackTop,
                      int trackHeight, int defaultLabelHeight, int screenWidth);

}  // namespace monitor
