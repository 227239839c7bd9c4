#include "SerialEcuLink.h"

#include <cerrno>
#include <cstdlib>
#include <random>

#include "FailureText.h"
#include "LastFailure.h"
#include "PortChoice.h"

namespace serlink {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

int EnvInt(const char* name, int fallback, int low, int high) {
  const std::string text = Env(name);
  if (text.empty()) return fallback;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < low || value > high) {
    std::fprintf(stderr, "SerOxtDL: ignoring %s=%s\n", name, text.c_str());
    return fallback;
  }
  return static_cast<int>(value);
}

std::uint8_t Flags(std::uint32_t code) {
  return (code & ecu::kCodePassThroughFlag) ? wire::kFlagPassThrough : 0;
}

bool LinkIsGone(Status status) {
  return status != Status::Ok && status != Status::Refused;
}

Failure FailureOf(Status status, const std::string& path) {
  switch (status) {
    case Status::Timeout:
      return NoAnswerFailure(path);
    case Status::BadFrame:
      return GarbledAnswerFailure(path);
    case Status::Slow:
      return SlowAnswerFailure(path);
    default:
      return PortLostFailure(path);
  }
}

bool PermissionRefused(const Failure& failure) {
  return failure.kind == ecu::kFailureNoPermissionJoin ||
         failure.kind == ecu::kFailureNoPermissionSession ||
         failure.kind == ecu::kFailureNoPermissionDevice;
}

}  // namespace

LinkSettings LinkSettings::FromEnvironment() {
  LinkSettings s;
  s.port = Env("SEROXT_PORT");
  s.simOptions = Env("SEROXT_SIM");
  s.byteLog = Env("SEROXT_LOG");
  s.baud = EnvInt("SEROXT_BAUD", s.baud, 300, 4000000);
  s.timeoutMs = EnvInt("SEROXT_TIMEOUT_MS", s.timeoutMs, 1, 10000);
  s.keepAliveMs = EnvInt("SEROXT_KEEPALIVE_MS", s.keepAliveMs, 10, 60000);
  return s;
}

SerialEcuLink::~SerialEcuLink() {
  StopKeepAlive();
  std::lock_guard lock(io_);
  ClosePort();
  if (byteLog_ != nullptr && byteLog_ != stderr) std::fclose(byteLog_);
}

int SerialEcuLink::GetPortInUse() {
  return portNumber_;
}

// Option A: nonzero writes every byte on the line to standard error.
void SerialEcuLink::SetStartOptionA(int option) {
  logToStderr_ = option != 0;
}

// Option B: how many times a request is sent again when no valid reply came.
void SerialEcuLink::SetStartOptionB(int option) {
  std::lock_guard lock(io_);
  retries_ = option < 0 ? 0 : (option > 8 ? 8 : option);
  if (channel_) channel_->SetRetries(retries_);
}

void SerialEcuLink::AttachScreen(ecu::ConnectionSink* sink) {
  std::lock_guard lock(sinkMutex_);
  sink_ = sink;
}

int SerialEcuLink::IsConnected() {
  return state_ == State::Connected ? 1 : 0;
}

void SerialEcuLink::Notify(bool connected) {
  std::lock_guard lock(sinkMutex_);
  if (sink_ != nullptr) sink_->ConnectionChanged(connected);
}

bool SerialEcuLink::OpenLink() {
  if (state_ == State::Connected) return true;  // already talking to the ECU
  StopKeepAlive();
  ClearLastFailure();
  const LinkSettings settings = LinkSettings::FromEnvironment();
  keepAliveMs_ = settings.keepAliveMs;
  std::lock_guard lock(io_);
  ClosePort();
  if (byteLog_ == nullptr) {
    if (!settings.byteLog.empty()) byteLog_ = std::fopen(settings.byteLog.c_str(), "a");
    if (byteLog_ == nullptr && logToStderr_) byteLog_ = stderr;
  }
  Failure failure;
  if (settings.port == kSimulatorPort) {
    std::string error;
    if (!sim_) sim_ = EmbeddedSim::Start(settings.simOptions, &error);
    if (!sim_) {
      SetLastFailure("The built-in virtual ECU did not start: " + error);
      return false;
    }
    if (!OpenPort(sim_->PortPath(), settings, &failure)) {
      SetLastFailure(failure);
      return false;
    }
    portNumber_ = 0;
    return true;
  }
  if (!settings.port.empty()) {
    if (!OpenPort(settings.port, settings, &failure)) {
      SetLastFailure(failure);
      return false;
    }
    portNumber_ = PortNumber(settings.port);
    return true;
  }
  // No port named: the first candidate whose ECU answers the identification.
  bool denied = false;
  return Search(CandidatePorts(), settings, &denied);
}

bool SerialEcuLink::OpenFirstAnswering(const std::vector<std::string>& ports, bool* denied) {
  if (state_ == State::Connected) return true;
  StopKeepAlive();
  const LinkSettings settings = LinkSettings::FromEnvironment();
  keepAliveMs_ = settings.keepAliveMs;
  std::lock_guard lock(io_);
  ClosePort();
  ClearLastFailure();
  return Search(ports, settings, denied);
}

bool SerialEcuLink::Search(const std::vector<std::string>& ports, const LinkSettings& settings,
                           bool* denied) {
  *denied = false;
  std::string firstDenied;
  for (const std::string& path : ports) {
    Failure failure;
    if (!OpenPort(path, settings, &failure)) {
      if (PermissionRefused(failure)) {
        *denied = true;
        if (firstDenied.empty()) firstDenied = path;
      }
      continue;
    }
    if (Probe()) {
      portNumber_ = PortNumber(path);
      return true;
    }
    ClosePort();
  }
  SetLastFailure(NothingFoundFailure(static_cast<int>(ports.size()), firstDenied));
  return false;
}

bool SerialEcuLink::OpenPort(const std::string& path, const LinkSettings& settings,
                             Failure* failure) {
  auto port = std::make_unique<SerialPort>();
  if (!port->Open(path, settings.baud, failure)) return false;
  Timing timing;
  timing.baud = settings.baud;
  timing.timeoutMs = settings.timeoutMs;
  timing.retries = retries_;
  // A random first sequence number, so that a new session's first request
  // never looks like a repeat of the previous session's last one.
  std::random_device entropy;
  port_ = std::move(port);
  portPath_ = path;
  channel_ = std::make_unique<Channel>(*port_, timing, static_cast<std::uint8_t>(entropy()));
  channel_->SetByteLog(byteLog_);
  state_ = State::Open;
  return true;
}

bool SerialEcuLink::Probe() {
  std::vector<std::uint8_t> id;
  return channel_->Transact(wire::Command::Identify, {}, 4, &id, 2) == Status::Ok;
}

void SerialEcuLink::ClosePort() {
  channel_.reset();
  port_.reset();
  state_ = State::Closed;
}

bool SerialEcuLink::Connect() {
  {
    std::lock_guard lock(io_);
    if (!channel_) return false;
    if (state_ == State::Lost) state_ = State::Open;  // try again on the same port
    port_->FlushInput();                              // nothing left over from before counts
  }
  std::vector<std::uint8_t> none;
  if (Exchange(wire::Command::Ping, {}, 0, &none) != Status::Ok) return false;
  state_ = State::Connected;
  Notify(true);
  StartKeepAlive();
  return true;
}

void SerialEcuLink::Disconnect() {
  StopKeepAlive();
  std::lock_guard lock(io_);
  ClosePort();  // no notification: the caller asked for it
}

Status SerialEcuLink::Exchange(wire::Command command, const std::vector<std::uint8_t>& data,
                               std::size_t resultSize, std::vector<std::uint8_t>* result,
                               bool keepAlive) {
  Status status;
  {
    std::lock_guard lock(io_);
    if (!channel_ || state_ == State::Lost) return Status::IoError;  // fail fast
    if (keepAlive) {
      // The line may have carried a request while the keep-alive waited for
      // it: a ping is for an idle line only.
      const auto idle = Clock::now() - Clock::time_point(Clock::duration(lastTraffic_.load()));
      if (idle < std::chrono::milliseconds(keepAliveMs_)) return Status::Ok;
    }
    lastTraffic_ = Clock::now().time_since_epoch().count();  // the line is busy from now
    status = channel_->Transact(command, data, resultSize, result);
    lastTraffic_ = Clock::now().time_since_epoch().count();
    if (!LinkIsGone(status)) return status;
    SetLastFailure(FailureOf(status, portPath_));
    State expected = State::Connected;
    if (!state_.compare_exchange_strong(expected, State::Lost)) return status;
  }
  Notify(false);  // once: only the exchange that saw the connection go says so
  return status;
}

bool SerialEcuLink::ReadIdentification(ecu::Identification* record) {
  if (record == nullptr) return false;
  std::vector<std::uint8_t> id;
  if (Exchange(wire::Command::Identify, {}, 4, &id) != Status::Ok) return false;
  *record = {id[0], id[1], id[2], id[3]};
  return true;
}

bool SerialEcuLink::ReadParameter(std::uint32_t code, std::int32_t* destination) {
  if (destination == nullptr) return false;
  // An array code reads all its elements; its low byte alone, the first.
  const int count = ecu::CodeIsArray(code) ? ecu::CodeElementCount(code) : 1;
  if (count < 1 || count > static_cast<int>(wire::kMaxData) - 4) return false;
  std::vector<std::uint8_t> values;
  const std::vector<std::uint8_t> request = {static_cast<std::uint8_t>(ecu::CodeAddress(code)),
                                             Flags(code), 0, static_cast<std::uint8_t>(count)};
  if (Exchange(wire::Command::Read, request, static_cast<std::size_t>(count), &values) !=
      Status::Ok) {
    return false;
  }
  for (int i = 0; i < count; ++i) destination[i] = values[static_cast<std::size_t>(i)];
  return true;
}

bool SerialEcuLink::ReadLiveBlock(int kind, std::uint8_t* buffer, int length) {
  if (buffer == nullptr || (kind != 0 && kind != 1) || length < ecu::kLiveBlockSize) return false;
  std::vector<std::uint8_t> block;
  if (Exchange(wire::Command::Live, {static_cast<std::uint8_t>(kind)}, wire::kLiveSize, &block) !=
      Status::Ok) {
    return false;
  }
  std::copy(block.begin(), block.end(), buffer);
  return true;
}

bool SerialEcuLink::Write(std::uint32_t code, int index, std::int32_t value) {
  // Values travel as 16 bits; anything wider no ECU parameter holds.
  if (value < 0 || value > 0xFFFF || index < 0 || index > 255) return false;
  if (ecu::CodeIsArray(code) && index >= ecu::CodeElementCount(code)) return false;
  const std::vector<std::uint8_t> request = {static_cast<std::uint8_t>(ecu::CodeAddress(code)),
                                             Flags(code), static_cast<std::uint8_t>(index),
                                             static_cast<std::uint8_t>(value >> 8),
                                             static_cast<std::uint8_t>(value & 0xFF)};
  std::vector<std::uint8_t> none;
  return Exchange(wire::Command::Write, request, 0, &none) == Status::Ok;
}

bool SerialEcuLink::WriteParameter(std::uint32_t code, std::int32_t value) {
  return Write(code, 0, value);
}

bool SerialEcuLink::WriteParameterElement(std::uint32_t code, int index, std::int32_t value) {
  if (code == 0 && index == 0 && value == 0) {
    std::vector<std::uint8_t> none;
    return Exchange(wire::Command::Erase, {wire::kEraseGuard0, wire::kEraseGuard1}, 0, &none) ==
           Status::Ok;
  }
  return Write(code, index, value);
}

// The second value (always -1 from the program) travels as its low byte.
void SerialEcuLink::SetIndicatorOutput(int value, int second) {
  if (value < 0 || value > 255) return;
  std::vector<std::uint8_t> none;
  Exchange(wire::Command::Indicator,
           {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(second & 0xFF)}, 0, &none);
}

void SerialEcuLink::StartKeepAlive() {
  std::lock_guard lock(keepAliveMutex_);
  if (keepAlive_.joinable()) return;
  keepAliveStop_ = false;
  keepAlive_ = std::thread([this] { KeepAliveLoop(); });
}

void SerialEcuLink::StopKeepAlive() {
  std::thread stopping;
  {
    std::lock_guard lock(keepAliveMutex_);
    keepAliveStop_ = true;
    stopping = std::move(keepAlive_);
  }
  keepAliveWake_.notify_all();
  if (stopping.joinable()) stopping.join();
}

void SerialEcuLink::KeepAliveLoop() {
  // A ping goes out as soon as the line has been idle for the period, so a
  // pulled cable is noticed within the period plus one request's waits.
  const auto period = std::chrono::milliseconds(keepAliveMs_);
  std::unique_lock lock(keepAliveMutex_);
  while (!keepAliveStop_) {
    const auto last = Clock::time_point(Clock::duration(lastTraffic_.load()));
    const auto now = Clock::now();
    keepAliveWake_.wait_until(lock, state_ == State::Connected
                                        ? std::max(last + period, now + period / 10)
                                        : now + period);
    if (keepAliveStop_ || state_ != State::Connected) continue;
    const auto idle = Clock::now() - Clock::time_point(Clock::duration(lastTraffic_.load()));
    if (idle < period) continue;
    lock.unlock();
    std::vector<std::uint8_t> none;
    Exchange(wire::Command::Ping, {}, 0, &none, true);
    lock.lock();
  }
}

}  // namespace serlink
