#include "EcuMemory.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ConfCar.h"
#include "ParameterTable.h"

namespace {

using vecu::EcuMemory;
using wire::Refusal;

// The ECU's factory memory is what the program's store holds after
// ResetDefaults, address by address. Identifier 57 is the one exception: it
// names the same ECU value as 54 (address 54) in other units, and the ECU has
// one factory value for it, the one of 54.
TEST(EcuMemory, FactoryValuesEqualTheStoreDefaults) {
  const auto& defaults = params::Defaults();
  for (int id = 0; id < kParameterCount; ++id) {
    const int slot = params::OwnSlot(id);
    if (slot < 0 || id == 57) continue;
    const int address = ecu::CodeAddress(params::Code(id));
    const int count = params::ElementCount(id);
    ASSERT_EQ(EcuMemory::Size(address), count) << "identifier " << id;
    for (int i = 0; i < count; ++i) {
      EXPECT_EQ(EcuMemory::Factory(address, i), defaults[static_cast<std::size_t>(slot + i)])
          << "identifier " << id << " element " << i;
    }
  }
}

TEST(EcuMemory, RefusesWhatNoEcuCouldHold) {
  EcuMemory memory;
  struct Case {
    int address, index, value;
    Refusal why;
  };
  const Case cases[] = {
      {0, 0, 0, Refusal::UnknownAddress}, {11, 0, 1, Refusal::UnknownAddress},
      {25, 3, 1, Refusal::OutOfRange},    {2, 1, 1, Refusal::OutOfRange},
      {2, 0, 256, Refusal::BadValue},     {2, 0, -1, Refusal::BadValue},
      {64, 0, 1000, Refusal::BadValue},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(memory.Write(c.address, c.index, c.value), c.why) << c.address << "/" << c.index;
  }
  EXPECT_EQ(memory, EcuMemory());
  std::vector<std::uint8_t> values;
  EXPECT_EQ(memory.Read(64, 0, 1, &values), Refusal::WriteOnly);
  EXPECT_EQ(memory.Read(60, 4, 3, &values), Refusal::OutOfRange);
  EXPECT_TRUE(values.empty());
}

TEST(EcuMemory, CustomerCodeIsWriteOnlyAndEraseRestoresEverything) {
  EcuMemory memory;
  EXPECT_FALSE(memory.Write(64, 0, 999));
  EXPECT_FALSE(memory.Write(60, 5, 1));
  EXPECT_FALSE(memory.Write(2, 0, 97));
  EXPECT_EQ(memory.CustomerCode(), 999);
  std::vector<std::uint8_t> values;
  EXPECT_FALSE(memory.Read(60, 0, 6, &values));
  EXPECT_EQ(values, (std::vector<std::uint8_t>{25, 55, 114, 161, 215, 1}));
  memory.Erase();
  EXPECT_EQ(memory, EcuMemory());
}

class EcuMemoryFile : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove(path_); }
  std::string path_ = (std::filesystem::temp_directory_path() /
                       ("ecu-memory-" + std::to_string(::getpid()) + ".txt"))
                          .string();
};

TEST_F(EcuMemoryFile, SaveAndLoadGiveTheSameMemory) {
  EcuMemory memory;
  memory.Write(25, 1, 77);
  memory.Write(64, 0, 123);
  ASSERT_TRUE(memory.Save(path_));
  EcuMemory loaded;
  ASSERT_TRUE(loaded.Load(path_));
  EXPECT_EQ(loaded, memory);
}

TEST_F(EcuMemoryFile, AMalformedFileChangesNothing) {
  const char* bad[] = {"2 50\n25 1 2\n", "2 300\n", "11 5\n", "2 5 x\n"};
  for (const char* text : bad) {
    std::ofstream(path_) << text;
    EcuMemory memory;
    memory.Write(2, 0, 97);
    const EcuMemory before = memory;
    EXPECT_FALSE(memory.Load(path_)) << text;
    EXPECT_EQ(memory, before) << text;
  }
  EcuMemory memory;
  EXPECT_FALSE(memory.Load(path_ + ".missing"));
}

}  // namespace
