#include "ReportOptions.h"

#include <filesystem>

#include "HistoryCommands.h"

const char* ReportUsage() {
  return "  report [--since SNAPSHOT|DATE] [--vehicle PLATE] [--language LANG] --out FILE.pdf\n"
         "                             the handover report of the car (the one last chosen,\n"
         "                             or PLATE) as PDF: the changes since DATE (YYYY-MM-DD,\n"
         "                             today unless given) or one of its snapshots\n";
}

namespace report_since {

Start Resolve(const std::string& text, const std::vector<history::Snapshot>& snapshots,
              const std::string& carFolderName) {
  if (IsCalendarDay(text)) return {text, {}};
  // A path names its folder too: another car's snapshot of the same name is
  // not this car's.
  const std::filesystem::path given(text);
  const bool withFolder = given.has_parent_path();
  bool elsewhere = false;
  for (const history::Snapshot& s : snapshots) {
    const bool named = s.file.filename() == given.filename() &&
                       (!withFolder || given.parent_path().filename().string() == s.ecu);
    if (s.taken != text && !named) continue;
    if (s.ecu == carFolderName) return {s.taken, {}};
    elsewhere = true;
  }
  if (elsewhere) return {{}, text + " is a snapshot of another car or ECU"};
  return {{}, "--since takes a date (YYYY-MM-DD) or a snapshot of this car (ecuctl snapshots "
              "lists them): " + text + " is neither"};
}

}  // namespace report_since
