#include "HistoryCommands.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "Companion.h"
#include "Compare.h"
#include "ConfCar.h"
#include "History.h"
#include "ParameterNames.h"
#include "VehicleCard.h"
#include "TerminalText.h"

namespace fs = std::filesystem;

namespace {

struct Options {
  std::string name;
  std::vector<std::string> operands;
  std::string since;
  bool ecu = false;
  bool all = false;
  bool csv = false;
  bool confirmed = false;
};

// "YYYY-MM-DD" naming a day of the calendar.
bool Parse(const std::vector<std::string>& args, Options* o, std::string* error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--ecu") {
      o->ecu = true;
    } else if (a == "--all") {
      o->all = true;
    } else if (a == "--csv") {
      o->csv = true;
    } else if (a == "--yes") {
      o->confirmed = true;
    } else if (a == "--since") {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        *error = "--since needs a date (YYYY-MM-DD)";
        return false;
      }
      o->since = args[++i];
      if (!IsCalendarDay(o->since)) {
        *error = "--since needs a date (YYYY-MM-DD): " + o->since + " is none";
        return false;
      }
    } else if (a.rfind("--", 0) == 0) {
      *error = "unknown option " + a;
      return false;
    } else if (o->name.empty()) {
      o->name = a;
    } else {
      o->operands.push_back(a);
    }
  }
  return true;
}

int Usage(std::ostream& err, const std::string& why) {
  err << "ecuctl: " << why << " (ecuctl help shows the commands)\n";
  return kExitUsage;
}

// Connects and checks that the ECU is one this tool serves.
}  // namespace

bool IsCalendarDay(const std::string& text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  for (const std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
    if (text[i] < '0' || text[i] > '9') return false;
  const std::chrono::year_month_day day{std::chrono::year(std::stoi(text.substr(0, 4))),
                                        std::chrono::month(std::stoul(text.substr(5, 2))),
                                        std::chrono::day(std::stoul(text.substr(8, 2)))};
  return day.ok();
}

int ConnectAndIdentify(ecu::EcuLink& link, ecu::Identification* id, std::ostream& err) {
  link.SetStartOptionA(0);
  link.SetStartOptionB(4);
  if (!link.OpenLink() || !link.Connect()) {
    err << "ecuctl: no ECU found (set SEROXT_PORT to a port, or to 'sim')\n";
    return kExitNoEcu;
  }
  if (!link.ReadIdentification(id)) {
    err << "ecuctl: the ECU did not identify itself\n";
    return kExitNoEcu;
  }
  if (!IsServedEcu(*id)) {
    err << "ecuctl: ECU rejected: type code " << int{id->typeCode} << ", variant "
        << int{id->variant} << " is not a model this tool serves\n";
    return kExitRejectedEcu;
  }
  return kExitOk;
}

namespace {

// A parameter file to compare or restore; false (and why) when it is none.
bool ReadFile(const std::string& path, Configuration* c, std::ostream& err) {
  *c = ReadConfiguration(path);
  if (!c->opened) {
    err << "ecuctl: cannot read " << path << "\n";
    return false;
  }
  if (!c->header) {
    err << "ecuctl: " << path << " is not a parameter file\n";
    return false;
  }
  if (c->absent > 0)
    err << "ecuctl: " << path << " gives no value for " << c->absent
        << " value(s), shown as -; a restore leaves them alone\n";
  return true;
}

void PrintDifferences(const std::vector<CompareRow>& rows, const std::string& nameA,
                      const std::string& nameB, bool csv, std::ostream& out) {
  std::vector<std::string> captions;
  for (const auto& row : rows) captions.push_back(ParameterName(row.identifier, row.element));
  if (csv) {
    out << CompareCsv(rows, captions, nameA, nameB);
    return;
  }
  out << "A: " << nameA << "\nB: " << nameB << "\n";
  if (std::none_of(rows.begin(), rows.end(), [](const CompareRow& r) { return r.differs; }))
    out << "no differences\n";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CompareRow& r = rows[i];
    out << (r.differs ? "* " : "  ") << r.identifier << ' ' << captions[i] << ": "
        << UnitText(r.valueA) << " | " << UnitText(r.valueB) << " (factory " << UnitText(r.factory)
        << ")" << (r.keptByEcu ? ", kept by the ECU" : "") << "\n";
  }
}

int Diff(const Options& o, ecu::EcuLink& link, std::ostream& out, std::ostream& err) {
  if (o.operands.size() != (o.ecu ? 1u : 2u))
    return Usage(err, "diff takes two files, or one file and --ecu");
  Configuration a, b;
  if (!ReadFile(o.operands[0], &a, err)) return kExitBadFile;
  std::string nameB = "ECU";
  if (o.ecu) {
    ecu::Identification id;
    const int connected = ConnectAndIdentify(link, &id, err);
    if (connected != kExitOk) {
      link.Disconnect();
      return connected;
    }
    ConfCar store("ecuctl.dmr", &link);
    store.SetVariantFlag(id.variant == 2);
    store.ReadAll();
    const bool lost = link.IsConnected() == 0;
    link.Disconnect();
    if (lost) {
      err << "ecuctl: the ECU stopped answering\n";
      return kExitLinkLost;
    }
    b = ConfigurationOf(store);
  } else {
    nameB = o.operands[1];
    if (!ReadFile(nameB, &b, err)) return kExitBadFile;
  }
  PrintDifferences(CompareConfigurations(a, b, o.all), o.operands[0], nameB, o.csv, out);
  return kExitOk;
}

// The ECU folders of the history folder, sorted; anything else is skipped.
std::vector<fs::path> EcuFolders(const fs::path& folder) {
  std::vector<fs::path> ecus;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    if (it->is_directory(error)) ecus.push_back(it->path());
  std::sort(ecus.begin(), ecus.end());
  return ecus;
}

int Journal(const Options& o, std::ostream& out, std::ostream& err) {
  if (!o.operands.empty()) return Usage(err, "journal takes no operands");
  const fs::path folder = history::DefaultFolder();
  int shown = 0;
  for (const fs::path& ecuFolder : EcuFolders(folder)) {
    const fs::path file = ecuFolder / "journal.csv";
    std::error_code missing;
    if (!fs::exists(fs::symlink_status(file, missing))) continue;
    const JournalReading reading = ReadJournal(file, o.since);
    if (!reading.opened) {
      err << "ecuctl: " << Printable(reading.error) << ", skipped\n";
      continue;
    }
    if (reading.skipped > 0)
      err << "ecuctl: " << Printable(file.string()) << ": " << reading.skipped
          << " line(s) skipped (not journal lines)\n";
    const std::string ecu = ecuFolder.filename().string();
    for (const JournalLine& l : reading.lines) {
      ++shown;
      std::string text = ecu + "  " + l.time + "  " + l.event;
      if (l.identifier >= 0)
        text += "  " + std::to_string(l.identifier) + ' ' + ParameterName(l.identifier, l.element);
      if (!l.oldValue.empty() || !l.newValue.empty())
        text += "  " + (l.oldValue.empty() ? "-" : l.oldValue) + " -> " +
                (l.newValue.empty() ? "-" : l.newValue);
      if (!l.answer.empty()) text += "  " + l.answer;
      if (!l.note.empty()) text += "  " + l.note;
      out << Printable(text) << "\n";
    }
  }
  if (shown == 0) err << "ecuctl: no journal lines in " << Printable(folder.string()) << "\n";
  return kExitOk;
}

int Snapshots(const Options& o, std::ostream& out, std::ostream& err) {
  if (!o.operands.empty()) return Usage(err, "snapshots takes no operands");
  const fs::path folder = history::DefaultFolder();
  const history::Listing listing = history::ListSnapshots(folder);
  for (const std::string& line : listing.skipped) err << "ecuctl: " << Printable(line) << "\n";
  for (const auto& s : listing.snapshots)
    out << Printable(s.ecu + "  " + s.taken + "  " + s.file.string()) << "\n";
  if (listing.snapshots.empty())
    err << "ecuctl: no snapshots in " << Printable(folder.string()) << "\n";
  return kExitOk;
}

int RestoreFile(const Options& o, ecu::EcuLink& link, std::ostream& out, std::ostream& err) {
  if (o.operands.size() != 1) return Usage(err, "restore takes one file");
  const std::string& path = o.operands[0];
  // The same reader and the same checks as a write of the file.
  Configuration target;
  if (std::string problem; !ReadWholeConfiguration(path, &target, &problem)) {
    err << "ecuctl: " << path << " is not a sound parameter file: " << problem << "\n";
    return kExitBadFile;
  }
  ecu::Identification id;
  int code = ConnectAndIdentify(link, &id, err);
  if (code != kExitOk) {
    link.Disconnect();
    return code;
  }
  ConfCar store("ecuctl.dmr", &link);
  store.SetVariantFlag(id.variant == 2);
  CompanionJournal journal;
  journal.Attach(store, id, err);
  bool confirmedRun = false;  // the restore itself ran and said how it ended
  store.ReadAll();
  const auto plan = RestorePlan(store, target);
  if (link.IsConnected() == 0) {
    code = kExitLinkLost;
  } else if (plan.empty()) {
    out << "nothing to restore: the ECU already holds " << path << "\n";
  } else if (!o.confirmed) {
    err << "ecuctl: " << plan.size() << " value(s) of the ECU differ from " << path
        << "; confirm the restore with --yes\n";
    code = kExitUsage;
  } else {
    confirmedRun = true;
    const RestoreOutcome outcome = Restore(store, target, path);
    if (outcome.linkLost) {
      const int total = static_cast<int>(outcome.written.size());
      err << "ecuctl: "
          << CutShortText(outcome.taken, total, outcome.unsent == 0 && outcome.taken == total,
                          "Restore the file again")
          << "\n";
      code = kExitLinkLost;
    } else if (!outcome.refused.empty()) {
      err << "ecuctl: the ECU refused:";
      for (const auto& step : outcome.refused)
        err << ' ' << step.identifier
            << (step.element < 0 ? "" : "[" + std::to_string(step.element) + "]");
      err << "\n";
      code = kExitRefused;
    } else {
      out << "restored " << outcome.written.size() << " value(s) from " << path << "\n";
    }
  }
  if (code == kExitLinkLost && !confirmedRun) err << "ecuctl: the ECU stopped answering\n";
  link.Disconnect();
  return JournalOutcome(code, journal, err);
}

}  // namespace

bool IsHistoryCommand(const std::string& name) {
  return name == "diff" || name == "journal" || name == "snapshots" || name == "restore";
}

const char* HistoryUsage() {
  return "  diff A.dmr B.dmr [--all] [--csv]\n"
         "  diff A.dmr --ecu [--all] [--csv]\n"
         "                             the values that differ (--all: every value)\n"
         "  journal [--since YYYY-MM-DD]\n"
         "                             every write sent to the ECUs, from the journal\n"
         "  snapshots                  the configurations kept at each connection\n"
         "  restore FILE --yes         write back the values that differ from FILE\n";
}

int RunHistoryCommand(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                      std::ostream& err) {
  Options o;
  std::string error;
  if (!Parse(args, &o, &error)) return Usage(err, error);
  if (o.ecu && o.name != "diff") return Usage(err, "--ecu goes with diff");
  if (o.name == "diff") return Diff(o, link, out, err);
  if (o.name == "journal") return Journal(o, out, err);
  if (o.name == "snapshots") return Snapshots(o, out, err);
  return RestoreFile(o, link, out, err);
}

int CompanionJournal::LostLines() const {
  return writer_.LostLines();
}

void CompanionJournal::Attach(ConfCar& store, const ecu::Identification& id, std::ostream& err) {
  // The car last chosen for this ECU keeps the journal, as in the program.
  const fs::path folder = history::DefaultFolder();
  const auto chosen = vehicle::LastChosen(folder, id);
  writer_.SetFile(history::JournalFile(folder, id, chosen ? chosen->key : std::string()));
  writer_.SetFailureReport([&err](const std::string& why) { err << "ecuctl: " << why << "\n"; });
  store.AddWriteObserver(&writer_);
}

int JournalOutcome(int code, const CompanionJournal& journal, std::ostream& err) {
  const int lost = journal.LostLines();
  if (lost == 0) return code;
  err << "ecuctl: " << lost
      << " journal line(s) could not be written: the ECU did what was said, but the journal "
         "does not show all of it\n";
  return code == kExitOk ? kExitJournalLost : code;
}
