#include "Connection.h"

#include "FormMain.h"
#include "MessageBoxes.h"

// The connection workflow is still to come. Until then the start-up
// connection reports success without touching the link, and the manual
// commands say they are not available yet.
namespace Connection {

void StartupConnection(TFormMain& /*main*/) {}

void ManualConnection(TFormMain& main) {
  MessageBoxes::ShowInformation(&main, QString::fromUtf8("Funzione non ancora disponibile."),
                                main.windowTitle());
}

void DisconnectEcu(TFormMain& main) {
  MessageBoxes::ShowInformation(&main, QString::fromUtf8("Funzione non ancora disponibile."),
                                main.windowTitle());
}

void ConnectionStateChanged(TFormMain& /*main*/, bool /*connected*/) {}

}  // namespace Connection
