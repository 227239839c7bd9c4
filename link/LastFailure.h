// Why the last attempt to reach the ECU failed: its kind and details for the
// program to say in the technician's language, and one short English
// sentence for everyone else. Kept by the library for the whole process (the
// link object and its keep-alive thread both report here) and handed out by
// the exports _GetLastFailureText and _GetLastFailureKind.
#pragma once

#include <string>

#include "EcuLink.h"

namespace serlink {

struct Failure {
  int kind = ecu::kFailureNone;
  std::string port;
  std::string group;
  int number = 0;  // as the kind says (ecu::FailureKind)
  std::string text;
};

// Records the failure and writes its text to standard error as well.
void SetLastFailure(const Failure& failure);
// A failure that only its text describes.
void SetLastFailure(const std::string& text);
// Forgets the failure: a new attempt starts.
void ClearLastFailure();
// The failure last recorded; kind kFailureNone when the last attempt did not fail.
Failure LastFailureDetail();
// Its text; empty when the last attempt did not fail.
std::string LastFailure();

}  // namespace serlink
