// The bytes of a log against the format's fact sheet: header, descriptors,
// info text, record and marker blocks, all big-endian.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <vector>

#include "EcuChannels.h"
#include "LogWriter.h"
#include "MlgFormat.h"
#include "TempFolder.h"

namespace {

using logging::Channel;
using logging::DisplayStyle;
using logging::ValueType;

std::vector<std::uint8_t> Padded(const std::string& text, std::size_t width) {
  std::vector<std::uint8_t> out(text.begin(), text.end());
  out.resize(width, 0);
  return out;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t at,
                                std::size_t size) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(at),
          bytes.begin() + static_cast<std::ptrdiff_t>(at + size)};
}

TEST(MlgLayout, HeaderDescriptorsInfoAndBlocksByteForByte) {
  TempFolder folder;
  const std::array<Channel, 2> channels = {{
      {ValueType::U32, "Time", "s", DisplayStyle::Float, 0.001f, 0, 3},
      {ValueType::S16, "Lambda", "V", DisplayStyle::OnOff, 0.01f, -5.0f, 2},
  }};
  logging::LogWriter writer;
  ASSERT_TRUE(writer.Open(folder / "a.mlg", 0x5F5E1234u, channels, "ECU 1"));
  writer.AppendRecord(0.7, std::array<double, 2>{0.7, 0.81});
  writer.AppendMarker(0.75, "write 56");
  writer.Close();
  const std::vector<std::uint8_t> b = Bytes(folder / "a.mlg");

  // Header: magic, version 1, start time, info offset 22 + 2 * 55 = 132,
  // data offset 132 + "ECU 1" + NUL = 138, record length 4 + 2, 2 fields.
  const std::vector<std::uint8_t> header = {'M', 'L', 'V', 'L', 'G', 0,    0, 1,   0x5F, 0x5E, 0x12,
                                            0x34, 0,  132, 0,   0,   0,    138, 0, 6, 0,    2};
  ASSERT_GE(b.size(), 138u + 4 + 6 + 1 + 4 + 50);
  EXPECT_EQ(Slice(b, 0, 22), header);

  // The second descriptor: type 3 (S16), name, units, style 4, scale 0.01f
  // (0x3C23D70A), transform -5.0f (0xC0A00000), 2 digits.
  const std::size_t d = 22 + 55;
  EXPECT_EQ(b[d], 3);
  EXPECT_EQ(Slice(b, d + 1, 34), Padded("Lambda", 34));
  EXPECT_EQ(Slice(b, d + 35, 10), Padded("V", 10));
  EXPECT_EQ(b[d + 45], 4);
  EXPECT_EQ(Slice(b, d + 46, 4), (std::vector<std::uint8_t>{0x3C, 0x23, 0xD7, 0x0A}));
  EXPECT_EQ(Slice(b, d + 50, 4), (std::vector<std::uint8_t>{0xC0, 0xA0, 0x00, 0x00}));
  EXPECT_EQ(b[d + 54], 2);
  // The first one, type 4 (U32) with scale 0.001f (0x3A83126F).
  EXPECT_EQ(b[22], 4);
  EXPECT_EQ(Slice(b, 22 + 46, 4), (std::vector<std::uint8_t>{0x3A, 0x83, 0x12, 0x6F}));

  EXPECT_EQ(Slice(b, 132, 6), (std::vector<std::uint8_t>{'E', 'C', 'U', ' ', '1', 0}));

  // Record: type 0, counter 0, stamp 70000 mod 65536 = 4464 (0x1170); Time
  // 700 ms (0x2BC), Lambda 0.81 V / 0.01 - (-5) = 86 (0x56); check byte.
  const std::vector<std::uint8_t> record = {0, 0, 0x11, 0x70, 0, 0, 0x02, 0xBC, 0, 0x56,
                                            (0x02 + 0xBC + 0x56) & 0xFF};
  EXPECT_EQ(Slice(b, 138, 11), record);
  // Marker: type 1, counter 1, stamp 75000 mod 65536 = 9464 (0x24F8), text.
  const std::size_t m = 138 + 11;
  EXPECT_EQ(Slice(b, m, 4), (std::vector<std::uint8_t>{1, 1, 0x24, 0xF8}));
  EXPECT_EQ(Slice(b, m + 4, 50), Padded("write 56", 50));
  EXPECT_EQ(b.size(), m + 54);
}

TEST(MlgLayout, TheEcuChannelsStartWithTimeAndFitTheirFields) {
  const auto channels = logging::EcuChannels();
  ASSERT_EQ(channels.size(), logging::kEcuChannelCount);
  EXPECT_EQ(channels[0], (Channel{ValueType::U32, "Time", "s", DisplayStyle::Float, 0.001f, 0, 3}));
  for (const Channel& c : channels) {
    EXPECT_LE(c.name.size(), logging::kNameSize) << c.name;
    EXPECT_LE(c.units.size(), logging::kUnitsSize) << c.name;
  }
  const std::vector<std::uint8_t> preamble = logging::EncodePreamble(0, channels, "x");
  EXPECT_EQ(preamble.size(), 22 + 55 * channels.size() + 2);
}

TEST(MlgLayout, TextFieldsAreCutAtAWholeCharacter) {
  std::vector<std::uint8_t> out;
  logging::PutText(out, "ab\u2192", 4);  // the arrow takes three bytes: it does not fit
  EXPECT_EQ(out, (std::vector<std::uint8_t>{'a', 'b', 0, 0}));
}

TEST(MlgLayout, BlockStampWrapsEvery655Milliseconds) {
  const std::pair<double, int> cases[] = {
      {0, 0}, {0.00001, 1}, {0.65535, 65535}, {0.65536, 0}, {1.0, 100000 - 65536}, {-1, 0}};
  for (const auto& [time, stamp] : cases) EXPECT_EQ(logging::BlockStamp(time), stamp) << time;
}

}  // namespace
