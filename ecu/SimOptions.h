// Command-line options of the virtual ECU, shared by the ecu-sim program and
// by the link library's built-in simulator (the SEROXT_SIM variable).
#pragma once

#include <string>
#include <vector>

#include "EcuServer.h"
#include "VirtualEcu.h"

namespace vecu {

struct SimOptions {
  EcuOptions ecu;
  ServeOptions serve;
  std::string linkPath;  // a stable symlink to the port ("" = none)
  bool help = false;
};

// Parses the arguments (without the program name). On a bad argument returns
// false and puts a one-line reason in error.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* options, std::string* error);
// Splits a text on blanks into arguments.
std::vector<std::string> SplitArguments(const std::string& text);
// The option summary printed by --help.
const char* SimUsage();

}  // namespace vecu
