// The check before ecuctl writes a file is the store's own reader: the two
// files that once passed the check and then loaded as other values are
// refused, by the check and end to end, before anything is sent.
#include <gtest/gtest.h>
#include <sys/wait.h>

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

TEST(ParameterFileCheck, TheTwoFaultInputsAreRefused) {
  EXPECT_EQ(CheckParameterFile(Fixture("defaults-offline.dmr")), "");
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
  ASSERT_EQ(CheckParameterBytes(Bytes(Fixture("defaults-offline.dmr")), &reading), "");
  ConfCar store(Fixture("defaults-offline.dmr"));
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
  EXPECT_EQ(RunEcuctl(ecu.Port(), "write " + Fixture("defaults-offline.dmr"), &output), kExitOk)
      << output;
}

}  // namespace
