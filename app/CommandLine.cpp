#include "CommandLine.h"

#include <QCommandLineParser>
#include <QRegularExpression>

CommandLineOptions EvaluateCommandLine(const QStringList& arguments) {
  CommandLineOptions options;
  options.demo = !arguments.isEmpty() && arguments.first() == QLatin1String("/demo");
  options.noComm = arguments.size() == 2 && arguments.at(1) == QLatin1String("/nocomm");
  return options;
}

namespace {
const char* const kCommand = "mirel-vantor";

// The variables the link library reads to choose and drive the port.
const char* const kEnvironmentHelp =
    "\nEnvironment (read by the link library libSerOxtDL.so):\n"
    "  SEROXT_PORT          the port: a device path (/dev/ttyUSB0,\n"
    "                       /dev/serial/by-id/...), 'sim' for the built-in\n"
    "                       virtual ECU, or the path printed by ecu-sim;\n"
    "                       unset: the first port whose ECU answers\n"
    "  SEROXT_SIM           options of the built-in virtual ECU, as for ecu-sim\n"
    "  SEROXT_BAUD          line speed (default 19200)\n"
    "  SEROXT_TIMEOUT_MS    the ECU's allowance per request (default 50)\n"
    "  SEROXT_KEEPALIVE_MS  idle time before the link pings the ECU (default 250)\n"
    "  SEROXT_LOG           a file that receives every byte on the line, in hex\n";
}  // namespace

QString InformationRequested(const QStringList& arguments, const QString& version) {
  QCommandLineParser parser;
  // "-platform" and the like stay whole words: never read as -p -l -a ...
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(
      QStringLiteral("Mirel Vantor: the workshop service tool for the gas injection ECU."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption versionOption = parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("/demo"),
                               QStringLiteral("As the first argument: start without an ECU "
                                              "(demonstration)."));
  parser.addPositionalArgument(QStringLiteral("/nocomm"),
                               QStringLiteral("As the second of exactly two arguments: treat the "
                                              "ECU as the reduced variant until it is identified."));
  // Unknown options are the program's business, not an error here.
  QStringList line = arguments;
  line.prepend(QLatin1String(kCommand));
  parser.parse(line);
  if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
    QString text = parser.helpText();
    // The parser names the program after argv[0] and lists each positional
    // argument again; the installed command and the one syntax read better.
    text.replace(QRegularExpression(QStringLiteral("^Usage: [^\n]*")),
                 QStringLiteral("Usage: ") + QLatin1String(kCommand) +
                     QStringLiteral(" [options] [/demo [/nocomm]]"));
    // Qt's own options are not listed here: --help-all is the same help.
    text.remove(QRegularExpression(QStringLiteral("\n  --help-all [^\n]*")));
    return text + QLatin1String(kEnvironmentHelp);
  }
  if (parser.isSet(versionOption)) {
    return QStringLiteral("Mirel Vantor ") + version + QLatin1Char('\n');
  }
  return QString();
}
