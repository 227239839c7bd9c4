#include "MlgFormat.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>

namespace logging {
namespace {

template <typename T>
T Clamped(double raw) {
  if (std::isnan(raw)) return 0;
  const double rounded = std::nearbyint(raw);
  // The upper end is compared as 2^n, which a double holds exactly.
  const double top = std::ldexp(1.0, std::numeric_limits<T>::digits);
  if (rounded >= top) return std::numeric_limits<T>::max();
  if (rounded <= static_cast<double>(std::numeric_limits<T>::min()))
    return std::numeric_limits<T>::min();
  return static_cast<T>(rounded);
}

void PutBytes(std::vector<std::uint8_t>& out, std::uint64_t value, int count) {
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t GetBytes(const std::uint8_t* bytes, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

std::size_t SizeOf(ValueType type) {
  switch (type) {
    case ValueType::U08:
    case ValueType::S08:
      return 1;
    case ValueType::U16:
    case ValueType::S16:
      return 2;
    case ValueType::U32:
    case ValueType::S32:
    case ValueType::F32:
      return 4;
    case ValueType::S64:
      return 8;
  }
  return 0;
}

bool IsKnownType(std::uint8_t type) {
  return type <= static_cast<std::uint8_t>(ValueType::F32);
}

double RawOf(const Channel& channel, double value) {
  const double scale = channel.scale == 0 ? 1.0 : static_cast<double>(channel.scale);
  const double raw = value / scale - static_cast<double>(channel.transform);
  if (channel.type == ValueType::F32) return static_cast<double>(static_cast<float>(raw));
  switch (channel.type) {
    case ValueType::U08: return Clamped<std::uint8_t>(raw);
    case ValueType::S08: return Clamped<std::int8_t>(raw);
    case ValueType::U16: return Clamped<std::uint16_t>(raw);
    case ValueType::S16: return Clamped<std::int16_t>(raw);
    case ValueType::U32: return Clamped<std::uint32_t>(raw);
    case ValueType::S32: return Clamped<std::int32_t>(raw);
    case ValueType::S64: return static_cast<double>(Clamped<std::int64_t>(raw));
    case ValueType::F32: break;
  }
  return 0;
}

double ValueOf(const Channel& channel, double raw) {
  return (raw + static_cast<double>(channel.transform)) * static_cast<double>(channel.scale);
}

void PutRaw(std::vector<std::uint8_t>& out, ValueType type, double raw) {
  switch (type) {
    case ValueType::U08: out.push_back(Clamped<std::uint8_t>(raw)); return;
    case ValueType::S08:
      out.push_back(static_cast<std::uint8_t>(Clamped<std::int8_t>(raw)));
      return;
    case ValueType::U16: PutBytes(out, Clamped<std::uint16_t>(raw), 2); return;
    case ValueType::S16:
      PutBytes(out, static_cast<std::uint16_t>(Clamped<std::int16_t>(raw)), 2);
      return;
    case ValueType::U32: PutBytes(out, Clamped<std::uint32_t>(raw), 4); return;
    case ValueType::S32:
      PutBytes(out, static_cast<std::uint32_t>(Clamped<std::int32_t>(raw)), 4);
      return;
    case ValueType::S64:
      PutBytes(out, static_cast<std::uint64_t>(Clamped<std::int64_t>(raw)), 8);
      return;
    case ValueType::F32:
      PutBytes(out, std::bit_cast<std::uint32_t>(static_cast<float>(raw)), 4);
      return;
  }
}

double GetRaw(const std::uint8_t* bytes, ValueType type) {
  switch (type) {
    case ValueType::U08: return bytes[0];
    case ValueType::S08: return static_cast<std::int8_t>(bytes[0]);
    case ValueType::U16: return GetU16(bytes);
    case ValueType::S16: return static_cast<std::int16_t>(GetU16(bytes));
    case ValueType::U32: return GetU32(bytes);
    case ValueType::S32: return static_cast<std::int32_t>(GetU32(bytes));
    case ValueType::S64: return static_cast<double>(static_cast<std::int64_t>(GetBytes(bytes, 8)));
    case ValueType::F32: return static_cast<double>(std::bit_cast<float>(GetU32(bytes)));
  }
  return 0;
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) { PutBytes(out, value, 2); }
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) { PutBytes(out, value, 4); }
std::uint16_t GetU16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(GetBytes(bytes, 2));
}
std::uint32_t GetU32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(GetBytes(bytes, 4));
}

void PutText(std::vector<std::uint8_t>& out, std::string_view text, std::size_t width) {
  std::size_t length = std::min(text.size(), width);
  // Never split a UTF-8 character: back off over continuation bytes.
  if (length < text.size())
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
  out.insert(out.end(), width - length, 0);
}

std::string GetText(const std::uint8_t* bytes, std::size_t width) {
  std::size_t length = 0;
  while (length < width && bytes[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(bytes), length);
}

std::size_t RecordLength(std::span<const Channel> channels) {
  std::size_t length = 0;
  for (const Channel& c : channels) length += SizeOf(c.type);
  return length;
}

std::vector<std::uint8_t> EncodePreamble(std::uint32_t startTime,
                                         std::span<const Channel> channels,
                                         std::string_view info) {
  const std::size_t infoOffset = kHeaderSize + kDescriptorSize * channels.size();
  // The info text ends at its first NUL; the offsets are 16 and 32 bits wide.
  info = info.substr(0, std::min(info.find('\0'), std::size_t{8000}));
  const std::size_t dataOffset = infoOffset + info.size() + 1;

  std::vector<std::uint8_t> out;
  out.reserve(dataOffset);
  PutText(out, "MLVLG", 6);
  PutU16(out, kFormatVersion);
  PutU32(out, startTime);
  PutU16(out, static_cast<std::uint16_t>(infoOffset));
  PutU32(out, static_cast<std::uint32_t>(dataOffset));
  PutU16(out, static_cast<std::uint16_t>(RecordLength(channels)));
  PutU16(out, static_cast<std::uint16_t>(channels.size()));
  for (const Channel& c : channels) {
    out.push_back(static_cast<std::uint8_t>(c.type));
    PutText(out, c.name, kNameSize);
    PutText(out, c.units, kUnitsSize);
    out.push_back(static_cast<std::uint8_t>(c.style));
    PutU32(out, std::bit_cast<std::uint32_t>(c.scale));
    PutU32(out, std::bit_cast<std::uint32_t>(c.transform));
    out.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(c.digits)));
  }
  out.insert(out.end(), info.begin(), info.end());
  out.push_back(0);
  return out;
}

}  // namespace logging
