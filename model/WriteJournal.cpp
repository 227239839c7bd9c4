#include "WriteJournal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <locale>
#include <sstream>
#include <system_error>

#include "ConfCar.h"
#include "RegularFiles.h"

const char* const kJournalHeader =
    "time,event,identifier,element,old value,new value,old raw,new raw,answer,note";

namespace {

constexpr std::size_t kFieldCount = 10;

std::string Units(long double value) {
  if (value == kMissingValue) return {};
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text.precision(15);
  text << static_cast<double>(value);
  return text.str();
}

std::string OptionalInt(int value) {
  return value < 0 ? std::string() : std::to_string(value);
}

// A free text as one field: control characters would break the line, so they
// become '?'; a comma or quote puts the field in quotes, quotes doubled.
std::string Field(std::string_view text) {
  std::string clean;
  bool quote = false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      clean.push_back('?');
      continue;
    }
    if (c == ',' || c == '"') quote = true;
    if (c == '"') clean.push_back('"');
    clean.push_back(c);
  }
  return quote ? '"' + clean + '"' : clean;
}

std::vector<std::string> SplitFields(std::string_view text) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        fields.back().push_back('"');
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        fields.back().push_back(c);
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back().push_back(c);
    }
  }
  return fields;
}

// Empty is "none" (-1); anything else must be a whole number from 0 on.
bool ParseOptionalInt(const std::string& text, int* value) {
  if (text.empty()) {
    *value = -1;
    return true;
  }
  const auto r = std::from_chars(text.data(), text.data() + text.size(), *value);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && *value >= 0;
}

}  // namespace

std::string JournalTime(std::chrono::system_clock::time_point time) {
  const std::time_t t = std::chrono::system_clock::to_time_t(time);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

const char* AnswerText(WriteAnswer answer) {
  switch (answer) {
    case WriteAnswer::kAccepted:
      return "accepted";
    case WriteAnswer::kRefused:
      return "refused";
    default:
      return "no answer";
  }
}

const char* BulkWriteText(BulkWrite kind) {
  switch (kind) {
    case BulkWrite::kFileLoad:
      return "file load";
    case BulkWrite::kErase:
      return "erase";
    default:
      return "restore";
  }
}

bool KeptInRun(const WriteAttempt& attempt) {
  const bool changed = attempt.oldRaw != attempt.newRaw || attempt.identifier == 0;
  return changed || attempt.answer != WriteAnswer::kAccepted;
}

JournalLine LineOfAttempt(const WriteAttempt& attempt, std::string_view event) {
  JournalLine line;
  line.time = JournalTime(attempt.time);
  line.event = event;
  line.identifier = attempt.identifier;
  line.element = attempt.element;
  line.answer = AnswerText(attempt.answer);
  if (attempt.identifier == params::Number(params::Id::CustomerCode)) {
    line.note = "customer code set";
  } else if (attempt.identifier == params::Number(params::Id::None)) {
    line.note = "erase command";
  } else {
    line.oldValue = Units(attempt.oldValue);
    line.newValue = Units(attempt.newValue);
    line.oldRaw = attempt.oldRaw;
    line.newRaw = attempt.newRaw;
  }
  return line;
}

std::string FormatJournalLine(const JournalLine& line) {
  std::string text = line.time;
  for (const std::string& field :
       {line.event, OptionalInt(line.identifier), OptionalInt(line.element), line.oldValue,
        line.newValue, OptionalInt(line.oldRaw), OptionalInt(line.newRaw), line.answer}) {
    text += ',' + Field(field);
  }
  return text + ',' + Field(line.note);
}

std::optional<JournalLine> ParseJournalLine(std::string_view text) {
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  if (text.empty() || text == kJournalHeader) return std::nullopt;
  const std::vector<std::string> fields = SplitFields(text);
  if (fields.size() != kFieldCount || fields[0].size() != 19 || fields[1].empty())
    return std::nullopt;
  JournalLine line;
  line.time = fields[0];
  line.event = fields[1];
  line.oldValue = fields[4];
  line.newValue = fields[5];
  line.answer = fields[8];
  line.note = fields[9];
  if (!ParseOptionalInt(fields[2], &line.identifier) ||
      !ParseOptionalInt(fields[3], &line.element) || !ParseOptionalInt(fields[6], &line.oldRaw) ||
      !ParseOptionalInt(fields[7], &line.newRaw))
    return std::nullopt;
  return line;
}

JournalWriter::~JournalWriter() {
  Close();
}

void JournalWriter::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void JournalWriter::SetFile(const std::filesystem::path& file) {
  if (file == file_) return;
  Close();
  file_ = file;
  reported_ = false;
  lost_ = 0;
}

void JournalWriter::BulkWriteStarted(BulkWrite kind, std::string_view source) {
  inBulk_ = true;
  bulkEvent_ = BulkWriteText(kind);
  JournalLine line;
  line.time = JournalTime(std::chrono::system_clock::now());
  line.event = bulkEvent_;
  line.note = source;
  Append(line);
}

void JournalWriter::WriteAttempted(const WriteAttempt& attempt) {
  if (!inBulk_) {
    Append(LineOfAttempt(attempt, "write"));
    return;
  }
  // A run of writes keeps the journal small: what changed, and what the ECU
  // did not take, each on its line.
  if (KeptInRun(attempt)) Append(LineOfAttempt(attempt, bulkEvent_));
}

void JournalWriter::BulkWriteFinished(BulkWrite) {
  inBulk_ = false;
}

void JournalWriter::Append(const JournalLine& line) {
  if (file_.empty()) return;
  std::string why;
  failed_ = !AppendText(FormatJournalLine(line) + '\n', &why);
  if (!failed_) {
    reported_ = false;  // a later failure is news again
    return;
  }
  ++lost_;
  // Opened afresh for the next line: the disk may have room again by then.
  Close();
  if (!reported_ && report_) {
    reported_ = true;
    report_("cannot write the journal " + file_.string() + ": " + why);
  }
}

bool JournalWriter::AppendText(std::string text, std::string* why) {
  if (fd_ < 0) {
    std::error_code error;
    std::filesystem::create_directories(file_.parent_path(), error);
    // Never blocks (a FIFO in its place) and never appends to anything but a
    // regular file.
    fd_ = ::open(file_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd_ < 0) {
      *why = std::strerror(errno);
      return false;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      *why = "not a regular file";
      return false;
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  }
  // A new file starts with the header; a last line cut short is ended first.
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    *why = std::strerror(errno);
    return false;
  }
  if (info.st_size == 0) {
    text = std::string(kJournalHeader) + '\n' + text;
  } else {
    char last = '\n';
    if (::pread(fd_, &last, 1, info.st_size - 1) == 1 && last != '\n') text = '\n' + text;
  }
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      *why = n == 0 ? std::strerror(ENOSPC) : std::strerror(errno);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

JournalReading ReadJournal(const std::filesystem::path& file, std::string_view since) {
  JournalReading reading;
  std::FILE* in = regularfile::OpenForReading(file, &reading.error);
  reading.opened = in != nullptr;
  if (in == nullptr) return reading;
  std::string text;
  bool first = true;
  for (;;) {
    // One line, never more than the longest a journal line may be: the rest
    // of a longer one is passed over, not gathered.
    text.clear();
    bool tooLong = false;
    int c = getc_unlocked(in);
    if (c == EOF) break;
    for (; c != EOF && c != '\n'; c = getc_unlocked(in)) {
      if (text.size() < kMaxJournalLineLength + 1)
        text.push_back(static_cast<char>(c));
      else
        tooLong = true;
    }
    if (tooLong || text.size() > kMaxJournalLineLength) {
      ++reading.skipped;
      first = false;
      continue;
    }
    const bool header =
        first && (text == kJournalHeader || text == std::string(kJournalHeader) + '\r');
    first = false;
    if (header) continue;
    const auto line = ParseJournalLine(text);
    if (!line) {
      if (!text.empty() && text != "\r") ++reading.skipped;
      continue;
    }
    if (!since.empty() && line->time.compare(0, since.size(), since) < 0) continue;
    reading.lines.push_back(*line);
  }
  std::fclose(in);
  return reading;
}
