#include "CsvExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

namespace logging {
namespace {

std::string Field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string Number(double value, int digits) {
  if (!std::isfinite(value)) return {};
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value,
                                          std::chars_format::fixed, std::clamp(digits, 0, 9));
  if (error != std::errc()) return {};
  std::string s(text, end);
  if (s == "-0" || s.find_first_not_of("-0.") == std::string::npos) s = s.substr(s[0] == '-');
  return s;
}

void Line(std::ostream& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "," : "") << Field(fields[i]);
  out << "\n";
}

}  // namespace

void WriteCsv(const Log& log, std::ostream& out) {
  const std::size_t count = log.channels.size();
  const int timeChannel = log.ChannelIndex("Time");
  std::vector<std::string> fields(count + 1);
  for (std::size_t c = 0; c < count; ++c) fields[c] = log.channels[c].name;
  fields[count] = "Marker";
  Line(out, fields);
  for (std::size_t c = 0; c < count; ++c) fields[c] = log.channels[c].units;
  fields[count] = "";
  Line(out, fields);

  auto markerLine = [&](const Marker& marker) {
    std::vector<std::string> line(count + 1);
    if (timeChannel >= 0)
      line[static_cast<std::size_t>(timeChannel)] = Number(marker.time, 3);
    line[count] = marker.text;
    Line(out, line);
  };
  std::size_t m = 0;
  for (std::size_t r = 0; r < log.Records(); ++r) {
    while (m < log.markers.size() && log.markers[m].time <= log.times[r]) markerLine(log.markers[m++]);
    for (std::size_t c = 0; c < count; ++c)
      fields[c] = Number(log.Value(r, c), log.channels[c].digits);
    fields[count] = "";
    Line(out, fields);
  }
  while (m < log.markers.size()) markerLine(log.markers[m++]);
}

bool ExportCsv(const Log& log, const std::filesystem::path& file, std::string* error) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) {
    if (error) *error = "cannot create " + file.string();
    return false;
  }
  WriteCsv(log, out);
  out.flush();
  if (!out) {
    if (error) *error = "cannot write " + file.string();
    return false;
  }
  return true;
}

}  // namespace logging
