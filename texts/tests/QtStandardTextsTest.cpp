// Qt's own texts follow the dictionary's language: the standard buttons of a
// Yes/No box in each language, back to English for a column Qt has no
// translation for, and a translation for every language the dictionary has.
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "QtStandardTexts.h"

class QtStandardTextsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { QtStandardTexts::UseLocale(QString()); }

  void YesNoButtonsSpeakTheLanguage_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("yes");
    QTest::addColumn<QString>("no");
    QTest::newRow("German") << "DEUTSCH" << true << "&Ja"
                            << "&Nein";
    QTest::newRow("French") << "FRANCAIS" << true << "&Oui"
                            << "&Non";
    QTest::newRow("Italian") << "ITALIANO" << true << QString::fromUtf8("&Sì") << "&No";
    QTest::newRow("Spanish") << "ESPANOL" << true << QString::fromUtf8("&Sí") << "&No";
    QTest::newRow("Polish") << "POLSKI" << true << "&Tak"
                            << "&Nie";
    QTest::newRow("a column Qt has no texts for") << "KLINGON" << false << "&Yes"
                                                  << "&No";
  }
  void YesNoButtonsSpeakTheLanguage() {
    QFETCH(QString, column);
    QFETCH(bool, installed);
    QFETCH(QString, yes);
    QFETCH(QString, no);
    // Another language first: switching must replace it, not add to it.
    QtStandardTexts::UseColumn(QStringLiteral("POLSKI"));

    QCOMPARE(QtStandardTexts::UseColumn(column), installed);

    QMessageBox box(QMessageBox::Warning, QStringLiteral("t"), QStringLiteral("q"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), yes);
    QCOMPARE(box.button(QMessageBox::No)->text(), no);
  }

  // A language column added to the dictionary needs its Qt locale too.
  void EveryDictionaryLanguageHasQtTexts() {
    QFile source(QStringLiteral(DICTIONARY_SOURCE));
    QVERIFY(source.open(QIODevice::ReadOnly | QIODevice::Text));
    QStringList header;
    while (!source.atEnd()) {
      const QString line = QString::fromUtf8(source.readLine()).trimmed();
      if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
      header = line.split(QLatin1Char('\t'));
      break;
    }
    QVERIFY(header.size() > 2);
    for (const QString& field : header.mid(2)) {  // after IDENTIF and MAX
      QVERIFY2(!QtStandardTexts::LocaleOfColumn(field).isEmpty(), qPrintable(field));
      QVERIFY2(QtStandardTexts::UseColumn(field), qPrintable(field));
    }
  }
};

QTEST_MAIN(QtStandardTextsTest)
#include "QtStandardTextsTest.moc"
