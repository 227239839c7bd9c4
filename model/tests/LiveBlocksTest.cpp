#include "LiveBlocks.h"

#include <gtest/gtest.h>

#include <array>

#include "ConfCar.h"

namespace {

TEST(LiveBlocks, EngineSpeedFromThePeriodByte) {
  const int cases[][2] = {{1, 120000}, {240, 500}, {241, 400}, {0, 0}, {255, 0}, {60, 2000}};
  for (const auto& c : cases) EXPECT_EQ(live::RpmOfPeriod(c[0]), c[1]) << "period " << c[0];
}

TEST(LiveBlocks, HundredthsOfAVoltFromARawReading) {
  const int cases[][2] = {{255, 500}, {0, 0}, {128, 251}, {51, 100}, {1, 2}};
  for (const auto& c : cases) EXPECT_EQ(live::CentivoltsOfRaw(c[0]), c[1]) << "raw " << c[0];
}

TEST(LiveBlocks, FastBlockFieldsAndFlags) {
  std::array<std::uint8_t, ecu::kLiveBlockSize> block{};
  block = {60, 41, 30, 0x32, 0xC4, 120};
  const live::FastValues v = live::DecodeFast(block.data());
  EXPECT_EQ(v.rpm, 2000);
  EXPECT_EQ(v.lambdaCentivolts, 81);
  EXPECT_EQ(v.tpsCentivolts, 59);
  EXPECT_EQ(v.tpsZone, 2);
  EXPECT_EQ(v.lambdaStatus, 3);
  EXPECT_TRUE(v.upperLimit);
  EXPECT_TRUE(v.lowerLimit);
  EXPECT_TRUE(v.cutOff);
  EXPECT_EQ(v.actuator, 120);
  block[4] = 0x3B;  // none of the three flags
  const live::FastValues w = live::DecodeFast(block.data());
  EXPECT_FALSE(w.upperLimit || w.lowerLimit || w.cutOff);
}

TEST(LiveBlocks, SlowBlockFieldsAndFlags) {
  std::array<std::uint8_t, ecu::kLiveBlockSize> block{};
  block = {0, 180, 0x09, 51, 97};
  live::SlowValues v = live::DecodeSlow(block.data());
  EXPECT_EQ(v.temperature, live::kNoTemperature);
  EXPECT_EQ(v.gasLevel, 180);
  EXPECT_TRUE(v.onGas);
  EXPECT_TRUE(v.showActuatorWindows);
  EXPECT_EQ(v.minTpsCentivolts, 100);
  EXPECT_EQ(v.defaultPosition, 97);
  block[0] = 100;
  block[2] = 0x00;
  v = live::DecodeSlow(block.data());
  EXPECT_EQ(v.temperature, static_cast<int>(TemperatureOfRaw(100)));
  EXPECT_FALSE(v.onGas);
  EXPECT_FALSE(v.showActuatorWindows);
}

}  // namespace
