// The virtual ECU run inside the library (SEROXT_PORT=sim): a pseudo-terminal
// pair whose master side a thread serves, so the link opens the slave side
// through the same serial code as a real cable.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "EcuServer.h"
#include "PseudoTerminal.h"
#include "SimOptions.h"
#include "VirtualEcu.h"

namespace serlink {

class EmbeddedSim {
 public:
  ~EmbeddedSim();
  // options: virtual ECU arguments, as for ecu-sim (SEROXT_SIM). nullptr with
  // a reason in error when it cannot start.
  static std::unique_ptr<EmbeddedSim> Start(const std::string& options, std::string* error);

  const std::string& PortPath() const { return pty_.SlavePath(); }

 private:
  EmbeddedSim() = default;
  vecu::PseudoTerminal pty_;
  std::unique_ptr<vecu::VirtualEcu> ecu_;
  std::unique_ptr<vecu::EcuServer> server_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace serlink
