// ecuctl end to end: the real program, the real link library, a virtual ECU
// on a real pseudo-terminal.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Companion.h"
#include "ConfCar.h"
#include "EcuMemory.h"
#include "VirtualEcuOnPty.h"

namespace {

namespace fs = std::filesystem;
using linktest::EcuOnPty;

struct Outcome {
  int code = -1;
  std::string output;  // standard output and error together
};

Outcome Ecuctl(const std::string& port, const std::string& args) {
  linktest::UsePort(port);
  Outcome run;
  FILE* pipe = ::popen((std::string(ECUCTL_PATH) + " " + args + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    run.output.append(buffer, n);
  }
  const int status = ::pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

int Writes(vecu::VirtualEcu& ecu) {
  int writes = 0;
  for (const auto& line : ecu.CommandLog()) writes += line.rfind("WRITE", 0) == 0;
  return writes;
}

class Companion : public ::testing::Test {
 protected:
  void TearDown() override { fs::remove_all(dir_); }
  std::string File(const std::string& name) {
    fs::create_directories(dir_);
    return (dir_ / name).string();
  }
  fs::path dir_ = fs::temp_directory_path() / ("ecuctl-" + std::to_string(::getpid()));
};

TEST_F(Companion, IdentifiesTheEcu) {
  EcuOnPty ecu;
  const Outcome run = Ecuctl(ecu.Port(), "identify");
  EXPECT_EQ(run.code, kExitOk) << run.output;
  EXPECT_EQ(run.output, "type code 18, variant 0, feature flags 1, version 23\nport COM1\n");
}

// A configuration read from one ECU and written into another leaves the two
// with identical memories.
TEST_F(Companion, AFileSavedFromOneEcuLoadsIntoAnother) {
  EcuOnPty source;
  EcuOnPty target;
  const struct {
    int address, index, value;
  } changes[] = {{2, 0, 97},   {25, 1, 120}, {27, 1, 33},   {59, 0, 131}, {60, 3, 170},
                 {61, 5, 240}, {54, 0, 35},  {22, 0, 0x8B}, {1, 0, 0x15}, {56, 0, 48}};
  auto memory = source.Ecu().Memory();
  for (const auto& c : changes) {
    // Written through the protocol, as a technician's tool would.
    linktest::UsePort(source.Port());
    serlink::SerialEcuLink link;
    ASSERT_TRUE(link.OpenLink());
    ASSERT_TRUE(link.WriteParameterElement(c.address, c.index, c.value));
  }
  const std::string file = File("car.dmr");
  const Outcome saved = Ecuctl(source.Port(), "read " + file);
  ASSERT_EQ(saved.code, kExitOk) << saved.output;
  const Outcome loaded = Ecuctl(target.Port(), "write " + file);
  ASSERT_EQ(loaded.code, kExitOk) << loaded.output;
  EXPECT_EQ(target.Ecu().Memory(), source.Ecu().Memory());
  EXPECT_NE(target.Ecu().Memory(), vecu::EcuMemory());
}

TEST_F(Companion, GetsAndSetsInEngineeringUnits) {
  EcuOnPty ecu;
  const struct {
    const char* args;
    const char* shown;
    int address, index, raw;
  } cases[] = {
      {"set 56 2500", "2500\n", 56, 0, 48},
      {"set 23 2.0", "2\n", 23, 0, 102},
      {"set 25 2 4", "4\n", 25, 2, 204},
      {"set 64 1", "1\n", 1, 0, 16},
      {"set 58 40", "", 58, 0, RawOfTemperature(40)},
      {"set 2 0", "0\n", 2, 0, 51},
  };
  for (const auto& c : cases) {
    const Outcome run = Ecuctl(ecu.Port(), c.args);
    EXPECT_EQ(run.code, kExitOk) << c.args << ": " << run.output;
    EXPECT_EQ(run.output.rfind(c.shown, 0), 0u) << c.args << ": " << run.output;
    EXPECT_EQ(ecu.Ecu().Memory().Get(c.address, c.index), c.raw) << c.args;
  }
  EXPECT_EQ(Ecuctl(ecu.Port(), "get 56").output, "2500\n");
  EXPECT_EQ(Ecuctl(ecu.Port(), "get 25").output, "0 2 4\n");
  EXPECT_EQ(Ecuctl(ecu.Port(), "set 72 123").code, kExitOk);
  EXPECT_EQ(ecu.Ecu().Memory().CustomerCode(), 123);
}

TEST_F(Companion, ARefusedValueHasItsOwnExitCode) {
  vecu::EcuOptions options = EcuOnPty::Still();
  options.refusedAddresses = {56};
  EcuOnPty ecu(options);
  const Outcome set = Ecuctl(ecu.Port(), "set 56 3000");
  EXPECT_EQ(set.code, kExitRefused) << set.output;
  EXPECT_NE(set.output.find("refused"), std::string::npos);
  EXPECT_EQ(ecu.Ecu().Memory().Get(56), 60);

  EcuOnPty other;
  const std::string file = File("other.dmr");
  linktest::UsePort(other.Port());
  ASSERT_EQ(Ecuctl(other.Port(), "set 56 1000").code, kExitOk);
  ASSERT_EQ(Ecuctl(other.Port(), "read " + file).code, kExitOk);
  const Outcome loaded = Ecuctl(ecu.Port(), "write " + file);
  EXPECT_EQ(loaded.code, kExitRefused) << loaded.output;
  EXPECT_NE(loaded.output.find("56"), std::string::npos) << loaded.output;
}

TEST_F(Companion, ABadFileIsRefusedBeforeAnythingIsWritten) {
  EcuOnPty ecu;
  const std::string good = File("good.dmr");
  ASSERT_EQ(Ecuctl(ecu.Port(), "read " + good).code, kExitOk);
  std::vector<std::string> lines;
  {
    std::ifstream in(good);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
  }
  const struct {
    int line;  // 0-based line to replace, -1 to cut the file after 40 lines
    const char* text;
  } damage[] = {{0, "#define start  \"Other\"\r"}, {-1, ""},       {4, "3 3 300\r"}, {4, "4 4 0\r"},
                {27, "25 12569 0 102\r"},          {1, "18 0 1\r"}};
  for (const auto& d : damage) {
    auto copy = lines;
    if (d.line < 0)
      copy.resize(40);
    else
      copy[static_cast<std::size_t>(d.line)] = d.text;
    const std::string bad = File("bad.dmr");
    std::ofstream out(bad, std::ios::binary);
    for (const auto& line : copy) out << line << "\n";
    out.close();
    const Outcome run = Ecuctl(ecu.Port(), "write " + bad);
    EXPECT_EQ(run.code, kExitBadFile) << d.text << ": " << run.output;
  }
  EXPECT_EQ(Ecuctl(ecu.Port(), "write " + File("missing.dmr")).code, kExitBadFile);
  EXPECT_EQ(Writes(ecu.Ecu()), 0);
}

TEST_F(Companion, NoEcuAndAWrongEcuAreToldApart) {
  EXPECT_EQ(Ecuctl("/dev/ttyUSB-not-here", "identify").code, kExitNoEcu);
  vecu::PseudoTerminal silent;
  std::string error;
  ASSERT_TRUE(silent.Open(&error));
  EXPECT_EQ(Ecuctl(silent.SlavePath(), "identify").code, kExitNoEcu);
  for (const vecu::Identity id : {vecu::Identity{17, 0, 1, 1}, vecu::Identity{18, 1, 1, 1}}) {
    vecu::EcuOptions options = EcuOnPty::Still();
    options.identity = id;
    EcuOnPty wrong(options);
    const Outcome run = Ecuctl(wrong.Port(), "get 2");
    EXPECT_EQ(run.code, kExitRejectedEcu) << run.output;
    EXPECT_EQ(wrong.Ecu().CommandLog().size(), 2u) << "ping and identification only";
  }
}

TEST_F(Companion, EraseOnlyWithConfirmation) {
  EcuOnPty ecu;
  ASSERT_EQ(Ecuctl(ecu.Port(), "set 56 2500").code, kExitOk);
  EXPECT_EQ(Ecuctl(ecu.Port(), "erase").code, kExitUsage);
  EXPECT_EQ(ecu.Ecu().Memory().Get(56), 48);
  EXPECT_EQ(Ecuctl(ecu.Port(), "erase --yes").code, kExitOk);
  EXPECT_EQ(ecu.Ecu().Memory(), vecu::EcuMemory());
}

// The ECU takes the erase, then the cable goes while its factory values are
// read back: the outcome is said once, when it is known, and it is not
// "erased".
TEST_F(Companion, AnEraseCutShortSaysSoOnceAndNotDone) {
  vecu::ServeOptions serve;
  // The connection (2), the full read before the erase (55), the erase (1)
  // and part of the read back.
  serve.faults.pullAfterRequests = 2 + 55 + 1 + 10;
  EcuOnPty ecu(EcuOnPty::Still(), serve);
  const Outcome run = Ecuctl(ecu.Port(), "erase --yes");
  EXPECT_EQ(run.code, kExitLinkLost) << run.output;
  EXPECT_EQ(run.output.find("erased"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("the ECU took the erase, then stopped answering"), std::string::npos)
      << run.output;
  // One line of ecuctl's own (the library may add its reason on another).
  std::istringstream lines(run.output);
  int own = 0;
  for (std::string line; std::getline(lines, line);) own += line.rfind("ecuctl: ", 0) == 0;
  EXPECT_EQ(own, 1) << run.output;
}

// ecuctl read saves only onto a regular file or a new name: a name that is a
// device (here through a link) is refused with the reason and left alone.
TEST_F(Companion, ReadRefusesToSaveOverWhatIsNotAFile) {
  EcuOnPty ecu;
  const std::string link = File("device.dmr");
  fs::create_symlink("/dev/null", link);
  const Outcome run = Ecuctl(ecu.Port(), "read " + link);
  EXPECT_EQ(run.code, kExitBadFile) << run.output;
  EXPECT_NE(run.output.find("not saved: " + link + " is a device, not a regular file"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(run.output.find("saved " + link), std::string::npos) << run.output;
  EXPECT_EQ(fs::read_symlink(link), "/dev/null");
}

TEST_F(Companion, StreamsLiveValuesAsCsv) {
  vecu::EcuOptions running;
  running.timeScale = 20;
  EcuOnPty ecu(running);
  const Outcome run = Ecuctl(ecu.Port(), "live --csv --samples 3 --interval 10");
  ASSERT_EQ(run.code, kExitOk) << run.output;
  std::istringstream lines(run.output);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(
      line,
      "sample,rpm,lambda_v,tps_v,temperature_c,gas_level,fuel,actuator,default_position,cut_off");
  for (int n = 0; n < 3; ++n) {
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line.rfind(std::to_string(n) + ",", 0), 0u) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), ','), 9) << line;
  }
}

// A recording made with ecuctl, then described and converted: the three
// commands agree on the records, and the RPM channel carries the engine's.
TEST_F(Companion, RecordsALogThatInfoAndCsvAgreeOn) {
  vecu::EcuOptions running;
  running.timeScale = 20;
  EcuOnPty ecu(running);
  const std::string log = File("session.mlg");
  const Outcome recorded = Ecuctl(ecu.Port(), "log --seconds 3 --rate 20 " + log);
  ASSERT_EQ(recorded.code, kExitOk) << recorded.output;
  std::istringstream summary(recorded.output);
  std::size_t records = 0;
  summary >> records;
  EXPECT_GT(records, 20u) << recorded.output;
  EXPECT_NE(recorded.output.find(" records written to " + log + " in "), std::string::npos);

  const Outcome info = Ecuctl(ecu.Port(), "log-info " + log);
  ASSERT_EQ(info.code, kExitOk) << info.output;
  EXPECT_NE(info.output.find("\nrecords " + std::to_string(records) + "\n"), std::string::npos)
      << info.output;
  EXPECT_NE(info.output.find("  RPM [rpm] U16"), std::string::npos) << info.output;
  EXPECT_NE(info.output.find("info ECU type 18 variant 0 version 23; recorded by ecuctl; rate 20 Hz"),
            std::string::npos) << info.output;

  const Outcome csv = Ecuctl(ecu.Port(), "log-csv " + log);
  ASSERT_EQ(csv.code, kExitOk) << csv.output;
  std::istringstream lines(csv.output);
  std::string line;
  std::getline(lines, line);
  EXPECT_EQ(line.rfind("Time,RPM,Lambda,TPS,", 0), 0u) << line;
  std::getline(lines, line);
  EXPECT_EQ(line.rfind("s,rpm,V,V,", 0), 0u) << line;
  std::size_t rows = 0, turning = 0;
  while (std::getline(lines, line)) {
    if (line.back() != ',') continue;  // a marker's line
    ++rows;
    const std::string rpm = line.substr(line.find(',') + 1, line.find(',', line.find(',') + 1) -
                                                                line.find(',') - 1);
    turning += rpm != "0";
  }
  EXPECT_EQ(rows, records);
  EXPECT_GT(turning, records / 2) << "the engine runs";

  const std::string out = File("session.csv");
  const Outcome converted = Ecuctl(ecu.Port(), "log-csv " + log + " " + out);
  EXPECT_EQ(converted.code, kExitOk) << converted.output;
  std::ifstream written(out);
  std::stringstream text;
  text << written.rdbuf();
  EXPECT_EQ(text.str(), csv.output);
}

TEST_F(Companion, LogCommandMistakesAndBadLogs) {
  std::ofstream(File("not-a-log.mlg")) << "hello";
  const std::pair<std::string, int> cases[] = {
      {"log", kExitUsage},
      {"log --rate 0 " + File("a.mlg"), kExitUsage},
      {"log --seconds x " + File("a.mlg"), kExitUsage},
      {"log-info --rate 20 " + File("a.mlg"), kExitUsage},
      {"log-csv a b c", kExitUsage},
      {"log-info " + File("missing.mlg"), kExitBadFile},
      {"log-info " + File("not-a-log.mlg"), kExitBadFile},
      {"log-csv " + File("not-a-log.mlg"), kExitBadFile},
  };
  for (const auto& [args, code] : cases) {
    const Outcome run = Ecuctl("/nonexistent", args);
    EXPECT_EQ(run.code, code) << args << ": " << run.output;
  }
  EXPECT_NE(Ecuctl("", "log-info " + File("not-a-log.mlg")).output.find("not an MLVLG log"),
            std::string::npos);
}

TEST_F(Companion, ALostEcuDuringACommand) {
  vecu::ServeOptions serve;
  serve.faults.pullAfterRequests = 12;
  EcuOnPty ecu(EcuOnPty::Still(), serve);
  const Outcome run = Ecuctl(ecu.Port(), "read " + File("lost.dmr"));
  EXPECT_EQ(run.code, kExitLinkLost) << run.output;
  EXPECT_FALSE(fs::exists(dir_ / "lost.dmr"));
}

// The customer code is a write the store never reads back: ecuctl reports
// the link's own answer, not the store's.
TEST_F(Companion, TheCustomerCodeTellsWhatTheEcuAnswered) {
  EcuOnPty ecu;
  const Outcome taken = Ecuctl(ecu.Port(), "set 72 456");
  EXPECT_EQ(taken.code, kExitOk) << taken.output;
  EXPECT_EQ(ecu.Ecu().Memory().CustomerCode(), 456);

  const std::size_t before = ecu.Ecu().CommandLog().size();
  for (const char* args : {"set 72 1000", "set 72 70000", "set 72 -1", "set 72 12.5"}) {
    const Outcome run = Ecuctl(ecu.Port(), args);
    EXPECT_EQ(run.code, kExitUsage) << args << ": " << run.output;
  }
  EXPECT_EQ(ecu.Ecu().CommandLog().size(), before) << "nothing was sent";
  EXPECT_EQ(ecu.Ecu().Memory().CustomerCode(), 456);

  vecu::EcuOptions refusing = EcuOnPty::Still();
  refusing.refusedAddresses = {64};
  EcuOnPty locked(refusing);
  const Outcome refused = Ecuctl(locked.Port(), "set 72 123");
  EXPECT_EQ(refused.code, kExitRefused) << refused.output;
  EXPECT_NE(refused.output.find("refused"), std::string::npos) << refused.output;
  EXPECT_EQ(locked.Ecu().Memory().CustomerCode(), 0);

  vecu::ServeOptions silent;
  silent.faults.pullAfterRequests = 2;  // the connection's ping and the identification
  EcuOnPty gone(EcuOnPty::Still(), silent);
  const Outcome lost = Ecuctl(gone.Port(), "set 72 123");
  EXPECT_EQ(lost.code, kExitLinkLost) << lost.output;
  EXPECT_EQ(gone.Ecu().Memory().CustomerCode(), 0);
}

// The cable goes in the middle of a file write: the count of values written
// is the count the ECU took, and the message says the ECU holds a mix.
TEST_F(Companion, AWriteCutShortSaysHowFarItCame) {
  const std::string file = File("changed.dmr");
  {
    EcuOnPty source;
    ASSERT_EQ(Ecuctl(source.Port(), "set 56 1000").code, kExitOk);
    ASSERT_EQ(Ecuctl(source.Port(), "read " + file).code, kExitOk);
  }
  vecu::ServeOptions serve;
  // The connection (2 requests) and the full read (55) go through; the cable
  // goes some way into the write.
  serve.faults.pullAfterRequests = 2 + 55 + 20;
  EcuOnPty ecu(EcuOnPty::Still(), serve);
  const Outcome run = Ecuctl(ecu.Port(), "write " + file);
  EXPECT_EQ(run.code, kExitLinkLost) << run.output;
  const int written = Writes(ecu.Ecu());
  EXPECT_GT(written, 0);
  EXPECT_NE(run.output.find("after " + std::to_string(written) + " of "), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("part of the new configuration and part of the old"), std::string::npos)
      << run.output;
  EXPECT_NE(run.output.find("Write the file again"), std::string::npos) << run.output;
}

TEST_F(Companion, CommandLineMistakes) {
  EcuOnPty ecu;
  for (const char* args : {"fly", "get", "get 80", "set 56 fast", "set 1 3", "set 2 7",
                           "set 25 3 1.0", "set 56 1 2", "live --samples 0", "--bogus identify"}) {
    const Outcome run = Ecuctl(ecu.Port(), args);
    EXPECT_EQ(run.code, kExitUsage) << args << ": " << run.output;
  }
  EXPECT_TRUE(ecu.Ecu().CommandLog().empty()) << "nothing reached the ECU";
}

// The identifiers' range and the arrays come from the parameter table; the
// help and the messages read as they always have.
TEST_F(Companion, HelpAndMistakesNameTheIdentifiers) {
  const std::string help = CompanionUsage();
  for (const char* line :
       {"  get ID                     show parameter ID (0..74) in its units\n",
        "  set ID INDEX VALUE         write one element of array 25, 27, 60 or 61\n"}) {
    EXPECT_NE(help.find(line), std::string::npos) << line << help;
  }
  const struct {
    const char* args;
    const char* message;
  } mistakes[] = {
      {"get 75", "a parameter identifier runs 0..74"},
      {"set 75 3", "a parameter identifier runs 0..74"},
      {"set 56 1 2", "only arrays 25, 27, 60, 61 take an index"},
  };
  for (const auto& m : mistakes) {
    const Outcome run = Ecuctl("/dev/no-such-port", m.args);
    EXPECT_EQ(run.code, kExitUsage) << m.args;
    EXPECT_NE(run.output.find(m.message), std::string::npos) << m.args << ": " << run.output;
  }
}

TEST_F(Companion, SaysItsVersion) {
  const Outcome run = Ecuctl("/dev/no-such-port", "--version");
  EXPECT_EQ(run.code, kExitOk) << run.output;
  EXPECT_EQ(run.output, CompanionVersion());
}

}  // namespace
