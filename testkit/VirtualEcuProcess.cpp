#include "VirtualEcuProcess.h"

#include <signal.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace {
constexpr int kStartMs = 5000;
constexpr int kStopMs = 3000;
}  // namespace

VirtualEcuProcess::VirtualEcuProcess(const QString& folder, const QString& name)
    : memoryFile_(QDir(folder).filePath(name + QStringLiteral(".mem"))),
      logFile_(QDir(folder).filePath(name + QStringLiteral(".log"))) {}

VirtualEcuProcess::~VirtualEcuProcess() {
  Stop();
}

bool VirtualEcuProcess::Prepare(const vecu::EcuMemory& memory) const {
  return memory.Save(QFile::encodeName(memoryFile_).toStdString());
}

QString VirtualEcuProcess::Start(const QStringList& options) {
  process_.setProgram(QStringLiteral(PROGRAM_FOLDER "/ecu-sim"));
  process_.setArguments(
      QStringList{QStringLiteral("--memory"), memoryFile_, QStringLiteral("--log"), logFile_} +
      options);
  process_.start();
  if (!process_.waitForStarted(kStartMs)) {
    errors_ = process_.errorString();
    return QString();
  }
  QDeadlineTimer deadline(kStartMs);
  while (!process_.canReadLine() && !deadline.hasExpired() &&
         process_.state() == QProcess::Running) {
    process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
  }
  if (!process_.canReadLine()) {
    errors_ = QString::fromLocal8Bit(process_.readAllStandardError());
    return QString();
  }
  return QString::fromLocal8Bit(process_.readLine()).trimmed();
}

void VirtualEcuProcess::Stop() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.terminate();
  if (!process_.waitForFinished(kStopMs)) {
    process_.kill();
    process_.waitForFinished(kStopMs);
  }
}

void VirtualEcuProcess::PullCable() {
  if (process_.state() == QProcess::Running)
    ::kill(static_cast<pid_t>(process_.processId()), SIGUSR1);
}

vecu::EcuMemory VirtualEcuProcess::Memory() const {
  vecu::EcuMemory memory;
  memory.Load(QFile::encodeName(memoryFile_).toStdString());
  return memory;
}

QStringList VirtualEcuProcess::Log() const {
  QFile file(logFile_);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  return QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
