#include "VehicleHandlers.h"

#include <cmath>

#include "ConfCar.h"
#include "Parameters.h"

namespace config {
namespace {

// Written in this order.
constexpr params::Id kEmulationIds[] = {params::Id::EmulationHighTime, params::Id::EmulationLowTime,
                                        params::Id::EmulationTristateTime,
                                        params::Id::EmulationWaveCount};
constexpr int kStandardMs = 360;
constexpr params::Id kSensorType = params::Id::LevelSensorType;
constexpr params::Id kSensorThresholds = params::Id::LevelSensorCalibration;
constexpr int kLargestRaw = 255;
// Type positions the non-standard and optical sensors are stored with.
constexpr int kRisingType = 2;
constexpr int kFallingType = 3;
constexpr int kReserveType = 6;

int Truncated(long double value) {
  return static_cast<int>(std::trunc(value));
}

std::array<int, 6> Inverted(std::array<int, 6> values) {
  for (int& v : values) v = kLargestRaw - v;
  return values;
}

// Writes the type, the thresholds and the optical flag in the order the
// sensor needs, stopping at the first refusal; true when all were accepted.
bool WriteCalibration(ConfCar& store, const SensorCalibration& calibration, bool optical) {
  std::array<int, 6> values = calibration.thresholds;
  int type = kRisingType;
  if (calibration.descending) {
    values = Inverted(values);
    type = kFallingType;
  }
  if (store.SetValue(kSensorType, type) != 1) return false;
  if (optical) return store.SetOpticalSensor(true) && store.WriteArray(kSensorThresholds, values.data()) == 1;
  return store.WriteArray(kSensorThresholds, values.data()) == 1 && store.SetOpticalSensor(false);
}

}  // namespace

int EmulationPositionOf(const EmulationValues& e) {
  if (e.waves == 1 && e.high == 0 && e.low != 0 && e.triState == 0) return kEmulationDisconnected;
  if (e.waves == 1 && e.high == 0 && e.low == 0 && e.triState != 0) return kEmulationGround;
  if (e.waves == 1 && e.high == kStandardMs && e.low == kStandardMs && e.triState == 0)
    return kEmulationStandard;
  return kEmulationBuilt;
}

EmulationValues StoredEmulation(ConfCar& store) {
  const auto stored = [&store](params::Id id) {
    return Truncated(store.GetValue(id));
  };
  return {stored(params::Id::EmulationHighTime), stored(params::Id::EmulationLowTime),
          stored(params::Id::EmulationTristateTime), stored(params::Id::EmulationWaveCount)};
}

ChoiceOutcome ChooseEmulation(ConfCar& store, int position, const EmulationDialog& dialog) {
  EmulationValues e;
  switch (position) {
    case kEmulationGround:
      e = {0, 0, 1, 1};
      break;
    case kEmulationDisconnected:
      e = {0, kStandardMs, 0, 1};
      break;
    case kEmulationStandard:
      e = {kStandardMs, kStandardMs, 0, 1};
      break;
    default:
      e = StoredEmulation(store);
      if (const std::optional<EmulationValues> built = dialog(e)) e = *built;
      break;
  }
  const int values[] = {e.high, e.low, e.triState, e.waves};
  bool refused = false;
  for (int i = 0; i < 4; ++i) refused = store.SetValue(kEmulationIds[i], values[i]) != 1 || refused;
  return {EmulationPositionOf(StoredEmulation(store)), refused};
}

int SensorPositionOf(ConfCar& store) {
  const int p = Truncated(store.GetValue(kSensorType));
  if (p == kSensorOwn || p == kSensorOhm || p == -1) return p;
  if (p == kReserveType) return kSensorReserve;
  return store.OpticalSensorInUse() ? kSensorOptical : kSensorNonStandard;
}

ChoiceOutcome ChooseLevelSensor(ConfCar& store, int choice, const CalibrationDialog& dialog) {
  bool accepted = true;
  switch (choice) {
    case kSensorOwn:
    case kSensorOhm:
      accepted = store.SetValue(kSensorType, choice) == 1 && store.SetOpticalSensor(false);
      break;
    case kSensorReserve:
      accepted = store.SetValue(kSensorType, kReserveType) == 1 &&
                 store.WriteArray(kSensorThresholds, kReserveThresholds.data()) == 1 &&
                 store.SetOpticalSensor(false);
      break;
    case kSensorNonStandard:
    case kSensorOptical: {
      const int p = Truncated(store.GetValue(kSensorType));
      std::array<int, 6> shown{};
      store.ReadArray(kSensorThresholds, shown.data());
      // The inverted types keep their thresholds upside down.
      if (p == kSensorOwn || p == kFallingType) shown = Inverted(shown);
      const bool optical = choice == kSensorOptical;
      if (const std::optional<SensorCalibration> calibration = dialog(shown, optical))
        accepted = WriteCalibration(store, *calibration, optical);
      break;
    }
    default:
      break;
  }
  return {SensorPositionOf(store), !accepted};
}

bool EraseMemory(ConfCar& store, ecu::EcuLink& link, const std::function<void()>& wait) {
  // Through the store when it talks over this link, so that the write
  // journal keeps the erase and every value it changed; the same sequence.
  if (store.Link() == &link) return store.EraseMemory(wait);
  if (!link.WriteParameterElement(0, 0, 0)) return false;
  if (wait) wait();
  store.ResetDefaults();
  store.ReadAll();
  return true;
}

}  // namespace config
