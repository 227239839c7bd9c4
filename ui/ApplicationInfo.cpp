#include "ApplicationInfo.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString title;
QString programFolder;
}  // namespace

QString ApplicationTitle() {
  if (!title.isEmpty()) return title;
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void SetApplicationTitle(const QString& text) {
  title = text;
}

QString ProgramFolder() {
  return programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder;
}

void SetProgramFolder(const QString& folder) {
  programFolder = folder;
}
