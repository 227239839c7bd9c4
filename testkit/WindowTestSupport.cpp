#include "WindowTestSupport.h"

#include <shapefil.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QWheelEvent>
#include <QWidget>

#include "EcuLink.h"

namespace {
const char* const kSystemFolder = "system";
}

// QCoreApplication names this function its friend: it is the one way to hand
// an event over as spontaneous, that is as coming from the window system.
bool qt_sendSpontaneousEvent(QObject* receiver, QEvent* event) {
  return QCoreApplication::sendSpontaneousEvent(receiver, event);
}

void Screenshot(QWidget* window, const QString& name) {
  const QString folder = qEnvironmentVariable("MV_SCREENSHOTS");
  if (!folder.isEmpty()) window->grab().save(QDir(folder).filePath(name + ".png"));
}

void TurnWheelOver(QWidget* widget, int notches) {
  const QPointF local = QRectF(widget->rect()).center();
  const QPointF global = widget->mapToGlobal(local);
  QWheelEvent wheel(local, global, QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  qt_sendSpontaneousEvent(widget, &wheel);
}

SettingsSandbox::SettingsSandbox() {
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
  const QString system = QDir(dir_.path()).filePath(QLatin1String(kSystemFolder));
  QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, system);
  QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, system);
}

SettingsSandbox::~SettingsSandbox() = default;

QString SettingsFile(const QString& folder) {
  return QDir(folder).filePath(QStringLiteral("OXT srl/MirelVantor.conf"));
}

QString SettingsSandbox::SettingsFile() const {
  return ::SettingsFile(dir_.path());
}

void SettingsSandbox::Store(const QString& mainPath, const QVariant& language,
                            const QVariant& stat1) {
  QSettings settings(QStringLiteral("OXT srl"), QStringLiteral("MirelVantor"));
  settings.setValue(QStringLiteral("MainPath"), mainPath);
  if (language.isValid()) settings.setValue(QStringLiteral("Language"), language);
  if (stat1.isValid()) settings.setValue(QStringLiteral("Stat1"), stat1);
  settings.sync();
}

namespace {
void WriteFile(const QString& path, const QByteArray& text) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text);
}
}  // namespace

void SettingsSandbox::WriteUserFile(const QByteArray& text) const {
  WriteFile(SettingsFile(), text);
}

void SettingsSandbox::WriteSystemFile(const QByteArray& text) const {
  WriteFile(::SettingsFile(QDir(dir_.path()).filePath(QLatin1String(kSystemFolder))), text);
}

bool WriteDictionary(const QString& path, const QStringList& fields,
                     const QList<QStringList>& rows) {
  DBFHandle dbf = DBFCreateEx(QFile::encodeName(path).constData(), "UTF-8");
  if (dbf == nullptr) return false;
  for (const QString& field : fields) {
    if (DBFAddField(dbf, field.toLatin1().constData(), FTString, 120, 0) < 0) {
      DBFClose(dbf);
      return false;
    }
  }
  for (int r = 0; r < rows.size(); ++r) {
    for (int f = 0; f < fields.size() && f < rows[r].size(); ++f) {
      DBFWriteStringAttribute(dbf, r, f, rows[r][f].toUtf8().constData());
    }
  }
  DBFClose(dbf);
  return true;
}

ProgramFolderFixture::ProgramFolderFixture() = default;

bool ProgramFolderFixture::AddLinkLibrary(const QString& fromFolder) {
  const QString name = QStringLiteral(ECU_LINK_LIBRARY_FILE);
  return QFile::copy(QDir(fromFolder).filePath(name), QDir(Path()).filePath(name));
}

bool ProgramFolderFixture::AddBuiltDictionaryAndFlags() {
  const QDir from(QStringLiteral(PROGRAM_FOLDER));
  const QDir to(Path());
  bool ok = QFile::copy(from.filePath(QStringLiteral("DizionarioVnt.dbf")),
                        to.filePath(QStringLiteral("DizionarioVnt.dbf")));
  QFile::copy(from.filePath(QStringLiteral("DizionarioVnt.cpg")),
              to.filePath(QStringLiteral("DizionarioVnt.cpg")));
  ok = ok && to.mkpath(QStringLiteral("immagini"));
  const QStringList flags = QDir(from.filePath(QStringLiteral("immagini"))).entryList(QDir::Files);
  for (const QString& flag : flags) {
    ok = ok && QFile::copy(from.filePath(QStringLiteral("immagini/") + flag),
                           to.filePath(QStringLiteral("immagini/") + flag));
  }
  return ok;
}
