#include "RecordingChart.h"

#include <limits>

#include "LogReader.h"

namespace monitor {
namespace {
constexpr const char* kTime = "Time";
constexpr const char* kTemperature = "Gas temp";
constexpr const char* kTemperatureValid = "Gas temp valid";

// The unit as the chart shows it after a value: a log keeps degrees as "C"
// and marks the fuel channel's meaning as "gas=1", which reads badly after a
// number ("1 gas=1"); the channel's caption already says what 1 means.
std::string ShownUnit(const std::string& unit) {
  if (unit == "C") return "\u00B0C";
  if (unit.find('=') != std::string::npos) return {};
  return unit;
}
}  // namespace

ChartColumns::ChartColumns(std::span<const logging::Channel> channels)
    : channels_(channels.begin(), channels.end()) {
  for (std::size_t c = 0; c < channels_.size(); ++c) {
    const std::string& name = channels_[c].name;
    if (name == kTime) continue;
    if (name == kTemperatureValid) {
      temperatureValid_ = static_cast<int>(c);
      continue;
    }
    if (name == kTemperature) temperature_ = static_cast<int>(sources_.size());
    sources_.push_back(c);
  }
}

std::vector<ChartChannel> ChartColumns::Channels() const {
  std::vector<ChartChannel> out;
  for (std::size_t source : sources_) {
    ChartChannel c;
    c.name = channels_[source].name;
    c.unit = ShownUnit(channels_[source].units);
    c.digits = channels_[source].digits;
    out.push_back(std::move(c));
  }
  return out;
}

void ChartColumns::RowOf(std::span<const double> row, std::vector<float>& out) const {
  out.resize(sources_.size());
  for (std::size_t i = 0; i < sources_.size(); ++i)
    out[i] = sources_[i] < row.size() ? static_cast<float>(row[sources_[i]])
                                      : std::numeric_limits<float>::quiet_NaN();
  if (temperature_ >= 0 && temperatureValid_ >= 0 &&
      static_cast<std::size_t>(temperatureValid_) < row.size() &&
      row[static_cast<std::size_t>(temperatureValid_)] == 0)
    out[static_cast<std::size_t>(temperature_)] = std::numeric_limits<float>::quiet_NaN();
}

ChartData ChartDataOfLog(const logging::Log& log) {
  const ChartColumns columns(log.channels);
  ChartData data(columns.Channels());
  data.Reserve(log.Records());
  std::vector<float> row;
  for (std::size_t r = 0; r < log.Records(); ++r) {
    columns.RowOf(log.Row(r), row);
    data.Append(log.times[r], row);
  }
  for (const logging::Marker& marker : log.markers) data.AddMarker(marker.time, marker.text);
  return data;
}

bool LoadRecording(const std::filesystem::path& file, logging::Log* log, std::string* reason) {
  logging::ReadResult result = logging::ReadLog(file);
  if (!result.ok) {
    if (reason != nullptr) *reason = result.error;
    return false;
  }
  *log = std::move(result.log);
  return true;
}

}  // namespace monitor
