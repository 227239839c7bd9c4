// Polls the ECU for the live view: the fast block on every poll, the slow
// block on the first poll and then on every eleventh, only while the ECU is
// connected. Produces samples and knows no widget, so a recorder or a replay
// can stand beside the window.
#pragma once

#include <chrono>

#include "LiveTick.h"

class ConfCar;

namespace ecu {
class EcuLink;
}

namespace monitor {

class LivePoller {
 public:
  // Polls after a slow read before the next one.
  static constexpr int kSlowEvery = 10;

  // store supplies the minimum TPS rule when a slow block arrives; either may
  // be null (a poll then reads nothing, or keeps the default rule).
  LivePoller(ecu::EcuLink* link, ConfCar* store);

  LiveSample Poll();

  // Polls left before the slow block is read again.
  int Countdown() const { return countdown_; }

 private:
  ecu::EcuLink* link_;
  ConfCar* store_;
  int countdown_ = 0;
  std::chrono::steady_clock::time_point start_;
};

}  // namespace monitor
