// Mirel Vantor: the workshop service tool for the gas injection ECU.
#include <QApplication>

#include "Startup.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("OXT srl"));
  QApplication::setApplicationName(QStringLiteral("MirelVantor"));
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  return RunProgram(arguments);
}
