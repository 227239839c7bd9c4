// ecuctl check: the gas calibration check of a recorded log, a verdict per
// engine speed band and fuel, as text or as the result file's CSV. It reads
// the log through the logging reader and needs no ECU.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "Analysis.h"

// The check's own exit codes beside the companion's: every band OK (0), a
// verdict says something must be adjusted (3), not enough data (1, like a
// bad command line; the message on standard error tells them apart). A log
// that cannot be read is a bad file (5), as for every command.
enum CheckExitCode {
  kCheckAllOk = 0,
  kCheckNotEnoughData = 1,
  kCheckAdjust = 3,
};

struct CheckOptions {
  std::string file;
  bool csv = false;
  // The car's settings: the factory ones unless the options say otherwise.
  calibration::CarSettings car;
};

bool IsCheckCommand(const std::string& name);
// Parses "check FILE [--csv] [--probe N] [--probe-offset V] [--warm DEGREES]".
bool ParseCheckOptions(const std::vector<std::string>& args, CheckOptions* options,
                       std::string* error);
// The verdicts as aligned English text, or as the result file's CSV.
void PrintCheck(const calibration::CheckResult& result, bool csv, std::ostream& out);
int RunCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// The usage lines of the check.
const char* CheckUsage();
