// The request/reply rules, over a scripted byte stream: which replies count,
// when to retry, and when to give up.
#include "Channel.h"

#include <gtest/gtest.h>

#include <deque>

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
    EXPECT_EQ(line.flushes, 3) << "input flushed before every retry";
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

TEST(Channel, AGoneLineIsNotRetried) {
  ScriptedLine line([](const wire::Frame&, int) { return std::vector<std::uint8_t>{}; });
  line.gone = true;
  Channel channel(line, Fast(), 0);
  std::vector<std::uint8_t> result;
  EXPECT_EQ(channel.Transact(Command::Ping, {}, 0, &result), Status::IoError);
}

}  // namespace
