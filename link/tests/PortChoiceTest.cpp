#include "PortChoice.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

TEST(PortChoice, PortNumberFollowsTheDeviceKind) {
  const struct {
    const char* path;
    int number;
  } cases[] = {
      {"/dev/ttyUSB0", 100}, {"/dev/ttyACM3", 100}, {"/dev/ttyS0", 0},
      {"/dev/ttyS3", 3},     {"/dev/pts/7", 0},     {"/dev/ttyAMA1", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(serlink::PortNumber(c.path), c.number) << c.path;
}

TEST(PortChoice, ALinkCountsAsTheDeviceItNames) {
  const fs::path dir = fs::temp_directory_path() / ("by-id-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path usb = dir / "usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0";
  const fs::path relative = dir / "serial0";
  fs::create_symlink("/dev/ttyUSB4", usb);
  fs::create_symlink("../../dev/ttyS2", relative);  // resolved against the link's folder
  EXPECT_EQ(serlink::PortNumber(usb), 100);
  EXPECT_EQ(serlink::PortNumber(relative), 2);
  EXPECT_EQ(serlink::PortNumber(dir / "missing"), 0);
  fs::remove_all(dir);
}

TEST(PortChoice, CandidatesAreSerialDevicesWithoutRepeats) {
  const auto ports = serlink::CandidatePorts();
  std::set<std::string> unique(ports.begin(), ports.end());
  EXPECT_EQ(unique.size(), ports.size());
  for (const auto& port : ports) {
    const auto name = fs::path(port).filename().string();
    EXPECT_TRUE(port.rfind("/dev/serial/by-id/", 0) == 0 || name.rfind("tty", 0) == 0) << port;
  }
}

}  // namespace
