#include "ParameterTable.h"

#include "ConfCar.h"

namespace params {
namespace {

// Slot 32 is unused and slot 50 (second element of the idle lambda reference)
// has no factory value of its own: 0 and the first element's 28.
constexpr std::array<std::int32_t, kSlotCount> kDefaults = {
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
  const Parameter* p = Find(identifier);
  return p != nullptr && p->count > 0 ? p->slot : -1;
}

int StorageSlot(int identifier) {
  const Parameter* p = Find(identifier);
  return p != nullptr ? p->slot : -1;
}

int ElementCount(int identifier) {
  const Parameter* p = Find(identifier);
  return p != nullptr ? p->count : 0;
}

std::uint32_t Code(int identifier) {
  const Parameter* p = Find(identifier);
  return p != nullptr ? p->code : 0u;
}

std::span<const int> OptionList(int identifier) {
  const Parameter* p = Find(identifier);
  return p != nullptr ? Options(p->id) : std::span<const int>{};
}

int PositionInList(int identifier, int code) {
  const auto list = OptionList(identifier);
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] == code) return static_cast<int>(i);
  }
  return -1;
}

const std::array<std::int32_t, kSlotCount>& Defaults() {
  return kDefaults;
}

}  // namespace params
