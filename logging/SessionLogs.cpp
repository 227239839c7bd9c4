#include "SessionLogs.h"

#include <algorithm>
#include <map>
#include <string>
#include <system_error>

#include "History.h"

namespace fs = std::filesystem;

namespace logging {
namespace {

struct KeptLog {
  std::string ecu;   // the ECU's folder name without a car's key
  std::string name;  // the file's name: its start time
  fs::path file;
  std::uintmax_t size = 0;
};

// The ECU a folder belongs to: its name up to the car's key.
std::string EcuOf(const std::string& folderName) {
  return folderName.substr(0, folderName.find('_'));
}

std::vector<KeptLog> ListLogs(const fs::path& logs) {
  std::vector<KeptLog> found;
  std::error_code error;
  for (fs::directory_iterator folders(logs, error), end; !error && folders != end;
       folders.increment(error)) {
    std::error_code inner;
    if (!folders->is_directory(inner)) continue;
    const std::string ecu = EcuOf(folders->path().filename().string());
    for (fs::directory_iterator files(folders->path(), inner); !inner && files != end;
         files.increment(inner)) {
      std::error_code ignored;
      if (!files->is_regular_file(ignored) || files->path().extension() != ".mlg") continue;
      const std::uintmax_t size = files->file_size(ignored);
      found.push_back({ecu, files->path().filename().string(), files->path(),
                       ignored ? 0 : size});
    }
  }
  // Names are start times: oldest first, across every folder.
  std::sort(found.begin(), found.end(), [](const KeptLog& a, const KeptLog& b) {
    return a.name != b.name ? a.name < b.name : a.file < b.file;
  });
  return found;
}

}  // namespace

fs::path LogsFolderBeside(const fs::path& historyFolder) {
  return historyFolder.parent_path() / "Logs";
}

fs::path EcuLogFolder(const fs::path& logs, const ecu::Identification& id,
                      std::string_view vehicleKey) {
  return logs / history::EcuFolderName(id, vehicleKey);
}

fs::path NewLogFile(const fs::path& folder, std::chrono::system_clock::time_point start) {
  const std::string stamp = history::TimeStamp(start);
  fs::path file = folder / (stamp + ".mlg");
  std::error_code error;
  for (int n = 2; fs::exists(file, error); ++n)
    file = folder / (stamp + '_' + std::to_string(n) + ".mlg");
  return file;
}

std::vector<fs::path> ApplyLogRetention(const fs::path& logs, const fs::path& spare,
                                        int keepPerEcu, std::uintmax_t maxBytes) {
  const std::vector<KeptLog> all = ListLogs(logs);
  std::map<std::string, int> perEcu;
  std::uintmax_t total = 0;
  for (const KeptLog& log : all) {
    ++perEcu[log.ecu];
    total += log.size;
  }
  std::vector<fs::path> removed;
  for (const KeptLog& log : all) {
    const bool tooMany = perEcu[log.ecu] > keepPerEcu;
    if (!tooMany && total <= maxBytes) continue;
    std::error_code error;
    if (fs::equivalent(log.file, spare, error)) continue;
    if (!fs::remove(log.file, error)) continue;
    removed.push_back(log.file);
    --perEcu[log.ecu];
    total -= log.size;
  }
  return removed;
}

}  // namespace logging
