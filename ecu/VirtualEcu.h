// The ECU's side of the protocol: takes one request frame, acts on the memory
// and the engine model, and gives the reply frame. A request repeated with the
// same sequence number (a retry after a lost reply) gets the same reply again
// without being carried out twice.
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "EcuMemory.h"
#include "EngineModel.h"
#include "Protocol.h"

namespace vecu {

struct Identity {
  std::uint8_t typeCode = 18;
  std::uint8_t variant = 0;
  std::uint8_t featureFlags = 1;
  std::uint8_t version = 23;
};

struct EcuOptions {
  Identity identity;
  // Keeps the memory in this file across restarts ("" = memory only).
  std::string memoryFile;
  // Every accepted command, one line each, in order ("" = none).
  std::string commandLog;
  // Writes to these addresses are refused.
  std::set<int> refusedAddresses;
  ProbeFault probeFault = ProbeFault::None;
  // false keeps the engine stopped: no live movement and no self-computed values.
  bool engineRunning = true;
  // Simulated seconds per real second.
  double timeScale = 1.0;
  // Above 0: every request moves the engine on by this many simulated
  // seconds instead, whatever the wall clock says, so that a bench test sees
  // the same engine however busy the machine is.
  double secondsPerRequest = 0;
  // Above 0: the tank is filled from empty to full and emptied again over
  // this many simulated seconds, so a level sensor can be calibrated.
  double tankCycleSeconds = 0;
  // A bench test of steady phases instead of the repeating drive cycle.
  std::vector<DrivePhase> drive;
  // Mixture error on gas in percent: lean negative, rich positive.
  double gasMixture = 0;
};

class VirtualEcu {
 public:
  explicit VirtualEcu(EcuOptions options);

  // The reply to a request frame; seconds is the real time since the previous
  // call, which moves the engine on. Thread-safe.
  wire::Frame Handle(const wire::Frame& request, double seconds = 0);

  // Copies for inspection (tests, tools).
  EcuMemory Memory() const;
  std::vector<std::string> CommandLog() const;
  int IndicatorOutput() const;
  const EcuOptions& Options() const { return options_; }
  // Simulated seconds since the engine started.
  double EngineSeconds() const;

 private:
  wire::Frame Execute(const wire::Frame& request);
  wire::Frame Reply(const wire::Frame& request, std::vector<std::uint8_t> data) const;
  wire::Frame Refuse(const wire::Frame& request, wire::Refusal reason) const;
  void Log(const std::string& line);
  void Persist();

  EcuOptions options_;
  mutable std::mutex mutex_;
  EcuMemory memory_;
  EngineModel engine_;
  std::vector<std::string> log_;
  std::ofstream logFile_;
  int indicator_ = 0;
  bool haveLast_ = false;
  wire::Frame lastRequest_;
  wire::Frame lastReply_;
};

}  // namespace vecu
