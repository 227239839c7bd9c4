// Reads an .mlg log (MLVLG version 1) whole: its channels, every record's
// time and shown values as doubles, and its markers. A file that is not such
// a log, or whose header is damaged, is refused with the reason; a damaged or
// cut-off block ends the reading there and keeps everything before it, with
// the reason in stoppedEarly. Nothing in the bytes can make it crash.
//
// Record access for other code: log.Records() rows; log.times[r] in seconds
// since the start; log.Value(r, c) the shown value of channel c (index from
// log.ChannelIndex("RPM")); log.Row(r) all of a record's values at once.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "MlgFormat.h"

namespace logging {

struct Marker {
  double time = 0;  // seconds since the start
  std::string text;

  bool operator==(const Marker&) const = default;
};

struct Log {
  std::uint32_t startTime = 0;  // Unix seconds
  std::string info;
  std::vector<Channel> channels;
  std::vector<double> times;   // one per record, seconds since the start
  std::vector<double> values;  // records x channels, row by row
  std::vector<Marker> markers;
  std::string stoppedEarly;  // why the blocks were not read to the end; empty when they were

  std::size_t Records() const { return times.size(); }
  double Value(std::size_t record, std::size_t channel) const {
    return values[record * channels.size() + channel];
  }
  std::span<const double> Row(std::size_t record) const {
    return {values.data() + record * channels.size(), channels.size()};
  }
  // -1 when the log has no channel of that name.
  int ChannelIndex(std::string_view name) const;
  // Time of the last record (0 without records).
  double Duration() const { return times.empty() ? 0 : times.back(); }
};

struct ReadResult {
  bool ok = false;
  Log log;
  std::string error;  // why the file was refused
};

ReadResult ParseLog(std::span<const std::uint8_t> bytes);
ReadResult ReadLog(const std::filesystem::path& file);

}  // namespace logging
