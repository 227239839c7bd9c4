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
// (including the bit fields that live inside a shared byte).
int OwnSlot(int identifier);
// Slot whose byte the identifier reads and writes: the own slot, or the shared
// byte of a bit field (the option byte, the deceleration byte). -1 when there
// is none.
int StorageSlot(int identifier);
// Number of values the identifier holds: an array's element count, 1 for
// every other identifier with a slot of its own, 0 without one.
int ElementCount(int identifier);
// Code word naming the identifier to the link; 0 outside the table.
std::uint32_t Code(int identifier);
// The option list of a list parameter; empty for the others.
std::span<const int> OptionList(int identifier);
// Position of code in the identifier's list, -1 when absent.
int PositionInList(int identifier, int code);

constexpr int kTpsTypeSlot = Row(Id::TpsType).slot;
constexpr int kLevelSensorTypeSlot = Row(Id::LevelSensorType).slot;
constexpr int kGasStartTemperatureSlot = Row(Id::GasStartTemperature).slot;

// One value the full write sends: a single value (element -1) or one element.
struct WriteStep {
  int identifier = 0;
  int element = -1;
};
// Every value the full write sends, in its order; the level sensor
// calibration comes last and is sent only when the sensor type uses it.
std::vector<WriteStep> FullWriteOrder();

// Factory defaults of the image's slots.
const std::array<std::int32_t, kSlotCount>& Defaults();

// Level sensor types that use the calibration table (and, with the option
// byte's bit 5, mean an optical sensor).
constexpr bool IsCalibratedLevelSensor(std::int32_t typeCode) {
  return typeCode == 131 || typeCode == 4;
}

}  // namespace params
