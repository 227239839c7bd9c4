#include "Channel.h"

#include <algorithm>
#include <chrono>

namespace serlink {

using Clock = std::chrono::steady_clock;

const char* StatusName(Status status) {
  switch (status) {
    case Status::Ok:
      return "ok";
    case Status::Refused:
      return "refused";
    case Status::Timeout:
      return "timeout";
    case Status::BadFrame:
      return "bad frame";
    case Status::IoError:
      return "i/o error";
  }
  return "?";
}

Channel::Channel(ByteStream& stream, Timing timing, std::uint8_t firstSequence)
    : stream_(stream), timing_(timing), sequence_(firstSequence) {}

Status Channel::Transact(wire::Command command, const std::vector<std::uint8_t>& data,
                         std::size_t resultSize, std::vector<std::uint8_t>* result, int attempts) {
  const wire::Frame request{wire::kRequestStart, sequence_++, static_cast<std::uint8_t>(command),
                            data};
  const std::vector<std::uint8_t> bytes = wire::Encode(request);
  // The reply may take the request's and its own wire time, plus the ECU's allowance.
  const std::size_t exchanged = bytes.size() + wire::kOverhead + data.size() + resultSize;
  const int timeoutMs =
      timing_.timeoutMs + static_cast<int>(exchanged * 10 * 1000 / timing_.baud) + 1;
  if (attempts < 1) attempts = 1 + timing_.retries;
  Status status = Status::Timeout;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (attempt > 0) {
      stream_.FlushInput();
      parser_.Clear();
    }
    LogBytes(">", bytes.data(), bytes.size());
    if (!stream_.Write(bytes)) {
      status = Status::IoError;
      break;
    }
    status = AwaitReply(request, resultSize, result, timeoutMs);
    if (status == Status::Ok || status == Status::Refused || status == Status::IoError) break;
  }
  return status;
}

Status Channel::AwaitReply(const wire::Frame& request, std::size_t resultSize,
                           std::vector<std::uint8_t>* result, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  bool heardSomething = false;
  std::uint8_t buffer[128];
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return heardSomething ? Status::BadFrame : Status::Timeout;
    const int n = stream_.Read(buffer, sizeof buffer, static_cast<int>(left));
    if (n < 0) return Status::IoError;
    if (n == 0) continue;
    heardSomething = true;
    LogBytes("<", buffer, static_cast<std::size_t>(n));
    parser_.Feed(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)));
    while (auto reply = parser_.Next()) {
      if (reply->sequence != request.sequence) continue;  // a late answer to an older request
      if (reply->command == wire::kRefusedReply && reply->data.size() == 2 &&
          reply->data[0] == request.command) {
        lastRefusal_ = static_cast<wire::Refusal>(reply->data[1]);
        return Status::Refused;
      }
      const bool echoes = reply->data.size() == request.data.size() + resultSize &&
                          std::equal(request.data.begin(), request.data.end(), reply->data.begin());
      if (reply->command == (request.command | wire::kAckBit) && echoes) {
        result->assign(reply->data.begin() + static_cast<std::ptrdiff_t>(request.data.size()),
                       reply->data.end());
        return Status::Ok;
      }
    }
  }
}

void Channel::LogBytes(const char* direction, const std::uint8_t* bytes, std::size_t count) {
  if (log_ == nullptr) return;
  std::fprintf(log_, "%s", direction);
  for (std::size_t i = 0; i < count; ++i) std::fprintf(log_, " %02X", bytes[i]);
  std::fprintf(log_, "\n");
  std::fflush(log_);
}

}  // namespace serlink
