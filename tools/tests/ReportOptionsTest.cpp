// Where ecuctl report's list of changes starts: a calendar day, or a snapshot
// of this car named by its file, its path or its time; never a snapshot of
// another car of the same ECU.
#include <gtest/gtest.h>

#include "ReportOptions.h"

namespace {

const std::string kThisCar = "ecu-18-0-1-23_AB123CD";
const std::vector<history::Snapshot> kSnapshots = {
    {"ecu-18-0-1-23", "2026-12-01 08:00:00", "/h/ecu-18-0-1-23/2026-12-01_080000.dmr"},
    {kThisCar, "2026-12-02 09:30:15", "/h/ecu-18-0-1-23_AB123CD/2026-12-02_093015.dmr"},
    {"ecu-18-0-1-23_EF456GH", "2026-12-02 09:30:15",
     "/h/ecu-18-0-1-23_EF456GH/2026-12-02_093015.dmr"},
    {"ecu-18-0-1-23_EF456GH", "2026-12-03 10:00:00",
     "/h/ecu-18-0-1-23_EF456GH/2026-12-03_100000.dmr"},
};

}  // namespace

TEST(ReportOptions, SinceADayOrASnapshotOfThisCar) {
  struct Case {
    const char* text;
    const char* since;  // empty: refused
    const char* says;
  };
  const Case cases[] = {
      {"2026-12-11", "2026-12-11", ""},
      {"2026-12-02_093015.dmr", "2026-12-02 09:30:15", ""},
      {"2026-12-02 09:30:15", "2026-12-02 09:30:15", ""},
      {"/h/ecu-18-0-1-23_AB123CD/2026-12-02_093015.dmr", "2026-12-02 09:30:15", ""},
      {"elsewhere/ecu-18-0-1-23_AB123CD/2026-12-02_093015.dmr", "2026-12-02 09:30:15", ""},
      // Another car's snapshot, by its own path or a name only it has.
      {"/h/ecu-18-0-1-23_EF456GH/2026-12-02_093015.dmr", "", "another car"},
      {"2026-12-03_100000.dmr", "", "another car"},
      {"2026-12-01_080000.dmr", "", "another car"},
      {"2026-12-04_000000.dmr", "", "is neither"},
      {"2026-02-30", "", "is neither"},
      {"last week", "", "is neither"},
  };
  for (const Case& c : cases) {
    const auto start = report_since::Resolve(c.text, kSnapshots, kThisCar);
    EXPECT_EQ(start.since, c.since) << c.text;
    EXPECT_NE(start.error.find(c.says), std::string::npos) << c.text << ": " << start.error;
  }
}
