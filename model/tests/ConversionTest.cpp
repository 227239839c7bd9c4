// Unit conversions both ways, and the write-through rule: the store changes
// only when the link reports that the ECU took the value.
#include <gtest/gtest.h>

#include "ConfCar.h"
#include "LiveBlocks.h"
#include "Parameters.h"
#include "RecordingLink.h"

namespace {

struct ReadCase {
  int identifier;
  int slot;
  std::int32_t raw;
  long double expected;
};

class Conversion : public ::testing::Test {
 protected:
  RecordingLink link;
  ConfCar store{"default.dmr", &link};
};

TEST_F(Conversion, GetValueConvertsEveryRule) {
  const ReadCase cases[] = {
      {1, 0, 0x2B, 0x2B},  // option byte as it is
      {2, 1, 50, 6},       // ignition list position
      {2, 1, 99, -1},      // code not in the list
      {3, 8, 8, 5},        // last TPS entry
      {4, 16, 16, 5},      // last lambda entry
      {59, 9, 195, 7},     // last level sensor entry
      {63, 2, 0xF4, 3},    // change-over type uses the low nibble only
      {5, 18, 18, 360},    // ms
      {57, 4, 5, 100},
      {7, 20, 70, 1},  // (70*20) div 1000
      {8, 21, 3, 3},
      {9, 43, 60, 9},     // 21 - 60 div 5
      {16, 67, 106, 0},   // 21 - 21
      {16, 67, 110, -1},  // beyond the scale: negative
      {23, 35, 102, 2.0L},
      {24, 36, 255, 5.0L},
      {38, 25, 204, 4.0L},
      {41, 33, 7, 17100},
      {56, 6, 60, 2000},
      {56, 6, 0, 0},
      {56, 6, 255, 0},
      {51, 17, 3, 15},
      {58, 5, 255, -1000},
      {64, 0, 0x10, 1},
      {65, 0, 0x08, 1},
      {67, 0, 0x01, 1},
      {68, 0, 0x04, 1},
      {69, 0, 0x02, 1},
      {69, 0, 0xFD, 0},
      {59, 9, 2, 1},  // a level sensor that is not inverted
      {66, 22, 40, 40},
      {70, 59, 251, 1},  // (251 & 7) - 2
      {70, 59, 0, -2},
      {71, 59, 251, 248 * 20},
      {73, 69, 4, 1},
      {22, 59, 251, 251},
      {40, 23, 100, 100},
      // the other members of each rule's group, so none is given a neighbour's rule
      {6, 19, 18, 360},
      {10, 44, 80, 5},
      {12, 52, 40, 13},
      {13, 53, 60, 9},
      {14, 65, 20, 17},
      {15, 66, 80, 5},
      {28, 51, 28, 0.55L},
      {30, 61, 102, 2.0L},
      {48, 57, 30, 4000},
      {62, 3, 12, 10000},
      {54, 7, 20, 0.4L},
      {17, 45, 7, 7},
      {19, 62, 250, 250},
      {36, 26, 200, 200},
      {46, 68, 4, 4},
      {55, 60, 9, 9},
      {74, 70, 51, TemperatureOfRaw(51)},
  };
  for (const auto& c : cases) {
    store.StoreRaw(c.slot, c.raw);
    EXPECT_NEAR(static_cast<double>(store.GetValue(c.identifier)), static_cast<double>(c.expected),
                1e-9)
        << "identifier " << c.identifier << " raw " << c.raw;
  }
}

TEST_F(Conversion, VoltsFromRawAreWholeHundredths) {
  const std::pair<std::int32_t, double> cases[] = {{0, 0.0},   {1, 0.02},  {51, 1.0},
                                                   {102, 2.0}, {28, 0.55}, {255, 5.0}};
  for (const auto& [raw, volts] : cases) {
    store.StoreRaw(35, raw);
    EXPECT_DOUBLE_EQ(static_cast<double>(store.GetValue(23)), volts) << raw;
  }
}

// The windows, the live view and the check show stored volts in whole
// hundredths: every byte of a volts parameter gives back the hundredths it
// was read in, though the stored value may lie just below them.
TEST_F(Conversion, StoredVoltsGiveBackTheirWholeHundredths) {
  for (params::Id id : {params::Id::IdleTpsHysteresis, params::Id::LambdaReferenceOffset}) {
    for (std::int32_t raw = 0; raw <= 255; ++raw) {
      store.StoreRaw(params::Row(id).slot, raw);
      const auto volts = static_cast<double>(store.GetValue(params::Number(id)));
      EXPECT_EQ(params::WholeHundredths(volts), live::CentivoltsOfRaw(raw))
          << params::Row(id).name << " raw " << raw;
    }
  }
}

TEST_F(Conversion, GetValueWithoutAReadingGivesTheMarker) {
  for (int identifier : {0, 11, 20, 21, 25, 26, 27, 29, 37, 47, 49, 50, 60, 61, 72, 75, 200, -3})
    EXPECT_EQ(store.GetValue(identifier), kMissingValue) << identifier;
}

TEST_F(Conversion, ComputedParametersAreReadAfresh) {
  link.memory[40] = {77};
  link.memory[53] = {5};
  EXPECT_EQ(store.GetValue(40), 77);
  EXPECT_EQ(store.GetValue(53), 5);
  ASSERT_EQ(link.calls.size(), 2u);
  EXPECT_EQ(link.calls[0], (RecordingLink::Call{"read", 40, 0, 0}));
  EXPECT_EQ(link.calls[1], (RecordingLink::Call{"read", 53, 0, 0}));
  // A failed read keeps the slot.
  link.failReads = true;
  EXPECT_EQ(store.GetValue(40), 77);
}

struct WriteCase {
  int identifier;
  double value;
  std::uint32_t code;
  std::int32_t sent;
  int slot;
  std::int32_t before = 0;  // slot content before, for the rules that keep bits
};

TEST_F(Conversion, SetValueSendsTheRawValueAndStoresIt) {
  const WriteCase cases[] = {
      {2, 3, 2, 22, 1},
      {3, 5, 3, 8, 8},
      {4, 1, 4, 6, 16},
      {59, 1, 59, 2, 9},
      {63, 3, 63, 0xA4, 2, 0xA1},  // keeps the high nibble
      {5, 360, 5, 18, 18},
      {6, 370, 6, 18, 19},
      {57, 100, 54, 5, 4},
      {7, 2, 519, 100, 20},
      {54, 0.4, 54, 20, 7},
      {8, 3.9, 8, 3, 21},
      {9, 9, 9, 60, 43},
      {23, 2.0, 23, 102, 35},
      {24, 1.0, 24, 51, 36},
      {24, 5.0, 24, 255, 36},
      {28, 0.57, 28, 28, 51},  // 0.57*100 falls just below 57: 56*255*0.002
      {30, 1.0, 30, 51, 61},
      {38, 4.0, 38, 204, 25},
      {41, 17100, 41, 7, 33},
      {56, 2000, 56, 60, 6},
      {56, 499, 56, 255, 6},
      {62, 500, 62, 240, 3},
      {51, 15, 51, 3, 17},
      {58, 15, 58, 156, 5},
      {74, 60, 68, 51, 70},
      {64, 1, 1, 16, 0},
      {65, 1, 1, 0x1F, 0, 0x17},
      {67, 0, 1, 0x1E, 0, 0x1F},
      {66, 40, 57, 40, 22},
      {70, 1, 22, 0xFB, 59, 0xF8},    // band keeps the high bits
      {71, 100, 22, 0x05, 59, 0x05},  // (100 div 20) AND 248 = 0, low bits kept
      {71, 4960, 22, 0xFB, 59, 0x03},
      {73, 1, 66, 4, 69},
      {40, 120, 40, 120, 23},
      {53, 0, 53, 0, 63, 3},
      {10, 5, 10, 80, 44},
      {12, 13, 12, 40, 52},
      {16, 17, 16, 20, 67},
      {48, 4000, 48, 30, 57},
      {55, 7, 55, 7, 60},
      {36, 200, 36, 200, 26},
  };
  store.StoreRaw(9, 2);  // a level sensor that is not inverted
  for (const auto& c : cases) {
    store.StoreRaw(c.slot, c.before);
    link.calls.clear();
    ASSERT_EQ(store.SetValue(c.identifier, c.value), 1) << "identifier " << c.identifier;
    ASSERT_EQ(link.calls.size(), 1u) << c.identifier;
    EXPECT_EQ(link.calls[0], (RecordingLink::Call{"write", c.code, 0, c.sent})) << c.identifier;
    EXPECT_EQ(store.RawImage()[static_cast<std::size_t>(c.slot)], c.sent) << c.identifier;
  }
}

TEST_F(Conversion, InvertedSensorsMirrorTheirValues) {
  store.StoreRaw(8, 1);  // TPS "lineare 5-0V": inverted
  store.StoreRaw(25, 51);
  EXPECT_DOUBLE_EQ(static_cast<double>(store.GetValue(38)), 4.0);
  ASSERT_EQ(store.SetValue(38, 4.0), 1);
  EXPECT_EQ(link.calls.back().value, 51);

  store.StoreRaw(9, 131);  // bit 7: inverted level
  store.StoreRaw(22, 55);
  EXPECT_EQ(store.GetValue(66), 200);
  ASSERT_EQ(store.SetValue(66, 200), 1);
  EXPECT_EQ(link.calls.back().value, 55);
}

TEST_F(Conversion, RefusalsLeaveTheStoreAsItWas) {
  link.refusedCodes = {56, 1, 22};
  const auto before = store.RawImage();
  EXPECT_EQ(store.SetValue(56, 2000), 0);
  EXPECT_EQ(store.SetValue(64, 1), 0);
  EXPECT_EQ(store.SetValue(70, 2), 0);
  EXPECT_FALSE(store.SetOpticalSensor(true));
  EXPECT_EQ(store.RawImage(), before);
  EXPECT_EQ(link.calls.size(), 4u);
}

TEST_F(Conversion, ValuesNoRuleCanSendAreRefusedWithoutTraffic) {
  const auto before = store.RawImage();
  const std::pair<int, double> cases[] = {
      {2, 7},
      {2, -1},
      {63, 4},
      {59, 8},  // list positions out of range
      {1, 5},
      {0, 1},
      {25, 1},
      {60, 1},
      {11, 1},
      {75, 1},  // no write rule
      {5, 6000},
      {8, 256},
      {8, -1},
      {9, 22},  // raw would not fit a byte
      {23, std::numeric_limits<double>::quiet_NaN()},
      {8, 1e300},
      // not a value: neither clamped to a temperature nor read as a set bit
      {58, std::numeric_limits<double>::quiet_NaN()},
      {74, -std::numeric_limits<double>::infinity()},
      {64, std::numeric_limits<double>::quiet_NaN()},
      {73, std::numeric_limits<double>::infinity()},
      {72, std::numeric_limits<double>::quiet_NaN()},
  };
  for (const auto& [identifier, value] : cases)
    EXPECT_EQ(store.SetValue(identifier, value), 0) << identifier << " " << value;
  EXPECT_TRUE(link.calls.empty());
  EXPECT_EQ(store.RawImage(), before);
  EXPECT_EQ(store.SetValue(-1, 3), -1);
}

TEST_F(Conversion, CustomerCodeIsACommandThatStoresNothing) {
  link.refusedCodes = {64};
  const auto before = store.RawImage();
  EXPECT_EQ(store.SetValue(72, 123.9), 1);
  EXPECT_EQ(link.calls.back(), (RecordingLink::Call{"write", 64, 0, 123}));
  EXPECT_EQ(store.RawImage(), before);
}

TEST_F(Conversion, ElementsConvertBothWays) {
  struct ElementCase {
    int identifier;
    int index;
    double value;
    std::uint32_t code;
    std::int32_t raw;
    int slot;
    double readBack;
  };
  const ElementCase cases[] = {
      {25, 1, 2.0, 0x3119, 102, 47, 2.0},  {25, 2, 3.5, 0x3119, 178, 48, 3.5},
      {27, 1, 0.57, 0x211B, 28, 50, 0.55}, {60, 5, 225, 0x613C, 225, 15, 225},
      {61, 0, 20, 0x613D, 20, 37, 20},
  };
  for (const auto& c : cases) {
    link.calls.clear();
    ASSERT_EQ(store.SetElement(c.identifier, c.index, c.value), 1.0) << c.identifier;
    EXPECT_EQ(link.calls.back(), (RecordingLink::Call{"element", c.code, c.index, c.raw}));
    EXPECT_EQ(store.RawImage()[static_cast<std::size_t>(c.slot)], c.raw);
    EXPECT_NEAR(static_cast<double>(store.GetElement(c.identifier, c.index)), c.readBack, 1e-9);
  }
  store.StoreRaw(8, 5);  // inverted TPS
  ASSERT_EQ(store.SetElement(25, 0, 4.0), 1.0);
  EXPECT_EQ(link.calls.back().value, 51);
  EXPECT_DOUBLE_EQ(static_cast<double>(store.GetElement(25, 0)), 4.0);
}

TEST_F(Conversion, ElementOutsideItsArrayIsRefused) {
  link.refuseElementFrom = 0;
  const auto before = store.RawImage();
  EXPECT_EQ(store.SetElement(61, 2, 30), 0.0);  // refused by the ECU
  link.calls.clear();
  EXPECT_EQ(store.SetElement(25, 3, 1.0), 0.0);
  EXPECT_EQ(store.SetElement(27, -1, 1.0), 0.0);
  EXPECT_EQ(store.SetElement(23, 0, 1.0), 0.0);
  EXPECT_EQ(store.SetElement(60, 0, 300), 0.0);
  EXPECT_TRUE(link.calls.empty());
  EXPECT_EQ(store.RawImage(), before);
  EXPECT_EQ(store.GetElement(25, 3), kMissingValue);
  EXPECT_EQ(store.GetElement(23, 0), kMissingValue);
}

}  // namespace
