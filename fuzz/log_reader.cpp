// Fuzz target: the .mlg log reader fed arbitrary bytes. It must refuse or
// read, never crash; a log it reads must be whole (a value for every channel
// of every record, finite marker times) and survive what the chart, the
// replay and the CSV export then do with it.
#include <cmath>
#include <sstream>

#include "CsvExport.h"
#include "EcuChannels.h"
#include "FuzzSupport.h"
#include "LogReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const logging::ReadResult read = logging::ParseLog({data, size});
  if (!read.ok) {
    FUZZ_CHECK(!read.error.empty(), "a refused log says why");
    return 0;
  }
  const logging::Log& log = read.log;
  FUZZ_CHECK(!log.channels.empty(), "a log read has channels");
  FUZZ_CHECK(log.values.size() == log.Records() * log.channels.size(),
             "every record has a value for every channel");
  for (const logging::Marker& m : log.markers) {
    FUZZ_CHECK(std::isfinite(m.time), "a marker's time is a number");
    FUZZ_CHECK(m.text.size() <= logging::kMarkerTextSize, "a marker's text fits its block");
  }
  for (std::size_t r = 0; r < log.Records() && r < 64; ++r)
    (void)logging::SampleOf(logging::RecordOf(log, r));
  if (log.Records() < 2000) {
    std::ostringstream csv;
    logging::WriteCsv(log, csv);
  }
  return 0;
}
