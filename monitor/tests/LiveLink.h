// A stand-in ECU for the live view's tests: live blocks set by the test, reads
// that can fail, and a count of each kind of read.
#pragma once

#include <algorithm>

#include "LiveTick.h"
#include "RecordingLink.h"

class LiveLink : public RecordingLink {
 public:
  monitor::LiveBlock fast{};
  monitor::LiveBlock slow{};
  bool failFast = false;
  bool failSlow = false;
  int fastReads = 0;
  int slowReads = 0;

  bool ReadLiveBlock(int kind, std::uint8_t* buffer, int length) override {
    const bool isFast = kind == 0;
    ++(isFast ? fastReads : slowReads);
    if (isFast ? failFast : failSlow) return false;
    const monitor::LiveBlock& block = isFast ? fast : slow;
    std::copy_n(block.begin(), std::min<int>(length, ecu::kLiveBlockSize), buffer);
    return true;
  }
};
