#include "LiveChannels.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "ConfCar.h"
#include "LiveBlocks.h"

namespace monitor {
namespace {

constexpr float kNone = std::numeric_limits<float>::quiet_NaN();

// The raw byte in [first, last] whose decoded value is nearest to want
// (the lowest such byte on a tie).
template <class Decode>
int NearestRaw(int want, int first, int last, Decode decode) {
  int best = first;
  int bestDistance = std::numeric_limits<int>::max();
  for (int raw = first; raw <= last; ++raw) {
    const int distance = std::abs(decode(raw) - want);
    if (distance < bestDistance) {
      best = raw;
      bestDistance = distance;
    }
  }
  return best;
}

std::uint8_t Byte(int value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

const std::array<LiveChannelInfo, kLiveChannelCount>& LiveChannelTable() {
  static const std::array<LiveChannelInfo, kLiveChannelCount> table = {{
      {LiveChannel::Rpm, "RPM", "rpm", 0},
      {LiveChannel::Lambda, "Lambda", "V", 2},
      {LiveChannel::Tps, "TPS", "V", 2},
      {LiveChannel::TpsZone, "TPS zone", "", 0},
      {LiveChannel::LambdaStatus, "Lambda status", "", 0},
      {LiveChannel::Actuator, "Actuator", "steps", 0},
      {LiveChannel::DefaultPosition, "Default pos", "steps", 0},
      {LiveChannel::MinTps, "Min TPS", "V", 2},
      {LiveChannel::GasTemperature, "Gas temp", "C", 0},
      {LiveChannel::GasLevel, "Gas level", "", 0},
      {LiveChannel::Fuel, "Fuel", "", 0},
      {LiveChannel::CutOff, "Cut-off", "", 0},
      {LiveChannel::UpperLimit, "Upper limit", "", 0},
      {LiveChannel::LowerLimit, "Lower limit", "", 0},
  }};
  return table;
}

std::vector<ChartChannel> LiveChartChannels() {
  std::vector<ChartChannel> channels;
  for (const LiveChannelInfo& info : LiveChannelTable()) {
    ChartChannel c;
    c.name = info.name;
    c.unit = info.unit;
    c.digits = info.digits;
    channels.push_back(std::move(c));
  }
  return channels;
}

std::array<float, kLiveChannelCount> ChartValuesOf(const LiveDisplay& d, bool connected) {
  std::array<float, kLiveChannelCount> v;
  v.fill(kNone);
  if (!connected) return v;
  const auto set = [&v](LiveChannel c, double value) {
    v[static_cast<std::size_t>(c)] = static_cast<float>(value);
  };
  set(LiveChannel::Rpm, d.rpm);
  set(LiveChannel::Lambda, d.lambda / 100.0);
  set(LiveChannel::Tps, d.tps / 100.0);
  set(LiveChannel::TpsZone, d.tpsZone);
  set(LiveChannel::LambdaStatus, d.lambdaStatus);
  set(LiveChannel::Actuator, d.actuator);
  set(LiveChannel::DefaultPosition, d.defaultPosition);
  set(LiveChannel::MinTps, d.minTps / 100.0);
  if (d.temperature != live::kNoTemperature) set(LiveChannel::GasTemperature, d.temperature);
  set(LiveChannel::GasLevel, d.gasLevel);
  set(LiveChannel::Fuel, d.OnGas() ? 1 : 0);
  set(LiveChannel::CutOff, d.CutOff() ? 1 : 0);
  set(LiveChannel::UpperLimit, d.UpperLimit() ? 1 : 0);
  set(LiveChannel::LowerLimit, d.LowerLimit() ? 1 : 0);
  return v;
}

bool ReplayChannels::Usable() const {
  return column[static_cast<std::size_t>(LiveChannel::Rpm)] >= 0;
}

ReplayChannels ReplayChannelsOf(const ChartData& data) {
  ReplayChannels map;
  for (std::size_t i = 0; i < kLiveChannelCount; ++i) {
    const auto found = data.ChannelNamed(std::string(LiveChannelTable()[i].name));
    map.column[i] = found ? static_cast<int>(*found) : -1;
  }
  return map;
}

int PeriodOfRpm(int rpm) {
  if (rpm <= 0) return 0;
  return NearestRaw(rpm, 1, 254, live::RpmOfPeriod);
}

int RawOfCentivolts(int centivolts) {
  return NearestRaw(centivolts, 0, 255, live::CentivoltsOfRaw);
}

int RawOfShownTemperature(int celsius) {
  return NearestRaw(celsius, 1, 254,
                    [](int raw) { return static_cast<int>(TemperatureOfRaw(raw)); });
}

LiveSample SampleOfRecord(const ChartData& data, const ReplayChannels& map, std::size_t index) {
  LiveSample s;
  if (index >= data.Count()) return s;
  s.time = data.Times()[index];
  // A value the chart lacks, or that is missing in this sample, reads as 0.
  const auto value = [&](LiveChannel c, float* out) {
    const int column = map.column[static_cast<std::size_t>(c)];
    if (column < 0) return false;
    const float v = data.Channels()[static_cast<std::size_t>(column)].values[index];
    if (std::isnan(v)) return false;
    *out = v;
    return true;
  };
  const auto whole = [&](LiveChannel c) {
    float v = 0;
    return value(c, &v) ? static_cast<int>(std::lround(v)) : 0;
  };
  const auto centivolts = [&](LiveChannel c) {
    float v = 0;
    return value(c, &v) ? static_cast<int>(std::lround(v * 100.0)) : 0;
  };
  const auto on = [&](LiveChannel c) { return whole(c) != 0; };

  float rpm = 0;
  // A sample without engine speed was taken without a connection.
  s.connected = value(LiveChannel::Rpm, &rpm);
  if (!s.connected) return s;
  s.fastRead = true;
  s.slowDue = true;
  s.slowRead = true;
  s.fast[0] = Byte(PeriodOfRpm(static_cast<int>(std::lround(rpm))));
  s.fast[1] = Byte(RawOfCentivolts(centivolts(LiveChannel::Lambda)));
  s.fast[2] = Byte(RawOfCentivolts(centivolts(LiveChannel::Tps)));
  s.fast[3] = Byte(((whole(LiveChannel::LambdaStatus) & 3) << 4) | (whole(LiveChannel::TpsZone) & 3));
  s.fast[4] = Byte((on(LiveChannel::UpperLimit) ? 0x80 : 0) | (on(LiveChannel::LowerLimit) ? 0x40 : 0) |
                   (on(LiveChannel::CutOff) ? 0x04 : 0));
  s.fast[5] = Byte(whole(LiveChannel::Actuator));

  float temperature = 0;
  s.slow[0] = value(LiveChannel::GasTemperature, &temperature)
                  ? Byte(RawOfShownTemperature(static_cast<int>(std::lround(temperature))))
                  : 0;
  s.slow[1] = Byte(whole(LiveChannel::GasLevel));
  s.slow[2] = Byte(on(LiveChannel::Fuel) ? 0x08 : 0);
  // The minimum TPS was recorded as shown: no rule is applied again.
  s.slow[3] = Byte(RawOfCentivolts(centivolts(LiveChannel::MinTps)));
  s.slow[4] = Byte(whole(LiveChannel::DefaultPosition));
  s.minTpsRule = MinTpsRule{};
  return s;
}

}  // namespace monitor
