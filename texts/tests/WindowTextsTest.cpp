// The caption binder on a small table: order, cuts, stop at the first
// missing text, and the table closed again afterwards.
#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include "FixtureTable.h"
#include "ModuloLingua.h"
#include "WindowTexts.h"

class WindowTextsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  TModuloLingua lingua_;

 private slots:
  void initTestCase() {
    QVERIFY(WriteFixtureTable(dir_.filePath("DizionarioVnt.dbf"),
                              {"IDENTIF", "ITALIANO", "ENGLISH"},
                              {{"MenuLingua", "&Italiano", "&English"},
                               {"LabelTitolo", "Configurazione Vettura", "Vehicle configuration"},
                               {"ButtonEsci", "&Esci", "E&xit"},
                               {"FinestraProva", "Finestra di prova", "Test window"},
                               {"SoloItaliano", "Solo qui", ""}}));
    QVERIFY(lingua_.Open(dir_.path(), "DizionarioVnt.dbf"));
  }

  void init() { lingua_.SetSelectedColumn("ENGLISH"); }

  void assignsEveryTextInOrder() {
    QLabel title("Design title");
    QWidget window;
    QAction exit("&Esci");
    QStringList order;
    const bool ok = ApplyWindowTexts(lingua_, {{"LabelTitolo", 7, SetTextOf(&title)},
                                               {"FinestraProva", 70, SetTitleOf(&window)},
                                               {"ButtonEsci", 15, SetTextOf(&exit)},
                                               {"ButtonEsci", 15, SetHintOf(&exit)},
                                               {"LabelTitolo", 50, AppendTo(&order)},
                                               {"ButtonEsci", 15, AppendTo(&order)}});
    QVERIFY(ok);
    QCOMPARE(title.text(), QString("Vehicle"));
    QCOMPARE(window.windowTitle(), QString("Test window"));
    QCOMPARE(exit.text(), QString("E&xit"));
    QCOMPARE(exit.toolTip(), QString("E&xit"));
    QCOMPARE(order, QStringList({"Vehicle configuration", "E&xit"}));
    QVERIFY(!lingua_.IsActive());
  }

  void stopsAtTheFirstMissingText_data() {
    QTest::addColumn<QString>("failingKey");
    QTest::newRow("missing key") << "NessunaChiave";
    QTest::newRow("empty cell") << "SoloItaliano";
  }
  void stopsAtTheFirstMissingText() {
    QFETCH(QString, failingKey);
    QLabel before("design 1");
    QLabel after("design 2");
    QString kept;
    const bool ok = ApplyWindowTexts(lingua_, {{"LabelTitolo", 50, SetTextOf(&before)},
                                               {failingKey, 50, SetTextOf(&after)},
                                               {"ButtonEsci", 15, StoreIn(&kept)}});
    QVERIFY(!ok);
    QCOMPARE(before.text(), QString("Vehicle configuration"));
    QCOMPARE(after.text(), QString("design 2"));
    QVERIFY(kept.isEmpty());
    QVERIFY(!lingua_.IsActive());
  }

  void noLanguageAppliedFailsAtOnce() {
    lingua_.SetSelectedColumn(QString());
    QLabel label("design");
    QVERIFY(!ApplyWindowTexts(lingua_, {{"LabelTitolo", 50, SetTextOf(&label)}}));
    QCOMPARE(label.text(), QString("design"));
  }

  void closesATableTheWindowFoundOpen() {
    QVERIFY(lingua_.Activate());
    QVERIFY(ApplyWindowTexts(lingua_, {{"ButtonEsci", 15, {}}}));
    QVERIFY(!lingua_.IsActive());
  }

  void unreadableTableFails() {
    TModuloLingua missing;
    QVERIFY(!missing.Open(dir_.path(), "Assente.dbf"));
    missing.SetSelectedColumn("ITALIANO");
    QLabel label("design");
    QVERIFY(!ApplyWindowTexts(missing, {{"LabelTitolo", 50, SetTextOf(&label)}}));
    QCOMPARE(label.text(), QString("design"));
    QVERIFY(!missing.IsActive());
  }
};

QTEST_MAIN(WindowTextsTest)
#include "WindowTextsTest.moc"
