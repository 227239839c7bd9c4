// The whole entry sequence in this process: the link library missing or
// without its factory, the first-run refusal, a start-up connection the link
// could not make (with the library's reason, when it gives one), and a demo
// session from the splash to the closing of the main window, each with the
// settings afterwards.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include "FormMain.h"
#include "MessageBoxes.h"
#include "ProcessObjects.h"
#include "Startup.h"
#include "ShellTestSupport.h"

namespace {
// Closes the main window as soon as it shows, noting its title line first.
void CloseMainWindowWhenShown(QString* title) {
  auto* timer = new QTimer(qApp);
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, timer, [timer, title] {
    TFormMain* main = Process().mainWindow;
    if (main == nullptr || !main->isVisible() || QApplication::activeModalWidget() != nullptr) {
      return;
    }
    timer->stop();
    timer->deleteLater();
    *title = main->LabelMenu->text();
    main->close();
  });
  timer->start();
}

QString StoredValue(const char* name) {
  QSettings stored(QStringLiteral("OXT srl"), QStringLiteral("MirelVantor"));
  return stored.value(QLatin1String(name)).toString();
}
}  // namespace

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // The single-instance lock and socket go to a folder of this test's own.
    QVERIFY(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
  }

  void cleanup() { SetProgramFolder(QString()); }

  void MissingLibraryIsReportedAndSettingsStillWritten() {
    SettingsSandbox sandbox;
    ProgramFolderFixture folder;
    QVERIFY(folder.AddBuiltDictionaryAndFlags());
    SetProgramFolder(folder.Path());
    ScopedMessageBoxCapture boxes;
    boxes.QueueAnswer(BoxAnswer::Yes);  // the first-run question

    QCOMPARE(RunProgram({QStringLiteral("/demo")}), 0);

    QCOMPARE(boxes.Requests().size(), 2);
    const BoxRequest library = boxes.Requests().at(1);
    QCOMPARE(library.icon, BoxIcon::Error);
    QVERIFY2(library.text.contains(QStringLiteral(ECU_LINK_LIBRARY_FILE)),
             qPrintable(library.text));
    // The title is still the one taken from the program file.
    QCOMPARE(library.title, QStringLiteral("StartupTest"));
    QVERIFY(QFile::exists(sandbox.SettingsFile()));
    QCOMPARE(StoredValue("Language"), QStringLiteral("0"));
    QCOMPARE(StoredValue("MainPath"), folder.Path());
    QCOMPARE(Process().mainWindow, nullptr);
  }

  void LibraryWithoutFactoryIsRefused() {
    SettingsSandbox sandbox;
    sandbox.Store(QStringLiteral("/old"), 2, 9);
    ProgramFolderFixture folder;
    QVERIFY(folder.AddLinkLibrary(QStringLiteral(NO_FACTORY_FOLDER)));
    SetProgramFolder(folder.Path());
    ScopedMessageBoxCapture boxes;

    QCOMPARE(RunProgram({}), 0);

    QCOMPARE(boxes.Requests().size(), 1);
    QVERIFY(boxes.Last().text.contains(QStringLiteral("_CreateClassInstance")));
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    QCOMPARE(StoredValue("Language"), QStringLiteral("2"));
    QCOMPARE(StoredValue("Stat1"), QStringLiteral("9"));
  }

  // The library's reason for a failed OpenLink shows as the second paragraph
  // of the "MessErrConn" box, read in full however long it is; an older
  // library that cannot say gives the message alone.
  void AFailedConnectionSaysWhy_data() {
    QTest::addColumn<QString>("library");
    QTest::addColumn<QString>("reason");
    const QString longReason =
        QString::fromUtf8("Porta /dev/ttyFAKE non trovata: è collegato il cavo? ").repeated(8);
    QTest::newRow("short reason") << FAKE_LINK_FOLDER << "There is no port /dev/ttyFAKE.";
    QTest::newRow("reason longer than the first buffer") << FAKE_LINK_FOLDER << longReason;
    QTest::newRow("library without the reason") << NO_REASON_FOLDER << "";
  }
  void AFailedConnectionSaysWhy() {
    QFETCH(QString, library);
    QFETCH(QString, reason);
    SettingsSandbox sandbox;
    sandbox.Store(QStringLiteral("/old"), 0, 0);
    ProgramFolderFixture folder;
    QVERIFY(folder.AddLinkLibrary(library));
    QVERIFY(folder.AddBuiltDictionaryAndFlags());
    SetProgramFolder(folder.Path());
    qputenv("FAKE_LINK_REASON", reason.toUtf8());
    ScopedMessageBoxCapture boxes;
    AnswerNextSplash(SplashAnswer::Enter);

    QCOMPARE(RunProgram({}), 0);
    qunsetenv("FAKE_LINK_REASON");

    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text, QString::fromUtf8("Impossibile comunicare con la centralina: controllare il collegamento."));
    QCOMPARE(boxes.Last().detail, reason);
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    QCOMPARE(boxes.Last().title, QStringLiteral("Mirel Vantor"));
  }

  void NoAtTheFirstRunEndsWithoutWriting() {
    SettingsSandbox sandbox;
    ProgramFolderFixture folder;
    QVERIFY(folder.AddLinkLibrary(QStringLiteral(FAKE_LINK_FOLDER)));
    SetProgramFolder(folder.Path());
    ScopedMessageBoxCapture boxes;  // No

    QCOMPARE(RunProgram({QStringLiteral("/demo")}), 0);

    QCOMPARE(boxes.Requests().size(), 1);
    QVERIFY(!QFile::exists(sandbox.SettingsFile()));
  }

  void DemoSessionFromSplashToShutdown() {
    SettingsSandbox sandbox;
    sandbox.Store(QStringLiteral("/elsewhere"), 1, 3);
    ProgramFolderFixture folder;
    QVERIFY(folder.AddLinkLibrary(QStringLiteral(FAKE_LINK_FOLDER)));
    QVERIFY(folder.AddBuiltDictionaryAndFlags());
    SetProgramFolder(folder.Path());
    const QString logFile = QDir(folder.Path()).filePath(QStringLiteral("calls.txt"));
    qputenv("FAKE_LINK_LOG", QFile::encodeName(logFile));

    ScopedMessageBoxCapture boxes;
    QString title;
    AnswerNextSplash(SplashAnswer::Enter);
    CloseMainWindowWhenShown(&title);
    QCOMPARE(RunProgram({QStringLiteral("/demo")}), 0);

    QVERIFY(boxes.Empty());
    // Enter kept the stored language (English, the second column).
    QCOMPARE(title, QStringLiteral("MAIN MENU"));
    QFile log(logFile);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLatin1(log.readAll()),
             QStringLiteral("Create SetStartOptionA(0) SetStartOptionB(4) AttachScreen(sink) "
                            "AttachScreen(null) Destroy"));
    QCOMPARE(StoredValue("Language"), QStringLiteral("1"));
    QCOMPARE(StoredValue("Stat1"), QStringLiteral("3"));
    QCOMPARE(StoredValue("MainPath"), folder.Path());
  }

 private:
  QTemporaryDir runtime_;
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
