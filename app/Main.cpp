// Mirel Vantor: the workshop service tool for the gas injection ECU.
#include <QApplication>
#include <cstdio>

#include "AppIcon.h"
#include "CommandLine.h"
#include "Startup.h"

int main(int argc, char** argv) {
  // --help and --version answer before the application object exists, so they
  // need no display.
  QStringList given;
  for (int i = 1; i < argc; ++i) given.append(QString::fromLocal8Bit(argv[i]));
  const QString information = InformationRequested(given, QStringLiteral(MV_VERSION));
  if (!information.isEmpty()) {
    std::fputs(information.toLocal8Bit().constData(), stdout);
    return 0;
  }

  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("OXT srl"));
  QApplication::setApplicationName(QStringLiteral("MirelVantor"));
  QApplication::setApplicationVersion(QStringLiteral(MV_VERSION));
  // Lets the desktop match the windows with the installed menu entry.
  QGuiApplication::setDesktopFileName(QStringLiteral("it.oxt.MirelVantor"));
  QApplication::setWindowIcon(AppIcon());
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  return RunProgram(arguments);
}
