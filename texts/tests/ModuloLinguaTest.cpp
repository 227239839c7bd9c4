// The language module against small tables written for each case.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "DbfTable.h"
#include "FixtureTable.h"
#include "ModuloLingua.h"

namespace {
const QStringList kFields = {"IDENTIF", "ITALIANO", "ENGLISH", "POLSKI"};
const QList<QStringList> kRows = {
    {"MenuLingua", "&Italiano", "&English", "Polski bardzo dluga nazwa"},
    {"LabelVisualizza", "Visualizzazione Parametri e molto altro ancora", "Parameter display",
     "Podgląd parametrów"},
    {"SoloItaliano", "Solo qui", "", ""},
    {"Doppia", "prima", "first", "pierwsza"},
    {"Doppia", "seconda", "second", "druga"},
};
}  // namespace

class ModuloLinguaTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  // Writes a table named file in the temporary folder and opens it.
  bool OpenTable(TModuloLingua& lingua, const QString& file, const QStringList& fields,
                 const QList<QStringList>& rows) {
    if (!WriteFixtureTable(dir_.filePath(file), fields, rows)) return false;
    return lingua.Open(dir_.path(), file);
  }

 private slots:
  void languageMenuFollowsTheColumns() {
    TModuloLingua lingua;
    QVERIFY(OpenTable(lingua, "menu.dbf", kFields, kRows));
    QCOMPARE(lingua.LanguageCount(), 3);
    QCOMPARE(lingua.LanguageFields(), QStringList({"ITALIANO", "ENGLISH", "POLSKI"}));
    const QList<QAction*> items = lingua.PopupMenuLingue()->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->text(), QString("&Italiano"));
    QCOMPARE(items[2]->objectName(), QString("POLSKI"));
    // Only the first 12 characters of a language name are used.
    QCOMPARE(items[2]->text(), QString("Polski bardz"));
    for (QAction* item : items) {
      QVERIFY(item->isCheckable());
      QVERIFY(item->actionGroup() != nullptr && item->actionGroup()->isExclusive());
      QVERIFY(!item->isChecked());
    }
    QVERIFY(!lingua.IsActive());
  }

  void lookUpCutsAndFails_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("maxLength");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("text");
    QTest::newRow("cut to 35: 36th character never shows")
        << "LabelVisualizza"
        << "ITALIANO" << 35 << true << "Visualizzazione Parametri e molto a";
    QTest::newRow("shorter than the maximum") << "LabelVisualizza"
                                              << "ENGLISH" << 35 << true << "Parameter display";
    QTest::newRow("Polish letters") << "LabelVisualizza"
                                    << "POLSKI" << 35 << true << "Podgląd parametrów";
    QTest::newRow("cut inside accented text") << "LabelVisualizza"
                                              << "POLSKI" << 6 << true << "Podglą";
    QTest::newRow("column name in lower case") << "LabelVisualizza"
                                               << "english" << 9 << true << "Parameter";
    QTest::newRow("first row wins for a repeated key") << "Doppia"
                                                       << "ENGLISH" << 30 << true << "first";
    QTest::newRow("missing key") << "Nessuna"
                                 << "ITALIANO" << 30 << false << "";
    QTest::newRow("missing column") << "LabelVisualizza"
                                    << "FRANCAIS" << 30 << false << "";
    QTest::newRow("empty column name") << "LabelVisualizza"
                                       << "" << 30 << false << "";
    QTest::newRow("empty cell") << "SoloItaliano"
                                << "ENGLISH" << 30 << false << "";
    QTest::newRow("key column is not a language") << "SoloItaliano"
                                                  << "IDENTIF" << 30 << true << "SoloItaliano";
  }
  void lookUpCutsAndFails() {
    QFETCH(QString, key);
    QFETCH(QString, column);
    QFETCH(int, maxLength);
    QFETCH(bool, found);
    QFETCH(QString, text);
    TModuloLingua lingua;
    QVERIFY(OpenTable(lingua, "lookup.dbf", kFields, kRows));
    const std::optional<QString> result = lingua.LookUp(key, column, maxLength);
    QCOMPARE(result.has_value(), found);
    if (found) QCOMPARE(*result, text);
  }

  void textReadsTheSelectedColumn() {
    TModuloLingua lingua;
    QVERIFY(OpenTable(lingua, "selected.dbf", kFields, kRows));
    // No language applied yet: every lookup fails.
    QVERIFY(lingua.SelectedColumn().isEmpty());
    QVERIFY(!lingua.Text("LabelVisualizza", 35));
    lingua.SetSelectedColumn("ENGLISH");
    QCOMPARE(lingua.Text("LabelVisualizza", 35), std::optional<QString>("Parameter display"));
    lingua.SetSelectedColumn("FRANCAIS");
    QVERIFY(!lingua.Text("LabelVisualizza", 35));
  }

  void lookUpInsideAndOutsideAnActivation() {
    TModuloLingua lingua;
    QVERIFY(OpenTable(lingua, "active.dbf", kFields, kRows));
    QVERIFY(lingua.Activate());
    QVERIFY(lingua.IsActive());
    QVERIFY(lingua.LookUp("LabelVisualizza", "ENGLISH", 9));
    QVERIFY(lingua.IsActive());
    lingua.Deactivate();
    QVERIFY(!lingua.IsActive());
    // Outside an activation the table is opened for the lookup and closed again.
    QVERIFY(lingua.LookUp("LabelVisualizza", "ENGLISH", 9));
    QVERIFY(!lingua.IsActive());
  }

  void selectLanguageActivatesItsItem() {
    TModuloLingua lingua;
    QVERIFY(OpenTable(lingua, "select.dbf", kFields, kRows));
    QSignalSpy spy(&lingua, &TModuloLingua::LanguageActivated);
    const QList<QAction*> items = lingua.PopupMenuLingue()->actions();

    lingua.SelectLanguage(1);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.takeFirst().at(0).toInt(), 1);
    QVERIFY(items[1]->isChecked());

    // The same item again is still an activation and stays checked.
    lingua.SelectLanguage(1);
    QCOMPARE(spy.size(), 1);
    QVERIFY(items[1]->isChecked());
    spy.clear();

    lingua.SelectLanguage(2);
    QVERIFY(items[2]->isChecked());
    QVERIFY(!items[1]->isChecked());
    spy.clear();

    // Out of range: nothing happens.
    lingua.SelectLanguage(-1);
    lingua.SelectLanguage(3);
    QCOMPARE(spy.size(), 0);
    QVERIFY(items[2]->isChecked());

    // A click on the menu item is the same as selecting it.
    items[0]->trigger();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.takeFirst().at(0).toInt(), 0);
    QVERIFY(items[0]->isChecked());
  }

  void tableWithOnlyTheKeyColumn() {
    TModuloLingua lingua;
    QVERIFY(OpenTable(lingua, "onlykey.dbf", {"IDENTIF"}, {{"MenuLingua"}, {"LabelMenu"}}));
    QCOMPARE(lingua.LanguageCount(), 0);
    QVERIFY(lingua.PopupMenuLingue()->actions().isEmpty());
    QSignalSpy spy(&lingua, &TModuloLingua::LanguageActivated);
    lingua.SelectLanguage(0);
    QCOMPARE(spy.size(), 0);
    QVERIFY(lingua.SelectedColumn().isEmpty());
    QVERIFY(!lingua.Text("LabelMenu", 30));
    QVERIFY(!lingua.LookUp("LabelMenu", "ITALIANO", 30));
  }

  void openFailures_data() {
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::newRow("no language name row")
        << QStringList({"IDENTIF", "ITALIANO"}) << QList<QStringList>({{"LabelMenu", "Menu"}});
    QTest::newRow("empty language name") << QStringList({"IDENTIF", "ITALIANO", "ENGLISH"})
                                         << QList<QStringList>({{"MenuLingua", "&Italiano", ""}});
    QTest::newRow("no key column by that name")
        << QStringList({"CHIAVE", "ITALIANO"}) << QList<QStringList>({{"MenuLingua", "&Italiano"}});
  }
  void openFailures() {
    QFETCH(QStringList, fields);
    QFETCH(QList<QStringList>, rows);
    TModuloLingua lingua;
    lingua.SetUsable(true);
    QVERIFY(!OpenTable(lingua, "broken.dbf", fields, rows));
    QVERIFY(!lingua.IsUsable());
    QCOMPARE(lingua.LanguageCount(), 0);
    QVERIFY(!lingua.IsActive());
  }

  void missingOrUnreadableTableFile() {
    TModuloLingua lingua;
    lingua.SetUsable(true);
    QVERIFY(!lingua.Open(dir_.path(), "DizionarioVnt.dbf"));
    QVERIFY(!lingua.IsUsable());
    QCOMPARE(lingua.LanguageCount(), 0);
    QVERIFY(!lingua.Activate());
    QVERIFY(!lingua.LookUp("MenuLingua", "ITALIANO", 12));

    QFile junk(dir_.filePath("junk.dbf"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("this is not a table");
    junk.close();
    QVERIFY(!lingua.Open(dir_.path(), "junk.dbf"));
  }

  // A damaged table whose header claims far more rows than the file holds (or
  // whose last row is cut short) opens with the whole rows it really has,
  // instead of reading row after missing row up to the claimed count.
  void damagedRowCount_data() {
    QTest::addColumn<bool>("truncate");
    QTest::newRow("row count past the end of the file") << false;
    QTest::newRow("row count past the end, last row cut") << true;
  }
  void damagedRowCount() {
    QFETCH(bool, truncate);
    const QString path = dir_.filePath("damaged.dbf");
    QVERIFY(WriteFixtureTable(path, kFields, kRows));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // Bytes 4-7: the number of rows, little-endian.
    bytes.replace(4, 4, QByteArray("\xff\xff\xff\x7f", 4));
    if (truncate) bytes.chop(10);
    QVERIFY(file.resize(0));
    QVERIFY(file.seek(0));
    QCOMPARE(file.write(bytes), bytes.size());
    file.close();

    // The table counts only the rows the file holds.
    {
      DbfTable table;
      QVERIFY(table.Open(path));
      QCOMPARE(table.RowCount(), truncate ? kRows.size() - 1 : kRows.size());
    }
    TModuloLingua lingua;
    QVERIFY(lingua.Open(dir_.path(), "damaged.dbf"));
    QCOMPARE(lingua.LanguageFields(), QStringList({"ITALIANO", "ENGLISH", "POLSKI"}));
    QCOMPARE(lingua.LookUp("LabelVisualizza", "ENGLISH", 35), QString("Parameter display"));
    QVERIFY(!lingua.LookUp("NoSuchKey", "ENGLISH", 35));
  }

  void reopenReplacesTheMenu() {
    TModuloLingua lingua;
    QVERIFY(OpenTable(lingua, "first.dbf", kFields, kRows));
    QVERIFY(OpenTable(lingua, "second.dbf", {"IDENTIF", "DEUTSCH"}, {{"MenuLingua", "&Deutsch"}}));
    QCOMPARE(lingua.LanguageFields(), QStringList({"DEUTSCH"}));
    QSignalSpy spy(&lingua, &TModuloLingua::LanguageActivated);
    lingua.SelectLanguage(0);
    QCOMPARE(spy.size(), 1);
  }

  void textWithoutAccelerator_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");
    QTest::newRow("before the first letter") << "&Italiano"
                                             << "Italiano";
    QTest::newRow("inside the word") << "Stam&pa"
                                     << "Stampa";
    QTest::newRow("none") << "Polski"
                          << "Polski";
    QTest::newRow("only the first is removed") << "A&b&c"
                                               << "Ab&c";
    QTest::newRow("empty") << ""
                           << "";
  }
  void textWithoutAccelerator() {
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    QCOMPARE(TModuloLingua::TextWithoutAccelerator(caption), expected);
  }
};

QTEST_MAIN(ModuloLinguaTest)
#include "ModuloLinguaTest.moc"
