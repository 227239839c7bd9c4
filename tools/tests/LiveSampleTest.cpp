#include "LiveSample.h"

#include <gtest/gtest.h>

namespace {

TEST(LiveSample, DecodesBothBlocksIntoOneLine) {
  LiveSample sample;
  LiveBlock fast{};
  fast = {60, 41, 30, 0x21, 0x04, 120};
  LiveBlock slow{};
  slow = {0, 180, 0x09, 30, 97};
  ApplyFastBlock(fast, &sample);
  ApplySlowBlock(slow, &sample);
  EXPECT_EQ(AsText(sample),
            "rpm 2000  lambda 0.81 V  tps 0.59 V  temperature n.d.  gas level 180  fuel gas  "
            "actuator 120 (default 97)  CUT-OFF");
  EXPECT_EQ(AsCsv(3, sample), "3,2000,0.81,0.59,,180,gas,120,97,1");
}

}  // namespace
