// The ECU link over a serial line: the object the library's factory hands
// out. It opens the port (or the built-in virtual ECU), speaks the protocol
// through a Channel, keeps the connection state true at every moment, and
// watches an idle line with a quiet keep-alive on a thread of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Channel.h"
#include "EcuLink.h"
#include "EmbeddedSim.h"
#include "SerialPort.h"

namespace serlink {

// Where the link finds its settings: the environment, read at each OpenLink.
struct LinkSettings {
  std::string port;        // SEROXT_PORT: a device path, "sim", or "" to search
  std::string simOptions;  // SEROXT_SIM: arguments of the built-in virtual ECU
  std::string byteLog;     // SEROXT_LOG: file that receives every byte as hex
  int baud = 19200;        // SEROXT_BAUD
  int timeoutMs = 50;      // SEROXT_TIMEOUT_MS: the ECU's allowance per request
  int keepAliveMs = 250;   // SEROXT_KEEPALIVE_MS: idle time before a ping

  static LinkSettings FromEnvironment();
};

class SerialEcuLink final : public ecu::EcuLink {
 public:
  SerialEcuLink() = default;
  ~SerialEcuLink();
  SerialEcuLink(const SerialEcuLink&) = delete;
  SerialEcuLink& operator=(const SerialEcuLink&) = delete;

  int GetPortInUse() override;
  void SetStartOptionA(int option) override;
  void SetStartOptionB(int option) override;
  void AttachScreen(ecu::ConnectionSink* sink) override;
  int IsConnected() override;
  bool Connect() override;
  void Disconnect() override;
  bool ReadParameter(std::uint32_t code, std::int32_t* destination) override;
  bool ReadLiveBlock(int kind, std::uint8_t* buffer, int length) override;
  bool WriteParameter(std::uint32_t code, std::int32_t value) override;
  bool WriteParameterElement(std::uint32_t code, int index, std::int32_t value) override;
  bool ReadIdentification(ecu::Identification* record) override;
  bool OpenLink() override;
  void SetIndicatorOutput(int value, int second) override;

  // Opens the first of the ports whose ECU answers an identification request
  // (what OpenLink does when SEROXT_PORT names no port). false when none
  // does; denied tells whether a port could not be opened for permission.
  bool OpenFirstAnswering(const std::vector<std::string>& ports, bool* denied);

 private:
  enum class State { Closed, Open, Connected, Lost };
  using Clock = std::chrono::steady_clock;

  Status Exchange(wire::Command command, const std::vector<std::uint8_t>& data,
                  std::size_t resultSize, std::vector<std::uint8_t>* result,
                  bool keepAlive = false);
  bool Write(std::uint32_t code, int index, std::int32_t value);
  bool OpenPort(const std::string& path, const LinkSettings& settings, Failure* failure);
  bool Probe();
  bool Search(const std::vector<std::string>& ports, const LinkSettings& settings, bool* denied);
  void ClosePort();
  void Notify(bool connected);
  void StartKeepAlive();
  void StopKeepAlive();
  void KeepAliveLoop();

  std::mutex io_;  // one exchange on the line at a time
  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<Channel> channel_;
  std::unique_ptr<EmbeddedSim> sim_;
  std::FILE* byteLog_ = nullptr;
  bool logToStderr_ = false;
  int retries_ = 4;
  int portNumber_ = 0;
  std::string portPath_;  // the port open now or last, for failure texts
  int keepAliveMs_ = 250;
  std::atomic<State> state_{State::Closed};
  std::atomic<Clock::rep> lastTraffic_{0};

  std::mutex sinkMutex_;
  ecu::ConnectionSink* sink_ = nullptr;

  std::mutex keepAliveMutex_;
  std::condition_variable keepAliveWake_;
  bool keepAliveStop_ = false;
  std::thread keepAlive_;
};

}  // namespace serlink
