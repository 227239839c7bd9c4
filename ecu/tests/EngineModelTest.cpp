#include "EngineModel.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using vecu::EcuMemory;
using vecu::EngineModel;

int RpmOf(const EngineModel::Block& fast) {
  return fast[0] == 0 || fast[0] == 255 ? 0 : (120000 / fast[0]) / 100 * 100;
}

// Runs a minute of driving with factory settings and collects what the
// technician would see on the live view.
struct Drive {
  std::set<int> rpms, zones, lambdaStatus;
  bool sawCutOff = false, sawGas = false, sawPetrol = false;
  bool sawUpperLimit = false, sawLowerLimit = false, sawWindows = false;
  int firstTemperature = 0, lastTemperature = 0, firstLevel = 0, lastLevel = 0;
};

Drive RunDrive(EngineModel& engine, EcuMemory& memory, double seconds) {
  Drive drive;
  for (double t = 0; t < seconds; t += 0.1) {
    engine.Advance(0.1, memory);
    const auto fast = engine.FastBlock(memory);
    const auto slow = engine.SlowBlock(memory);
    drive.rpms.insert(RpmOf(fast));
    drive.zones.insert(fast[3] & 3);
    drive.lambdaStatus.insert((fast[3] >> 4) & 3);
    drive.sawCutOff |= (fast[4] & 0x04) != 0;
    drive.sawUpperLimit |= (fast[4] & 0x80) != 0;
    drive.sawLowerLimit |= (fast[4] & 0x40) != 0;
    drive.sawWindows |= (slow[2] & 0x01) != 0;
    ((slow[2] & 0x08) ? drive.sawGas : drive.sawPetrol) = true;
    if (t == 0) {
      drive.firstTemperature = slow[0];
      drive.firstLevel = slow[1];
    }
    drive.lastTemperature = slow[0];
    drive.lastLevel = slow[1];
    EXPECT_GE(fast[5], memory.Get(35));
    EXPECT_LE(fast[5], memory.Get(36));
  }
  return drive;
}

TEST(EngineModel, ADriveLooksLikeACar) {
  EcuMemory memory;
  memory.Set(41, 0, 60);  // cut-off ends at 2000 rpm (the factory 10000 never cuts off)
  EngineModel engine;
  const Drive drive = RunDrive(engine, memory, 120);
  EXPECT_TRUE(drive.rpms.count(800) || drive.rpms.count(900)) << "idles";
  EXPECT_GT(*drive.rpms.rbegin(), 3000) << "revs up";
  EXPECT_TRUE(drive.zones.count(0) && drive.zones.count(3));
  EXPECT_TRUE(drive.lambdaStatus.count(1) && drive.lambdaStatus.count(2)) << "rich and lean";
  EXPECT_TRUE(drive.sawCutOff);
  EXPECT_TRUE(drive.sawPetrol && drive.sawGas) << "starts on petrol, changes over";
  EXPECT_LT(drive.lastTemperature, drive.firstTemperature) << "warms up (lower raw is hotter)";
  EXPECT_LT(drive.lastLevel, drive.firstLevel) << "uses gas";
  EXPECT_EQ(memory.Get(vecu::kErrorFlagsAddress), 0);
}

// What the live view shows in a drive with the factory settings: the cut-off
// (its end speed of 10000 rpm is beyond the drive), the actuator against both
// limits, its working windows and the change-over.
TEST(EngineModel, AFactoryDriveShowsEveryIndication) {
  EcuMemory memory;
  EngineModel engine;
  const Drive drive = RunDrive(engine, memory, 60);
  EXPECT_TRUE(drive.sawCutOff);
  EXPECT_TRUE(drive.sawUpperLimit);
  EXPECT_TRUE(drive.sawLowerLimit);
  EXPECT_TRUE(drive.sawWindows);
  EXPECT_TRUE(drive.sawPetrol && drive.sawGas);
}

TEST(EngineModel, NoChangeOverBeforeTheSetTemperature) {
  EcuMemory memory;
  memory.Set(58, 0, EngineModel::TemperatureRaw(70));  // change over only at 70 degrees
  EngineModel engine;
  engine.Advance(20, memory);
  EXPECT_FALSE(engine.OnGas());
  EXPECT_LT(engine.GasTemperature(), 70);
}

TEST(EngineModel, AFaultyProbeTripsOnlyItsEnabledCheck) {
  struct Case {
    vecu::ProbeFault fault;
    int enabled;
    int expected;
  };
  const Case cases[] = {
      {vecu::ProbeFault::Dead, 7, 1},
      {vecu::ProbeFault::StuckLean, 7, 2},
      {vecu::ProbeFault::StuckRich, 7, 4},
      {vecu::ProbeFault::StuckRich, 3, 0},
  };
  for (const Case& c : cases) {
    EcuMemory memory;
    memory.Set(52, 0, c.enabled);
    EngineModel engine(c.fault);
    engine.Advance(60, memory);
    EXPECT_EQ(memory.Get(vecu::kErrorFlagsAddress), c.expected) << "enabled " << c.enabled;
  }
}

}  // namespace

TEST(EngineModel, ATankCycleFillsAndEmptiesTheTank) {
  EcuMemory memory;
  EngineModel engine;
  engine.SetTankCycle(10);
  std::vector<int> levels;
  for (int i = 0; i < 10; ++i) {
    engine.Advance(1.25, memory);  // eight readings a cycle, the first at 1.25 s
    levels.push_back(engine.SlowBlock(memory)[1]);
  }
  const std::vector<int> expected = {64, 128, 191, 255, 191, 128, 64, 0, 64, 128};
  ASSERT_EQ(levels.size(), expected.size());
  for (std::size_t i = 0; i < levels.size(); ++i)
    EXPECT_NEAR(levels[i], expected[i], 1) << "reading " << i;
}

namespace {

// What one steady phase of a bench test looks like on the live blocks.
struct Phase {
  std::set<int> rpms;
  bool allGas = true, allPetrol = true;
  int lambdaSwitches = 0;
  int upperLimit = 0, lowerLimit = 0, samples = 0;
  int lowestLambda = 255, highestLambda = 0;
};

Phase Watch(EngineModel& engine, EcuMemory& memory, double seconds) {
  Phase phase;
  int lastStatus = -1;
  for (double t = 0; t < seconds; t += 0.05) {
    engine.Advance(0.05, memory);
    const auto fast = engine.FastBlock(memory);
    const auto slow = engine.SlowBlock(memory);
    phase.rpms.insert(RpmOf(fast));
    const bool gas = (slow[2] & 0x08) != 0;
    phase.allGas &= gas;
    phase.allPetrol &= !gas;
    phase.lowestLambda = std::min<int>(phase.lowestLambda, fast[1]);
    phase.highestLambda = std::max<int>(phase.highestLambda, fast[1]);
    const int status = (fast[3] >> 4) & 3;
    if (lastStatus >= 0 && status != lastStatus) ++phase.lambdaSwitches;
    lastStatus = status;
    phase.upperLimit += (fast[4] & 0x80) != 0;
    phase.lowerLimit += (fast[4] & 0x40) != 0;
    ++phase.samples;
  }
  return phase;
}

TEST(EngineModel, ABenchTestHoldsEachPhaseAndTheLastOneAfterwards) {
  EcuMemory memory;
  EngineModel engine;
  engine.SetDrive({{false, 0, 10}, {false, 2500, 10}, {true, 0, 10}, {true, 2500, 10}});
  EXPECT_LT(EngineModel::TemperatureRaw(engine.GasTemperature()), memory.Get(58))
      << "warm from the start";
  engine.Advance(4, memory);  // cranking, then settled at idle
  const Phase idle = Watch(engine, memory, 5);
  EXPECT_TRUE(idle.allPetrol);
  EXPECT_EQ(idle.rpms, (std::set<int>{800}));
  engine.Advance(4, memory);
  const Phase cruise = Watch(engine, memory, 5);
  EXPECT_TRUE(cruise.allPetrol);
  EXPECT_EQ(cruise.rpms, (std::set<int>{2500}));
  engine.Advance(5, memory);
  const Phase gasIdle = Watch(engine, memory, 5);
  EXPECT_TRUE(gasIdle.allGas);
  EXPECT_GT(gasIdle.lambdaSwitches, 8) << "closed loop on gas";
  engine.Advance(40, memory);  // long past the schedule's end
  const Phase held = Watch(engine, memory, 5);
  EXPECT_TRUE(held.allGas);
  EXPECT_EQ(held.rpms, (std::set<int>{2500}));
}

// A small mixture error is trimmed (the probe keeps switching, no limit
// flag); a large one leaves the actuator at the limit in the direction that
// makes up for it and the probe stuck on the side of the error.
TEST(EngineModel, AGasMixtureErrorIsTrimmedOrDrivesTheActuatorToItsLimit) {
  struct Case {
    double mixture;
    int rpm;
    bool switching;
    bool upper, lower;
    bool lean, rich;
  };
  const Case cases[] = {
      {0, 0, true, false, false, false, false},     {-10, 0, true, false, false, false, false},
      {10, 2500, true, false, false, false, false}, {-25, 0, false, true, false, true, false},
      {-25, 2500, false, true, false, true, false}, {25, 0, false, false, true, false, true},
      {25, 2500, false, false, true, false, true},
  };
  for (const Case& c : cases) {
    EcuMemory memory;
    EngineModel engine;
    engine.SetDrive({{true, c.rpm, 60}});
    engine.SetGasMixture(c.mixture);
    engine.Advance(15, memory);
    const Phase phase = Watch(engine, memory, 10);
    const std::string label = std::to_string(c.mixture) + " at " + std::to_string(c.rpm);
    EXPECT_EQ(phase.lambdaSwitches > 10, c.switching) << label;
    EXPECT_EQ(phase.upperLimit == phase.samples, c.upper) << label;
    EXPECT_EQ(phase.lowerLimit == phase.samples, c.lower) << label;
    EXPECT_EQ(phase.highestLambda < 10, c.lean) << label;  // below 0.2 V
    EXPECT_EQ(phase.lowestLambda > 40, c.rich) << label;   // above 0.8 V
    if (c.switching) {
      EXPECT_EQ(phase.upperLimit + phase.lowerLimit, 0) << label;
    }
  }
}

}  // namespace

// The ECU learns the default position and writes it back while the engine
// runs, unless the fixed-default option makes it the technician's setting.
TEST(EngineModel, TheDefaultPositionIsLearntUnlessFixed) {
  for (const bool fixed : {false, true}) {
    SCOPED_TRACE(fixed ? "fixed default" : "learnt default");
    EcuMemory memory;
    EngineModel engine;
    memory.Set(vecu::kOptionAddress, 0, fixed ? vecu::kFixedDefaultBit : 0);
    memory.Set(vecu::kDefaultPositionAddress, 0, 77);
    RunDrive(engine, memory, 30);
    EXPECT_EQ(memory.Get(vecu::kDefaultPositionAddress) == 77, fixed);
  }
}
