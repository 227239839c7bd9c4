#include "CsvExport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using logging::Channel;
using logging::DisplayStyle;
using logging::ValueType;

TEST(CsvExport, NamesUnitsRecordsAndMarkerLinesInTimeOrder) {
  logging::Log log;
  log.channels = {{ValueType::U32, "Time", "s", DisplayStyle::Float, 0.001f, 0, 3},
                  {ValueType::S16, "Min TPS", "V", DisplayStyle::Float, 0.01f, 0, 2},
                  {ValueType::U08, "Cut-off", "", DisplayStyle::OnOff, 1, 0, 0}};
  log.times = {0.1, 0.2};
  log.values = {0.1, -0.004, 1,  //
                0.2, 4.5, 0};
  log.markers = {{0.0, "start, \"first\""}, {0.15, "56 \u2192 2600"}, {0.9, "end"}};
  std::ostringstream out;
  logging::WriteCsv(log, out);
  EXPECT_EQ(out.str(),
            "Time,Min TPS,Cut-off,Marker\n"
            "s,V,,\n"
            "0.000,,,\"start, \"\"first\"\"\"\n"
            "0.100,0.00,1,\n"
            "0.150,,,56 \u2192 2600\n"
            "0.200,4.50,0,\n"
            "0.900,,,end\n");
}

}  // namespace
