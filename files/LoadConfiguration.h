// Loading a whole configuration from a parameter file into the store, and so
// into the ECU: the one path both the File menu and the file windows take.
#pragma once

#include <QString>
#include <string>

class ConfCar;
class QWidget;

enum class LoadOutcome { Loaded, NameTooLong, Unreadable };

// The name as the store keeps it: native separators, in the encoding of file
// names, so the store opens exactly the file the user chose.
std::string StoreFileName(const QString& path);
// The store's file name back as a path for display.
QString PathOfStoreFileName(const std::string& name);

// Gives the store path as its file name and loads the file under the busy
// cursor, repainting window first so the screen is not left half drawn. When
// the name is too long or the file cannot be read, the store keeps its
// configuration and its previous file name; the caller says so to the user.
LoadOutcome LoadConfigurationFile(ConfCar& store, const QString& path, QWidget* window);
