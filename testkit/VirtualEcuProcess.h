// The ecu-sim program run as a child process for end-to-end tests: it serves
// the virtual ECU on a real pseudo-terminal, keeps its memory in a file and
// logs every command it carried out. Stopped (and waited for) on destruction.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include "EcuMemory.h"

class VirtualEcuProcess {
 public:
  // folder: where the memory and log files go; name: their base name.
  VirtualEcuProcess(const QString& folder, const QString& name);
  ~VirtualEcuProcess();
  VirtualEcuProcess(const VirtualEcuProcess&) = delete;
  VirtualEcuProcess& operator=(const VirtualEcuProcess&) = delete;

  // Writes the memory the ECU starts with; call before Start.
  bool Prepare(const vecu::EcuMemory& memory) const;
  // Starts the program with these options (besides memory and log) and waits,
  // a few seconds at most, for the port it prints. Empty when it failed.
  QString Start(const QStringList& options = {});
  // Ends the program (it saves nothing more after this).
  void Stop();
  void PullCable();

  // The memory as the ECU last saved it; factory values when never saved.
  vecu::EcuMemory Memory() const;
  // Accepted commands in order ("WRITE 56 0 48", "READ 25 0 3", ...).
  QStringList Log() const;
  QString Errors() const { return errors_; }

 private:
  QProcess process_;
  QString memoryFile_;
  QString logFile_;
  QString errors_;
};
