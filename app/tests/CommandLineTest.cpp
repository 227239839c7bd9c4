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

  // What --help and --version print; every other line starts the program,
  // Qt's own options and unknown ones included.
  void Information_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");  // "help", "version" or empty
    QTest::newRow("nothing") << QStringList{} << QString();
    QTest::newRow("demo") << QStringList{"/demo", "/nocomm"} << QString();
    QTest::newRow("--help") << QStringList{"--help"} << "help";
    QTest::newRow("-h") << QStringList{"-h"} << "help";
    QTest::newRow("--help-all") << QStringList{"--help-all"} << "help";
    QTest::newRow("help after demo") << QStringList{"/demo", "--help"} << "help";
    QTest::newRow("--version") << QStringList{"--version"} << "version";
    QTest::newRow("-v") << QStringList{"-v"} << "version";
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << QString();
    // Qt's own options are single-dash words, never runs of letters: -reverse
    // holds a 'v' and -stylesheet an 'h', which would be read as -v or -h.
    QTest::newRow("qt option with a v") << QStringList{"-reverse"} << QString();
    QTest::newRow("qt option with an h") << QStringList{"-stylesheet", "a.qss"} << QString();
    QTest::newRow("qt option with a value") << QStringList{"-platform", "offscreen"} << QString();
    QTest::newRow("after --") << QStringList{"--", "--help"} << QString();
  }
  void Information() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const QString text = InformationRequested(arguments, QStringLiteral("1.0"));
    if (expected.isEmpty()) {
      QCOMPARE(text, QString());
    } else if (expected == QLatin1String("version")) {
      QCOMPARE(text, QStringLiteral("Mirel Vantor 1.0\n"));
    } else {
      QVERIFY(text.startsWith(QLatin1String("Usage: mirel-vantor [options] [/demo [/nocomm]]\n")));
      for (const char* mention : {"/demo", "/nocomm", "--version", "SEROXT_PORT", "SEROXT_SIM"}) {
        QVERIFY2(text.contains(QLatin1String(mention)), mention);
      }
    }
  }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "CommandLineTest.moc"
