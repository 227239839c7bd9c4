// Records a live session into an .mlg log: every poll that brought something
// (once both blocks have arrived) becomes a record of the values the live
// view shows, and the moments a technician looks for become markers: the
// change-over between petrol and gas, the cut-off entered, the connection
// lost and back, every write to the ECU during the session, and the markers
// set by hand.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "EcuChannels.h"
#include "LiveBlocks.h"
#include "LogWriter.h"
#include "WriteObserver.h"

namespace logging {

class SessionRecorder {
 public:
  // Called once, when the log cannot be written any more, with why.
  using FailureReport = std::function<void(const std::string& why)>;

  void SetFailureReport(FailureReport report) { report_ = std::move(report); }

  // Opens the log; startTime in Unix seconds, info for the log's info text.
  bool Start(const std::filesystem::path& file, std::uint32_t startTime, std::string_view info);
  // One poll of the ECU.
  void Take(const live::Sample& sample);
  // A marker at the time of the latest poll. Its time is exact within
  // 0.65 s of a record; one set while the ECU has been silent longer counts
  // from the last record, modulo 0.65536 s (the format's block stamp).
  void Mark(std::string_view text);
  // Flushes and closes the log.
  void Stop();

  bool Recording() const { return writer_.IsOpen() && !writer_.Failed(); }
  bool Failed() const { return writer_.Failed(); }
  const std::string& Error() const { return writer_.Error(); }
  const std::filesystem::path& File() const { return writer_.File(); }
  std::uint64_t Records() const { return writer_.Records(); }
  std::uint64_t Markers() const { return writer_.Markers(); }
  const EcuRecord& Latest() const { return folder_.Record(); }

 private:
  void CheckFailure();

  LogWriter writer_;
  RecordFolder folder_;
  FailureReport report_;
  bool reported_ = false;
  bool everConnected_ = false;
  bool connected_ = false;
  bool fastSeen_ = false;
  bool slowSeen_ = false;
  double lastTime_ = 0;
  double silentSince_ = -1;  // time of the first poll that brought nothing, -1 while data comes
};

// The marker of one write: "56 → 2600", an element "60[3] → 12", and what
// the ECU did not take: "56 → 2600 refused", "56 → 2600 no answer".
std::string WriteMarkerText(const WriteAttempt& attempt);

// Turns the store's writes into markers, as the write journal keeps them:
// a run of writes (file load, erase, restore) opens with a marker naming it,
// then only the values that changed or that the ECU did not take.
class WriteMarkers final : public WriteObserver {
 public:
  using Sink = std::function<void(const std::string& text)>;
  explicit WriteMarkers(Sink sink) : sink_(std::move(sink)) {}

  void BulkWriteStarted(BulkWrite kind, std::string_view source) override;
  void WriteAttempted(const WriteAttempt& attempt) override;
  void BulkWriteFinished(BulkWrite kind) override;

 private:
  Sink sink_;
  bool inBulk_ = false;
};

}  // namespace logging
