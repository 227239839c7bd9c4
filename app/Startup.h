// The program's entry sequence: one copy only, the platform check, the
// process-wide objects in order (parameter store, settings, link library and
// ECU link object, main window), the message loop, and the shutdown in the
// reverse order with the settings written back. Always returns 0.
#pragma once

#include <QStringList>

// arguments: the command line without the program's own name. Needs the
// QApplication to exist.
int RunProgram(const QStringList& arguments);

// true on the operating systems the program is built for.
bool IsSupportedPlatform();
