// The shared library as the program meets it: loaded with dlopen, its two
// exports, and the built-in virtual ECU behind SEROXT_PORT=sim.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "ConfCar.h"
#include "EcuLink.h"

namespace {

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = ::dlopen(LINK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << ::dlerror();
    create_ = reinterpret_cast<CreateClassInstanceFn>(::dlsym(handle_, ECU_LINK_CREATE_SYMBOL));
    destroy_ = reinterpret_cast<DestroyClassInstanceFn>(::dlsym(handle_, ECU_LINK_DESTROY_SYMBOL));
    ASSERT_NE(create_, nullptr);
    ASSERT_NE(destroy_, nullptr);
    ::setenv("SEROXT_PORT", "sim", 1);
    ::setenv("SEROXT_BAUD", "115200", 1);
    ::unsetenv("SEROXT_TIMEOUT_MS");
  }
  void TearDown() override {
    ::unsetenv("SEROXT_SIM");
    if (handle_ != nullptr) ::dlclose(handle_);
  }
  void* handle_ = nullptr;
  CreateClassInstanceFn create_ = nullptr;
  DestroyClassInstanceFn destroy_ = nullptr;
};

// The dynamic symbol table (as binutils' nm lists it) holds the two factories,
// the failure reason, and nothing else of ours.
TEST_F(LoadedLibrary, ExportsOnlyTheFactoriesAndTheFailureReason) {
  FILE* pipe = ::popen("nm -D --defined-only " LINK_LIBRARY_PATH " 2>/dev/null", "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> functions;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::istringstream fields(line);
    std::string address, kind, name;
    if (fields >> address >> kind >> name && (kind == "T" || kind == "W")) functions.insert(name);
  }
  if (::pclose(pipe) != 0 && functions.empty()) GTEST_SKIP() << "nm is not available";
  EXPECT_EQ(functions, (std::set<std::string>{"_CreateClassInstance", "_DestroyClassInstance",
                                              "_GetLastFailureText", "_GetLastFailureKind"}));
}

// The reason of a failed OpenLink, through the export: whole when the buffer
// is large enough, cut and still terminated when it is not, its length either
// way; and forgotten by the next attempt that succeeds.
TEST_F(LoadedLibrary, TellsWhyTheLastAttemptFailed) {
  const auto reasonOf =
      reinterpret_cast<GetLastFailureTextFn>(::dlsym(handle_, ECU_LINK_FAILURE_SYMBOL));
  ASSERT_NE(reasonOf, nullptr);
  ecu::EcuLink* link = create_();
  ::setenv("SEROXT_PORT", "/dev/no-such-port-here", 1);
  EXPECT_FALSE(link->OpenLink());
  const std::string expected = "There is no port /dev/no-such-port-here: is the cable plugged in?";
  char whole[256];
  EXPECT_EQ(reasonOf(whole, sizeof whole), static_cast<int>(expected.size()));
  EXPECT_EQ(std::string(whole), expected);
  char shortBuffer[9];
  EXPECT_EQ(reasonOf(shortBuffer, sizeof shortBuffer), static_cast<int>(expected.size()));
  EXPECT_EQ(std::string(shortBuffer), expected.substr(0, 8));
  EXPECT_EQ(reasonOf(nullptr, 0), static_cast<int>(expected.size()));

  ::setenv("SEROXT_PORT", "sim", 1);
  ASSERT_TRUE(link->OpenLink());
  EXPECT_EQ(reasonOf(whole, sizeof whole), 0);
  EXPECT_EQ(std::string(whole), "");
  destroy_(link);
}

// The same failure as a kind with its details, so that a program can say it
// in its own language: the port (cut and terminated like the text), no
// group for a missing port, and nothing at all once an attempt succeeds.
TEST_F(LoadedLibrary, TellsTheKindOfTheLastFailure) {
  const auto kindOf =
      reinterpret_cast<GetLastFailureKindFn>(::dlsym(handle_, ECU_LINK_FAILURE_KIND_SYMBOL));
  ASSERT_NE(kindOf, nullptr);
  ecu::EcuLink* link = create_();
  ::setenv("SEROXT_PORT", "/dev/ttyNOPE", 1);
  EXPECT_FALSE(link->OpenLink());
  char port[64] = "x", group[64] = "x", shortPort[5] = "x";
  int number = -1;
  EXPECT_EQ(kindOf(port, sizeof port, group, sizeof group, &number), ecu::kFailureNoSuchPort);
  EXPECT_EQ(std::string(port), "/dev/ttyNOPE");
  EXPECT_EQ(std::string(group), "");
  EXPECT_EQ(number, 0);
  EXPECT_EQ(kindOf(shortPort, sizeof shortPort, nullptr, 0, nullptr), ecu::kFailureNoSuchPort);
  EXPECT_EQ(std::string(shortPort), "/dev");

  ::setenv("SEROXT_PORT", "sim", 1);
  ASSERT_TRUE(link->OpenLink());
  EXPECT_EQ(kindOf(port, sizeof port, group, sizeof group, &number), ecu::kFailureNone);
  EXPECT_EQ(std::string(port), "");
  destroy_(link);
}

TEST_F(LoadedLibrary, TheBuiltInEcuAnswersAFullRead) {
  ecu::EcuLink* link = create_();
  ASSERT_NE(link, nullptr);
  link->SetStartOptionA(0);
  link->SetStartOptionB(4);
  ASSERT_TRUE(link->OpenLink());
  ASSERT_TRUE(link->Connect());
  EXPECT_EQ(link->GetPortInUse(), 0);
  ecu::Identification id;
  ASSERT_TRUE(link->ReadIdentification(&id));
  EXPECT_EQ(id.typeCode, 18);
  ConfCar store("default.dmr", link);
  store.StoreRaw(1, 0);
  store.ReadAll();
  EXPECT_EQ(store.RawImage()[1], 50) << "the ECU's ignition type";
  EXPECT_EQ(store.GetValue(56), 2000);
  EXPECT_EQ(store.SetValue(56, 3000), 1);
  link->Disconnect();
  // The built-in ECU lives as long as the link: a new connection sees the change.
  ASSERT_TRUE(link->OpenLink());
  ASSERT_TRUE(link->Connect());
  std::int32_t raw = 0;
  ASSERT_TRUE(link->ReadParameter(56, &raw));
  EXPECT_EQ(raw, 40);
  destroy_(link);
}

TEST_F(LoadedLibrary, TheBuiltInEcuTakesItsIdentificationFromTheEnvironment) {
  ::setenv("SEROXT_SIM", "--ident 255,2,0,9", 1);
  ecu::EcuLink* link = create_();
  ASSERT_TRUE(link->OpenLink());
  ecu::Identification id;
  ASSERT_TRUE(link->ReadIdentification(&id));
  EXPECT_EQ(id.typeCode, 255);
  EXPECT_EQ(id.variant, 2);
  EXPECT_EQ(id.version, 9);
  destroy_(link);

  ::setenv("SEROXT_SIM", "--ident nonsense", 1);
  link = create_();
  EXPECT_FALSE(link->OpenLink());
  destroy_(link);
}

}  // namespace
