#include "VirtualEcu.h"

#include <gtest/gtest.h>

namespace {

using vecu::VirtualEcu;
using wire::Command;
using wire::Frame;

Frame Request(std::uint8_t seq, Command command, std::vector<std::uint8_t> data = {}) {
  return {wire::kRequestStart, seq, static_cast<std::uint8_t>(command), std::move(data)};
}

vecu::EcuOptions StillEngine() {
  vecu::EcuOptions options;
  options.engineRunning = false;
  return options;
}

TEST(VirtualEcu, AnswersIdentificationReadAndWrite) {
  VirtualEcu ecu(StillEngine());
  const Frame id = ecu.Handle(Request(1, Command::Identify));
  EXPECT_EQ(id.start, wire::kReplyStart);
  EXPECT_EQ(id.sequence, 1);
  EXPECT_EQ(id.command, 0x81);
  EXPECT_EQ(id.data, (std::vector<std::uint8_t>{18, 0, 1, 23}));

  const Frame wrote = ecu.Handle(Request(2, Command::Write, {25, 0, 2, 0, 200}));
  EXPECT_EQ(wrote.command, 0x83);
  const Frame read = ecu.Handle(Request(3, Command::Read, {25, 0, 0, 3}));
  EXPECT_EQ(read.data, (std::vector<std::uint8_t>{25, 0, 0, 3, 0, 102, 200}));
}

TEST(VirtualEcu, ARepeatedRequestIsAnsweredAgainButDoneOnce) {
  VirtualEcu ecu(StillEngine());
  const Frame write = Request(9, Command::Write, {64, 0, 0, 0x01, 0x2C});  // customer code 300
  const Frame first = ecu.Handle(write);
  const Frame again = ecu.Handle(write);
  EXPECT_EQ(first.data, again.data);
  EXPECT_EQ(first.command, again.command);
  EXPECT_EQ(ecu.CommandLog(), (std::vector<std::string>{"WRITE 64 0 300"}));
  // The same bytes under a new sequence number are a new request.
  ecu.Handle(Request(10, Command::Write, {64, 0, 0, 0x01, 0x2C}));
  EXPECT_EQ(ecu.CommandLog().size(), 2u);
  EXPECT_EQ(ecu.Memory().CustomerCode(), 300);
}

TEST(VirtualEcu, RefusalsNameTheCommandAndTheReason) {
  vecu::EcuOptions options = StillEngine();
  options.refusedAddresses = {56};
  VirtualEcu ecu(options);
  struct Case {
    Frame request;
    wire::Refusal why;
  };
  const Case cases[] = {
      {Request(1, Command::Write, {56, 0, 0, 0, 60}), wire::Refusal::Locked},
      {Request(2, Command::Write, {2, 0, 0, 1, 0}), wire::Refusal::BadValue},
      {Request(3, Command::Read, {64, 0, 0, 1}), wire::Refusal::WriteOnly},
      {Request(4, Command::Erase, {0x45, 0x00}), wire::Refusal::BadRequest},
      {Request(5, Command::Live, {2}), wire::Refusal::BadRequest},
      {{wire::kRequestStart, 6, 0x33, {}}, wire::Refusal::BadRequest},
  };
  for (const Case& c : cases) {
    const Frame reply = ecu.Handle(c.request);
    EXPECT_EQ(reply.command, wire::kRefusedReply);
    EXPECT_EQ(reply.data,
              (std::vector<std::uint8_t>{c.request.command, static_cast<std::uint8_t>(c.why)}));
  }
  EXPECT_EQ(ecu.Memory(), vecu::EcuMemory());
  EXPECT_TRUE(ecu.CommandLog().empty());
}

TEST(VirtualEcu, EraseNeedsItsGuardAndRestoresFactoryValues) {
  VirtualEcu ecu(StillEngine());
  ecu.Handle(Request(1, Command::Write, {2, 0, 0, 0, 97}));
  ecu.Handle(Request(2, Command::Write, {61, 0, 5, 0, 1}));
  EXPECT_NE(ecu.Memory(), vecu::EcuMemory());
  const Frame erased = ecu.Handle(Request(3, Command::Erase, {0x45, 0x52}));
  EXPECT_EQ(erased.command, 0x85);
  EXPECT_EQ(ecu.Memory(), vecu::EcuMemory());
}

TEST(VirtualEcu, LiveBlocksAndIndicatorOutput) {
  VirtualEcu ecu(vecu::EcuOptions{});
  const Frame fast = ecu.Handle(Request(1, Command::Live, {0}), 3.0);
  ASSERT_EQ(fast.data.size(), 21u);
  EXPECT_EQ(fast.data[0], 0);
  EXPECT_GT(fast.data[1 + 0], 0);  // the engine is idling: a period count
  const Frame slow = ecu.Handle(Request(2, Command::Live, {1}));
  ASSERT_EQ(slow.data.size(), 21u);
  EXPECT_EQ(slow.data[0], 1);
  EXPECT_GT(slow.data[1 + 0], 0);  // a temperature reading
  ecu.Handle(Request(3, Command::Indicator, {120, 0xFF}));
  EXPECT_EQ(ecu.IndicatorOutput(), 120);
  EXPECT_EQ(ecu.CommandLog().back(), "INDICATOR 120 -1");
}

// The engine's clock: wall seconds times the scale, or a fixed step per
// request that ignores the wall clock altogether.
TEST(VirtualEcu, TheEngineMovesOnByWallTimeOrByRequest) {
  vecu::EcuOptions scaled;
  scaled.timeScale = 8;
  VirtualEcu byWall(scaled);
  byWall.Handle(Request(1, Command::Live, {0}), 0.5);
  EXPECT_NEAR(byWall.EngineSeconds(), 4.0, 0.011);

  vecu::EcuOptions stepped = scaled;
  stepped.secondsPerRequest = 0.1;
  VirtualEcu byRequest(stepped);
  for (std::uint8_t seq = 1; seq <= 3; ++seq) byRequest.Handle(Request(seq, Command::Live, {0}), 5.0);
  EXPECT_NEAR(byRequest.EngineSeconds(), 0.3, 0.011);
}

}  // namespace
