// Where the program keeps its session logs: a folder "Logs" beside the
// history folder, in it one folder per ECU (per car, when a vehicle card is
// chosen) named as the history names it, in it one log per live session
// named by the time it started. Old logs make room for new ones.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "EcuLink.h"

namespace logging {

// Logs kept per ECU (all its cars together), newest first.
constexpr int kKeptLogsPerEcu = 200;
// Bytes all logs together may take.
constexpr std::uintmax_t kKeptLogBytes = std::uintmax_t{1} << 30;

// "Logs" beside the given history folder.
std::filesystem::path LogsFolderBeside(const std::filesystem::path& historyFolder);

// The logs folder of one ECU, or of one car with it: named as its history
// folder is ("ecu-T-V-F-N", "_" and the vehicle card's key).
std::filesystem::path EcuLogFolder(const std::filesystem::path& logs,
                                   const ecu::Identification& id, std::string_view vehicleKey = {});

// ecuFolder/YYYY-MM-DD_HHMMSS.mlg in local time; a name already taken gets
// "_2", "_3" ... The folder is not created.
std::filesystem::path NewLogFile(const std::filesystem::path& ecuFolder,
                                 std::chrono::system_clock::time_point start);

// Removes the oldest logs until each ECU keeps at most keepPerEcu and all of
// them together take at most maxBytes; `spare` (the log being written) is
// never removed. Only files ending in ".mlg" in the ECU folders count. The
// files removed, oldest first.
std::vector<std::filesystem::path> ApplyLogRetention(const std::filesystem::path& logs,
                                                     const std::filesystem::path& spare,
                                                     int keepPerEcu = kKeptLogsPerEcu,
                                                     std::uintmax_t maxBytes = kKeptLogBytes);

}  // namespace logging
