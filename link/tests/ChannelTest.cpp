// The request/reply rules, over a scripted byte stream: which replies count,
// when to retry, and when to give up.
#include "Channel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <thread>

namespace {

using serlink::Channel;
using serlink::Status;
using wire::Command;

// Answers each written request with the replies a script gives for it.
class ScriptedLine : public serlink::ByteStream {
 public:
  using Script = std::function<std::vector<std::uint8_t>(const wire::Frame& request, int attempt)>;
  explicit ScriptedLine(Script script) : script_(std::move(script)) {}

  bool Write(std::span<const std::uint8_t> bytes) override {
    if (gone) return false;
    wire::FrameParser parser(wire::kRequestStart);
    parser.Feed(bytes);
    auto request = parser.Next();
    const auto reply = script_(*request, writes++);
    pending_.insert(pending_.end(), reply.begin(), reply.end());
    return true;
  }
  int Read(std::uint8_t* buffer, std::size_t size, int) override {
    if (gone) return -1;
    const std::size_t n = std::min(size, pending_.size());
    std::copy_n(pending_.begin(), n, buffer);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(n));
    return static_cast<int>(n);
  }
  void FlushInput() override {
    pending_.clear();
    ++flushes;
  }

  int writes = 0, flushes = 0;
  bool gone = false;

 private:
  Script script_;
  std::deque<std::uint8_t> pending_;
};

std::vector<std::uint8_t> ReplyTo(const wire::Frame& request, std::vector<std::uint8_t> extra,
                                  int sequenceShift = 0) {
  std::vector<std::uint8_t> data = request.data;
  data.insert(data.end(), extra.begin(), extra.end());
  return wire::Encode({wire::kReplyStart,
                       static_cast<std::uint8_t>(request.sequence + sequenceShift),
                       static_cast<std::uint8_t>(request.command | wire::kAckBit), data});
}

serlink::Timing Fast() {
  return {115200, 1, 3};
}

TEST(Channel, TakesOnlyTheReplyThatMatchesTheRequest) {
  ScriptedLine line([](const wire::Frame& request, int) {
    auto bytes = ReplyTo(request, {99}, -1);  // an old request's answer
    auto wrongEcho = wire::Encode({wire::kReplyStart, request.sequence, 0x82, {9, 0, 0, 1, 5}});
    auto good = ReplyTo(request, {42});
    bytes.insert(bytes.end(), wrongEcho.begin(), wrongEcho.end());
    bytes.insert(bytes.end(), good.begin(), good.end());
    return bytes;
  });
  Channel channel(line, Fast(), 200);
  std::vector<std::uint8_t> result;
  ASSERT_EQ(channel.Transact(Command::Read, {2, 0, 0, 1}, 1, &result), Status::Ok);
  EXPECT_EQ(result, std::vector<std::uint8_t>{42});
  EXPECT_EQ(line.writes, 1);
}

TEST(Channel, RetriesAfterSilenceOrGarbageThenGivesUp) {
  const struct {
    std::vector<std::uint8_t> answer;
    Status status;
  } cases[] = {{{}, Status::Timeout}, {{0x5A, 0x01, 0x02, 0x7F, 0x13}, Status::BadFrame}};
  for (const auto& c : cases) {
    ScriptedLine line([&](const wire::Frame&, int) { return c.answer; });
    Channel channel(line, Fast(), 0);
    std::vector<std::uint8_t> result{7};
    EXPECT_EQ(channel.Transact(Command::Ping, {}, 0, &result), c.status);
    EXPECT_EQ(line.writes, 4) << "the first attempt and three retries";
    EXPECT_EQ(line.flushes, 0) << "nothing that came is thrown away";
    EXPECT_EQ(result, std::vector<std::uint8_t>{7});
  }
}

TEST(Channel, ARefusalIsFinalAndARetryKeepsTheSequenceNumber) {
  std::vector<int> sequences;
  ScriptedLine line([&](const wire::Frame& request, int attempt) -> std::vector<std::uint8_t> {
    sequences.push_back(request.sequence);
    if (attempt == 0) return {};  // the first reply is lost
    return wire::Encode({wire::kReplyStart,
                         request.sequence,
                         wire::kRefusedReply,
                         {request.command, static_cast<std::uint8_t>(wire::Refusal::Locked)}});
  });
  Channel channel(line, Fast(), 255);
  std::vector<std::uint8_t> result;
  EXPECT_EQ(channel.Transact(Command::Write, {56, 0, 0, 0, 60}, 0, &result), Status::Refused);
  EXPECT_EQ(channel.LastRefusal(), wire::Refusal::Locked);
  EXPECT_EQ(sequences, (std::vector<int>{255, 255}));
  EXPECT_EQ(channel.Transact(Command::Write, {56, 0, 0, 0, 60}, 0, &result), Status::Refused);
  EXPECT_EQ(sequences.back(), 0) << "a new request, a new number";
}

// An ECU that answers every request, resends included, in order, each after
// a delay, and hands a reply over in two halves some time apart when asked.
class SlowLine : public serlink::ByteStream {
 public:
  using Clock = std::chrono::steady_clock;
  SlowLine(int delayMs, int splitMs = 0) : delay_(delayMs), split_(splitMs) {}

  bool Write(std::span<const std::uint8_t> bytes) override {
    wire::FrameParser parser(wire::kRequestStart);
    parser.Feed(bytes);
    const auto request = parser.Next();
    ++writes;
    auto reply = ReplyTo(*request, {});
    busyUntil_ = std::max(busyUntil_, Clock::now()) + std::chrono::milliseconds(delay_);
    if (split_ == 0) {
      due_.push_back({busyUntil_, reply});
      return true;
    }
    const auto half = static_cast<std::ptrdiff_t>(reply.size() / 2);
    due_.push_back({busyUntil_, {reply.begin(), reply.begin() + half}});
    due_.push_back(
        {busyUntil_ + std::chrono::milliseconds(split_), {reply.begin() + half, reply.end()}});
    return true;
  }
  int Read(std::uint8_t* buffer, std::size_t size, int timeoutMs) override {
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (due_.empty() || due_.front().first > Clock::now()) {
      const auto next = due_.empty() ? until : std::min(until, due_.front().first);
      if (Clock::now() >= until) return 0;
      std::this_thread::sleep_until(next);
    }
    auto& bytes = due_.front().second;
    const std::size_t n = std::min(size, bytes.size());
    std::copy_n(bytes.begin(), n, buffer);
    bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    if (bytes.empty()) due_.pop_front();
    return static_cast<int>(n);
  }
  void FlushInput() override { ++flushes; }

  int writes = 0, flushes = 0;

 private:
  int delay_, split_;
  Clock::time_point busyUntil_{};
  std::deque<std::pair<Clock::time_point, std::vector<std::uint8_t>>> due_;
};

// The ECU answers later than the first wait: the late answer to the first
// send counts, and the link learns the ECU's time so that later requests
// are not sent twice.
TEST(Channel, ALateAnswerCountsAndTheWaitAdapts) {
  SlowLine line(40);
  Channel channel(line, {115200, 5, 4}, 10);
  std::vector<std::uint8_t> result;
  for (int i = 0; i < 12; ++i) {
    ASSERT_EQ(channel.Transact(Command::Ping, {}, 0, &result), Status::Ok) << "request " << i;
  }
  EXPECT_EQ(line.flushes, 0);
  EXPECT_GT(channel.Resends(), 0) << "the first request cannot know the ECU's time";
  EXPECT_GE(channel.Timer().AllowanceMs(), 40);
  EXPECT_GE(channel.Timer().SmoothedMs(), 35.0);
}

// A reply that is still arriving when the wait runs out is waited for.
TEST(Channel, AReplyArrivingWhenTheWaitEndsIsWaitedFor) {
  SlowLine line(3, 12);
  Channel channel(line, {115200, 5, 0}, 10);  // no resend allowed
  std::vector<std::uint8_t> result;
  EXPECT_EQ(channel.Transact(Command::Ping, {}, 0, &result), Status::Ok);
  EXPECT_EQ(line.writes, 1);
}

TEST(ReplyTimer, LearnsTheEcuTimeAndBacksOff) {
  serlink::ReplyTimer timer(50);
  EXPECT_EQ(timer.AllowanceMs(), 50) << "the least allowance before anything is known";
  EXPECT_EQ(timer.AllowanceMs(1), 50);
  EXPECT_EQ(timer.AllowanceMs(2), 100) << "doubled on each resend";
  EXPECT_EQ(timer.AllowanceMs(3), 200);
  EXPECT_EQ(timer.AllowanceMs(5), 200) << "up to four times the first";
  timer.Measured(500);  // first sample: deviation half of it
  EXPECT_EQ(timer.AllowanceMs(), serlink::ReplyTimer::kMaxAllowanceMs);
  for (int i = 0; i < 60; ++i) timer.Measured(500);
  EXPECT_GE(timer.AllowanceMs(), 550);
  EXPECT_LE(timer.AllowanceMs(), 560);
  for (int i = 0; i < 60; ++i) timer.Measured(2);
  EXPECT_LE(timer.AllowanceMs(), 53) << "back to the least allowance once the ECU is quick";
  timer.BackedOff(400);
  EXPECT_EQ(timer.AllowanceMs(), 400) << "kept after a request answered late";
  EXPECT_EQ(timer.AllowanceMs(2), 800);
  timer.Measured(2);
  EXPECT_LE(timer.AllowanceMs(), 53) << "until the next measurement";
  timer.Measured(-5);
  EXPECT_GE(timer.SmoothedMs(), 0.0);
}

TEST(Channel, AGoneLineIsNotRetried) {
  ScriptedLine line([](const wire::Frame&, int) { return std::vector<std::uint8_t>{}; });
  line.gone = true;
  Channel channel(line, Fast(), 0);
  std::vector<std::uint8_t> result;
  EXPECT_EQ(channel.Transact(Command::Ping, {}, 0, &result), Status::IoError);
}

}  // namespace
