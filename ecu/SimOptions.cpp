#include "SimOptions.h"

#include <charconv>
#include <sstream>

namespace vecu {
namespace {

bool ParseInt(const std::string& text, long low, long high, long* value) {
  long v = 0;
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, v);
  if (result.ec != std::errc() || result.ptr != end || v < low || v > high) return false;
  *value = v;
  return true;
}

bool ParseNumber(const std::string& text, double low, double high, double* value) {
  std::istringstream in(text);
  double v = 0;
  if (!(in >> v) || !in.eof() || v < low || v > high) return false;
  *value = v;
  return true;
}

bool ParseFraction(const std::string& text, double* value) {
  return ParseNumber(text, 0, 1, value);
}

bool ParseList(const std::string& text, std::vector<long>* values, long high) {
  std::istringstream in(text);
  std::string item;
  while (std::getline(in, item, ',')) {
    long v = 0;
    if (!ParseInt(item, 0, high, &v)) return false;
    values->push_back(v);
  }
  return !values->empty();
}

// FUEL/BAND:SECONDS, for example gas/2500:30 or petrol/idle:20.
bool ParsePhase(const std::string& text, DrivePhase* phase) {
  const auto slash = text.find('/');
  const auto colon = text.find(':', slash == std::string::npos ? 0 : slash);
  if (slash == std::string::npos || colon == std::string::npos) return false;
  const std::string fuel = text.substr(0, slash);
  const std::string band = text.substr(slash + 1, colon - slash - 1);
  if (fuel != "petrol" && fuel != "gas") return false;
  phase->gas = fuel == "gas";
  long rpm = 0;
  if (band != "idle" && !ParseInt(band, 1000, 5500, &rpm)) return false;
  phase->rpm = static_cast<int>(rpm);
  return ParseNumber(text.substr(colon + 1), 0.1, 86400, &phase->seconds);
}

bool ParseDrive(const std::string& text, std::vector<DrivePhase>* phases) {
  if (text.empty() || text.back() == ',') return false;
  std::istringstream in(text);
  std::vector<DrivePhase> parsed;
  for (std::string item; std::getline(in, item, ',');) {
    DrivePhase phase;
    if (!ParsePhase(item, &phase)) return false;
    parsed.push_back(phase);
  }
  if (parsed.empty()) return false;
  *phases = std::move(parsed);
  return true;
}

}  // namespace

std::vector<std::string> SplitArguments(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> args;
  for (std::string word; in >> word;) args.push_back(word);
  return args;
}

const char* SimUsage() {
  return "  --ident T,V,F,N     identification: type code, variant, feature flags, version\n"
         "                      (default 18,0,1,23)\n"
         "  --memory FILE       keep the parameter memory in FILE across restarts\n"
         "  --log FILE          append every accepted command to FILE\n"
         "  --baud N            line speed for --pace (default 19200)\n"
         "  --pace              send bytes no faster than the line speed\n"
         "  --link PATH         make PATH a symlink to the port (ecu-sim only)\n"
         "  --refuse A[,A...]   refuse writes to these ECU addresses\n"
         "  --drop F            drop a fraction F (0..1) of the replies\n"
         "  --corrupt F         flip one bit in a fraction F of the bytes, both ways\n"
         "  --latency MS        wait MS milliseconds before every reply\n"
         "  --pull-after N      pull the cable after N requests (SIGUSR1 pulls it,\n"
         "                      SIGUSR2 plugs it back, ecu-sim only)\n"
         "  --seed N            seed of the fault dice (default 1)\n"
         "  --probe-fault KIND  dead, lean or rich: the lambda probe misbehaves on gas\n"
         "  --engine off        keep the engine stopped (memory never changes by itself)\n"
         "  --time-scale X      simulated seconds per real second (default 1)\n"
         "  --tank-cycle S      fill the tank from empty to full and empty it again\n"
         "                      every S seconds (a moving level to calibrate)\n"
         "  --drive FUEL/BAND:SECONDS,...\n"
         "                      a bench test of steady phases instead of the drive\n"
         "                      cycle: FUEL petrol or gas, BAND idle or rpm\n"
         "                      (1000..5500); warm from the start, the last phase held\n"
         "  --gas-mixture PERCENT\n"
         "                      mixture error on gas, -50..50 (lean negative, rich\n"
         "                      positive)\n";
}

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions* options,
                     std::string* error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (name == "--help" || name == "-h") {
      options->help = true;
      continue;
    }
    if (name == "--pace") {
      options->serve.pace = true;
      continue;
    }
    if (i + 1 >= args.size()) {
      *error = name.rfind("--", 0) == 0 ? name + " needs a value" : "unknown argument " + name;
      return false;
    }
    const std::string& value = args[++i];
    bool ok = true;
    long number = 0;
    if (name == "--ident") {
      std::vector<long> parts;
      ok = ParseList(value, &parts, 255) && parts.size() == 4;
      if (ok) {
        options->ecu.identity = {
            static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
            static_cast<std::uint8_t>(parts[2]), static_cast<std::uint8_t>(parts[3])};
      }
    } else if (name == "--memory") {
      options->ecu.memoryFile = value;
    } else if (name == "--log") {
      options->ecu.commandLog = value;
    } else if (name == "--link") {
      options->linkPath = value;
    } else if (name == "--baud") {
      ok = ParseInt(value, 300, 4000000, &number);
      options->serve.baud = static_cast<int>(number);
    } else if (name == "--refuse") {
      std::vector<long> addresses;
      ok = ParseList(value, &addresses, 255);
      for (long a : addresses) options->ecu.refusedAddresses.insert(static_cast<int>(a));
    } else if (name == "--drop") {
      ok = ParseFraction(value, &options->serve.faults.dropReplies);
    } else if (name == "--corrupt") {
      ok = ParseFraction(value, &options->serve.faults.corruptBytes);
    } else if (name == "--latency") {
      ok = ParseInt(value, 0, 60000, &number);
      options->serve.faults.latencyMs = static_cast<int>(number);
    } else if (name == "--pull-after") {
      ok = ParseInt(value, 0, 1L << 30, &number);
      options->serve.faults.pullAfterRequests = number;
    } else if (name == "--seed") {
      ok = ParseInt(value, 0, 0xFFFFFFFFL, &number);
      options->serve.faults.seed = static_cast<unsigned>(number);
    } else if (name == "--probe-fault") {
      if (value == "dead") {
        options->ecu.probeFault = ProbeFault::Dead;
      } else if (value == "lean") {
        options->ecu.probeFault = ProbeFault::StuckLean;
      } else if (value == "rich") {
        options->ecu.probeFault = ProbeFault::StuckRich;
      } else {
        ok = false;
      }
    } else if (name == "--engine") {
      ok = value == "on" || value == "off";
      options->ecu.engineRunning = value == "on";
    } else if (name == "--time-scale") {
      std::istringstream in(value);
      ok = static_cast<bool>(in >> options->ecu.timeScale) && in.eof() &&
           options->ecu.timeScale > 0 && options->ecu.timeScale <= 1000;
    } else if (name == "--drive") {
      ok = ParseDrive(value, &options->ecu.drive);
    } else if (name == "--gas-mixture") {
      ok = ParseNumber(value, -50, 50, &options->ecu.gasMixture);
    } else if (name == "--tank-cycle") {
      ok = ParseInt(value, 1, 86400, &number);
      options->ecu.tankCycleSeconds = static_cast<double>(number);
    } else {
      *error = "unknown option " + name;
      return false;
    }
    if (!ok) {
      *error = "bad value '" + value + "' for " + name;
      return false;
    }
  }
  return true;
}

}  // namespace vecu
