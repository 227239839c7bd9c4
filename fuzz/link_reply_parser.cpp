// Fuzz target: the link's side of the protocol fed arbitrary bytes as the
// ECU's replies: the reply parser's resynchronisation after garbage, the CRC,
// the sequence numbers and the echo of the request. A reply the link takes as
// done, or as refused, must be a whole valid frame that is really in the
// bytes, for the request just sent, with exactly the expected result size.
//
// Input: byte 0 the first sequence number, byte 1 the number of requests
// (1..4) and one byte per request choosing it; the rest is the line.
#include <algorithm>
#include <span>
#include <vector>

#include "Channel.h"
#include "FuzzSupport.h"

namespace {

// The line: hands out the input's bytes in chunks of varying size, and is
// gone (as a pulled cable) once they are all read, so no run ever waits.
class InputLine : public serlink::ByteStream {
 public:
  explicit InputLine(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Write(std::span<const std::uint8_t> bytes) override {
    FUZZ_CHECK(bytes.size() >= wire::kOverhead, "a request is a whole frame");
    written.insert(written.end(), bytes.begin(), bytes.end());
    return true;
  }
  int Read(std::uint8_t* buffer, std::size_t size, int) override {
    if (at_ >= bytes_.size()) return -1;
    const std::size_t chunk = std::min({size, bytes_.size() - at_, 1 + (at_ * 7) % 40});
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), chunk, buffer);
    at_ += chunk;
    return static_cast<int>(chunk);
  }
  void FlushInput() override {}
  std::size_t Consumed() const { return at_; }
  std::vector<std::uint8_t> written;

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

struct Request {
  wire::Command command;
  std::vector<std::uint8_t> data;
  std::size_t resultSize;
};

Request Choose(std::uint8_t choice) {
  const std::uint8_t low = choice >> 3;
  switch (choice & 7) {
    case 0:
      return {wire::Command::Identify, {}, 4};
    case 1: {
      const std::uint8_t count = static_cast<std::uint8_t>(1 + low % 6);
      return {wire::Command::Read, {static_cast<std::uint8_t>(60 + low % 3), 0, 0, count}, count};
    }
    case 2:
      return {wire::Command::Write, {56, 0, 0, 0, low}, 0};
    case 3:
      return {wire::Command::Live, {static_cast<std::uint8_t>(low & 1)}, wire::kLiveSize};
    case 4:
      return {wire::Command::Erase, {wire::kEraseGuard0, wire::kEraseGuard1}, 0};
    case 5:
      return {wire::Command::Indicator, {low, 0xFF}, 0};
    default:
      return {wire::Command::Ping, {}, 0};
  }
}

bool Contains(std::span<const std::uint8_t> haystack, const std::vector<std::uint8_t>& needle) {
  return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) !=
         haystack.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t first = data[0];
  const std::size_t count = 1 + data[1] % 4;
  if (size < 2 + count) return 0;
  const std::span<const std::uint8_t> line(data + 2 + count, size - 2 - count);

  // The parser alone: every frame it hands out is valid and really in the bytes.
  wire::FrameParser parser(wire::kReplyStart);
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t chunk = std::min<std::size_t>(line.size() - at, 1 + at % 13);
    parser.Feed(line.subspan(at, chunk));
    at += chunk;
    while (auto frame = parser.Next()) {
      FUZZ_CHECK(frame->start == wire::kReplyStart, "only replies");
      FUZZ_CHECK(frame->data.size() <= wire::kMaxData, "no frame longer than the protocol allows");
      FUZZ_CHECK(Contains(line, wire::Encode(*frame)), "a frame is exactly bytes that came");
    }
  }
  FUZZ_CHECK(parser.Skipped() <= line.size(), "no byte skipped twice");

  // The channel: requests one after another over the same line.
  InputLine stream(line);
  serlink::Channel channel(stream, {115200, 1, 2}, first);
  for (std::size_t i = 0; i < count; ++i) {
    const Request request = Choose(data[2 + i]);
    const auto sequence = static_cast<std::uint8_t>(first + i);
    std::vector<std::uint8_t> result;
    const serlink::Status status =
        channel.Transact(request.command, request.data, request.resultSize, &result);
    const std::span<const std::uint8_t> heard = line.first(stream.Consumed());
    const auto command = static_cast<std::uint8_t>(request.command);
    if (status == serlink::Status::Ok) {
      FUZZ_CHECK(result.size() == request.resultSize, "a reply taken has the expected size");
      std::vector<std::uint8_t> echoed = request.data;
      echoed.insert(echoed.end(), result.begin(), result.end());
      const wire::Frame reply{wire::kReplyStart, sequence,
                              static_cast<std::uint8_t>(command | wire::kAckBit), echoed};
      FUZZ_CHECK(Contains(heard, wire::Encode(reply)), "a reply taken is one that came");
    } else if (status == serlink::Status::Refused) {
      const wire::Frame refusal{wire::kReplyStart, sequence, wire::kRefusedReply,
                                {command, static_cast<std::uint8_t>(channel.LastRefusal())}};
      FUZZ_CHECK(Contains(heard, wire::Encode(refusal)), "a refusal taken is one that came");
    } else {
      FUZZ_CHECK(status == serlink::Status::IoError || status == serlink::Status::Timeout ||
                     status == serlink::Status::BadFrame || status == serlink::Status::Slow,
                 "a known outcome");
    }
  }
  return 0;
}
