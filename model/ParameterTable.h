// The fixed tables behind the store: where each identifier lives in the image,
// its code word for the link, the factory defaults and the option lists.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "Parameters.h"

namespace params {

// Slot of an identifier's own value, or -1 for identifiers without one
// (including those that live inside a shared byte: 64..72).
int OwnSlot(int identifier);
// Slot whose byte the identifier reads and writes: the own slot, or the shared
// option byte (slot 0) for 64, 65, 67, 68, 69 and the deceleration byte
// (slot 59) for 70 and 71. -1 when there is none.
int StorageSlot(int identifier);
// Number of values the identifier holds: 3, 2, 6, 6 for the arrays 25, 27,
// 60, 61; 1 for every other identifier with a slot; 0 without one.
int ElementCount(int identifier);
// Code word naming the identifier to the link; 0 outside 0..74.
std::uint32_t Code(int identifier);
// The option list of 2, 3, 4, 59 and 63; empty for the others.
std::span<const int> OptionList(int identifier);
// Position of code in the identifier's list, -1 when absent.
int PositionInList(int identifier, int code);

constexpr int kTpsTypeSlot = 8;
constexpr int kLevelSensorTypeSlot = 9;
constexpr int kGasStartTemperatureSlot = 70;

// One value the full write sends: a single value (element -1) or one element.
struct WriteStep {
  int identifier = 0;
  int element = -1;
};
// Every value the full write sends, in its order; the level sensor table (60)
// comes last and is sent only when the sensor type uses it.
std::vector<WriteStep> FullWriteOrder();

// Factory defaults of the 71 slots.
const std::array<std::int32_t, 71>& Defaults();

// Level sensor types that use the calibration table (and, with the option
// byte's bit 5, mean an optical sensor).
constexpr bool IsCalibratedLevelSensor(std::int32_t typeCode) {
  return typeCode == 131 || typeCode == 4;
}

}  // namespace params
