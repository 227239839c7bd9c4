// The worked example frames of docs/protocol.md, byte for byte: the link sends
// exactly the documented requests (only the session's sequence numbers differ)
// and takes the documented replies, and the virtual ECU gives the documented
// replies to the documented requests.
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <fstream>
#include <mutex>
#include <sstream>

#include "VirtualEcuOnPty.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Example {
  Bytes request;
  Bytes reply;
};

// Every "PC  >" line of the document with the "ECU <" line that follows it.
std::vector<Example> DocumentedExamples() {
  std::ifstream in(PROTOCOL_DOCUMENT);
  std::vector<Example> examples;
  std::string line;
  while (std::getline(in, line)) {
    const auto pc = line.find("PC  >"), ecu = line.find("ECU <");
    if (pc == std::string::npos && ecu == std::string::npos) continue;
    std::istringstream hex(line.substr((pc != std::string::npos ? pc : ecu) + 5));
    Bytes bytes;
    for (unsigned byte = 0; hex >> std::hex >> byte;)
      bytes.push_back(static_cast<std::uint8_t>(byte));
    if (pc != std::string::npos) {
      examples.push_back({bytes, {}});
    } else if (!examples.empty()) {
      examples.back().reply = bytes;
    }
  }
  return examples;
}

wire::Frame Decode(const Bytes& bytes, std::uint8_t start) {
  wire::FrameParser parser(start);
  parser.Feed(bytes);
  auto frame = parser.Next();
  EXPECT_TRUE(frame.has_value()) << "not a valid frame";
  return frame.value_or(wire::Frame{});
}

wire::Frame Resequenced(wire::Frame frame, std::uint8_t sequence) {
  frame.sequence = sequence;
  return frame;
}

// Plays the ECU from the document: answers the n-th request with the n-th
// documented reply, under the request's own sequence number.
class DocumentedEcu {
 public:
  explicit DocumentedEcu(std::vector<Example> examples) : examples_(std::move(examples)) {
    std::string error;
    if (!pty_.Open(&error)) ADD_FAILURE() << error;
    thread_ = std::thread([this] { Serve(); });
  }
  ~DocumentedEcu() {
    stop_ = true;
    thread_.join();
  }
  const std::string& Port() const { return pty_.SlavePath(); }
  std::vector<wire::Frame> Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }

 private:
  void Serve() {
    wire::FrameParser parser(wire::kRequestStart);
    std::uint8_t buffer[256];
    while (!stop_) {
      pollfd p{pty_.MasterFd(), POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      const ssize_t n = ::read(pty_.MasterFd(), buffer, sizeof buffer);
      if (n <= 0) continue;
      parser.Feed(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(n)));
      while (auto request = parser.Next()) {
        std::size_t index;
        {
          std::lock_guard lock(mutex_);
          index = received_.size();
          received_.push_back(*request);
        }
        if (index >= examples_.size()) continue;
        const Bytes reply = wire::Encode(
            Resequenced(Decode(examples_[index].reply, wire::kReplyStart), request->sequence));
        if (::write(pty_.MasterFd(), reply.data(), reply.size()) < 0) ADD_FAILURE() << "write";
      }
    }
  }

  std::vector<Example> examples_;
  vecu::PseudoTerminal pty_;
  std::mutex mutex_;
  std::vector<wire::Frame> received_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(DocumentedFrames, EveryExampleIsAWellFormedFrame) {
  const auto examples = DocumentedExamples();
  ASSERT_EQ(examples.size(), 13u) << "one worked example per documented exchange";
  for (const auto& e : examples) {
    EXPECT_EQ(wire::Encode(Decode(e.request, wire::kRequestStart)), e.request);
    EXPECT_EQ(wire::Encode(Decode(e.reply, wire::kReplyStart)), e.reply);
  }
}

// The operations below are those the document names, in its order.
TEST(DocumentedFrames, TheLinkSendsTheDocumentedRequestsAndTakesTheReplies) {
  const auto examples = DocumentedExamples();
  ASSERT_EQ(examples.size(), 13u);
  DocumentedEcu ecu(examples);
  linktest::UsePort(ecu.Port());
  ::setenv("SEROXT_KEEPALIVE_MS", "60000", 1);  // no pings between the examples
  serlink::SerialEcuLink link;
  ASSERT_TRUE(link.OpenLink());

  ecu::Identification id;
  ASSERT_TRUE(link.ReadIdentification(&id));
  EXPECT_EQ((std::vector<int>{id.typeCode, id.variant, id.featureFlags, id.version}),
            (std::vector<int>{18, 0, 1, 23}));
  ASSERT_TRUE(link.Connect());
  std::int32_t changeOver = -1;
  EXPECT_TRUE(link.ReadParameter(56, &changeOver));
  EXPECT_EQ(changeOver, 60);
  std::int32_t tps[3] = {-1, -1, -1};
  EXPECT_TRUE(link.ReadParameter(0x3119, tps));
  EXPECT_EQ((std::vector<int>(tps, tps + 3)), (std::vector<int>{0, 102, 178}));
  EXPECT_TRUE(link.WriteParameter(56, 48));
  EXPECT_TRUE(link.WriteParameter(519, 5));
  EXPECT_TRUE(link.WriteParameterElement(0x3119, 2, 204));
  EXPECT_TRUE(link.WriteParameter(64, 123));
  EXPECT_FALSE(link.WriteParameter(56, 40)) << "the documented refusal";
  EXPECT_TRUE(link.IsConnected()) << "a refusal is an answer";
  for (int kind = 0; kind < 2; ++kind) {
    std::uint8_t block[ecu::kLiveBlockSize] = {};
    EXPECT_TRUE(link.ReadLiveBlock(kind, block, ecu::kLiveBlockSize));
    const Bytes& reply = examples[9 + static_cast<std::size_t>(kind)].reply;
    EXPECT_EQ(Bytes(block, block + ecu::kLiveBlockSize), Bytes(reply.begin() + 5, reply.end() - 2));
  }
  EXPECT_TRUE(link.WriteParameterElement(0, 0, 0));
  link.SetIndicatorOutput(120, -1);

  const auto received = ecu.Received();
  ASSERT_EQ(received.size(), examples.size());
  for (std::size_t i = 0; i < examples.size(); ++i) {
    const auto documented = Decode(examples[i].request, wire::kRequestStart);
    EXPECT_EQ(wire::Encode(Resequenced(received[i], documented.sequence)), examples[i].request)
        << "example " << i;
    EXPECT_EQ(received[i].sequence, static_cast<std::uint8_t>(received[0].sequence + i))
        << "one new sequence number per request";
  }
}

// The virtual ECU, factory-fresh, answers each documented request with the
// documented reply (the live blocks depend on the engine and are left out).
TEST(DocumentedFrames, TheVirtualEcuGivesTheDocumentedReplies) {
  for (const auto& e : DocumentedExamples()) {
    const auto request = Decode(e.request, wire::kRequestStart);
    if (request.command == static_cast<std::uint8_t>(wire::Command::Live)) continue;
    vecu::EcuOptions options = linktest::EcuOnPty::Still();
    const auto reply = Decode(e.reply, wire::kReplyStart);
    if (reply.command == wire::kRefusedReply) options.refusedAddresses = {request.data.at(0)};
    vecu::VirtualEcu ecu(options);
    EXPECT_EQ(wire::Encode(ecu.Handle(request)), e.reply)
        << "request " << ::testing::PrintToString(e.request);
  }
}

}  // namespace
