// The link's operations against the virtual ECU over a real pseudo-terminal.
#include <gtest/gtest.h>

#include "ConfCar.h"
#include "EcuMemory.h"
#include "VirtualEcuOnPty.h"

namespace {

using linktest::EcuOnPty;
using serlink::SerialEcuLink;
using vecu::EcuMemory;

class LinkOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    linktest::UsePort(ecu_.Port());
    ASSERT_TRUE(link_.OpenLink());
    ASSERT_TRUE(link_.Connect());
  }
  EcuOnPty ecu_;
  SerialEcuLink link_;
};

TEST_F(LinkOperations, IdentifiesTheEcu) {
  ecu::Identification id;
  ASSERT_TRUE(link_.ReadIdentification(&id));
  EXPECT_EQ(id.typeCode, 18);
  EXPECT_EQ(id.variant, 0);
  EXPECT_EQ(id.featureFlags, 1);
  EXPECT_EQ(id.version, 23);
  EXPECT_EQ(link_.GetPortInUse(), 0);  // a pseudo-terminal
  EXPECT_FALSE(link_.ReadIdentification(nullptr));
}

// Every address the ECU holds: written through the link, read back through
// the link, and seen in the ECU's memory. Arrays by their full code and by
// their address alone.
TEST_F(LinkOperations, WritesAndReadsEveryAddressAndArray) {
  for (int address = 0; address < vecu::kAddressCount; ++address) {
    const int size = EcuMemory::Size(address);
    if (size == 0 || address == vecu::kCustomerCodeAddress) continue;
    const auto full = size > 1 ? ecu::MakeArrayCode(address, size) : std::uint32_t(address);
    for (int i = 0; i < size; ++i) {
      const int value = (EcuMemory::Factory(address, i) + 17 + i) % 256;
      const bool wrote = size > 1 && i % 2 ? link_.WriteParameterElement(address, i, value)
                                           : link_.WriteParameterElement(full, i, value);
      ASSERT_TRUE(wrote) << address << "/" << i;
      EXPECT_EQ(ecu_.Ecu().Memory().Get(address, i), value);
    }
    std::int32_t read[8] = {-1, -1, -1, -1, -1, -1, -1, -1};
    ASSERT_TRUE(link_.ReadParameter(full, read)) << address;
    for (int i = 0; i < size; ++i)
      EXPECT_EQ(read[i], (EcuMemory::Factory(address, i) + 17 + i) % 256);
    EXPECT_EQ(read[size], -1) << "nothing written past the array";
    std::int32_t first = -1;
    ASSERT_TRUE(link_.ReadParameter(static_cast<std::uint32_t>(address), &first));
    EXPECT_EQ(first, read[0]) << "the address alone reads the first element";
  }
}

TEST_F(LinkOperations, RefusesBadRequestsWithoutTouchingAnything) {
  std::int32_t untouched = -7;
  EXPECT_FALSE(link_.ReadParameter(64, &untouched)) << "the customer code is write-only";
  EXPECT_FALSE(link_.ReadParameter(11, &untouched)) << "no parameter at address 11";
  EXPECT_FALSE(link_.ReadParameter(256, &untouched)) << "an array of no elements";
  EXPECT_EQ(untouched, -7);
  EXPECT_FALSE(link_.WriteParameter(2, 256));
  EXPECT_FALSE(link_.WriteParameter(2, -1));
  EXPECT_FALSE(link_.WriteParameterElement(0x3119, 3, 1)) << "beyond the array's count";
  EXPECT_FALSE(link_.WriteParameterElement(25, 3, 1)) << "beyond the ECU's array";
  EXPECT_EQ(ecu_.Ecu().Memory(), EcuMemory());
  EXPECT_TRUE(link_.IsConnected()) << "a refusal is an answer, not a lost link";
}

TEST_F(LinkOperations, CustomerCodeAndIndicatorAndPassThroughBit) {
  EXPECT_TRUE(link_.WriteParameter(64, 999));
  EXPECT_EQ(ecu_.Ecu().Memory().CustomerCode(), 999);
  link_.SetIndicatorOutput(200, -1);
  EXPECT_EQ(ecu_.Ecu().IndicatorOutput(), 200);
  EXPECT_TRUE(link_.WriteParameter(519, 50));  // parameter 7 carries bit 9
  EXPECT_EQ(ecu_.Ecu().Memory().Get(7), 50);
}

TEST_F(LinkOperations, EraseBringsBackFactoryValues) {
  ASSERT_TRUE(link_.WriteParameter(2, 97));
  ASSERT_TRUE(link_.WriteParameterElement(0x613C, 5, 1));
  EXPECT_TRUE(link_.WriteParameterElement(0, 0, 0));
  EXPECT_EQ(ecu_.Ecu().Memory(), EcuMemory());
  EXPECT_EQ(ecu_.Ecu().CommandLog().back(), "ERASE");
}

TEST_F(LinkOperations, ReadsBothLiveBlocks) {
  std::uint8_t block[ecu::kLiveBlockSize + 1] = {};
  block[ecu::kLiveBlockSize] = 0xEE;
  EXPECT_TRUE(link_.ReadLiveBlock(0, block, ecu::kLiveBlockSize));
  EXPECT_TRUE(link_.ReadLiveBlock(1, block, ecu::kLiveBlockSize));
  EXPECT_EQ(block[4], 100) << "slow block: the default position";
  EXPECT_EQ(block[ecu::kLiveBlockSize], 0xEE);
  EXPECT_FALSE(link_.ReadLiveBlock(2, block, ecu::kLiveBlockSize));
  EXPECT_FALSE(link_.ReadLiveBlock(0, block, 19));
  const auto log = ecu_.Ecu().CommandLog();
  EXPECT_EQ(std::count(log.begin(), log.end(), "LIVE 0"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "LIVE 1"), 1);
}

// The store's full write into a factory-fresh ECU and its full read back into
// a fresh store give the same image.
TEST_F(LinkOperations, FullWriteAndFullReadOfTheStore) {
  ConfCar written("unused.dmr", &link_);
  const int changes[][2] = {{1, 12}, {6, 80}, {8, 1}, {47, 150}, {49, 40}, {50, 33}, {59, 200}};
  for (const auto& change : changes) written.StoreRaw(change[0], change[1]);
  written.StoreRaw(9, 131);  // a calibrated level sensor, so the calibration is written too
  for (int slot = 10; slot < 16; ++slot) written.StoreRaw(slot, slot * 10);
  EXPECT_EQ(written.WriteAll(), 0);

  ConfCar read("unused.dmr", &link_);
  EXPECT_EQ(read.ReadAll(), 0);
  ConfCar::Image expected = written.RawImage();
  expected[4] = expected[7];        // 57 and 54 are one ECU value: the last written, 54's
  expected[69] = expected[70] = 0;  // not read from the ECU
  EXPECT_EQ(read.RawImage(), expected);
}

TEST(LinkState, DisconnectIsQuietAndClosesTheLink) {
  EcuOnPty ecu;
  linktest::UsePort(ecu.Port());
  SerialEcuLink link;
  linktest::RecordingSink sink;
  link.AttachScreen(&sink);
  EXPECT_FALSE(link.IsConnected());
  ASSERT_TRUE(link.OpenLink());
  EXPECT_FALSE(link.IsConnected()) << "open is not yet connected";
  ASSERT_TRUE(link.Connect());
  EXPECT_TRUE(link.IsConnected());
  link.Disconnect();
  EXPECT_FALSE(link.IsConnected());
  std::int32_t value = 0;
  EXPECT_FALSE(link.ReadParameter(2, &value));
  EXPECT_EQ(sink.Changes(), std::vector<bool>{true});
  ASSERT_TRUE(link.OpenLink());
  ASSERT_TRUE(link.Connect());
  EXPECT_EQ(sink.Changes(), (std::vector<bool>{true, true}));
  link.AttachScreen(nullptr);
}

}  // namespace
