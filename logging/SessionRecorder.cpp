#include "SessionRecorder.h"

#include <array>

#include "WriteJournal.h"

namespace logging {

bool SessionRecorder::Start(const std::filesystem::path& file, std::uint32_t startTime,
                            std::string_view info) {
  folder_ = {};
  reported_ = everConnected_ = connected_ = fastSeen_ = slowSeen_ = false;
  lastTime_ = 0;
  silentSince_ = -1;
  const bool opened = writer_.Open(file, startTime, EcuChannels(), info);
  CheckFailure();
  return opened;
}

void SessionRecorder::Take(const live::Sample& sample) {
  if (!writer_.IsOpen()) return;
  lastTime_ = sample.time;
  const EcuRecord before = folder_.Record();
  if (folder_.Take(sample)) {
    std::array<double, kEcuChannelCount> values{};
    ValuesOf(folder_.Record(), values);
    writer_.AppendRecord(sample.time, values);
  }
  if (sample.connected && (sample.fastRead || sample.slowRead)) {
    silentSince_ = -1;
  } else if (silentSince_ < 0) {
    silentSince_ = sample.time;
  }
  // A marker follows the record of its poll, so its time counts from there.
  // The connection is lost from the first poll that brought nothing.
  if (connected_ && !sample.connected)
    writer_.AppendMarker(silentSince_ >= 0 ? silentSince_ : sample.time, "connection lost");
  if (!connected_ && sample.connected && everConnected_)
    writer_.AppendMarker(sample.time, "connection back");
  connected_ = sample.connected;
  everConnected_ = everConnected_ || sample.connected;

  if (sample.connected && sample.fastRead) {
    if (fastSeen_ && folder_.Record().cutOff && !before.cutOff)
      writer_.AppendMarker(sample.time, "cut-off entered");
    fastSeen_ = true;
  }
  if (sample.connected && sample.slowRead) {
    if (slowSeen_ && folder_.Record().onGas != before.onGas)
      writer_.AppendMarker(sample.time,
                           folder_.Record().onGas ? "change-over to gas" : "change-over to petrol");
    slowSeen_ = true;
  }
  CheckFailure();
}

void SessionRecorder::Mark(std::string_view text) {
  writer_.AppendMarker(lastTime_, text);
  CheckFailure();
}

void SessionRecorder::Stop() {
  writer_.Close();
  CheckFailure();
}

void SessionRecorder::CheckFailure() {
  if (writer_.Failed() && !reported_) {
    reported_ = true;
    if (report_) report_(writer_.Error());
  }
}

std::string WriteMarkerText(const WriteAttempt& attempt) {
  const JournalLine line = LineOfAttempt(attempt, "write");
  std::string text = std::to_string(attempt.identifier);
  if (attempt.element >= 0) text += "[" + std::to_string(attempt.element) + "]";
  if (!line.newValue.empty()) text += " \u2192 " + line.newValue;
  else if (!line.note.empty()) text += " " + line.note;
  if (attempt.answer != WriteAnswer::kAccepted) text += std::string(" ") + AnswerText(attempt.answer);
  return text;
}

void WriteMarkers::BulkWriteStarted(BulkWrite kind, std::string_view) {
  inBulk_ = true;
  sink_(BulkWriteText(kind));
}

void WriteMarkers::WriteAttempted(const WriteAttempt& attempt) {
  if (!inBulk_ || KeptInRun(attempt)) sink_(WriteMarkerText(attempt));
}

void WriteMarkers::BulkWriteFinished(BulkWrite) { inBulk_ = false; }

}  // namespace logging
