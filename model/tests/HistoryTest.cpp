// The history folder: snapshots by ECU and time, the retention rule, and a
// listing that skips what does not belong there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "ConfCar.h"
#include "History.h"
#include "RecordingLink.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct TempFolder {
  fs::path path;
  explicit TempFolder(const char* name) : path(fs::temp_directory_path() / name) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempFolder() { fs::remove_all(path); }
};

const ecu::Identification kEcu{18, 0, 1, 23};

}  // namespace

TEST(History, SnapshotIsAParameterFileNamedByTimeAndTheStoreKeepsItsName) {
  TempFolder folder("mv-history-save");
  RecordingLink link;
  link.connected = true;
  ConfCar store("customer.dmr", &link);
  const auto now = std::chrono::system_clock::now();
  const auto first = history::SaveSnapshot(store, folder.path, kEcu, now);
  ASSERT_TRUE(first.saved) << first.error;
  EXPECT_EQ(first.file.parent_path().filename(), "ecu-18-0-1-23");
  EXPECT_EQ(first.file.filename(), history::SnapshotName(now));
  EXPECT_TRUE(history::LooksLikeParameterFile(first.file));
  EXPECT_EQ(store.FileName(), "customer.dmr");
  // A second one in the same second gets a name of its own.
  const auto second = history::SaveSnapshot(store, folder.path, kEcu, now);
  ASSERT_TRUE(second.saved);
  EXPECT_NE(second.file, first.file);
  EXPECT_EQ(history::ListSnapshots(folder.path).snapshots.size(), 2u);
}

TEST(History, SaveFailureIsToldNotThrown) {
  TempFolder folder("mv-history-blocked");
  std::ofstream(folder.path / history::EcuFolderName(kEcu)) << "a file in the way";
  ConfCar store("customer.dmr");
  const auto outcome =
      history::SaveSnapshot(store, folder.path, kEcu, std::chrono::system_clock::now());
  EXPECT_FALSE(outcome.saved);
  EXPECT_FALSE(outcome.error.empty());
  EXPECT_EQ(store.FileName(), "customer.dmr");
}

TEST(History, RetentionKeepsTheFirstAndTheNewest) {
  TempFolder folder("mv-history-retention");
  ConfCar store("x");
  auto time = std::chrono::system_clock::now() - 1000h;
  for (int i = 0; i < 8; ++i, time += 1h)
    ASSERT_TRUE(history::SaveSnapshot(store, folder.path, kEcu, time).saved);
  const fs::path ecuFolder = folder.path / history::EcuFolderName(kEcu);
  const auto before = history::ListSnapshots(folder.path).snapshots;
  const auto removed = history::ApplyRetention(ecuFolder, 3);
  EXPECT_EQ(removed.size(), 4u);
  const auto after = history::ListSnapshots(folder.path).snapshots;
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[0].file, before[0].file);  // the car as it came in
  EXPECT_EQ(after[1].file, before[5].file);
  EXPECT_EQ(after[3].file, before[7].file);
}

TEST(History, ListingSkipsForeignAndBrokenFilesWithALine) {
  TempFolder folder("mv-history-foreign");
  ConfCar store("x");
  ASSERT_TRUE(
      history::SaveSnapshot(store, folder.path, kEcu, std::chrono::system_clock::now()).saved);
  const fs::path ecuFolder = folder.path / history::EcuFolderName(kEcu);
  std::ofstream(ecuFolder / "notes.txt") << "hello";
  std::ofstream(ecuFolder / "2020-01-01_000000.dmr") << "not a parameter file\n";
  std::ofstream(ecuFolder / "journal.csv") << "time\n";
  std::ofstream(folder.path / "stray.dmr") << "x";
  const auto listing = history::ListSnapshots(folder.path);
  EXPECT_EQ(listing.snapshots.size(), 1u);
  EXPECT_EQ(listing.skipped.size(), 3u);
  EXPECT_TRUE(history::ListSnapshots(folder.path / "none").snapshots.empty());
}

// A FIFO named like a snapshot would block whoever opens it for reading until
// a writer came: the listing names it and goes on.
TEST(History, ListingSkipsAFifoNamedLikeASnapshotWithoutWaiting) {
  TempFolder folder("mv-history-fifo");
  ConfCar store("x");
  ASSERT_TRUE(
      history::SaveSnapshot(store, folder.path, kEcu, std::chrono::system_clock::now()).saved);
  const fs::path fifo = folder.path / history::EcuFolderName(kEcu) / "2020-01-01_000000.dmr";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto listing = std::async(std::launch::async, [&] { return history::ListSnapshots(folder.path); });
  if (listing.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    std::ofstream(fifo) << "";  // lets the listing go, so the test can end
    FAIL() << "the listing waited on the FIFO";
  }
  const auto result = listing.get();
  EXPECT_EQ(result.snapshots.size(), 1u);
  ASSERT_EQ(result.skipped.size(), 1u);
  EXPECT_NE(result.skipped[0].find("not a regular file"), std::string::npos) << result.skipped[0];
  EXPECT_FALSE(history::LooksLikeParameterFile(fifo));
}

