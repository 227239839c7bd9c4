// The command line: "/demo" as the first argument starts without the ECU;
// "/nocomm" as the second of exactly two arguments marks the reduced ECU
// variant before any connection. Whole, case-sensitive comparisons.
// Besides those, --help and --version print what they say and end the
// program before any window opens (so they work without a display).
#pragma once

#include <QString>
#include <QStringList>

struct CommandLineOptions {
  bool demo = false;
  bool noComm = false;
};

// arguments: without the program's own name.
CommandLineOptions EvaluateCommandLine(const QStringList& arguments);

// What --help or --version asks to be printed, or an empty text when the
// arguments (without the program's own name) ask for neither. -h and --help
// ask for the help, -v and --version for the version; anything else, known or
// not, is left to the program.
QString InformationRequested(const QStringList& arguments, const QString& version);
