// The byte stream the protocol runs over. The serial port is one; tests and
// the byte log wrap or replace it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace serlink {

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // true when every byte was handed to the line.
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // Waits up to timeoutMs for bytes: the count read, 0 on timeout, -1 when
  // the line is gone (cable pulled, device removed).
  virtual int Read(std::uint8_t* buffer, std::size_t size, int timeoutMs) = 0;
  // Throws away whatever has arrived and not been read.
  virtual void FlushInput() = 0;
};

}  // namespace serlink
