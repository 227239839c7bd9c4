// The store's fixed tables: slots, code words, defaults, derived flags.
#include <gtest/gtest.h>

#include <string>

#include "ConfCar.h"
#include "RecordingLink.h"

TEST(Store, MemberAddress) {
  const ConfCar store("default.dmr");
  const std::pair<int, int> cases[] = {
      {1, 0},        {2, 1},        {25, 46},      {27, 49},      {60, 10},      {61, 37},
      {54, 7},       {57, 4},       {22, 59},      {73, 69},      {74, 70},      {53, 63},
      {52, 64},      {0, kNoSlot},  {11, kNoSlot}, {72, kNoSlot}, {64, kNoSlot}, {70, kNoSlot},
      {71, kNoSlot}, {75, kNoSlot}, {-1, kNoSlot},
  };
  for (const auto& [identifier, slot] : cases)
    EXPECT_EQ(store.MemberAddress(identifier), slot) << identifier;
}

TEST(Store, EveryIdentifierHasItsOwnSlotOrNone) {
  // The image slot by slot: the identifier whose (first) value each slot holds.
  const std::pair<int, int> owners[] = {
      {0, 1},   {1, 2},   {2, 63},  {3, 62},  {4, 57},  {5, 58},  {6, 56},  {7, 54},  {8, 3},
      {9, 59},  {10, 60}, {16, 4},  {17, 51}, {18, 5},  {19, 6},  {20, 7},  {21, 8},  {22, 66},
      {23, 40}, {24, 39}, {25, 38}, {26, 36}, {27, 35}, {28, 31}, {29, 32}, {30, 33}, {31, 34},
      {33, 41}, {34, 42}, {35, 23}, {36, 24}, {37, 61}, {43, 9},  {44, 10}, {45, 17}, {46, 25},
      {49, 27}, {51, 28}, {52, 12}, {53, 13}, {54, 45}, {55, 44}, {56, 18}, {57, 48}, {58, 43},
      {59, 22}, {60, 55}, {61, 30}, {62, 19}, {63, 53}, {64, 52}, {65, 14}, {66, 15}, {67, 16},
      {68, 46}, {69, 73}, {70, 74},
  };
  const ConfCar store("default.dmr");
  std::array<int, kParameterCount> expected;
  expected.fill(kNoSlot);
  for (const auto& [slot, identifier] : owners)
    expected[static_cast<std::size_t>(identifier)] = slot;
  for (int identifier = 0; identifier < kParameterCount; ++identifier)
    EXPECT_EQ(store.MemberAddress(identifier), expected[static_cast<std::size_t>(identifier)])
        << identifier;
}

TEST(Store, EveryParameterCode) {
  for (int identifier = 0; identifier < kParameterCount; ++identifier) {
    std::uint32_t expected = static_cast<std::uint32_t>(identifier);
    switch (identifier) {
      case 0:
        expected = 256;
        break;
      case 7:
        expected = 519;
        break;
      case 25:
        expected = 12569;
        break;
      case 27:
        expected = 8475;
        break;
      case 57:
        expected = 54;
        break;
      case 60:
        expected = 24892;
        break;
      case 61:
        expected = 24893;
        break;
      case 64:
      case 65:
      case 67:
      case 68:
      case 69:
        expected = 1;
        break;
      case 66:
        expected = 57;
        break;
      case 70:
      case 71:
        expected = 22;
        break;
      case 72:
        expected = 64;
        break;
      case 73:
        expected = 66;
        break;
      case 74:
        expected = 68;
        break;
      default:
        break;
    }
    EXPECT_EQ(ConfCar::ParameterCode(identifier), expected) << identifier;
  }
}

TEST(Store, DefaultsAfterConstruction) {
  ConfCar store("default.dmr");
  EXPECT_EQ(store.FileName(), "default.dmr");
  EXPECT_FALSE(store.VariantFlag());
  const auto& image = store.RawImage();
  EXPECT_EQ(image[5], 156);
  EXPECT_EQ(image[70], 51);
  EXPECT_EQ(image[1], 50);
  EXPECT_EQ(image[9], 129);
  EXPECT_EQ(image[59], 251);
  EXPECT_EQ(image[50], 28);
  EXPECT_EQ(image[32], 0);
  EXPECT_EQ((std::array<int, 6>{image[10], image[11], image[12], image[13], image[14], image[15]}),
            (std::array<int, 6>{25, 55, 114, 161, 215, 225}));
  store.StoreRaw(1, 22);
  store.ResetDefaults();
  EXPECT_EQ(store.RawImage()[1], 50);
}

TEST(Store, DerivedFlags) {
  ConfCar store("x");
  EXPECT_FALSE(store.InvertedTps());
  EXPECT_TRUE(store.InvertedLevel());  // default level sensor 129
  for (int tps : {1, 5}) {
    store.StoreRaw(8, tps);
    EXPECT_TRUE(store.InvertedTps()) << tps;
  }
  store.StoreRaw(0, 0x20);
  for (const auto& [type, optical] : {std::pair{131, true}, {4, true}, {2, false}, {129, false}}) {
    store.StoreRaw(9, type);
    EXPECT_EQ(store.OpticalSensorInUse(), optical) << type;
  }
  store.StoreRaw(0, 0);
  EXPECT_FALSE(store.OpticalSensorInUse());
}

TEST(Store, OpticalSensorByteGoesThroughTheLink) {
  RecordingLink link;
  ConfCar store("x", &link);
  store.StoreRaw(0, 0x11);
  EXPECT_TRUE(store.SetOpticalSensor(true));
  EXPECT_EQ(link.calls.back(), (RecordingLink::Call{"write", 1, 0, 0x31}));
  EXPECT_EQ(store.RawImage()[0], 0x31);
  EXPECT_TRUE(store.SetOpticalSensor(false));
  EXPECT_EQ(store.RawImage()[0], 0x11);
}

TEST(Store, WithoutALinkNothingIsWritten) {
  ConfCar store("x");
  const auto before = store.RawImage();
  EXPECT_EQ(store.SetValue(56, 2000), 0);
  EXPECT_EQ(store.SetElement(60, 0, 3), 0.0);
  EXPECT_FALSE(store.SetOpticalSensor(true));
  EXPECT_EQ(store.RawImage(), before);
}

TEST(Store, FileNameLongerThanTheLimitIsRefused) {
  ConfCar store("default.dmr");
  EXPECT_TRUE(store.SetFileName(std::string(IoBaseData::kMaxFileNameLength, 'a')));
  EXPECT_FALSE(store.SetFileName(std::string(IoBaseData::kMaxFileNameLength + 1, 'b')));
  EXPECT_EQ(store.FileName(), std::string(IoBaseData::kMaxFileNameLength, 'a'));
}
