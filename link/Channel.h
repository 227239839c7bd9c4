// One request, one reply: frames a request with a fresh sequence number,
// sends it, waits for the matching reply, and sends the same request again
// when a wait brought nothing. How long to wait is learnt from the ECU's own
// replies (ReplyTimer), as TCP learns its round trip. A refusal from the ECU
// is an answer, not a failure, and is never retried.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstddef>
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
  Slow,      // only valid answers to earlier sends or requests came: the ECU is too slow
  IoError,   // the line is gone
};

const char* StatusName(Status status);

struct Timing {
  int baud = 19200;
  int timeoutMs = 50;  // the least allowance for the ECU, on top of the bytes' wire time
  int retries = 4;     // sends after the first
};

// The ECU's own reply time (the time a request and its reply take beyond
// their bytes' wire time), learnt from the replies as RFC 6298 learns a round
// trip: a smoothed time plus four times its smoothed deviation, never below
// the least allowance nor above kMaxAllowanceMs. After a request that had to
// be sent again and was answered late, the next request starts with that
// request's longer allowance until the next measurement. The Channel feeds it
// every answer it can time, late ones and repeated ones included.
class ReplyTimer {
 public:
  // No allowance for one wait goes above this, however slow the ECU looked.
  static constexpr int kMaxAllowanceMs = 1000;

  explicit ReplyTimer(int leastMs) : leastMs_(leastMs < 1 ? 1 : leastMs) {}

  // The allowance for a request's first wait, in ms.
  int AllowanceMs() const;
  // The allowance for the wait after the given number of sends (1 = the
  // first): doubled on every resend, up to four times the first.
  int AllowanceMs(int sends) const;
  // The ECU took this long beyond the wire time to answer.
  void Measured(double ecuMs);
  // A request that was sent again was answered late; its last wait had this
  // allowance.
  void BackedOff(int allowanceMs);

  double SmoothedMs() const { return smoothed_; }
  double DeviationMs() const { return deviation_; }

 private:
  int leastMs_;
  bool measured_ = false;
  double smoothed_ = 0;
  double deviation_ = 0;
  int backedOff_ = 0;  // 0, or the allowance carried over from a late answer
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
  const ReplyTimer& Timer() const { return timer_; }
  wire::Refusal LastRefusal() const { return lastRefusal_; }
  // Requests sent again so far (every send after a request's first).
  long Resends() const { return resends_; }
  // Every byte sent and received is written here as hex when set.
  void SetByteLog(std::FILE* log) { log_ = log; }

  // Longest an ECU still working through earlier requests may keep one
  // request waiting (see Transact).
  static constexpr int kBusyLimitMs = 6000;
  // How late a USB serial adapter may hand over bytes it has received (an
  // FTDI adapter's latency timer is 16 ms by default).
  static constexpr int kAdapterDelayMs = 20;

 private:
  using Clock = std::chrono::steady_clock;

  // What the whole request has heard so far.
  struct Waiting {
    bool heardBytes = false;
    bool heardOtherReply = false;  // a valid answer, to an earlier send or request
    Clock::time_point lastFrame;   // the last valid ECU frame, or the first send
    Clock::duration longestGap{};  // longest time between those
    std::size_t replyBytes = 0;    // size of the answer, once it came
  };
  // A recent request, kept so that every answer to it can be timed, however
  // late it comes. The ECU answers requests in the order they reach it, every
  // copy of a request that was sent more than once included: so the k-th
  // answer to a request answers its k-th send (or, when an answer was lost, a
  // later send, which makes the time longer, never shorter).
  struct Sent {
    std::uint8_t sequence = 0;
    bool used = false;
    std::vector<Clock::time_point> sends;
    double wireMs = 0;  // wire time of the request and its reply
    std::size_t answers = 0;
    Clock::time_point firstAnswer;
    bool firstTimed = false;  // the first answer has been fed to the timer
  };
  // What one wait heard besides the reply it waited for.
  struct Heard {
    bool bytes = false;          // anything at all
    bool otherReply = false;     // a valid reply frame that is not the answer
    Clock::time_point lastByte;  // when the last bytes came
  };

  Status AwaitReply(const wire::Frame& request, std::size_t resultSize,
                    std::vector<std::uint8_t>* result, Clock::time_point deadline, Waiting* waiting,
                    Heard* heard);
  Status Match(const wire::Frame& request, std::size_t resultSize, const wire::Frame& reply,
               std::vector<std::uint8_t>* result);
  Sent& Remember(std::uint8_t sequence, double wireMs);
  // Times an answer with this sequence number that came at the given moment
  // (current: it answers the request under way).
  void LearnFrom(std::uint8_t sequence, Clock::time_point at, bool current);
  int WireMs(std::size_t bytes) const;
  void LogBytes(const char* direction, const std::uint8_t* bytes, std::size_t count);

  ByteStream& stream_;
  Timing timing_;
  ReplyTimer timer_;
  std::uint8_t sequence_;
  wire::FrameParser parser_{wire::kReplyStart};
  wire::Refusal lastRefusal_ = wire::Refusal::BadRequest;
  long resends_ = 0;
  // The last requests, to time late and repeated answers.
  static constexpr std::size_t kRemembered = 8;
  Sent sent_[kRemembered];
  std::size_t nextSent_ = 0;
  std::FILE* log_ = nullptr;
};

}  // namespace serlink
