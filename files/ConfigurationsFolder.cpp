#include "ConfigurationsFolder.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

bool IsWritableFolder(const QString& folder) {
  if (folder.isEmpty() || !QDir().mkpath(folder)) return false;
  // Permissions alone do not tell (read-only mounts, access lists): try it.
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-probe-XXXXXX")));
  return probe.open();
}

QString UsableConfigurationsFolder(const QString& preferred) {
  if (IsWritableFolder(preferred)) return preferred;
  const QString fallback =
      QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
          .filePath(QStringLiteral("Configurazioni"));
  if (IsWritableFolder(fallback)) return fallback;
  return QString();
}
