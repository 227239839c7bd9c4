#include "LoadConfiguration.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include "ConfCar.h"
#include "WaitCursor.h"

std::string StoreFileName(const QString& path) {
  return QFile::encodeName(QDir::toNativeSeparators(path)).toStdString();
}

QString PathOfStoreFileName(const std::string& name) {
  return QFile::decodeName(QByteArray::fromStdString(name));
}

LoadOutcome LoadConfigurationFile(ConfCar& store, const QString& path, QWidget* window) {
  const std::string previousName = store.FileName();
  if (!store.SetFileName(StoreFileName(path))) return LoadOutcome::NameTooLong;
  bool loaded = false;
  {
    WaitCursor wait;
    if (window != nullptr) window->repaint();
    loaded = store.LoadFile();
  }
  if (loaded) return LoadOutcome::Loaded;
  // Nothing was read: the store keeps its configuration, and its name must
  // keep naming the file that configuration came from.
  store.SetFileName(previousName);
  return LoadOutcome::Unreadable;
}
