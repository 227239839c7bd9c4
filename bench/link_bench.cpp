// Measures the link library against the virtual ECU pacing its bytes to the
// line speed over a pseudo-terminal: a full read, a full write and one live
// poll, each beside the time its bytes need on the wire at that speed; then
// a slow ECU (latencies 0 to 500 ms: failed commands and resends) and a
// pulled cable (how long until the link says so).
//
//   link_bench [repeats]     (default 5)
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ConfCar.h"
#include "EcuServer.h"
#include "PseudoTerminal.h"
#include "VirtualEcu.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string LibraryPath() {
  char path[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  std::string exe(path, n > 0 ? static_cast<std::size_t>(n) : 0);
  return exe.substr(0, exe.rfind('/') + 1) + ECU_LINK_LIBRARY_FILE;
}

struct Figure {
  double seconds = 0;  // median over the repeats
  double wireSeconds = 0;
};

class Bench {
 public:
  Bench(int baud, CreateClassInstanceFn create, DestroyClassInstanceFn destroy,
        vecu::FaultOptions faults = {})
      : baud_(baud), destroy_(destroy) {
    std::string error;
    if (!pty_.Open(&error)) std::fprintf(stderr, "%s\n", error.c_str());
    vecu::EcuOptions options;
    options.engineRunning = false;
    ecu_ = std::make_unique<vecu::VirtualEcu>(options);
    vecu::ServeOptions serve;
    serve.baud = baud;
    serve.pace = true;
    serve.faults = faults;
    server_ = std::make_unique<vecu::EcuServer>(*ecu_, pty_.MasterFd(), serve);
    thread_ = std::thread([this] { server_->Run(stop_); });
    ::setenv("SEROXT_PORT", pty_.SlavePath().c_str(), 1);
    ::setenv("SEROXT_BAUD", std::to_string(baud).c_str(), 1);
    link_ = create();
    link_->SetStartOptionA(0);
    link_->SetStartOptionB(4);
    ok_ = link_->OpenLink() && link_->Connect();
  }
  ~Bench() {
    destroy_(link_);
    stop_ = true;
    thread_.join();
  }
  bool Ready() const { return ok_; }

  // Runs work repeats times; the median time and the wire time of the bytes
  // one run exchanged.
  Figure Measure(int repeats, const std::function<void()>& work) {
    std::vector<double> times;
    double wire = 0;
    for (int i = 0; i < repeats; ++i) {
      const long before = server_->BytesIn() + server_->BytesOut();
      const auto start = Clock::now();
      work();
      times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
      const long bytes = server_->BytesIn() + server_->BytesOut() - before;
      wire = static_cast<double>(bytes) * 10.0 / baud_;
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], wire};
  }

  ecu::EcuLink* Link() { return link_; }
  vecu::EcuServer& Server() { return *server_; }
  vecu::VirtualEcu& Ecu() { return *ecu_; }

 private:
  int baud_;
  DestroyClassInstanceFn destroy_;
  vecu::PseudoTerminal pty_;
  std::unique_ptr<vecu::VirtualEcu> ecu_;
  std::unique_ptr<vecu::EcuServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  ecu::EcuLink* link_ = nullptr;
  bool ok_ = false;
};

void Print(const char* what, const Figure& f) {
  std::printf("  %-22s %9.2f ms   wire limit %9.2f ms   ratio %5.2f\n", what, f.seconds * 1000,
              f.wireSeconds * 1000, f.seconds / f.wireSeconds);
}

// A slow ECU: a session and a few commands with every reply held back by
// latency ms. Failed commands, requests sent beyond the commands carried out
// (resends), and the time per command beside latency plus wire time.
void SlowEcu(int latencyMs, int baud, CreateClassInstanceFn create,
             DestroyClassInstanceFn destroy) {
  vecu::FaultOptions faults;
  faults.latencyMs = latencyMs;
  Bench bench(baud, create, destroy, faults);
  int failed = bench.Ready() ? 0 : 1;
  int commands = 1;
  const auto start = Clock::now();
  long wireBytes = 0;
  if (bench.Ready()) {
    ecu::EcuLink* link = bench.Link();
    ecu::Identification id;
    std::int32_t value[3];
    std::uint8_t block[ecu::kLiveBlockSize];
    for (int i = 0; i < 3; ++i) {
      failed += !link->ReadIdentification(&id);
      failed += !link->ReadParameter(56, value);
      failed += !link->WriteParameter(31, 10 + i);
      failed += !link->ReadParameter(ecu::MakeArrayCode(25, 3), value);
      failed += !link->ReadLiveBlock(0, block, ecu::kLiveBlockSize);
      commands += 5;
    }
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  wireBytes = bench.Server().BytesIn() + bench.Server().BytesOut();
  // Every request the ECU saw beyond the commands it carried out was a resend.
  const long sent = bench.Server().FramesSeen();
  const long carriedOut = static_cast<long>(bench.Ecu().CommandLog().size());
  const double ideal = commands * latencyMs / 1000.0 + static_cast<double>(wireBytes) * 10 / baud;
  std::printf(
      "  latency %3d ms: %2d of %2d commands failed, %3ld requests for %3ld carried out "
      "(%ld resent), %6.0f ms per command, %.2f x (latency + wire)\n",
      latencyMs, failed, commands, sent, carriedOut, sent - carriedOut, seconds * 1000 / commands,
      seconds / ideal);
}

// The cable is pulled; the time until the link reports the loss. idle: while
// the program does nothing (the keep-alive must notice); otherwise in the
// middle of a stream of live polls.
double PulledCable(bool idle, int baud, CreateClassInstanceFn create,
                   DestroyClassInstanceFn destroy) {
  Bench bench(baud, create, destroy);
  if (!bench.Ready()) return -1;
  ecu::EcuLink* link = bench.Link();
  std::uint8_t block[ecu::kLiveBlockSize];
  for (int i = 0; i < 5; ++i) link->ReadLiveBlock(0, block, ecu::kLiveBlockSize);
  // The pull comes at a moment unrelated to the link's own rhythm.
  std::this_thread::sleep_for(std::chrono::milliseconds(37 + std::rand() % 250));
  const auto pulled = Clock::now();
  bench.Server().SetCablePulled(true);
  while (link->IsConnected()) {
    if (idle) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } else {
      link->ReadLiveBlock(0, block, ecu::kLiveBlockSize);
    }
    if (Clock::now() - pulled > std::chrono::seconds(20)) return -1;
  }
  return std::chrono::duration<double>(Clock::now() - pulled).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  void* library = ::dlopen(LibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::fprintf(stderr, "link_bench: %s\n", ::dlerror());
    return 1;
  }
  auto create = reinterpret_cast<CreateClassInstanceFn>(::dlsym(library, ECU_LINK_CREATE_SYMBOL));
  auto destroy =
      reinterpret_cast<DestroyClassInstanceFn>(::dlsym(library, ECU_LINK_DESTROY_SYMBOL));
  ::setenv("SEROXT_KEEPALIVE_MS", "60000", 1);  // no pings inside the measurements
  std::printf("link_bench: virtual ECU pacing its bytes, median of %d runs\n", repeats);
  for (int baud : {19200, 115200}) {
    Bench bench(baud, create, destroy);
    if (!bench.Ready()) {
      std::fprintf(stderr, "link_bench: no connection at %d baud\n", baud);
      return 1;
    }
    ConfCar store("bench.dmr", bench.Link());
    std::uint8_t block[ecu::kLiveBlockSize];
    std::printf("%d baud\n", baud);
    Print("full read", bench.Measure(repeats, [&] { store.ReadAll(); }));
    Print("full write", bench.Measure(repeats, [&] { store.WriteAll(); }));
    const Figure fast = bench.Measure(
        repeats * 10, [&] { bench.Link()->ReadLiveBlock(0, block, ecu::kLiveBlockSize); });
    Print("live poll (fast)", fast);
    const Figure both = bench.Measure(repeats * 4, [&] {
      bench.Link()->ReadLiveBlock(0, block, ecu::kLiveBlockSize);
      bench.Link()->ReadLiveBlock(1, block, ecu::kLiveBlockSize);
    });
    Print("live poll (fast+slow)", both);
    std::printf("  100 ms tick left free: %.1f%% (fast), %.1f%% (fast+slow)\n",
                100.0 * (1 - fast.seconds / 0.1), 100.0 * (1 - both.seconds / 0.1));
  }
  std::printf("slow ECU, 19200 baud, keep-alive every 250 ms (16 commands each)\n");
  ::setenv("SEROXT_KEEPALIVE_MS", "250", 1);
  for (int latency : {0, 58, 70, 150, 500}) SlowEcu(latency, 19200, create, destroy);
  std::printf("pulled cable, 19200 baud, keep-alive every 250 ms (%d pulls each)\n", repeats);
  for (bool idle : {true, false}) {
    std::vector<double> noticed;
    for (int i = 0; i < repeats; ++i) noticed.push_back(PulledCable(idle, 19200, create, destroy));
    std::sort(noticed.begin(), noticed.end());
    std::printf("  %-22s noticed after %6.0f ms (median), %6.0f ms (longest)\n",
                idle ? "while idle" : "during live polls", noticed[noticed.size() / 2] * 1000,
                noticed.back() * 1000);
  }
  ::dlclose(library);
  return 0;
}
