// A live session as a log: records for the polls that brought something, and
// the markers a technician looks for.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "SessionRecorder.h"
#include "TempFolder.h"

namespace {

live::Sample Poll(double time, int period, std::uint8_t fastFlags = 0, int slowFlags = -1) {
  live::Sample s;
  s.time = time;
  s.connected = true;
  s.fastRead = true;
  s.fast[0] = static_cast<std::uint8_t>(period);
  s.fast[4] = fastFlags;
  if (slowFlags >= 0) {
    s.slowDue = s.slowRead = true;
    s.slow[0] = 100;
    s.slow[2] = static_cast<std::uint8_t>(slowFlags);
  }
  return s;
}

live::Sample Disconnected(double time) {
  live::Sample s;
  s.time = time;
  return s;
}

std::vector<std::string> Texts(const logging::Log& log) {
  std::vector<std::string> texts;
  for (const auto& m : log.markers) texts.push_back(m.text);
  return texts;
}

TEST(SessionRecorder, PollsBecomeRecordsAndTheirTurningPointsMarkers) {
  TempFolder folder;
  logging::SessionRecorder recorder;
  ASSERT_TRUE(recorder.Start(folder / "s.mlg", 1700000000, "ECU X"));
  recorder.Take(Disconnected(0.0));          // not yet connected: no marker, no record
  recorder.Take(Poll(0.1, 60, 0x04, 0x08));  // already in cut-off and on gas: no marker
  recorder.Take(Poll(0.2, 60, 0x00));
  recorder.Take(Poll(0.3, 60, 0x04));        // cut-off entered
  recorder.Take(Poll(0.4, 120, 0x00, 0x00)); // change-over to petrol
  recorder.Mark("by hand");
  recorder.Take(Disconnected(0.5));          // connection lost
  recorder.Take(Disconnected(3.0));
  recorder.Take(Poll(3.1, 120, 0x00, 0x08)); // connection back, change-over to gas
  live::Sample nothing = Poll(3.2, 30);
  nothing.fastRead = false;                  // a poll that brought nothing
  recorder.Take(nothing);
  recorder.Stop();
  EXPECT_EQ(recorder.Records(), 5u);

  const auto read = logging::ReadLog(folder / "s.mlg");
  ASSERT_TRUE(read.ok) << read.error;
  const logging::Log& log = read.log;
  EXPECT_EQ(log.info, "ECU X");
  ASSERT_EQ(log.Records(), 5u);
  const int rpm = log.ChannelIndex("RPM");
  const double expectedRpm[] = {2000, 2000, 2000, 1000, 1000};
  for (std::size_t r = 0; r < 5; ++r)
    EXPECT_EQ(log.Value(r, static_cast<std::size_t>(rpm)), expectedRpm[r]) << r;
  EXPECT_EQ(Texts(log), (std::vector<std::string>{"cut-off entered", "change-over to petrol",
                                                  "by hand", "connection lost", "connection back",
                                                  "change-over to gas"}));
  const double times[] = {0.3, 0.4, 0.4, 0.5, 3.1, 3.1};
  for (std::size_t m = 0; m < 6; ++m) EXPECT_NEAR(log.markers[m].time, times[m], 1e-4) << m;
}

TEST(SessionRecorder, AFailedWriteIsReportedOnceAndRecordingStops) {
  TempFolder folder;
  logging::SessionRecorder recorder;
  std::vector<std::string> reports;
  recorder.SetFailureReport([&](const std::string& why) { reports.push_back(why); });
  std::ofstream(folder / "file") << "x";
  EXPECT_FALSE(recorder.Start(folder / "file" / "s.mlg", 0, ""));
  recorder.Take(Poll(0.1, 60));
  recorder.Mark("m");
  recorder.Stop();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].rfind("cannot create the log", 0), 0u);
  EXPECT_FALSE(recorder.Recording());
}

WriteAttempt Attempt(int identifier, int element, int oldRaw, int newRaw, long double newValue,
                     WriteAnswer answer = WriteAnswer::kAccepted) {
  WriteAttempt a;
  a.identifier = identifier;
  a.element = element;
  a.oldRaw = oldRaw;
  a.newRaw = newRaw;
  a.oldValue = oldRaw;
  a.newValue = newValue;
  a.answer = answer;
  return a;
}

TEST(SessionRecorder, WritesBecomeMarkersAsTheJournalKeepsThem) {
  std::vector<std::string> markers;
  logging::WriteMarkers observer([&](const std::string& text) { markers.push_back(text); });
  WriteObserver& asObserver = observer;
  asObserver.WriteAttempted(Attempt(56, -1, 22, 26, 2600));
  asObserver.WriteAttempted(Attempt(60, 3, 10, 12, 12, WriteAnswer::kRefused));
  asObserver.WriteAttempted(Attempt(30, -1, 5, 5, 0.5, WriteAnswer::kNoAnswer));
  asObserver.WriteAttempted(Attempt(72, -1, 0, 0, 0));  // the customer code: never its value
  asObserver.BulkWriteStarted(BulkWrite::kFileLoad, "a.dmr");
  asObserver.WriteAttempted(Attempt(5, -1, 3, 3, 3));   // unchanged in a run: not told
  asObserver.WriteAttempted(Attempt(6, -1, 3, 4, 4));
  asObserver.BulkWriteFinished(BulkWrite::kFileLoad);
  asObserver.WriteAttempted(Attempt(5, -1, 3, 3, 3));   // outside a run every write is told
  EXPECT_EQ(markers, (std::vector<std::string>{
                         "56 \u2192 2600", "60[3] \u2192 12 refused", "30 \u2192 0.5 no answer",
                         "72 customer code set", "file load", "6 \u2192 4", "5 \u2192 3"}));
}

}  // namespace
