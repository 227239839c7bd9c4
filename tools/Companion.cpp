#include "Companion.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <sstream>
#include <thread>

#include "CheckCommand.h"
#include "ConfCar.h"
#include "CountingLink.h"
#include "HistoryCommands.h"
#include "LiveSample.h"
#include "LogCommands.h"
#include "ParameterFileCheck.h"
#include "ParameterTable.h"
#include "ReportOptions.h"
#include "VehicleCommands.h"

namespace {

struct Command {
  std::string name;
  std::vector<std::string> operands;
  int samples = 10;
  int intervalMs = 100;
  bool csv = false;
  bool confirmed = false;
};

bool ParseInt(const std::string& text, int* value) {
  const char* end = text.data() + text.size();
  const auto r = std::from_chars(text.data(), end, *value);
  return r.ec == std::errc() && r.ptr == end;
}

bool ParseDouble(const std::string& text, double* value) {
  std::istringstream in(text);
  return static_cast<bool>(in >> *value) && in.eof() && std::isfinite(*value);
}

// Identifiers that hold values of several elements.
bool IsArray(int identifier) {
  return params::ElementCount(identifier) > 1;
}

// How the help and the mistakes name the identifiers, from the parameter
// table: their range ("0..74") and the arrays, which alone take an index
// ("25, 27, 60" and the last one after lastSeparator).
std::string IdentifierRange() {
  return "0.." + std::to_string(kParameterCount - 1);
}

std::string ArrayList(const std::string& lastSeparator) {
  std::vector<int> arrays;
  for (int identifier = 0; identifier < kParameterCount; ++identifier)
    if (IsArray(identifier)) arrays.push_back(identifier);
  std::string text;
  for (std::size_t i = 0; i < arrays.size(); ++i) {
    if (i > 0) text += i + 1 == arrays.size() ? lastSeparator : ", ";
    text += std::to_string(arrays[i]);
  }
  return text;
}

// The customer code: a command sent and never kept.
bool IsCustomerCode(int identifier) {
  return identifier == params::Number(params::Id::CustomerCode);
}

// Identifiers SetValue can write (the option byte is read only, the arrays
// have no single-value rule).
bool IsWritable(int identifier) {
  if (IsCustomerCode(identifier)) return true;
  const params::Parameter* p = params::Find(identifier);
  return p != nullptr && p->slot >= 0 && p->conversion.rule != params::Rule::ReadOnly &&
         !IsArray(identifier);
}

class Session {
 public:
  Session(ecu::EcuLink& link, std::ostream& out, std::ostream& err)
      : link_(link), out_(out), err_(err), counted_(link), store_("ecuctl.dmr", &counted_) {}

  // Opens the link, connects and checks the identification.
  int Open() {
    link_.SetStartOptionA(0);
    link_.SetStartOptionB(4);
    if (!link_.OpenLink()) {
      err_ << "ecuctl: no ECU found (set SEROXT_PORT to a port, or to 'sim')\n";
      return kExitNoEcu;
    }
    if (!link_.Connect()) {
      err_ << "ecuctl: no ECU answers on the port\n";
      return kExitNoEcu;
    }
    if (!link_.ReadIdentification(&id_)) {
      err_ << "ecuctl: the ECU did not identify itself\n";
      link_.Disconnect();
      return kExitNoEcu;
    }
    if (!IsServedEcu(id_)) {
      err_ << "ecuctl: ECU rejected: type code " << int{id_.typeCode} << ", variant "
           << int{id_.variant} << " is not a model this tool serves\n";
      link_.Disconnect();
      return kExitRejectedEcu;
    }
    store_.SetVariantFlag(id_.variant == 2);
    journal_.Attach(store_, id_, err_);
    return kExitOk;
  }

  // The outcome is known only here: a loss may be noticed as late as the
  // disconnection. The command's "done" line is printed after that, once.
  int Close(int code) {
    if (code == kExitOk && !link_.IsConnected()) code = Lost();
    link_.Disconnect();
    if (code == kExitOk) out_ << done_;
    return JournalOutcome(code, journal_, err_);
  }

  int Lost() {
    const int total = counted_.written + counted_.refused + counted_.unsent;
    if (erased_) {
      err_ << "ecuctl: the ECU took the erase, then stopped answering before its factory "
              "values could be read back\n";
    } else if (!writingFile_) {
      err_ << "ecuctl: the ECU stopped answering\n";
    } else if (total == 0) {
      err_ << "ecuctl: the ECU stopped answering before anything was written; the ECU holds "
              "its configuration as it was\n";
    } else {
      err_ << "ecuctl: "
           << CutShortText(counted_.written, total, counted_.unsent == 0, "Write the file again")
           << "\n";
    }
    return kExitLinkLost;
  }

  int Identify() {
    const int port = link_.GetPortInUse();
    out_ << "type code " << int{id_.typeCode} << ", variant " << int{id_.variant}
         << ", feature flags " << int{id_.featureFlags} << ", version " << int{id_.version}
         << "\nport " << (port == 100 ? std::string("USB") : "COM" + std::to_string(port + 1))
         << "\n";
    return kExitOk;
  }

  int ReadToFile(const std::string& path) {
    store_.ReadAll();
    if (!link_.IsConnected()) return Lost();
    if (!store_.SetFileName(path)) {
      err_ << "ecuctl: file name too long\n";
      return kExitBadFile;
    }
    if (!store_.SaveFile()) {
      err_ << "ecuctl: not saved: " << store_.SaveError() << "\n";
      return kExitBadFile;
    }
    out_ << "saved " << path << "\n";
    return kExitOk;
  }

  int WriteFromFile(const std::string& path) {
    writingFile_ = true;  // a loss from here on may leave a mix (see Lost)
    store_.ReadAll();     // identifiers the file leaves alone keep the ECU's values
    if (!link_.IsConnected()) return Lost();
    if (!store_.SetFileName(path)) {
      err_ << "ecuctl: file name too long\n";
      return kExitBadFile;
    }
    // The same reader as the check; a file changed since then is refused.
    if (std::string problem; !store_.LoadWholeFile(&problem)) {
      err_ << "ecuctl: " << path << " is not a sound parameter file: " << problem << "\n";
      return kExitBadFile;
    }
    if (!link_.IsConnected()) return Lost();
    // Read back: anything that differs was refused by the ECU.
    ConfCar check("ecuctl.dmr", &link_);
    check.ReadAll();
    if (!link_.IsConnected()) return Lost();
    std::string refused;
    for (int identifier = 0; identifier < kParameterCount; ++identifier) {
      if (!WrittenAndKept(identifier)) continue;
      const int slot = params::OwnSlot(identifier);
      for (int i = 0; i < params::ElementCount(identifier); ++i) {
        const auto s = static_cast<std::size_t>(slot + i);
        if (store_.RawImage()[s] != check.RawImage()[s]) {
          refused += " " + std::to_string(identifier);
          break;
        }
      }
    }
    if (!refused.empty()) {
      err_ << "ecuctl: the ECU refused parameter(s)" << refused << "\n";
      return kExitRefused;
    }
    done_ = "written " + path + "\n";
    return kExitOk;
  }

  int Get(int identifier) {
    store_.ReadAll();
    if (!link_.IsConnected()) return Lost();
    if (IsArray(identifier)) {
      for (int i = 0; i < params::ElementCount(identifier); ++i) {
        out_ << (i ? " " : "") << Number(store_.GetElement(identifier, i));
      }
      out_ << "\n";
      return kExitOk;
    }
    const long double value = store_.GetValue(identifier);
    if (value == kMissingValue) {
      err_ << "ecuctl: parameter " << identifier << " has no value to read\n";
      return kExitUsage;
    }
    out_ << Number(value) << "\n";
    return kExitOk;
  }

  int Set(int identifier, int index, double value) {
    if (IsCustomerCode(identifier)) return SetCustomerCode(static_cast<int>(value));
    store_.ReadAll();  // values that share a byte keep their neighbours
    if (!link_.IsConnected()) return Lost();
    const bool taken = index < 0 ? store_.SetValue(identifier, value) == 1
                                 : store_.SetElement(identifier, index, value) == 1.0;
    if (!link_.IsConnected()) return Lost();
    if (!taken) {
      err_ << "ecuctl: the ECU refused " << Number(value) << " for parameter " << identifier
           << "\n";
      return kExitRefused;
    }
    if (!IsCustomerCode(identifier)) {
      out_ << Number(index < 0 ? store_.GetValue(identifier) : store_.GetElement(identifier, index))
           << "\n";
    }
    return kExitOk;
  }

  // The store's SetValue of the customer code reports 1 whatever the ECU answers (the program
  // says nothing either way); ecuctl tells the link's own answer, and the
  // journal still notes that a customer code was set.
  int SetCustomerCode(int code) {
    if (store_.SendCustomerCode(code)) return kExitOk;
    if (!link_.IsConnected()) return Lost();
    err_ << "ecuctl: the ECU refused the customer code " << code << "\n";
    return kExitRefused;
  }

  int Live(int samples, int intervalMs, bool csv) {
    if (csv) out_ << CsvHeader() << "\n";
    LiveSample sample;
    LiveBlock block{};
    for (int n = 0; n < samples; ++n) {
      if (n > 0) std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
      // The slow block every eleventh reading, as the live view does.
      const bool slowOk = n % 11 != 0 || link_.ReadLiveBlock(1, block.data(), ecu::kLiveBlockSize);
      if (n % 11 == 0 && slowOk) ApplySlowBlock(block, &sample);
      if (!slowOk || !link_.ReadLiveBlock(0, block.data(), ecu::kLiveBlockSize)) {
        if (!link_.IsConnected()) return Lost();
        continue;
      }
      ApplyFastBlock(block, &sample);
      out_ << (csv ? AsCsv(n, sample) : AsText(sample)) << "\n" << std::flush;
    }
    return kExitOk;
  }

  int Erase() {
    // Through the store, so that the journal keeps the erase and every value
    // it changed: what the ECU held is read first, and the ECU is given the
    // program's three seconds before it is read back.
    store_.ReadAll();
    if (!link_.IsConnected()) return Lost();
    if (!store_.EraseMemory([] { std::this_thread::sleep_for(std::chrono::seconds(3)); })) {
      if (!link_.IsConnected()) return Lost();
      err_ << "ecuctl: the ECU refused to erase its parameter memory\n";
      return kExitRefused;
    }
    erased_ = true;
    done_ = "parameter memory erased: factory values restored\n";
    return kExitOk;
  }

 private:
  // Written by the full write and kept as written: not the values the ECU
  // computes itself, not the second name of one ECU value, not the level
  // calibration unless the sensor uses it, not the parameters the full read
  // never reads back, nothing without a slot.
  bool WrittenAndKept(int identifier) const {
    if (params::OwnSlot(identifier) < 0) return false;
    const params::Parameter& p = *params::Find(identifier);
    if (p.computedByEcu || params::SameEcuValueAs(p) != nullptr || !params::InParameterFile(p.id))
      return false;
    if (p.id == params::Id::LevelSensorCalibration)
      return params::IsCalibratedLevelSensor(store_.RawImage()[params::kLevelSensorTypeSlot]);
    return true;
  }

  static std::string Number(long double value) {
    std::ostringstream text;
    text.precision(15);
    text << static_cast<double>(value);
    return text.str();
  }

  ecu::EcuLink& link_;
  std::ostream& out_;
  std::ostream& err_;
  CountingLink counted_;  // the store's writes go through it
  ConfCar store_;
  bool writingFile_ = false;
  bool erased_ = false;  // the ECU took the erase command
  std::string done_;     // the line that says the command was done
  ecu::Identification id_;
  CompanionJournal journal_;
};

bool ParseCommand(const std::vector<std::string>& args, Command* command, std::string* error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](int* target) {
      if (i + 1 >= args.size() || !ParseInt(args[++i], target) || *target < 0) {
        *error = a + " needs a whole number";
        return false;
      }
      return true;
    };
    if (a == "--csv") {
      command->csv = true;
    } else if (a == "--yes") {
      command->confirmed = true;
    } else if (a == "--samples") {
      if (!value(&command->samples)) return false;
    } else if (a == "--interval") {
      if (!value(&command->intervalMs)) return false;
    } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
      *error = "unknown option " + a;
      return false;
    } else if (command->name.empty()) {
      command->name = a;
    } else {
      command->operands.push_back(a);
    }
  }
  if (command->name.empty()) {
    *error = "no command given";
    return false;
  }
  return true;
}

int Usage(std::ostream& err, const std::string& why) {
  err << "ecuctl: " << why << " (ecuctl help shows the commands)\n";
  return kExitUsage;
}

}  // namespace

std::string CutShortText(int taken, int total, bool allSent, const std::string& again) {
  if (!allSent) {
    return "the ECU stopped answering after " + std::to_string(taken) + " of " +
           std::to_string(total) +
           " values were written: it now holds part of the new configuration and part of the "
           "old. " +
           again + " when the link is back to complete it.";
  }
  return "the ECU stopped answering while the values were read back: all " + std::to_string(total) +
         " values were sent, " + std::to_string(taken) +
         " taken, but the ECU could not be checked. " + again +
         " when the link is back to be sure.";
}

bool IsServedEcu(const ecu::Identification& id) {
  return (id.typeCode == 18 || id.typeCode == 255) && (id.variant == 0 || id.variant == 2);
}

std::string CompanionVersion() {
  return std::string("ecuctl ") + MV_VERSION + "\n";
}

const char* CompanionUsage() {
  static const std::string text =
      std::string(
          "usage: ecuctl COMMAND [options]\n"
          "  identify                   show the ECU's identification and port\n"
          "  read FILE                  read every parameter and save them to FILE\n"
          "  write FILE                 load FILE and write it all to the ECU\n"
          "  get ID                     show parameter ID (") +
      IdentifierRange() +
      ") in its units\n"
      "  set ID VALUE               write parameter ID in its units\n"
      "  set ID INDEX VALUE         write one element of array " +
      ArrayList(" or ") +
      "\n"
      "  live [--samples N] [--interval MS] [--csv]\n"
      "                             show N live readings (default 10, every 100 ms)\n"
      "  erase --yes                restore the ECU's factory parameters\n" +
      HistoryUsage() + VehicleUsage() + CheckUsage() + LogUsage() + ReportUsage() +
      "  --help, --version          this text; the version\n" +
      "The port comes from SEROXT_PORT (a device, or 'sim' for the built-in virtual\n"
      "ECU); without it the ECU is searched for on the serial ports.\n"
      "Exit codes: 0 done, 1 bad command line, 2 no ECU found, 3 ECU rejected,\n"
      "4 value refused, 5 bad file, 6 link library missing, 7 ECU stopped answering,\n"
      "8 done, but a line of the write journal could not be written.\n";
  return text.c_str();
}

int RunCompanion(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                 std::ostream& err) {
  if (!args.empty() && IsHistoryCommand(args[0])) return RunHistoryCommand(args, link, out, err);
  if (!args.empty() && IsVehicleCommand(args[0])) return RunVehicleCommand(args, link, out, err);
  if (!args.empty() && IsCheckCommand(args[0])) return RunCheckCommand(args, out, err);
  if (!args.empty() && IsLogCommand(args[0])) return RunLogCommand(args, link, out, err);
  Command command;
  std::string error;
  if (!ParseCommand(args, &command, &error)) return Usage(err, error);
  const std::string& name = command.name;
  const auto& ops = command.operands;
  if (name == "help") {
    out << CompanionUsage();
    return kExitOk;
  }
  // Everything that can be checked without the ECU is checked first.
  const std::size_t wanted = name == "identify" || name == "live" || name == "erase" ? 0
                             : name == "set"                                         ? 2
                                                                                     : 1;
  const bool known = name == "identify" || name == "read" || name == "write" || name == "get" ||
                     name == "set" || name == "live" || name == "erase";
  if (!known) return Usage(err, "unknown command " + name);
  if (ops.size() != wanted && !(name == "set" && ops.size() == 3)) {
    return Usage(err, "wrong number of operands for " + name);
  }
  if (name == "erase" && !command.confirmed) {
    return Usage(err, "erase restores every factory parameter; confirm with --yes");
  }
  if (name == "live" && command.samples < 1) return Usage(err, "--samples must be at least 1");
  int identifier = -1, index = -1;
  double value = 0;
  if (name == "get" || name == "set") {
    if (!ParseInt(ops[0], &identifier) || identifier < 0 || identifier >= kParameterCount) {
      return Usage(err, "a parameter identifier runs " + IdentifierRange());
    }
    if (!ParseDouble(ops.back(), &value)) {
      if (name == "set") return Usage(err, "'" + ops.back() + "' is not a number");
    }
  }
  if (name == "set") {
    if (ops.size() == 3) {
      if (!IsArray(identifier))
        return Usage(err, "only arrays " + ArrayList(", ") + " take an index");
      if (!ParseInt(ops[1], &index) || index < 0 || index >= params::ElementCount(identifier)) {
        return Usage(err, "index out of the array");
      }
    } else if (!IsWritable(identifier)) {
      return Usage(err, "parameter " + std::to_string(identifier) + " cannot be set");
    }
    if (IsCustomerCode(identifier) && (value < 0 || value > 999 || value != std::trunc(value))) {
      return Usage(err, "the customer code is a whole number 0..999");
    }
    const auto list = params::OptionList(identifier);
    if (!list.empty() && (value < 0 || value >= static_cast<double>(list.size()))) {
      return Usage(err, "parameter " + std::to_string(identifier) + " takes a list position 0.." +
                            std::to_string(list.size() - 1));
    }
  }
  if (name == "write") {
    const std::string problem = CheckParameterFile(ops[0]);
    if (!problem.empty()) {
      err << "ecuctl: " << ops[0] << " is not a sound parameter file: " << problem << "\n";
      return kExitBadFile;
    }
  }

  Session session(link, out, err);
  if (const int opened = session.Open(); opened != kExitOk) return opened;
  int code = kExitOk;
  if (name == "identify") code = session.Identify();
  if (name == "read") code = session.ReadToFile(ops[0]);
  if (name == "write") code = session.WriteFromFile(ops[0]);
  if (name == "get") code = session.Get(identifier);
  if (name == "set") code = session.Set(identifier, index, value);
  if (name == "live") code = session.Live(command.samples, command.intervalMs, command.csv);
  if (name == "erase") code = session.Erase();
  return session.Close(code);
}
