// What the vehicle configuration window does with the store when the lambda
// emulation or the level sensor is chosen, and the erase of the ECU's memory,
// apart from the widgets: each takes the store (and what it must ask the
// technician, as a function) and says what the list must show afterwards, so
// it is tried on a store with a fake link.
#pragma once

#include <array>
#include <functional>
#include <optional>

class ConfCar;

namespace ecu {
class EcuLink;
}

namespace config {

// Positions of the emulation list.
enum EmulationPosition {
  kEmulationGround = 0,        // "Emulazione Massa"
  kEmulationDisconnected = 1,  // "Sonda Sconnessa"
  kEmulationStandard = 2,      // "Onda Quadra Standard"
  kEmulationBuilt = 3,         // "Onda Quadra Costruita"
};

// The lambda emulation's high and low time in milliseconds, tri-state time in
// seconds, waves per group.
struct EmulationValues {
  int high = 0;
  int low = 0;
  int triState = 0;
  int waves = 0;
  bool operator==(const EmulationValues&) const = default;
};

// Which list position the values amount to.
int EmulationPositionOf(const EmulationValues& values);
// The values the store holds, each truncated to an integer.
EmulationValues StoredEmulation(ConfCar& store);

// The emulation window: shown with the present values, gives the new ones on
// OK and nothing on cancel.
using EmulationDialog = std::function<std::optional<EmulationValues>(const EmulationValues&)>;

struct ChoiceOutcome {
  int listPosition = 0;  // what the list shows now: what the store holds
  bool refused = false;  // the ECU refused one of the writes
};

// The emulation chosen at position: the three fixed ones are written as they
// are, the built wave as the dialog gives it (on cancel the stored values are
// written back). High, low and tri-state time and the waves are written in
// this order; the list then shows what the store holds.
ChoiceOutcome ChooseEmulation(ConfCar& store, int position, const EmulationDialog& dialog);

// Positions of the level-sensor list.
enum SensorPosition {
  kSensorOwn = 0,          // the maker's own sensor
  kSensorOhm = 1,          // "0-90 Ohm"
  kSensorNonStandard = 2,  // "Non Standard"
  kSensorReserve = 3,      // "Riserva"
  kSensorOptical = 4,      // "Ottico"
};

// The list position of what the store holds: the maker's and the 0-90 Ohm
// sensor as they are (and -1 for a type the list does not know), the reserve
// type, and every other type as non-standard, or optical when the optical
// sensor is in use.
int SensorPositionOf(ConfCar& store);

struct SensorCalibration {
  std::array<int, 6> thresholds{};
  bool descending = false;
};
// The level sensor window: shown with six thresholds (and its optical
// calculation when optical is true), gives the six fields and the descending
// flag on OK and nothing on cancel.
using CalibrationDialog =
    std::function<std::optional<SensorCalibration>(const std::array<int, 6>&, bool optical)>;

// The level sensor chosen at choice. The writes of a choice stop at the first
// one the ECU refuses, so the ECU never keeps thresholds meant for a type it
// did not take; the list then shows what the store holds.
ChoiceOutcome ChooseLevelSensor(ConfCar& store, int choice, const CalibrationDialog& dialog);

// The thresholds of the reserve-only sensor.
constexpr std::array<int, 6> kReserveThresholds = {0, 100, 128, 153, 178, 255};

// The erase command, then (when the ECU took it) wait, factory values and a
// full read. false when the ECU refused the command: nothing else happened.
bool EraseMemory(ConfCar& store, ecu::EcuLink& link, const std::function<void()>& wait);

}  // namespace config
