// A bench test on the virtual ECU over the real serial link: the ECU drives
// its schedule on its own clock, which moves on by a fixed step at every
// request (options.secondsPerRequest), and the test polls it as the live view
// does, the fast block on every poll and the slow block on every fifth,
// handing each poll over stamped with the engine's time of its fast block,
// until that time passes seconds. A pause of a busy machine stops the engine
// too, so the samples are the same on any machine.
#pragma once

#include <functional>

#include "LiveBlocks.h"
#include "VirtualEcuOnPty.h"

namespace linktest {

// Returns the ECU's memory at the end: the car's settings it ran with.
inline vecu::EcuMemory PollBench(const vecu::EcuOptions& options, double seconds,
                                 const std::function<void(const live::Sample&)>& take) {
  EXPECT_GT(options.secondsPerRequest, 0) << "a bench test runs on the request clock";
  EcuOnPty ecu(options);
  ConnectedLink link(ecu.Port());
  EXPECT_TRUE(link.connected);
  if (!link.connected) return ecu.Ecu().Memory();
  int standing = 0;  // polls in a row that did not move the engine on
  for (int poll = 0; ecu.Ecu().EngineSeconds() <= seconds; ++poll) {
    const double before = ecu.Ecu().EngineSeconds();
    live::Sample sample;
    sample.connected = true;
    sample.slowDue = poll % 5 == 0;
    sample.slowRead =
        sample.slowDue && link.link.ReadLiveBlock(1, sample.slow.data(), ecu::kLiveBlockSize);
    sample.fastRead = link.link.ReadLiveBlock(0, sample.fast.data(), ecu::kLiveBlockSize);
    sample.time = ecu.Ecu().EngineSeconds();
    take(sample);
    standing = sample.time > before ? 0 : standing + 1;
    if (standing == 50) {
      ADD_FAILURE() << "the virtual ECU stopped answering at " << sample.time << " s";
      break;
    }
  }
  return ecu.Ecu().Memory();
}

}  // namespace linktest
