// ecuctl: the workshop's command-line companion to the ECU link library.
#include <cstdlib>
#include <iostream>

#include "CheckCommand.h"
#include "Companion.h"
#include "LinkLoader.h"
#ifdef MV_WITH_REPORT
#include "ReportCommand.h"
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    std::cout << CompanionUsage();
    return args.empty() ? kExitUsage : kExitOk;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << CompanionVersion();
    return kExitOk;
  }
  // The check reads a log: it needs no ECU, nor the link library.
  if (IsCheckCommand(args[0])) return RunCheckCommand(args, std::cout, std::cerr);
  LinkLoader loader;
  std::string error;
  if (!loader.Load(&error)) {
    std::cerr << "ecuctl: " << error << "\n";
    return kExitNoLibrary;
  }
#ifdef MV_WITH_REPORT
  if (IsReportCommand(args[0])) return RunReportCommand(args, *loader.Link(), std::cout, std::cerr);
#endif
  return RunCompanion(args, *loader.Link(), std::cout, std::cerr);
}
