// The check before ecuctl writes a file is the store's own reader: the two
// files that once passed the check and then loaded as other values are
// refused, by the check and end to end, before anything is sent.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Companion.h"
#include "ConfCar.h"
#include "ParameterFileCheck.h"
#include "VirtualEcuOnPty.h"

namespace {

namespace fs = std::filesystem;

std::string Fixture(const char* name) {
  return (fs::path(MODEL_FIXTURES) / name).string();
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

int RunEcuctl(const std::string& port, const std::string& args, std::string* output) {
  linktest::UsePort(port);
  FILE* pipe = ::popen((std::string(ECUCTL_PATH) + " " + args + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return -1;
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output->append(buffer, n);
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The factory values as the program saves them offline, except that 57 holds
// 54's value, as every file saved after a read of an ECU does (the store's
// factory values for the two disagree).
std::string SoundFile() {
  static const std::string path = [] {
    std::string bytes = Bytes(Fixture("defaults-offline.dmr"));
    const std::string line = "\r\n57 54 5\r\n";
    const std::size_t at = bytes.find(line);
    EXPECT_NE(at, std::string::npos);
    bytes.replace(at, line.size(), "\r\n57 54 20\r\n");
    const fs::path file = fs::temp_directory_path() / ("sound-" + std::to_string(::getpid()) + ".dmr");
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }();
  return path;
}

TEST(ParameterFileCheck, TheTwoFaultInputsAreRefused) {
  EXPECT_EQ(CheckParameterFile(SoundFile()), "");
  EXPECT_EQ(CheckParameterFile(Fixture("fault-form-feed.dmr")),
            "line 5: a form feed after a number");
  EXPECT_EQ(CheckParameterFile(Fixture("fault-long-line.dmr")),
            "line 3: longer than 100 characters");
  // In memory the same verdicts.
  EXPECT_EQ(CheckParameterBytes(Bytes(Fixture("fault-form-feed.dmr"))),
            CheckParameterFile(Fixture("fault-form-feed.dmr")));
}

TEST(ParameterFileCheck, WhatPassesLoadsAsTheReportedValues) {
  paramfile::Reading reading;
  ASSERT_EQ(CheckParameterBytes(Bytes(SoundFile()), &reading), "");
  ConfCar store(SoundFile());
  for (int slot = 0; slot < kImageSlots; ++slot) store.StoreRaw(slot, 300);
  ASSERT_TRUE(store.LoadWholeFile());
  for (std::size_t slot = 0; slot < kImageSlots; ++slot)
    EXPECT_EQ(store.RawImage()[slot], reading.slots[slot].value_or(300)) << slot;
}

TEST(ParameterFileCheck, EcuctlWritesNothingOfEitherFaultInput) {
  linktest::EcuOnPty ecu;
  for (const char* name : {"fault-form-feed.dmr", "fault-long-line.dmr"}) {
    std::string output;
    EXPECT_EQ(RunEcuctl(ecu.Port(), "write " + Fixture(name), &output), kExitBadFile) << output;
    EXPECT_NE(output.find("is not a sound parameter file: line "), std::string::npos) << output;
  }
  for (const auto& line : ecu.Ecu().CommandLog()) EXPECT_NE(line.rfind("WRITE", 0), 0u) << line;
  // The sound file beside them is written.
  std::string output;
  EXPECT_EQ(RunEcuctl(ecu.Port(), "write " + SoundFile(), &output), kExitOk) << output;
}

// 54 and 57 are one byte in the ECU (address 54). A file whose two lines
// disagree cannot be written as it reads: the check refuses it with both
// lines named, and ecuctl writes nothing of it. The program's forgiving load
// still takes both values as they are.
TEST(ParameterFileCheck, TwoLinesForOneEcuValueMustAgree) {
  const std::string offline = Fixture("defaults-offline.dmr");  // 54: 20, 57: 5
  const std::string reason =
      "line 60: identifier 57 gives 5 but identifier 54 (line 57) gives 20; they are one value "
      "in the ECU";
  EXPECT_EQ(CheckParameterFile(offline), reason);

  ConfCar forgiving(offline);
  EXPECT_TRUE(forgiving.LoadFile());
  EXPECT_EQ(forgiving.RawImage()[static_cast<std::size_t>(forgiving.MemberAddress(54))], 20);
  EXPECT_EQ(forgiving.RawImage()[static_cast<std::size_t>(forgiving.MemberAddress(57))], 5);

  // Absent on one side, nothing to disagree with.
  std::string bytes = Bytes(SoundFile());
  const std::string agreeing = "\r\n57 54 20\r\n";
  bytes.replace(bytes.find(agreeing), agreeing.size(), "\r\n57 54 800000\r\n");
  EXPECT_EQ(CheckParameterBytes(bytes), "");

  linktest::EcuOnPty ecu;
  std::string output;
  EXPECT_EQ(RunEcuctl(ecu.Port(), "write " + offline, &output), kExitBadFile) << output;
  EXPECT_NE(output.find(reason), std::string::npos) << output;
  for (const auto& line : ecu.Ecu().CommandLog()) EXPECT_NE(line.rfind("WRITE", 0), 0u) << line;
}

}  // namespace
