// A slow ECU over a real pseudo-terminal: the link learns how long the ECU
// takes, rides through it without failing a command and without piling up
// resends, still reports a pulled cable, and starts a new session cleanly
// while the line still carries an earlier session's late answers. No timing
// is asserted here; bench/link_bench gives the figures.
#include <gtest/gtest.h>

#include "LastFailure.h"
#include "SerialPort.h"
#include "VirtualEcuOnPty.h"

namespace {

using linktest::EcuOnPty;

vecu::ServeOptions Latency(int ms) {
  vecu::ServeOptions serve;
  serve.faults.latencyMs = ms;
  return serve;
}

// Requests the ECU saw beyond the commands it carried out: resends.
long Resends(EcuOnPty& ecu) {
  return ecu.Server().FramesSeen() - static_cast<long>(ecu.Ecu().CommandLog().size());
}

TEST(SlowEcu, EveryOperationSucceedsAndResendsStayFew) {
  for (const int latency : {0, 60, 150, 500}) {
    SCOPED_TRACE("latency " + std::to_string(latency) + " ms");
    EcuOnPty ecu(EcuOnPty::Still(), Latency(latency));
    linktest::ConnectedLink connection(ecu.Port());
    ASSERT_TRUE(connection.connected);
    auto& link = connection.link;
    ecu::Identification id;
    EXPECT_TRUE(link.ReadIdentification(&id));
    EXPECT_EQ(id.typeCode, 18);
    EXPECT_TRUE(link.WriteParameter(31, 7));
    std::int32_t values[3] = {-1, -1, -1};
    EXPECT_TRUE(link.ReadParameter(31, values));
    EXPECT_EQ(values[0], 7);
    EXPECT_TRUE(link.ReadParameter(ecu::MakeArrayCode(25, 3), values));
    EXPECT_EQ(values[1], 102);
    std::uint8_t block[ecu::kLiveBlockSize];
    EXPECT_TRUE(link.ReadLiveBlock(0, block, ecu::kLiveBlockSize));
    EXPECT_TRUE(link.IsConnected());
    link.Disconnect();
    // Six commands (the connection's ping and five more), and the write
    // carried out exactly once. A link that learns the ECU's time resends
    // while it learns (four times at 500 ms, on a quiet machine) and a busy
    // machine's pauses add a few; one that does not learn resends two or
    // three times on every command at 150 and 500 ms (twelve to eighteen).
    EXPECT_LE(Resends(ecu), 9);
    const auto log = ecu.Ecu().CommandLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "WRITE 31 0 7"), 1);
    EXPECT_EQ(connection.sink.Changes(), std::vector<bool>{true});
  }
}

// The ECU turns slow in the middle of a session (an EEPROM write, a busy
// moment): the link rides through it and through its return to speed.
TEST(SlowEcu, AnEcuThatSlowsDownAndRecovers) {
  EcuOnPty ecu;
  linktest::ConnectedLink connection(ecu.Port());
  ASSERT_TRUE(connection.connected);
  auto& link = connection.link;
  std::int32_t value = 0;
  ASSERT_TRUE(link.ReadParameter(2, &value));
  ecu.Server().SetFaults(Latency(500).faults);
  EXPECT_TRUE(link.WriteParameter(31, 9));
  EXPECT_TRUE(link.ReadParameter(31, &value));
  EXPECT_EQ(value, 9);
  ecu.Server().SetFaults({});
  EXPECT_TRUE(link.ReadParameter(2, &value));
  EXPECT_TRUE(link.IsConnected());
  link.Disconnect();
  const auto log = ecu.Ecu().CommandLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "WRITE 31 0 9"), 1);
}

// With a slow ECU a pulled cable is still reported, once.
TEST(SlowEcu, APulledCableIsStillReported) {
  EcuOnPty ecu(EcuOnPty::Still(), Latency(150));
  linktest::ConnectedLink connection(ecu.Port());
  ASSERT_TRUE(connection.connected);
  auto& link = connection.link;
  std::int32_t value = 0;
  ASSERT_TRUE(link.ReadParameter(2, &value));
  ecu.Server().SetCablePulled(true);
  EXPECT_FALSE(link.ReadParameter(2, &value));
  EXPECT_FALSE(link.IsConnected());
  EXPECT_EQ(connection.sink.Changes(), (std::vector<bool>{true, false}));
}

// An earlier session left requests the slow ECU is still answering (it was
// closed, or the program ended, before their answers came). A new session
// connects at the first try and works.
TEST(SlowEcu, ANewSessionConnectsWhileLateAnswersAreStillComing) {
  EcuOnPty ecu(EcuOnPty::Still(), Latency(400));
  {
    serlink::SerialPort earlier;
    serlink::Failure failure;
    ASSERT_TRUE(earlier.Open(ecu.Port(), 115200, &failure)) << failure.text;
    for (std::uint8_t sequence : {0x40, 0x41, 0x42}) {
      const auto frame = wire::Encode(
          {wire::kRequestStart, sequence, static_cast<std::uint8_t>(wire::Command::Identify), {}});
      ASSERT_TRUE(earlier.Write(frame));
    }
    // The ECU has them all and is answering the first.
    ASSERT_TRUE(linktest::WaitFor([&] { return ecu.Server().FramesSeen() >= 1; }));
  }
  linktest::ConnectedLink connection(ecu.Port());
  EXPECT_TRUE(connection.connected) << "the new session did not connect at the first try";
  ecu::Identification id;
  EXPECT_TRUE(connection.link.ReadIdentification(&id));
  EXPECT_EQ(id.typeCode, 18);
  EXPECT_EQ(connection.sink.Changes(), std::vector<bool>{true});
  connection.link.Disconnect();
}

// An ECU slower than the link ever waits: once its late answers are heard,
// the reason says the ECU answers too slowly; the answers are valid frames, so
// nothing points at the line speed.
TEST(SlowEcu, AnEcuTooSlowToWaitForIsSaidToBeSlow) {
  EcuOnPty ecu(EcuOnPty::Still(), Latency(1200));
  {
    linktest::ConnectedLink first(ecu.Port());
    EXPECT_FALSE(first.connected);  // nothing came within its waits
  }
  linktest::ConnectedLink again(ecu.Port());  // hears the first one's answers
  EXPECT_FALSE(again.connected);
  const std::string failure = serlink::LastFailure();
  EXPECT_NE(failure.find("answers too slowly"), std::string::npos) << failure;
  EXPECT_EQ(failure.find("line speed"), std::string::npos) << failure;
  EXPECT_EQ(serlink::LastFailureDetail().kind, ecu::kFailureSlowAnswer);
  EXPECT_EQ(serlink::LastFailureDetail().port, ecu.Port());
}

}  // namespace
