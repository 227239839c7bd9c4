// A noisy line, a lost reply, a refusing ECU, a pulled cable, a port that is
// not there: what the link makes of each.
#include <gtest/gtest.h>

#include <chrono>

#include "ConfCar.h"
#include "SerialPort.h"
#include "VirtualEcuOnPty.h"

namespace {

using linktest::EcuOnPty;
using serlink::SerialEcuLink;

vecu::ServeOptions Noisy(double drop, double corrupt, unsigned seed) {
  vecu::ServeOptions serve;
  serve.faults.dropReplies = drop;
  serve.faults.corruptBytes = corrupt;
  serve.faults.seed = seed;
  return serve;
}

// Lost replies and flipped bits are recovered by retries; every write the
// link reports done was carried out exactly once, in order.
TEST(LinkFaults, RetriesRecoverWithoutDoubleEffect) {
  const struct { double drop, corrupt; } lines[] = {{0.3, 0}, {0, 0.02}, {0.15, 0.01}};
  for (const auto& line : lines) {
    EcuOnPty ecu(EcuOnPty::Still(), Noisy(line.drop, line.corrupt, 7));
    linktest::UsePort(ecu.Port());
    SerialEcuLink link;
    link.SetStartOptionB(8);
    ASSERT_TRUE(link.OpenLink());
    ASSERT_TRUE(link.Connect());
    std::vector<std::string> expected;
    for (int i = 0; i < 40; ++i) {
      const int address = 31 + i % 4, value = i;
      ASSERT_TRUE(link.WriteParameter(address, value)) << "write " << i;
      expected.push_back("WRITE " + std::to_string(address) + " 0 " + std::to_string(value));
      std::int32_t back = -1;
      ASSERT_TRUE(link.ReadParameter(address, &back));
      EXPECT_EQ(back, value);
    }
    link.Disconnect();
    std::vector<std::string> writes;
    for (const auto& line2 : ecu.Ecu().CommandLog()) {
      if (line2.rfind("WRITE", 0) == 0) writes.push_back(line2);
    }
    EXPECT_EQ(writes, expected) << "drop " << line.drop << " corrupt " << line.corrupt;
  }
}

// Every reply is lost: the ECU carried the write out once, the link never
// heard so, reports false and the store keeps its old value.
TEST(LinkFaults, AWriteNeverAcknowledgedIsNotStoredAndNotRepeated) {
  EcuOnPty ecu(EcuOnPty::Still(), Noisy(0, 0, 3));
  linktest::ConnectedLink connection(ecu.Port());
  ASSERT_TRUE(connection.connected);
  auto& link = connection.link;
  ConfCar store("unused.dmr", &link);
  const ConfCar::Image before = store.RawImage();
  vecu::FaultOptions silent;
  silent.dropReplies = 1.0;
  ecu.Server().SetFaults(silent);
  EXPECT_EQ(store.SetValue(56, 2500), 0);
  EXPECT_EQ(store.RawImage(), before);
  EXPECT_FALSE(link.IsConnected());
  const auto log = ecu.Ecu().CommandLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "WRITE 56 0 48"), 1);
}

TEST(LinkFaults, ARefusedWriteLeavesTheStoreAsItWas) {
  vecu::EcuOptions options = EcuOnPty::Still();
  options.refusedAddresses = {56, 60};
  EcuOnPty ecu(options);
  linktest::ConnectedLink connection(ecu.Port());
  ASSERT_TRUE(connection.connected);
  auto& link = connection.link;
  EXPECT_FALSE(link.WriteParameter(56, 80));
  ConfCar store("unused.dmr", &link);
  const ConfCar::Image before = store.RawImage();
  EXPECT_EQ(store.SetValue(56, 2000), 0);
  const int six[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(store.WriteArray(60, six), 0);
  EXPECT_EQ(store.RawImage(), before);
  EXPECT_TRUE(link.IsConnected());
  EXPECT_EQ(store.SetValue(62, 6000), 1) << "other addresses still take values";
}

// The cable is pulled while the program is idle: the keep-alive notices, the
// sink hears "not connected" once, and every later call fails at once.
TEST(LinkFaults, APulledCableIsNoticedWhileIdle) {
  EcuOnPty ecu;
  linktest::ConnectedLink connection(ecu.Port());
  ASSERT_TRUE(connection.connected);
  auto& link = connection.link;
  auto& sink = connection.sink;
  ecu.Server().SetCablePulled(true);
  ASSERT_TRUE(linktest::WaitFor([&] { return !link.IsConnected(); }))
      << "the link never noticed the pulled cable";
  std::int32_t value = 0;
  EXPECT_FALSE(link.ReadParameter(2, &value));
  EXPECT_FALSE(link.WriteParameter(2, 51));
  EXPECT_EQ(sink.Changes(), (std::vector<bool>{true, false}));

  // Plugged back in, a new connection works again.
  ecu.Server().SetCablePulled(false);
  ASSERT_TRUE(link.OpenLink());
  ASSERT_TRUE(link.Connect());
  EXPECT_TRUE(link.ReadParameter(2, &value));
  EXPECT_EQ(sink.Changes(), (std::vector<bool>{true, false, true}));
}

// The keep-alive is telling a slow sink of the loss while the program
// detaches it: AttachScreen(nullptr) waits for that call to end, and the sink
// is never called afterwards, so the program may destroy it at once.
TEST(LinkFaults, NoSinkCallOnceTheSinkIsDetached) {
  struct SlowSink : ecu::ConnectionSink {
    void ConnectionChanged(bool connected) override {
      if (detached) calledAfterDetach = true;
      if (connected) return;
      inside = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      if (detached) calledAfterDetach = true;
      inside = false;
    }
    std::atomic<bool> inside{false}, detached{false}, calledAfterDetach{false};
  } sink;
  EcuOnPty ecu;
  linktest::UsePort(ecu.Port());
  SerialEcuLink link;
  link.AttachScreen(&sink);
  ASSERT_TRUE(link.OpenLink());
  ASSERT_TRUE(link.Connect());
  ecu.Server().SetCablePulled(true);
  ASSERT_TRUE(linktest::WaitFor([&] { return sink.inside.load(); }));
  link.AttachScreen(nullptr);
  sink.detached = true;
  EXPECT_FALSE(sink.inside) << "the sink was still being told after AttachScreen(nullptr)";
  link.Disconnect();
  EXPECT_FALSE(sink.calledAfterDetach);
}

// The cable goes in the middle of a full read: the read finishes (answers
// are not examined), the store keeps what it had for the rest, and the
// connection is reported lost once.
TEST(LinkFaults, APulledCableDuringAFullRead) {
  vecu::ServeOptions serve;
  serve.faults.pullAfterRequests = 10;
  vecu::EcuOptions options = EcuOnPty::Still();
  EcuOnPty ecu(options, serve);
  linktest::ConnectedLink connection(ecu.Port());
  ASSERT_TRUE(connection.connected);
  auto& link = connection.link;
  auto& sink = connection.sink;
  ConfCar store("unused.dmr", &link);
  store.StoreRaw(51, 99);  // late in the read order: never reached
  store.ReadAll();
  EXPECT_FALSE(link.IsConnected());
  EXPECT_EQ(store.RawImage()[51], 99);
  EXPECT_EQ(sink.Changes(), (std::vector<bool>{true, false}));
}

// The cable is pulled after a number of requests; a resend of the request
// before is not one more, so the pull falls on the same command however
// often the link had to send again.
TEST(LinkFaults, APullCountsRequestsNotResends) {
  vecu::ServeOptions serve;
  serve.faults.pullAfterRequests = 2;
  EcuOnPty ecu(EcuOnPty::Still(), serve);
  serlink::SerialPort port;
  serlink::Failure failure;
  ASSERT_TRUE(port.Open(ecu.Port(), 19200, &failure));
  auto answered = [&port](std::uint8_t sequence) {
    const wire::Frame identify{wire::kRequestStart, sequence,
                               static_cast<std::uint8_t>(wire::Command::Identify), {}};
    EXPECT_TRUE(port.Write(wire::Encode(identify)));
    wire::FrameParser replies(wire::kReplyStart);
    std::uint8_t buffer[64];
    for (int n; (n = port.Read(buffer, sizeof buffer, 300)) > 0;) {
      replies.Feed(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)));
      if (auto reply = replies.Next()) return reply->sequence == sequence;
    }
    return false;
  };
  EXPECT_TRUE(answered(1));
  EXPECT_TRUE(answered(1)) << "a resend";
  EXPECT_TRUE(answered(1)) << "another resend";
  EXPECT_TRUE(answered(2));
  EXPECT_FALSE(answered(3)) << "the third request finds the cable pulled";
  EXPECT_EQ(ecu.Server().FramesSeen(), 5);
}

// The search skips ports that cannot be opened and ports where nothing
// answers, and takes the first with an ECU.
TEST(LinkSearch, TakesTheFirstPortWhereAnEcuAnswers) {
  vecu::PseudoTerminal silent;
  std::string error;
  ASSERT_TRUE(silent.Open(&error)) << error;
  EcuOnPty ecu;
  linktest::UsePort("");
  SerialEcuLink link;
  bool denied = true;
  ASSERT_TRUE(
      link.OpenFirstAnswering({"/dev/ttyUSB-not-here", silent.SlavePath(), ecu.Port()}, &denied));
  EXPECT_FALSE(denied);
  ASSERT_TRUE(link.Connect());
  EXPECT_EQ(ecu.Ecu().CommandLog().front(), "IDENTIFY");
  EXPECT_EQ(link.GetPortInUse(), 0);
  link.Disconnect();
  EXPECT_FALSE(link.OpenFirstAnswering({silent.SlavePath()}, &denied));
  EXPECT_FALSE(link.Connect());
}

TEST(LinkFaults, NoPortOrNoEcuFailsFast) {
  SerialEcuLink link;
  linktest::UsePort("/dev/ttyUSB-not-here");
  EXPECT_FALSE(link.OpenLink());
  EXPECT_FALSE(link.Connect());
  EXPECT_FALSE(link.IsConnected());

  // A port with nobody behind it: it opens, but no ECU answers.
  vecu::PseudoTerminal silent;
  std::string error;
  ASSERT_TRUE(silent.Open(&error)) << error;
  linktest::UsePort(silent.SlavePath());
  ASSERT_TRUE(link.OpenLink());
  EXPECT_FALSE(link.Connect());
  ecu::Identification id;
  EXPECT_FALSE(link.ReadIdentification(&id));
  EXPECT_FALSE(link.IsConnected());
}

}  // namespace
