// fault-soak: a bounded run against the ecu-sim program through the real link
// library (libSerOxtDL.so, loaded as ecuctl loads it), one fault kind at a
// time: dropped replies, corrupted bytes, latency near the timeout, refused
// addresses, a pulled and re-plugged cable, and all of them mixed. It issues
// full reads, single sets, element sets and array writes through the store,
// and sets and file writes through ecuctl's own code, and after every command
// compares what the store and the tool say with what the virtual ECU holds,
// read through a fault-free path (the ECU's memory file, which ecu-sim
// rewrites after every write it carries out).
//
// A discrepancy is a value the store took that the ECU does not hold, a write
// reported done that the ECU does not hold, a write reported refused that the
// ECU carried out, a full read that ended connected but gives other values
// than the ECU holds, or a tool output that does not match the ECU. A store
// left behind the ECU by a write whose outcome the link could not know (the
// link lost the ECU) is not one: the next full read brings it back.
//
//   fault-soak [--exchanges N] [--seconds S] [--kinds a,b,...] [--seed N]
//
// Each kind runs until N exchanges (link operations the program asked for) or
// S seconds, whichever comes first. Exit 0 when there were no discrepancies,
// crashes or hangs and every pulled cable was noticed within 1.5 s.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Companion.h"
#include "ConfCar.h"
#include "CountingLink.h"
#include "EcuMemory.h"
#include "LinkLoader.h"
#include "ParameterTable.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kDetectionLimitMs = 1500;
constexpr int kHangSeconds = 30;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// ---- the link, counted ------------------------------------------------------

// Notes when the link reports the ECU lost.
class LossSink : public ecu::ConnectionSink {
 public:
  void ConnectionChanged(bool connected) override {
    if (connected) return;
    lostAt_ = Clock::now().time_since_epoch().count();
    lost_ = true;
  }
  void Reset() { lost_ = false; }
  bool Lost() const { return lost_; }
  Clock::time_point LostAt() const { return Clock::time_point(Clock::duration(lostAt_.load())); }

 private:
  std::atomic<bool> lost_{false};
  std::atomic<Clock::rep> lostAt_{0};
};

// ---- ecu-sim, as a program ---------------------------------------------------

class EcuSim {
 public:
  ~EcuSim() { Stop(); }

  bool Start(const std::string& program, const std::vector<std::string>& options,
             const fs::path& folder) {
    memory_ = (folder / "ecu-memory.txt").string();
    std::vector<std::string> args = {program, "--memory", memory_, "--engine", "off"};
    args.insert(args.end(), options.begin(), options.end());
    int out[2];
    if (::pipe(out) != 0) return false;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(program.c_str(), argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    char buffer[256];
    std::string line;
    for (ssize_t n; line.find('\n') == std::string::npos && (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
      line.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    port_ = line.substr(0, line.find('\n'));
    return pid_ > 0 && !port_.empty();
  }

  // Dead by itself (a crash): the exit status is kept.
  bool Died() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) != pid_) return false;
    pid_ = -1;
    return true;
  }

  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

  void Signal(int signal) const {
    if (pid_ > 0) ::kill(pid_, signal);
  }

  // What the ECU holds, read from its memory file (factory values before its
  // first write): the fault-free path.
  vecu::EcuMemory Memory() const {
    vecu::EcuMemory memory;
    if (fs::exists(memory_)) {
      for (int attempt = 0; attempt < 5 && !memory.Load(memory_); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return memory;
  }

  const std::string& Port() const { return port_; }

 private:
  pid_t pid_ = -1;
  std::string port_;
  std::string memory_;
};

// ---- the store's slots and the ECU's addresses --------------------------------

struct Place {
  int identifier, address, index;
};

// Slot -> (identifier, address, element) for every slot the file and the ECU
// share (the parameters of the file with a slot of their own).
const std::map<int, Place>& Places() {
  static const std::map<int, Place> places = [] {
    std::map<int, Place> m;
    for (const params::Parameter& p : params::kTable) {
      if (!params::InParameterFile(p.id) || p.slot < 0) continue;
      for (int i = 0; i < p.count; ++i)
        m[p.slot + i] = {params::Number(p.id), ecu::CodeAddress(p.code), i};
    }
    return m;
  }();
  return places;
}

// One ECU value under two names (either name).
bool SharesEcuValue(const params::Parameter& p) {
  if (params::SameEcuValueAs(p) != nullptr) return true;
  for (const params::Parameter& other : params::kTable)
    if (params::SameEcuValueAs(other) == &p) return true;
  return false;
}

// The identifiers of the parameters for which test holds.
template <typename Test>
std::vector<int> IdentifiersWhere(Test test) {
  std::vector<int> ids;
  for (const params::Parameter& p : params::kTable)
    if (test(p)) ids.push_back(params::Number(p.id));
  return ids;
}

int Held(const vecu::EcuMemory& memory, int slot) {
  const Place& p = Places().at(slot);
  return memory.Get(p.address, p.index);
}

// An offline store holding what the ECU holds (for conversions and files).
void FillFrom(const vecu::EcuMemory& memory, ConfCar* store) {
  for (const auto& [slot, place] : Places()) store->StoreRaw(slot, Held(memory, slot));
}

std::string Number(long double value) {
  std::ostringstream text;
  text.precision(15);
  text << static_cast<double>(value);
  return text.str();
}

// ---- one fault kind -----------------------------------------------------------

struct Kind {
  std::string name;
  std::vector<std::string> simOptions;
  bool pulls = false;
  int timeoutMs = 50;  // the link's allowance per request (SEROXT_TIMEOUT_MS)
};

struct Tally {
  long exchanges = 0, commands = 0, discrepancies = 0, crashes = 0, hangs = 0, unknown = 0;
  long pulls = 0, noticed = 0;
  double detectMax = 0, detectSum = 0, seconds = 0;
  std::vector<std::string> notes;
};

std::atomic<Clock::rep> gCommandStart{0};
std::atomic<bool> gInCommand{false};

class Soak {
 public:
  Soak(ecu::EcuLink& library, const Kind& kind, unsigned seed, const fs::path& folder)
      : link_(library), kind_(kind), random_(seed), folder_(folder) {}

  Tally Run(const std::string& simProgram, long maxExchanges, double maxSeconds) {
    const auto start = Clock::now();
    if (!sim_.Start(simProgram, kind_.simOptions, folder_)) {
      Discrepancy("ecu-sim did not start");
      return tally_;
    }
    ::setenv("SEROXT_PORT", sim_.Port().c_str(), 1);
    ::setenv("SEROXT_BAUD", "115200", 1);
    ::setenv("SEROXT_TIMEOUT_MS", std::to_string(kind_.timeoutMs).c_str(), 1);
    link_.AttachScreen(&sink_);
    link_.SetStartOptionA(0);
    link_.SetStartOptionB(4);
    std::thread puller;
    if (kind_.pulls) puller = std::thread([this] { PullLoop(); });

    while (link_.exchanges < maxExchanges && MsSince(start) < maxSeconds * 1000) {
      if (sim_.Died()) {
        ++tally_.crashes;
        Note("ecu-sim ended by itself");
        break;
      }
      Begin();
      if (!link_.IsConnected()) {
        Reconnect();
      } else {
        Command();
      }
      End();
      ++tally_.commands;
    }
    stop_ = true;
    pullWake_.notify_all();
    if (puller.joinable()) puller.join();
    link_.AttachScreen(nullptr);
    link_.Disconnect();
    if (sim_.Died()) {
      ++tally_.crashes;
      Note("ecu-sim ended by itself");
    }
    sim_.Stop();
    tally_.exchanges = link_.exchanges;
    tally_.seconds = MsSince(start) / 1000;
    return tally_;
  }

 private:
  static void Begin() {
    gCommandStart = Clock::now().time_since_epoch().count();
    gInCommand = true;
  }
  static void End() { gInCommand = false; }

  void Note(const std::string& what) {
    if (tally_.notes.size() < 8) tally_.notes.push_back(what);
  }
  void Discrepancy(const std::string& what) {
    ++tally_.discrepancies;
    Note(what);
  }

  // Connects again (after a loss, or after a tool command closed the link),
  // and brings the store back to what the ECU holds with a full read.
  void Reconnect() {
    std::lock_guard gate(pullGate_);
    if (!link_.OpenLink() || !link_.Connect()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      return;
    }
    FullRead();
  }

  void FullRead() {
    store_.ReadAll();
    if (!link_.IsConnected()) {
      ++tally_.unknown;
      return;
    }
    const vecu::EcuMemory held = sim_.Memory();
    for (const auto& [slot, place] : Places()) {
      if (store_.RawImage()[static_cast<std::size_t>(slot)] != Held(held, slot)) {
        Discrepancy("full read: identifier " + std::to_string(place.identifier) + " reads " +
                    std::to_string(store_.RawImage()[static_cast<std::size_t>(slot)]) +
                    ", the ECU holds " + std::to_string(Held(held, slot)));
        return;
      }
    }
  }

  // After a command through the store: every slot it changed holds what the
  // ECU holds; targets reported written are held; targets reported refused
  // (with the link still up) were not changed in the ECU.
  void CheckStore(const ConfCar::Image& before, const vecu::EcuMemory& heldBefore,
                  const std::vector<int>& targets, bool reportedDone, const std::string& what) {
    const bool connected = link_.IsConnected();
    const vecu::EcuMemory held = sim_.Memory();
    for (const auto& [slot, place] : Places()) {
      const auto s = static_cast<std::size_t>(slot);
      if (store_.RawImage()[s] != before[s] && store_.RawImage()[s] != Held(held, slot)) {
        return Discrepancy(what + ": the store took " + std::to_string(store_.RawImage()[s]) +
                           " for identifier " + std::to_string(place.identifier) +
                           ", the ECU holds " + std::to_string(Held(held, slot)));
      }
    }
    for (int slot : targets) {
      if (reportedDone && store_.RawImage()[static_cast<std::size_t>(slot)] != Held(held, slot))
        return Discrepancy(what + ": reported written, the ECU holds other");
      if (!reportedDone && connected && Held(held, slot) != Held(heldBefore, slot))
        return Discrepancy(what + ": reported refused, the ECU changed it");
    }
    if (!reportedDone && !connected) ++tally_.unknown;
  }

  int Pick(int below) { return std::uniform_int_distribution<int>(0, below - 1)(random_); }

  // A unit value of identifier that stands for a random raw value.
  double UnitValueFor(int identifier) {
    const auto list = params::OptionList(identifier);
    if (!list.empty()) return Pick(static_cast<int>(list.size()));
    ConfCar scratch("unused.dmr");
    scratch.StoreRaw(params::StorageSlot(identifier), Pick(256));
    return static_cast<double>(scratch.GetValue(identifier));
  }

  void Command() {
    const int roll = Pick(100);
    if (roll < 12) return FullRead();
    if (roll < 45) return SetOne();
    if (roll < 65) return SetElementOne();
    if (roll < 80) return WriteWholeArray();
    if (roll < 93) return ToolSet();
    return ToolWrite();
  }

  // Single sets: scalars with a value rule; not one ECU value shown twice,
  // not the ECU's own, not the option byte as a whole, not the write-only
  // customer code, not what the full read never reads back.
  static const std::vector<int>& Settable() {
    static const std::vector<int> ids = IdentifiersWhere([](const params::Parameter& p) {
      return p.slot >= 0 && p.count <= 1 && params::InParameterFile(p.id) && !p.computedByEcu &&
             p.conversion.rule != params::Rule::ReadOnly &&
             p.conversion.rule != params::Rule::Command && !SharesEcuValue(p);
    });
    return ids;
  }
  static const std::vector<int>& Arrays() {
    static const std::vector<int> ids =
        IdentifiersWhere([](const params::Parameter& p) { return p.count > 1; });
    return ids;
  }
  static const std::vector<int>& WholeTables() {
    static const std::vector<int> ids = IdentifiersWhere(params::IsWholeTable);
    return ids;
  }

  int PickFrom(const std::vector<int>& ids) {
    return ids[static_cast<std::size_t>(Pick(static_cast<int>(ids.size())))];
  }

  void SetOne() {
    const int id = PickFrom(Settable());
    const double value = UnitValueFor(id);
    const auto before = store_.RawImage();
    const auto held = sim_.Memory();
    const bool done = store_.SetValue(id, value) == 1;
    CheckStore(before, held, {params::StorageSlot(id)}, done, "set " + std::to_string(id));
  }

  void SetElementOne() {
    const int id = PickFrom(Arrays());
    const int index = Pick(params::ElementCount(id));
    double value = Pick(256);
    if (params::Find(id)->conversion.rule != params::Rule::Raw) value = Pick(51) / 10.0;  // volts
    const auto before = store_.RawImage();
    const auto held = sim_.Memory();
    const bool done = store_.SetElement(id, index, value) == 1.0;
    CheckStore(before, held, {params::OwnSlot(id) + index}, done,
               "set " + std::to_string(id) + "[" + std::to_string(index) + "]");
  }

  void WriteWholeArray() {
    const int id = PickFrom(WholeTables());
    int values[6];
    for (int& v : values) v = Pick(256);
    const auto before = store_.RawImage();
    const auto held = sim_.Memory();
    const bool done = store_.WriteArray(id, values) == 1;
    std::vector<int> targets;
    // Refused part-way, the ECU keeps the elements it took (as the format
    // says): only a write reported done is compared element by element.
    if (done) {
      for (int i = 0; i < 6; ++i) targets.push_back(params::OwnSlot(id) + i);
    }
    CheckStore(before, held, targets, done, "array " + std::to_string(id));
    if (!done && link_.IsConnected()) FullRead();  // the store is behind the ECU now
  }

  // ecuctl's code, in this process, on the same link.
  int Tool(const std::vector<std::string>& args, std::string* out) {
    std::lock_guard gate(pullGate_);
    std::ostringstream output, error;
    const int code = RunCompanion(args, link_, output, error);
    *out = output.str() + error.str();
    return code;
  }

  void ToolSet() {
    const int id = PickFrom(Settable());
    const double value = UnitValueFor(id);
    const auto heldBefore = sim_.Memory();
    std::string out;
    const int code = Tool({"set", std::to_string(id), Number(value)}, &out);
    const auto held = sim_.Memory();
    const int slot = params::StorageSlot(id);
    const Place optionByte{id, ecu::CodeAddress(params::Row(params::Id::OptionByte).code), 0};
    const Place place = Places().count(slot) ? Places().at(slot) : optionByte;
    const bool changed = held.Get(place.address, place.index) != heldBefore.Get(place.address, place.index);
    if (code == kExitOk) {
      ConfCar view("unused.dmr");
      FillFrom(held, &view);
      const std::string shown = out.substr(0, out.find('\n'));
      if (shown != Number(view.GetValue(id)))
        Discrepancy("ecuctl set " + std::to_string(id) + " printed " + shown + ", the ECU holds " +
                    Number(view.GetValue(id)));
    } else if (code == kExitRefused) {
      if (changed) Discrepancy("ecuctl set " + std::to_string(id) + " refused, the ECU changed it");
    } else if (code == kExitUsage) {
      Discrepancy("ecuctl set " + std::to_string(id) + " " + Number(value) + ": " + out);
    } else {
      ++tally_.unknown;  // the link lost the ECU: the outcome is not known
    }
  }

  void ToolWrite() {
    // A file of what the ECU holds, with a few values changed.
    const auto heldBefore = sim_.Memory();
    ConfCar file((folder_ / "soak.dmr").string());
    FillFrom(heldBefore, &file);
    for (int n = 0; n < 4; ++n) {
      const int id = PickFrom(Settable());
      if (params::OwnSlot(id) >= 0) file.StoreRaw(params::OwnSlot(id), Pick(256));
    }
    // One ECU value under two names: a file gives them alike, or ecuctl refuses it.
    for (const params::Parameter& p : params::kTable) {
      if (const params::Parameter* first = params::SameEcuValueAs(p))
        file.StoreRaw(p.slot, file.RawImage()[static_cast<std::size_t>(first->slot)]);
    }
    if (!file.SaveFile()) return Discrepancy("cannot write the soak's file");
    std::string out;
    const int code = Tool({"write", file.FileName()}, &out);
    if (code != kExitOk && code != kExitRefused) {
      ++tally_.unknown;
      return;
    }
    const auto held = sim_.Memory();
    for (const auto& [slot, place] : Places()) {
      const int id = place.identifier;
      const params::Parameter& p = *params::Find(id);
      if (p.computedByEcu || params::SameEcuValueAs(p) != nullptr) continue;
      if (p.id == params::Id::LevelSensorCalibration &&
          !params::IsCalibratedLevelSensor(file.RawImage()[params::kLevelSensorTypeSlot]))
        continue;
      const bool listed = out.find(" " + std::to_string(id) + " ") != std::string::npos ||
                          out.find(" " + std::to_string(id) + "\n") != std::string::npos;
      const bool holds = Held(held, slot) == file.RawImage()[static_cast<std::size_t>(slot)];
      if (!holds && (code == kExitOk || !listed)) {
        return Discrepancy("ecuctl write said " + std::string(code == kExitOk ? "written" : "refused others") +
                           ", identifier " + std::to_string(id) + " is not as the file says");
      }
      if (holds && code == kExitRefused && listed)
        return Discrepancy("ecuctl write said " + std::to_string(id) + " was refused, the ECU holds it");
    }
  }

  // Pulls the cable at random moments, measures how long the link takes to
  // notice, and plugs it back.
  void PullLoop() {
    std::unique_lock lock(pullMutex_);
    while (!stop_) {
      pullWake_.wait_for(lock, std::chrono::milliseconds(
                                   std::uniform_int_distribution<int>(200, 700)(pullRandom_)));
      if (stop_) break;
      std::lock_guard gate(pullGate_);
      if (!link_.IsConnected()) continue;
      sink_.Reset();
      const auto pulled = Clock::now();
      sim_.Signal(SIGUSR1);
      ++tally_.pulls;
      while (!sink_.Lost() && MsSince(pulled) < 5000) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      if (sink_.Lost()) {
        const double ms = std::chrono::duration<double, std::milli>(sink_.LostAt() - pulled).count();
        ++tally_.noticed;
        tally_.detectSum += ms;
        tally_.detectMax = std::max(tally_.detectMax, ms);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      sim_.Signal(SIGUSR2);
    }
  }

  CountingLink link_;
  Kind kind_;
  std::mt19937 random_;
  std::mt19937 pullRandom_{random_()};
  fs::path folder_;
  EcuSim sim_;
  LossSink sink_;
  ConfCar store_{"soak-store.dmr", &link_};
  Tally tally_;
  std::mutex pullGate_;  // held by a pull, a tool command and a reconnection
  std::mutex pullMutex_;
  std::condition_variable pullWake_;
  std::atomic<bool> stop_{false};
};

std::vector<Kind> AllKinds() {
  return {
      {"drop", {"--drop", "0.1", "--seed", "11"}, false},
      {"corrupt", {"--corrupt", "0.004", "--seed", "12"}, false},
      // Replies 16 ms late on a 20 ms allowance: most just in time, some not.
      {"latency", {"--latency", "16"}, false, 20},
      {"refuse", {"--refuse", "56,60,23,5"}, false},
      {"pull", {}, true},
      {"mixed",
       {"--drop", "0.03", "--corrupt", "0.001", "--latency", "15", "--refuse", "56,61", "--seed", "13"},
       true, 50},
  };
}

bool ParseLong(const std::string& text, long* value) {
  const char* end = text.data() + text.size();
  return std::from_chars(text.data(), end, *value).ptr == end && *value >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  long exchanges = 10000, seconds = 900, seed = 1;
  std::vector<std::string> wanted;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const std::string v = i + 1 < argc ? argv[i + 1] : "";
    bool ok = true;
    if (a == "--exchanges") {
      ok = ParseLong(v, &exchanges), ++i;
    } else if (a == "--seconds") {
      ok = ParseLong(v, &seconds), ++i;
    } else if (a == "--seed") {
      ok = ParseLong(v, &seed), ++i;
    } else if (a == "--kinds") {
      std::istringstream in(v);
      for (std::string k; std::getline(in, k, ',');) wanted.push_back(k);
      ++i;
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr,
                   "usage: fault-soak [--exchanges N] [--seconds S] [--kinds drop,corrupt,latency,"
                   "refuse,pull,mixed] [--seed N]\n");
      return 1;
    }
  }
  const std::string simProgram = LinkLoader::ProgramFolder() + "ecu-sim";
  LinkLoader loader;
  std::string error;
  if (!loader.Load(&error)) {
    std::fprintf(stderr, "fault-soak: %s\n", error.c_str());
    return 1;
  }
  ::setenv("SEROXT_LOG", "", 1);

  // A command that does not come back within kHangSeconds is a hang.
  std::thread([] {
    for (;;) {
      std::this_thread::sleep_for(std::chrono::seconds(1));
      const auto started = Clock::time_point(Clock::duration(gCommandStart.load()));
      if (gInCommand && MsSince(started) > kHangSeconds * 1000.0) {
        std::printf("HANG: a command did not come back within %d s\n", kHangSeconds);
        std::fflush(stdout);
        ::_exit(3);
      }
    }
  }).detach();

  const fs::path folder = fs::temp_directory_path() / ("fault-soak-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::printf("%-8s %10s %9s %14s %8s %6s %8s %6s %12s %12s %8s\n", "kind", "exchanges",
              "commands", "discrepancies", "crashes", "hangs", "unknown", "pulls", "detect-max",
              "detect-mean", "seconds");
  bool failed = false;
  for (const Kind& kind : AllKinds()) {
    if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), kind.name) == wanted.end())
      continue;
    fs::remove(folder / "ecu-memory.txt");
    Soak soak(*loader.Link(), kind, static_cast<unsigned>(seed), folder);
    const Tally t = soak.Run(simProgram, exchanges, static_cast<double>(seconds));
    const bool missed = t.noticed < t.pulls;
    char detectMax[32] = "-", detectMean[32] = "-";
    if (t.noticed > 0) {
      std::snprintf(detectMax, sizeof detectMax, "%.0f ms", t.detectMax);
      std::snprintf(detectMean, sizeof detectMean, "%.0f ms", t.detectSum / static_cast<double>(t.noticed));
    }
    std::printf("%-8s %10ld %9ld %14ld %8ld %6ld %8ld %6ld %12s %12s %8.1f\n", kind.name.c_str(),
                t.exchanges, t.commands, t.discrepancies, t.crashes, t.hangs, t.unknown, t.pulls,
                detectMax, detectMean, t.seconds);
    for (const auto& note : t.notes) std::printf("    %s\n", note.c_str());
    if (missed) std::printf("    %ld pulled cable(s) not noticed within 5 s\n", t.pulls - t.noticed);
    std::fflush(stdout);
    failed |= t.discrepancies > 0 || t.crashes > 0 || t.hangs > 0 || missed ||
              t.detectMax >= kDetectionLimitMs;
  }
  fs::remove_all(folder);
  std::printf("fault-soak: %s\n", failed ? "FAILED" : "no discrepancy, crash or hang");
  return failed ? 1 : 0;
}
