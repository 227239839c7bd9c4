#include "FailureText.h"

#include <cerrno>
#include <cstring>

#include "PortAccess.h"

namespace serlink {
namespace {

// How to get the permission is PortAccess's to say.
std::string PermissionText(const std::string& path) {
  return "No permission to open " + path + PermissionAdvice(path) + ".";
}

}  // namespace

std::string OpenFailureText(const std::string& path, int errorNumber) {
  switch (errorNumber) {
    case EACCES:
    case EPERM:
      return PermissionText(path);
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "There is no port " + path + ": is the cable plugged in?";
    case EBUSY:
      return "The port " + path + " is in use by another program.";
    default:
      return "Cannot open " + path + ": " + std::strerror(errorNumber) + ".";
  }
}

std::string NotSerialPortText(const std::string& path) {
  return path + " is not a serial port.";
}

std::string NoAnswerText(const std::string& path) {
  return "No answer from the ECU on " + path + ": is it switched on and the cable connected?";
}

std::string GarbledAnswerText(const std::string& path) {
  return "Unreadable answers on " + path + ": check the line speed (SEROXT_BAUD) and the cable.";
}

std::string SlowAnswerText(const std::string& path) {
  return "The ECU on " + path +
         " answers too slowly: its answers came after the link had stopped waiting for them.";
}

std::string PortLostText(const std::string& path) {
  return "The port " + path + " stopped working: was the cable pulled out?";
}

std::string NothingFoundText(int portsTried, const std::string& firstDenied) {
  if (!firstDenied.empty()) return PermissionText(firstDenied);
  if (portsTried == 0) return "No serial port found: is the cable plugged in?";
  return "No ECU answered on any of the " + std::to_string(portsTried) +
         " serial ports: is it switched on and the cable connected?";
}

}  // namespace serlink
