// What ecuctl report is told, checked without Qt: its usage lines, and where
// the changes listed start: a calendar day, or one of the car's snapshots
// (by file name, path or the time ecuctl snapshots shows).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "History.h"

// The usage lines of ecuctl report.
const char* ReportUsage();

namespace report_since {

struct Start {
  std::string since;  // the journal time the changes start at
  std::string error;  // why the text names no start, when since is empty
};

// text against the car's snapshots (those of carFolderName only count).
Start Resolve(const std::string& text, const std::vector<history::Snapshot>& snapshots,
              const std::string& carFolderName);

}  // namespace report_since
