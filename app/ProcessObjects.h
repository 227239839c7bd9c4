// The objects the whole program shares, one of each, created by the start-up
// sequence (Startup.h) and reachable from every window.
#pragma once

#include <QString>

#include "EcuLink.h"

class ConfCar;
class GlobalData;
class TFormMain;
class TModuloLingua;

struct ProcessObjects {
  ConfCar* store = nullptr;            // the parameter store
  GlobalData* settings = nullptr;      // the stored settings
  ecu::EcuLink* link = nullptr;        // the ECU link object from the link library
  TFormMain* mainWindow = nullptr;     // the main window
  TModuloLingua* language = nullptr;   // the language module (dictionary)
  bool demoMode = false;               // started with "/demo"
  ecu::Identification identification;  // filled by every identification read
  int doNotRun = 0;                    // 1: end without entering the message loop
  bool terminationRequested = false;   // the program was asked to end
};

ProcessObjects& Process();

// The application title shown by message boxes: the program file's name until
// start-up sets "Mirel Vantor".
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);
constexpr const char* kProgramTitle = "Mirel Vantor";

// The folder of the program file, where the link library, the dictionary and
// the pictures live. A test may point it elsewhere.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);

// Ends the message loop as soon as it runs (at once when it already runs).
void RequestTermination();
