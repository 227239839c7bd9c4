#include "Protocol.h"

#include <algorithm>

namespace wire {

std::uint16_t Crc16(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0xFFFF;
  for (std::uint8_t byte : bytes) {
    crc = static_cast<std::uint16_t>(crc ^ (byte << 8));
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021)
                           : static_cast<std::uint16_t>(crc << 1);
    }
  }
  return crc;
}

std::vector<std::uint8_t> Encode(const Frame& frame) {
  const std::size_t length = std::min(frame.data.size(), kMaxData);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kOverhead + length);
  bytes.push_back(frame.start);
  bytes.push_back(frame.sequence);
  bytes.push_back(frame.command);
  bytes.push_back(static_cast<std::uint8_t>(length));
  bytes.insert(bytes.end(), frame.data.begin(),
               frame.data.begin() + static_cast<std::ptrdiff_t>(length));
  const std::uint16_t crc = Crc16(std::span(bytes).subspan(1));
  bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
  bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  return bytes;
}

void FrameParser::Feed(std::span<const std::uint8_t> bytes) {
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

std::optional<Frame> FrameParser::Next() {
  std::size_t pos = 0;
  std::optional<Frame> found;
  while (pos < buffer_.size()) {
    if (buffer_[pos] != start_) {
      ++pos;
      ++skipped_;
      continue;
    }
    const std::size_t available = buffer_.size() - pos;
    if (available < kHeaderSize) break;
    const std::size_t length = buffer_[pos + 3];
    if (length > kMaxData) {
      ++pos;
      ++skipped_;
      continue;
    }
    if (available < kOverhead + length) break;
    const auto body = std::span(buffer_).subspan(pos + 1, kHeaderSize - 1 + length);
    const std::size_t crcAt = pos + kHeaderSize + length;
    const std::uint16_t sent =
        static_cast<std::uint16_t>((buffer_[crcAt] << 8) | buffer_[crcAt + 1]);
    if (Crc16(body) != sent) {
      ++pos;
      ++skipped_;
      continue;
    }
    Frame frame;
    frame.start = start_;
    frame.sequence = buffer_[pos + 1];
    frame.command = buffer_[pos + 2];
    frame.data.assign(buffer_.begin() + static_cast<std::ptrdiff_t>(pos + kHeaderSize),
                      buffer_.begin() + static_cast<std::ptrdiff_t>(crcAt));
    pos = crcAt + kCrcSize;
    found = std::move(frame);
    break;
  }
  buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(pos));
  return found;
}

}  // namespace wire
