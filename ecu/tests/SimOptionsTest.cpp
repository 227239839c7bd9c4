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
  EXPECT_EQ(options.serve.faults.pullAfterRequests, 40);
  EXPECT_TRUE(options.serve.pace);
  EXPECT_EQ(options.serve.baud, 115200);
  EXPECT_FALSE(options.ecu.engineRunning);
}

TEST(SimOptions, RejectsBadValuesWithAReason) {
  const char* bad[] = {"--ident 18,0,1",      "--drop 1.5", "--refuse 300", "--baud fast",
                       "--probe-fault smoky", "--wobble 1", "--latency",
                       "--drive diesel/idle:20", "--drive gas/900:20", "--drive gas/idle",
                       "--drive gas/idle:0", "--drive petrol/idle:20,", "--gas-mixture 60",
                       "--gas-mixture lean"};
  for (const char* args : bad) {
    vecu::SimOptions options;
    std::string error;
    EXPECT_FALSE(vecu::ParseSimOptions(vecu::SplitArguments(args), &options, &error)) << args;
    EXPECT_FALSE(error.empty()) << args;
  }
}

TEST(SimOptions, ParsesABenchTest) {
  vecu::SimOptions options;
  std::string error;
  ASSERT_TRUE(vecu::ParseSimOptions(
      vecu::SplitArguments("--drive petrol/idle:30,petrol/2500:22.5,gas/idle:30 "
                           "--gas-mixture -12.5"),
      &options, &error))
      << error;
  ASSERT_EQ(options.ecu.drive.size(), 3u);
  EXPECT_FALSE(options.ecu.drive[0].gas);
  EXPECT_EQ(options.ecu.drive[0].rpm, 0);
  EXPECT_EQ(options.ecu.drive[1].rpm, 2500);
  EXPECT_DOUBLE_EQ(options.ecu.drive[1].seconds, 22.5);
  EXPECT_TRUE(options.ecu.drive[2].gas);
  EXPECT_DOUBLE_EQ(options.ecu.gasMixture, -12.5);
}

}  // namespace
