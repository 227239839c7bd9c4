// Recorded and live values as chart data. The chart draws the channels of
// a log (or of the live recording's own channel list) except the time, which
// is its axis; the gas temperature's validity channel is folded into the
// temperature, which has no value where the sensor gave none.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "ChartData.h"
#include "MlgFormat.h"

namespace logging {
struct Log;
}

namespace monitor {

// Which of a log's columns become which chart channels.
class ChartColumns {
 public:
  explicit ChartColumns(std::span<const logging::Channel> channels);
  // The chart's channels, without samples.
  std::vector<ChartChannel> Channels() const;
  // One row of the log's values (every column, in the log's order) as a
  // chart sample.
  void RowOf(std::span<const double> row, std::vector<float>& out) const;

 private:
  std::vector<logging::Channel> channels_;
  std::vector<std::size_t> sources_;  // log column of each chart channel
  int temperature_ = -1;              // chart channel of the gas temperature
  int temperatureValid_ = -1;         // log column saying whether it is valid
};

ChartData ChartDataOfLog(const logging::Log& log);

// Reads the file whole; false with the reader's reason when it is not a log
// we can read.
bool LoadRecording(const std::filesystem::path& file, logging::Log* log, std::string* reason);

}  // namespace monitor
