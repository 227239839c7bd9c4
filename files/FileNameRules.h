// The rules of the save window's name field.
#pragma once

#include <QObject>
#include <QString>
#include <QValidator>
#include <optional>

// Characters refused when typed in a configuration name: "!" to "/", ":" to
// "@" and the backslash. Letters, digits, space, "_" and everything from "["
// upwards (but the backslash) are accepted.
bool IsRefusedNameCharacter(QChar c);

// The name proposed for saving, from the store's current file: nothing when its
// file-name part is empty; otherwise that part up to its last full stop (empty
// when it has none).
std::optional<QString> ProposedSaveName(const QString& storeFileName);

// Swallows typed characters that IsRefusedNameCharacter refuses.
class RefusedCharacterFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Pasted text never brings in a folder separator: the name stays one file name.
class NoSeparatorValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};
