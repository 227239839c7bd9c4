// The sentences the library gives for a port it cannot use or an ECU that
// does not answer. Each names the port and, where the technician can do
// something about it, what to do.
#pragma once

#include <string>

namespace serlink {

// The port could not be opened; errorNumber is the errno of open().
// Permission refused comes with PortAccess's advice: the group that owns the
// device and the command that makes the user a member.
std::string OpenFailureText(const std::string& path, int errorNumber);
// The path opened but is not a terminal (tcgetattr refused it).
std::string NotSerialPortText(const std::string& path);
// Opened, but no reply came from the ECU.
std::string NoAnswerText(const std::string& path);
// Bytes came back, but never a valid reply (a wrong line speed, noise).
std::string GarbledAnswerText(const std::string& path);
// Valid answers came, but too late: only answers to earlier sends or
// requests, after the link had given up on them.
std::string SlowAnswerText(const std::string& path);
// The port stopped working while in use (a cable pulled out).
std::string PortLostText(const std::string& path);
// A search over the candidate ports found no ECU. firstDenied: the first
// port that could not be opened for want of permission, empty when none.
std::string NothingFoundText(int portsTried, const std::string& firstDenied);

}  // namespace serlink
