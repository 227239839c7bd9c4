// Which serial port to use: the one SEROXT_PORT names, or the candidates a
// search tries in order; and the port number the program shows for a port.
#pragma once

#include <string>
#include <vector>

namespace serlink {

// The SEROXT_PORT value meaning "the built-in virtual ECU".
constexpr const char* kSimulatorPort = "sim";

// Ports worth probing, most likely first: /dev/serial/by-id/* (resolved, so
// each device is tried once), ttyUSB*, ttyACM*, then the ttyS* ports that have
// a UART behind them.
std::vector<std::string> CandidatePorts();

// 100 for a USB adapter (ttyUSB, ttyACM, or a by-id link to one), n for
// ttySn and other names ending in a number, 0 for a pseudo-terminal and for
// anything else.
int PortNumber(const std::string& path);

}  // namespace serlink
