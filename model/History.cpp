#include "History.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "ConfCar.h"
#include "RegularFiles.h"

namespace fs = std::filesystem;

namespace history {
namespace {

constexpr const char* kHeader = "#define start  \"Mirel ConfigFile\"";
constexpr const char* kJournalName = "journal.csv";
// "YYYY-MM-DD_HHMMSS": the part of a snapshot's name that is its time.
constexpr std::size_t kStampLength = 17;

bool IsStamp(const std::string& name) {
  if (name.size() < kStampLength + 4 || name.substr(name.size() - 4) != ".dmr") return false;
  for (std::size_t i = 0; i < kStampLength; ++i) {
    const char c = name[i];
    const bool separator = i == 4 || i == 7 || i == 10;
    if (separator ? c != (i == 10 ? '_' : '-') : (c < '0' || c > '9')) return false;
  }
  // After the time, only "_N" for a second snapshot in the same second.
  const std::string rest = name.substr(kStampLength, name.size() - 4 - kStampLength);
  return rest.empty() ||
         (rest.size() > 1 && rest[0] == '_' &&
          std::all_of(rest.begin() + 1, rest.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

std::string Taken(const std::string& name) {
  return name.substr(0, 10) + ' ' + name.substr(11, 2) + ':' + name.substr(13, 2) + ':' +
         name.substr(15, 2);
}

// The snapshot files of one ECU's folder, oldest first (names sort by time).
std::vector<fs::path> SnapshotFiles(const fs::path& ecuFolder) {
  std::vector<fs::path> files;
  std::error_code error;
  for (fs::directory_iterator it(ecuFolder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error) && IsStamp(it->path().filename().string()))
      files.push_back(it->path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

fs::path DefaultFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  fs::path base;
  if (data != nullptr && *data == '/') {
    base = data;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home != nullptr ? home : ".") / ".local" / "share";
  }
  return base / "OXT srl" / "MirelVantor" / "History";
}

std::string EcuFolderName(const ecu::Identification& id, std::string_view vehicleKey) {
  std::string name = "ecu-" + std::to_string(id.typeCode) + '-' + std::to_string(id.variant) +
                     '-' + std::to_string(id.featureFlags) + '-' + std::to_string(id.version);
  if (!vehicleKey.empty()) name += '_' + std::string(vehicleKey);
  return name;
}

fs::path JournalFile(const fs::path& folder, const ecu::Identification& id,
                     std::string_view vehicleKey) {
  return folder / EcuFolderName(id, vehicleKey) / kJournalName;
}

std::string TimeStamp(std::chrono::system_clock::time_point time) {
  const std::time_t t = std::chrono::system_clock::to_time_t(time);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d_%H%M%S", &local);
  return text;
}

std::string SnapshotName(std::chrono::system_clock::time_point time) {
  return TimeStamp(time) + ".dmr";
}

bool LooksLikeParameterFile(const fs::path& file) {
  std::string start;
  if (!regularfile::ReadStart(file, 40, &start, nullptr)) return false;
  std::string first = start.substr(0, start.find('\n'));
  if (!first.empty() && first.back() == '\r') first.pop_back();
  return first == kHeader;
}

SaveOutcome SaveSnapshot(ConfCar& store, const fs::path& folder, const ecu::Identification& id,
                         std::chrono::system_clock::time_point time, std::string_view vehicleKey) {
  SaveOutcome outcome;
  const fs::path ecuFolder = folder / EcuFolderName(id, vehicleKey);
  std::error_code error;
  fs::create_directories(ecuFolder, error);
  if (error) {
    outcome.error = "cannot create " + ecuFolder.string() + ": " + error.message();
    return outcome;
  }
  const std::string name = SnapshotName(time);
  outcome.file = ecuFolder / name;
  for (int n = 2; fs::exists(outcome.file, error); ++n)
    outcome.file = ecuFolder / (name.substr(0, kStampLength) + '_' + std::to_string(n) + ".dmr");

  const std::string previous = store.FileName();
  if (!store.SetFileName(outcome.file.string())) {
    outcome.error = "the path is too long: " + outcome.file.string();
    return outcome;
  }
  outcome.saved = store.SaveFile();
  store.SetFileName(previous);
  if (!outcome.saved) {
    outcome.error = "cannot write " + outcome.file.string();
    return outcome;
  }
  ApplyRetention(ecuFolder);
  return outcome;
}

std::vector<fs::path> ApplyRetention(const fs::path& ecuFolder, int keep) {
  std::vector<fs::path> files = SnapshotFiles(ecuFolder);
  std::vector<fs::path> removed;
  const auto surplus = static_cast<std::ptrdiff_t>(files.size()) - keep - 1;
  // The first snapshot is the car as it came in: always kept.
  for (std::ptrdiff_t i = 1; i <= surplus; ++i) {
    std::error_code error;
    if (fs::remove(files[static_cast<std::size_t>(i)], error))
      removed.push_back(files[static_cast<std::size_t>(i)]);
  }
  return removed;
}

Listing ListSnapshots(const fs::path& folder) {
  Listing listing;
  std::error_code error;
  std::vector<fs::path> ecus;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->is_directory(error)) {
      ecus.push_back(it->path());
    } else {
      listing.skipped.push_back(it->path().string() + ": not an ECU's folder, skipped");
    }
  }
  std::sort(ecus.begin(), ecus.end());
  for (const fs::path& ecuFolder : ecus) {
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(ecuFolder, error), end; !error && it != end; it.increment(error))
      entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    for (const fs::path& file : entries) {
      const std::string name = file.filename().string();
      // The journal, and the vehicle card of a car's folder (a deleted or
      // merged card's text too), belong here without being snapshots.
      if (name == kJournalName || (name.rfind("vehicle", 0) == 0 && name.size() > 4 &&
                                   name.substr(name.size() - 4) == ".txt"))
        continue;
      if (!IsStamp(name)) {
        listing.skipped.push_back(file.string() + ": not a snapshot, skipped");
      } else if (std::error_code e; !fs::is_regular_file(fs::symlink_status(file, e))) {
        listing.skipped.push_back(file.string() + ": not a regular file, skipped");
      } else if (!LooksLikeParameterFile(file)) {
        listing.skipped.push_back(file.string() + ": not a parameter file, skipped");
      } else {
        listing.snapshots.push_back({ecuFolder.filename().string(), Taken(name), file});
      }
    }
  }
  return listing;
}

}  // namespace history
