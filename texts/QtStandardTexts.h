// Qt's own texts in the user's language: the standard buttons of message boxes
// (Yes, No, OK, Cancel) and Qt's dialogs. Qt keeps them in translation files
// of its own (Debian's qt6-translations-l10n); one of them is installed at a
// time, switched together with the dictionary's language.
#pragma once

#include <QString>

namespace QtStandardTexts {

// The locale of a dictionary language column ("DEUTSCH" -> "de"); empty for
// a column this program does not know.
QString LocaleOfColumn(const QString& field);

// Puts Qt's texts for locale ("de", "fr", ...) in place of the ones installed
// before. An empty or unknown locale, or one whose file is missing, leaves
// Qt's built-in English. true when a translation was installed.
bool UseLocale(const QString& locale);
// The same for a dictionary language column.
bool UseColumn(const QString& field);

}  // namespace QtStandardTexts
