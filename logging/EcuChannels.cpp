#include "EcuChannels.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "ConfCar.h"

namespace logging {
namespace {

using enum ValueType;
using enum DisplayStyle;

const std::array<Channel, kEcuChannelCount> kChannels = {{
    {U32, "Time", "s", Float, 0.001f, 0, 3},
    {U16, "RPM", "rpm", Float, 1, 0, 0},
    {U16, "Lambda", "V", Float, 0.01f, 0, 2},
    {U16, "TPS", "V", Float, 0.01f, 0, 2},
    {U08, "TPS zone", "", Float, 1, 0, 0},
    {U08, "Lambda status", "", Float, 1, 0, 0},
    {U08, "Actuator", "steps", Float, 1, 0, 0},
    {U08, "Default pos", "steps", Float, 1, 0, 0},
    {S16, "Min TPS", "V", Float, 0.01f, 0, 2},
    {S16, "Gas temp", "C", Float, 1, 0, 0},
    {U08, "Gas temp valid", "", YesNo, 1, 0, 0},
    {U08, "Gas level", "", Float, 1, 0, 0},
    {U08, "Fuel", "gas=1", Float, 1, 0, 0},
    {U08, "Cut-off", "", OnOff, 1, 0, 0},
    {U08, "Upper limit", "", OnOff, 1, 0, 0},
    {U08, "Lower limit", "", OnOff, 1, 0, 0},
    {U08, "Actuator windows", "", OnOff, 1, 0, 0},
}};

// The byte (0..255) whose decoding comes nearest the shown value.
template <typename Decode>
std::uint8_t NearestByte(int shown, Decode decode, int first = 0, int last = 255) {
  int best = first;
  long bestDistance = -1;
  for (int raw = first; raw <= last; ++raw) {
    const long distance = std::labs(static_cast<long>(decode(raw)) - shown);
    if (bestDistance < 0 || distance < bestDistance) {
      best = raw;
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

int Rounded(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

std::span<const Channel> EcuChannels() { return kChannels; }

void ValuesOf(const EcuRecord& r, std::span<double, kEcuChannelCount> v) {
  const bool temperatureKnown = r.temperature != live::kNoTemperature;
  v[0] = r.time;
  v[1] = r.rpm;
  v[2] = r.lambdaCentivolts / 100.0;
  v[3] = r.tpsCentivolts / 100.0;
  v[4] = r.tpsZone;
  v[5] = r.lambdaStatus;
  v[6] = r.actuator;
  v[7] = r.defaultPosition;
  v[8] = r.minTpsCentivolts / 100.0;
  v[9] = temperatureKnown ? r.temperature : 0;
  v[10] = temperatureKnown ? 1 : 0;
  v[11] = r.gasLevel;
  v[12] = r.onGas ? 1 : 0;
  v[13] = r.cutOff ? 1 : 0;
  v[14] = r.upperLimit ? 1 : 0;
  v[15] = r.lowerLimit ? 1 : 0;
  v[16] = r.actuatorWindows ? 1 : 0;
}

bool Apply(const live::Sample& sample, EcuRecord* r) {
  r->time = sample.time;
  if (!sample.connected) return false;
  if (sample.fastRead) {
    const live::FastValues fast = live::DecodeFast(sample.fast.data());
    r->rpm = fast.rpm;
    r->lambdaCentivolts = fast.lambdaCentivolts;
    r->tpsCentivolts = fast.tpsCentivolts;
    r->tpsZone = fast.tpsZone;
    r->lambdaStatus = fast.lambdaStatus;
    r->actuator = fast.actuator;
    r->cutOff = fast.cutOff;
    r->upperLimit = fast.upperLimit;
    r->lowerLimit = fast.lowerLimit;
  }
  if (sample.slowRead) {
    const live::SlowValues slow = live::DecodeSlow(sample.slow.data());
    r->temperature = slow.temperature;
    r->gasLevel = slow.gasLevel;
    r->onGas = slow.onGas;
    r->actuatorWindows = slow.showActuatorWindows;
    r->minTpsCentivolts = live::MinTpsShown(slow.minTpsCentivolts, sample.minTpsRule);
    r->defaultPosition = slow.defaultPosition;
  }
  return sample.fastRead || sample.slowRead;
}

bool RecordFolder::Take(const live::Sample& sample) {
  const bool arrived = Apply(sample, &record_);
  fastSeen_ = fastSeen_ || (sample.connected && sample.fastRead);
  slowSeen_ = slowSeen_ || (sample.connected && sample.slowRead);
  return arrived && fastSeen_ && slowSeen_;
}

namespace {

// A record from its channels' values; Value(name, fallback) gives a
// channel's value, or the fallback where there is no such channel.
template <typename Value>
EcuRecord RecordFrom(double time, Value value) {
  EcuRecord r;
  r.time = time;
  r.rpm = Rounded(value("RPM", 0));
  r.lambdaCentivolts = Rounded(value("Lambda", 0) * 100);
  r.tpsCentivolts = Rounded(value("TPS", 0) * 100);
  r.tpsZone = Rounded(value("TPS zone", 0));
  r.lambdaStatus = Rounded(value("Lambda status", 0));
  r.actuator = Rounded(value("Actuator", 0));
  r.defaultPosition = Rounded(value("Default pos", 0));
  r.minTpsCentivolts = Rounded(value("Min TPS", 0) * 100);
  // A log without the temperature channel (NaN as its fallback) has no reading.
  const bool temperatureKnown =
      value("Gas temp valid", 1) != 0 && !std::isnan(value("Gas temp", std::nan("")));
  r.temperature = temperatureKnown ? Rounded(value("Gas temp", 0)) : live::kNoTemperature;
  r.gasLevel = Rounded(value("Gas level", 0));
  r.onGas = value("Fuel", 0) != 0;
  r.cutOff = value("Cut-off", 0) != 0;
  r.upperLimit = value("Upper limit", 0) != 0;
  r.lowerLimit = value("Lower limit", 0) != 0;
  r.actuatorWindows = value("Actuator windows", 0) != 0;
  return r;
}

}  // namespace

EcuRecord AsLogged(const EcuRecord& record) {
  std::array<double, kEcuChannelCount> values{};
  ValuesOf(record, values);
  for (std::size_t i = 0; i < kEcuChannelCount; ++i)
    values[i] = ValueOf(kChannels[i], RawOf(kChannels[i], values[i]));
  return RecordFrom(values[0], [&values](const char* name, double) {
    std::size_t i = 0;
    while (kChannels[i].name != name) ++i;
    return values[i];
  });
}

EcuRecord RecordOf(const Log& log, std::size_t record) {
  return RecordFrom(log.times[record], [&](const char* name, double fallback) {
    const int c = log.ChannelIndex(name);
    return c < 0 ? fallback : log.Value(record, static_cast<std::size_t>(c));
  });
}

live::Sample SampleOf(const EcuRecord& r) {
  live::Sample s;
  s.time = r.time;
  s.connected = s.fastRead = s.slowDue = s.slowRead = true;
  s.fast[0] = r.rpm == 0 ? 0 : NearestByte(r.rpm, live::RpmOfPeriod, 1, 254);
  s.fast[1] = NearestByte(r.lambdaCentivolts, live::CentivoltsOfRaw);
  s.fast[2] = NearestByte(r.tpsCentivolts, live::CentivoltsOfRaw);
  s.fast[3] = static_cast<std::uint8_t>((r.tpsZone & 0x03) | ((r.lambdaStatus & 0x03) << 4));
  s.fast[4] = static_cast<std::uint8_t>((r.upperLimit ? 0x80 : 0) | (r.lowerLimit ? 0x40 : 0) |
                                        (r.cutOff ? 0x04 : 0));
  s.fast[5] = static_cast<std::uint8_t>(std::clamp(r.actuator, 0, 255));
  s.slow[0] = r.temperature == live::kNoTemperature
                  ? 0
                  : NearestByte(r.temperature,
                                [](int raw) { return static_cast<int>(TemperatureOfRaw(raw)); },
                                1, 254);
  s.slow[1] = static_cast<std::uint8_t>(std::clamp(r.gasLevel, 0, 255));
  s.slow[2] = static_cast<std::uint8_t>((r.onGas ? 0x08 : 0) | (r.actuatorWindows ? 0x01 : 0));
  // The shown minimum TPS may lie between two bytes' voltages (it was shown
  // with the hysteresis added): send the byte below and add the difference.
  s.slow[3] = NearestByte(r.minTpsCentivolts, live::CentivoltsOfRaw);
  if (r.minTpsCentivolts >= 0 && r.minTpsCentivolts < 500) {
    while (s.slow[3] > 0 && live::CentivoltsOfRaw(s.slow[3]) > r.minTpsCentivolts) --s.slow[3];
    s.minTpsRule.hysteresis = r.minTpsCentivolts - live::CentivoltsOfRaw(s.slow[3]);
    s.minTpsRule.fixedIdleTps = s.minTpsRule.hysteresis > 0;
  }
  s.slow[4] = static_cast<std::uint8_t>(std::clamp(r.defaultPosition, 0, 255));
  return s;
}

}  // namespace logging
