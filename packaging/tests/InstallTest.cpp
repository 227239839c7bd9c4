// `cmake --install` into a scratch prefix, then the installed commands run
// from their bin/ links: the program answers --help and --version without a
// display, starts in demo mode on the offscreen platform, finds its link
// library, dictionary and flags beside itself and reaches the main window;
// ecuctl finds the link library too.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {
const QString kProgramFolder = QStringLiteral("lib/mirel-vantor");
const QString kIconName = QStringLiteral("it.oxt.MirelVantor");
const QString kDefaults = QStringLiteral("etc/xdg/OXT srl/MirelVantor.conf");

struct Run {
  int exitCode = -1;
  QString out;
  QString err;
};

Run RunCommand(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
               int timeoutMs = 60000) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  Run run;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    run.err = QStringLiteral("did not finish in time: ");
  }
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
  run.err += QString::fromLocal8Bit(process.readAllStandardError());
  return run;
}

// Every file and link below folder, as paths relative to it.
QStringList FilesBelow(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::System | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) files.append(QDir(folder).relativeFilePath(it.next()));
  files.sort();
  return files;
}
// The environment of a user's first start on the offscreen platform, with
// the start probe riding along: settings, data and runtime folders inside
// home; empty when the runtime folder cannot be made.
QProcessEnvironment FirstStartEnvironment(const QDir& home) {
  if (!home.mkpath(QStringLiteral("runtime"))) return {};
  QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
  environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
  environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
  environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(PROBE_PLUGIN_FOLDER));
  environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("startprobe"));
  return environment;
}

// Starts the program in demo mode: no message box (no question about
// settings, no missing link library), the splash with every flag, English
// chosen, the main window reached and closed.
void StartsWithoutAQuestion(const QString& program, const QProcessEnvironment& environment) {
  const Run start = RunCommand(program, {QStringLiteral("/demo")}, environment);
  const QString report = start.err;
  QVERIFY2(start.exitCode == 0, qPrintable(report));
  QVERIFY2(!report.contains(QLatin1String("start-probe: message box")), qPrintable(report));
  QVERIFY2(report.contains(QLatin1String("start-probe: splash: 6 languages, 6 with a flag")),
           qPrintable(report));
  QVERIFY2(report.contains(QLatin1String("start-probe: main window 'Mirel Vantor', menu 'MAIN MENU'")),
           qPrintable(report));
}
}  // namespace

class InstallTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir prefix_;

  QString Installed(const QString& path) const { return QDir(prefix_.path()).filePath(path); }

 private slots:
  void initTestCase() {
    QVERIFY(prefix_.isValid());
    const Run install =
        RunCommand(QStringLiteral(CMAKE_COMMAND_FILE),
                   {QStringLiteral("--install"), QStringLiteral(BUILD_FOLDER),
                    QStringLiteral("--prefix"), prefix_.path()});
    QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));
  }

  // Only what the program needs lands in its folder: no test programs, no
  // build tools.
  void ProgramFolderHoldsThePrograms() {
    QStringList expected = {QStringLiteral("DizionarioVnt.cpg"), QStringLiteral("DizionarioVnt.dbf"),
                            QStringLiteral("MirelVantor"), QStringLiteral("ecu-sim"),
                            QStringLiteral("ecuctl"), QStringLiteral("libSerOxtDL.so")};
    for (const char* flag : {"DEUTSCH", "ENGLISH", "ESPANOL", "FRANCAIS", "ITALIANO", "POLSKI"}) {
      expected.append(QStringLiteral("immagini/%1.bmp").arg(QLatin1String(flag)));
    }
    expected.sort();
    QCOMPARE(FilesBelow(Installed(kProgramFolder)), expected);
    for (const char* program : {"MirelVantor", "ecu-sim", "ecuctl"}) {
      QVERIFY(QFileInfo(Installed(kProgramFolder + QLatin1Char('/') + QLatin1String(program)))
                  .isExecutable());
    }
  }

  void CommandsAreRelativeLinksIntoTheProgramFolder_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("program");
    QTest::newRow("program") << "mirel-vantor" << "MirelVantor";
    QTest::newRow("companion") << "ecuctl" << "ecuctl";
    QTest::newRow("virtual ECU") << "ecu-sim" << "ecu-sim";
  }
  void CommandsAreRelativeLinksIntoTheProgramFolder() {
    QFETCH(QString, command);
    QFETCH(QString, program);
    const QFileInfo link(Installed(QStringLiteral("bin/") + command));
    QVERIFY(link.isSymLink());
    // Relative, so the same link works inside a package.
    char target[4096] = {};
    const ssize_t length =
        ::readlink(QFile::encodeName(link.filePath()).constData(), target, sizeof target - 1);
    QVERIFY(length > 0);
    QCOMPARE(QString::fromLocal8Bit(target, length),
             QStringLiteral("../") + kProgramFolder + QLatin1Char('/') + program);
    QVERIFY(QFile::exists(link.filePath()));
  }

  void SystemFilesAreInPlace() {
    for (const QString& path :
         {QStringLiteral("share/applications/%1.desktop").arg(kIconName),
          QStringLiteral("share/metainfo/%1.metainfo.xml").arg(kIconName),
          QStringLiteral("lib/udev/rules.d/60-mirel-vantor.rules"),
          QStringLiteral("share/doc/mirel-vantor/copyright"),
          QStringLiteral("share/mirel-vantor/MirelVantor.conf"),
          QStringLiteral("share/doc/mirel-vantor/changelog.gz"),
          QStringLiteral("share/man/man1/mirel-vantor.1.gz"),
          QStringLiteral("share/man/man1/ecuctl.1.gz"),
          QStringLiteral("share/man/man1/ecu-sim.1.gz")}) {
      QVERIFY2(QFileInfo(Installed(path)).size() > 0, qPrintable(path));
    }
#ifdef HAVE_SVG_ICON
    QVERIFY(QFileInfo(Installed(QStringLiteral("share/icons/hicolor/scalable/apps/") + kIconName +
                                QStringLiteral(".svg")))
                .size() > 0);
#endif
  }

  // Each icon is drawn at the size its folder promises.
  void IconsHaveTheirFoldersSizes_data() {
    QTest::addColumn<int>("side");
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) QTest::addRow("%d", side) << side;
  }
  void IconsHaveTheirFoldersSizes() {
    QFETCH(int, side);
    const QString path =
        Installed(QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(kIconName));
    const QImage icon(path);
    QVERIFY2(!icon.isNull(), qPrintable(path));
    QCOMPARE(icon.size(), QSize(side, side));
    QVERIFY(icon.hasAlphaChannel());
    // Transparent corners, a painted middle.
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(icon.pixel(side / 2, side / 2)), 255);
  }

  // Outside /usr the defaults stay inside the prefix, naming this
  // installation's program folder.
  void SettingsDefaultsNameTheProgramFolder() {
    QSettings defaults(Installed(kDefaults), QSettings::IniFormat);
    QCOMPARE(defaults.status(), QSettings::NoError);
    QCOMPARE(defaults.value(QStringLiteral("MainPath")).toString(), Installed(kProgramFolder));
    QCOMPARE(defaults.value(QStringLiteral("Language")).toString(), QStringLiteral("0"));
    QCOMPARE(defaults.value(QStringLiteral("Stat1")).toString(), QStringLiteral("0"));
  }

  // Without any display: these must not need one.
  void HelpAndVersionNeedNoDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const QString program = Installed(QStringLiteral("bin/mirel-vantor"));

    const Run version = RunCommand(program, {QStringLiteral("--version")}, environment);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("Mirel Vantor " PROGRAM_VERSION "\n"));

    const Run help = RunCommand(program, {QStringLiteral("--help")}, environment);
    QCOMPARE(help.exitCode, 0);
    for (const char* mention : {"Usage: mirel-vantor", "/demo", "/nocomm", "SEROXT_PORT"}) {
      QVERIFY2(help.out.contains(QLatin1String(mention)), mention);
    }
  }

  // The start a user makes from the menu, in demo mode: the program finds its
  // link library (or it would say so in a box), its dictionary (English
  // captions) and its flags, and the main window opens and closes normally.
  void InstalledProgramReachesItsMainWindow() {
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QDir homeDir(home.path());
    // Settings as a first start finds them: the installed defaults.
    QVERIFY(homeDir.mkpath(QStringLiteral("config/OXT srl")));
    const QString settingsFile = homeDir.filePath(QStringLiteral("config/OXT srl/MirelVantor.conf"));
    QVERIFY(QFile::copy(Installed(kDefaults), settingsFile));
    const QProcessEnvironment environment = FirstStartEnvironment(homeDir);
    QVERIFY(!environment.isEmpty());
    StartsWithoutAQuestion(Installed(QStringLiteral("bin/mirel-vantor")), environment);
    if (QTest::currentTestFailed()) return;

    // Written back at the end: English, and the installed program folder.
    QSettings written(settingsFile, QSettings::IniFormat);
    QCOMPARE(written.value(QStringLiteral("Language")).toInt(), 1);
    QCOMPARE(written.value(QStringLiteral("MainPath")).toString(),
             QFileInfo(Installed(kProgramFolder)).canonicalFilePath());
  }

  // The build run as scripts/run.sh runs it, with the build's copy of the
  // installed defaults first in XDG_CONFIG_DIRS and no settings of the
  // user's: it asks nothing, and keeps build/bin as its folder. Without the
  // defaults it asks, as any program that finds no settings does.
  void BuildStartsWithTheInstalledDefaults() {
    const QString buildDefaults =
        QDir(QStringLiteral(BUILD_FOLDER)).filePath(QStringLiteral("xdg/OXT srl/MirelVantor.conf"));
    QSettings build(buildDefaults, QSettings::IniFormat);
    QSettings installed(Installed(kDefaults), QSettings::IniFormat);
    QCOMPARE(build.allKeys(), installed.allKeys());
    QCOMPARE(build.value(QStringLiteral("MainPath")).toString(),
             QStringLiteral(BUILD_FOLDER "/bin"));

    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QDir homeDir(home.path());
    QProcessEnvironment environment = FirstStartEnvironment(homeDir);
    QVERIFY(!environment.isEmpty());
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"),
                       QStringLiteral(BUILD_FOLDER "/xdg:/etc/xdg"));
    const QString program = QStringLiteral(BUILD_FOLDER "/bin/MirelVantor");
    StartsWithoutAQuestion(program, environment);
    if (QTest::currentTestFailed()) return;
    QSettings written(homeDir.filePath(QStringLiteral("config/OXT srl/MirelVantor.conf")),
                      QSettings::IniFormat);
    QCOMPARE(written.value(QStringLiteral("MainPath")).toString(),
             QStringLiteral(BUILD_FOLDER "/bin"));

    // Nowhere to find settings: the question.
    QTemporaryDir nowhere;
    QVERIFY(nowhere.isValid());
    environment = FirstStartEnvironment(QDir(nowhere.path()));
    environment.insert(QStringLiteral("XDG_CONFIG_DIRS"), nowhere.path());
    const Run start = RunCommand(program, {QStringLiteral("/demo")}, environment);
    QVERIFY2(start.err.contains(QLatin1String("start-probe: message box")), qPrintable(start.err));
  }

  void CompanionFindsTheLinkLibrary() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SEROXT_PORT"), QStringLiteral("sim"));
    const Run identify =
        RunCommand(Installed(QStringLiteral("bin/ecuctl")), {QStringLiteral("identify")}, environment);
    QVERIFY2(identify.exitCode == 0, qPrintable(identify.out + identify.err));
    QVERIFY2(identify.out.contains(QLatin1String("type code 18")), qPrintable(identify.out));
  }
};

QTEST_GUILESS_MAIN(InstallTest)
#include "InstallTest.moc"
