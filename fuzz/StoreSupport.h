// Shared by the parameter-file targets: a store whose every slot holds a
// value no file can give, and the number of writes of a whole-store write.
#pragma once

#include "ConfCar.h"
#include "ParameterTable.h"

namespace fuzz {

// 1000 + slot: not a raw byte, so any slot a load took is seen.
inline void Mark(ConfCar& store) {
  for (int slot = 0; slot < kImageSlots; ++slot) store.StoreRaw(slot, 1000 + slot);
}

// WriteAll's writes for a store: 62, and the level table's six more when the
// level sensor type uses it.
inline std::size_t WholeStoreWrites(const ConfCar& store) {
  return 62 + (params::IsCalibratedLevelSensor(store.RawImage()[params::kLevelSensorTypeSlot]) ? 6 : 0);
}

}  // namespace fuzz
