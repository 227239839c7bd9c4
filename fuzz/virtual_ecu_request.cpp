// Fuzz target: the virtual ECU's request handling fed arbitrary bytes. It
// must answer every request frame with a reply to that request (done, with
// the echo, or refused) or stay silent, never touch memory outside its own
// (the sanitizers watch), change nothing on a refusal, hold exactly what an
// accepted write gave, and answer a repeated request again without doing it
// twice.
//
// Input: byte 0 bit 0 chooses how the rest is read: 0 as the bytes on the
// line (through the request parser, as the ECU's server reads them), 1 as
// frames without a CRC ([sequence][command][length][data...] repeated), so
// the fuzzer reaches every command quickly.
#include <vector>

#include "FuzzSupport.h"
#include "VirtualEcu.h"

namespace {

void Exchange(vecu::VirtualEcu& ecu, const wire::Frame& request) {
  const vecu::EcuMemory before = ecu.Memory();
  const wire::Frame reply = ecu.Handle(request, 0);
  FUZZ_CHECK(reply.start == wire::kReplyStart, "a reply");
  FUZZ_CHECK(reply.sequence == request.sequence, "to this request");
  FUZZ_CHECK(reply.data.size() <= wire::kMaxData, "that fits a frame");
  const vecu::EcuMemory after = ecu.Memory();
  if (reply.command == wire::kRefusedReply) {
    FUZZ_CHECK(reply.data.size() == 2 && reply.data[0] == request.command, "a refusal says what");
    FUZZ_CHECK(after == before, "a refusal changes nothing");
  } else {
    FUZZ_CHECK(reply.command == (request.command | wire::kAckBit), "the request's own answer");
    FUZZ_CHECK(reply.data.size() >= request.data.size() &&
                   std::equal(request.data.begin(), request.data.end(), reply.data.begin()),
               "an answer echoes the request");
    const auto& d = request.data;
    if (request.command == static_cast<std::uint8_t>(wire::Command::Write)) {
      if (d[0] != vecu::kCustomerCodeAddress)
        FUZZ_CHECK(after.Get(d[0], d[2]) == ((d[3] << 8) | d[4]), "a write taken is held");
    } else if (request.command == static_cast<std::uint8_t>(wire::Command::Read)) {
      for (int i = 0; i < d[3]; ++i)
        FUZZ_CHECK(reply.data[4 + static_cast<std::size_t>(i)] == after.Get(d[0], d[2] + i),
                   "a read gives what is held");
    } else if (request.command != static_cast<std::uint8_t>(wire::Command::Erase)) {
      FUZZ_CHECK(after == before || request.command == static_cast<std::uint8_t>(wire::Command::Write),
                 "only writes and the erase change memory");
    }
  }
  // The same request again (a retry after a lost reply): the same answer, nothing done twice.
  const wire::Frame again = ecu.Handle(request, 0);
  FUZZ_CHECK(again.command == reply.command && again.data == reply.data, "a retry is answered alike");
  FUZZ_CHECK(ecu.Memory() == after, "and not carried out twice");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  vecu::EcuOptions options;
  options.engineRunning = false;  // memory changes only by requests
  options.refusedAddresses = {56};
  vecu::VirtualEcu ecu(options);
  const std::uint8_t* rest = data + 1;
  std::size_t left = size - 1;
  if ((data[0] & 1) == 0) {
    wire::FrameParser parser(wire::kRequestStart);
    parser.Feed(std::span<const std::uint8_t>(rest, left));
    while (auto request = parser.Next()) Exchange(ecu, *request);
    return 0;
  }
  while (left >= 3) {
    wire::Frame request;
    request.sequence = rest[0];
    request.command = rest[1];
    const std::size_t length = std::min<std::size_t>(rest[2] % (wire::kMaxData + 1), left - 3);
    request.data.assign(rest + 3, rest + 3 + length);
    Exchange(ecu, request);
    rest += 3 + length;
    left -= 3 + length;
  }
  return 0;
}
