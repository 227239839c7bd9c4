// Polls the ECU for live data: the fast block on every poll, the slow block
// on the first poll and then on every eleventh, only while the ECU is
// connected. Produces samples and knows no widget, so the live view, the
// recorder and the command-line companion poll alike.
#pragma once

#include <array>
#include <chrono>

#include "LiveBlocks.h"

class ConfCar;

namespace ecu {
class EcuLink;
}

namespace live {

// The rates a session can be recorded at, in polls a second. The live view
// draws ten times a second whatever the rate; at a faster one the poller
// feeds the recorder every poll and the view the newest.
constexpr int kShownRate = 10;
constexpr int kAsFastAsTheLineAllows = 0;  // poll again as soon as an answer is in
constexpr std::array<int, 4> kRecordingRates = {kShownRate, 20, 50, kAsFastAsTheLineAllows};

// rate when it is one of kRecordingRates, else the default (a stored value
// from elsewhere, or damaged).
int KnownRecordingRate(int rate);

// The minimum TPS rule as the store holds it.
MinTpsRule MinTpsRuleOf(ConfCar& store);

class Poller {
 public:
  // Polls after a slow read before the next one.
  static constexpr int kSlowEvery = 10;

  // store supplies the minimum TPS rule when a slow block arrives; either may
  // be null (a poll then reads nothing, or keeps the default rule).
  Poller(ecu::EcuLink* link, ConfCar* store);

  // Polling faster than the live view's ten a second: the slow block is then
  // also read whenever a second has passed since it was last asked for, so a
  // line that slows the polls down never leaves it older than that.
  void SetSlowAtLeastEverySecond(bool on) { slowEverySecond_ = on; }

  Sample Poll();

 private:
  ecu::EcuLink* link_;
  ConfCar* store_;
  int countdown_ = 0;
  bool slowEverySecond_ = false;
  double lastSlow_ = -1;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace live
