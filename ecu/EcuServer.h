// Serves a virtual ECU on a file descriptor (the master side of a
// pseudo-terminal): collects request frames, answers them, paces the bytes to
// a line speed when asked, and injects the faults a real car cable shows.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <random>
#include <vector>

#include "Protocol.h"
#include "VirtualEcu.h"

namespace vecu {

struct FaultOptions {
  double dropReplies = 0;     // fraction of replies never sent
  double corruptBytes = 0;    // fraction of bytes (both ways) with one bit flipped
  int latencyMs = 0;          // added before every reply
  // Stop answering after this many requests (-1: never). A resend of the
  // request before is not counted again, so a pull falls on the same command
  // however often a busy machine made the link resend.
  long pullAfterRequests = -1;
  unsigned seed = 1;
};

struct ServeOptions {
  int baud = 19200;
  bool pace = false;  // hold every byte for its time on a wire at baud
  FaultOptions faults;
};

class EcuServer {
 public:
  EcuServer(VirtualEcu& ecu, int fd, ServeOptions options);

  // Runs until stop is set; checks it at least every 50 ms.
  void Run(const std::atomic<bool>& stop);

  // The cable: pulled, nothing is answered and every byte is lost; plugged
  // back, answering resumes. Safe from another thread or a signal handler.
  void SetCablePulled(bool pulled) { pulled_ = pulled; }
  bool CablePulled() const { return pulled_; }
  // Changes the injected faults while serving.
  void SetFaults(const FaultOptions& faults);
  long FramesSeen() const { return frames_; }  // resends included
  // Bytes received and sent so far (as on the wire, faults included).
  long BytesIn() const { return bytesIn_; }
  long BytesOut() const { return bytesOut_; }

 private:
  using Clock = std::chrono::steady_clock;
  void OnBytes(std::uint8_t* bytes, std::size_t count);
  void Answer(const wire::Frame& request);
  void Send(std::vector<std::uint8_t> bytes);
  void Corrupt(std::uint8_t* bytes, std::size_t count);
  Clock::duration WireTime(std::size_t bytes) const;

  FaultOptions Faults() const;

  VirtualEcu& ecu_;
  mutable std::mutex faultsMutex_;
  int fd_;
  ServeOptions options_;
  wire::FrameParser parser_{wire::kRequestStart};
  std::mt19937 random_;
  std::atomic<bool> pulled_{false};
  std::atomic<long> frames_{0};
  long requests_ = 0;  // frames that were not a resend of the one before
  bool haveRequest_ = false;
  wire::Frame lastRequest_;
  std::atomic<long> bytesIn_{0};
  std::atomic<long> bytesOut_{0};
  Clock::time_point lastHandled_;
  Clock::time_point firstByte_;
  bool haveFirstByte_ = false;
  Clock::time_point lineFreeAt_;
};

}  // namespace vecu
