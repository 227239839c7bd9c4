// The objects the whole program shares, one of each, created by the start-up
// sequence (Startup.h). Only the application layer reads them; every window
// below it is handed what it needs in a FormContext.
#pragma once

#include <QString>
#include <functional>

#include "ApplicationInfo.h"
#include "EcuLink.h"

class ConfCar;
class ConnectionHistory;
class GlobalData;
class TFormMain;
class TModuloLingua;

struct ProcessObjects {
  ConfCar* store = nullptr;            // the parameter store
  GlobalData* settings = nullptr;      // the stored settings
  ecu::EcuLink* link = nullptr;        // the ECU link object from the link library
  TFormMain* mainWindow = nullptr;     // the main window
  TModuloLingua* language = nullptr;   // the language module (dictionary)
  ConnectionHistory* history = nullptr;  // snapshots and write journal; none in tests
  bool demoMode = false;               // started with "/demo"
  ecu::Identification identification;  // filled by every identification read
  int doNotRun = 0;                    // 1: end without entering the message loop
  bool terminationRequested = false;   // the program was asked to end
  // Why the link's last attempt to reach the ECU failed, when it can say.
  std::function<QString()> linkFailure;
};

ProcessObjects& Process();

// The link's reason for its last failure; empty when it has none to give.
QString LinkFailureText();

// Ends the message loop as soon as it runs (at once when it already runs).
void RequestTermination();
