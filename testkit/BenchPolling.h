// A bench test on the virtual ECU over the real serial link: the ECU drives
// its schedule on its own clock (options.timeScale times faster than the
// wall), and the test polls it as the live view does, the fast block on
// every poll and the slow block on every fifth, handing each poll over
// stamped with the engine's time, until that time passes seconds.
#pragma once

#include <chrono>
#include <functional>

#include "LiveBlocks.h"
#include "VirtualEcuOnPty.h"

namespace linktest {

// Returns the ECU's memory at the end: the car's settings it ran with.
inline vecu::EcuMemory PollBench(const vecu::EcuOptions& options, double seconds,
                                 const std::function<void(const live::Sample&)>& take) {
  const auto start = std::chrono::steady_clock::now();  // the engine's clock starts here
  EcuOnPty ecu(options);
  ConnectedLink link(ecu.Port());
  EXPECT_TRUE(link.connected);
  for (int poll = 0;; ++poll) {
    live::Sample sample;
    sample.time = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() *
                  options.timeScale;
    if (sample.time > seconds) break;
    sample.connected = true;
    sample.slowDue = poll % 5 == 0;
    sample.slowRead =
        sample.slowDue && link.link.ReadLiveBlock(1, sample.slow.data(), ecu::kLiveBlockSize);
    sample.fastRead = link.link.ReadLiveBlock(0, sample.fast.data(), ecu::kLiveBlockSize);
    take(sample);
  }
  return ecu.Ecu().Memory();
}

}  // namespace linktest
