// A log as comma-separated text for a spreadsheet: a line of channel names, a
// line of their units, then one line per record with each value to its
// channel's digits (a dot for the decimal point, whatever the locale). The
// last column, "Marker", is empty on record lines; each marker gets a line of
// its own, placed among the records by its time, carrying the time and the
// marker's text and leaving the other channels empty.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "LogReader.h"

namespace logging {

void WriteCsv(const Log& log, std::ostream& out);
// False, with why, when the file cannot be written.
bool ExportCsv(const Log& log, const std::filesystem::path& file, std::string* error);

}  // namespace logging
