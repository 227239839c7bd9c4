// Every path by which the store writes to the ECU tells its observer what was
// sent and what the ECU answered: accepted, refused, or no answer at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ConfCar.h"
#include "RecordingLink.h"
#include "WriteObserver.h"

namespace {

struct Seen : WriteObserver {
  std::vector<WriteAttempt> attempts;
  std::vector<std::string> runs;  // "start <kind> <source>" and "end <kind>"

  void BulkWriteStarted(BulkWrite kind, std::string_view source) override {
    runs.push_back("start " + std::to_string(static_cast<int>(kind)) + " " + std::string(source));
  }
  void WriteAttempted(const WriteAttempt& attempt) override { attempts.push_back(attempt); }
  void BulkWriteFinished(BulkWrite kind) override {
    runs.push_back("end " + std::to_string(static_cast<int>(kind)));
  }
};

struct Fixture {
  RecordingLink link;
  ConfCar store{"x.dmr", &link};
  Seen seen;
  Fixture() {
    link.connected = true;
    store.AddWriteObserver(&seen);
  }
};

std::string TempFile(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

struct PathCase {
  const char* path;
  std::uint32_t refusedCode;  // the code whose refusal makes this path fail
  int identifier;             // the attempt to look for
  int element;
  std::function<void(ConfCar&)> run;
};

const std::vector<PathCase>& Paths() {
  static const std::vector<PathCase> cases = {
      {"single value", 56, 56, -1, [](ConfCar& s) { s.SetValue(56, 3000); }},
      {"bit of a shared byte", 1, 64, -1, [](ConfCar& s) { s.SetValue(64, 1); }},
      {"optical sensor flag", 1, 1, -1, [](ConfCar& s) { s.SetOpticalSensor(true); }},
      {"array element", 0x3119, 25, 1, [](ConfCar& s) { s.SetElement(25, 1, 3.0); }},
      {"whole array", 61, 61, 0,
       [](ConfCar& s) {
         const int values[6] = {1, 2, 3, 4, 5, 6};
         s.WriteArray(61, values);
       }},
      {"full write", 56, 56, -1,
       [](ConfCar& s) {
         // A file whose change-over speed differs from the store's.
         ConfCar other(TempFile("observer-full-write.dmr"));
         other.StoreRaw(other.MemberAddress(56), 40);
         ASSERT_TRUE(other.SaveFile());
         s.SetFileName(other.FileName());
         s.LoadFile();
       }},
      {"erase", 0, 0, -1, [](ConfCar& s) { s.EraseMemory({}); }},
      {"customer code", 64, 72, -1, [](ConfCar& s) { s.SetValue(72, 123); }},
      {"raw value of a restore", 56, 56, -1, [](ConfCar& s) { s.WriteRaw(56, -1, 40); }},
  };
  return cases;
}

const WriteAttempt* Find(const Seen& seen, int identifier, int element) {
  for (const auto& a : seen.attempts)
    if (a.identifier == identifier && a.element == element) return &a;
  return nullptr;
}

}  // namespace

TEST(WriteObserver, EveryPathReportsEachAnswer) {
  const std::pair<const char*, WriteAnswer> answers[] = {
      {"accepted", WriteAnswer::kAccepted},
      {"refused", WriteAnswer::kRefused},
      {"no answer", WriteAnswer::kNoAnswer},
  };
  for (const auto& path : Paths()) {
    for (const auto& [name, answer] : answers) {
      SCOPED_TRACE(std::string(path.path) + ", " + name);
      Fixture f;
      if (answer != WriteAnswer::kAccepted) f.link.refusedCodes.insert(path.refusedCode);
      // A link that lost the ECU answers nothing: its writes fail, it is not connected.
      f.link.connected = answer != WriteAnswer::kNoAnswer;
      path.run(f.store);
      const WriteAttempt* attempt = Find(f.seen, path.identifier, path.element);
      ASSERT_NE(attempt, nullptr);
      EXPECT_EQ(attempt->answer, answer);
    }
  }
}

TEST(WriteObserver, SingleValueCarriesOldAndNewInRawAndUnits) {
  Fixture f;
  ASSERT_EQ(f.store.SetValue(56, 3000), 1);  // 2000 rpm (raw 60) before
  ASSERT_EQ(f.seen.attempts.size(), 1u);
  const WriteAttempt& a = f.seen.attempts[0];
  EXPECT_EQ(a.identifier, 56);
  EXPECT_EQ(a.element, -1);
  EXPECT_EQ(a.oldRaw, 60);
  EXPECT_EQ(a.newRaw, 40);
  EXPECT_EQ(a.oldValue, 2000);
  EXPECT_EQ(a.newValue, 3000);
  EXPECT_TRUE(f.seen.runs.empty());

  // Refused: the old value is still what the ECU holds, and the next attempt
  // reports from there.
  f.link.refusedCodes.insert(56);
  f.store.SetValue(56, 4000);
  f.link.refusedCodes.clear();
  f.store.SetValue(56, 5000);
  ASSERT_EQ(f.seen.attempts.size(), 3u);
  EXPECT_EQ(f.seen.attempts[2].oldRaw, 40);
  EXPECT_EQ(f.seen.attempts[2].newValue, 5000);
}

TEST(WriteObserver, ValuesOutsideTheRulesAreNotAttempts) {
  Fixture f;
  f.store.SetValue(2, 99);       // no such list position
  f.store.SetValue(1, 4);        // the option byte has no write rule
  f.store.SetElement(60, 6, 1);  // past the array
  EXPECT_TRUE(f.seen.attempts.empty());
  EXPECT_TRUE(f.link.Writes().empty());
}

TEST(WriteObserver, CustomerCodeNeverCarriesItsValue) {
  Fixture f;
  f.store.SetValue(72, 987);
  ASSERT_EQ(f.seen.attempts.size(), 1u);
  const WriteAttempt& a = f.seen.attempts[0];
  EXPECT_EQ(a.identifier, 72);
  EXPECT_EQ(a.newRaw, 0);
  EXPECT_EQ(a.newValue, kMissingValue);
}

TEST(WriteObserver, WholeArrayStoppedByARefusalReportsWhatTheEcuTook) {
  Fixture f;
  f.link.refuseElementFrom = 3;
  const int values[6] = {10, 20, 30, 40, 50, 60};
  EXPECT_EQ(f.store.WriteArray(60, values), 0);
  ASSERT_EQ(f.seen.attempts.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f.seen.attempts[static_cast<std::size_t>(i)].element, i);
    EXPECT_EQ(f.seen.attempts[static_cast<std::size_t>(i)].answer,
              i < 3 ? WriteAnswer::kAccepted : WriteAnswer::kRefused);
  }
  // The store is unchanged, but the ECU holds the first three: a later full
  // write reports its change from what the ECU holds.
  EXPECT_EQ(f.store.RawImage()[10], 25);
}

TEST(WriteObserver, FullWriteIsOneRunNamedByItsFile) {
  Fixture f;
  const std::string file = TempFile("observer-run.dmr");
  ConfCar other(file);
  ASSERT_TRUE(other.SaveFile());
  f.store.SetFileName(file);
  f.store.LoadFile();
  ASSERT_EQ(f.seen.runs.size(), 2u);
  EXPECT_EQ(f.seen.runs[0], "start 0 " + file);
  EXPECT_EQ(f.seen.runs[1], "end 0");
  // Every value the full write sends is reported, level table excluded (the
  // default sensor type does not use it).
  EXPECT_EQ(f.seen.attempts.size(), f.link.Writes().size());
  EXPECT_EQ(f.seen.attempts.size(), 62u);
}

TEST(WriteObserver, EraseReportsTheCommandAndTheValuesThatCameBack) {
  Fixture f;
  f.store.StoreRaw(f.store.MemberAddress(56), 40);  // what the ECU held before
  f.link.memory[56] = {60};                         // the factory value after the erase
  bool settled = false;
  EXPECT_TRUE(f.store.EraseMemory([&] { settled = true; }));
  EXPECT_TRUE(settled);
  ASSERT_GE(f.seen.attempts.size(), 2u);
  EXPECT_EQ(f.seen.attempts[0].identifier, 0);
  const WriteAttempt* changed = Find(f.seen, 56, -1);
  ASSERT_NE(changed, nullptr);
  EXPECT_EQ(changed->oldRaw, 40);
  EXPECT_EQ(changed->newRaw, 60);
  EXPECT_EQ(f.seen.runs.front(), "start 1 ");

  // A refused erase reads nothing back.
  Fixture refused;
  refused.link.refusedCodes.insert(0);
  EXPECT_FALSE(refused.store.EraseMemory([] { FAIL() << "no wait after a refusal"; }));
  EXPECT_EQ(refused.seen.attempts.size(), 1u);
  EXPECT_TRUE(refused.link.calls.size() == 1u);
}

// The journal and a session recording both hear every write, each once and in
// the same order; one that leaves hears no more, the other goes on.
TEST(WriteObserver, SeveralObserversEachHearEveryWriteOnce) {
  Fixture f;
  Seen second;
  f.store.AddWriteObserver(&second);
  f.store.AddWriteObserver(&second);
  f.store.AddWriteObserver(nullptr);
  ASSERT_EQ(f.store.SetValue(56, 3000), 1);
  f.link.refusedCodes.insert(56);
  ASSERT_EQ(f.store.SetValue(56, 2500), 0);
  f.link.refusedCodes.clear();
  f.store.EraseMemory({});
  ASSERT_EQ(second.attempts.size(), f.seen.attempts.size());
  for (std::size_t k = 0; k < second.attempts.size(); ++k) {
    EXPECT_EQ(second.attempts[k].identifier, f.seen.attempts[k].identifier);
    EXPECT_EQ(second.attempts[k].answer, f.seen.attempts[k].answer);
  }
  EXPECT_EQ(second.attempts[1].answer, WriteAnswer::kRefused);
  EXPECT_EQ(second.runs, f.seen.runs);

  f.store.RemoveWriteObserver(&second);
  const std::size_t heard = second.attempts.size();
  ASSERT_EQ(f.store.SetValue(56, 3000), 1);
  EXPECT_EQ(second.attempts.size(), heard);
  EXPECT_EQ(f.seen.attempts.size(), heard + 1);
}
