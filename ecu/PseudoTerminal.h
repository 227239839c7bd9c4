// A pseudo-terminal pair for the virtual ECU: the ECU serves the master side,
// a client opens the slave path as if it were a serial port. The slave is kept
// open here (in raw mode) so the master never sees a hang-up between clients.
#pragma once

#include <string>

namespace vecu {

class PseudoTerminal {
 public:
  PseudoTerminal() = default;
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // false with a reason in error when no pair could be made.
  bool Open(std::string* error);
  int MasterFd() const { return master_; }
  const std::string& SlavePath() const { return slavePath_; }

 private:
  int master_ = -1;
  int keeper_ = -1;
  std::string slavePath_;
};

}  // namespace vecu
