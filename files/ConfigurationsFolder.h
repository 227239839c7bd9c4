// Where configuration files are kept: the folder the settings name (the
// program folder followed by "Configurazioni"), created on first use. When that
// folder cannot be created or written (the program installed in a read-only
// place), the user's own data folder is used instead, so a save never fails
// for want of a place to write.
#pragma once

#include <QString>

// The folder to use for configuration files, created if missing; empty only
// when neither folder can be made writable.
QString UsableConfigurationsFolder(const QString& preferred);

// True when folder exists (or can be created) and a file can be written in it.
bool IsWritableFolder(const QString& folder);
