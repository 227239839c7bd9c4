// ecuctl's history commands: compare configurations (diff), read the write
// journal (journal), list the snapshots (snapshots) and write back the values
// of a saved configuration that differ from the ECU's (restore). The history
// folder is the program's: $XDG_DATA_HOME (or ~/.local/share) followed by
// "OXT srl/MirelVantor/History".
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "EcuLink.h"
#include "WriteJournal.h"

class ConfCar;

bool IsHistoryCommand(const std::string& name);
// Runs one history command (arguments without the program name).
int RunHistoryCommand(const std::vector<std::string>& args, ecu::EcuLink& link, std::ostream& out,
                      std::ostream& err);
// Opens the link, connects and reads the identification; kExitOk, or the
// exit code after saying why not (the link is left to the caller to close).
int ConnectAndIdentify(ecu::EcuLink& link, ecu::Identification* id, std::ostream& err);
// "YYYY-MM-DD" naming a real day (what --since takes).
bool IsCalendarDay(const std::string& text);
// The usage lines of the history commands.
const char* HistoryUsage();

// The writes of a companion session go to the journal of the ECU it talks to.
class CompanionJournal {
 public:
  void Attach(ConfCar& store, const ecu::Identification& id, std::ostream& err);
  // Journal lines that could not be written (each failure was said on err).
  int LostLines() const;

 private:
  JournalWriter writer_;
};

// The exit code once the journal's fate is known: a command that did all it
// was asked, but whose journal lost a line, ends with kExitJournalLost (the
// ECU did the writes; only their record is missing). Other codes stay.
int JournalOutcome(int code, const CompanionJournal& journal, std::ostream& err);
