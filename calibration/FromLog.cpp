#include "FromLog.h"

#include "EcuChannels.h"
#include "FromLive.h"

namespace calibration {

std::vector<Sample> SamplesOf(const logging::Log& log) {
  std::vector<Sample> samples;
  samples.reserve(log.Records());
  for (std::size_t r = 0; r < log.Records(); ++r) samples.push_back(SampleOfRecord(logging::RecordOf(log, r)));
  return samples;
}

}  // namespace calibration
