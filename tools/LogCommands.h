// ecuctl's recording commands: record the live values into an .mlg log
// (log), describe a log (log-info) and convert one to CSV (log-csv).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "EcuLink.h"

bool IsLogCommand(const std::string& name);
// Runs one recording command (arguments without the program name).
int RunLogCommand(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                  std::ostream& err);
// The usage lines of the recording commands.
const char* LogUsage();
