#include "Channel.h"

#include <algorithm>
#include <cmath>

namespace serlink {

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
    case Status::Slow:
      return "too slow";
    case Status::IoError:
      return "i/o error";
  }
  return "?";
}

int ReplyTimer::AllowanceMs() const {
  double allowance = leastMs_;
  if (measured_) allowance = smoothed_ + std::max<double>(leastMs_, 4 * deviation_);
  allowance = std::max(allowance, static_cast<double>(backedOff_));
  return std::clamp(static_cast<int>(std::ceil(allowance)), leastMs_, kMaxAllowanceMs);
}

int ReplyTimer::AllowanceMs(int sends) const {
  const int doublings = std::clamp(sends - 1, 0, 2);
  return std::min(AllowanceMs() << doublings, kMaxAllowanceMs);
}

void ReplyTimer::Measured(double ecuMs) {
  ecuMs = std::max(0.0, ecuMs);
  if (!measured_) {
    smoothed_ = ecuMs;
    deviation_ = ecuMs / 2;
    measured_ = true;
  } else {
    deviation_ = 0.75 * deviation_ + 0.25 * std::fabs(smoothed_ - ecuMs);
    smoothed_ = 0.875 * smoothed_ + 0.125 * ecuMs;
  }
  backedOff_ = 0;
}

void ReplyTimer::BackedOff(int allowanceMs) {
  backedOff_ = std::clamp(allowanceMs, backedOff_, kMaxAllowanceMs);
}

Channel::Channel(ByteStream& stream, Timing timing, std::uint8_t firstSequence)
    : stream_(stream), timing_(timing), timer_(timing.timeoutMs), sequence_(firstSequence) {}

// Wire time of this many bytes at the line speed (8N1: ten bits a byte),
// rounded up to whole milliseconds.
int Channel::WireMs(std::size_t bytes) const {
  const long long bits = static_cast<long long>(bytes) * 10 * 1000;
  return static_cast<int>((bits + timing_.baud - 1) / timing_.baud);
}

// One request, sent once and again after every wait that brought nothing:
//
// - Each wait lasts the wire time of the request and its reply plus the
//   timer's allowance, doubled on each resend up to four times the first.
//   The allowance is looked at again when a wait ends: an answer heard
//   meanwhile (a late one, to an earlier request) may have taught the timer
//   that the ECU needs longer, and then the wait goes on instead of sending
//   the request again.
// - Nothing that has arrived is thrown away: a late reply to an earlier send
//   of this request (same sequence number) is the answer just as well.
// - Every answer that can be timed teaches the timer (LearnFrom): the answer
//   to a request sent once; an answer that comes after its request was given
//   up; and, once a second answer to a request sent more than once shows the
//   ECU answered its copies one by one, each of that request's answers.
// - A wait that ends while bytes are still arriving is stretched once by the
//   wire time of a longest frame, so a reply is never cut off mid-frame.
// - A wait that heard a valid reply to an earlier request shows the ECU alive
//   and still working through requests sent before this one (a slow ECU, or
//   an earlier session's leftovers): this request is queued behind them, and
//   sending it again would only lengthen the queue. So the link waits on
//   without resending, each time for twice the longest gap between the
//   ECU's replies, as long as they keep coming, up to kBusyLimitMs.
Status Channel::Transact(wire::Command command, const std::vector<std::uint8_t>& data,
                         std::size_t resultSize, std::vector<std::uint8_t>* result, int attempts) {
  const wire::Frame request{wire::kRequestStart, sequence_++, static_cast<std::uint8_t>(command),
                            data};
  const std::vector<std::uint8_t> bytes = wire::Encode(request);
  const std::size_t exchanged = bytes.size() + wire::kOverhead + data.size() + resultSize;
  const int wireMs = WireMs(exchanged);
  if (attempts < 1) attempts = 1 + timing_.retries;
  Sent& mine = Remember(request.sequence, static_cast<double>(exchanged) * 10 * 1000 / timing_.baud);

  Status status = Status::Timeout;
  Waiting waiting;
  waiting.lastFrame = Clock::now();
  const auto begun = waiting.lastFrame;
  bool busy = false;  // the ECU was heard working through earlier requests
  int sends = 0;
  int allowance = 0;
  Clock::time_point lastSend;
  while (sends < attempts && status == Status::Timeout) {
    // A frame begun before a wait that ran out, stretch included, will not
    // be finished: its start was noise, or its rest was lost.
    if (sends > 0) parser_.Clear();
    LogBytes(">", bytes.data(), bytes.size());
    if (!stream_.Write(bytes)) {
      status = Status::IoError;
      break;
    }
    lastSend = Clock::now();
    mine.sends.push_back(lastSend);
    if (++sends > 1) ++resends_;
    allowance = timer_.AllowanceMs(sends);
    auto deadline = lastSend + std::chrono::milliseconds(wireMs + allowance);
    bool stretched = false;
    Heard heard;  // since the last send or the last wait behind earlier requests
    for (;;) {
      status = AwaitReply(request, resultSize, result, deadline, &waiting, &heard);
      if (status != Status::Timeout) break;
      const auto now = Clock::now();
      const auto byteTime = std::chrono::milliseconds(WireMs(3) + 3);
      if (!stretched &&
          (parser_.Pending() > 0 || (heard.bytes && now - heard.lastByte < byteTime))) {
        stretched = true;  // mid-frame: let the frame finish
        deadline = now + std::chrono::milliseconds(WireMs(wire::kOverhead + wire::kMaxData) +
                                                   kAdapterDelayMs);
        continue;
      }
      // Learnt meanwhile that the ECU takes longer: wait for it, do not resend.
      const int learnt = timer_.AllowanceMs(sends);
      if (learnt > allowance && lastSend + std::chrono::milliseconds(wireMs + learnt) > now) {
        allowance = learnt;
        deadline = lastSend + std::chrono::milliseconds(wireMs + allowance);
        continue;
      }
      if (heard.otherReply && now - begun < std::chrono::milliseconds(kBusyLimitMs)) {
        const auto patience = std::max<Clock::duration>(
            std::chrono::milliseconds(wireMs + allowance), 2 * waiting.longestGap);
        if (waiting.lastFrame + patience > now) {
          busy = true;  // queued behind earlier requests: wait on, do not resend
          deadline = std::min(waiting.lastFrame + patience,
                              begun + std::chrono::milliseconds(kBusyLimitMs));
          stretched = false;
          heard = {};
          continue;
        }
      }
      break;
    }
  }
  if (status == Status::Ok || status == Status::Refused) {
    const auto now = Clock::now();
    const double wireOfBoth =
        static_cast<double>(bytes.size() + waiting.replyBytes) * 10 * 1000 / timing_.baud;
    if (sends == 1 && !busy) {
      timer_.Measured(std::chrono::duration<double, std::milli>(now - begun).count() - wireOfBoth);
      mine.firstTimed = true;
    } else if (sends > 1 &&
               now - lastSend > std::chrono::milliseconds(wireMs + timer_.AllowanceMs())) {
      // Which send a reply answers cannot be told yet (a resend is the same
      // request), so it is not timed now (Karn's rule); a second answer will
      // tell (LearnFrom). An answer later than the usual time after the last
      // send may be a slow answer to an earlier send, with the copies still
      // to be answered before the next request: that one starts with this
      // one's longer allowance. (A request answered once, behind earlier
      // requests, is not timed: its time is theirs as much as its own.)
      timer_.BackedOff(allowance);
    }
  }
  if (status == Status::Timeout && waiting.heardBytes)
    status = waiting.heardOtherReply ? Status::Slow : Status::BadFrame;
  return status;
}

Channel::Sent& Channel::Remember(std::uint8_t sequence, double wireMs) {
  Sent& sent = sent_[nextSent_];
  nextSent_ = (nextSent_ + 1) % kRemembered;
  sent = Sent{};
  sent.sequence = sequence;
  sent.used = true;
  sent.wireMs = wireMs;
  return sent;
}

void Channel::LearnFrom(std::uint8_t sequence, Clock::time_point at, bool current) {
  Sent* sent = nullptr;
  for (Sent& s : sent_)
    if (s.used && s.sequence == sequence) sent = &s;
  if (sent == nullptr) return;  // not a request of this channel's (an earlier session's)
  const std::size_t k = sent->answers++;
  if (k >= sent->sends.size()) return;  // more answers than sends: nothing to time
  const auto time = [&](Clock::time_point answered, std::size_t send) {
    timer_.Measured(
        std::chrono::duration<double, std::milli>(answered - sent->sends[send]).count() -
        sent->wireMs);
  };
  if (k == 0) {
    sent->firstAnswer = at;
    // The answer to the request under way is timed by Transact when it was
    // sent once, and cannot be told apart from its copies' when it was sent
    // more. An answer to a request already given up is late: it answers the
    // first send, or a later one when earlier answers were lost.
    if (!current) {
      time(at, 0);
      sent->firstTimed = true;
    }
    return;
  }
  // A second answer: the ECU answered the copies one by one, so the first
  // answer was the first send's.
  if (!sent->firstTimed) {
    time(sent->firstAnswer, 0);
    sent->firstTimed = true;
  }
  time(at, k);
}

Status Channel::AwaitReply(const wire::Frame& request, std::size_t resultSize,
                           std::vector<std::uint8_t>* result, Clock::time_point deadline,
                           Waiting* waiting, Heard* heard) {
  std::uint8_t buffer[128];
  for (;;) {
    // Past the deadline one last look, without waiting, at what has come.
    const auto left = std::max<long long>(
        0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
    const int n = stream_.Read(buffer, sizeof buffer, static_cast<int>(left));
    if (n < 0) return Status::IoError;
    if (n == 0) {
      if (left == 0) return Status::Timeout;
      continue;
    }
    const auto now = Clock::now();
    heard->bytes = true;
    heard->lastByte = now;
    waiting->heardBytes = true;
    LogBytes("<", buffer, static_cast<std::size_t>(n));
    parser_.Feed(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)));
    while (auto reply = parser_.Next()) {
      const Status matched = Match(request, resultSize, *reply, result);
      LearnFrom(reply->sequence, now, reply->sequence == request.sequence);
      if (matched != Status::Timeout) {
        waiting->replyBytes = wire::kOverhead + reply->data.size();
        return matched;
      }
      // A valid frame from the ECU, but not this request's answer: most often
      // the late answer to an earlier request.
      heard->otherReply = true;
      waiting->heardOtherReply = true;
      waiting->longestGap = std::max(waiting->longestGap, now - waiting->lastFrame);
      waiting->lastFrame = now;
    }
  }
}

// Whether a valid reply frame answers the request: Ok (result filled),
// Refused, or Timeout when it is not this request's answer.
Status Channel::Match(const wire::Frame& request, std::size_t resultSize, const wire::Frame& reply,
                      std::vector<std::uint8_t>* result) {
  if (reply.sequence != request.sequence) return Status::Timeout;  // an older request's answer
  if (reply.command == wire::kRefusedReply && reply.data.size() == 2 &&
      reply.data[0] == request.command) {
    lastRefusal_ = static_cast<wire::Refusal>(reply.data[1]);
    return Status::Refused;
  }
  const bool echoes = reply.data.size() == request.data.size() + resultSize &&
                      std::equal(request.data.begin(), request.data.end(), reply.data.begin());
  if (reply.command != (request.command | wire::kAckBit) || !echoes) return Status::Timeout;
  result->assign(reply.data.begin() + static_cast<std::ptrdiff_t>(request.data.size()),
                 reply.data.end());
  return Status::Ok;
}

void Channel::LogBytes(const char* direction, const std::uint8_t* bytes, std::size_t count) {
  if (log_ == nullptr) return;
  std::fprintf(log_, "%s", direction);
  for (std::size_t i = 0; i < count; ++i) std::fprintf(log_, " %02X", bytes[i]);
  std::fprintf(log_, "\n");
  std::fflush(log_);
}

}  // namespace serlink
