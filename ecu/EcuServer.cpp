#include "EcuServer.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace vecu {

EcuServer::EcuServer(VirtualEcu& ecu, int fd, ServeOptions options)
    : ecu_(ecu), fd_(fd), options_(options), random_(options.faults.seed) {
  lastHandled_ = Clock::now();
  lineFreeAt_ = lastHandled_;
}

void EcuServer::SetFaults(const FaultOptions& faults) {
  std::lock_guard lock(faultsMutex_);
  options_.faults = faults;
}

FaultOptions EcuServer::Faults() const {
  std::lock_guard lock(faultsMutex_);
  return options_.faults;
}

EcuServer::Clock::duration EcuServer::WireTime(std::size_t bytes) const {
  // 8N1: ten bit times per byte.
  const auto nanoseconds = static_cast<long long>(bytes) * 10 * 1000000000LL / options_.baud;
  return std::chrono::nanoseconds(nanoseconds);
}

void EcuServer::Run(const std::atomic<bool>& stop) {
  std::uint8_t buffer[256];
  while (!stop) {
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, 50);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    if (p.revents & (POLLHUP | POLLERR)) {
      // No one holds the other side open: wait for a client.
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      continue;
    }
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EIO)) continue;
    if (n <= 0) break;
    OnBytes(buffer, static_cast<std::size_t>(n));
  }
}

void EcuServer::OnBytes(std::uint8_t* bytes, std::size_t count) {
  bytesIn_ += static_cast<long>(count);
  if (pulled_) {
    parser_.Clear();
    return;
  }
  if (!haveFirstByte_) {
    firstByte_ = Clock::now();
    haveFirstByte_ = true;
  }
  Corrupt(bytes, count);
  parser_.Feed(std::span<const std::uint8_t>(bytes, count));
  while (auto request = parser_.Next()) {
    Answer(*request);
    haveFirstByte_ = false;
  }
}

void EcuServer::Answer(const wire::Frame& request) {
  const FaultOptions faults = Faults();
  ++frames_;
  const bool resend = haveRequest_ && request.sequence == lastRequest_.sequence &&
                      request.command == lastRequest_.command && request.data == lastRequest_.data;
  if (!resend) ++requests_;
  haveRequest_ = true;
  lastRequest_ = request;
  if (faults.pullAfterRequests >= 0 && requests_ > faults.pullAfterRequests) pulled_ = true;
  if (pulled_) return;
  const auto now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - lastHandled_).count();
  lastHandled_ = now;
  const wire::Frame reply = ecu_.Handle(request, seconds);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  if (faults.dropReplies > 0 && chance(random_) < faults.dropReplies) return;
  if (faults.latencyMs > 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(faults.latencyMs));
  }
  if (options_.pace) {
    // The request's last byte reaches the ECU one wire time after its first.
    const auto arrived = firstByte_ + WireTime(wire::kOverhead + request.data.size());
    if (arrived > lineFreeAt_) lineFreeAt_ = arrived;
  }
  Send(wire::Encode(reply));
}

void EcuServer::Send(std::vector<std::uint8_t> bytes) {
  bytesOut_ += static_cast<long>(bytes.size());
  Corrupt(bytes.data(), bytes.size());
  if (!options_.pace) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
    return;
  }
  // Each byte leaves when the previous one has finished on the wire.
  auto at = std::max(Clock::now(), lineFreeAt_);
  for (std::size_t i = 0; i < bytes.size();) {
    at += WireTime(1);
    std::this_thread::sleep_until(at);
    // Send every byte whose time has come in one write.
    std::size_t due = 1;
    const auto now = Clock::now();
    while (i + due < bytes.size() && at + WireTime(1) <= now) {
      at += WireTime(1);
      ++due;
    }
    const ssize_t n = ::write(fd_, bytes.data() + i, due);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    i += static_cast<std::size_t>(n);
  }
  lineFreeAt_ = at;
}

void EcuServer::Corrupt(std::uint8_t* bytes, std::size_t count) {
  const double fraction = Faults().corruptBytes;
  if (fraction <= 0) return;
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::uniform_int_distribution<int> bit(0, 7);
  for (std::size_t i = 0; i < count; ++i) {
    if (chance(random_) < fraction) {
      bytes[i] = static_cast<std::uint8_t>(bytes[i] ^ (1u << bit(random_)));
    }
  }
}

}  // namespace vecu
