// The parameter file, byte for byte, and how a load treats damaged files.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "ConfCar.h"
#include "ParameterFileReader.h"
#include "ParameterTable.h"
#include "RecordingLink.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

class ParameterFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("param-file-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
  }
  void TearDown() override {
    fs::permissions(folder, fs::perms::owner_all);
    fs::remove_all(folder);
  }
  fs::path File(const char* name) const { return folder / name; }
  std::size_t WriteCount() const { return link.Writes().size(); }

  fs::path folder;
  RecordingLink link;
};

constexpr std::size_t kWholeStoreWrites =
    32 + 3 + 2 + 19 + 6;  // level table not written by default

}  // namespace

TEST_F(ParameterFile, DefaultsOfflineMatchTheGoldenFile) {
  ConfCar store(File("defaults.dmr").string(), &link);
  ASSERT_TRUE(store.SaveFile());
  EXPECT_EQ(ReadBytes(File("defaults.dmr")),
            ReadBytes(fs::path(MODEL_FIXTURES) / "defaults-offline.dmr"));
  EXPECT_TRUE(link.calls.empty());  // offline: no identification read
}

TEST_F(ParameterFile, IdentificationLine) {
  ConfCar store(File("a.dmr").string(), &link);
  store.SetVariantFlag(true);
  ASSERT_TRUE(store.SaveFile());
  EXPECT_NE(ReadBytes(File("a.dmr")).find("\r\n18 2 1 0\r\n"), std::string::npos);

  link.connected = true;
  link.identification = {255, 2, 3, 41};
  ASSERT_TRUE(store.SaveFile());
  EXPECT_NE(ReadBytes(File("a.dmr")).find("\r\n255 2 3 41\r\n"), std::string::npos);
}

TEST_F(ParameterFile, RoundTripRestoresEverySlotAndWritesAll) {
  ConfCar saved(File("trip.dmr").string(), &link);
  for (int slot = 0; slot < kImageSlots; ++slot) saved.StoreRaw(slot, (slot * 37 + 11) % 256);
  saved.StoreRaw(9, 131);  // calibrated level sensor: the table is written too
  ASSERT_TRUE(saved.SaveFile());

  ConfCar loaded(File("trip.dmr").string(), &link);
  loaded.StoreRaw(69, 1);
  loaded.StoreRaw(70, 2);
  link.calls.clear();
  EXPECT_TRUE(loaded.LoadFile());
  for (int slot = 0; slot < 69; ++slot) {
    if (slot == 32) continue;  // the unused slot is not in the file
    EXPECT_EQ(loaded.RawImage()[static_cast<std::size_t>(slot)],
              saved.RawImage()[static_cast<std::size_t>(slot)])
        << slot;
  }
  EXPECT_EQ(loaded.RawImage()[69], 1);  // 73 and 74 are not in the file
  EXPECT_EQ(loaded.RawImage()[70], 2);
  EXPECT_EQ(WriteCount(), kWholeStoreWrites + 6);
}

TEST_F(ParameterFile, DamagedFilesLoadWhatTheyCanAndAlwaysWriteAll) {
  ConfCar source(File("good.dmr").string(), &link);
  for (int slot = 0; slot < kImageSlots; ++slot) source.StoreRaw(slot, 200);
  ASSERT_TRUE(source.SaveFile());
  const std::string good = ReadBytes(File("good.dmr"));
  auto firstLines = [&](int count) {
    std::size_t at = 0;
    for (int i = 0; i < count; ++i) at = good.find('\n', at) + 1;
    return good.substr(0, at);
  };
  auto replaceLine = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };

  struct Case {
    const char* name;
    std::string bytes;
    int lastLoadedIdentifier;  // identifiers up to this one take 200; later keep defaults
  };
  const Case cases[] = {
      {"truncated after line 40", firstLines(40), 37},
      {"long header", std::string(80, '#') + good.substr(good.find('\n')), -1},
      {"longest header", std::string(79, '#') + good.substr(good.find('\r')), 72},
      {"not a number", replaceLine("\r\n10 10 200\r\n", "\r\n10 10 abc\r\n"), 9},
      {"empty file", "", -1},
  };
  for (const auto& c : cases) {
    WriteBytes(File("damaged.dmr"), c.bytes);
    ConfCar store(File("damaged.dmr").string(), &link);
    const ConfCar defaults("x");
    link.calls.clear();
    EXPECT_TRUE(store.LoadFile()) << c.name;
    for (int identifier = 0; identifier <= 72; ++identifier) {
      const int slot = store.MemberAddress(identifier);
      if (slot == kNoSlot) continue;
      const auto expected = identifier <= c.lastLoadedIdentifier
                                ? 200
                                : defaults.RawImage()[static_cast<std::size_t>(slot)];
      EXPECT_EQ(store.RawImage()[static_cast<std::size_t>(slot)], expected)
          << c.name << ": " << identifier;
    }
    EXPECT_EQ(WriteCount(), kWholeStoreWrites) << c.name;
  }
}

TEST_F(ParameterFile, MarkersAndOutOfRangeValuesKeepTheCurrentValue) {
  ConfCar store(File("m.dmr").string(), &link);
  ASSERT_TRUE(store.SaveFile());
  std::string text = ReadBytes(File("m.dmr"));
  text.replace(text.find("\r\n2 2 50\r\n"), 10, "\r\n2 2 800000\r\n");
  text.replace(text.find("\r\n62 62 12\r\n"), 12, "\r\n62 62 999\r\n");
  text.replace(text.find("\r\n3 3 0\r\n"), 9, "\r\n3 3 5\r\n");
  WriteBytes(File("m.dmr"), text);
  store.StoreRaw(1, 22);
  store.StoreRaw(3, 7);
  store.LoadFile();
  EXPECT_EQ(store.RawImage()[1], 22);
  EXPECT_EQ(store.RawImage()[3], 7);
  EXPECT_EQ(store.RawImage()[8], 5);  // the lines after them still load
}

TEST_F(ParameterFile, ArrayLineClaimingTooManyElementsStopsAtTheArray) {
  ConfCar store(File("big.dmr").string(), &link);
  ASSERT_TRUE(store.SaveFile());
  std::string text = ReadBytes(File("big.dmr"));
  // Identifier 27 claims 9 elements; the slot after it (28) must not change.
  const std::string from = "\r\n27 8475 28 28 \r\n";
  text.replace(text.find(from), from.size(),
               "\r\n27 " + std::to_string(0x9100 + 27) + " 1 2 3 4 5 6 7 8 9 \r\n");
  text.replace(text.find("\r\n28 28 28\r\n"), 12, "\r\n28 28 33\r\n");
  WriteBytes(File("big.dmr"), text);
  store.LoadFile();
  EXPECT_EQ(store.RawImage()[49], 1);
  EXPECT_EQ(store.RawImage()[50], 2);
  EXPECT_EQ(store.RawImage()[51], 33);  // the next line is read as itself
}

TEST_F(ParameterFile, AnEndlessDeviceIsNoFileToLoad) {
  // A device that never ends its first line: the load refuses it as no
  // regular file instead of gathering the line forever.
  const fs::path endless = "/dev/zero";
  if (!fs::exists(endless)) GTEST_SKIP() << "no endless device here";
  ConfCar store(endless.string(), &link);
  const auto before = store.RawImage();
  EXPECT_FALSE(store.LoadFile());
  EXPECT_EQ(store.RawImage(), before);
  EXPECT_EQ(WriteCount(), kWholeStoreWrites);
}

TEST_F(ParameterFile, MissingFileChangesNothingButStillWritesAll) {
  ConfCar store(File("absent.dmr").string(), &link);
  const auto before = store.RawImage();
  EXPECT_FALSE(store.LoadFile());
  EXPECT_EQ(store.RawImage(), before);
  EXPECT_EQ(WriteCount(), kWholeStoreWrites);
}

TEST_F(ParameterFile, FailedSaveKeepsTheOldFile) {
  ConfCar store(File("keep.dmr").string(), &link);
  WriteBytes(File("keep.dmr"), "old contents");
  if (::geteuid() != 0) {  // root ignores folder permissions
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(store.SaveFile());
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(File("keep.dmr")), "old contents");
  }
  ASSERT_TRUE(store.SetFileName((folder / "no-such-folder" / "x.dmr").string()));
  EXPECT_FALSE(store.SaveFile());
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// What a save finds under the file's name. A regular file is replaced whole
// and keeps its permissions; a symlink is written through to its target and
// stays a link; a FIFO, a device or a folder is refused with the reason and
// left as it was. Nothing else appears in the folder (no temporary file left).
TEST_F(ParameterFile, SaveWritesOnlyRegularFilesAndThroughSymlinks) {
  ConfCar source(File("source.dmr").string());
  ASSERT_TRUE(source.SaveFile());
  const std::string saved = ReadBytes(File("source.dmr"));
  fs::remove(File("source.dmr"));

  enum class Expect { Saved, SavedThroughLink, Refused };
  const struct {
    const char* name;
    std::function<void(const fs::path&)> make;  // what is there before the save
    Expect expect;
    const char* reason;                         // part of the refusal
  } cases[] = {
      {"new name", [](const fs::path&) {}, Expect::Saved, ""},
      {"regular file",
       [](const fs::path& at) {
         WriteBytes(at, "old contents");
         fs::permissions(at, fs::perms::owner_read | fs::perms::owner_write |
                                 fs::perms::group_read);
       },
       Expect::Saved, ""},
      {"symlink to a file",
       [](const fs::path& at) {
         WriteBytes(at.parent_path() / "target.dmr", "old contents");
         fs::create_symlink("target.dmr", at);
       },
       Expect::SavedThroughLink, ""},
      {"dangling symlink",
       [](const fs::path& at) { fs::create_symlink("target.dmr", at); },
       Expect::SavedThroughLink, ""},
      {"FIFO", [](const fs::path& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); },
       Expect::Refused, "FIFO"},
      {"symlink to a device",
       [](const fs::path& at) { fs::create_symlink("/dev/null", at); },
       Expect::Refused, "a device"},
      {"folder", [](const fs::path& at) { fs::create_directory(at); }, Expect::Refused,
       "a folder"},
      {"symlink loop", [](const fs::path& at) { fs::create_symlink(at.filename(), at); },
       Expect::Refused, "too many symbolic links"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path place = folder / c.name;
    fs::remove_all(place);
    fs::create_directories(place);
    const fs::path at = place / "car.dmr";
    c.make(at);
    std::error_code error;
    const auto typeBefore = fs::symlink_status(at, error).type();
    const auto permsBefore = fs::status(at, error).permissions();
    ConfCar store(at.string());
    const bool ok = store.SaveFile();
    if (c.expect == Expect::Refused) {
      EXPECT_FALSE(ok);
      EXPECT_NE(store.SaveError().find(c.reason), std::string::npos) << store.SaveError();
      EXPECT_EQ(fs::symlink_status(at, error).type(), typeBefore) << "left as it was";
      EXPECT_EQ(std::distance(fs::directory_iterator(place), fs::directory_iterator()), 1)
          << "nothing left beside it";
      continue;
    }
    ASSERT_TRUE(ok) << store.SaveError();
    EXPECT_EQ(store.SaveError(), "");
    EXPECT_EQ(ReadBytes(at), saved);
    if (c.expect == Expect::SavedThroughLink) {
      EXPECT_TRUE(fs::is_symlink(at)) << "the link stays a link";
      EXPECT_EQ(ReadBytes(place / "target.dmr"), saved);
      EXPECT_EQ(std::distance(fs::directory_iterator(place), fs::directory_iterator()), 2);
    } else {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(at)));
      if (typeBefore == fs::file_type::regular) {
        EXPECT_EQ(fs::status(at).permissions(), permsBefore) << "permissions kept";
      }
      EXPECT_EQ(std::distance(fs::directory_iterator(place), fs::directory_iterator()), 1);
    }
  }
}

// A FIFO or a device under a parameter file's name is no file to load: the
// load says it could not open it at once, instead of waiting for a writer.
TEST_F(ParameterFile, LoadNeverWaitsOnAFifo) {
  ASSERT_EQ(::mkfifo(File("pipe.dmr").c_str(), 0600), 0);
  ConfCar store(File("pipe.dmr").string(), &link);
  const auto before = store.RawImage();
  EXPECT_FALSE(store.LoadFile());
  EXPECT_EQ(store.RawImage(), before);
  std::string problem;
  EXPECT_FALSE(store.LoadWholeFile(&problem));
  EXPECT_NE(problem.find("FIFO"), std::string::npos) << problem;
}

// The two files that once passed ecuctl's check and then loaded as other
// values than the check had read: a form feed inside a line (line 5), and a
// line longer than the load read (line 3, which shifted every later value).
// One reader now reads them for the check and for the load.
TEST_F(ParameterFile, FilesTheReaderCannotTakeWholeAreRefusedWithoutTouchingAnything) {
  const struct {
    const char* name;
    const char* problem;
  } faults[] = {{"fault-form-feed.dmr", "line 5: a form feed"},
                {"fault-long-line.dmr", "line 3: longer than 100 characters"}};
  for (const auto& fault : faults) {
    const std::string path = (fs::path(MODEL_FIXTURES) / fault.name).string();
    const paramfile::Reading reading = paramfile::ReadFile(path);
    EXPECT_FALSE(reading.whole) << fault.name;
    EXPECT_EQ(reading.problem.rfind(fault.problem, 0), 0u) << reading.problem;

    ConfCar store(path, &link);
    for (int slot = 0; slot < kImageSlots; ++slot) store.StoreRaw(slot, 7);
    const auto before = store.RawImage();
    link.calls.clear();
    std::string problem;
    EXPECT_FALSE(store.LoadWholeFile(&problem)) << fault.name;
    EXPECT_EQ(problem, reading.problem);
    EXPECT_EQ(store.RawImage(), before) << fault.name;
    EXPECT_TRUE(link.calls.empty()) << fault.name;
  }
}

TEST_F(ParameterFile, TheForgivingLoadStopsAtTheLineTheReaderCannotRead) {
  // Form feed on identifier 2's line: only identifier 1 (slot 0) before it loads.
  ConfCar store((fs::path(MODEL_FIXTURES) / "fault-form-feed.dmr").string(), &link);
  for (int slot = 0; slot < kImageSlots; ++slot) store.StoreRaw(slot, 7);
  EXPECT_TRUE(store.LoadFile());
  EXPECT_EQ(store.RawImage()[0], params::Defaults()[0]);
  for (int slot = 1; slot < kImageSlots; ++slot)
    EXPECT_EQ(store.RawImage()[static_cast<std::size_t>(slot)], 7) << slot;

  // The long line is the first parameter line: nothing loads, nothing shifts.
  ASSERT_TRUE(store.SetFileName((fs::path(MODEL_FIXTURES) / "fault-long-line.dmr").string()));
  for (int slot = 0; slot < kImageSlots; ++slot) store.StoreRaw(slot, 7);
  link.calls.clear();
  EXPECT_TRUE(store.LoadFile());
  for (int slot = 0; slot < kImageSlots; ++slot)
    EXPECT_EQ(store.RawImage()[static_cast<std::size_t>(slot)], 7) << slot;
  EXPECT_EQ(WriteCount(), kWholeStoreWrites);  // and the whole store still goes out
}

TEST_F(ParameterFile, AWholeFileLoadsExactlyTheValuesTheReaderReported) {
  ConfCar saved(File("whole.dmr").string(), &link);
  for (int slot = 0; slot < kImageSlots; ++slot) saved.StoreRaw(slot, (slot * 53 + 5) % 256);
  // 54 and 57 are one ECU value: a whole file gives them alike.
  saved.StoreRaw(saved.MemberAddress(57), saved.RawImage()[saved.MemberAddress(54)]);
  ASSERT_TRUE(saved.SaveFile());
  std::string text = ReadBytes(File("whole.dmr"));
  // Spaces and tabs between numbers, a line end without its carriage return
  // and the marker are all the format allows; the reader reads them alike.
  text.replace(text.find("\r\n62 62 "), 8, "\r\n62\t62  ");
  text.replace(text.find("\r\n3 3 "), 6, "\n3 3 ");
  const std::string from = "\r\n56 56 ";
  const std::size_t at = text.find(from);
  text.replace(at, text.find('\r', at + 2) - at, "\r\n56 56 800000");
  WriteBytes(File("whole.dmr"), text);

  const paramfile::Reading reading = paramfile::ReadFile(File("whole.dmr").string());
  ASSERT_TRUE(reading.whole) << reading.problem;
  ConfCar loaded(File("whole.dmr").string(), &link);
  for (int slot = 0; slot < kImageSlots; ++slot) loaded.StoreRaw(slot, 1);
  link.calls.clear();
  ASSERT_TRUE(loaded.LoadWholeFile());
  for (std::size_t slot = 0; slot < kImageSlots; ++slot) {
    EXPECT_EQ(loaded.RawImage()[slot], reading.slots[slot].value_or(1)) << slot;
    if (reading.slots[slot]) {
      EXPECT_EQ(loaded.RawImage()[slot], saved.RawImage()[slot]) << slot;
    }
  }
  const auto slot56 = static_cast<std::size_t>(loaded.MemberAddress(56));
  EXPECT_FALSE(reading.slots[slot56]);  // 56 held the marker: kept
  EXPECT_EQ(loaded.RawImage()[slot56], 1);
  EXPECT_FALSE(link.calls.empty());
}
