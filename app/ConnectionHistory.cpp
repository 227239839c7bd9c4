#include "ConnectionHistory.h"

#include <chrono>

#include "ConfCar.h"
#include "History.h"

ConnectionHistory::ConnectionHistory(std::filesystem::path folder) : folder_(std::move(folder)) {}

void ConnectionHistory::SetFailureReport(FailureReport report) {
  report_ = report;
  journal_.SetFailureReport(std::move(report));
}

void ConnectionHistory::Watch(ConfCar& store) {
  store.SetWriteObserver(&journal_);
}

bool ConnectionHistory::AfterFullRead(ConfCar& store, const ecu::Identification& id) {
  journal_.SetFile(history::JournalFile(folder_, id));
  const auto outcome = history::SaveSnapshot(store, folder_, id, std::chrono::system_clock::now());
  if (!outcome.saved && report_) report_(outcome.error);
  return outcome.saved;
}
