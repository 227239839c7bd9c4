// GetValue / SetValue / GetElement / SetElement: the unit of every identifier
// and its conversion between raw bytes and engineering units.
#include <cmath>
#include <limits>
#include <optional>

#include "ConfCar.h"
#include "LiveBlocks.h"
#include "ParameterTable.h"

namespace {

// Volts from a raw byte: 51 raw units per volt, in hundredths.
// Computed in double precision, whose constants lie just above 0.01, 0.002,
// 0.05 and 0.2: whole volts and exact multiples then convert exactly.
double Volts(std::int32_t raw) {
  return live::CentivoltsOfRaw(raw) * 0.01;
}

// Engine speed from a period byte; 0 and 255 mean no speed.
long double Rpm(std::int32_t raw) {
  return live::RpmOfPeriod(raw);
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

std::optional<std::int32_t> ListEntry(int identifier, double position) {
  const auto list = params::OptionList(identifier);
  const auto index = Trunc(position);
  if (!index || *index < 0 || static_cast<std::size_t>(*index) >= list.size()) return std::nullopt;
  return list[static_cast<std::size_t>(*index)];
}

std::int32_t WithBit(std::int32_t byte, int bit, double value) {
  return value == 0 ? (byte & ~(1 << bit)) : (byte | (1 << bit));
}

int OptionBit(int identifier) {
  switch (identifier) {
    case 64:
      return 4;
    case 65:
      return 3;
    case 67:
      return 0;
    case 68:
      return 2;
    default:  // 69
      return 1;
  }
}

}  // namespace

long double ConfCar::GetValue(int identifier) {
  const int slot = params::StorageSlot(identifier);
  if (slot < 0 || params::ElementCount(identifier) > 1) return kMissingValue;
  const auto s = static_cast<std::size_t>(slot);
  if ((identifier == 40 || identifier == 53) && link_ != nullptr) {
    // Computed by the ECU itself: always read afresh.
    if (link_->ReadParameter(params::Code(identifier), &image_[s])) ecuImage_[s] = image_[s];
  }
  return ValueOfRaw(identifier, image_[s]);
}

long double ConfCar::ValueOfRaw(int identifier, std::int32_t r) const {
  if (params::StorageSlot(identifier) < 0 || params::ElementCount(identifier) > 1)
    return kMissingValue;
  switch (identifier) {
    case 2:
    case 3:
    case 4:
    case 59:
      return params::PositionInList(identifier, r);
    case 63:
      return params::PositionInList(identifier, r & 15);
    case 5:
    case 6:
    case 57:
      return r * 20;
    case 7:
      return (r * 20) / 1000;
    case 9:
    case 10:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
      return 21 - (r / 5);
    case 23:
    case 24:
    case 28:
    case 30:
      return Volts(r);
    case 38:
      return InvertedTps() ? Volts(255 - r) : Volts(r);
    case 41:
    case 48:
    case 56:
    case 62:
      return Rpm(r);
    case 51:
      return r * 5;
    case 54:
      return r * 20 * 0.001;
    case 58:
    case 74:
      return TemperatureOfRaw(r);
    case 64:
    case 65:
    case 67:
    case 68:
    case 69:
      return (r >> OptionBit(identifier)) & 1;
    case 66:
      return InvertedLevel() ? 255 - r : r;
    case 70:
      return (r & 7) - 2;
    case 71:
      return (r & 248) * 20;
    case 73:
      return (r >> 2) & 1;
    default:  // option byte, counts, steps, flags: the raw value itself
      return r;
  }
}

bool ConfCar::SendCustomerCode(std::int32_t code) {
  const bool accepted = link_ != nullptr && link_->WriteParameter(params::Code(72), code);
  Report(72, -1, 0, 0, accepted);
  return accepted;
}

int ConfCar::SetValue(int identifier, double value) {
  if (identifier < 0) return -1;
  // NaN or an infinity is no value at all: nothing is sent, whatever the rule
  // (the temperature rules would clamp it, the bit rules would read it as "on").
  if (!std::isfinite(value)) return 0;
  const double x = value;
  if (identifier == 72) {
    // The customer code is a command the ECU never reports back; the window
    // that sends it says nothing either way.
    const auto code = Trunc(x);
    if (!code) return 0;
    SendCustomerCode(*code);
    return 1;
  }
  const int slot = params::StorageSlot(identifier);
  if (slot < 0 || params::ElementCount(identifier) > 1) return 0;
  const std::int32_t r = image_[static_cast<std::size_t>(slot)];

  std::optional<std::int32_t> raw;
  switch (identifier) {
    case 2:
    case 3:
    case 4:
    case 59:
      raw = ListEntry(identifier, x);
      break;
    case 63:
      if (const auto entry = ListEntry(identifier, x)) raw = (*entry & 15) | (r & 240);
      break;
    case 5:
    case 6:
    case 57:
      raw = Trunc(x * 0.05);
      break;
    case 7:
    case 54:
      raw = Trunc(x * 1000 * 0.05);
      break;
    case 8:
    case 17:
    case 18:
    case 19:
    case 22:
    case 31:
    case 32:
    case 33:
    case 34:
    case 35:
    case 36:
    case 39:
    case 40:
    case 42:
    case 43:
    case 44:
    case 45:
    case 46:
    case 52:
    case 53:
    case 55:
      raw = Trunc(x);
      break;
    case 9:
    case 10:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
      raw = Trunc((21 - x) * 5);
      break;
    case 23:
    case 24:
      raw = FromVolts(x);
      break;
    case 28:
    case 30:
      if (const auto hundredths = Trunc(x * 100))
        raw = Trunc(static_cast<double>(*hundredths) * 255 * 0.002);
      break;
    case 38:
      raw = FromVolts(InvertedTps() ? 5 - x : x);
      break;
    case 41:
    case 48:
    case 56:
    case 62:
      if (!(x >= 500)) {
        raw = 255;  // below 500 rpm the function is off
      } else if (const auto rpm = Trunc(x)) {
        raw = 120000 / *rpm;
      }
      break;
    case 51:
      raw = Trunc(x * 0.2);
      break;
    case 58:
    case 74:
      raw = RawOfTemperature(static_cast<float>(value));
      break;
    case 64:
    case 65:
    case 67:
    case 68:
    case 69:
      raw = WithBit(r, OptionBit(identifier), x);
      break;
    case 66:
      raw = Trunc(InvertedLevel() ? 255 - x : x);
      break;
    case 70:
      if (const auto band = Trunc(x + 2)) raw = (*band & 7) | (r & 248);
      break;
    case 71:
      if (const auto ms = Trunc(x)) raw = ((*ms / 20) & 248) | (r & 7);
      break;
    case 73:
      raw = WithBit(r, 2, x);
      break;
    default:  // the option byte and identifiers without a write rule
      return 0;
  }
  // Every slot holds one byte: a value that does not fit is never sent.
  if (!raw || *raw < 0 || *raw > 255) return 0;
  return Write(identifier, slot, *raw) ? 1 : 0;
}

long double ConfCar::GetElement(int identifier, int index) const {
  const int count = params::ElementCount(identifier);
  if (count < 2 || index < 0 || index >= count) return kMissingValue;
  return ElementValueOfRaw(identifier, index,
                           image_[static_cast<std::size_t>(params::OwnSlot(identifier) + index)]);
}

long double ConfCar::ElementValueOfRaw(int identifier, int index, std::int32_t r) const {
  const int count = params::ElementCount(identifier);
  if (count < 2 || index < 0 || index >= count) return kMissingValue;
  switch (identifier) {
    case 25:
      return InvertedTps() ? Volts(255 - r) : Volts(r);
    case 27:
      return Volts(r);
    default:  // 60, 61: raw table values
      return r;
  }
}

double ConfCar::SetElement(int identifier, int index, double value) {
  const int count = params::ElementCount(identifier);
  if (count < 2 || index < 0 || index >= count) return 0.0;
  const double x = value;
  std::optional<std::int32_t> raw;
  switch (identifier) {
    case 25:
      if (const auto hundredths = Trunc((InvertedTps() ? 5 - x : x) * 100))
        raw = Trunc(static_cast<long double>(static_cast<std::int64_t>(*hundredths) * 255 / 500));
      break;
    case 27:
      if (const auto hundredths = Trunc(x * 100))
        raw = Trunc(static_cast<double>(*hundredths) * 255 * 0.002);
      break;
    default:  // 60, 61
      raw = Trunc(x);
      break;
  }
  if (!raw || *raw < 0 || *raw > 255 || link_ == nullptr) return 0.0;
  const int slot = params::OwnSlot(identifier) + index;
  if (!Send(identifier, index, params::Code(identifier), slot, *raw)) return 0.0;
  image_[static_cast<std::size_t>(slot)] = *raw;
  return 1.0;
}
