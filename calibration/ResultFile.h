// The result of a check as comma-separated text: the command line's --csv
// output and the small file kept beside a checked log, which the handover
// report reads back. One header line, then one line per band and fuel.
#pragma once

#include <string>
#include <vector>

#include "Analysis.h"

namespace calibration {

struct ResultRow {
  std::string band;     // "idle" or "2500"
  std::string fuel;     // "petrol" or "gas"
  std::string verdict;  // a verdict token, e.g. "ok", "lean-on-gas"
  std::string reason;   // a reason token with "not-enough-data", else empty
  double switchingPerSecond = 0;
  double leanShare = 0;
  double richShare = 0;
  double meanLambdaVolts = 0;
  double actuatorMean = 0;  // the actuator figures are 0 on petrol
  double actuatorSpread = 0;
  double windowUse = 0;
  double upperShare = 0;
  double lowerShare = 0;
  double validSeconds = 0;

  bool operator==(const ResultRow&) const = default;
};

extern const char* const kResultHeader;

std::vector<ResultRow> RowsOf(const CheckResult& result);
std::string ResultCsv(const std::vector<ResultRow>& rows);
// Refuses text that is not a result (wrong header, wrong number of fields,
// a figure that is not a number) with the line and the reason.
bool ParseResultCsv(const std::string& text, std::vector<ResultRow>* rows, std::string* error);

// The result kept beside a log: "drive.mlg" -> "drive.check.csv".
std::string ResultPathFor(const std::string& logPath);
// Writes through a temporary file renamed into place, so a reader never
// sees half a result.
bool WriteResultFile(const std::string& path, const std::vector<ResultRow>& rows,
                     std::string* error);
bool ReadResultFile(const std::string& path, std::vector<ResultRow>* rows, std::string* error);

}  // namespace calibration
