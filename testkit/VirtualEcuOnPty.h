// Test fixture: a virtual ECU served on a real pseudo-terminal by a thread,
// and a link pointed at it through SEROXT_PORT, at a fast line speed.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "EcuServer.h"
#include "PseudoTerminal.h"
#include "SerialEcuLink.h"
#include "VirtualEcu.h"

namespace linktest {

// Records every connection change the link reports.
class RecordingSink : public ecu::ConnectionSink {
 public:
  void ConnectionChanged(bool connected) override {
    std::lock_guard lock(mutex_);
    changes_.push_back(connected);
  }
  std::vector<bool> Changes() {
    std::lock_guard lock(mutex_);
    return changes_;
  }

 private:
  std::mutex mutex_;
  std::vector<bool> changes_;
};

// Waits for a condition, giving up after a generous bound so no test can hang.
inline bool WaitFor(const std::function<bool()>& condition, int boundMs = 5000) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

class EcuOnPty {
 public:
  explicit EcuOnPty(vecu::EcuOptions ecuOptions = Still(), vecu::ServeOptions serve = {}) {
    std::string error;
    if (!pty_.Open(&error)) ADD_FAILURE() << error;
    ecu_ = std::make_unique<vecu::VirtualEcu>(std::move(ecuOptions));
    server_ = std::make_unique<vecu::EcuServer>(*ecu_, pty_.MasterFd(), serve);
    thread_ = std::thread([this] { server_->Run(stop_); });
  }
  ~EcuOnPty() {
    stop_ = true;
    thread_.join();
  }
  static vecu::EcuOptions Still() {
    vecu::EcuOptions options;
    options.engineRunning = false;
    return options;
  }
  const std::string& Port() const { return pty_.SlavePath(); }
  vecu::VirtualEcu& Ecu() { return *ecu_; }
  vecu::EcuServer& Server() { return *server_; }

 private:
  vecu::PseudoTerminal pty_;
  std::unique_ptr<vecu::VirtualEcu> ecu_;
  std::unique_ptr<vecu::EcuServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Points the link's settings at a port for the test's lifetime.
inline void UsePort(const std::string& port, int timeoutMs = 50) {
  ::setenv("SEROXT_PORT", port.c_str(), 1);
  ::setenv("SEROXT_BAUD", "115200", 1);
  ::setenv("SEROXT_TIMEOUT_MS", std::to_string(timeoutMs).c_str(), 1);
  ::setenv("SEROXT_KEEPALIVE_MS", "50", 1);
}

// A link opened and connected to a port, reporting to a recording sink.
struct ConnectedLink {
  explicit ConnectedLink(const std::string& port) {
    UsePort(port);
    link.AttachScreen(&sink);
    connected = link.OpenLink() && link.Connect();
  }
  ~ConnectedLink() { link.AttachScreen(nullptr); }
  RecordingSink sink;
  serlink::SerialEcuLink link;
  bool connected = false;
};

}  // namespace linktest
