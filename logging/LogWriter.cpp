#include "LogWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace logging {
namespace {

constexpr std::size_t kMaxPending = 64 * 1024;

std::string SystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

std::uint16_t BlockStamp(double time) {
  if (!(time >= 0)) return 0;
  const double ticks = std::fmod(std::floor(time * 100000.0 + 0.5), 65536.0);
  return static_cast<std::uint16_t>(ticks);
}

LogWriter::~LogWriter() { Close(); }

bool LogWriter::Open(const std::filesystem::path& file, std::uint32_t startTime,
                     std::span<const Channel> channels, std::string_view info) {
  Close();
  file_ = file;
  failed_ = false;
  error_.clear();
  records_ = markers_ = 0;
  counter_ = 0;
  lastFlush_ = 0;
  pending_.clear();
  written_ = 0;
  if (channels.empty() || kHeaderSize + kDescriptorSize * channels.size() > 32767 ||
      RecordLength(channels) > 32767) {
    failed_ = true;
    error_ = "the channels do not fit the log format";
    return false;
  }
  for (const Channel& c : channels) {
    if (SizeOf(c.type) == 0) {
      failed_ = true;
      error_ = "unknown value type of channel " + c.name;
      return false;
    }
  }
  channels_.assign(channels.begin(), channels.end());

  std::error_code folderError;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), folderError);
  fd_ = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd_ < 0) {
    failed_ = true;
    error_ = SystemError("cannot create the log");
    return false;
  }
  const std::vector<std::uint8_t> preamble = EncodePreamble(startTime, channels_, info);
  if (!WriteAll(preamble.data(), preamble.size())) {
    Fail(SystemError("cannot write the log"));
    return false;
  }
  written_ = preamble.size();
  return true;
}

void LogWriter::StartBlock(BlockType type, double time) {
  pending_.push_back(static_cast<std::uint8_t>(type));
  pending_.push_back(counter_++);
  PutU16(pending_, BlockStamp(time));
}

void LogWriter::AppendRecord(double time, std::span<const double> values) {
  if (fd_ < 0 || failed_) return;
  StartBlock(BlockType::Record, time);
  const std::size_t first = pending_.size();
  for (std::size_t i = 0; i < channels_.size(); ++i) {
    const double value = i < values.size() ? values[i] : 0.0;
    PutRaw(pending_, channels_[i].type, RawOf(channels_[i], value));
  }
  unsigned sum = 0;
  for (std::size_t i = first; i < pending_.size(); ++i) sum += pending_[i];
  pending_.push_back(static_cast<std::uint8_t>(sum & 0xFF));
  ++records_;
  if (time - lastFlush_ >= kFlushInterval || time < lastFlush_ || pending_.size() >= kMaxPending)
    Flush();
  if (pending_.empty()) lastFlush_ = time;
}

void LogWriter::AppendMarker(double time, std::string_view text) {
  if (fd_ < 0 || failed_) return;
  StartBlock(BlockType::Marker, time);
  PutText(pending_, text, kMarkerTextSize);
  ++markers_;
  Flush();
}

bool LogWriter::WriteAll(const std::uint8_t* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd_, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool LogWriter::Flush() {
  if (fd_ < 0 || failed_) return false;
  if (pending_.empty()) return true;
  if (!WriteAll(pending_.data(), pending_.size())) {
    Fail(SystemError("cannot write the log"));
    return false;
  }
  written_ += pending_.size();
  pending_.clear();
  return true;
}

void LogWriter::Fail(const std::string& why) {
  failed_ = true;
  error_ = why;
  pending_.clear();
  // A part of a block would stop a reader short of what follows it; cut the
  // file back to the last whole block (a full disk still allows shrinking).
  if (fd_ >= 0 && ::ftruncate(fd_, static_cast<off_t>(written_)) == 0)
    ::lseek(fd_, static_cast<off_t>(written_), SEEK_SET);
}

void LogWriter::Close() {
  if (fd_ < 0) return;
  Flush();
  ::fdatasync(fd_);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace logging
