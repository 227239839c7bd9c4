// One request, one reply: frames a request with a fresh sequence number,
// sends it, waits a bounded time for the matching reply, and retries a bounded
// number of times (flushing the input first) when no valid reply came. A
// refusal from the ECU is an answer, not a failure, and is never retried.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "ByteStream.h"
#include "Protocol.h"

namespace serlink {

// Kept apart inside the library; the link's operations map them to booleans.
enum class Status {
  Ok,        // the ECU did it; the reply's result is there
  Refused,   // the ECU answered that it will not (see LastRefusal)
  Timeout,   // no reply within the time, after every attempt
  BadFrame,  // bytes came, but never a valid matching reply
  IoError,   // the line is gone
};

const char* StatusName(Status status);

struct Timing {
  int baud = 19200;
  int timeoutMs = 50;  // allowance for the ECU, on top of the bytes' wire time
  int retries = 4;     // attempts after the first
};

class Channel {
 public:
  Channel(ByteStream& stream, Timing timing, std::uint8_t firstSequence);

  // Sends command with data; on Ok, result holds what the ECU added after the
  // echo of data, exactly resultSize bytes. attempts < 1 means 1 + retries.
  Status Transact(wire::Command command, const std::vector<std::uint8_t>& data,
                  std::size_t resultSize, std::vector<std::uint8_t>* result, int attempts = 0);

  void SetRetries(int retries) { timing_.retries = retries; }
  const Timing& GetTiming() const { return timing_; }
  wire::Refusal LastRefusal() const { return lastRefusal_; }
  // Every byte sent and received is written here as hex when set.
  void SetByteLog(std::FILE* log) { log_ = log; }

 private:
  Status AwaitReply(const wire::Frame& request, std::size_t resultSize,
                    std::vector<std::uint8_t>* result, int timeoutMs);
  void LogBytes(const char* direction, const std::uint8_t* bytes, std::size_t count);

  ByteStream& stream_;
  Timing timing_;
  std::uint8_t sequence_;
  wire::FrameParser parser_{wire::kReplyStart};
  wire::Refusal lastRefusal_ = wire::Refusal::BadRequest;
  std::FILE* log_ = nullptr;
};

}  // namespace serlink
