// The history folder: per ECU identification, a snapshot of the whole
// configuration at every connection (an ordinary parameter file named by date
// and time) and the write journal. Kept in the user's data folder, beside the
// program's other data.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "EcuLink.h"

class ConfCar;

namespace history {

// Snapshots kept per ECU besides its first one, which is never deleted.
constexpr int kKeptSnapshots = 100;

// $XDG_DATA_HOME (or ~/.local/share) / "OXT srl/MirelVantor/History".
std::filesystem::path DefaultFolder();
// The subfolder of one ECU: "ecu-T-V-F-N" from its identification; of one
// car with that ECU, the same followed by "_" and the vehicle card's key.
// Everything kept of a session (snapshots, journal, logs) goes by this name.
std::string EcuFolderName(const ecu::Identification& id, std::string_view vehicleKey = {});
std::filesystem::path JournalFile(const std::filesystem::path& folder,
                                  const ecu::Identification& id,
                                  std::string_view vehicleKey = {});
// "YYYY-MM-DD_HHMMSS" in local time: how snapshots and session logs are named.
std::string TimeStamp(std::chrono::system_clock::time_point time);
// "YYYY-MM-DD_HHMMSS.dmr" in local time.
std::string SnapshotName(std::chrono::system_clock::time_point time);
// True for a file whose first line is the parameter file header.
bool LooksLikeParameterFile(const std::filesystem::path& file);

struct SaveOutcome {
  bool saved = false;
  std::filesystem::path file;
  std::string error;  // why not, when not saved
};
// Saves the store as a new snapshot of the ECU, with the store's own save
// (the store's file name is given back afterwards), then drops the snapshots
// past the newest kKeptSnapshots, never the first.
SaveOutcome SaveSnapshot(ConfCar& store, const std::filesystem::path& folder,
                         const ecu::Identification& id, std::chrono::system_clock::time_point time,
                         std::string_view vehicleKey = {});
// The snapshots removed, oldest first.
std::vector<std::filesystem::path> ApplyRetention(const std::filesystem::path& ecuFolder,
                                                  int keep = kKeptSnapshots);

struct Snapshot {
  std::string ecu;    // the ECU's folder name (with the car's key, when it has a card)
  std::string taken;  // "YYYY-MM-DD HH:MM:SS"
  std::filesystem::path file;
};
struct Listing {
  std::vector<Snapshot> snapshots;   // by ECU, oldest first
  std::vector<std::string> skipped;  // one line per file that is not a snapshot
};
// Every snapshot in the folder; anything else there is named in skipped.
Listing ListSnapshots(const std::filesystem::path& folder);

}  // namespace history
