// The settings: the first-run question, the values written back and read again,
// and the folder and setting numbers.
#include <QFile>
#include <QSettings>
#include <QTest>

#include "GlobalData.h"
#include "MessageBoxes.h"
#include "ApplicationInfo.h"
#include "WindowTestSupport.h"

namespace {
const QString kQuestion = QString::fromUtf8(
    "Non è possibile eseguire correttamente il programma. \nContinuare in ogni caso?");
}

class GlobalDataTest : public QObject {
  Q_OBJECT

 private slots:
  void FirstRunAsksThenSecondRunDoesNot() {
    SettingsSandbox sandbox;
    QTemporaryDir programFolder;
    SetProgramFolder(programFolder.path());
    {
      ScopedMessageBoxCapture boxes;
      boxes.QueueAnswer(BoxAnswer::Yes);
      int goOn = -1;
      GlobalData settings(goOn);
      QCOMPARE(goOn, 1);
      QCOMPARE(boxes.Requests().size(), 1);
      QCOMPARE(boxes.Last().text, kQuestion);
      QCOMPARE(boxes.Last().title, ApplicationTitle());
      QCOMPARE(boxes.Last().icon, BoxIcon::Error);
      QCOMPARE(boxes.Last().buttons, BoxButtons::YesNo);
      QCOMPARE(settings.GetSetting(GlobalData::kLanguage), 0);
      // The main folder falls back to the program's own.
      QString main;
      QVERIFY(settings.GetPath(GlobalData::kMainFolder, main));
      QCOMPARE(main, programFolder.path());
      settings.SetSetting(GlobalData::kLanguage, 4);
    }
    QVERIFY(QFile::exists(sandbox.SettingsFile()));
    {
      ScopedMessageBoxCapture boxes;
      int goOn = -1;
      GlobalData settings(goOn);
      QCOMPARE(goOn, 1);
      QVERIFY(boxes.Empty());
      QCOMPARE(settings.GetSetting(GlobalData::kLanguage), 4);
    }
    SetProgramFolder(QString());
  }

  void NoAtTheQuestionStopsTheProgram() {
    SettingsSandbox sandbox;
    ScopedMessageBoxCapture boxes;  // answers No, the default
    int goOn = -1;
    GlobalData settings(goOn);
    QCOMPARE(goOn, 0);
    QCOMPARE(boxes.Requests().size(), 1);
  }

  // Values that cannot be read count as a first run.
  void UnreadableValuesAsk_data() {
    QTest::addColumn<QVariant>("language");
    QTest::addColumn<QVariant>("stat1");
    QTest::newRow("language of the wrong type") << QVariant("italiano") << QVariant(0);
    QTest::newRow("language missing") << QVariant() << QVariant(0);
    QTest::newRow("Stat1 missing") << QVariant(2) << QVariant();
  }
  void UnreadableValuesAsk() {
    QFETCH(QVariant, language);
    QFETCH(QVariant, stat1);
    SettingsSandbox sandbox;
    sandbox.Store(QStringLiteral("/somewhere"), language, stat1);
    ScopedMessageBoxCapture boxes;
    boxes.QueueAnswer(BoxAnswer::Yes);
    int goOn = -1;
    GlobalData settings(goOn);
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(goOn, 1);
  }

  // An installation provides the settings' defaults system-wide: the first
  // start of a user finds them and asks nothing, the user's own values win,
  // and user settings that cannot be read still get the question.
  void InstalledDefaults_data() {
    QTest::addColumn<QByteArray>("userFile");  // empty: the user has none
    QTest::addColumn<bool>("asks");
    QTest::addColumn<int>("language");
    QTest::newRow("first start") << QByteArray() << false << 2;
    QTest::newRow("the user's own language")
        << QByteArray("[General]\nMainPath=/a\nLanguage=4\nStat1=1\n") << false << 4;
    QTest::newRow("only a folder of the user's") << QByteArray("[General]\nMainPath=/a\n")
                                                 << false << 2;
    QTest::newRow("the user's language damaged")
        << QByteArray("[General]\nMainPath=/a\nLanguage=italiano\nStat1=0\n") << true << 0;
    QTest::newRow("the user's Stat1 damaged")
        << QByteArray("[General]\nMainPath=/a\nLanguage=3\nStat1=\"\n") << true << 3;
    // What can be read of it is kept, but the user is asked.
    QTest::newRow("the user's file garbled")
        << QByteArray("[General\nLanguage=3\n\xff\xfe\x00[") << true << 3;
  }
  void InstalledDefaults() {
    QFETCH(QByteArray, userFile);
    QFETCH(bool, asks);
    QFETCH(int, language);
    SettingsSandbox sandbox;
    sandbox.WriteSystemFile("[General]\nMainPath=/usr/lib/mirel-vantor\nLanguage=2\nStat1=0\n");
    if (!userFile.isEmpty()) sandbox.WriteUserFile(userFile);
    ScopedMessageBoxCapture boxes;
    boxes.QueueAnswer(BoxAnswer::Yes);
    int goOn = -1;
    GlobalData settings(goOn);
    QCOMPARE(goOn, 1);
    QCOMPARE(boxes.Requests().size(), asks ? 1 : 0);
    if (asks) QCOMPARE(boxes.Last().text, kQuestion);
    QCOMPARE(settings.GetSetting(GlobalData::kLanguage), language);
    settings.DiscardWithoutSaving();
  }

  void StoredValuesAreReadAndWrittenBack() {
    SettingsSandbox sandbox;
    sandbox.Store(QStringLiteral("/officina/mv"), 3, 7);
    {
      ScopedMessageBoxCapture boxes;
      int goOn = -1;
      GlobalData settings(goOn);
      QVERIFY(boxes.Empty());
      QCOMPARE(settings.GetSetting(GlobalData::kLanguage), 3);
      QCOMPARE(settings.GetSetting(GlobalData::kStat1), 7);
      QString folder;
      QVERIFY(settings.GetPath(GlobalData::kConfigurationsFolder, folder));
      QCOMPARE(folder, QStringLiteral("/officina/mv/Configurazioni"));
      QVERIFY(settings.SetPath(GlobalData::kMainFolder, QStringLiteral("/nuova")));
      QVERIFY(settings.GetPath(GlobalData::kConfigurationsFolder, folder));
      QCOMPARE(folder, QStringLiteral("/nuova/Configurazioni"));
      // Settings 8 and 9 live in memory only.
      QVERIFY(settings.SetSetting(GlobalData::kSetting8, 5));
      QCOMPARE(settings.GetSetting(GlobalData::kSetting8), 5);
    }
    QSettings stored(QStringLiteral("OXT srl"), QStringLiteral("MirelVantor"));
    QCOMPARE(stored.value(QStringLiteral("MainPath")).toString(), QStringLiteral("/nuova"));
    QCOMPARE(stored.value(QStringLiteral("Language")).toInt(), 3);
    QCOMPARE(stored.value(QStringLiteral("Stat1")).toInt(), 7);
    QCOMPARE(stored.allKeys().size(), 3);
  }

  void UnknownNumbersAreRefused() {
    SettingsSandbox sandbox;
    sandbox.Store(QStringLiteral("/a"), 1, 0);
    int goOn = -1;
    GlobalData settings(goOn);
    QString buffer = QStringLiteral("untouched");
    QVERIFY(!settings.GetPath(2, buffer));
    QCOMPARE(buffer, QStringLiteral("untouched"));
    QVERIFY(!settings.SetPath(GlobalData::kConfigurationsFolder, QStringLiteral("/b")));
    QVERIFY(!settings.SetSetting(10, 1));
    QCOMPARE(settings.GetSetting(10), 0);
    settings.DiscardWithoutSaving();
  }

  void DiscardedSettingsAreNotWritten() {
    SettingsSandbox sandbox;
    {
      ScopedMessageBoxCapture boxes;
      int goOn = -1;
      GlobalData settings(goOn);
      settings.DiscardWithoutSaving();
    }
    QVERIFY(!QFile::exists(sandbox.SettingsFile()));
  }

  // The recording rate is kept at once, survives a restart even when the
  // rest is discarded, and a rate that is not offered is neither stored nor
  // read back (a damaged value counts as the default, ten a second).
  void RecordingRateSurvivesARestart() {
    SettingsSandbox sandbox;
    sandbox.Store(QStringLiteral("/tmp"), 0, 0);
    {
      ScopedMessageBoxCapture boxes;
      int goOn = -1;
      GlobalData settings(goOn);
      QCOMPARE(settings.RecordingRate(), 10);
      QVERIFY(settings.SetRecordingRate(50));
      QVERIFY(!settings.SetRecordingRate(33));
      QCOMPARE(settings.RecordingRate(), 50);
      settings.DiscardWithoutSaving();
    }
    {
      ScopedMessageBoxCapture boxes;
      int goOn = -1;
      GlobalData settings(goOn);
      QCOMPARE(settings.RecordingRate(), 50);
      QVERIFY(settings.SetRecordingRate(0));  // as fast as the line allows
    }
    for (const char* stored : {"0", "20", "33", "fast", ""}) {
      QSettings(QStringLiteral("OXT srl"), QStringLiteral("MirelVantor"))
          .setValue(QStringLiteral("RecordingRate"), QString::fromLatin1(stored));
      ScopedMessageBoxCapture boxes;
      int goOn = -1;
      GlobalData settings(goOn);
      const int expected = QByteArray(stored) == "0" ? 0 : QByteArray(stored) == "20" ? 20 : 10;
      QCOMPARE(settings.RecordingRate(), expected);
    }
  }
};

QTEST_MAIN(GlobalDataTest)
#include "GlobalDataTest.moc"
