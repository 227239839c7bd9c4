// What a recording of the ECU holds: one record per poll that brought
// something, with the values the live view shows (the model's decoding of
// the live blocks, the minimum TPS as shown), and the channels they are
// written as. The gas temperature's "no reading" is kept apart in its own
// channel, so a chart of the temperature is never pulled to a sentinel.
#pragma once

#include <span>
#include <vector>

#include "LiveBlocks.h"
#include "LogReader.h"
#include "MlgFormat.h"

namespace logging {

struct EcuRecord {
  double time = 0;  // seconds since the recording started
  int rpm = 0;
  int lambdaCentivolts = 0;
  int tpsCentivolts = 0;
  int tpsZone = 0;
  int lambdaStatus = 0;
  int actuator = 0;
  int defaultPosition = 0;
  int minTpsCentivolts = 0;  // as the live view shows it
  int temperature = live::kNoTemperature;
  int gasLevel = 0;
  bool onGas = false;
  bool cutOff = false;
  bool upperLimit = false;
  bool lowerLimit = false;
  bool actuatorWindows = false;  // the live view draws the actuator's working windows

  bool operator==(const EcuRecord&) const = default;
};

// The channels in record order: Time, RPM, Lambda, TPS, TPS zone, Lambda
// status, Actuator, Default pos, Min TPS, Gas temp, Gas temp valid, Gas
// level, Fuel (1 = gas), Cut-off, Upper limit, Lower limit, Actuator windows.
std::span<const Channel> EcuChannels();
constexpr std::size_t kEcuChannelCount = 17;

// The record's shown values in channel order.
void ValuesOf(const EcuRecord& record, std::span<double, kEcuChannelCount> values);

// Takes what one poll brought into the record; a part that was not read
// keeps its values, as on the live view. True when anything arrived.
bool Apply(const live::Sample& sample, EcuRecord* record);

// Folds a session's polls into its record. A poll that brought something
// makes a record once both blocks have arrived: until the first slow block
// the fuel, the level and the temperature are not known, and a log never
// holds a made-up value.
class RecordFolder {
 public:
  // True when the poll makes a record.
  bool Take(const live::Sample& sample);
  const EcuRecord& Record() const { return record_; }

 private:
  EcuRecord record_;
  bool fastSeen_ = false;
  bool slowSeen_ = false;
};

// The record as a log gives it back: each value in its channel's stored
// form, the time to the millisecond. What is worked out from a live record
// this way agrees with what is worked out from its log.
EcuRecord AsLogged(const EcuRecord& record);

// A record of a log back as an EcuRecord, by channel name; channels the log
// lacks read as the record's defaults.
EcuRecord RecordOf(const Log& log, std::size_t record);

// A poll that brings exactly the record's values again, for a replay through
// the live view: blocks rebuilt from the shown values, the minimum TPS sent
// with the rule that shows it as recorded.
live::Sample SampleOf(const EcuRecord& record);

}  // namespace logging
