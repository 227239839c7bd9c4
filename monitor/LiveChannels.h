// The live values as chart channels, both ways: what the live view shows
// after a poll becomes one chart sample (the chart draws what the dashboard
// shows), and a recorded sample becomes the poll that makes the dashboard
// show it again (replay). Channel names are those of the logs. Plain C++.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "ChartData.h"
#include "LiveTick.h"

namespace monitor {

enum class LiveChannel {
  Rpm,
  Lambda,
  Tps,
  TpsZone,
  LambdaStatus,
  Actuator,
  DefaultPosition,
  MinTps,
  GasTemperature,
  GasLevel,
  Fuel,
  CutOff,
  UpperLimit,
  LowerLimit,
};
constexpr std::size_t kLiveChannelCount = 14;

struct LiveChannelInfo {
  LiveChannel channel;
  std::string_view name;  // as logs name it
  std::string_view unit;
  int digits;
};
// Every live channel, in the order above.
const std::array<LiveChannelInfo, kLiveChannelCount>& LiveChannelTable();

// Chart channels for the live values, without samples.
std::vector<ChartChannel> LiveChartChannels();

// One chart sample (values in LiveChannel order) of what the view shows.
// Without a connection every value is missing: the chart shows a gap.
std::array<float, kLiveChannelCount> ChartValuesOf(const LiveDisplay& shown, bool connected);

// Where each live channel sits among a chart's channels, by name; a channel
// the chart does not have is left out of a replayed sample.
struct ReplayChannels {
  std::array<int, kLiveChannelCount> column{};  // -1 when absent
  // The chart has the engine speed at least (a log of ours or of any tool
  // logging this ECU's values): nothing to replay otherwise.
  bool Usable() const;
};
ReplayChannels ReplayChannelsOf(const ChartData& data);

// The poll that makes the live view show the chart's sample at index: both
// blocks read, with the values encoded back into the bytes they came from.
LiveSample SampleOfRecord(const ChartData& data, const ReplayChannels& map, std::size_t index);

// Inverses of the live decoding: the byte the ECU sends for a value shown.
int PeriodOfRpm(int rpm);
int RawOfCentivolts(int centivolts);
int RawOfShownTemperature(int celsius);

}  // namespace monitor
