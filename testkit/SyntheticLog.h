// Synthetic recordings written as the session recorder writes them: one
// record of the ECU's channels per sample, in an .mlg log.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "EcuChannels.h"
#include "LogWriter.h"
#include "Sample.h"

namespace calibration::testing {

inline logging::EcuRecord RecordOf(const Sample& s) {
  logging::EcuRecord r;
  r.time = s.time;
  r.rpm = s.rpm;
  r.lambdaCentivolts = s.lambda;
  r.actuator = s.actuator;
  r.defaultPosition = s.defaultPosition;
  r.temperature = s.temperature == kNoTemperature ? live::kNoTemperature : s.temperature;
  r.onGas = s.onGas;
  r.cutOff = s.cutOff;
  r.upperLimit = s.upperLimit;
  r.lowerLimit = s.lowerLimit;
  return r;
}

// False, with the writer's reason, when the log cannot be written.
inline bool WriteLog(const std::filesystem::path& file, const std::vector<Sample>& samples,
                     std::string* error) {
  logging::LogWriter writer;
  if (!writer.Open(file, 1765396800, logging::EcuChannels(), "synthetic bench test")) {
    *error = writer.Error();
    return false;
  }
  for (const Sample& s : samples) {
    std::array<double, logging::kEcuChannelCount> values{};
    logging::ValuesOf(RecordOf(s), values);
    writer.AppendRecord(s.time, values);
  }
  writer.Close();
  *error = writer.Error();
  return !writer.Failed();
}

}  // namespace calibration::testing
