// Where session logs go and which old ones make room for new ones.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "History.h"
#include "SessionLogs.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, std::size_t bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << std::string(bytes, 'x');
}

std::vector<std::string> Left(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file()) names.push_back(fs::relative(e.path(), folder).string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(SessionLogs, NamedLikeTheHistoryBesideIt) {
  TempFolder folder;
  EXPECT_EQ(logging::LogsFolderBeside(folder / "data/History"), folder / "data/Logs");
  ecu::Identification id;
  id.typeCode = 18;
  id.version = 23;
  EXPECT_EQ(logging::EcuLogFolder(folder / "Logs", id),
            folder / "Logs" / history::EcuFolderName(id));
  EXPECT_EQ(logging::EcuLogFolder(folder / "Logs", id, "AB123CD").filename().string(),
            history::EcuFolderName(id, "AB123CD"));

  // A second session in the same second does not replace the first.
  const fs::path ecu = folder / "Logs/ecu-18-0-0-23";
  const auto start = std::chrono::system_clock::now();
  const fs::path first = logging::NewLogFile(ecu, start);
  EXPECT_EQ(first.filename().string(), history::TimeStamp(start) + ".mlg");
  Write(first, 10);
  const fs::path second = logging::NewLogFile(ecu, start);
  EXPECT_EQ(second.filename().string(), history::TimeStamp(start) + "_2.mlg");
}

TEST(SessionLogs, RetentionKeepsTheNewestWithinCountAndBytes) {
  struct Case {
    const char* what;
    int keepPerEcu;
    std::uintmax_t maxBytes;
    std::vector<std::string> left;
  };
  // Two ECUs, one of them with a car folder of its own (the same ECU), and
  // files that are not logs.
  const std::vector<std::pair<std::string, std::size_t>> files = {
      {"ecu-1-0-0-1/2026-01-01_100000.mlg", 100},
      {"ecu-1-0-0-1_CAR/2026-01-02_100000.mlg", 100},
      {"ecu-1-0-0-1/2026-01-03_100000.mlg", 100},
      {"ecu-2-0-0-1/2026-01-01_090000.mlg", 100},
      {"ecu-2-0-0-1/2026-01-04_090000.mlg", 100},
      {"ecu-2-0-0-1/notes.txt", 5000},
  };
  const std::vector<Case> cases = {
      {"room enough", 200, 10000,
       {"ecu-1-0-0-1/2026-01-01_100000.mlg", "ecu-1-0-0-1/2026-01-03_100000.mlg",
        "ecu-1-0-0-1_CAR/2026-01-02_100000.mlg", "ecu-2-0-0-1/2026-01-01_090000.mlg",
        "ecu-2-0-0-1/2026-01-04_090000.mlg", "ecu-2-0-0-1/notes.txt"}},
      {"two per ECU, its cars counted with it", 2, 10000,
       {"ecu-1-0-0-1/2026-01-03_100000.mlg", "ecu-1-0-0-1_CAR/2026-01-02_100000.mlg",
        "ecu-2-0-0-1/2026-01-01_090000.mlg", "ecu-2-0-0-1/2026-01-04_090000.mlg",
        "ecu-2-0-0-1/notes.txt"}},
      {"bytes: the oldest of all go first", 200, 250,
       {"ecu-1-0-0-1/2026-01-03_100000.mlg", "ecu-2-0-0-1/2026-01-04_090000.mlg",
        "ecu-2-0-0-1/notes.txt"}},
      {"the log being written stays even over the limit", 1, 0,
       {"ecu-1-0-0-1/2026-01-03_100000.mlg", "ecu-2-0-0-1/notes.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    for (const auto& [name, size] : files) Write(folder / name, size);
    logging::ApplyLogRetention(folder.Path(), folder / "ecu-1-0-0-1/2026-01-03_100000.mlg",
                               c.keepPerEcu, c.maxBytes);
    EXPECT_EQ(Left(folder.Path()), c.left);
  }
  // No logs folder yet: nothing to do.
  TempFolder empty;
  EXPECT_TRUE(logging::ApplyLogRetention(empty / "Logs", {}).empty());
}
