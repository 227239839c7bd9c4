// What a tool window is handed when it is created: the program's shared
// objects, so that no window reaches for a global. The application layer fills
// it in; a test fills it with a store on a fake link.
#pragma once

#include <filesystem>
#include <functional>

#include "EcuLink.h"

class ConfCar;
class GlobalData;
class QWidget;
class TModuloLingua;

struct FormContext {
  ConfCar* store = nullptr;           // the parameter store
  ecu::EcuLink* link = nullptr;       // the ECU link object; may be absent in a test
  TModuloLingua* language = nullptr;  // the dictionary; absent when it could not be opened
  GlobalData* settings = nullptr;     // the stored settings
  bool demoMode = false;              // started with "/demo"
  ecu::Identification identification;  // the ECU's identification record
  // Opens the live parameter view over the given window (F12 in the
  // configuration windows); nothing happens when it is not set.
  std::function<void(QWidget* over)> openLiveView;
  // Where the live view records its sessions: the logs folder of the ECU (of
  // the car, when a vehicle card is chosen). Empty: nothing is recorded.
  std::filesystem::path sessionLogFolder;

  bool Connected() const { return link != nullptr && link->IsConnected() != 0; }
};
