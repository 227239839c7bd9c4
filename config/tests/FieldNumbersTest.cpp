// The number rules of the edit fields, each case run with a comma and with a
// point as the decimal separator. Cases are written with '.', which stands for
// the separator in use.
#include <QTest>

#include "FieldNumbers.h"

namespace {

const QChar kSeparators[] = {QLatin1Char(','), QLatin1Char('.')};

QString With(QString text, QChar separator) {
  return text.replace(QLatin1Char('.'), separator);
}

void AddForBothSeparators(const char* name, const std::function<void(QTestData&)>& fill) {
  for (const QChar separator : kSeparators) {
    QTestData& row = QTest::addRow("%s [%c]", name, separator.toLatin1()) << separator;
    fill(row);
  }
}

}  // namespace

class FieldNumbersTest : public QObject {
  Q_OBJECT

 private slots:
  void roundsToTheNearestMultipleOfTheStep_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("expected");
    QTest::newRow("step 100, below the half") << 4049.0 << 100.0 << 4000.0;
    QTest::newRow("step 100, exact half goes up") << 4050.0 << 100.0 << 4100.0;
    QTest::newRow("step 0.01") << 1.234 << 0.01 << 1.23;
    QTest::newRow("step 1, below the half") << 7.4 << 1.0 << 7.0;
    QTest::newRow("step 1, exact half goes up") << 7.5 << 1.0 << 8.0;
    QTest::newRow("step 50, below the half") << 3020.0 << 50.0 << 3000.0;
    QTest::newRow("step 50, exact half goes up") << 3025.0 << 50.0 << 3050.0;
    // 0.15 / 0.1 is just below 1.5 in binary; it is still an exact half.
    QTest::newRow("step 0.1, decimal half") << 0.15 << 0.1 << 0.2;
    QTest::newRow("step 0.02") << 0.43 << 0.02 << 0.44;
    QTest::newRow("already a multiple") << 3000.0 << 50.0 << 3000.0;
    QTest::newRow("negative value") << -7.6 << 1.0 << -8.0;
    QTest::newRow("negative exact half goes up") << -7.5 << 1.0 << -7.0;
    QTest::newRow("step 0 leaves it") << 1.234 << 0.0 << 1.234;
  }
  void roundsToTheNearestMultipleOfTheStep() {
    QFETCH(double, value);
    QFETCH(double, step);
    QFETCH(double, expected);
    QVERIFY2(qFuzzyCompare(1 + fields::RoundToStep(value, step), 1 + expected),
             qPrintable(QString::number(fields::RoundToStep(value, step), 'g', 17)));
  }

  // What the edit shows after rounding: 15 significant digits hide the binary
  // remainder of a decimal step.
  void formatsInGeneralFormWithTheSeparator_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    struct Case {
      const char* name;
      double value;
      const char* text;
    };
    const Case cases[] = {
        {"fraction", 0.05, "0.05"},
        {"whole number", 4000, "4000"},
        {"no thousands separator", 1234567, "1234567"},
        {"rounded step", fields::RoundToStep(1.234, 0.01), "1.23"},
        {"binary remainder hidden", 0.1 * 3, "0.3"},
        {"negative", -2.5, "-2.5"},
        {"zero", 0, "0"},
        {"negative zero", -0.0, "0"},
        {"missing-value marker", 800000, "800000"},
    };
    for (const Case& c : cases)
      AddForBothSeparators(c.name,
                           [&](QTestData& row) { row << c.value << QString::fromLatin1(c.text); });
  }
  void formatsInGeneralFormWithTheSeparator() {
    QFETCH(QChar, separator);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(fields::FormatNumber(value, separator), With(expected, separator));
  }

  void readsNumbersBack_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    struct Case {
      const char* name;
      const char* text;
      bool isNumber;
      double value;
    };
    const Case cases[] = {
        {"whole", "2000", true, 2000},
        {"fraction", "0.05", true, 0.05},
        {"leading separator", ".5", true, 0.5},
        {"trailing separator", "5.", true, 5},
        {"negative", "-3.5", true, -3.5},
        {"empty", "", false, 0},
        {"minus alone", "-", false, 0},
        {"separator alone", ".", false, 0},
        {"two separators", "1.2.3", false, 0},
        {"minus inside", "1-2", false, 0},
        {"letters", "12a", false, 0},
        {"space", "1 2", false, 0},
        {"plus", "+1", false, 0},
        {"exponent", "1e3", false, 0},
    };
    for (const Case& c : cases)
      AddForBothSeparators(c.name, [&](QTestData& row) {
        row << QString::fromLatin1(c.text) << c.isNumber << c.value;
      });
  }
  void readsNumbersBack() {
    QFETCH(QChar, separator);
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const std::optional<double> read = fields::ParseNumber(With(text, separator), separator);
    QCOMPARE(read.has_value(), isNumber);
    if (isNumber) QCOMPARE(*read, value);
  }

  // The other system's separator is not a separator here.
  void theOtherSeparatorIsNoNumber() {
    QVERIFY(!fields::ParseNumber(QStringLiteral("0.5"), QLatin1Char(',')));
    QVERIFY(!fields::ParseNumber(QStringLiteral("0,5"), QLatin1Char('.')));
    QVERIFY(!fields::AcceptsCharacter(QLatin1Char('.'), {}, QLatin1Char(',')));
    QVERIFY(!fields::AcceptsCharacter(QLatin1Char(','), {}, QLatin1Char('.')));
  }

  // Text, selection (start, length), negatives allowed, the character typed
  // ('.' stands for the separator) and whether it reaches the field.
  void filtersTypedCharacters_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<bool>("negativeAllowed");
    QTest::addColumn<QChar>("typed");
    QTest::addColumn<bool>("accepted");
    struct Case {
      const char* name;
      const char* text;
      int start;
      int length;
      bool negative;
      char typed;
      bool accepted;
    };
    const Case cases[] = {
        {"digit", "12", 2, 0, false, '7', true},
        {"backspace", "12", 2, 0, false, '\b', true},
        {"first separator", "12", 2, 0, false, '.', true},
        {"second separator", "1.2", 3, 0, false, '.', false},
        {"separator over a selection holding the old one", "1.2", 1, 2, false, '.', true},
        {"separator over a selection without the old one", "1.25", 3, 1, false, '.', false},
        {"minus where the minimum is not negative", "", 0, 0, false, '-', false},
        {"minus at the start", "5", 0, 0, true, '-', true},
        {"minus after the first character", "5", 1, 0, true, '-', false},
        {"minus with one outside the selection", "-5", 0, 0, true, '-', false},
        {"minus replacing the old one", "-5", 0, 2, true, '-', true},
        {"letter", "1", 1, 0, true, 'a', false},
        {"plus", "1", 1, 0, true, '+', false},
        {"space", "1", 1, 0, true, ' ', false},
        {"enter", "1", 1, 0, true, '\r', false},
        {"escape", "1", 1, 0, true, '\x1b', false},
        {"paste shortcut character", "1", 1, 0, true, '\x16', false},
    };
    for (const Case& c : cases)
      AddForBothSeparators(c.name, [&](QTestData& row) {
        row << QString::fromLatin1(c.text) << c.start << c.length << c.negative
            << QChar(QLatin1Char(c.typed)) << c.accepted;
      });
  }
  void filtersTypedCharacters() {
    QFETCH(QChar, separator);
    QFETCH(QString, text);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(bool, negativeAllowed);
    QFETCH(QChar, typed);
    QFETCH(bool, accepted);
    const fields::TypingState state{With(text, separator), selectionStart, selectionLength,
                                    negativeAllowed};
    const QChar character = typed == QLatin1Char('.') ? separator : typed;
    QCOMPARE(fields::AcceptsCharacter(character, state, separator), accepted);
  }

  void hintShowsTheRangeAndUnit_data() {
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("expected");
    AddForBothSeparators("with unit", [](QTestData& row) {
      row << 0.0 << 4.9 << QStringLiteral("V") << QStringLiteral(" (0; 4.9 V) ");
    });
    AddForBothSeparators("without unit", [](QTestData& row) {
      row << 1.0 << 20.0 << QString() << QStringLiteral(" (1; 20) ");
    });
    AddForBothSeparators("negative minimum", [](QTestData& row) {
      row << -2.5 << 2.5 << QString() << QStringLiteral(" (-2.5; 2.5) ");
    });
  }
  void hintShowsTheRangeAndUnit() {
    QFETCH(QChar, separator);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(QString, unit);
    QFETCH(QString, expected);
    QCOMPARE(fields::HintText(minimum, maximum, unit, separator), With(expected, separator));
  }
};

QTEST_GUILESS_MAIN(FieldNumbersTest)
#include "FieldNumbersTest.moc"
