// What the strip chart draws: a time column and one value column per channel
// (NaN where a channel had no value), with the markers of the session. Kept
// as columns of floats so an hour at 50 samples a second of every channel
// stays a few megabytes, and a trace is one contiguous array to decimate.
// Plain C++.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace monitor {

struct ChartChannel {
  std::string name;  // as a log names it: "RPM", "Lambda", ...
  std::string unit;
  int digits = 0;    // shown after the decimal point
  std::vector<float> values;
  // Lowest and highest value seen (NaN while there is none).
  float low = std::numeric_limits<float>::quiet_NaN();
  float high = std::numeric_limits<float>::quiet_NaN();
};

struct ChartMarker {
  double time = 0;  // seconds, on the samples' time scale
  std::string text;
};

class ChartData {
 public:
  ChartData() = default;
  // Channels without samples.
  explicit ChartData(std::vector<ChartChannel> channels);

  const std::vector<double>& Times() const { return times_; }
  const std::vector<ChartChannel>& Channels() const { return channels_; }
  const std::vector<ChartMarker>& Markers() const { return markers_; }
  std::size_t Count() const { return times_.size(); }
  bool Empty() const { return times_.empty(); }
  double FirstTime() const { return times_.empty() ? 0 : times_.front(); }
  double LastTime() const { return times_.empty() ? 0 : times_.back(); }
  // The channel with this name, if any.
  std::optional<std::size_t> ChannelNamed(const std::string& name) const;

  // One sample: a value per channel in channel order (missing ones are NaN).
  // A time earlier than the last one is taken as the last one, so the times
  // stay in order for the searches below.
  void Append(double time, std::span<const float> values);
  void AddMarker(double time, std::string text);
  void Reserve(std::size_t samples);

  // The last sample at or before time; none before the first.
  std::optional<std::size_t> IndexAt(double time) const;
  // A channel's value at time (its last sample at or before); NaN when none.
  float ValueAt(std::size_t channel, double time) const;

 private:
  std::vector<double> times_;
  std::vector<ChartChannel> channels_;
  std::vector<ChartMarker> markers_;
};

}  // namespace monitor
