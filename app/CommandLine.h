// The command line: "/demo" as the first argument starts without the ECU;
// "/nocomm" as the second of exactly two arguments marks the reduced ECU
// variant before any connection. Whole, case-sensitive comparisons.
#pragma once

#include <QStringList>

struct CommandLineOptions {
  bool demo = false;
  bool noComm = false;
};

// arguments: without the program's own name.
CommandLineOptions EvaluateCommandLine(const QStringList& arguments);
