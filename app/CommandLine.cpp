#include "CommandLine.h"

CommandLineOptions EvaluateCommandLine(const QStringList& arguments) {
  CommandLineOptions options;
  options.demo = !arguments.isEmpty() && arguments.first() == QLatin1String("/demo");
  options.noComm = arguments.size() == 2 && arguments.at(1) == QLatin1String("/nocomm");
  return options;
}
