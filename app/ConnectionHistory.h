// What the program keeps of each ECU it works on: a snapshot of the whole
// configuration after every full read, and the journal of every write the
// store sends. Neither ever stops the work: a failure is only reported.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "EcuLink.h"
#include "WriteJournal.h"

class ConfCar;

class ConnectionHistory {
 public:
  // Told once per failure, with a line saying what could not be kept.
  using FailureReport = std::function<void(const std::string& why)>;

  explicit ConnectionHistory(std::filesystem::path folder);
  ConnectionHistory(const ConnectionHistory&) = delete;
  ConnectionHistory& operator=(const ConnectionHistory&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  void SetFailureReport(FailureReport report);

  // The store's writes go to the journal of the ECU last read.
  void Watch(ConfCar& store);
  // After a full read of the ECU identified by id: its journal from now on,
  // and a snapshot of what was read. false when the snapshot was not saved.
  bool AfterFullRead(ConfCar& store, const ecu::Identification& id);

 private:
  std::filesystem::path folder_;
  JournalWriter journal_;
  FailureReport report_;
};
