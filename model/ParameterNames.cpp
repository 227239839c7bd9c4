#include "ParameterNames.h"

#include <array>

#include "ConfCar.h"

namespace {

constexpr std::array<const char*, kParameterCount> kNames = {
    "(none)",                                 // 0
    "option byte",                            // 1
    "ignition type",                          // 2
    "TPS type",                               // 3
    "lambda probe type",                      // 4
    "lambda emulation high time",             // 5
    "lambda emulation low time",              // 6
    "lambda emulation tristate time",         // 7
    "lambda emulation wave count",            // 8
    "idle opening step time",                 // 9
    "idle closing step time",                 // 10
    "(none)",                                 // 11
    "cruise opening step time",               // 12
    "cruise closing step time",               // 13
    "maximum power opening step time",        // 14
    "maximum power closing step time",        // 15
    "maximum power sgolfamento step time",    // 16
    "actuator on entering idle",              // 17
    "actuator on leaving idle",               // 18
    "limited opening just off idle",          // 19
    "(none)",                                 // 20
    "(none)",                                 // 21
    "deceleration byte",                      // 22
    "mono Bosch hysteresis",                  // 23
    "idle TPS hysteresis",                    // 24
    "TPS voltages",                           // 25
    "(none)",                                 // 26
    "lambda reference at idle",               // 27
    "lambda reference in cruise",             // 28
    "(none)",                                 // 29
    "lambda reference offset",                // 30
    "idle opening steps beyond default",      // 31
    "idle closing steps below default",       // 32
    "off-idle opening steps beyond default",  // 33
    "off-idle closing steps below default",   // 34
    "actuator lower limit",                   // 35
    "actuator upper limit",                   // 36
    "(none)",                                 // 37
    "TPS value for full throttle",            // 38
    "actuator position at full throttle",     // 39
    "actuator default position",              // 40
    "cut-off end rpm",                        // 41
    "actuator position in cut-off",           // 42
    "open loop at maximum power",             // 43
    "steps to lean at first rich",            // 44
    "steps to enrich at first lean",          // 45
    "maximum power as idle/off-idle",         // 46
    "(none)",                                 // 47
    "rpm reference for power start",          // 48
    "(none)",                                 // 49
    "(none)",                                 // 50
    "lambda read delay",                      // 51
    "diagnosis enable mask",                  // 52
    "diagnosis error flags",                  // 53
    "fuel overlap time",                      // 54
    "actuator position at cold probe",        // 55
    "change-over rpm",                        // 56
    "fuel overlap time (ms)",                 // 57
    "minimum temperature for change-over",    // 58
    "level sensor type",                      // 59
    "level sensor calibration",               // 60
    "original indicator outputs",             // 61
    "over-rev threshold",                     // 62
    "change-over type",                       // 63
    "rpm signal type",                        // 64
    "yellow wires use",                       // 65
    "gas level for return to petrol",         // 66
    "fixed default option",                   // 67
    "fixed idle TPS option",                  // 68
    "ingrassa in giusto option",              // 69
    "deceleration band width",                // 70
    "time to leave deceleration",             // 71
    "customer code",                          // 72
    "switch type",                            // 73
    "engine temperature for gas start",       // 74
};

}  // namespace

std::string ParameterName(int identifier, int element) {
  if (identifier < 0 || identifier >= kParameterCount)
    return "parameter " + std::to_string(identifier);
  std::string name = kNames[static_cast<std::size_t>(identifier)];
  if (element >= 0) name += " [" + std::to_string(element + 1) + "]";
  return name;
}
