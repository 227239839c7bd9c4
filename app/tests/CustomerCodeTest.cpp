// The customer code: the cumulative-sum unscrambling of the prefix, and the
// "Cliente" command typed into the password box, which writes parameter 72
// only for the prefix followed by exactly three digits and never says a word.
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "MessageBoxes.h"
#include "PasswordDlg.h"
#include "ShellFixture.h"
#include "TypeKeys.h"

Q_DECLARE_METATYPE(Qt::Key)

namespace {
std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (const int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

}  // namespace

class CustomerCodeTest : public QObject {
  Q_OBJECT

 private slots:
  void Unscrambling_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("first character and differences")
        << QByteArray("\x41\x01\x01\xBD", 4) << QByteArray("ABC");
    QTest::newRow("differences wrap round 256")
        << QByteArray("\x7A\xC7\xBF", 3) << QByteArray("zA");
    QTest::newRow("bytes after the end are not used")
        << QByteArray("\x41\x01\xBE\x05\x05", 5) << QByteArray("AB");
    QTest::newRow("zero first byte") << QByteArray("\x00\x05", 2) << QByteArray();
    QTest::newRow("nothing stored") << QByteArray() << QByteArray();
    // No difference ever brings the sum to 0: twenty additions at most.
    QTest::newRow("no terminating difference") << (QByteArray("a") + QByteArray(30, '\x01'))
                                               << QByteArray("abcdefghijklmnopqrstu").left(20);
    QTest::newRow("sequence shorter than its text")
        << QByteArray("\x48\x01", 2) << QByteArray("HI");
  }
  void Unscrambling() {
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, text);
    std::vector<std::uint8_t> bytes(stored.begin(), stored.end());
    QCOMPARE(UnscrambleCumulative(bytes), text);
  }

  void PrefixIsAShortPrintableText() {
    const QByteArray prefix = CustomerCodePrefix();
    QVERIFY(!prefix.isEmpty());
    QVERIFY(prefix.size() <= 20);
    for (const char c : prefix) QVERIFY(c > 0x20 && c < 0x7F);
    QCOMPARE(CustomerCodePrefix(), prefix);
    // A prefix of exactly twenty characters survives the limit.
    const auto twenty =
        Bytes({0x41, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0xAC});
    QCOMPARE(UnscrambleCumulative(twenty), QByteArray("ABCDEFGHIJKLMNOPQRST"));
  }

  // What the person types (P stands for the prefix) and how the box ends;
  // code -1: nothing is written.
  void ClienteCommand_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<Qt::Key>("end");
    QTest::addColumn<int>("code");
    QTest::newRow("three digits") << "P123" << Qt::Key_Return << 123;
    QTest::newRow("leading zeros") << "P007" << Qt::Key_Return << 7;
    QTest::newRow("zero") << "P000" << Qt::Key_Return << 0;
    QTest::newRow("Esc still uses the text") << "P999" << Qt::Key_Escape << 999;
    QTest::newRow("prefix alone") << "P" << Qt::Key_Return << -1;
    QTest::newRow("two digits") << "P12" << Qt::Key_Return << -1;
    QTest::newRow("four digits") << "P1234" << Qt::Key_Return << -1;
    QTest::newRow("letters") << "Pabc" << Qt::Key_Return << -1;
    QTest::newRow("sign") << "P-12" << Qt::Key_Return << -1;
    QTest::newRow("space") << "P 12" << Qt::Key_Return << -1;
    QTest::newRow("not a Latin character") << "P12\u20AC" << Qt::Key_Return << -1;
    QTest::newRow("wrong case") << "p123" << Qt::Key_Return << -1;
    QTest::newRow("digits first") << "123P" << Qt::Key_Return << -1;
    QTest::newRow("nothing") << "" << Qt::Key_Return << -1;
  }
  void ClienteCommand() {
    QFETCH(QString, typed);
    QFETCH(Qt::Key, end);
    QFETCH(int, code);
    const QString prefix = QString::fromLatin1(CustomerCodePrefix());
    const QString text = typed.startsWith(QLatin1Char('p'))
                             ? prefix.toLower() + typed.mid(1)
                             : QString(typed).replace(QLatin1Char('P'), prefix);
    QVERIFY(prefix.toLower() != prefix);  // the wrong-case row means something
    ShellFixture f;
    f.Start({QStringLiteral("/demo")});
    const ConfCar::Image before = f.Store().RawImage();
    ScopedMessageBoxCapture boxes;
    bool shown = false;
    WhenModal<TPasswordDlg>([&](TPasswordDlg* dialog) {
      shown = true;
      QCOMPARE(dialog->Password->echoMode(), QLineEdit::Password);
      Type(dialog->Password, text);
      QCOMPARE(dialog->Password->text(), text);
      const QString folder = qEnvironmentVariable("MV_SCREENSHOTS");
      if (!folder.isEmpty() && qstrcmp(QTest::currentDataTag(), "three digits") == 0)
        dialog->grab().save(QDir(folder).filePath("password.png"));
      QTest::keyClick(dialog->Password, end);
    });

    f.Action("ActionCli")->trigger();

    QVERIFY(shown);
    QVERIFY(boxes.Empty());
    std::vector<ScriptedLink::Write> expected;
    if (code >= 0) expected.push_back({ConfCar::ParameterCode(72), code});
    QCOMPARE(f.link.writes, expected);
    QVERIFY(f.Store().RawImage() == before);
  }
};

QTEST_MAIN(CustomerCodeTest)
#include "CustomerCodeTest.moc"
