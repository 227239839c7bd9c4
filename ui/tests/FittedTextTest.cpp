// A text for a fixed-size label: whole when it fits; otherwise cut with "…",
// never wider than the label, and whole in the tooltip; a later text that
// fits takes the tooltip away again.
#include <QLabel>
#include <QTest>

#include "FittedText.h"

class FittedTextTest : public QObject {
  Q_OBJECT

 private slots:
  void TextsFitTheLabel_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("cut");
    QTest::newRow("short") << "Lettura dati" << false;
    QTest::newRow("too long") << QString::fromUtf8("Données lues depuis le calculateur, ").repeated(3)
                              << true;
    QTest::newRow("two lines are left alone") << "a\nb" << false;
  }
  void TextsFitTheLabel() {
    QFETCH(QString, text);
    QFETCH(bool, cut);
    QLabel label;
    label.setGeometry(0, 0, 200, 16);
    SetFittedText(&label, QStringLiteral("an earlier text, long enough to be cut in this label"));

    SetFittedText(&label, text);

    if (cut) {
      QVERIFY(label.text().endsWith(QChar(0x2026)));
      QVERIFY(text.startsWith(label.text().chopped(1)));
      QVERIFY(label.fontMetrics().horizontalAdvance(label.text()) <= label.contentsRect().width());
      QCOMPARE(label.toolTip(), text);
    } else {
      QCOMPARE(label.text(), text);
      QCOMPARE(label.toolTip(), QString());
    }
  }
};

QTEST_MAIN(FittedTextTest)
#include "FittedTextTest.moc"
