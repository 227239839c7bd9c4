// The wire protocol between the link library and the ECU: frame layout,
// command codes, the CRC and an incremental frame parser that resynchronises
// after garbage. Both ends of the line use this one definition.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace wire {

// A frame: start byte, sequence number, command, data length, data, then the
// CRC-16 of sequence..data, high byte first.
constexpr std::uint8_t kRequestStart = 0xA5;
constexpr std::uint8_t kReplyStart = 0x5A;
constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kCrcSize = 2;
constexpr std::size_t kOverhead = kHeaderSize + kCrcSize;
constexpr std::size_t kMaxData = 32;

enum class Command : std::uint8_t {
  Identify = 0x01,
  Read = 0x02,
  Write = 0x03,
  Live = 0x04,
  Erase = 0x05,
  Indicator = 0x06,
  Ping = 0x07,
};

// A reply carries the request's command with this bit set when the ECU did
// what was asked, or kRefusedReply with [command, reason] when it would not.
constexpr std::uint8_t kAckBit = 0x80;
constexpr std::uint8_t kRefusedReply = 0x7F;

enum class Refusal : std::uint8_t {
  BadValue = 1,        // value outside what the address holds
  UnknownAddress = 2,  // no parameter at this address
  OutOfRange = 3,      // element index or count beyond the array
  WriteOnly = 4,       // the address cannot be read back
  BadRequest = 5,      // unknown command or malformed data
  Locked = 6,          // the ECU does not accept writes to this address now
};

// The two guard bytes an erase request must carry ("ER").
constexpr std::uint8_t kEraseGuard0 = 0x45;
constexpr std::uint8_t kEraseGuard1 = 0x52;

// Flag bits of read and write requests.
constexpr std::uint8_t kFlagPassThrough = 0x01;  // bit 9 of the parameter code

// Size of a live block as carried on the wire.
constexpr std::size_t kLiveSize = 20;

struct Frame {
  std::uint8_t start = kRequestStart;
  std::uint8_t sequence = 0;
  std::uint8_t command = 0;
  std::vector<std::uint8_t> data;
};

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial value 0xFFFF, no reflection.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes);

// The frame's bytes on the wire. Data longer than kMaxData is a caller bug and
// is cut to kMaxData.
std::vector<std::uint8_t> Encode(const Frame& frame);

// Collects bytes and hands out every complete frame with a valid CRC that
// starts with the expected start byte. Anything else is skipped one byte at a
// time, so a frame following garbage or a broken frame is still found.
class FrameParser {
 public:
  explicit FrameParser(std::uint8_t start) : start_(start) {}

  void Feed(std::span<const std::uint8_t> bytes);
  std::optional<Frame> Next();
  void Clear() { buffer_.clear(); }
  // Bytes kept for a frame begun but not complete yet (0 after Next() found
  // nothing more means nothing is in progress).
  std::size_t Pending() const { return buffer_.size(); }
  // Bytes skipped so far because they did not belong to a valid frame.
  std::size_t Skipped() const { return skipped_; }

 private:
  std::uint8_t start_;
  std::vector<std::uint8_t> buffer_;
  std::size_t skipped_ = 0;
};

}  // namespace wire
