#include "ProcessObjects.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaObject>

namespace {
ProcessObjects objects;
QString title;
QString programFolder;
}  // namespace

ProcessObjects& Process() {
  return objects;
}

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

void RequestTermination() {
  objects.terminationRequested = true;
  // Queued, so that a request made before the loop starts ends it at once.
  if (QCoreApplication::instance() != nullptr) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
  }
}
