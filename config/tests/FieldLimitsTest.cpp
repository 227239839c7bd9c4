// The range, step and unit every row of the three configuration windows
// enforces, written out row by row. The rows take them from their
// parameter's entry in the parameter table; a change there that reaches a
// window shows here as the rows it moves. Check boxes and lists have none.
#include <QTest>
#include <algorithm>
#include <cstring>
#include <span>

#include "ConfOptFields.h"
#include "ConfSwFields.h"
#include "FormVettura.h"

namespace {

struct ShownLimits {
  const char* input;
  double minimum;
  double maximum;
  double step;
  const char* unitKey;
};

// clang-format off
constexpr ShownLimits kConfOpt[] = {
    {"EditTCambio", 15, 40, 1, "UnitaGradi"},
    {"EditTPartenzaGas", 30, 80, 1, "UnitaGradi"},
    {"CheckFuoriGiri", 0, 0, 0, nullptr},
    {"EditFuoriGiri", 4000, 8000, 100, "UnitaGiri"},
    {"CheckRientro", 0, 0, 0, nullptr},
    // 0..254 instead while the level sensor is inverted (set by the window).
    {"EditLivello", 1, 255, 1, nullptr},
    {"CheckDefault", 0, 0, 0, nullptr},
    {"EditDefault", 0, 255, 1, nullptr},
    {"EditMaxApMin", 0, 255, 1, nullptr},
    {"EditMinApMin", 0, 255, 1, nullptr},
    {"EditMaxApFMin", 0, 255, 1, nullptr},
    {"EditMinApFMin", 0, 255, 1, nullptr},
    {"CheckAffondata", 0, 0, 0, nullptr},
    {"EditAffondata", 0, 255, 1, nullptr},
    {"EditTpsAffondata", 0, 4.9, 0.1, "UnitaVolt"},
    {"EditIstBosch", 0, 5, 0.1, "UnitaVolt"},
    {"EditIstMin", 0, 5, 0.01, "UnitaVolt"},
    {"CheckCutOff", 0, 0, 0, nullptr},
    {"EditCutOff", 1300, 7000, 100, "UnitaGiri"},
    {"EditPosCutOff", 0, 255, 1, nullptr},
};

constexpr ShownLimits kConfSw[] = {
    {"EditPassiAp", 1, 20, 1, nullptr},
    {"EditPassiCh", 1, 20, 1, nullptr},
    {"EditTPassiAp", 1, 20, 1, nullptr},
    {"EditTPassiCh", 1, 20, 1, nullptr},
    {"EditInvIngr", 0, 255, 1, nullptr},
    {"EditInvSmagr", 0, 255, 1, nullptr},
    {"EditTpsPotenza", 0, 5, 0.01, "UnitaVolt"},
    {"EditGiriPotenza", 3000, 7000, 50, "UnitaGiri"},
};

constexpr ShownLimits kVehicle[] = {
    {"ComboBoxCil", 0, 0, 0, nullptr},
    {"ComboBoxRpm", 0, 0, 0, nullptr},
    {"ComboBoxCambio", 0, 0, 0, nullptr},
    {"EditGiriCambio", 0, 4000, 100, "UnitaGiri"},
    {"EditSovrappos", 0, 5, 0.02, "UnitaSecondi"},
    {"ComboBoxSensore", 0, 0, 0, nullptr},
    {"ComboBoxTps", 0, 0, 0, nullptr},
    {"ComboBoxLambda", 0, 0, 0, nullptr},
    {"EditRitardo", 5, 1200, 5, "UnitaSecondi"},
    {"ComboBoxEmulazione", 0, 0, 0, nullptr},
    {"ComboBoxGialli", 0, 0, 0, nullptr},
    {"ComboCommutatore", 0, 0, 0, nullptr},
};
// clang-format on

QString Text(const char* key) {
  return key == nullptr ? QStringLiteral("(none)") : QString::fromLatin1(key);
}

QString Described(double minimum, double maximum, double step, const char* unitKey) {
  return QStringLiteral("%1..%2 step %3 %4").arg(minimum).arg(maximum).arg(step).arg(Text(unitKey));
}

// Empty when every row shows the expected limits; else one line per row that
// does not.
QString Differences(FieldRows rows, std::span<const ShownLimits> expected) {
  QStringList out;
  if (rows.size() != expected.size())
    out << QStringLiteral("%1 rows, %2 expected").arg(rows.size()).arg(expected.size());
  for (std::size_t r = 0; r < std::min(rows.size(), expected.size()); ++r) {
    const FieldRow& row = rows[r];
    const ShownLimits& e = expected[r];
    const params::EditLimits shown = LimitsOf(row);
    const QString want = Described(e.minimum, e.maximum, e.step, e.unitKey);
    const QString got = Described(shown.minimum, shown.maximum, shown.step, shown.unitKey);
    if (std::strcmp(row.input, e.input) != 0 || got != want)
      out << QStringLiteral("row %1 %2: %3, expected %4 %5")
                 .arg(r)
                 .arg(QString::fromLatin1(row.input), got, QString::fromLatin1(e.input), want);
  }
  return out.join(QLatin1Char('\n'));
}

}  // namespace

class FieldLimitsTest : public QObject {
  Q_OBJECT

 private slots:
  void everyRowEnforcesItsRangeStepAndUnit_data() {
    QTest::addColumn<QString>("differences");
    QTest::newRow("optional configuration") << Differences(kConfOptRows, kConfOpt);
    QTest::newRow("software configuration") << Differences(kConfSwRows, kConfSw);
    QTest::newRow("vehicle configuration") << Differences(kVehicleRows, kVehicle);
  }
  void everyRowEnforcesItsRangeStepAndUnit() {
    QFETCH(QString, differences);
    QVERIFY2(differences.isEmpty(), qPrintable(differences));
  }
};

QTEST_GUILESS_MAIN(FieldLimitsTest)
#include "FieldLimitsTest.moc"
