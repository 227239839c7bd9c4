#include "PseudoTerminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace vecu {

PseudoTerminal::~PseudoTerminal() {
  if (keeper_ >= 0) ::close(keeper_);
  if (master_ >= 0) ::close(master_);
}

bool PseudoTerminal::Open(std::string* error) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) {
    *error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
    return false;
  }
  slavePath_ = name;
  keeper_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (keeper_ < 0) {
    *error = std::string("cannot open ") + name + ": " + std::strerror(errno);
    return false;
  }
  termios raw{};
  if (::tcgetattr(keeper_, &raw) == 0) {
    ::cfmakeraw(&raw);
    ::tcsetattr(keeper_, TCSANOW, &raw);
  }
  return true;
}

}  // namespace vecu
