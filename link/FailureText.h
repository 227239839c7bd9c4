// The failures the library reports for a port it cannot use or an ECU that
// does not answer: each with its kind, the port it names and, where the
// technician can do something about it, what to do, in an English sentence.
#pragma once

#include <string>

#include "LastFailure.h"

namespace serlink {

// The port could not be opened; errorNumber is the errno of open().
// Permission refused comes with PortAccess's advice: the group that owns the
// device and the command that makes the user a member.
Failure OpenFailure(const std::string& path, int errorNumber);
// The path opened but is not a terminal (tcgetattr refused it).
Failure NotSerialPortFailure(const std::string& path, int errorNumber);
// The terminal refused its settings (tcsetattr).
Failure SetUpFailure(const std::string& path, int errorNumber);
// Opened, but no reply came from the ECU.
Failure NoAnswerFailure(const std::string& path);
// Bytes came back, but never a valid reply (a wrong line speed, noise).
Failure GarbledAnswerFailure(const std::string& path);
// Valid answers came, but too late: only answers to earlier sends or
// requests, after the link had given up on them.
Failure SlowAnswerFailure(const std::string& path);
// The port stopped working while in use (a cable pulled out).
Failure PortLostFailure(const std::string& path);
// A search over the candidate ports found no ECU. firstDenied: the first
// port that could not be opened for want of permission, empty when none.
Failure NothingFoundFailure(int portsTried, const std::string& firstDenied);

}  // namespace serlink
