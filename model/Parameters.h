// Every parameter of the ECU in one table: its name in code, the code word
// that names it to the link, where its byte lives in the store's image, how
// many values it holds, how a raw byte turns into engineering units and back,
// its name in journals and listings, and the range, step and unit a window
// enforces when it is typed into an edit. A parameter's number is written here
// and nowhere else; everything else looks it up by its Id.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "EcuLink.h"

namespace params {

enum class Id : int {
  None = 0,
  OptionByte = 1,
  IgnitionType = 2,
  TpsType = 3,
  LambdaProbeType = 4,
  EmulationHighTime = 5,
  EmulationLowTime = 6,
  EmulationTristateTime = 7,
  EmulationWaveCount = 8,
  IdleOpeningStepTime = 9,
  IdleClosingStepTime = 10,
  Unused11 = 11,
  CruiseOpeningStepTime = 12,
  CruiseClosingStepTime = 13,
  PowerOpeningStepTime = 14,
  PowerClosingStepTime = 15,
  PowerReleaseStepTime = 16,
  ActuatorEnteringIdle = 17,
  ActuatorLeavingIdle = 18,
  LimitedOpeningOffIdle = 19,
  Unused20 = 20,
  Unused21 = 21,
  DecelerationByte = 22,
  MonoBoschHysteresis = 23,
  IdleTpsHysteresis = 24,
  TpsVoltages = 25,
  Unused26 = 26,
  IdleLambdaReference = 27,
  CruiseLambdaReference = 28,
  Unused29 = 29,
  LambdaReferenceOffset = 30,
  IdleOpeningStepsBeyond = 31,
  IdleClosingStepsBelow = 32,
  OffIdleOpeningStepsBeyond = 33,
  OffIdleClosingStepsBelow = 34,
  ActuatorLowerLimit = 35,
  ActuatorUpperLimit = 36,
  Unused37 = 37,
  FullThrottleTps = 38,
  ActuatorAtFullThrottle = 39,
  ActuatorDefaultPosition = 40,
  CutOffEndRpm = 41,
  ActuatorInCutOff = 42,
  OpenLoopAtPower = 43,
  StepsToLeanAtFirstRich = 44,
  StepsToEnrichAtFirstLean = 45,
  PowerAsIdle = 46,
  Unused47 = 47,
  PowerStartRpm = 48,
  Unused49 = 49,
  Unused50 = 50,
  LambdaReadDelay = 51,
  DiagnosisEnableMask = 52,
  DiagnosisErrorFlags = 53,
  FuelOverlapTime = 54,
  ActuatorAtColdProbe = 55,
  ChangeOverRpm = 56,
  FuelOverlapMilliseconds = 57,
  ChangeOverMinimumTemperature = 58,
  LevelSensorType = 59,
  LevelSensorCalibration = 60,
  IndicatorOutputs = 61,
  OverRevThreshold = 62,
  ChangeOverType = 63,
  RpmSignalType = 64,
  YellowWiresUse = 65,
  ReturnToPetrolLevel = 66,
  FixedDefaultOption = 67,
  FixedIdleTpsOption = 68,
  RichInRangeOption = 69,
  DecelerationBandWidth = 70,
  DecelerationLeaveTime = 71,
  CustomerCode = 72,
  SwitchType = 73,
  GasStartTemperature = 74,
};

inline constexpr int kCount = 75;

constexpr int Number(Id id) { return static_cast<int>(id); }

// How a raw byte becomes a value and a value a raw byte. The constants a rule
// needs sit beside it in the row (Conversion::a, b, c).
enum class Rule : std::uint8_t {
  None,            // no value: no slot, or a command the ECU never reports
  Command,         // a value sent and never kept (the customer code)
  ReadOnly,        // the raw byte, never written by value
  Raw,             // the raw byte both ways
  List,            // position in the option list; written as the list's code
  ListLowNibble,   // List on the low four bits; the high four are kept
  Multiple,        // raw × a; written as trunc(value × c)
  Seconds,         // (raw × a) / 1000 in whole units; written as trunc(value × 1000 × c)
  SecondsFraction, // raw × a × 0.001; written as trunc(value × 1000 × c)
  StepTime,        // a − raw / b; written as trunc((a − value) × b)
  Volts,           // volts at 51 raw units per volt
  VoltsByHundredths,  // Volts; written through whole hundredths
  TpsVolts,        // Volts, mirrored when the TPS is inverted
  TpsVoltsByHundredths,  // TpsVolts; written through whole hundredths
  RpmPeriod,       // engine speed of a period byte; below 500 rpm is off (255)
  Temperature,     // thermistor curve
  Bit,             // bit a of the shared byte; the other bits are kept
  Level,           // the raw level, mirrored when the level sensor is inverted
  LowBitsBand,     // (raw & a) − b; the other bits are kept
  HighBitsTime,    // (raw & a) × b; the other bits are kept
};

struct Conversion {
  Rule rule = Rule::None;
  int a = 0;
  int b = 0;
  double c = 0;
};

// What a configuration window enforces on an edit of the parameter: the
// range Enter accepts, the step a value is rounded to, and the dictionary key
// of the unit shown beside it. All zero for a parameter no window types in.
struct EditLimits {
  double minimum = 0;
  double maximum = 0;
  double step = 0;                // 0: no rounding
  const char* unitKey = nullptr;  // nullptr: no unit
};

struct Parameter {
  Id id;
  std::uint32_t code;  // code word naming the parameter to the link; 0: none
  int slot;            // image slot of its (first) byte; -1: none
  int count;           // values in slots of its own: 1, an array's element count, or 0
                       // (no slot, or bits of a byte that belongs to another parameter)
  Conversion conversion;
  bool computedByEcu;  // read afresh from the ECU every time it is asked for
  const char* name;    // plain English, for journals and listings
  EditLimits edit{};   // an array's elements share them
};

// Slots shared by several parameters.
inline constexpr int kOptionSlot = 0;
inline constexpr int kDecelerationSlot = 59;
inline constexpr int kSwitchTypeSlot = 69;

namespace detail {
constexpr Conversion kNone{};
constexpr Conversion kRaw{Rule::Raw};
constexpr Conversion kList{Rule::List};
constexpr Conversion kStepTime{Rule::StepTime, 21, 5};
constexpr Conversion kEmulationTime{Rule::Multiple, 20, 0, 0.05};
constexpr Conversion kVolts{Rule::Volts};
constexpr Conversion kRpm{Rule::RpmPeriod};
constexpr Conversion Bit(int bit) { return {Rule::Bit, bit}; }
constexpr EditLimits kAnyByte{0, 255, 1, nullptr};
constexpr EditLimits kStepTimes{1, 20, 1, nullptr};
// Milliseconds, the emulation times' own unit: a byte of 20 ms steps.
constexpr EditLimits kEmulationTimes{0, 255 * 20, 0, nullptr};
constexpr Parameter Unused(Id id) { return {id, static_cast<std::uint32_t>(id), -1, 0, kNone, false, "(none)"}; }
constexpr Parameter Single(Id id, int slot, Conversion conversion, const char* name,
                           EditLimits edit = {}) {
  return {id, static_cast<std::uint32_t>(id), slot, 1, conversion, false, name, edit};
}
}  // namespace detail

// One row per parameter, in the order of their numbers.
inline constexpr std::array<Parameter, kCount> kTable = [] {
  using namespace detail;
  return std::array<Parameter, kCount>{{
      {Id::None, 256, -1, 0, kNone, false, "(none)"},
      Single(Id::OptionByte, 0, {Rule::ReadOnly}, "option byte"),
      Single(Id::IgnitionType, 1, kList, "ignition type"),
      Single(Id::TpsType, 8, kList, "TPS type"),
      Single(Id::LambdaProbeType, 16, kList, "lambda probe type"),
      Single(Id::EmulationHighTime, 18, kEmulationTime, "lambda emulation high time",
             kEmulationTimes),
      Single(Id::EmulationLowTime, 19, kEmulationTime, "lambda emulation low time",
             kEmulationTimes),
      {Id::EmulationTristateTime, 519, 20, 1, {Rule::Seconds, 20, 0, 0.05}, false,
       "lambda emulation tristate time"},
      Single(Id::EmulationWaveCount, 21, kRaw, "lambda emulation wave count", kAnyByte),
      Single(Id::IdleOpeningStepTime, 43, kStepTime, "idle opening step time", kStepTimes),
      Single(Id::IdleClosingStepTime, 44, kStepTime, "idle closing step time", kStepTimes),
      Unused(Id::Unused11),
      Single(Id::CruiseOpeningStepTime, 52, kStepTime, "cruise opening step time", kStepTimes),
      Single(Id::CruiseClosingStepTime, 53, kStepTime, "cruise closing step time", kStepTimes),
      Single(Id::PowerOpeningStepTime, 65, kStepTime, "maximum power opening step time"),
      Single(Id::PowerClosingStepTime, 66, kStepTime, "maximum power closing step time"),
      Single(Id::PowerReleaseStepTime, 67, kStepTime, "maximum power sgolfamento step time"),
      Single(Id::ActuatorEnteringIdle, 45, kRaw, "actuator on entering idle"),
      Single(Id::ActuatorLeavingIdle, 56, kRaw, "actuator on leaving idle"),
      Single(Id::LimitedOpeningOffIdle, 62, kRaw, "limited opening just off idle"),
      Unused(Id::Unused20),
      Unused(Id::Unused21),
      Single(Id::DecelerationByte, 59, kRaw, "deceleration byte"),
      Single(Id::MonoBoschHysteresis, 35, kVolts, "mono Bosch hysteresis",
             {0, 5, 0.1, "UnitaVolt"}),
      Single(Id::IdleTpsHysteresis, 36, kVolts, "idle TPS hysteresis", {0, 5, 0.01, "UnitaVolt"}),
      {Id::TpsVoltages, 0x3119, 46, 3, {Rule::TpsVoltsByHundredths}, false,
       "TPS voltages", {0, 5, 0.01, "UnitaVolt"}},
      Unused(Id::Unused26),
      {Id::IdleLambdaReference, 0x211B, 49, 2, {Rule::VoltsByHundredths}, false,
       "lambda reference at idle"},
      Single(Id::CruiseLambdaReference, 51, {Rule::VoltsByHundredths}, "lambda reference in cruise"),
      Unused(Id::Unused29),
      Single(Id::LambdaReferenceOffset, 61, {Rule::VoltsByHundredths}, "lambda reference offset"),
      Single(Id::IdleOpeningStepsBeyond, 28, kRaw, "idle opening steps beyond default", kAnyByte),
      Single(Id::IdleClosingStepsBelow, 29, kRaw, "idle closing steps below default", kAnyByte),
      Single(Id::OffIdleOpeningStepsBeyond, 30, kRaw, "off-idle opening steps beyond default",
             kAnyByte),
      Single(Id::OffIdleClosingStepsBelow, 31, kRaw, "off-idle closing steps below default",
             kAnyByte),
      Single(Id::ActuatorLowerLimit, 27, kRaw, "actuator lower limit"),
      Single(Id::ActuatorUpperLimit, 26, kRaw, "actuator upper limit"),
      Unused(Id::Unused37),
      Single(Id::FullThrottleTps, 25, {Rule::TpsVolts}, "TPS value for full throttle",
             {0, 4.9, 0.1, "UnitaVolt"}),
      Single(Id::ActuatorAtFullThrottle, 24, kRaw, "actuator position at full throttle", kAnyByte),
      {Id::ActuatorDefaultPosition, 40, 23, 1, kRaw, true, "actuator default position", kAnyByte},
      Single(Id::CutOffEndRpm, 33, kRpm, "cut-off end rpm", {1300, 7000, 100, "UnitaGiri"}),
      Single(Id::ActuatorInCutOff, 34, kRaw, "actuator position in cut-off", kAnyByte),
      Single(Id::OpenLoopAtPower, 58, kRaw, "open loop at maximum power"),
      Single(Id::StepsToLeanAtFirstRich, 55, kRaw, "steps to lean at first rich", kAnyByte),
      Single(Id::StepsToEnrichAtFirstLean, 54, kRaw, "steps to enrich at first lean", kAnyByte),
      Single(Id::PowerAsIdle, 68, kRaw, "maximum power as idle/off-idle"),
      Unused(Id::Unused47),
      Single(Id::PowerStartRpm, 57, kRpm, "rpm reference for power start",
             {3000, 7000, 50, "UnitaGiri"}),
      Unused(Id::Unused49),
      Unused(Id::Unused50),
      Single(Id::LambdaReadDelay, 17, {Rule::Multiple, 5, 0, 0.2}, "lambda read delay",
             {5, 1200, 5, "UnitaSecondi"}),
      Single(Id::DiagnosisEnableMask, 64, kRaw, "diagnosis enable mask"),
      {Id::DiagnosisErrorFlags, 53, 63, 1, kRaw, true, "diagnosis error flags"},
      Single(Id::FuelOverlapTime, 7, {Rule::SecondsFraction, 20, 0, 0.05}, "fuel overlap time",
             {0, 5, 0.02, "UnitaSecondi"}),
      Single(Id::ActuatorAtColdProbe, 60, kRaw, "actuator position at cold probe"),
      Single(Id::ChangeOverRpm, 6, kRpm, "change-over rpm", {0, 4000, 100, "UnitaGiri"}),
      {Id::FuelOverlapMilliseconds, 54, 4, 1, kEmulationTime, false,
       "fuel overlap time (ms)"},
      Single(Id::ChangeOverMinimumTemperature, 5, {Rule::Temperature},
             "minimum temperature for change-over", {15, 40, 1, "UnitaGradi"}),
      Single(Id::LevelSensorType, 9, kList, "level sensor type"),
      {Id::LevelSensorCalibration, 0x613C, 10, 6, kRaw, false, "level sensor calibration"},
      {Id::IndicatorOutputs, 0x613D, 37, 6, kRaw, false, "original indicator outputs"},
      Single(Id::OverRevThreshold, 3, kRpm, "over-rev threshold", {4000, 8000, 100, "UnitaGiri"}),
      Single(Id::ChangeOverType, 2, {Rule::ListLowNibble}, "change-over type"),
      {Id::RpmSignalType, 1, kOptionSlot, 0, Bit(4), false, "rpm signal type"},
      {Id::YellowWiresUse, 1, kOptionSlot, 0, Bit(3), false, "yellow wires use"},
      // The range of a level sensor read the usual way; the optional window
      // shows 0..254 instead while the sensor is inverted.
      {Id::ReturnToPetrolLevel, 57, 22, 1, {Rule::Level}, false,
       "gas level for return to petrol", {1, 255, 1, nullptr}},
      {Id::FixedDefaultOption, 1, kOptionSlot, 0, Bit(0), false, "fixed default option"},
      {Id::FixedIdleTpsOption, 1, kOptionSlot, 0, Bit(2), false, "fixed idle TPS option"},
      {Id::RichInRangeOption, 1, kOptionSlot, 0, Bit(1), false,
       "ingrassa in giusto option"},
      {Id::DecelerationBandWidth, 22, kDecelerationSlot, 0, {Rule::LowBitsBand, 7, 2},
       false, "deceleration band width"},
      {Id::DecelerationLeaveTime, 22, kDecelerationSlot, 0, {Rule::HighBitsTime, 248, 20},
       false, "time to leave deceleration"},
      {Id::CustomerCode, 64, -1, 0, {Rule::Command}, false, "customer code"},
      {Id::SwitchType, 66, kSwitchTypeSlot, 1, Bit(2), false, "switch type"},
      {Id::GasStartTemperature, 68, 70, 1, {Rule::Temperature}, false,
       "engine temperature for gas start", {30, 80, 1, "UnitaGradi"}},
  }};
}();

// The row of a parameter; nullptr outside 0..74.
constexpr const Parameter* Find(int number) {
  if (number < 0 || number >= kCount) return nullptr;
  return &kTable[static_cast<std::size_t>(number)];
}
constexpr const Parameter& Row(Id id) { return kTable[static_cast<std::size_t>(Number(id))]; }

// Slots of the store's image: one past the last byte any parameter holds.
inline constexpr int kSlotCount = [] {
  int end = 0;
  for (const Parameter& p : kTable)
    if (p.slot >= 0 && p.slot + (p.count > 0 ? p.count : 1) > end)
      end = p.slot + (p.count > 0 ? p.count : 1);
  return end;
}();

// The parameter file holds the parameters up to this one, one line each, and
// the full read, the change report after an erase and compare cover the same
// ones. The parameters after it are written to the ECU but never read back.
inline constexpr Id kLastFileParameter = Id::CustomerCode;
constexpr bool InParameterFile(Id id) { return Number(id) <= Number(kLastFileParameter); }

// Bits of its slot's byte that a parameter without a slot of its own (a bit
// field of a shared byte) reads and writes; 0 for every other parameter.
constexpr std::int32_t FieldMask(const Parameter& p) {
  if (p.slot < 0 || p.count != 0) return 0;
  switch (p.conversion.rule) {
    case Rule::Bit:
      return std::int32_t{1} << p.conversion.a;
    case Rule::LowBitsBand:
    case Rule::HighBitsTime:
      return p.conversion.a;
    default:
      return 0;
  }
}

// Bits of a parameter's own byte left once the bit fields that share it are
// taken out: the whole byte for a byte nobody shares, none for a byte that is
// all fields (the deceleration byte); 0 without a single own slot.
constexpr std::int32_t RemainingBits(const Parameter& owner) {
  if (owner.slot < 0 || owner.count != 1) return 0;
  std::int32_t bits = 0xFF;
  for (const Parameter& p : kTable)
    if (p.slot == owner.slot) bits &= ~FieldMask(p);
  return bits;
}

// The earlier parameter whose single value is the same value in the ECU (the
// same code word, a slot of its own in the store); nullptr for a parameter that
// is no second name of another one.
constexpr const Parameter* SameEcuValueAs(const Parameter& p) {
  if (p.slot < 0 || p.count != 1) return nullptr;
  for (const Parameter& other : kTable) {
    if (Number(other.id) >= Number(p.id)) break;
    if (other.slot >= 0 && other.count > 0 && other.code == p.code) return &other;
  }
  return nullptr;
}

// The six-value tables that travel whole (ReadArray, WriteArray): the level
// sensor calibration and the indicator outputs.
inline constexpr int kTableLength = 6;
constexpr bool IsWholeTable(const Parameter& p) { return p.count == kTableLength; }

// The code word of one element of an array: the array's ECU address alone,
// as the ECU takes single elements.
constexpr std::uint32_t ElementCode(const Parameter& p) {
  return static_cast<std::uint32_t>(ecu::CodeAddress(p.code));
}

// The option lists of the list parameters (codes in the order the windows
// show them); empty for the others.
std::span<const int> Options(Id id);

// What a conversion needs to know of the rest of the store.
struct StoreFlags {
  bool invertedTps = false;
  bool invertedLevel = false;
};

// Engineering units of a raw byte by the parameter's rule (one element of an
// array reads by the same rule); nullopt for a parameter without a value.
std::optional<long double> ValueOfRaw(const Parameter& parameter, std::int32_t raw,
                                      StoreFlags flags);
// The byte to send for a value, given the byte the slot holds now (a shared
// byte keeps its other bits); nullopt when the rule has no byte for it. The
// result may lie outside 0..255: the caller refuses those.
std::optional<std::int32_t> RawOfValue(const Parameter& parameter, double value,
                                       std::int32_t current, StoreFlags flags);

// A volts value in the whole hundredths the windows show it in, rounded: a
// stored volts value lies on either side of its whole number of hundredths
// (0.29 V is held as 0.28999…), so truncating would lose one.
int WholeHundredths(double volts);

}  // namespace params
