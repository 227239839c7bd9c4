// What the benchmarks share: the virtual ECU served on a pseudo-terminal with
// its bytes paced like a cable, the program's own link library loaded beside
// the benchmark and connected to it, thread processor time and percentiles.
#pragma once

#include <dlfcn.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <memory>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "EcuLink.h"
#include "EcuServer.h"
#include "PseudoTerminal.h"
#include "VirtualEcu.h"

namespace bench {

inline std::string ProgramFolder() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  std::string exe(path, n > 0 ? static_cast<std::size_t>(n) : 0);
  return exe.substr(0, exe.rfind('/') + 1);
}

inline double ThreadCpuMs() {
  timespec t{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline double ProcessCpuMs() {
  timespec t{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

inline double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto i = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[i];
}

// The virtual ECU with its engine running, answering on a pseudo-terminal at
// baud with every reply byte held for its time on the wire; the link's port
// and speed point at it.
class PacedEcu {
 public:
  explicit PacedEcu(int baud) {
    std::string error;
    if (!pty_.Open(&error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return;
    }
    vecu::ServeOptions serve;
    serve.baud = baud;
    serve.pace = true;
    server_ = std::make_unique<vecu::EcuServer>(ecu_, pty_.MasterFd(), serve);
    serving_ = std::thread([this] { server_->Run(stop_); });
    ::setenv("SEROXT_PORT", pty_.SlavePath().c_str(), 1);
    ::setenv("SEROXT_BAUD", std::to_string(baud).c_str(), 1);
  }
  ~PacedEcu() {
    stop_ = true;
    if (serving_.joinable()) serving_.join();
  }
  bool Serving() const { return server_ != nullptr; }

 private:
  vecu::PseudoTerminal pty_;
  vecu::VirtualEcu ecu_{vecu::EcuOptions{}};
  std::unique_ptr<vecu::EcuServer> server_;
  std::atomic<bool> stop_{false};
  std::thread serving_;
};

// The link library beside the program, loaded as the program loads it, one
// link made and connected (a busy machine may miss the first handshake: one
// more try).
class LoadedLink {
 public:
  explicit LoadedLink(const char* who) {
    const std::string path = ProgramFolder() + ECU_LINK_LIBRARY_FILE;
    library_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    auto create = library_ != nullptr ? reinterpret_cast<CreateClassInstanceFn>(
                                            ::dlsym(library_, ECU_LINK_CREATE_SYMBOL))
                                      : nullptr;
    destroy_ = library_ != nullptr ? reinterpret_cast<DestroyClassInstanceFn>(
                                         ::dlsym(library_, ECU_LINK_DESTROY_SYMBOL))
                                   : nullptr;
    if (create == nullptr || destroy_ == nullptr) {
      std::fprintf(stderr, "%s: cannot load %s\n", who, path.c_str());
      return;
    }
    link_ = create();
    link_->SetStartOptionA(0);
    link_->SetStartOptionB(4);
    connected_ = link_->OpenLink() && (link_->Connect() || link_->Connect());
    if (!connected_) std::fprintf(stderr, "%s: no connection to the virtual ECU\n", who);
  }
  ~LoadedLink() {
    if (link_ != nullptr) destroy_(link_);
    if (library_ != nullptr) ::dlclose(library_);
  }
  LoadedLink(const LoadedLink&) = delete;
  LoadedLink& operator=(const LoadedLink&) = delete;

  ecu::EcuLink* Link() const { return link_; }
  bool Connected() const { return connected_; }

 private:
  void* library_ = nullptr;
  DestroyClassInstanceFn destroy_ = nullptr;
  ecu::EcuLink* link_ = nullptr;
  bool connected_ = false;
};

}  // namespace bench
