// The check's samples from a recorded log: each record read back as the
// values the live view showed, taken as a sample the same way a live poll is.
#pragma once

#include <vector>

#include "LogReader.h"
#include "Sample.h"

namespace calibration {

// One sample per record, in the log's order. Channels the log lacks read as
// the recorder's defaults (no temperature reading: not taken as cold).
std::vector<Sample> SamplesOf(const logging::Log& log);

}  // namespace calibration
