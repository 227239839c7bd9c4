// The ecu-sim program as a technician runs it, driven by ecuctl: the printed
// port and its stable link, the command log, memory kept across restarts,
// and the cable pulled and plugged back by signal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "Companion.h"
#include "ConfCar.h"
#include "History.h"
#include "SerialEcuLink.h"
#include "WriteJournal.h"

namespace {

namespace fs = std::filesystem;

// A running ecu-sim; stopped (SIGTERM) when it goes out of scope.
class EcuSimProcess {
 public:
  explicit EcuSimProcess(const std::vector<std::string>& args) {
    int out[2];
    if (::pipe(out) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(out[1], STDOUT_FILENO);
      ::close(out[0]);
      ::close(out[1]);
      std::vector<char*> argv{const_cast<char*>(ECU_SIM_PATH)};
      for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(ECU_SIM_PATH, argv.data());
      ::_exit(127);
    }
    ::close(out[1]);
    FILE* output = ::fdopen(out[0], "r");
    char line[256] = {};
    if (output != nullptr && std::fgets(line, sizeof line, output) != nullptr) port_ = line;
    if (!port_.empty() && port_.back() == '\n') port_.pop_back();
    if (output != nullptr) std::fclose(output);
  }
  ~EcuSimProcess() { Stop(); }
  int Stop() {
    if (pid_ <= 0) return -1;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void Signal(int signal) { ::kill(pid_, signal); }
  const std::string& Port() const { return port_; }

 private:
  pid_t pid_ = -1;
  std::string port_;
};

int Ecuctl(const std::string& port, const std::string& args, std::string* output = nullptr) {
  ::setenv("SEROXT_PORT", port.c_str(), 1);
  ::setenv("SEROXT_TIMEOUT_MS", "50", 1);
  FILE* pipe = ::popen((std::string(ECUCTL_PATH) + " " + args + " 2>&1").c_str(), "r");
  char buffer[256];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    if (output != nullptr) output->append(buffer, n);
  }
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class EcuSimProgram : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  fs::path dir_ = fs::temp_directory_path() / ("ecu-sim-" + std::to_string(::getpid()));
};

TEST_F(EcuSimProgram, ServesLogsAndKeepsItsMemory) {
  const std::string link = Path("ecu"), memory = Path("ecu.mem"), log = Path("commands.log");
  const std::vector<std::string> args = {"--link", link, "--memory", memory,
                                         "--log",  log,  "--engine", "off"};
  {
    EcuSimProcess sim(args);
    ASSERT_EQ(sim.Port().rfind("/dev/pts/", 0), 0u) << sim.Port();
    EXPECT_EQ(fs::read_symlink(link), sim.Port());
    ASSERT_EQ(Ecuctl(link, "set 56 2500"), kExitOk);
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link))) << "the link goes with the program";
  }
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "PING");
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "WRITE 56 0 48"), 1);

  EcuSimProcess again(args);
  std::string shown;
  EXPECT_EQ(Ecuctl(link, "get 56", &shown), kExitOk);
  EXPECT_EQ(shown, "2500\n");
}

namespace {

// Requests the link sent per distinct request, from its byte log ("> " lines
// are requests; a request is its sequence number and command).
double SentPerRequest(const std::string& byteLog, std::size_t* distinct) {
  std::ifstream in(byteLog);
  std::set<std::string> requests;
  long sent = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("> ", 0) != 0 || line.size() < 13) continue;
    ++sent;
    requests.insert(line.substr(5, 5));  // "SS CC" after the start byte
  }
  *distinct = requests.size();
  return requests.empty() ? 0 : static_cast<double>(sent) / static_cast<double>(requests.size());
}

}  // namespace

// A slow ECU, and a short session (identify) that ends while the ECU is still
// answering the copies of its requests: the next session starts into that
// backlog, and must still settle within a few exchanges to sending each
// request about once over the whole full read.
class SlowEcuBacklog : public EcuSimProgram, public ::testing::WithParamInterface<int> {};

TEST_P(SlowEcuBacklog, DrainsWithinAFewExchanges) {
  const std::string link = Path("ecu");
  EcuSimProcess sim({"--link", link, "--engine", "off", "--latency", std::to_string(GetParam())});
  ASSERT_FALSE(sim.Port().empty());
  ::setenv("SEROXT_LOG", Path("identify.log").c_str(), 1);
  EXPECT_EQ(Ecuctl(link, "identify"), kExitOk);
  ::setenv("SEROXT_LOG", Path("get.log").c_str(), 1);
  std::string shown;
  EXPECT_EQ(Ecuctl(link, "get 56", &shown), kExitOk) << shown;
  ::unsetenv("SEROXT_LOG");
  EXPECT_EQ(shown, "2000\n");
  std::size_t distinct = 0;
  const double ratio = SentPerRequest(Path("get.log"), &distinct);
  EXPECT_GE(distinct, 57u);
  // A quiet machine sends two to four requests again while the backlog
  // drains, and a busy machine's pauses add a few more; a link that never
  // settles sends every request twice or more.
  EXPECT_LE(ratio, 1.2) << distinct << " requests";
}

INSTANTIATE_TEST_SUITE_P(Latency, SlowEcuBacklog, ::testing::Values(200, 500),
                         [](const auto& p) { return std::to_string(p.param) + "ms"; });

// --link replaces an old link only: never a file of the user's, and a program
// leaving never takes away the link a later one made.
TEST_F(EcuSimProgram, TheStableLinkReplacesOnlyALink) {
  const std::string file = Path("notes.txt"), link = Path("ecu");
  std::ofstream(file) << "keep me\n";
  {
    EcuSimProcess refused({"--link", file, "--engine", "off"});
    EXPECT_EQ(refused.Port(), "");
    EXPECT_EQ(refused.Stop(), 1);
  }
  std::ifstream in(file);
  std::string kept;
  std::getline(in, kept);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
  EXPECT_EQ(kept, "keep me");

  EcuSimProcess first({"--link", link, "--engine", "off"});
  EcuSimProcess second({"--link", link, "--engine", "off"});
  ASSERT_FALSE(second.Port().empty());
  EXPECT_EQ(fs::read_symlink(link), second.Port());
  EXPECT_EQ(first.Stop(), 0);
  ASSERT_TRUE(fs::is_symlink(fs::symlink_status(link))) << "the first program took the link away";
  EXPECT_EQ(fs::read_symlink(link), second.Port());
  EXPECT_EQ(Ecuctl(link, "identify"), kExitOk);
}

TEST_F(EcuSimProgram, TheCableIsPulledAndPluggedBackBySignal) {
  EcuSimProcess sim({"--engine", "off"});
  ASSERT_FALSE(sim.Port().empty());
  ASSERT_EQ(Ecuctl(sim.Port(), "identify"), kExitOk);
  sim.Signal(SIGUSR1);
  EXPECT_EQ(Ecuctl(sim.Port(), "identify"), kExitNoEcu);
  sim.Signal(SIGUSR2);
  EXPECT_EQ(Ecuctl(sim.Port(), "identify"), kExitOk);
}

TEST_F(EcuSimProgram, RefusesABadCommandLine) {
  std::string output;
  FILE* pipe = ::popen((std::string(ECU_SIM_PATH) + " --drop 2 2>&1").c_str(), "r");
  char buffer[256];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  const int status = ::pclose(pipe);
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(output.find("--drop"), std::string::npos) << output;
}

}  // namespace

// Nothing lost: a snapshot at connection, a journal line for every value set
// (the refused one marked), and a restore of that snapshot that writes back
// exactly what changed, after which the ECU and the snapshot agree.
TEST_F(EcuSimProgram, HistoryKeepsEveryChangeAndRestoresTheFirstSnapshot) {
  const fs::path folder = history::DefaultFolder();
  fs::remove_all(folder);
  const std::string link = Path("ecu"), log = Path("commands.log");
  EcuSimProcess sim({"--link", link, "--log", log, "--engine", "off", "--refuse", "62"});
  ASSERT_FALSE(sim.Port().empty());

  // Connected as the program connects: identification, full read, snapshot.
  ecu::Identification id;
  fs::path first;
  {
    ::setenv("SEROXT_PORT", link.c_str(), 1);
    serlink::SerialEcuLink ecu;
    ASSERT_TRUE(ecu.OpenLink());
    ASSERT_TRUE(ecu.Connect());
    ASSERT_TRUE(ecu.ReadIdentification(&id));
    ConfCar store("default.dmr", &ecu);
    store.ReadAll();
    const auto saved = history::SaveSnapshot(store, folder, id, std::chrono::system_clock::now());
    ASSERT_TRUE(saved.saved) << saved.error;
    first = saved.file;
    ecu.Disconnect();
  }
  ASSERT_EQ(history::ListSnapshots(folder).snapshots.size(), 1u);

  ASSERT_EQ(Ecuctl(link, "set 56 3000"), kExitOk);
  ASSERT_EQ(Ecuctl(link, "set 5 400"), kExitOk);
  ASSERT_EQ(Ecuctl(link, "set 41 1500"), kExitOk);
  ASSERT_EQ(Ecuctl(link, "set 62 5000"), kExitRefused);
  const auto journal = ReadJournal(history::JournalFile(folder, id));
  ASSERT_EQ(journal.lines.size(), 4u);
  std::vector<int> refused;
  for (const auto& line : journal.lines)
    if (line.answer == "refused") refused.push_back(line.identifier);
  EXPECT_EQ(refused, std::vector<int>{62});

  // The history folder's path has a space in it ("OXT srl").
  const std::string quoted = "'" + first.string() + "'";
  std::string shown;
  ASSERT_EQ(Ecuctl(link, "restore " + quoted + " --yes", &shown), kExitOk) << shown;
  EXPECT_EQ(shown, "restored 3 value(s) from " + first.string() + "\n");
  shown.clear();
  ASSERT_EQ(Ecuctl(link, "diff " + quoted + " --ecu", &shown), kExitOk);
  EXPECT_NE(shown.find("no differences"), std::string::npos) << shown;
  const auto afterRestore = ReadJournal(history::JournalFile(folder, id));
  ASSERT_EQ(afterRestore.lines.size(), 8u);
  EXPECT_EQ(afterRestore.lines[4].event, "restore");
  EXPECT_EQ(afterRestore.lines[4].note, first.string());
  EXPECT_EQ(sim.Stop(), 0);

  // The sets, then the restore: the three changed addresses in the full
  // write's order, back to their values at connection.
  std::ifstream in(log);
  std::vector<std::string> writes;
  for (std::string line; std::getline(in, line);)
    if (line.rfind("WRITE ", 0) == 0) writes.push_back(line);
  const std::vector<std::string> expected = {"WRITE 56 0 40", "WRITE 5 0 20", "WRITE 41 0 80",
                                             "WRITE 56 0 60", "WRITE 5 0 18", "WRITE 41 0 12"};
  EXPECT_EQ(writes, expected);
  fs::remove_all(folder);
}

// With the engine running the ECU moves its default position by itself: a
// restore leaves it, and the error flags, alone and reports no refusal;
// while the fixed-default option is on the position is the technician's
// setting, written back and held.
TEST_F(EcuSimProgram, RestoreLeavesWhatTheEcuKeepsByItself) {
  const fs::path folder = history::DefaultFolder();
  const struct {
    const char* name;
    bool fixedDefault;
    const char* restored;
  } cases[] = {
      {"learnt default", false, "restored 1 value(s)"},
      {"fixed default", true, "restored 3 value(s)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(folder);
    const std::string link = Path("ecu"), saved = Path("saved.dmr");
    EcuSimProcess sim({"--link", link, "--time-scale", "20"});
    ASSERT_FALSE(sim.Port().empty());
    ASSERT_EQ(Ecuctl(link, "read " + saved), kExitOk);
    // The file as it would have been read on another day: another learnt
    // position, an error recorded, and the option as the case wants it.
    std::vector<std::string> lines;
    {
      std::ifstream in(saved, std::ios::binary);
      for (std::string line; std::getline(in, line);) lines.push_back(line);
    }
    ASSERT_GT(lines.size(), 60u);
    lines[1 + 2] = c.fixedDefault ? "1 1 1\r" : "1 1 0\r";
    lines[40 + 2] = "40 40 90\r";
    lines[53 + 2] = "53 53 1\r";
    {
      std::ofstream out(saved, std::ios::binary | std::ios::trunc);
      for (const auto& line : lines) out << line << '\n';
    }
    ASSERT_EQ(Ecuctl(link, "set 56 3000"), kExitOk);
    std::string shown;
    EXPECT_EQ(Ecuctl(link, "restore " + saved + " --yes", &shown), kExitOk) << shown;
    EXPECT_NE(shown.find(c.restored), std::string::npos) << shown;
    EXPECT_EQ(shown.find("refused"), std::string::npos) << shown;
    shown.clear();
    ASSERT_EQ(Ecuctl(link, "diff " + saved + " --ecu", &shown), kExitOk);
    EXPECT_NE(shown.find("no differences"), std::string::npos) << shown;
    EXPECT_EQ(sim.Stop(), 0);
  }
  fs::remove_all(folder);
}
