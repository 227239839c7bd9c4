#include "ConnectionHistory.h"

#include <chrono>

#include "ConfCar.h"
#include "History.h"
#include "SessionLogs.h"

ConnectionHistory::ConnectionHistory(std::filesystem::path folder) : folder_(std::move(folder)) {}

void ConnectionHistory::SetFailureReport(FailureReport report) {
  report_ = report;
  journal_.SetFailureReport(std::move(report));
}

void ConnectionHistory::Watch(ConfCar& store) {
  store.AddWriteObserver(&journal_);
}

void ConnectionHistory::Unwatch(ConfCar& store) {
  store.RemoveWriteObserver(&journal_);
}

std::filesystem::path ConnectionHistory::SessionFolder() const {
  if (!ecu_) return {};
  return vehicle::CarFolder(folder_, *ecu_, vehicleKey_);
}

std::filesystem::path ConnectionHistory::LogFolder() const {
  if (!ecu_) return {};
  return logging::EcuLogFolder(logging::LogsFolderBeside(folder_), *ecu_, vehicleKey_);
}

bool ConnectionHistory::AfterFullRead(ConfCar& store, const ecu::Identification& id) {
  const auto now = std::chrono::system_clock::now();
  // A reload of the same ECU stays with the car chosen for it.
  const bool sameEcu = ecu_ && ecu_->typeCode == id.typeCode && ecu_->variant == id.variant &&
                       ecu_->featureFlags == id.featureFlags && ecu_->version == id.version;
  if (!sameEcu) {
    ecu_ = id;
    vehicleKey_.clear();
    sessionStart_ = JournalTime(now);
    const auto cards = vehicle::ListCards(folder_, id);
    if (!cards.empty() && chooser_) vehicleKey_ = chooser_(cards);
    if (!vehicleKey_.empty()) {
      const auto chosen = vehicle::Choose(folder_, id, vehicleKey_, now);
      if (!chosen.done) {
        if (report_) report_(chosen.error);
        vehicleKey_.clear();
      }
    }
  }
  journal_.SetFile(history::JournalFile(folder_, id, vehicleKey_));
  // The snapshot is the configuration as read, stamped with the session's
  // start: a car chosen slowly must not move it, or the report of "this
  // session" and the report since its snapshot would name different times.
  return KeepSnapshot(store, now);
}

bool ConnectionHistory::UseVehicle(ConfCar& store, const std::string& key) {
  if (!ecu_) return false;
  if (!key.empty()) {
    const auto chosen = vehicle::Choose(folder_, *ecu_, key, std::chrono::system_clock::now());
    if (!chosen.done) {
      if (report_) report_(chosen.error);
      return false;
    }
  }
  vehicleKey_ = key;
  journal_.SetFile({});  // opened afresh: its file may have moved meanwhile
  journal_.SetFile(history::JournalFile(folder_, *ecu_, vehicleKey_));
  return KeepSnapshot(store, std::chrono::system_clock::now());
}

bool ConnectionHistory::KeepSnapshot(ConfCar& store, std::chrono::system_clock::time_point taken) {
  const auto outcome = history::SaveSnapshot(store, folder_, *ecu_, taken, vehicleKey_);
  if (!outcome.saved && report_) report_(outcome.error);
  return outcome.saved;
}
