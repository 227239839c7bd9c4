#include "FileNameRules.h"

#include <QFileInfo>
#include <QKeyEvent>

bool IsRefusedNameCharacter(QChar c) {
  const char16_t u = c.unicode();
  return (u >= 0x21 && u <= 0x2F) || (u >= 0x3A && u <= 0x40) || u == 0x5C;
}

std::optional<QString> ProposedSaveName(const QString& storeFileName) {
  // Both separators count: the name may come from a file written elsewhere.
  QString name = storeFileName;
  name.replace(QLatin1Char('\\'), QLatin1Char('/'));
  name = QFileInfo(name).fileName();
  if (name.isEmpty()) return std::nullopt;
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? QString() : name.left(dot);
}

bool RefusedCharacterFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() == 1 && IsRefusedNameCharacter(text.at(0))) return true;
  }
  return QObject::eventFilter(watched, event);
}

QValidator::State NoSeparatorValidator::validate(QString& input, int& /*position*/) const {
  return input.contains(QLatin1Char('/')) || input.contains(QLatin1Char('\\')) ? Invalid
                                                                               : Acceptable;
}
