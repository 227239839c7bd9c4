// Why the link library's last attempt to reach the ECU failed, said in the
// technician's language: the library gives the failure as a kind with its
// details (the port, the group that owns it, a number), and the dictionary
// has one sentence per kind with places for them.
#pragma once

#include <QString>

#include "EcuLink.h"

class TModuloLingua;

// The library's last failure. A library that gives no kind gives its own
// sentence only (kind kFailureOther), or nothing (kFailureNone).
struct LinkFailure {
  int kind = ecu::kFailureNone;
  QString port;
  QString group;
  int number = 0;  // as the kind says: the system's error number, or a count of ports
  QString text;    // the library's own sentence, in English
};

// The failure in the language selected in language; the library's own
// sentence for a kind the program does not know, or when the dictionary has
// no sentence for it (language may be null). Empty when nothing failed.
QString LinkFailureReason(const LinkFailure& failure, TModuloLingua* language);
