#include "Protocol.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using wire::Frame;
using wire::FrameParser;

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(Crc16, MatchesTheCcittFalseCheckValue) {
  EXPECT_EQ(wire::Crc16(Bytes("123456789")), 0x29B1);
}

// Worked examples of the protocol document, byte for byte.
TEST(Encode, GivesTheDocumentedFrames) {
  const struct {
    Frame frame;
    std::vector<std::uint8_t> bytes;
  } examples[] = {
      {{wire::kRequestStart, 0x10, 0x01, {}}, {0xA5, 0x10, 0x01, 0x00, 0xBC, 0xCE}},
      {{wire::kReplyStart, 0x13, 0x82, {0x19, 0, 0, 3, 0, 0x66, 0xB2}},
       {0x5A, 0x13, 0x82, 0x07, 0x19, 0x00, 0x00, 0x03, 0x00, 0x66, 0xB2, 0xDB, 0xD3}},
      {{wire::kRequestStart, 0x15, 0x03, {0x07, 1, 0, 0, 5}},
       {0xA5, 0x15, 0x03, 0x05, 0x07, 0x01, 0x00, 0x00, 0x05, 0x9E, 0x72}},
      {{wire::kReplyStart, 0x18, 0x7F, {0x03, 0x06}},
       {0x5A, 0x18, 0x7F, 0x02, 0x03, 0x06, 0xDA, 0x15}},
      {{wire::kRequestStart, 0x1B, 0x05, {0x45, 0x52}},
       {0xA5, 0x1B, 0x05, 0x02, 0x45, 0x52, 0xA3, 0x02}},
  };
  for (const auto& e : examples) EXPECT_EQ(wire::Encode(e.frame), e.bytes);
}

TEST(FrameParser, RoundTripsAFrameFedOneByteAtATime) {
  const Frame sent{wire::kRequestStart, 7, 0x03, {25, 0, 1, 0, 102}};
  FrameParser parser(wire::kRequestStart);
  std::optional<Frame> got;
  for (std::uint8_t byte : wire::Encode(sent)) {
    EXPECT_FALSE(got.has_value());
    parser.Feed(std::span(&byte, 1));
    got = parser.Next();
  }
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->sequence, 7);
  EXPECT_EQ(got->command, 0x03);
  EXPECT_EQ(got->data, sent.data);
}

TEST(FrameParser, FindsFramesAfterGarbageAndAfterABrokenFrame) {
  const Frame first{wire::kReplyStart, 1, 0x81, {18, 0, 1, 23}};
  const Frame second{wire::kReplyStart, 2, 0x87, {}};
  auto broken = wire::Encode(first);
  broken[5] ^= 0x10;                                                  // a flipped bit in the data
  std::vector<std::uint8_t> stream = {0x00, 0x5A, 0xFF, 0x5A, 0x40};  // noise, fake starts
  stream.insert(stream.end(), broken.begin(), broken.end());
  const auto good1 = wire::Encode(first);
  const auto good2 = wire::Encode(second);
  stream.insert(stream.end(), good1.begin(), good1.end());
  stream.insert(stream.end(), good2.begin(), good2.end());

  FrameParser parser(wire::kReplyStart);
  parser.Feed(stream);
  auto a = parser.Next();
  auto b = parser.Next();
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->sequence, 1);
  EXPECT_EQ(a->data, first.data);
  EXPECT_EQ(b->sequence, 2);
  EXPECT_FALSE(parser.Next().has_value());
  EXPECT_GT(parser.Skipped(), broken.size() - 1);
}

TEST(FrameParser, IgnoresFramesOfTheOtherDirection) {
  FrameParser parser(wire::kReplyStart);
  parser.Feed(wire::Encode({wire::kRequestStart, 3, 0x07, {}}));
  EXPECT_FALSE(parser.Next().has_value());
}

}  // namespace
