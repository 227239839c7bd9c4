// The connection workflow of the main window: the start-up connection with the
// full read, the manual connection ("&Connetti" and "Ricarica tutti i dati"),
// "&Disconnetti", and the reaction to the link's connection-state event.
#pragma once

#include <QString>

#include "EcuLink.h"

class TFormMain;

namespace Connection {

// The ECUs this program serves: type code 18 or 255, variant 0 or 2.
bool IsServedEcu(const ecu::Identification& id);
// "USB" for port 100, otherwise "COM" and the 1-based port number.
QString PortText(int port);

// Run by the main window's construction outside demo mode. Sets the
// do-not-run mark (Process().doNotRun) when the program must end.
void StartupConnection(TFormMain& main);
void ManualConnection(TFormMain& main);
void DisconnectEcu(TFormMain& main);
// The connection-state event reached the main window.
void ConnectionStateChanged(TFormMain& main, bool connected);

}  // namespace Connection
