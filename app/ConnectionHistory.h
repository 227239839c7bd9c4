// What the program keeps of each ECU it works on: a snapshot of the whole
// configuration after every full read, and the journal of every write the
// store sends, both in the folder of the car chosen at the connection (the
// ECU's plain folder when no vehicle card is chosen). Neither ever stops the
// work: a failure is only reported.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "EcuLink.h"
#include "VehicleCard.h"
#include "WriteJournal.h"

class ConfCar;

class ConnectionHistory {
 public:
  // Told once per failure, with a line saying what could not be kept.
  using FailureReport = std::function<void(const std::string& why)>;
  // Asked at a connection when the ECU has vehicle cards: the key of the car
  // chosen, or an empty key for another car (the ECU's plain folder).
  using VehicleChooser = std::function<std::string(const std::vector<vehicle::StoredCard>&)>;

  explicit ConnectionHistory(std::filesystem::path folder);
  ConnectionHistory(const ConnectionHistory&) = delete;
  ConnectionHistory& operator=(const ConnectionHistory&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  void SetFailureReport(FailureReport report);
  void SetVehicleChooser(VehicleChooser chooser) { chooser_ = std::move(chooser); }

  // The store's writes go to the journal of the ECU last read.
  void Watch(ConfCar& store);
  void Unwatch(ConfCar& store);
  // After a full read of the ECU identified by id: the car it sits in (asked
  // when it has cards), its journal from now on, and a snapshot of what was
  // read. false when the snapshot was not saved.
  bool AfterFullRead(ConfCar& store, const ecu::Identification& id);
  // The card chosen now, for the rest of the session (a card made from the
  // menu): the journal goes to its folder, and a snapshot of the present
  // configuration is kept there. An empty key goes back to the plain folder.
  bool UseVehicle(ConfCar& store, const std::string& key);
  // Closes the journal file until the next UseVehicle (its file is about to
  // move).
  void ReleaseJournal() { journal_.SetFile({}); }

  // The chosen car's key; empty when none.
  const std::string& VehicleKey() const { return vehicleKey_; }
  // The folder where this session is kept; empty before the first full read.
  std::filesystem::path SessionFolder() const;
  // Where the live view records this session: "Logs" beside the history
  // folder, in a folder named as the session's history folder is; empty
  // before the first full read.
  std::filesystem::path LogFolder() const;
  // The time of the session's first full read, which its snapshot is stamped
  // with too: the report's changes start there.
  const std::string& SessionStart() const { return sessionStart_; }

 private:
  bool KeepSnapshot(ConfCar& store, std::chrono::system_clock::time_point taken);

  std::filesystem::path folder_;
  JournalWriter journal_;
  FailureReport report_;
  VehicleChooser chooser_;
  std::optional<ecu::Identification> ecu_;
  std::string vehicleKey_;
  std::string sessionStart_;
};
