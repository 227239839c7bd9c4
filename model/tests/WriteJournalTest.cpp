// The write journal: its lines read back as written, runs of writes keep only
// what changed, a journal that cannot be written says so, a line cut short
// by a full disk never swallows the next one, and reading takes only what a
// journal can hold.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <future>
#include <fstream>
#include <sstream>

#include "ConfCar.h"
#include "RecordingLink.h"
#include "WriteJournal.h"

namespace {

namespace fs = std::filesystem;

struct TempFolder {
  fs::path path;
  explicit TempFolder(const char* name) : path(fs::temp_directory_path() / name) {
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~TempFolder() {
    std::error_code e;
    fs::permissions(path, fs::perms::owner_all, e);
    fs::remove_all(path, e);
  }
};

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

TEST(WriteJournal, LinesReadBackAsWritten) {
  const JournalLine cases[] = {
      {"2026-12-10 13:23:38", "write", 56, -1, "2000", "3000", 60, 40, "accepted", ""},
      {"2026-12-10 13:23:39", "write", 25, 2, "3.5", "0.1", 178, 5, "refused", ""},
      {"2026-12-10 13:23:40", "write", 72, -1, "", "", -1, -1, "no answer", "customer code set"},
      {"2026-12-10 13:23:41", "file load", -1, -1, "", "", -1, -1, "", "/tmp/a, \"b\".dmr"},
      {"2026-12-10 13:23:42", "restore", 54, -1, "0.4", "1.2", 20, 60, "accepted", ""},
  };
  for (const auto& line : cases) {
    const std::string text = FormatJournalLine(line);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    const auto back = ParseJournalLine(text);
    ASSERT_TRUE(back) << text;
    EXPECT_EQ(*back, line) << text;
  }
  // A file name with a line break stays on its line.
  JournalLine broken = cases[3];
  broken.note = "a\nb.dmr";
  const auto back = ParseJournalLine(FormatJournalLine(broken));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->note, "a?b.dmr");
}

TEST(WriteJournal, NotJournalLinesAreRefused) {
  const char* cases[] = {
      "",
      kJournalHeader,
      "hello",
      "2026-12-10 13:23:38,write,56,,2000,3000,60,40,accepted",   // a field short
      "2026-12-10 13:23:38,write,x,,2000,3000,60,40,accepted,",   // not a number
      "2026-12-10 13:23:38,write,56,,2000,3000,-5,40,accepted,",  // negative raw
      "2026-12-10,write,56,,2000,3000,60,40,accepted,",           // no time of day
  };
  for (const char* text : cases) EXPECT_FALSE(ParseJournalLine(text)) << text;
}

TEST(WriteJournal, StoreWritesBecomeLinesAndRunsKeepOnlyChanges) {
  TempFolder folder("mv-journal-lines");
  RecordingLink link;
  link.connected = true;
  ConfCar store("x", &link);
  JournalWriter journal;
  journal.SetFile(folder.path / "ecu" / "journal.csv");
  store.AddWriteObserver(&journal);

  store.SetValue(56, 3000);
  link.refusedCodes.insert(62);
  store.SetValue(62, 6000);
  link.refusedCodes.clear();
  store.SetValue(72, 555);

  // A file that differs in one value: the load is one run with one line.
  ConfCar other((folder.path / "car.dmr").string());
  other.StoreRaw(other.MemberAddress(56), 40);
  other.StoreRaw(other.MemberAddress(41), 20);
  ASSERT_TRUE(other.SaveFile());
  store.SetFileName(other.FileName());
  store.LoadFile();

  const std::string text = Contents(journal.File());
  EXPECT_EQ(text.find("555"), std::string::npos) << "the customer code itself is never kept";
  const JournalReading reading = ReadJournal(journal.File());
  EXPECT_EQ(reading.skipped, 0);
  ASSERT_EQ(reading.lines.size(), 5u) << text;
  EXPECT_EQ(reading.lines[0].identifier, 56);
  EXPECT_EQ(reading.lines[0].newValue, "3000");
  EXPECT_EQ(reading.lines[1].answer, "refused");
  EXPECT_EQ(reading.lines[2].note, "customer code set");
  EXPECT_EQ(reading.lines[3].event, "file load");
  EXPECT_EQ(reading.lines[3].note, other.FileName());
  EXPECT_EQ(reading.lines[4].event, "file load");
  EXPECT_EQ(reading.lines[4].identifier, 41);  // 56 already held 40 after the first write
  EXPECT_EQ(reading.lines[4].oldRaw, 12);
  EXPECT_EQ(reading.lines[4].newRaw, 20);
  EXPECT_EQ(text.rfind(kJournalHeader, 0), 0u);
}

TEST(WriteJournal, UnwritableFolderIsReportedOnceAndNothingStops) {
  // A file where the ECU's folder should be: no folder can be made there,
  // whoever runs the test.
  TempFolder folder("mv-journal-unwritable");
  std::ofstream(folder.path / "ecu") << "in the way";
  RecordingLink link;
  link.connected = true;
  ConfCar store("x", &link);
  JournalWriter journal;
  int reports = 0;
  journal.SetFailureReport([&](const std::string&) { ++reports; });
  journal.SetFile(folder.path / "ecu" / "journal.csv");
  store.AddWriteObserver(&journal);
  EXPECT_EQ(store.SetValue(56, 3000), 1);
  EXPECT_EQ(store.SetValue(56, 4000), 1);
  EXPECT_TRUE(journal.Failed());
  EXPECT_EQ(reports, 1);
}

TEST(WriteJournal, ReadingFromADaySkipsEarlierLinesAndForeignOnes) {
  TempFolder folder("mv-journal-since");
  const fs::path file = folder.path / "journal.csv";
  {
    std::ofstream out(file, std::ios::binary);
    out << kJournalHeader << "\n"
        << "2026-12-09 23:59:59,write,56,,2000,3000,60,40,accepted,\n"
        << "garbage line\n"
        << "2026-12-10 00:00:00,write,62,,6000,5000,20,24,refused,\r\n";
  }
  const JournalReading all = ReadJournal(file);
  EXPECT_EQ(all.lines.size(), 2u);
  EXPECT_EQ(all.skipped, 1);
  const JournalReading since = ReadJournal(file, "2026-12-10");
  ASSERT_EQ(since.lines.size(), 1u);
  EXPECT_EQ(since.lines[0].identifier, 62);
  EXPECT_FALSE(ReadJournal(folder.path / "none.csv").opened);
}

namespace {

// The disk as full as a file-size limit makes it: a write past the limit
// writes what fits and then fails (EFBIG), as one on a full disk does
// (ENOSPC). SIGXFSZ is ignored for as long as it lasts, so the process lives.
class DiskFullAt {
 public:
  explicit DiskFullAt(std::uintmax_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    previous_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~DiskFullAt() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::signal(SIGXFSZ, previous_);
  }

 private:
  rlimit saved_{};
  void (*previous_)(int) = nullptr;
};

JournalLine Line(int identifier, const char* newValue) {
  return {"2026-12-10 13:23:38", "write", identifier, -1, "2000", newValue, 60, 40, "accepted", ""};
}

}  // namespace

// The disk fills up in the middle of a line: the line is reported, and once
// there is room again the broken line is ended before the next one, so the
// next line is read back whole instead of glued onto the broken one.
TEST(WriteJournal, ALineCutShortIsReportedAndNeverSwallowsTheNext) {
  TempFolder folder("mv-journal-full");
  const fs::path file = folder.path / "journal.csv";
  RecordingLink link;
  link.connected = true;
  ConfCar store("x", &link);
  JournalWriter journal;
  std::vector<std::string> reports;
  journal.SetFailureReport([&](const std::string& why) { reports.push_back(why); });
  journal.SetFile(file);
  store.AddWriteObserver(&journal);

  EXPECT_EQ(store.SetValue(56, 3000), 1);
  const auto full = fs::file_size(file);
  {
    DiskFullAt limit(full + 20);  // room for part of the next line only
    EXPECT_EQ(store.SetValue(56, 4000), 1) << "the ECU's write is not held up";
    EXPECT_EQ(store.SetValue(56, 5000), 1);
  }
  EXPECT_GT(fs::file_size(file), full) << "part of a line was written";
  EXPECT_TRUE(journal.Failed());
  EXPECT_EQ(journal.LostLines(), 2);
  ASSERT_EQ(reports.size(), 1u) << "one report for one run of failures";
  EXPECT_NE(reports[0].find(file.string()), std::string::npos) << reports[0];

  EXPECT_EQ(store.SetValue(56, 6000), 1);
  EXPECT_FALSE(journal.Failed());
  const JournalReading reading = ReadJournal(file);
  ASSERT_EQ(reading.lines.size(), 2u) << Contents(file);
  EXPECT_EQ(reading.lines[0].newValue, "3000");
  EXPECT_EQ(reading.lines[1].newValue, "6000");
  EXPECT_EQ(reading.skipped, 1) << "the broken line, on its own";

  // A failure after lines were written again is news: reported again.
  {
    DiskFullAt limit(fs::file_size(file));
    store.SetValue(56, 7000);
  }
  EXPECT_EQ(reports.size(), 2u);
  EXPECT_EQ(journal.LostLines(), 3);
}

// A journal another program left without its last line end (or a crash cut
// short): the next line starts on a line of its own.
TEST(WriteJournal, AnUnendedLastLineIsEndedFirst) {
  TempFolder folder("mv-journal-unended");
  const fs::path file = folder.path / "journal.csv";
  std::ofstream(file, std::ios::binary) << kJournalHeader << "\n"
                                        << FormatJournalLine(Line(56, "3000")) << "\n2026-12-";
  JournalWriter journal;
  journal.SetFile(file);
  WriteAttempt attempt;
  attempt.identifier = 62;
  attempt.answer = WriteAnswer::kAccepted;
  journal.WriteAttempted(attempt);
  const JournalReading reading = ReadJournal(file);
  ASSERT_EQ(reading.lines.size(), 2u) << Contents(file);
  EXPECT_EQ(reading.lines[1].identifier, 62);
  EXPECT_EQ(reading.skipped, 1);
}

// Reading never waits on a FIFO named like the journal, never gathers a line
// longer than any journal line whole, and reads on after it.
TEST(WriteJournal, ReadingTakesOnlyWhatAJournalCanHold) {
  TempFolder folder("mv-journal-hostile");
  const fs::path fifo = folder.path / "fifo.csv";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto reading = std::async(std::launch::async, [&] { return ReadJournal(fifo); });
  if (reading.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
    std::ofstream(fifo) << "";  // lets the reader go, so the test can end
    FAIL() << "reading a FIFO waited for a writer";
  }
  const JournalReading fromFifo = reading.get();
  EXPECT_FALSE(fromFifo.opened);
  EXPECT_NE(fromFifo.error.find("FIFO"), std::string::npos) << fromFifo.error;

  const fs::path file = folder.path / "journal.csv";
  std::ofstream(file, std::ios::binary)
      << kJournalHeader << "\n"
      << FormatJournalLine(Line(56, "3000")) << "\n"
      << "2026-12-10 13:23:38,write,56,,2000," << std::string(3 * kMaxJournalLineLength, '9')
      << ",60,40,accepted,\n"
      << FormatJournalLine(Line(62, "5000")) << "\n";
  const JournalReading longLine = ReadJournal(file);
  ASSERT_EQ(longLine.lines.size(), 2u);
  EXPECT_EQ(longLine.lines[1].identifier, 62);
  EXPECT_EQ(longLine.skipped, 1);
}

