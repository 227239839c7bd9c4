// ecuctl's vehicle card commands: add a card for the car whose ECU is
// connected, list the cards of that ECU, choose the car the next sessions
// belong to. Cards live in the history folder, as the program keeps them.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "EcuLink.h"

bool IsVehicleCommand(const std::string& name);
// Runs "vehicle add|list|choose ..." (arguments without the program name).
int RunVehicleCommand(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                      std::ostream& err);
const char* VehicleUsage();
