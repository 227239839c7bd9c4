#include "FailureText.h"

#include <cerrno>
#include <cstring>

#include "PortAccess.h"

namespace serlink {
namespace {

Failure Make(int kind, const std::string& path, std::string text) {
  Failure failure;
  failure.kind = kind;
  failure.port = path;
  failure.text = std::move(text);
  return failure;
}

// How to get the permission is PortAccess's to say.
Failure PermissionFailure(const std::string& path) {
  const GroupAdvice advice = PermissionStanding(path);
  Failure failure;
  switch (advice.standing) {
    case GroupStanding::NotMember:
      failure.kind = ecu::kFailureNoPermissionJoin;
      break;
    case GroupStanding::MemberNotActive:
      failure.kind = ecu::kFailureNoPermissionSession;
      break;
    case GroupStanding::Active:
      failure.kind = ecu::kFailureNoPermissionDevice;
      break;
  }
  failure.port = path;
  failure.group = advice.group;
  failure.text =
      "No permission to open " + path + PermissionAdvice(path, advice.group, advice.standing) + ".";
  return failure;
}

}  // namespace

Failure OpenFailure(const std::string& path, int errorNumber) {
  switch (errorNumber) {
    case EACCES:
    case EPERM:
      return PermissionFailure(path);
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return Make(ecu::kFailureNoSuchPort, path,
                  "There is no port " + path + ": is the cable plugged in?");
    case EBUSY:
      return Make(ecu::kFailurePortBusy, path,
                  "The port " + path + " is in use by another program.");
    default: {
      Failure failure = Make(ecu::kFailureCannotOpen, path,
                             "Cannot open " + path + ": " + std::strerror(errorNumber) + ".");
      failure.number = errorNumber;
      return failure;
    }
  }
}

Failure NotSerialPortFailure(const std::string& path, int errorNumber) {
  Failure failure = Make(ecu::kFailureNotSerialPort, path, path + " is not a serial port.");
  failure.number = errorNumber;
  return failure;
}

Failure SetUpFailure(const std::string& path, int errorNumber) {
  Failure failure = Make(ecu::kFailureCannotOpen, path,
                         "Cannot set up " + path + ": " + std::strerror(errorNumber) + ".");
  failure.number = errorNumber;
  return failure;
}

Failure NoAnswerFailure(const std::string& path) {
  return Make(ecu::kFailureNoAnswer, path,
              "No answer from the ECU on " + path + ": is it switched on and the cable connected?");
}

Failure GarbledAnswerFailure(const std::string& path) {
  return Make(
      ecu::kFailureGarbledAnswer, path,
      "Unreadable answers on " + path + ": check the line speed (SEROXT_BAUD) and the cable.");
}

Failure SlowAnswerFailure(const std::string& path) {
  return Make(ecu::kFailureSlowAnswer, path,
              "The ECU on " + path +
                  " answers too slowly: its answers came after the link had stopped waiting "
                  "for them.");
}

Failure PortLostFailure(const std::string& path) {
  return Make(ecu::kFailurePortLost, path,
              "The port " + path + " stopped working: was the cable pulled out?");
}

Failure NothingFoundFailure(int portsTried, const std::string& firstDenied) {
  if (!firstDenied.empty()) return PermissionFailure(firstDenied);
  if (portsTried == 0)
    return Make(ecu::kFailureNoPortFound, {}, "No serial port found: is the cable plugged in?");
  Failure failure = Make(ecu::kFailureNoEcuOnPorts, {},
                         "No ECU answered on any of the " + std::to_string(portsTried) +
                             " serial ports: is it switched on and the cable connected?");
  failure.number = portsTried;
  return failure;
}

}  // namespace serlink
