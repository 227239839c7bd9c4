#include "Analysis.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Guide.h"
#include "LiveBlocks.h"
#include "SyntheticDrive.h"

namespace {

using calibration::Band;
using calibration::CarSettings;
using calibration::Fuel;
using calibration::Reason;
using calibration::Sample;
using calibration::Verdict;
using calibration::testing::Recording;
using calibration::testing::Wave;

CarSettings CarWithProbe(int probeType) {
  CarSettings car;
  const auto scale = live::LambdaScale(probeType, 80);
  car.lambdaLow = scale[0];
  car.lambdaHigh = scale[1];
  return car;
}

calibration::PhaseSummary OnlyPhase(const Recording& r, Fuel fuel, Band band) {
  const auto classes = calibration::Classify(r.samples, r.car);
  return calibration::Summarise(r.samples, classes, fuel, band, r.car);
}

// Crossings of the midpoint, shares and mean on the probe's own scale, for
// every probe type the store knows (5-0 V ones run the other way round).
TEST(Analysis, SwitchingAndSharesOnEveryProbeType) {
  struct Case {
    int probeType;
    Wave wave;
    double perSecond;
    double leanShare;
  };
  const Wave even{0.15, 0.85, 1.0, 0.5};
  const Wave mostlyLean{0.15, 0.85, 2.0, 0.8};
  const Wave jitter{0.45, 0.55, 0.4, 0.5};  // inside the hysteresis: no switch
  const Case cases[] = {
      {0, even, 2.0, 0.5},       {1, even, 2.0, 0.5},       {2, even, 2.0, 0.5},
      {3, even, 2.0, 0.5},       {4, even, 2.0, 0.5},       {5, even, 2.0, 0.5},
      {0, mostlyLean, 1.0, 0.8}, {3, mostlyLean, 1.0, 0.8}, {5, mostlyLean, 1.0, 0.8},
      {0, jitter, 0.0, 0.5},     {4, jitter, 0.0, 0.5},
  };
  for (const Case& c : cases) {
    Recording r;
    r.car = CarWithProbe(c.probeType);
    r.Phase(true, 800, 42, c.wave);
    const auto p = OnlyPhase(r, Fuel::Gas, Band::Idle);
    const std::string label = "probe type " + std::to_string(c.probeType) + ", period " +
                              std::to_string(c.wave.period);
    EXPECT_NEAR(p.validSeconds, 40, 0.2) << label;  // the first 2 s are settling
    EXPECT_NEAR(p.switchingPerSecond, c.perSecond, 0.06) << label;
    EXPECT_NEAR(p.leanShare, c.leanShare, 0.03) << label;
    EXPECT_NEAR(p.richShare, 1 - c.leanShare, 0.03) << label;
    const double meanPosition =
        c.leanShare * c.wave.lean + (1 - c.leanShare) * c.wave.rich;
    EXPECT_NEAR(calibration::ScalePosition(p.meanLambda, r.car), meanPosition, 0.03) << label;
  }
}

TEST(Analysis, ActuatorFiguresOnGas) {
  Recording r;
  r.car.offIdleUp = 40;
  r.Phase(true, 2500, 32, {}, [](Sample& s) {
    const int step = static_cast<int>(s.time * 10) % 4;  // 110, 130, 110, 130 ...
    s.actuator = step % 2 == 0 ? 110 : 130;
    s.upperLimit = step == 0;
  });
  const auto p = OnlyPhase(r, Fuel::Gas, Band::PartLoad);
  EXPECT_NEAR(p.actuatorMean, 120, 0.5);
  EXPECT_NEAR(p.actuatorSpread, 10, 0.5);
  EXPECT_NEAR(p.windowUse, 0.5, 0.02);  // 20 steps above the default of a 40-step window
  EXPECT_NEAR(p.upperShare, 0.25, 0.02);
  EXPECT_EQ(p.lowerShare, 0);
}

// The share of its window the actuator uses is taken against the room the
// ECU leaves it: a window reaching past a limit is cut there. The ECU learns
// its default while the actuator stands at a limit, so at 2500 rpm the
// default creeps from 245 to 237 under an actuator held at 255.
TEST(Analysis, WindowUseAgainstTheRoomLeft) {
  struct Case {
    const char* name;
    int rpm;
    int lowerLimit;
    int upperLimit;
    std::function<void(Sample&)> actuator;
    double windowUse;
  };
  const Case cases[] = {
      {"held at the top while the default creeps up", 2500, 0, 255,
       [](Sample& s) {
         s.actuator = 255;
         s.defaultPosition = 245 - static_cast<int>(s.time / 4);
       },
       1.0},
      {"default at the top itself", 800, 0, 255,
       [](Sample& s) { s.actuator = s.defaultPosition = 255; }, 0.0},
      {"halfway to a lowered upper limit", 2500, 0, 200,
       [](Sample& s) { s.defaultPosition = 180, s.actuator = 190; }, 0.5},
      {"halfway to a raised lower limit", 800, 20, 255,
       [](Sample& s) { s.defaultPosition = 30, s.actuator = 25; }, -0.5},
      {"windows clear of the limits", 2500, 0, 255,
       [](Sample& s) { s.defaultPosition = 100, s.actuator = 120; }, 0.5},
      {"beyond a limit the car's settings do not know", 800, 0, 150,
       [](Sample& s) { s.defaultPosition = 160, s.actuator = 170; }, 0.4},
  };
  for (const Case& c : cases) {
    Recording r;
    r.car.lowerLimit = c.lowerLimit;
    r.car.upperLimit = c.upperLimit;
    r.Phase(true, c.rpm, 32, {}, c.actuator);
    const auto p = OnlyPhase(r, Fuel::Gas, c.rpm < 1500 ? Band::Idle : Band::PartLoad);
    EXPECT_NEAR(p.windowUse, c.windowUse, 0.01) << c.name;
  }
}

// A whole check: idle and 2500 rpm on petrol, then on gas, with one thing
// spoilt on gas (or on petrol) per case.
TEST(Analysis, VerdictPerBand) {
  const auto constant = [](double position) { return Wave{position, position, 0, 1}; };
  struct Case {
    const char* name;
    Wave petrolWave;
    Wave gasWave;
    std::function<void(Sample&)> spoilGas;
    double gasSeconds;
    Verdict verdict;
    Reason reason;
    int exitCode;
  };
  const Wave normal{};
  const Case cases[] = {
      {"switching on both", normal, normal, {}, 25, Verdict::Ok, Reason::None, 0},
      {"stuck lean", normal, constant(0.08), {}, 25, Verdict::LeanOnGas, Reason::None, 3},
      {"stuck rich", normal, constant(0.9), {}, 25, Verdict::RichOnGas, Reason::None, 3},
      {"dead probe", normal, constant(0.45), {}, 25, Verdict::NotSwitchingOnGas, Reason::None, 3},
      {"mostly lean", normal, {0.15, 0.85, 2.0, 0.85}, {}, 25, Verdict::LeanOnGas, Reason::None, 3},
      {"mostly rich", normal, {0.15, 0.85, 2.0, 0.15}, {}, 25, Verdict::RichOnGas, Reason::None, 3},
      {"upper limit", normal, constant(0.08),
       [](Sample& s) { s.actuator = 255, s.upperLimit = true; }, 25, Verdict::UpperLimit,
       Reason::None, 3},
      {"lower limit", normal, normal, [](Sample& s) { s.actuator = 0, s.lowerLimit = true; }, 25,
       Verdict::LowerLimit, Reason::None, 3},
      {"opening beyond its window", normal, normal,
       [](Sample& s) { s.actuator = s.defaultPosition + (s.rpm < 1500 ? 22 : 35); }, 25,
       Verdict::LeanOnGas, Reason::None, 3},
      {"closing beyond its window", normal, normal,
       [](Sample& s) { s.actuator = s.defaultPosition - (s.rpm < 1500 ? 22 : 35); }, 25,
       Verdict::RichOnGas, Reason::None, 3},
      {"gas too short", normal, normal, {}, 15, Verdict::NotEnoughData, Reason::TooShort, 1},
      {"gas not recorded", normal, normal, {}, 0, Verdict::NotEnoughData, Reason::NotRecorded, 1},
      {"cold on gas", normal, normal, [](Sample& s) { s.temperature = 10; }, 25,
       Verdict::NotEnoughData, Reason::Cold, 1},
      {"engine speed hunting", normal, normal,
       [](Sample& s) { s.rpm += static_cast<int>(s.time * 10) % 2 == 0 ? 150 : -150; }, 25,
       Verdict::NotEnoughData, Reason::NotSteady, 1},
      {"petrol probe asleep", constant(0.1), normal, {}, 25, Verdict::NotEnoughData,
       Reason::NoPetrolReference, 1},
  };
  for (const Case& c : cases) {
    Recording r;
    r.Phase(false, 800, 25, c.petrolWave).Phase(false, 2500, 25, c.petrolWave);
    r.Phase(true, 800, c.gasSeconds, c.gasWave, c.spoilGas)
        .Phase(true, 2500, c.gasSeconds, c.gasWave, c.spoilGas);
    const auto result = calibration::Check(r.samples, r.car);
    for (const auto& band : result.bands) {
      const std::string label = std::string(c.name) + " at " + calibration::TokenOf(band.band);
      EXPECT_EQ(band.verdict, c.verdict) << label << ": " << calibration::TokenOf(band.verdict);
      EXPECT_EQ(band.reason, c.reason) << label << ": " << calibration::TokenOf(band.reason);
    }
    EXPECT_EQ(calibration::ExitCodeOf(result), c.exitCode) << c.name;
  }
}

TEST(Analysis, PetrolRowTellsWhyPetrolIsNoReference) {
  Recording r;
  r.Phase(false, 800, 25, {0.1, 0.1, 0, 1}).Phase(true, 800, 25);
  const auto band = calibration::Check(r.samples, r.car).bands[0];
  EXPECT_EQ(band.VerdictOf(Fuel::Petrol), Verdict::NotEnoughData);
  EXPECT_EQ(band.ReasonOf(Fuel::Petrol), Reason::NoSwitching);
  EXPECT_EQ(band.VerdictOf(Fuel::Gas), Verdict::NotEnoughData);
  EXPECT_EQ(band.ReasonOf(Fuel::Gas), Reason::NoPetrolReference);
}

// Only the steady, warm part of a phase counts: the change of speed, a
// cut-off and a lost connection's gap are left out.
TEST(Analysis, OnlySteadyWarmSamplesCount) {
  Recording r;
  r.Phase(true, 800, 10, {}, [](Sample& s) { s.temperature = 10; });
  r.Phase(true, 800, 10);
  r.Phase(true, 800, 1, {}, [](Sample& s) { s.cutOff = true; });
  r.Phase(true, 800, 10);
  r.time += 30;  // nothing recorded for 30 s
  r.Phase(true, 800, 10);
  const auto p = OnlyPhase(r, Fuel::Gas, Band::Idle);
  EXPECT_NEAR(p.coldSeconds, 10, 0.2);
  // Warming up does not break the run; the cut-off and the gap are no time
  // in the band, and after each the engine must settle again for 2 s.
  EXPECT_NEAR(p.unsteadySeconds, 2 + 2, 0.5);
  EXPECT_NEAR(p.validSeconds, 10 + 8 + 8, 0.5);
}

}  // namespace

namespace {

// The guide asks for the phases in order, and to warm up only while a phase
// still needs a warm engine.
TEST(Guide, AsksForTheNextPhaseInOrder) {
  using calibration::Step;
  const auto warm = [](Sample&) {};
  const auto cold = [](Sample& s) { s.temperature = 5; };
  struct Case {
    const char* name;
    std::function<void(Recording&)> drive;
    Step expected;
  };
  const Case cases[] = {
      {"nothing yet, cold", [&](Recording& r) { r.Phase(false, 800, 5, {}, cold); },
       Step::WarmUp},
      {"warm", [&](Recording& r) { r.Phase(false, 800, 5, {}, warm); }, Step::IdlePetrol},
      {"idle done", [](Recording& r) { r.Phase(false, 800, 25); }, Step::PartLoadPetrol},
      {"petrol done", [](Recording& r) { r.Phase(false, 800, 25).Phase(false, 2500, 25); },
       Step::SwitchToGas},
      {"on gas",
       [](Recording& r) { r.Phase(false, 800, 25).Phase(false, 2500, 25).Phase(true, 800, 5); },
       Step::IdleGas},
      {"gas idle done",
       [](Recording& r) { r.Phase(false, 800, 25).Phase(false, 2500, 25).Phase(true, 800, 25); },
       Step::PartLoadGas},
      {"all done",
       [](Recording& r) {
         r.Phase(false, 800, 25).Phase(false, 2500, 25).Phase(true, 800, 25).Phase(true, 2500, 25);
       },
       Step::Done},
  };
  for (const Case& c : cases) {
    Recording r;
    c.drive(r);
    const auto result = calibration::Check(r.samples, r.car);
    EXPECT_EQ(calibration::NextStep(result, r.samples.back(), r.car), c.expected) << c.name;
  }
}

// Only a petrol step on gas asks to switch back to petrol.
TEST(Guide, PetrolStepsOnGasAskForPetrol) {
  using calibration::Step;
  Sample onGas;
  onGas.onGas = true;
  const Sample onPetrol;
  for (int s = 0; s <= static_cast<int>(Step::Done); ++s) {
    const auto step = static_cast<Step>(s);
    const bool petrolStep = step == Step::IdlePetrol || step == Step::PartLoadPetrol;
    EXPECT_EQ(calibration::NeedsPetrol(step, onGas), petrolStep) << calibration::MarkerTextOf(step);
    EXPECT_FALSE(calibration::NeedsPetrol(step, onPetrol)) << calibration::MarkerTextOf(step);
  }
}

}  // namespace
