#include "LiveTick.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "ConfCar.h"
#include "Parameters.h"

namespace monitor {
namespace {

using params::Id;

long double Stored(ConfCar& store, Id id) {
  return store.GetValue(id);
}

int Whole(long double value) {
  return static_cast<int>(std::trunc(value));
}

// A span below the default that reaches under the lower limit is cut to the
// distance between them, kept as a byte the way the ECU counts steps.
int SpanDown(int defaultPosition, int span, int lowerLimit) {
  if (defaultPosition - span < lowerLimit) return (defaultPosition - lowerLimit) & 0xFF;
  return span;
}

int SpanUp(int defaultPosition, int span, int upperLimit) {
  if (defaultPosition + span > upperLimit) return upperLimit - defaultPosition;
  return span;
}

}  // namespace

LiveSnapshot SnapshotOf(ConfCar& store) {
  LiveSnapshot s;
  const auto scale = LambdaScale(Whole(Stored(store, Id::LambdaProbeType)),
                                 params::WholeHundredths(static_cast<double>(Stored(store, Id::LambdaReferenceOffset))));
  s.lambdaLow = scale[0];
  s.lambdaHigh = scale[1];
  s.upperLimit = Whole(Stored(store, Id::ActuatorUpperLimit));
  s.lowerLimit = Whole(Stored(store, Id::ActuatorLowerLimit));
  s.idleUp = Whole(Stored(store, Id::IdleOpeningStepsBeyond));
  s.idleDown = Whole(Stored(store, Id::IdleClosingStepsBelow));
  s.offIdleUp = Whole(Stored(store, Id::OffIdleOpeningStepsBeyond));
  s.offIdleDown = Whole(Stored(store, Id::OffIdleClosingStepsBelow));
  s.justOffIdleUp = Whole(Stored(store, Id::LimitedOpeningOffIdle));
  return s;
}

int LambdaCell(int lambda, int low, int high) {
  const int step = (high - low) / 10;
  int cell = 0;
  if (step < 0) {
    cell = 9 - lambda / (-step);
  } else if (step > 0) {
    cell = lambda < low ? 0 : (lambda - low) / step;
  }
  return std::clamp(cell, 0, 9);
}

LiveDisplay NextDisplay(const LiveDisplay& shown, const LiveSample& sample,
                        const LiveSnapshot& snapshot) {
  LiveDisplay next = shown;
  next.slowRefreshed = false;
  if (sample.connected && sample.fastRead) {
    const live::FastValues fast = live::DecodeFast(sample.fast.data());
    next.previousRpm = shown.rpm;
    next.rpm = fast.rpm;
    next.lambda = fast.lambdaCentivolts;
    next.tps = fast.tpsCentivolts;
    next.lambdaStatus = fast.lambdaStatus;
    next.previousTpsZone = shown.tpsZone;
    next.tpsZone = fast.tpsZone;
    next.fastFlags = fast.flags;
    next.actuator = fast.actuator;
  }
  if (sample.connected && sample.slowDue) {
    if (sample.slowRead) {
      const live::SlowValues slow = live::DecodeSlow(sample.slow.data());
      next.temperature = slow.temperature;
      next.gasLevel = slow.gasLevel;
      next.slowFlags = slow.flags;
      next.minTps = MinTpsShown(slow.minTpsCentivolts, sample.minTpsRule);
      next.defaultPosition = slow.defaultPosition;
    }
    // A failed slow read still refreshes the slow part from what is kept.
    next.slowRefreshed = true;
  }
  next.previousLambdaCell = shown.lambdaCell;
  next.lambdaCell = LambdaCell(next.lambda, snapshot.lambdaLow, snapshot.lambdaHigh);
  return next;
}

LiveSample Combined(const LiveSample& earlier, const LiveSample& later) {
  LiveSample out = later;
  const bool laterFast = later.connected && later.fastRead;
  if (!laterFast && earlier.connected && earlier.fastRead) {
    out.connected = true;
    out.fastRead = true;
    out.fast = earlier.fast;
  }
  // A later slow poll that failed only refreshes what is kept: an earlier
  // block that arrived is newer than that.
  const bool laterSlow = later.connected && later.slowDue && later.slowRead;
  if (!laterSlow && earlier.connected && earlier.slowDue &&
      (earlier.slowRead || !(later.connected && later.slowDue))) {
    out.connected = true;
    out.slowDue = true;
    out.slowRead = earlier.slowRead;
    out.slow = earlier.slow;
    out.minTpsRule = earlier.minTpsRule;
  }
  return out;
}

ActuatorSpans SpansOf(int defaultPosition, int tpsZone, const LiveSnapshot& s) {
  ActuatorSpans spans;
  const bool justOffIdle = tpsZone == 1 && static_cast<unsigned>(s.justOffIdleUp) <
                                               static_cast<unsigned>(s.offIdleUp);
  spans.offIdleUp = SpanUp(defaultPosition, justOffIdle ? s.justOffIdleUp : s.offIdleUp,
                           s.upperLimit);
  spans.offIdleDown = SpanDown(defaultPosition, s.offIdleDown, s.lowerLimit);
  spans.idleUp = SpanUp(defaultPosition, s.idleUp, s.upperLimit);
  spans.idleDown = SpanDown(defaultPosition, s.idleDown, s.lowerLimit);
  return spans;
}

ActuatorMarks MarksOf(const ActuatorSpans& spans, int defaultPosition, int trackTop,
                      int trackHeight, int defaultLabelHeight, int screenWidth) {
  const double unit = screenWidth * 0.00125;  // one design pixel on this screen
  const double length = std::trunc(trackHeight - unit * 31);
  const double offset = std::trunc(unit * 4) + trackTop;
  ActuatorMarks marks;
  marks.defaultTop = static_cast<int>(std::trunc((1 - defaultPosition / 255.0) * length + offset));
  const double mid = marks.defaultTop + defaultLabelHeight / 2;
  marks.offIdleHeight =
      static_cast<int>(std::trunc(length * (spans.offIdleUp + spans.offIdleDown) / 255));
  marks.offIdleTop = static_cast<int>(std::trunc(mid - spans.offIdleUp * length / 255));
  marks.idleHeight = static_cast<int>(std::trunc(length * (spans.idleUp + spans.idleDown) / 255));
  marks.idleTop = static_cast<int>(std::trunc(mid - spans.idleUp * length / 255));
  return marks;
}

}  // namespace monitor
