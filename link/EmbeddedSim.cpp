#include "EmbeddedSim.h"

namespace serlink {

EmbeddedSim::~EmbeddedSim() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

std::unique_ptr<EmbeddedSim> EmbeddedSim::Start(const std::string& options, std::string* error) {
  vecu::SimOptions parsed;
  if (!vecu::ParseSimOptions(vecu::SplitArguments(options), &parsed, error)) {
    *error = "SEROXT_SIM: " + *error;
    return nullptr;
  }
  std::unique_ptr<EmbeddedSim> sim(new EmbeddedSim());
  if (!sim->pty_.Open(error)) return nullptr;
  sim->ecu_ = std::make_unique<vecu::VirtualEcu>(parsed.ecu);
  sim->server_ = std::make_unique<vecu::EcuServer>(*sim->ecu_, sim->pty_.MasterFd(), parsed.serve);
  sim->thread_ = std::thread([s = sim.get()] { s->server_->Run(s->stop_); });
  return sim;
}

}  // namespace serlink
