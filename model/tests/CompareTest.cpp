// Comparing configurations on crafted parameter files, and restoring only the
// values that differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "Compare.h"
#include "ParameterTable.h"
#include "RecordingLink.h"

namespace {

namespace fs = std::filesystem;

// The lines of a factory-value parameter file, to be edited by a case.
std::vector<std::string> FactoryLines() {
  const fs::path file = fs::temp_directory_path() / "mv-compare-factory.dmr";
  ConfCar store(file.string());
  EXPECT_TRUE(store.SaveFile());
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

fs::path Write(const std::vector<std::string>& lines, const char* name) {
  const fs::path file = fs::temp_directory_path() / name;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  for (const auto& line : lines) out << line << '\n';
  return file;
}

// Line of identifier i in a parameter file.
std::string& Line(std::vector<std::string>& lines, int identifier) {
  return lines[static_cast<std::size_t>(identifier + 2)];
}

struct Shown {
  int identifier;
  int element;
  std::string a;
  std::string b;
  bool operator==(const Shown&) const = default;
  friend void PrintTo(const Shown& s, std::ostream* os) {
    *os << s.identifier << "[" << s.element << "] " << s.a << " -> " << s.b;
  }
};

std::vector<Shown> Differences(const Configuration& a, const Configuration& b) {
  std::vector<Shown> shown;
  for (const auto& row : CompareConfigurations(a, b))
    shown.push_back({row.identifier, row.element, UnitText(row.valueA), UnitText(row.valueB)});
  return shown;
}

}  // namespace

TEST(Compare, CraftedFiles) {
  struct Case {
    const char* name;
    std::function<void(std::vector<std::string>&)> edit;
    std::vector<Shown> expected;
  };
  const std::vector<Case> cases = {
      {"equal", [](auto&) {}, {}},
      {"one value apart", [](auto& l) { Line(l, 56) = "56 56 40\r"; }, {{56, -1, "2000", "3000"}}},
      {"option bits sharing a byte",
       // rpm signal (bit 4) and fixed default (bit 0) on; the optical flag (bit 5) too.
       [](auto& l) { Line(l, 1) = "1 1 49\r"; },
       {{1, -1, "0", "32"}, {64, -1, "0", "1"}, {67, -1, "0", "1"}}},
      {"deceleration byte fields",
       [](auto& l) { Line(l, 22) = "22 22 250\r"; },
       {{70, -1, "1", "0"}}},
      {"array elements",
       [](auto& l) { Line(l, 25) = "25 12569 0 51 178 \r"; },
       {{25, 1, "2", "1"}}},
      {"missing-value marker",
       [](auto& l) { Line(l, 62) = "62 62 800000\r"; },
       {{62, -1, "10000", "-"}}},
      {"a value that is no byte",
       [](auto& l) { Line(l, 62) = "62 62 300\r"; },
       {{62, -1, "10000", "-"}}},
  };
  const Configuration factory = ReadConfiguration(Write(FactoryLines(), "mv-compare-a.dmr"));
  ASSERT_TRUE(factory.opened && factory.header);
  EXPECT_EQ(factory.absent, 0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto lines = FactoryLines();
    c.edit(lines);
    const Configuration edited = ReadConfiguration(Write(lines, "mv-compare-b.dmr"));
    EXPECT_EQ(Differences(factory, edited), c.expected);
  }
}

TEST(Compare, TruncatedAndForeignFilesShowWhatIsMissing) {
  auto lines = FactoryLines();
  lines.resize(40);  // identifiers 0..37
  const Configuration truncated = ReadConfiguration(Write(lines, "mv-compare-cut.dmr"));
  EXPECT_TRUE(truncated.opened && truncated.header);
  EXPECT_GT(truncated.absent, 20);
  const Configuration factory = ConfigurationOf(ConfCar(""));
  const auto rows = CompareConfigurations(factory, truncated);
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    EXPECT_GE(row.identifier, 38);
    EXPECT_EQ(row.valueB, kMissingValue);
  }

  const Configuration foreign = ReadConfiguration(Write({"hello", "world"}, "mv-compare-x.dmr"));
  EXPECT_TRUE(foreign.opened);
  EXPECT_FALSE(foreign.header);
  EXPECT_FALSE(ReadConfiguration("/nonexistent/none.dmr").opened);
}

TEST(Compare, AllRowsCarryTheFactoryValueAndExportAsCsv) {
  const Configuration factory = ConfigurationOf(ConfCar(""));
  const auto rows = CompareConfigurations(factory, factory, true);
  ASSERT_FALSE(rows.empty());
  for (const auto& row : rows) {
    EXPECT_FALSE(row.differs);
    EXPECT_EQ(row.valueA, row.factory) << row.identifier;
  }
  const std::string csv = CompareCsv({rows[0]}, {"Tipo, \"a\""}, "car.dmr", "ECU");
  EXPECT_EQ(csv,
            "identifier,element,parameter,car.dmr,ECU,factory,differs\n"
            "1,,\"Tipo, \"\"a\"\"\",0,0,0,no\n");
}

TEST(Restore, WritesOnlyTheDifferencesInFullWriteOrderAndListsRefusals) {
  RecordingLink link;
  link.connected = true;
  ConfCar store("x", &link);
  ConfCar saved("");
  saved.StoreRaw(saved.MemberAddress(56), 40);
  saved.StoreRaw(saved.MemberAddress(2), 51);
  saved.StoreRaw(saved.MemberAddress(61) + 2, 99);
  saved.StoreRaw(saved.MemberAddress(54), 30);  // and 57, the same ECU value
  saved.StoreRaw(saved.MemberAddress(57), 30);
  const Configuration target = ConfigurationOf(saved);
  // The ECU holds what the link answers after the writes.
  for (int address = 0; address < 256; ++address) link.memory[address] = {};
  link.memory[2] = {51};
  link.memory[54] = {30};
  link.memory[61] = {20, 50, 99, 150, 200, 250};
  link.memory[56] = {60};  // refused: still the old value
  link.refusedCodes.insert(56);

  const RestoreOutcome outcome = Restore(store, target, "saved.dmr");
  using Call = RecordingLink::Call;
  const std::vector<Call> expected = {
      {"write", 2, 0, 51}, {"write", 56, 0, 40}, {"write", 54, 0, 30}, {"element", 61, 2, 99}};
  EXPECT_EQ(link.Writes(), expected);
  ASSERT_EQ(outcome.refused.size(), 1u);
  EXPECT_EQ(outcome.refused[0].identifier, 56);
  EXPECT_FALSE(outcome.linkLost);

  // Nothing differs any more but the refused value.
  link.calls.clear();
  EXPECT_EQ(RestorePlan(store, target).size(), 1u);
}

// The default position (40) and the diagnosis error flags (53) move on the
// ECU by themselves: they are shown apart and never counted as differences,
// except the default position while the fixed-default option (67) holds it.
TEST(Compare, ValuesKeptByTheEcuAreMarkedAndNotCounted) {
  struct Case {
    const char* name;
    std::int32_t optionsA, optionsB;  // option byte of each side
    int identifier;
    bool differs, kept;
  };
  const Case cases[] = {
      {"default position, options off", 0, 0, 40, false, true},
      {"default position, option byte absent", kAbsent, 0, 40, false, true},
      {"default position, fixed on both sides", 1, 1, 40, true, false},
      {"default position, fixed on one side", 0, 1, 40, true, false},
      {"error flags, options off", 0, 0, 53, false, true},
      {"error flags, fixed default on", 1, 1, 53, false, true},
      {"an ordinary value", 0, 0, 56, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Configuration a = ConfigurationOf(ConfCar(""));
    Configuration b = a;
    a.raw[0] = c.optionsA;
    b.raw[0] = c.optionsB;
    const int slot = params::OwnSlot(c.identifier);
    b.raw[static_cast<std::size_t>(slot)] = a.raw[static_cast<std::size_t>(slot)] + 3;
    const auto rows = CompareConfigurations(a, b);
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [&](const CompareRow& r) { return r.identifier == c.identifier; });
    ASSERT_NE(row, rows.end()) << "a value apart is listed";
    EXPECT_EQ(row->differs, c.differs);
    EXPECT_EQ(row->keptByEcu, c.kept);
    // With --all the same values stay unmarked as differences when equal.
    for (const auto& all : CompareConfigurations(a, a, true))
      EXPECT_FALSE(all.differs) << all.identifier;
  }
}

TEST(Restore, LeavesWhatTheEcuKeepsAloneAndDoesNotCallItRefused) {
  struct Case {
    const char* name;
    std::int32_t targetOptions;
    std::int32_t defaultReadBack;  // what the ECU holds for 40 after the writes
    std::vector<RecordingLink::Call> writes;
    std::vector<int> refused;
  };
  const Case cases[] = {
      {"learnt default moved on", 0, 121, {{"write", 56, 0, 40}}, {}},
      {"fixed default written and held", 1, 104,
       {{"write", 1, 0, 1}, {"write", 56, 0, 40}, {"write", 40, 0, 104}}, {}},
      {"fixed default not held", 1, 99,
       {{"write", 1, 0, 1}, {"write", 56, 0, 40}, {"write", 40, 0, 104}}, {40}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingLink link;
    link.connected = true;
    ConfCar store("x", &link);
    ConfCar saved("");
    saved.StoreRaw(saved.MemberAddress(1), c.targetOptions);
    saved.StoreRaw(saved.MemberAddress(56), 40);
    saved.StoreRaw(saved.MemberAddress(40), 104);
    saved.StoreRaw(saved.MemberAddress(53), 5);
    const Configuration target = ConfigurationOf(saved);
    for (int address = 0; address < 256; ++address) link.memory[address] = {};
    link.memory[1] = {c.targetOptions};
    link.memory[56] = {40};
    link.memory[40] = {c.defaultReadBack};
    link.memory[53] = {2};

    const RestoreOutcome outcome = Restore(store, target, "saved.dmr");
    EXPECT_EQ(link.Writes(), c.writes);
    std::vector<int> refused;
    for (const auto& step : outcome.refused) refused.push_back(step.identifier);
    EXPECT_EQ(refused, c.refused);
    EXPECT_FALSE(outcome.linkLost);
  }
}
