#include "SerialPort.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "FailureText.h"

namespace serlink {
namespace {
int OpenDevice(const char* path, int flags) {
  return ::open(path, flags);
}
SerialPort::Opener opener = OpenDevice;
}  // namespace

void SerialPort::SetOpenerForTests(Opener replacement) {
  opener = replacement != nullptr ? replacement : OpenDevice;
}

unsigned SerialPort::SpeedConstant(int baud) {
  switch (baud) {
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    default:
      return 0;
  }
}

bool SerialPort::Open(const std::string& path, int baud, Failure* failure) {
  Close();
  const speed_t speed = SpeedConstant(baud);
  if (speed == 0) {
    failure->kind = ecu::kFailureOther;
    failure->port = path;
    failure->text = "Unsupported line speed " + std::to_string(baud) + ".";
    return false;
  }
  // Non-blocking: opening never waits for carrier, reads are driven by poll.
  const int fd = opener(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    *failure = OpenFailure(path, errno);
    return false;
  }
  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    *failure = NotSerialPortFailure(path, errno);
    ::close(fd);
    return false;
  }
  ::cfmakeraw(&tio);
  tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
  tio.c_cflag |= CS8 | CLOCAL | CREAD;
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, speed);
  ::cfsetospeed(&tio, speed);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
    *failure = SetUpFailure(path, errno);
    ::close(fd);
    return false;
  }
  // Each of these may be refused by a pseudo-terminal or a simple adapter.
  // A pseudo-terminal outlives its clients (the virtual ECU keeps it open),
  // so exclusive use would lock out the next client after a crash: not there.
  std::error_code ec;
  if (std::filesystem::canonical(path, ec).string().rfind("/dev/pts/", 0) != 0) {
    ::ioctl(fd, TIOCEXCL);
  }
  serial_struct serial{};
  if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
    serial.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &serial);
  }
  int lines = TIOCM_DTR | TIOCM_RTS;  // some interface cables take power from these
  ::ioctl(fd, TIOCMBIS, &lines);
  ::tcflush(fd, TCIOFLUSH);
  fd_ = fd;
  return true;
}

void SerialPort::Close() {
  if (fd_ >= 0) {
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
  }
}

bool SerialPort::Write(std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EAGAIN) {
      pollfd p{fd_, POLLOUT, 0};
      if (::poll(&p, 1, 100) <= 0) return false;
      continue;
    }
    return false;
  }
  return true;
}

int SerialPort::Read(std::uint8_t* buffer, std::size_t size, int timeoutMs) {
  if (fd_ < 0) return -1;
  pollfd p{fd_, POLLIN, 0};
  const int ready = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
  if (ready < 0) return errno == EINTR ? 0 : -1;
  if (ready == 0) return 0;
  if (!(p.revents & POLLIN)) return -1;  // hang-up or error without data
  const ssize_t n = ::read(fd_, buffer, size);
  if (n > 0) return static_cast<int>(n);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
  return -1;
}

void SerialPort::FlushInput() {
  if (fd_ >= 0) ::tcflush(fd_, TCIFLUSH);
}

}  // namespace serlink
