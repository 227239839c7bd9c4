// The original fuel indicator window against the ecu-sim program on a real
// pseudo-terminal through the program's own link library: the gauge is driven
// at every step (seen in the virtual ECU's command log) and the six values
// reach its memory when the window closes.
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ConfCar.h"
#include "FormContext.h"
#include "Indicatore.h"
#include "MessageBoxes.h"
#include "RealLink.h"
#include "VirtualEcuProcess.h"

class IndicatorEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void steppingDrivesTheGaugeAndCloseWrites();
  void refusedWriteAtCloseLeavesTheEcuAsItWas();
};

void IndicatorEndToEndTest::steppingDrivesTheGaugeAndCloseWrites() {
  SimulatedEcuSession session(QStringLiteral("gauge"),
                              {QStringLiteral("--engine"), QStringLiteral("off")});
  QVERIFY2(session.Ready(), qPrintable(session.Errors()));
  VirtualEcuProcess& sim = session.Sim();
  ScopedMessageBoxCapture boxes;
  TFormIndicatore w(session.Context());
  boxes.Clear();  // no dictionary here
  QCOMPARE(w.Edits[0]->text(), QStringLiteral("20"));  // the factory value, read from the ECU
  w.show();
  QApplication::setActiveWindow(&w);
  QVERIFY(QTest::qWaitForWindowActive(&w));
  QLineEdit* empty = w.Edits[0];
  QTest::mouseClick(empty, Qt::LeftButton);
  QTest::keyClick(empty, Qt::Key_Up);
  QTest::keyClick(empty, Qt::Key_Up);
  QTest::keyClick(empty, Qt::Key_Down);
  QTest::keyClick(empty, Qt::Key_Return);
  QStringList gauge;
  for (const QString& line : sim.Log())
    if (line.startsWith(QStringLiteral("INDICATOR"))) gauge << line;
  QCOMPARE(gauge, (QStringList{"INDICATOR 21 -1", "INDICATOR 22 -1", "INDICATOR 21 -1",
                               "INDICATOR 21 -1"}));
  QTest::mouseClick(w.ButtonEsci, Qt::LeftButton);
  QVERIFY(boxes.Empty());
  QVERIFY(sim.Log().contains(QStringLiteral("WRITE 61 0 21")));
  QVERIFY(sim.Log().contains(QStringLiteral("WRITE 61 5 250")));
  QCOMPARE(session.Store().RawImage()[37], 21);
}

void IndicatorEndToEndTest::refusedWriteAtCloseLeavesTheEcuAsItWas() {
  SimulatedEcuSession session(QStringLiteral("refused"),
                              {QStringLiteral("--engine"), QStringLiteral("off"),
                               QStringLiteral("--refuse"), QStringLiteral("61")});
  QVERIFY2(session.Ready(), qPrintable(session.Errors()));
  VirtualEcuProcess& sim = session.Sim();
  ScopedMessageBoxCapture boxes;
  TFormIndicatore w(session.Context());
  boxes.Clear();  // no dictionary here
  w.show();
  w.reject();
  QCOMPARE(boxes.Requests().size(), 1);  // answered No: closed, not saved
  QCOMPARE(boxes.Last().buttons, BoxButtons::YesNo);
  QVERIFY(!w.isVisible());
  for (const QString& line : sim.Log()) QVERIFY2(!line.startsWith("WRITE"), qPrintable(line));
}

QTEST_MAIN(IndicatorEndToEndTest)
#include "IndicatorEndToEndTest.moc"
