#include "GlobalData.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <optional>

#include "ApplicationInfo.h"
#include "LivePolling.h"
#include "MessageBoxes.h"

namespace {
const char* const kOrganisation = "OXT srl";
const char* const kApplication = "MirelVantor";
const char* const kMainPathValue = "MainPath";
const char* const kLanguageValue = "Language";
const char* const kStat1Value = "Stat1";
const char* const kRecordingRateValue = "RecordingRate";

// An integer value; nullopt when it is missing or not a whole number.
std::optional<int> ReadInteger(const QSettings& settings, const char* name) {
  const QVariant value = settings.value(QLatin1String(name));
  if (!value.isValid()) return std::nullopt;
  bool ok = false;
  const int number = value.toString().trimmed().toInt(&ok);
  if (!ok) return std::nullopt;
  return number;
}

Qt::CaseSensitivity FileNameCase() {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
  return Qt::CaseInsensitive;
#else
  return Qt::CaseSensitive;
#endif
}
}  // namespace

QString GlobalData::ConfigurationsFolderOf(const QString& mainFolder) {
  return mainFolder + QStringLiteral("/Configurazioni");
}

GlobalData::GlobalData(int& goOn, QWidget* questionParent) {
  goOn = 1;
  mainFolder_ = QDir::currentPath();
  configurationsFolder_ = ConfigurationsFolderOf(mainFolder_);

  QSettings settings{QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication)};
  if (settings.status() == QSettings::AccessError) return;

  mainFolder_ = settings.value(QLatin1String(kMainPathValue)).toString();
  configurationsFolder_ = ConfigurationsFolderOf(mainFolder_);

  // A user's file that cannot be parsed counts as a read error even though
  // the values would then come from the installed defaults: its values are
  // lost, and the user is asked, as on any damaged settings.
  bool readError = settings.status() == QSettings::FormatError;
  if (const auto language = ReadInteger(settings, kLanguageValue)) {
    language_ = *language;
    if (const auto stat1 = ReadInteger(settings, kStat1Value)) {
      stat1_ = *stat1;
    } else {
      readError = true;
    }
  } else {
    readError = true;
  }
  if (!readError) return;

  // First run, or values that cannot be read: the main folder falls back to
  // the program's own, and the user decides whether to go on.
  QString programFolder = QDir::fromNativeSeparators(ProgramFolder());
  if (programFolder.endsWith(QLatin1Char('/')) && programFolder.size() > 1) programFolder.chop(1);
  if (programFolder.compare(mainFolder_, FileNameCase()) != 0) {
    mainFolder_ = programFolder;
    configurationsFolder_ = ConfigurationsFolderOf(mainFolder_);
  }
  const bool goOnAnyway = MessageBoxes::AskYesNo(
      questionParent,
      QString::fromUtf8("Non è possibile eseguire correttamente il programma. \nContinuare in ogni "
                        "caso?"),
      ApplicationTitle(), BoxIcon::Error);
  if (!goOnAnyway) goOn = 0;
}

GlobalData::~GlobalData() {
  if (!writeBack_) return;
  QSettings settings{QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication)};
  if (!settings.isWritable()) return;
  settings.setValue(QLatin1String(kMainPathValue), mainFolder_);
  settings.setValue(QLatin1String(kLanguageValue), language_);
  settings.setValue(QLatin1String(kStat1Value), stat1_);
  settings.sync();
}

bool GlobalData::GetPath(int number, QString& buffer) const {
  switch (number) {
    case kMainFolder:
      buffer = mainFolder_;
      return true;
    case kConfigurationsFolder:
      buffer = configurationsFolder_;
      return true;
    default:
      return false;
  }
}

bool GlobalData::SetPath(int number, const QString& text) {
  if (number != kMainFolder) return false;
  mainFolder_ = text;
  configurationsFolder_ = ConfigurationsFolderOf(text);
  return true;
}

int GlobalData::GetSetting(int number) const {
  switch (number) {
    case kSetting8:
      return setting8_;
    case kSetting9:
      return setting9_;
    case kLanguage:
      return language_;
    case kStat1:
      return stat1_;
    default:
      return 0;
  }
}

bool GlobalData::SetSetting(int number, int value) {
  switch (number) {
    case kSetting8:
      setting8_ = value;
      return true;
    case kSetting9:
      setting9_ = value;
      return true;
    case kLanguage:
      language_ = value;
      return true;
    case kStat1:
      stat1_ = value;
      return true;
    default:
      return false;
  }
}

int GlobalData::RecordingRate() const {
  const QSettings settings{QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication)};
  const auto rate = ReadInteger(settings, kRecordingRateValue);
  return live::KnownRecordingRate(rate.value_or(live::kShownRate));
}

bool GlobalData::SetRecordingRate(int rate) {
  if (live::KnownRecordingRate(rate) != rate) return false;
  QSettings settings{QString::fromLatin1(kOrganisation), QString::fromLatin1(kApplication)};
  settings.setValue(QLatin1String(kRecordingRateValue), rate);
  settings.sync();
  return settings.status() == QSettings::NoError;
}
