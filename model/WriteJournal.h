// The write journal: one line per write sent to the ECU, appended to a text
// file per ECU as it happens. Comma-separated with a header line, so a
// spreadsheet opens it and grep finds a parameter; each line is flushed as it
// is written, so a crash loses nothing the ECU already took.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "WriteObserver.h"

// The first line of every journal file.
extern const char* const kJournalHeader;

struct JournalLine {
  std::string time;      // local time, "YYYY-MM-DD HH:MM:SS"
  std::string event;     // "write", or the run it belongs to: "file load", "erase", "restore"
  int identifier = -1;   // -1 on the line that opens a run
  int element = -1;      // -1 for a single value
  std::string oldValue;  // in units; empty when there is none to tell
  std::string newValue;
  int oldRaw = -1;  // -1 when there is none to tell
  int newRaw = -1;
  std::string answer;  // "accepted", "refused", "no answer"; empty on a run's first line
  std::string note;    // the file of a load or restore; "customer code set"

  bool operator==(const JournalLine&) const = default;
};

std::string FormatJournalLine(const JournalLine& line);
// Nothing for the header, an empty line or a line that is not a journal line.
std::optional<JournalLine> ParseJournalLine(std::string_view text);

std::string JournalTime(std::chrono::system_clock::time_point time);
const char* AnswerText(WriteAnswer answer);
const char* BulkWriteText(BulkWrite kind);
// Inside a run of writes (file load, erase, restore), whether a write is worth
// telling: its value changed, it is the erase itself, or the ECU did not take it.
bool KeptInRun(const WriteAttempt& attempt);
// The journal line of one write; the customer code never shows its value.
JournalLine LineOfAttempt(const WriteAttempt& attempt, std::string_view event);

// Appends the store's writes to a journal file. Inside a run of writes (file
// load, erase, restore) only the values that changed or that the ECU did not
// take get a line, after one line that names the run and its file.
//
// Each line goes to the file in one write. A line cut short (the disk filled
// up half-way) is ended before the next line is appended, so no later line is
// glued onto it; a line that could not be written is counted and reported.
class JournalWriter final : public WriteObserver {
 public:
  // Called when a line cannot be written (folder or disk), with why: once for
  // each run of failures, so a failure after a line that was written again is
  // reported again.
  using FailureReport = std::function<void(const std::string& why)>;

  JournalWriter() = default;
  ~JournalWriter();
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  void SetFile(const std::filesystem::path& file);
  const std::filesystem::path& File() const { return file_; }
  void SetFailureReport(FailureReport report) { report_ = std::move(report); }
  // True when the last line could not be written.
  bool Failed() const { return failed_; }
  // Lines that could not be written since the file was set.
  int LostLines() const { return lost_; }

  void BulkWriteStarted(BulkWrite kind, std::string_view source) override;
  void WriteAttempted(const WriteAttempt& attempt) override;
  void BulkWriteFinished(BulkWrite kind) override;

 private:
  void Append(const JournalLine& line);
  bool AppendText(std::string text, std::string* why);
  void Close();

  std::filesystem::path file_;
  int fd_ = -1;
  FailureReport report_;
  bool failed_ = false;
  bool reported_ = false;
  int lost_ = 0;
  bool inBulk_ = false;
  std::string bulkEvent_;
};

// Longest journal line read; a longer one is skipped without being gathered.
constexpr std::size_t kMaxJournalLineLength = 4096;

struct JournalReading {
  std::vector<JournalLine> lines;
  int skipped = 0;  // lines that are not journal lines (too long ones included)
  bool opened = false;
  std::string error;  // why not opened: it cannot be read, or is no regular file
};
// The lines of a journal file from the day since on ("YYYY-MM-DD", or any
// prefix of a journal time; empty for all).
JournalReading ReadJournal(const std::filesystem::path& file, std::string_view since = {});
