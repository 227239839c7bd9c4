// What every window may ask about the running program: the title its message
// boxes carry and the folder it was started from.
#pragma once

#include <QString>

// The application title shown by message boxes: the program file's name until
// start-up sets "Mirel Vantor".
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);
constexpr const char* kProgramTitle = "Mirel Vantor";

// The folder of the program file, where the link library, the dictionary and
// the pictures live. A test may point it elsewhere.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);
