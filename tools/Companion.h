// ecuctl, the command-line companion: identify the ECU, read it all into a
// parameter file, write a parameter file to it, get and set one parameter in
// engineering units, stream live values, erase its parameter memory.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "EcuLink.h"

// Exit codes, one per kind of outcome a script may want to tell apart.
enum ExitCode {
  kExitOk = 0,
  kExitUsage = 1,        // bad command line
  kExitNoEcu = 2,        // no port, or no ECU answered
  kExitRejectedEcu = 3,  // the ECU is not one this tool serves
  kExitRefused = 4,      // the ECU refused a value
  kExitBadFile = 5,      // a parameter file that cannot be read, checked or written
  kExitNoLibrary = 6,    // the link library cannot be loaded
  kExitLinkLost = 7,     // the ECU stopped answering during the command
  kExitJournalLost = 8,  // done, but a line of the write journal could not be written
};

// Runs one command (arguments without the program name) on an unopened link.
int RunCompanion(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                 std::ostream& err);

// What the ECU holds when the link went during a write of many values: taken
// of total were taken; allSent when every value had been sent (the loss came
// while they were read back). again: what to do when the link is back.
std::string CutShortText(int taken, int total, bool allSent, const std::string& again);

// The usage text.
const char* CompanionUsage();
// "ecuctl VERSION" and a line end, for --version.
std::string CompanionVersion();

// The identification check: the ECU types and variants this tool serves.
bool IsServedEcu(const ecu::Identification& id);
