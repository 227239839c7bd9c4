// Why the link could not reach the ECU: the reason kept for each kind of
// failure, as the technician will read it under the program's message.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "FailureText.h"
#include "LastFailure.h"
#include "PseudoTerminal.h"
#include "SerialPort.h"
#include "VirtualEcuOnPty.h"

namespace {

namespace fs = std::filesystem;
using serlink::SerialEcuLink;

int RefusePermission(const char*, int) {
  errno = EACCES;
  return -1;
}

// Running as root, a refused permission cannot be met for real.
struct RefusedPermission {
  RefusedPermission() { serlink::SerialPort::SetOpenerForTests(RefusePermission); }
  ~RefusedPermission() { serlink::SerialPort::SetOpenerForTests(nullptr); }
};

struct TempFile {
  TempFile() : path(fs::temp_directory_path() / ("not-a-port-" + std::to_string(::getpid()))) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file != nullptr) std::fclose(file);
  }
  ~TempFile() { fs::remove(path); }
  fs::path path;
};

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Each kind of failure through OpenLink and Connect, as the program calls
// them: the reason names the port and says what to do, and its kind and
// details let the program say the same in the technician's language.
TEST(FailureReason, EachKindOfFailureSaysWhy) {
  TempFile regular;
  vecu::PseudoTerminal silent;  // a port with nobody behind it
  std::string error;
  ASSERT_TRUE(silent.Open(&error)) << error;

  const struct {
    const char* name;
    std::string port;
    bool refusePermission;
    bool opens;
    std::vector<std::string> parts;
    int kind;
    std::string group;
  } cases[] = {
      {"missing path",
       "/dev/no-such-port-here",
       false,
       false,
       {"There is no port /dev/no-such-port-here", "cable"},
       ecu::kFailureNoSuchPort,
       ""},
      {"not a terminal",
       regular.path.string(),
       false,
       false,
       {regular.path.string() + " is not a serial port"},
       ecu::kFailureNotSerialPort,
       ""},
      {"permission refused",
       "/dev/no-such-port-here",
       true,
       false,
       {"No permission to open /dev/no-such-port-here", "'dialout' group",
        "sudo usermod -aG dialout $USER", "log out"},
       ecu::kFailureNoPermissionJoin,
       "dialout"},
      {"nothing answers",
       silent.SlavePath(),
       false,
       true,
       {"No answer from the ECU on " + silent.SlavePath()},
       ecu::kFailureNoAnswer,
       ""},
  };
  for (const auto& c : cases) {
    std::optional<RefusedPermission> refused;
    if (c.refusePermission) refused.emplace();
    linktest::UsePort(c.port, 10);
    ::setenv("SEROXT_BAUD", "115200", 1);
    SerialEcuLink link;
    link.SetStartOptionB(0);
    serlink::SetLastFailure("left over from before");
    EXPECT_EQ(link.OpenLink(), c.opens) << c.name;
    if (c.opens) {
      EXPECT_EQ(serlink::LastFailure(), "") << c.name << ": a new attempt forgets the old reason";
      EXPECT_FALSE(link.Connect()) << c.name;
    }
    const std::string reason = serlink::LastFailure();
    for (const auto& part : c.parts)
      EXPECT_TRUE(Contains(reason, part)) << c.name << ": " << reason;
    const serlink::Failure failure = serlink::LastFailureDetail();
    EXPECT_EQ(failure.kind, c.kind) << c.name;
    EXPECT_EQ(failure.port, c.port) << c.name;
    EXPECT_EQ(failure.group, c.group) << c.name;
    EXPECT_EQ(failure.text, reason);
  }
}

// A search names the first port it could not open, since joining its group
// is what helps; otherwise it says how many ports it tried.
TEST(FailureReason, ASearchSaysWhatItMet) {
  SerialEcuLink link;
  bool denied = false;
  EXPECT_FALSE(link.OpenFirstAnswering({}, &denied));
  EXPECT_TRUE(Contains(serlink::LastFailure(), "No serial port found")) << serlink::LastFailure();
  EXPECT_EQ(serlink::LastFailureDetail().kind, ecu::kFailureNoPortFound);

  EXPECT_FALSE(link.OpenFirstAnswering({"/dev/no-such-a", "/dev/no-such-b"}, &denied));
  EXPECT_FALSE(denied);
  EXPECT_TRUE(Contains(serlink::LastFailure(), "any of the 2 serial ports"))
      << serlink::LastFailure();
  EXPECT_EQ(serlink::LastFailureDetail().kind, ecu::kFailureNoEcuOnPorts);
  EXPECT_EQ(serlink::LastFailureDetail().number, 2);

  RefusedPermission refused;
  EXPECT_FALSE(link.OpenFirstAnswering({"/dev/no-such-a", "/dev/no-such-b"}, &denied));
  EXPECT_TRUE(denied);
  EXPECT_TRUE(Contains(serlink::LastFailure(), "No permission to open /dev/no-such-a"))
      << serlink::LastFailure();
  EXPECT_EQ(serlink::LastFailureDetail().kind, ecu::kFailureNoPermissionJoin);
  EXPECT_EQ(serlink::LastFailureDetail().port, "/dev/no-such-a");
}

// A connection that was working and stops answering says so too.
TEST(FailureReason, ALostConnectionSaysTheEcuStoppedAnswering) {
  linktest::EcuOnPty ecu;
  linktest::ConnectedLink connection(ecu.Port());
  ASSERT_TRUE(connection.connected);
  EXPECT_EQ(serlink::LastFailure(), "");
  vecu::FaultOptions silent;
  silent.dropReplies = 1.0;
  ecu.Server().SetFaults(silent);
  std::int32_t value = 0;
  EXPECT_FALSE(connection.link.ReadParameter(56, &value));
  EXPECT_TRUE(Contains(serlink::LastFailure(), "No answer from the ECU on " + ecu.Port()))
      << serlink::LastFailure();
}

}  // namespace
