// The conversion rules of the parameter table, both ways: one dispatch on the
// rule, its constants taken from the parameter's row.
#include <cmath>
#include <limits>

#include "ConfCar.h"
#include "LiveBlocks.h"
#include "Parameters.h"

namespace params {
namespace {

constexpr std::array<int, 7> kIgnitionTypes = {51, 36, 37, 22, 24, 97, 50};
constexpr std::array<int, 6> kTpsTypes = {0, 1, 4, 5, 2, 8};
constexpr std::array<int, 6> kLambdaTypes = {0, 6, 10, 7, 11, 16};
constexpr std::array<int, 8> kLevelSensorTypes = {129, 2, 4, 131, 193, 66, 68, 195};
constexpr std::array<int, 4> kChangeOverTypes = {0, 1, 2, 4};

// Volts from a raw byte: 51 raw units per volt, in hundredths.
// Computed in double precision, whose constants lie just above 0.01, 0.002,
// 0.05 and 0.2: whole volts and exact multiples then convert exactly.
double Volts(std::int32_t raw) {
  return live::CentivoltsOfRaw(raw) * 0.01;
}

// trunc() of a value that must fit an int; nothing for NaN, infinities and
// values out of range, which no rule can turn into a raw byte.
std::optional<std::int32_t> Trunc(long double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const long double t = std::trunc(value);
  if (t < std::numeric_limits<std::int32_t>::min() || t > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(t);
}

std::optional<std::int32_t> FromVolts(double volts) {
  return Trunc(volts * 100 * 255 * 0.002);
}

std::optional<std::int32_t> FromHundredths(double volts) {
  const auto hundredths = Trunc(volts * 100);
  if (!hundredths) return std::nullopt;
  return Trunc(static_cast<double>(*hundredths) * 255 * 0.002);
}

int PositionIn(std::span<const int> list, int code) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i] == code) return static_cast<int>(i);
  return -1;
}

std::optional<std::int32_t> ListEntry(std::span<const int> list, double position) {
  const auto index = Trunc(position);
  if (!index || *index < 0 || static_cast<std::size_t>(*index) >= list.size()) return std::nullopt;
  return list[static_cast<std::size_t>(*index)];
}

std::int32_t WithBit(std::int32_t byte, int bit, double value) {
  return value == 0 ? (byte & ~(1 << bit)) : (byte | (1 << bit));
}

}  // namespace

std::span<const int> Options(Id id) {
  switch (id) {
    case Id::IgnitionType:
      return kIgnitionTypes;
    case Id::TpsType:
      return kTpsTypes;
    case Id::LambdaProbeType:
      return kLambdaTypes;
    case Id::LevelSensorType:
      return kLevelSensorTypes;
    case Id::ChangeOverType:
      return kChangeOverTypes;
    default:
      return {};
  }
}

std::optional<long double> ValueOfRaw(const Parameter& p, std::int32_t r, StoreFlags flags) {
  const Conversion& k = p.conversion;
  switch (k.rule) {
    case Rule::None:
    case Rule::Command:
      return std::nullopt;
    case Rule::ReadOnly:
    case Rule::Raw:
      return r;
    case Rule::List:
      return PositionIn(Options(p.id), r);
    case Rule::ListLowNibble:
      return PositionIn(Options(p.id), r & 15);
    case Rule::Multiple:
      return r * k.a;
    case Rule::Seconds:
      return (r * k.a) / 1000;
    case Rule::SecondsFraction:
      return r * k.a * 0.001;
    case Rule::StepTime:
      return k.a - (r / k.b);
    case Rule::Volts:
    case Rule::VoltsByHundredths:
      return Volts(r);
    case Rule::TpsVolts:
    case Rule::TpsVoltsByHundredths:
      return flags.invertedTps ? Volts(255 - r) : Volts(r);
    case Rule::RpmPeriod:
      return live::RpmOfPeriod(r);
    case Rule::Temperature:
      return TemperatureOfRaw(r);
    case Rule::Bit:
      return (r >> k.a) & 1;
    case Rule::Level:
      return flags.invertedLevel ? 255 - r : r;
    case Rule::LowBitsBand:
      return (r & k.a) - k.b;
    case Rule::HighBitsTime:
      return (r & k.a) * k.b;
  }
  return std::nullopt;
}

std::optional<std::int32_t> RawOfValue(const Parameter& p, double x, std::int32_t current,
                                       StoreFlags flags) {
  const Conversion& k = p.conversion;
  switch (k.rule) {
    case Rule::None:
    case Rule::ReadOnly:
      return std::nullopt;
    case Rule::Command:
    case Rule::Raw:
      return Trunc(x);
    case Rule::List:
      return ListEntry(Options(p.id), x);
    case Rule::ListLowNibble:
      if (const auto entry = ListEntry(Options(p.id), x)) return (*entry & 15) | (current & 240);
      return std::nullopt;
    case Rule::Multiple:
      return Trunc(x * k.c);
    case Rule::Seconds:
    case Rule::SecondsFraction:
      return Trunc(x * 1000 * k.c);
    case Rule::StepTime:
      return Trunc((k.a - x) * k.b);
    case Rule::Volts:
      return FromVolts(x);
    case Rule::VoltsByHundredths:
      return FromHundredths(x);
    case Rule::TpsVolts:
      return FromVolts(flags.invertedTps ? 5 - x : x);
    case Rule::TpsVoltsByHundredths:
      if (const auto hundredths = Trunc((flags.invertedTps ? 5 - x : x) * 100))
        return Trunc(static_cast<long double>(static_cast<std::int64_t>(*hundredths) * 255 / 500));
      return std::nullopt;
    case Rule::RpmPeriod:
      if (!(x >= 500)) return 255;  // below 500 rpm the function is off
      if (const auto rpm = Trunc(x)) return 120000 / *rpm;
      return std::nullopt;
    case Rule::Temperature:
      return RawOfTemperature(static_cast<float>(x));
    case Rule::Bit:
      return WithBit(current, k.a, x);
    case Rule::Level:
      return Trunc(flags.invertedLevel ? 255 - x : x);
    case Rule::LowBitsBand:
      if (const auto band = Trunc(x + k.b)) return (*band & k.a) | (current & ~k.a & 255);
      return std::nullopt;
    case Rule::HighBitsTime:
      if (const auto ms = Trunc(x)) return ((*ms / k.b) & k.a) | (current & ~k.a & 255);
      return std::nullopt;
  }
  return std::nullopt;
}

int WholeHundredths(double volts) {
  return static_cast<int>(std::lround(volts * 100));
}

}  // namespace params
