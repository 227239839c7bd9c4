// The number rules of the configuration windows' edit fields, free of any
// widget: rounding to a row's step, the general number format with the
// system's decimal separator and its reading back, the character filter and
// the range hint. The separator is always passed in, so the rules read the
// same under an Italian (comma) and an English (point) system.
#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace fields {

// The decimal separator of the default locale (the system's unless a test
// chose another).
QChar SystemDecimalSeparator();

// v rounded to a whole multiple of step: the nearer of the multiples below and
// above, the upper one on an exact half. step 0 leaves v as it is.
double RoundToStep(double v, double step);

// General format: up to 15 significant digits, no thousands separator, no
// trailing zeros, separator as the decimal point ("0,05" on an Italian system).
QString FormatNumber(double v, QChar separator);

// The number in text written with separator; nothing for text that is not a
// number (empty, "-" alone, a separator alone, any other character).
std::optional<double> ParseNumber(const QString& text, QChar separator);

// What the character filter sees of an edit field at the moment a character
// is typed.
struct TypingState {
  QString text;
  int selectionStart = 0;   // the caret position when nothing is selected
  int selectionLength = 0;
  bool negativeAllowed = false;  // the row's minimum is below zero
};

// Whether a typed character reaches the field: digits and Backspace always; the
// separator unless the text already holds one outside the selection; '-' only
// where negatives are allowed, at the start, and when no '-' stays outside the
// selection. Everything else (letters, '+', spaces, control characters) is
// dropped.
bool AcceptsCharacter(QChar c, const TypingState& state, QChar separator);

// The range hint beside a focused edit: " (min; max unit) ", or " (min; max) "
// when unit is empty.
QString HintText(double minimum, double maximum, const QString& unit, QChar separator);

}  // namespace fields
