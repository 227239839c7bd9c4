// One copy at a time, with two real processes of the program: the second
// brings the first forward and ends with 0 without touching the settings.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include "SingleInstance.h"
#include "ShellTestSupport.h"

namespace {
QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}  // namespace

class SingleInstanceTest : public QObject {
  Q_OBJECT

 private slots:
  void SecondCopyEndsAndLeavesSettingsAlone() {
    // A program folder of its own: the program, the stand-in link library and
    // the dictionary.
    ProgramFolderFixture folder;
    QVERIFY(folder.AddLinkLibrary(QStringLiteral(FAKE_LINK_FOLDER)));
    QVERIFY(folder.AddBuiltDictionaryAndFlags());
    const QString program = QDir(folder.Path()).filePath(QStringLiteral("MirelVantor"));
    QVERIFY(QFile::copy(QStringLiteral(PROGRAM_FILE), program));
    QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);

    QTemporaryDir runtime, config;
    const QString settingsFile =
        QDir(config.path()).filePath(QStringLiteral("OXT srl/MirelVantor.conf"));
    QDir(config.path()).mkpath(QStringLiteral("OXT srl"));
    {
      QFile file(settingsFile);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("[General]\nMainPath=/elsewhere\nLanguage=1\nStat1=0\n");
    }
    const QByteArray settingsBefore = ReadAll(settingsFile);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());

    // The first copy waits on its splash for a language.
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(program, {QStringLiteral("/demo")});
    QVERIFY(first.waitForStarted());
    const QString socket = QDir(runtime.path()).filePath(QStringLiteral("OXTMutexName.socket"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 20000);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(program, {QStringLiteral("/demo")});
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    // The first copy answered the request to come forward.
    QVERIFY2(second.readAllStandardError().contains("already running"),
             "no answer from the first copy");
    QCOMPARE(ReadAll(settingsFile), settingsBefore);
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    QVERIFY(first.waitForFinished(20000));
  }

  // A request to come forward brings a minimised window back as it was
  // before, also when the window manager forgot "maximised" meanwhile.
  void AMinimisedWindowComesBackAsItWas_data() {
    QTest::addColumn<bool>("maximised");
    QTest::newRow("maximised") << true;
    QTest::newRow("at its own size") << false;
  }
  void AMinimisedWindowComesBackAsItWas() {
    QFETCH(bool, maximised);
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleInstance instance(QStringLiteral("OXTMutexName"));
    QVERIFY(instance.Claim());
    QWidget window;  // modal, so it is the window a request brings forward
    window.setWindowModality(Qt::ApplicationModal);
    window.resize(300, 200);
    if (maximised) {
      window.showMaximized();
    } else {
      window.show();
    }
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setWindowState(Qt::WindowMinimized);  // "maximised" forgotten

    SingleInstance::RaiseActiveWindow();

    QVERIFY(!window.isMinimized());
    QCOMPARE(window.isMaximized(), maximised);
    QVERIFY(window.isVisible());
  }

  // Only a lock held by another copy stops the program; a lock that cannot be
  // made at all (no such folder, no room, no permission) must not end it
  // without a word.
  void OnlyAHeldLockStopsTheProgram() {
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    SingleInstance first(QStringLiteral("OXTMutexName"));
    QVERIFY(first.Claim());
    SingleInstance second(QStringLiteral("OXTMutexName"));
    QVERIFY(!second.Claim());

    SingleInstance unlockable(QStringLiteral("no-such-folder/OXTMutexName"));
    QVERIFY(unlockable.Claim());
  }
};

QTEST_MAIN(SingleInstanceTest)
#include "SingleInstanceTest.moc"
