#include "FieldNumbers.h"

#include <QLocale>
#include <cmath>

namespace fields {

namespace {
// How near the quotient's fraction must be to one half to count as an exact
// half: decimal steps such as 0.1 are not exact in binary, so 0.15 / 0.1 is
// 1.4999999999999998 and must still round up.
constexpr double kHalfTolerance = 1e-9;
}  // namespace

QChar SystemDecimalSeparator() {
  const QString point = QLocale().decimalPoint();
  return point.isEmpty() ? QLatin1Char('.') : point.front();
}

double RoundToStep(double v, double step) {
  if (step == 0 || !std::isfinite(v)) return v;
  const double quotient = v / step;
  const double below = std::floor(quotient);
  const double above = std::ceil(quotient);
  const double fraction = quotient - below;
  if (std::fabs(fraction - 0.5) < kHalfTolerance) return above * step;
  const double lo = below * step;
  const double hi = above * step;
  return (v - lo < hi - v) ? lo : hi;
}

QString FormatNumber(double v, QChar separator) {
  if (v == 0) return QStringLiteral("0");  // never "-0"
  QString text = QString::number(v, 'g', 15);
  text.replace(QLatin1Char('.'), separator);
  return text;
}

std::optional<double> ParseNumber(const QString& text, QChar separator) {
  int digits = 0;
  int separators = 0;
  for (int i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isDigit() && c.unicode() < 128) {
      ++digits;
    } else if (c == separator) {
      ++separators;
    } else if (c != QLatin1Char('-') || i != 0) {
      return std::nullopt;
    }
  }
  if (digits == 0 || separators > 1) return std::nullopt;
  QString plain = text;
  plain.replace(separator, QLatin1Char('.'));
  bool ok = false;
  const double value = plain.toDouble(&ok);
  if (!ok) return std::nullopt;
  return value;
}

bool AcceptsCharacter(QChar c, const TypingState& state, QChar separator) {
  if ((c.isDigit() && c.unicode() < 128) || c == QChar(0x08)) return true;
  const int selectionEnd = state.selectionStart + state.selectionLength;
  // Whether ch occurs in the text outside the part about to be replaced.
  auto outsideSelection = [&](QChar ch) {
    for (int i = 0; i < state.text.size(); ++i) {
      if (state.text[i] == ch && (i < state.selectionStart || i >= selectionEnd)) return true;
    }
    return false;
  };
  if (c == separator) return !outsideSelection(separator);
  if (c == QLatin1Char('-'))
    return state.negativeAllowed && state.selectionStart == 0 &&
           !outsideSelection(QLatin1Char('-'));
  return false;
}

QString HintText(double minimum, double maximum, const QString& unit, QChar separator) {
  QString hint = QStringLiteral(" (") + FormatNumber(minimum, separator) + QStringLiteral("; ") +
                 FormatNumber(maximum, separator);
  if (!unit.isEmpty()) hint += QLatin1Char(' ') + unit;
  return hint + QStringLiteral(") ");
}

}  // namespace fields
