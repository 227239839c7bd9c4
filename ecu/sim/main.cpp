// ecu-sim: serves the virtual ECU on a pseudo-terminal until interrupted.
// Prints the port's path on the first line of standard output.
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "EcuServer.h"
#include "PseudoTerminal.h"
#include "SimOptions.h"

namespace {

std::atomic<bool> gStop{false};
vecu::EcuServer* gServer = nullptr;

void OnSignal(int signal) {
  if (signal == SIGUSR1 && gServer != nullptr) {
    gServer->SetCablePulled(true);
  } else if (signal == SIGUSR2 && gServer != nullptr) {
    gServer->SetCablePulled(false);
  } else {
    gStop = true;
  }
}

void Install(int signal) {
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  ::sigaction(signal, &action, nullptr);
}

bool LinksTo(const std::string& link, const std::string& target) {
  char buffer[256];
  const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer);
  return n > 0 && std::string(buffer, static_cast<std::size_t>(n)) == target;
}

}  // namespace

int main(int argc, char** argv) {
  vecu::SimOptions options;
  std::string error;
  if (!vecu::ParseSimOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    std::fprintf(stderr, "ecu-sim: %s (try --help)\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::printf("usage: ecu-sim [options]\nServes the virtual ECU on a pseudo-terminal.\n%s",
                vecu::SimUsage());
    return 0;
  }
  vecu::PseudoTerminal pty;
  if (!pty.Open(&error)) {
    std::fprintf(stderr, "ecu-sim: %s\n", error.c_str());
    return 1;
  }
  if (!options.linkPath.empty()) {
    // Only an old link is replaced: a file or folder of that name is the
    // user's and stays as it is.
    struct stat existing {};
    if (::lstat(options.linkPath.c_str(), &existing) == 0) {
      if (!S_ISLNK(existing.st_mode)) {
        std::fprintf(stderr, "ecu-sim: %s exists and is not a link; choose another --link path\n",
                     options.linkPath.c_str());
        return 1;
      }
      ::unlink(options.linkPath.c_str());
    }
    if (::symlink(pty.SlavePath().c_str(), options.linkPath.c_str()) != 0) {
      std::fprintf(stderr, "ecu-sim: cannot link %s: %s\n", options.linkPath.c_str(),
                   std::strerror(errno));
      return 1;
    }
  }
  vecu::VirtualEcu ecu(options.ecu);
  vecu::EcuServer server(ecu, pty.MasterFd(), options.serve);
  gServer = &server;
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2}) Install(signal);
  std::printf("%s\n", pty.SlavePath().c_str());
  std::fflush(stdout);
  server.Run(gStop);
  gServer = nullptr;
  // The link goes with the program, unless another ecu-sim has taken it over.
  if (!options.linkPath.empty() && LinksTo(options.linkPath, pty.SlavePath())) {
    ::unlink(options.linkPath.c_str());
  }
  return 0;
}
