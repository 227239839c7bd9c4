// A serial port through termios: 8N1, raw, no flow control, one fixed line
// speed, buffers flushed at open, low latency asked of USB adapters. The
// settings a pseudo-terminal refuses (low latency, modem lines, exclusive use)
// are tolerated.
#pragma once

#include <string>

#include "ByteStream.h"
#include "LastFailure.h"

namespace serlink {

class SerialPort : public ByteStream {
 public:
  SerialPort() = default;
  ~SerialPort() override { Close(); }
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  // false with why in failure.
  bool Open(const std::string& path, int baud, Failure* failure);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  bool Write(std::span<const std::uint8_t> bytes) override;
  int Read(std::uint8_t* buffer, std::size_t size, int timeoutMs) override;
  void FlushInput() override;

  // What opens the device: open(2), unless a test puts something in its
  // place (running as root, a test cannot meet a refused permission for real).
  // nullptr puts open(2) back.
  using Opener = int (*)(const char* path, int flags);
  static void SetOpenerForTests(Opener opener);

  // The termios speed constant for a line speed, or 0 when unsupported.
  static unsigned SpeedConstant(int baud);

 private:
  int fd_ = -1;
};

}  // namespace serlink
