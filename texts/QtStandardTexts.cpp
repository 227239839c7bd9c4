#include "QtStandardTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {

// The dictionary's language columns and the locales of Qt's translations.
struct ColumnLocale {
  const char* field;
  const char* locale;
};
constexpr ColumnLocale kColumns[] = {
    {"ITALIANO", "it"}, {"ENGLISH", "en"}, {"FRANCAIS", "fr"},
    {"DEUTSCH", "de"},  {"ESPANOL", "es"}, {"POLSKI", "pl"},
};

QPointer<QTranslator> installed;

}  // namespace

namespace QtStandardTexts {

QString LocaleOfColumn(const QString& field) {
  for (const auto& column : kColumns) {
    if (field.compare(QLatin1String(column.field), Qt::CaseInsensitive) == 0) {
      return QLatin1String(column.locale);
    }
  }
  return QString();
}

bool UseLocale(const QString& locale) {
  if (installed != nullptr) {
    QCoreApplication::removeTranslator(installed);
    delete installed;
  }
  if (locale.isEmpty() || QCoreApplication::instance() == nullptr) return false;
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QStringLiteral("qtbase_") + locale,
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  installed = translator;
  return true;
}

bool UseColumn(const QString& field) {
  return UseLocale(LocaleOfColumn(field));
}

}  // namespace QtStandardTexts
