// The dictionary generator: what it refuses (so a bad source table stops the
// build with a message) and what it writes (read back by the language module).
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "ModuloLingua.h"

namespace {
const QByteArray kHeader = "IDENTIF\tMAX\tITALIANO\tPOLSKI\n";
const QByteArray kLanguageNames = "MenuLingua\t12\t&Italiano\t&Polski\n";
}  // namespace

class MakeDictionaryTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  // Runs the generator on source; its exit code, its messages in errors.
  int Generate(const QByteArray& source, QString* errors = nullptr) {
    QFile file(dir_.filePath("source.tsv"));
    if (!file.open(QIODevice::WriteOnly)) return -1;
    file.write(source);
    file.close();
    QFile::remove(dir_.filePath("DizionarioVnt.dbf"));
    QProcess generator;
    generator.start(QStringLiteral(MAKE_DICTIONARY),
                    {dir_.filePath("source.tsv"), dir_.filePath("DizionarioVnt.dbf")});
    if (!generator.waitForFinished()) return -1;
    if (errors != nullptr) *errors = QString::fromUtf8(generator.readAllStandardError());
    return generator.exitCode();
  }

 private slots:
  void refusesABadSource_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("message");
    QTest::newRow("text longer than its maximum")
        << kHeader + kLanguageNames + "LabelMenu\t5\tMenu\tMenu główne\n"
        << "longer than 5";
    QTest::newRow("empty text") << kHeader + kLanguageNames + "LabelMenu\t30\tMenu\t\n"
                                << "no text in column POLSKI";
    QTest::newRow("text of spaces") << kHeader + kLanguageNames + "LabelMenu\t30\t   \tMenu\n"
                                    << "no text in column ITALIANO";
    QTest::newRow("key twice") << kHeader + kLanguageNames + kLanguageNames << "already on line";
    QTest::newRow("missing cell") << kHeader + kLanguageNames + "LabelMenu\t30\tMenu\n"
                                  << "expected 4 cells";
    QTest::newRow("MAX not a number") << kHeader + kLanguageNames + "LabelMenu\tx\tMenu\tMenu\n"
                                      << "MAX is not a number";
    QTest::newRow("unknown escape") << kHeader + kLanguageNames + "LabelMenu\t30\ta\\qb\tMenu\n"
                                    << "bad escape";
    QTest::newRow("not UTF-8") << kHeader + kLanguageNames + "LabelMenu\t30\tverr\xe0\tMenu\n"
                               << "not UTF-8";
    QTest::newRow("no key and MAX columns")
        << QByteArray("ITALIANO\tPOLSKI\n") << "IDENTIF and MAX";
    QTest::newRow("field name too long")
        << QByteArray("IDENTIF\tMAX\tITALIANISSIMO\n") << "field name";
    QTest::newRow("field name twice")
        << QByteArray("IDENTIF\tMAX\tPOLSKI\tpolski\n") << "field name twice";
    QTest::newRow("empty source") << QByteArray("# nothing\n") << "no header line";
  }
  void refusesABadSource() {
    QFETCH(QByteArray, source);
    QFETCH(QString, message);
    QString errors;
    QCOMPARE(Generate(source, &errors), 1);
    QVERIFY2(errors.contains(message), qPrintable(errors));
    QVERIFY(!QFile::exists(dir_.filePath("DizionarioVnt.dbf")));
  }

  void writesATableTheModuleReads() {
    const QByteArray source =
        "\xEF\xBB\xBF# comment line\r\n" + kHeader + "\n" + kLanguageNames +
        "MessDueRighe\t40\tPrima riga\\nverrà dopo\tZażółć\\tgęślą \\\\ jaźń\n";
    QCOMPARE(Generate(source), 0);
    QVERIFY(QFile::exists(dir_.filePath("DizionarioVnt.cpg")));
    TModuloLingua lingua;
    QVERIFY(lingua.Open(dir_.path(), "DizionarioVnt.dbf"));
    QCOMPARE(lingua.LanguageFields(), QStringList({"ITALIANO", "POLSKI"}));
    QCOMPARE(lingua.LookUp("MessDueRighe", "ITALIANO", 40),
             std::optional<QString>("Prima riga\nverrà dopo"));
    QCOMPARE(lingua.LookUp("MessDueRighe", "POLSKI", 40),
             std::optional<QString>("Zażółć\tgęślą \\ jaźń"));
  }
};

QTEST_MAIN(MakeDictionaryTest)
#include "MakeDictionaryTest.moc"
