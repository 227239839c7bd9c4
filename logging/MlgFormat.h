// The binary log format the tuning world's log viewers read ("MLVLG",
// version 1, files named *.mlg): the layout's sizes, the channel descriptor,
// and the big-endian byte packing of the header and the descriptors. The
// writer and the reader both build on these, so they cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace logging {

constexpr std::size_t kHeaderSize = 22;
constexpr std::size_t kDescriptorSize = 55;
constexpr std::size_t kBlockHeaderSize = 4;
constexpr std::size_t kMarkerTextSize = 50;
constexpr std::size_t kNameSize = 34;
constexpr std::size_t kUnitsSize = 10;
constexpr std::uint16_t kFormatVersion = 1;

enum class ValueType : std::uint8_t { U08 = 0, S08, U16, S16, U32, S32, S64, F32 };
enum class DisplayStyle : std::uint8_t {
  Float = 0,
  Hex,
  Bits,
  Date,
  OnOff,
  YesNo,
  HighLow,
  ActiveInactive
};
enum class BlockType : std::uint8_t { Record = 0, Marker = 1 };

// Bytes one value of the type takes in a record; 0 for a type the format
// does not know.
std::size_t SizeOf(ValueType type);
bool IsKnownType(std::uint8_t type);

// One logged channel. A viewer shows (raw + transform) * scale.
struct Channel {
  ValueType type = ValueType::U08;
  std::string name;   // at most 34 bytes
  std::string units;  // at most 10 bytes
  DisplayStyle style = DisplayStyle::Float;
  float scale = 1;
  float transform = 0;
  int digits = 0;

  bool operator==(const Channel&) const = default;
};

// The raw value kept in a record for a shown value: rounded to the nearest
// step, clamped to what the type can hold.
double RawOf(const Channel& channel, double value);
// The shown value of a raw one.
double ValueOf(const Channel& channel, double raw);

// Appends the raw value in the channel's type, big-endian.
void PutRaw(std::vector<std::uint8_t>& out, ValueType type, double raw);
// Reads one value of the type; bytes holds at least SizeOf(type).
double GetRaw(const std::uint8_t* bytes, ValueType type);

struct Header {
  std::uint32_t startTime = 0;  // Unix seconds
  std::uint16_t infoOffset = 0;
  std::uint32_t dataOffset = 0;
  std::uint16_t recordLength = 0;
  std::uint16_t channelCount = 0;
};

// Header, descriptors and info text: everything before the first block.
// Names, units and info are cut to what the format holds.
std::vector<std::uint8_t> EncodePreamble(std::uint32_t startTime,
                                         std::span<const Channel> channels,
                                         std::string_view info);
std::size_t RecordLength(std::span<const Channel> channels);

// Big-endian helpers.
void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value);
std::uint16_t GetU16(const std::uint8_t* bytes);
std::uint32_t GetU32(const std::uint8_t* bytes);

// A fixed-width, NUL-padded text field: text cut to width at a whole UTF-8
// character.
void PutText(std::vector<std::uint8_t>& out, std::string_view text, std::size_t width);
// The text of a NUL-padded field (up to its first NUL).
std::string GetText(const std::uint8_t* bytes, std::size_t width);

}  // namespace logging
