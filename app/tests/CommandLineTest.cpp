// The command line: "/demo" first, "/nocomm" second of exactly two arguments.
#include <QTest>

#include "CommandLine.h"

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void Evaluate_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("demo");
    QTest::addColumn<bool>("noComm");
    QTest::newRow("none") << QStringList{} << false << false;
    QTest::newRow("demo") << QStringList{"/demo"} << true << false;
    QTest::newRow("demo in capitals is not demo") << QStringList{"/DEMO"} << false << false;
    QTest::newRow("nocomm alone has no effect") << QStringList{"/nocomm"} << false << false;
    QTest::newRow("demo nocomm") << QStringList{"/demo", "/nocomm"} << true << true;
    QTest::newRow("any first then nocomm") << QStringList{"x", "/nocomm"} << false << true;
    QTest::newRow("third argument disables nocomm")
        << QStringList{"/demo", "/nocomm", "x"} << true << false;
    QTest::newRow("nocomm first, demo second") << QStringList{"/nocomm", "/demo"} << false << false;
    QTest::newRow("nocomm in capitals") << QStringList{"/demo", "/NOCOMM"} << true << false;
  }

  void Evaluate() {
    QFETCH(QStringList, arguments);
    const CommandLineOptions options = EvaluateCommandLine(arguments);
    QFETCH(bool, demo);
    QFETCH(bool, noComm);
    QCOMPARE(options.demo, demo);
    QCOMPARE(options.noComm, noComm);
  }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
