#include "ParameterTable.h"

#include "ConfCar.h"

namespace params {
namespace {

// Own slot of each identifier 0..74 (-1: none).
constexpr std::array<int, kParameterCount> kOwnSlot = {
    -1, 0,  1,  8,  16, 18, 19, 20, 21, 43,  // 0..9
    44, -1, 52, 53, 65, 66, 67, 45, 56, 62,  // 10..19
    -1, -1, 59, 35, 36, 46, -1, 49, 51, -1,  // 20..29
    61, 28, 29, 30, 31, 27, 26, -1, 25, 24,  // 30..39
    23, 33, 34, 58, 55, 54, 68, -1, 57, -1,  // 40..49
    -1, 17, 64, 63, 7,  60, 6,  4,  5,  9,   // 50..59
    10, 37, 3,  2,  -1, -1, 22, -1, -1, -1,  // 60..69
    -1, -1, -1, 69, 70,                      // 70..74
};

constexpr std::array<int, 7> kIgnitionTypes = {51, 36, 37, 22, 24, 97, 50};
constexpr std::array<int, 6> kTpsTypes = {0, 1, 4, 5, 2, 8};
constexpr std::array<int, 6> kLambdaTypes = {0, 6, 10, 7, 11, 16};
constexpr std::array<int, 8> kLevelSensorTypes = {129, 2, 4, 131, 193, 66, 68, 195};
constexpr std::array<int, 4> kChangeOverTypes = {0, 1, 2, 4};

// Slot 32 is unused and slot 50 (second element of the idle lambda reference)
// has no factory value of its own: 0 and the first element's 28.
constexpr std::array<std::int32_t, kImageSlots> kDefaults = {
    0,   50,  0,   12,  5,   156, 60,  20,  0,   129,  // 0..9
    25,  55,  114, 161, 215, 225, 0,   1,   18,  18,   // 10..19
    0,   1,   0,   100, 100, 255, 255, 0,   25,  25,   // 20..29
    40,  40,  0,   12,  80,  102, 7,   20,  50,  100,  // 30..39
    150, 200, 250, 60,  80,  0,   0,   102, 178, 28,   // 40..49
    28,  28,  40,  60,  1,   0,   5,   30,  0,   251,  // 50..59
    0,   40,  250, 0,   0,   20,  80,  40,  4,   0,    // 60..69
    51,                                                // 70
};

}  // namespace

int OwnSlot(int identifier) {
  if (identifier < 0 || identifier >= kParameterCount) return -1;
  return kOwnSlot[static_cast<std::size_t>(identifier)];
}

int StorageSlot(int identifier) {
  switch (identifier) {
    case 64:
    case 65:
    case 67:
    case 68:
    case 69:
      return kOptionSlot;
    case 70:
    case 71:
      return kDecelerationSlot;
    default:
      return OwnSlot(identifier);
  }
}

int ElementCount(int identifier) {
  switch (identifier) {
    case 25:
      return 3;
    case 27:
      return 2;
    case 60:
    case 61:
      return 6;
    default:
      return OwnSlot(identifier) < 0 ? 0 : 1;
  }
}

std::uint32_t Code(int identifier) {
  switch (identifier) {
    case 0:
      return 256;
    case 7:
      return 519;
    case 25:
      return 0x3119;
    case 27:
      return 0x211B;
    case 57:
      return 54;
    case 60:
      return 0x613C;
    case 61:
      return 0x613D;
    case 64:
    case 65:
    case 67:
    case 68:
    case 69:
      return 1;
    case 66:
      return 57;
    case 70:
    case 71:
      return 22;
    case 72:
      return 64;
    case 73:
      return 66;
    case 74:
      return 68;
    default:
      return identifier > 0 && identifier < kParameterCount ? static_cast<std::uint32_t>(identifier)
                                                            : 0u;
  }
}

std::span<const int> OptionList(int identifier) {
  switch (identifier) {
    case 2:
      return kIgnitionTypes;
    case 3:
      return kTpsTypes;
    case 4:
      return kLambdaTypes;
    case 59:
      return kLevelSensorTypes;
    case 63:
      return kChangeOverTypes;
    default:
      return {};
  }
}

int PositionInList(int identifier, int code) {
  const auto list = OptionList(identifier);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == code) return static_cast<int>(i);
  }
  return -1;
}

const std::array<std::int32_t, kImageSlots>& Defaults() {
  return kDefaults;
}

}  // namespace params
