// The full read and write: exact call order and codes, progress, arrays.
#include <gtest/gtest.h>

#include <vector>

#include "ConfCar.h"
#include "RecordingLink.h"

namespace {

using Call = RecordingLink::Call;

Call Read(std::uint32_t code) {
  return {"read", code, 0, 0};
}

}  // namespace

TEST(FullTransfer, ReadAllReadsEveryGroupInOrderWithProgress) {
  RecordingLink link;
  ConfCar store("x", &link);
  std::vector<std::pair<int, bool>> progress;
  store.SetProgressCallback([&](int percent, bool add) {
    progress.emplace_back(percent, add);
    // Progress arrives between groups, while the read is going on.
    EXPECT_FALSE(link.calls.empty());
  });
  for (int address = 0; address < 256; ++address)
    link.memory[address] = {address, address + 1, 2, 3, 4, 5};
  store.StoreRaw(69, 4);
  store.StoreRaw(70, 51);

  EXPECT_EQ(store.ReadAll(), 0);

  const std::vector<Call> expected = {
      Read(1),  Read(2),  Read(62),     Read(54),     Read(63), Read(58), Read(56),  Read(54),
      Read(3),  Read(59), Read(4),      Read(51),     Read(5),  Read(6),  Read(519), Read(8),
      Read(39), Read(38), Read(36),     Read(35),     Read(31), Read(32), Read(33),  Read(34),
      Read(41), Read(42), Read(0x613C), Read(57),     Read(40), Read(23), Read(24),  Read(0x613D),
      Read(9),  Read(10), Read(0x3119), Read(0x211B), Read(28), Read(17), Read(12),  Read(13),
      Read(45), Read(44), Read(18),     Read(48),     Read(43), Read(22), Read(55),  Read(30),
      Read(19), Read(52), Read(53),     Read(14),     Read(15), Read(16), Read(46)};
  EXPECT_EQ(link.calls, expected);

  std::vector<std::pair<int, bool>> expectedProgress(11, {9, true});
  expectedProgress.emplace_back(100, false);
  EXPECT_EQ(progress, expectedProgress);

  const auto& image = store.RawImage();
  EXPECT_EQ(image[4], 54);  // 57 and 54 share address 54
  EXPECT_EQ(image[7], 54);
  EXPECT_EQ(image[22], 57);  // 66 lives at address 57
  EXPECT_EQ((std::vector<int>{image[46], image[47], image[48]}), (std::vector<int>{25, 26, 2}));
  EXPECT_EQ(image[69], 0);  // not read: cleared
  EXPECT_EQ(image[70], 0);
  EXPECT_EQ(store.GetValue(73), 0);
  EXPECT_NEAR(static_cast<double>(store.GetValue(74)), static_cast<double>(TemperatureOfRaw(0)),
              1e-9);
}

TEST(FullTransfer, FailedReadsKeepTheirSlotsAndTheReadGoesOn) {
  RecordingLink link;
  link.memory[2] = {22};
  ConfCar store("x", &link);
  store.ReadAll();
  EXPECT_EQ(store.RawImage()[1], 22);
  EXPECT_EQ(store.RawImage()[3], 12);  // address 62 not answered: default kept
  EXPECT_EQ(link.calls.size(), 55u);
}

TEST(FullTransfer, WriteAllWritesInOrderAndTheLevelTableOnlyForCalibratedSensors) {
  for (const auto& [levelType, withTable] : {std::pair{131, true}, {4, true}, {129, false}}) {
    RecordingLink link;
    link.refusedCodes = {2, 25};  // answers are ignored: the write goes on
    ConfCar store("x", &link);
    store.StoreRaw(9, levelType);
    EXPECT_EQ(store.WriteAll(), 0);

    const auto& image = store.RawImage();
    std::vector<Call> expected;
    auto scalar = [&](int identifier) {
      expected.push_back({"write", ConfCar::ParameterCode(identifier), 0,
                          image[static_cast<std::size_t>(store.MemberAddress(identifier))]});
    };
    auto elements = [&](int identifier, int count) {
      for (int i = 0; i < count; ++i)
        expected.push_back({"element", static_cast<std::uint32_t>(identifier), i,
                            image[static_cast<std::size_t>(store.MemberAddress(identifier) + i)]});
    };
    for (int identifier : {1,  2,  62, 57, 58, 63, 56, 54, 3,  59, 4,  51, 5,  6,  7, 8,
                           39, 38, 36, 35, 31, 32, 33, 34, 41, 42, 66, 40, 23, 24, 9, 10})
      scalar(identifier);
    elements(25, 3);
    elements(27, 2);
    for (int identifier :
         {28, 17, 12, 13, 45, 44, 18, 48, 43, 22, 55, 30, 19, 52, 53, 14, 15, 16, 46})
      scalar(identifier);
    elements(61, 6);
    if (withTable) elements(60, 6);
    EXPECT_EQ(link.calls, expected) << levelType;
    EXPECT_EQ(link.calls[3], (Call{"write", 54, 0, 5}));  // 57 goes as address 54
    EXPECT_EQ(link.calls[14], (Call{"write", 519, 0, 0}));
  }
}

TEST(FullTransfer, ReadArrayFillsStoreAndBuffer) {
  RecordingLink link;
  link.memory[60] = {1, 2, 3, 4, 5, 6};
  ConfCar store("x", &link);
  int buffer[6] = {};
  EXPECT_EQ(store.ReadArray(60, buffer), 1);
  EXPECT_EQ(link.calls.back(), (Call{"read", 0x613C, 0, 0}));
  EXPECT_EQ((std::vector<int>(buffer, buffer + 6)), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(store.GetElement(60, 5), 6);
  EXPECT_EQ(store.ReadArray(25, buffer), 0);
}

TEST(FullTransfer, WriteArrayIsAllOrNothing) {
  RecordingLink link;
  ConfCar store("x", &link);
  const int values[6] = {10, 20, 30, 40, 50, 60};
  const auto before = store.RawImage();

  link.refuseElementFrom = 3;  // the fourth element is refused
  EXPECT_EQ(store.WriteArray(60, values), 0);
  ASSERT_EQ(link.calls.size(), 4u);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(link.calls[static_cast<std::size_t>(i)], (Call{"element", 60, i, values[i]}));
  EXPECT_EQ(store.RawImage(), before);

  link.refuseElementFrom = -1;
  link.calls.clear();
  EXPECT_EQ(store.WriteArray(61, values), 1);
  EXPECT_EQ(link.calls.size(), 6u);
  EXPECT_EQ(store.GetElement(61, 2), 30);
  EXPECT_EQ(store.WriteArray(25, values), 0);

  // A value that is not a raw byte: nothing sent, nothing stored.
  const auto kept = store.RawImage();
  link.calls.clear();
  for (const int wrong : {256, -1}) {
    const int table[6] = {10, 20, 30, 40, 50, wrong};
    EXPECT_EQ(store.WriteArray(61, table), 0) << wrong;
  }
  EXPECT_TRUE(link.calls.empty());
  EXPECT_EQ(store.RawImage(), kept);
}
