#include "ChartData.h"

#include <algorithm>
#include <cmath>

namespace monitor {

ChartData::ChartData(std::vector<ChartChannel> channels) : channels_(std::move(channels)) {
  for (ChartChannel& c : channels_) c.values.clear();
}

std::optional<std::size_t> ChartData::ChannelNamed(const std::string& name) const {
  for (std::size_t i = 0; i < channels_.size(); ++i)
    if (channels_[i].name == name) return i;
  return std::nullopt;
}

void ChartData::Append(double time, std::span<const float> values) {
  if (!times_.empty() && !(time >= times_.back())) time = times_.back();
  times_.push_back(time);
  for (std::size_t c = 0; c < channels_.size(); ++c) {
    ChartChannel& channel = channels_[c];
    const float v = c < values.size() ? values[c] : std::numeric_limits<float>::quiet_NaN();
    channel.values.push_back(v);
    if (std::isnan(v)) continue;
    if (std::isnan(channel.low) || v < channel.low) channel.low = v;
    if (std::isnan(channel.high) || v > channel.high) channel.high = v;
  }
}

void ChartData::AddMarker(double time, std::string text) {
  markers_.push_back(ChartMarker{time, std::move(text)});
}

void ChartData::Reserve(std::size_t samples) {
  times_.reserve(samples);
  for (ChartChannel& c : channels_) c.values.reserve(samples);
}

std::optional<std::size_t> ChartData::IndexAt(double time) const {
  const auto it = std::upper_bound(times_.begin(), times_.end(), time);
  if (it == times_.begin()) return std::nullopt;
  return static_cast<std::size_t>(it - times_.begin()) - 1;
}

float ChartData::ValueAt(std::size_t channel, double time) const {
  const auto index = IndexAt(time);
  if (!index || channel >= channels_.size()) return std::numeric_limits<float>::quiet_NaN();
  return channels_[channel].values[*index];
}

}  // namespace monitor
