// Writes an .mlg log as it happens: the header, the channel descriptors and
// the info text first, then record and marker blocks appended to a buffer
// that goes to the file at least every half second of log time (a marker goes
// at once). The file therefore always ends in whole blocks as far as the
// system has them: a writer killed mid-way leaves a log readable up to its
// last flushed block. A write that fails (disk full, folder gone) cuts the
// file back to its last whole block and stops the writer, with the reason.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "MlgFormat.h"

namespace logging {

class LogWriter {
 public:
  // Log time between two writes to the file, in seconds.
  static constexpr double kFlushInterval = 0.5;

  LogWriter() = default;
  LogWriter(const LogWriter&) = delete;
  LogWriter& operator=(const LogWriter&) = delete;
  ~LogWriter();

  // Creates the file (and its folder), replacing one of the same name, and
  // writes everything before the first block. False, with Error(), when the
  // file cannot be made or the channels do not fit the format.
  bool Open(const std::filesystem::path& file, std::uint32_t startTime,
            std::span<const Channel> channels, std::string_view info);

  // One record: time in seconds since the start (it stamps the block), one
  // shown value per channel in descriptor order.
  void AppendRecord(double time, std::span<const double> values);
  // A marker, at most 50 bytes of text (longer is cut at a whole character).
  void AppendMarker(double time, std::string_view text);

  // Sends what is buffered to the file. False when the writer has failed.
  bool Flush();
  // Flushes, makes the file durable and closes it.
  void Close();

  bool IsOpen() const { return fd_ >= 0; }
  bool Failed() const { return failed_; }
  const std::string& Error() const { return error_; }
  const std::filesystem::path& File() const { return file_; }
  std::uint64_t Records() const { return records_; }
  std::uint64_t Markers() const { return markers_; }
  // Bytes in the file after the last flush.
  std::uint64_t Size() const { return written_; }

 private:
  void StartBlock(BlockType type, double time);
  void Fail(const std::string& why);
  bool WriteAll(const std::uint8_t* bytes, std::size_t size);

  int fd_ = -1;
  std::filesystem::path file_;
  std::vector<Channel> channels_;
  std::vector<std::uint8_t> pending_;
  std::uint64_t written_ = 0;
  std::uint64_t records_ = 0;
  std::uint64_t markers_ = 0;
  std::uint8_t counter_ = 0;
  double lastFlush_ = 0;
  bool failed_ = false;
  std::string error_;
};

// The 10 µs block stamp of a time in seconds; it wraps every 655.36 ms.
std::uint16_t BlockStamp(double time);

}  // namespace logging
