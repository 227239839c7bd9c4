#include "SimOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(SimOptions, ParsesEveryFaultOption) {
  vecu::SimOptions options;
  std::string error;
  ASSERT_TRUE(vecu::ParseSimOptions(
      vecu::SplitArguments("--ident 255,2,0,7 --refuse 56,60 --drop 0.25 --corrupt 0.01 "
                           "--latency 5 --pull-after 40 --pace --baud 115200 --engine off"),
      &options, &error))
      << error;
  EXPECT_EQ(options.ecu.identity.typeCode, 255);
  EXPECT_EQ(options.ecu.identity.variant, 2);
  EXPECT_EQ(options.ecu.refusedAddresses, (std::set<int>{56, 60}));
  EXPECT_DOUBLE_EQ(options.serve.faults.dropReplies, 0.25);
  EXPECT_EQ(options.serve.faults.pullAfterFrames, 40);
  EXPECT_TRUE(options.serve.pace);
  EXPECT_EQ(options.serve.baud, 115200);
  EXPECT_FALSE(options.ecu.engineRunning);
}

TEST(SimOptions, RejectsBadValuesWithAReason) {
  const char* bad[] = {"--ident 18,0,1",      "--drop 1.5", "--refuse 300", "--baud fast",
                       "--probe-fault smoky", "--wobble 1", "--latency"};
  for (const char* args : bad) {
    vecu::SimOptions options;
    std::string error;
    EXPECT_FALSE(vecu::ParseSimOptions(vecu::SplitArguments(args), &options, &error)) << args;
    EXPECT_FALSE(error.empty()) << args;
  }
}

}  // namespace
