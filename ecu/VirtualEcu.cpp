#include "VirtualEcu.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace vecu {

using wire::Command;
using wire::Refusal;

VirtualEcu::VirtualEcu(EcuOptions options)
    : options_(std::move(options)), engine_(options_.probeFault) {
  engine_.SetTankCycle(options_.tankCycleSeconds);
  engine_.SetDrive(options_.drive);
  engine_.SetGasMixture(options_.gasMixture);
  if (!options_.memoryFile.empty() && std::filesystem::exists(options_.memoryFile)) {
    EcuMemory stored;
    if (stored.Load(options_.memoryFile)) {
      memory_ = stored;
    } else {
      std::fprintf(stderr, "virtual ECU: no usable memory in %s, starting from factory values\n",
                   options_.memoryFile.c_str());
    }
  }
  if (!options_.commandLog.empty()) logFile_.open(options_.commandLog, std::ios::app);
}

EcuMemory VirtualEcu::Memory() const {
  std::lock_guard lock(mutex_);
  return memory_;
}

std::vector<std::string> VirtualEcu::CommandLog() const {
  std::lock_guard lock(mutex_);
  return log_;
}

int VirtualEcu::IndicatorOutput() const {
  std::lock_guard lock(mutex_);
  return indicator_;
}

double VirtualEcu::EngineSeconds() const {
  std::lock_guard lock(mutex_);
  return engine_.Time();
}

wire::Frame VirtualEcu::Handle(const wire::Frame& request, double seconds) {
  std::lock_guard lock(mutex_);
  // A long quiet spell moves the engine on by ten minutes at most: by then it
  // has settled, and the model never spends long catching up.
  constexpr double kLongestStep = 600;
  const double step =
      options_.secondsPerRequest > 0 ? options_.secondsPerRequest : seconds * options_.timeScale;
  if (options_.engineRunning && step > 0) engine_.Advance(std::min(step, kLongestStep), memory_);
  if (haveLast_ && request.sequence == lastRequest_.sequence &&
      request.command == lastRequest_.command && request.data == lastRequest_.data) {
    return lastReply_;  // a retry: answer again, do nothing again
  }
  wire::Frame reply = Execute(request);
  haveLast_ = true;
  lastRequest_ = request;
  lastReply_ = reply;
  return reply;
}

wire::Frame VirtualEcu::Reply(const wire::Frame& request, std::vector<std::uint8_t> data) const {
  return {wire::kReplyStart, request.sequence,
          static_cast<std::uint8_t>(request.command | wire::kAckBit), std::move(data)};
}

wire::Frame VirtualEcu::Refuse(const wire::Frame& request, Refusal reason) const {
  return {wire::kReplyStart,
          request.sequence,
          wire::kRefusedReply,
          {request.command, static_cast<std::uint8_t>(reason)}};
}

void VirtualEcu::Log(const std::string& line) {
  log_.push_back(line);
  if (logFile_.is_open()) logFile_ << line << std::endl;
}

void VirtualEcu::Persist() {
  if (!options_.memoryFile.empty() && !memory_.Save(options_.memoryFile)) {
    std::fprintf(stderr, "virtual ECU: cannot save memory to %s\n", options_.memoryFile.c_str());
  }
}

wire::Frame VirtualEcu::Execute(const wire::Frame& request) {
  const auto& d = request.data;
  switch (static_cast<Command>(request.command)) {
    case Command::Identify: {
      if (!d.empty()) break;
      Log("IDENTIFY");
      const Identity& id = options_.identity;
      return Reply(request, {id.typeCode, id.variant, id.featureFlags, id.version});
    }
    case Command::Ping:
      if (!d.empty()) break;
      Log("PING");
      return Reply(request, {});
    case Command::Read: {
      if (d.size() != 4) break;
      std::vector<std::uint8_t> values;
      if (auto refused = memory_.Read(d[0], d[2], d[3], &values)) return Refuse(request, *refused);
      Log("READ " + std::to_string(d[0]) + " " + std::to_string(d[2]) + " " + std::to_string(d[3]));
      std::vector<std::uint8_t> data(d.begin(), d.end());
      data.insert(data.end(), values.begin(), values.end());
      return Reply(request, std::move(data));
    }
    case Command::Write: {
      if (d.size() != 5) break;
      const int value = (d[3] << 8) | d[4];
      if (options_.refusedAddresses.count(d[0]) != 0) return Refuse(request, Refusal::Locked);
      if (auto refused = memory_.Write(d[0], d[2], value)) return Refuse(request, *refused);
      Log("WRITE " + std::to_string(d[0]) + " " + std::to_string(d[2]) + " " +
          std::to_string(value));
      Persist();
      return Reply(request, d);
    }
    case Command::Live: {
      if (d.size() != 1 || d[0] > 1) break;
      Log("LIVE " + std::to_string(d[0]));
      const auto block = d[0] == 0 ? engine_.FastBlock(memory_) : engine_.SlowBlock(memory_);
      std::vector<std::uint8_t> data{d[0]};
      data.insert(data.end(), block.begin(), block.end());
      return Reply(request, std::move(data));
    }
    case Command::Erase:
      if (d.size() != 2 || d[0] != wire::kEraseGuard0 || d[1] != wire::kEraseGuard1) break;
      Log("ERASE");
      memory_.Erase();
      Persist();
      return Reply(request, d);
    case Command::Indicator:
      if (d.size() != 2) break;
      indicator_ = d[0];
      Log("INDICATOR " + std::to_string(d[0]) + " " +
          std::to_string(static_cast<std::int8_t>(d[1])));
      return Reply(request, d);
  }
  return Refuse(request, Refusal::BadRequest);
}

}  // namespace vecu
