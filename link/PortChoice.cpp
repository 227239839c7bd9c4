#include "PortChoice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <set>

namespace serlink {
namespace fs = std::filesystem;
namespace {

// Follows symlinks (by-id names, a simulator's stable link) even when the
// device they point at is gone.
std::string Resolved(const std::string& path) {
  fs::path current = path;
  for (int hops = 0; hops < 8; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(current, ec)) break;
    const fs::path target = fs::read_symlink(current, ec);
    if (ec) break;
    current = target.is_absolute() ? target : current.parent_path() / target;
  }
  return current.lexically_normal().string();
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

int TrailingNumber(const std::string& name) {
  std::size_t digits = name.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) --digits;
  if (digits == name.size() || name.size() - digits > 6) return -1;
  return std::stoi(name.substr(digits));
}

// Sorted by the number at the end, so ttyUSB2 comes before ttyUSB10.
std::vector<std::string> DevicesNamed(const std::string& prefix) {
  std::vector<std::string> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/dev", ec)) {
    const std::string name = entry.path().filename().string();
    if (StartsWith(name, prefix) && TrailingNumber(name) >= 0) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end(), [](const std::string& a, const std::string& b) {
    return TrailingNumber(fs::path(a).filename()) < TrailingNumber(fs::path(b).filename());
  });
  return found;
}

// A ttyS node exists for every possible UART; only those with hardware answer.
bool HasUart(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == EACCES;  // worth trying, to report the permission
  serial_struct serial{};
  const bool present = ::ioctl(fd, TIOCGSERIAL, &serial) != 0 || serial.type != PORT_UNKNOWN;
  ::close(fd);
  return present;
}

}  // namespace

std::vector<std::string> CandidatePorts() {
  std::vector<std::string> ports;
  std::set<std::string> seen;
  auto add = [&](const std::string& path) {
    if (seen.insert(Resolved(path)).second) ports.push_back(path);
  };
  std::error_code ec;
  std::vector<std::string> byId;
  for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", ec)) {
    byId.push_back(entry.path());
  }
  std::sort(byId.begin(), byId.end());
  for (const auto& path : byId) add(path);
  for (const char* prefix : {"ttyUSB", "ttyACM"}) {
    for (const auto& path : DevicesNamed(prefix)) add(path);
  }
  for (const auto& path : DevicesNamed("ttyS")) {
    if (HasUart(path)) add(path);
  }
  return ports;
}

int PortNumber(const std::string& path) {
  const std::string real = Resolved(path);
  const std::string name = fs::path(real).filename();
  if (StartsWith(name, "ttyUSB") || StartsWith(name, "ttyACM")) return 100;
  if (StartsWith(real, "/dev/pts/") || real == "/dev/ptmx") return 0;
  const int number = TrailingNumber(name);
  return number < 0 ? 0 : number;
}

}  // namespace serlink
