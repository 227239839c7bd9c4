// ecuctl diff, journal, snapshots and restore on files and a history folder of
// this test's own (every test of this program keeps its history there).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Companion.h"
#include "ConfCar.h"
#include "History.h"
#include "RecordingLink.h"
#include "SerialEcuLink.h"
#include "VirtualEcuOnPty.h"
#include "WriteJournal.h"

namespace {

namespace fs = std::filesystem;

// The history folder of every test in this program lies in a folder of its
// own, never in the user's data folder.
class HistoryInTemp : public ::testing::Environment {
 public:
  void SetUp() override {
    fs::create_directories(folder_);
    ::setenv("XDG_DATA_HOME", folder_.c_str(), 1);
  }
  void TearDown() override { fs::remove_all(folder_); }

 private:
  fs::path folder_ = fs::temp_directory_path() / ("ecuctl-data-" + std::to_string(::getpid()));
};
const auto* const kHistoryInTemp = ::testing::AddGlobalTestEnvironment(new HistoryInTemp);

struct Outcome {
  int code = -1;
  std::string out, err;
};

Outcome RunWith(ecu::EcuLink& link, const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Outcome run;
  run.code = RunCompanion(args, link, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

Outcome Ecuctl(std::vector<std::string> args) {
  RecordingLink link;
  return RunWith(link, args);
}

// Through the real link, on the port the environment names.
Outcome EcuctlOnPort(std::vector<std::string> args) {
  serlink::SerialEcuLink link;
  return RunWith(link, args);
}

std::string SavedFile(const char* name, int changeOverRaw) {
  const fs::path file = fs::temp_directory_path() / name;
  ConfCar store(file.string());
  store.StoreRaw(store.MemberAddress(56), changeOverRaw);
  EXPECT_TRUE(store.SaveFile());
  return file.string();
}

}  // namespace

TEST(HistoryCommands, DiffOfTwoFiles) {
  const std::string a = SavedFile("ecuctl-diff-a.dmr", 60);
  const std::string b = SavedFile("ecuctl-diff-b.dmr", 40);
  Outcome same = Ecuctl({"diff", a, a});
  EXPECT_EQ(same.code, kExitOk);
  EXPECT_NE(same.out.find("no differences"), std::string::npos) << same.out;

  Outcome apart = Ecuctl({"diff", a, b});
  EXPECT_EQ(apart.code, kExitOk);
  EXPECT_NE(apart.out.find("* 56 change-over rpm: 2000 | 3000 (factory 2000)"), std::string::npos)
      << apart.out;

  Outcome csv = Ecuctl({"diff", a, b, "--csv"});
  EXPECT_EQ(csv.out, "identifier,element,parameter," + a + "," + b +
                         ",factory,differs\n56,,change-over rpm,2000,3000,2000,yes\n");

  Outcome all = Ecuctl({"diff", a, b, "--all"});
  EXPECT_GT(std::count(all.out.begin(), all.out.end(), '\n'), 70);
}

TEST(HistoryCommands, BadFilesAndCommandLines) {
  const fs::path foreign = fs::temp_directory_path() / "ecuctl-foreign.dmr";
  std::ofstream(foreign) << "not a parameter file\n";
  const std::string good = SavedFile("ecuctl-good.dmr", 60);
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* says;
  };
  const Case cases[] = {
      {{"diff", good, "/nonexistent.dmr"}, kExitBadFile, "cannot read /nonexistent.dmr"},
      {{"diff", good, foreign.string()}, kExitBadFile, "is not a parameter file"},
      {{"restore", foreign.string(), "--yes"}, kExitBadFile,
       "is not a sound parameter file: line 1: not a parameter file header"},
      {{"diff", good}, kExitUsage, "two files, or one file and --ecu"},
      {{"diff", good, good, "--ecu"}, kExitUsage, "two files, or one file and --ecu"},
      {{"journal", "--ecu"}, kExitUsage, "--ecu goes with diff"},
      {{"journal", "--since"}, kExitUsage, "--since needs a date"},
      {{"journal", "--since", "2026-13-45"}, kExitUsage, "2026-13-45 is none"},
      {{"journal", "--since", "2026-02-30"}, kExitUsage, "2026-02-30 is none"},
      {{"journal", "--since", "2026-1-05"}, kExitUsage, "2026-1-05 is none"},
      {{"journal", "--since", "yesterday"}, kExitUsage, "yesterday is none"},
      {{"snapshots", "x"}, kExitUsage, "takes no operands"},
      {{"restore"}, kExitUsage, "restore takes one file"},
      {{"diff", good, good, "--bogus"}, kExitUsage, "unknown option --bogus"},
  };
  for (const Case& c : cases) {
    const Outcome run = Ecuctl(c.args);
    EXPECT_EQ(run.code, c.code) << c.args[0] << " " << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
  }
}

TEST(HistoryCommands, TruncatedFileIsComparedWithAWarning) {
  const std::string good = SavedFile("ecuctl-whole.dmr", 60);
  std::ifstream in(good, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  const fs::path cut = fs::temp_directory_path() / "ecuctl-cut.dmr";
  std::ofstream(cut, std::ios::binary) << text.substr(0, text.size() / 2);
  const Outcome run = Ecuctl({"diff", good, cut.string()});
  EXPECT_EQ(run.code, kExitOk);
  EXPECT_NE(run.err.find("gives no value for"), std::string::npos) << run.err;
  EXPECT_NE(run.out.find("| -"), std::string::npos) << run.out;
}

TEST(HistoryCommands, SnapshotsAndJournalSkipWhatDoesNotBelong) {
  const fs::path folder = history::DefaultFolder();
  fs::remove_all(folder);
  const ecu::Identification id{18, 0, 1, 23};
  ConfCar store("x");
  ASSERT_TRUE(history::SaveSnapshot(store, folder, id, std::chrono::system_clock::now()).saved);
  std::ofstream(folder / "ecu-18-0-1-23" / "2020-01-01_000000.dmr") << "broken\n";
  std::ofstream(history::JournalFile(folder, id))
      << "time,event,identifier,element,old value,new value,old raw,new raw,answer,note\n"
      << "2026-01-02 10:00:00,write,56,,2000,3000,60,40,accepted,\n"
      << "nonsense\n"
      << "2026-01-03 10:00:00,write,72,,,,,,accepted,customer code set\n";

  const Outcome snapshots = Ecuctl({"snapshots"});
  EXPECT_EQ(snapshots.code, kExitOk);
  EXPECT_EQ(std::count(snapshots.out.begin(), snapshots.out.end(), '\n'), 1) << snapshots.out;
  EXPECT_NE(snapshots.err.find("2020-01-01_000000.dmr: not a parameter file, skipped"),
            std::string::npos)
      << snapshots.err;

  const Outcome journal = Ecuctl({"journal", "--since", "2026-01-03"});
  EXPECT_EQ(journal.code, kExitOk);
  EXPECT_EQ(journal.out,
            "ecu-18-0-1-23  2026-01-03 10:00:00  write  72 customer code  accepted  customer "
            "code set\n");
  EXPECT_NE(journal.err.find("1 line(s) skipped"), std::string::npos) << journal.err;
  fs::remove_all(folder);
}

// An erase is one run in the journal: the command, then each value it took
// back to its factory value.
TEST(HistoryCommands, EraseIsJournaledWithTheValuesItChanged) {
  const fs::path folder = history::DefaultFolder();
  fs::remove_all(folder);
  linktest::EcuOnPty ecu;
  linktest::UsePort(ecu.Port());
  auto run = [](std::vector<std::string> args) {
    serlink::SerialEcuLink link;
    std::ostringstream out, err;
    return RunCompanion(args, link, out, err);
  };
  ASSERT_EQ(run({"set", "56", "2500"}), kExitOk);
  ASSERT_EQ(run({"erase", "--yes"}), kExitOk);
  const auto journal = ReadJournal(history::JournalFile(folder, {18, 0, 1, 23}));
  ASSERT_EQ(journal.lines.size(), 4u);
  EXPECT_EQ(journal.lines[1].event, "erase");
  EXPECT_EQ(journal.lines[1].identifier, -1);
  EXPECT_EQ(journal.lines[2].note, "erase command");
  EXPECT_EQ(journal.lines[2].answer, "accepted");
  EXPECT_EQ(journal.lines[3].identifier, 56);
  EXPECT_EQ(journal.lines[3].oldValue, "2500");
  EXPECT_EQ(journal.lines[3].newValue, "2000");
  fs::remove_all(folder);
}

// ecuctl sends the customer code straight through to learn the ECU's answer,
// yet the journal still notes each attempt, and never the code itself.
TEST(HistoryCommands, CustomerCodeIsJournaledWithoutItsValue) {
  const fs::path folder = history::DefaultFolder();
  fs::remove_all(folder);
  vecu::EcuOptions refusing = linktest::EcuOnPty::Still();
  refusing.refusedAddresses = {64};
  for (const bool refused : {false, true}) {
    linktest::EcuOnPty ecu(refused ? refusing : linktest::EcuOnPty::Still());
    linktest::UsePort(ecu.Port());
    serlink::SerialEcuLink link;
    std::ostringstream out, err;
    EXPECT_EQ(RunCompanion({"set", "72", "457"}, link, out, err),
              refused ? kExitRefused : kExitOk);
  }
  const fs::path journalFile = history::JournalFile(folder, {18, 0, 1, 23});
  const auto journal = ReadJournal(journalFile);
  ASSERT_EQ(journal.lines.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(journal.lines[i].identifier, 72);
    EXPECT_EQ(journal.lines[i].note, "customer code set");
  }
  EXPECT_EQ(journal.lines[0].answer, "accepted");
  EXPECT_EQ(journal.lines[1].answer, "refused");
  std::ifstream text(journalFile);
  const std::string whole((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
  EXPECT_EQ(whole.find("457"), std::string::npos) << whole;
  fs::remove_all(folder);
}

// Vehicle cards from the command line: made for the connected ECU, listed,
// chosen; a later write is journaled in the chosen car's folder. Bad input
// is refused with the reason.
TEST(HistoryCommands, VehicleCardsChooseWhereTheJournalGoes) {
  const fs::path folder = history::DefaultFolder();
  fs::remove_all(folder);
  linktest::EcuOnPty ecu;
  linktest::UsePort(ecu.Port());
  const auto run = EcuctlOnPort;
  struct Refusal {
    std::vector<std::string> args;
    const char* says;
  };
  const Refusal refusals[] = {
      {{"vehicle"}, "needs add, list or choose"},
      {{"vehicle", "add"}, "needs --plate or --vin"},
      {{"vehicle", "add", "--plate"}, "--plate needs a value"},
      {{"vehicle", "add", "--colour", "red"}, "unknown option --colour"},
      {{"vehicle", "add", "--plate", "AB123CD", "--vin", "WVWZZZ1JZXW0O0001"}, "I, O or Q"},
      {{"vehicle", "choose", "ZZ999ZZ"}, "there is no card for ZZ999ZZ"},
  };
  for (const Refusal& r : refusals) {
    const Outcome refused = run(r.args);
    EXPECT_EQ(refused.code, kExitUsage) << refused.err;
    EXPECT_NE(refused.err.find(r.says), std::string::npos) << refused.err;
  }
  ASSERT_EQ(run({"vehicle", "add", "--plate", "ab 123 cd", "--make", "Fiat"}).code, kExitOk);
  ASSERT_EQ(run({"vehicle", "add", "--plate", "EF456GH"}).code, kExitOk);
  EXPECT_EQ(run({"vehicle", "add", "--plate", "AB123CD"}).code, kExitUsage);
  const Outcome listed = run({"vehicle", "list"});
  EXPECT_NE(listed.out.find("AB123CD  plate AB 123 CD, VIN -, Fiat"), std::string::npos)
      << listed.out;
  EXPECT_NE(listed.out.find("EF456GH"), std::string::npos);

  ASSERT_EQ(run({"vehicle", "choose", "EF456GH"}).code, kExitOk);
  ASSERT_EQ(run({"set", "56", "2500"}).code, kExitOk);
  const ecu::Identification id{18, 0, 1, 23};
  EXPECT_EQ(ReadJournal(history::JournalFile(folder, id, "EF456GH")).lines.size(), 1u);
  EXPECT_FALSE(fs::exists(history::JournalFile(folder, id)));
  EXPECT_FALSE(fs::exists(history::JournalFile(folder, id, "AB123CD")));
  fs::remove_all(folder);
}

namespace {

// A whole parameter file that 54 and 57 agree in, with the change-over rpm
// (56) at the given raw value; edit changes its text before it is written.
std::string WholeFile(const char* name, int changeOverRaw,
                      const std::function<void(std::string&)>& edit = {}) {
  const fs::path file = fs::temp_directory_path() / name;
  ConfCar store(file.string());
  store.StoreRaw(store.MemberAddress(56), changeOverRaw);
  store.StoreRaw(store.MemberAddress(57), store.RawImage()[store.MemberAddress(54)]);
  EXPECT_TRUE(store.SaveFile());
  if (edit) {
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    in.close();
    edit(text);
    std::ofstream(file, std::ios::binary) << text;
  }
  return file.string();
}

void ReplaceLine(std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find("\r\n" + from + "\r\n");
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at + 2, from.size(), to);
}

}  // namespace

// Restore takes a file only as write does: through the same whole-file reader
// and its checks, with the same exit code and the same reason, before the ECU
// is asked anything.
TEST(HistoryCommands, RestoreRefusesWhatWriteRefuses) {
  const struct {
    const char* name;
    std::string file;
    const char* says;
  } cases[] = {
      {"another identifier on 56's line",
       WholeFile("ecuctl-wrong-id.dmr", 60,
                 [](std::string& t) { ReplaceLine(t, "56 56 60", "55 56 60"); }),
       "line 59: expected identifier 56"},
      {"54 and 57 disagree",
       WholeFile("ecuctl-two-lines.dmr", 60,
                 [](std::string& t) { ReplaceLine(t, "57 54 20", "57 54 9"); }),
       "line 60: identifier 57 gives 9 but identifier 54 (line 57) gives 20"},
      {"cut short", WholeFile("ecuctl-short.dmr", 60, [](std::string& t) { t.resize(t.size() / 2); }),
       "line 42: the file ends here; expected 76 lines"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* command : {"write", "restore"}) {
      RecordingLink link;
      std::ostringstream out, err;
      EXPECT_EQ(RunCompanion({command, c.file, "--yes"}, link, out, err), kExitBadFile) << command;
      EXPECT_NE(err.str().find("is not a sound parameter file: " + std::string(c.says)),
                std::string::npos)
          << command << ": " << err.str();
      EXPECT_TRUE(link.calls.empty()) << command << ": the ECU was not asked anything";
    }
  }
}

// The cable goes in the middle of a restore: the message says how far it came
// and that the ECU now holds part of the old configuration and part of the
// new, as a cut-short write does.
TEST(HistoryCommands, ARestoreCutShortSaysTheEcuHoldsAMix) {
  const std::string file = WholeFile("ecuctl-restore-cut.dmr", 60, [](std::string& t) {
    ReplaceLine(t, "5 5 18", "5 5 30");
    ReplaceLine(t, "31 31 25", "31 31 26");
    ReplaceLine(t, "41 41 12", "41 41 20");
  });
  vecu::ServeOptions serve;
  // The connection (2 requests) and the full read (55) go through, then two
  // of the writes.
  serve.faults.pullAfterRequests = 2 + 55 + 2;
  linktest::EcuOnPty ecu(linktest::EcuOnPty::Still(), serve);
  linktest::UsePort(ecu.Port());
  serlink::SerialEcuLink link;
  std::ostringstream out, err;
  EXPECT_EQ(RunCompanion({"restore", file, "--yes"}, link, out, err), kExitLinkLost) << err.str();
  int writes = 0;
  for (const auto& line : ecu.Ecu().CommandLog()) writes += line.rfind("WRITE", 0) == 0;
  EXPECT_EQ(writes, 2);
  EXPECT_NE(err.str().find("after 2 of "), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("part of the new configuration and part of the old"),
            std::string::npos)
      << err.str();
  EXPECT_NE(err.str().find("Restore the file again"), std::string::npos) << err.str();
  EXPECT_EQ(out.str(), "");
}

// What a journal file holds reaches the terminal escaped, and a journal that
// is no regular file is named and passed over.
TEST(HistoryCommands, JournalPrintsControlCharactersEscaped) {
  const fs::path folder = history::DefaultFolder();
  fs::remove_all(folder);
  const ecu::Identification id{18, 0, 1, 23}, other{18, 0, 1, 24};
  fs::create_directories(history::JournalFile(folder, id).parent_path());
  std::ofstream(history::JournalFile(folder, id))
      << kJournalHeader << "\n"
      << "2026-01-03 10:00:00,write,72,,,,,,accepted,\x1b]0;owned\x07\x1b[2J\n";
  fs::create_directories(history::JournalFile(folder, other).parent_path());
  ASSERT_EQ(::mkfifo(history::JournalFile(folder, other).c_str(), 0600), 0);

  const Outcome journal = Ecuctl({"journal"});
  EXPECT_EQ(journal.code, kExitOk);
  EXPECT_EQ(journal.out,
            "ecu-18-0-1-23  2026-01-03 10:00:00  write  72 customer code  accepted  "
            "\\x1B]0;owned\\x07\\x1B[2J\n");
  EXPECT_NE(journal.err.find("ecu-18-0-1-24/journal.csv is a FIFO (named pipe), not a regular "
                             "file, skipped"),
            std::string::npos)
      << journal.err;
  fs::remove_all(folder);
}

// The ECU took the value but its journal line could not be written: ecuctl
// says so and ends with its own exit code, apart from success and failure.
TEST(HistoryCommands, AJournalLineNotWrittenHasItsOwnExitCode) {
  const fs::path folder = history::DefaultFolder();
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::ofstream(folder / "ecu-18-0-1-23") << "in the way of the ECU's folder";
  linktest::EcuOnPty ecu;
  linktest::UsePort(ecu.Port());
  serlink::SerialEcuLink link;
  std::ostringstream out, err;
  EXPECT_EQ(RunCompanion({"set", "56", "3000"}, link, out, err), kExitJournalLost) << err.str();
  EXPECT_EQ(out.str(), "3000\n");
  EXPECT_NE(err.str().find("cannot write the journal"), std::string::npos) << err.str();
  EXPECT_NE(err.str().find("1 journal line(s) could not be written"), std::string::npos)
      << err.str();
  const auto log = ecu.Ecu().CommandLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "WRITE 56 0 40"), log.end());
  fs::remove_all(folder);
}

// An array element is counted from 0 wherever a person reads it: the index
// typed to set, the journal file, the journal, diff and its table.
TEST(HistoryCommands, AnArrayElementHasOneNumberEverywhere) {
  const fs::path folder = history::DefaultFolder();
  fs::remove_all(folder);
  linktest::EcuOnPty ecu(linktest::EcuOnPty::Still());
  linktest::UsePort(ecu.Port());
  const auto run = EcuctlOnPort;
  const std::string factory = SavedFile("ecuctl-element-factory.dmr", 60);
  ASSERT_EQ(run({"set", "61", "2", "111"}).code, kExitOk);

  const auto journal = ReadJournal(history::JournalFile(folder, {18, 0, 1, 23}));
  ASSERT_EQ(journal.lines.size(), 1u);
  EXPECT_EQ(journal.lines[0].element, 2) << "journal.csv";
  const struct {
    const char* name;
    std::vector<std::string> args;
    const char* says;
  } readers[] = {
      {"journal", {"journal"}, "61 original indicator outputs [2]"},
      {"diff", {"diff", factory, "--ecu"}, "61 original indicator outputs [2]: 100 | 111"},
      {"diff table", {"diff", factory, "--ecu", "--csv"}, "\n61,2,original indicator outputs [2],"},
  };
  for (const auto& r : readers) {
    const Outcome shown = run(r.args);
    EXPECT_EQ(shown.code, kExitOk) << r.name << shown.err;
    EXPECT_NE(shown.out.find(r.says), std::string::npos) << r.name << ":\n" << shown.out;
  }
  fs::remove_all(folder);
}
