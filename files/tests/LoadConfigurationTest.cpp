// The one path that loads a configuration file into the store: what the store
// holds afterwards, as its configuration and as its file name.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "ConfCar.h"
#include "LoadConfiguration.h"
#include "RecordingLink.h"

class LoadConfigurationTest : public QObject {
  Q_OBJECT

 private slots:
  void OutcomeAndFileName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<bool>("keepsPreviousName");
    QTest::newRow("readable") << "salvata.vst" << int(LoadOutcome::Loaded) << false;
    QTest::newRow("missing") << "manca.vst" << int(LoadOutcome::Unreadable) << true;
    QTest::newRow("too long") << QString(300, QChar('x')) + ".vst"
                              << int(LoadOutcome::NameTooLong) << true;
  }

  void OutcomeAndFileName() {
    QFETCH(QString, name);
    QFETCH(int, outcome);
    QFETCH(bool, keepsPreviousName);
    QTemporaryDir dir;
    RecordingLink link;
    ConfCar store("default.dmr", &link);
    const QString saved = dir.filePath("salvata.vst");
    QVERIFY(store.SetFileName(StoreFileName(saved)));
    QVERIFY(store.SaveFile());
    store.SetFileName("precedente.dmr");
    link.calls.clear();
    const ConfCar::Image before = store.RawImage();

    const QString path = dir.filePath(name);
    QCOMPARE(int(LoadConfigurationFile(store, path, nullptr)), outcome);
    if (keepsPreviousName) {
      QCOMPARE(store.FileName(), std::string("precedente.dmr"));
      QVERIFY(store.RawImage() == before);
    } else {
      QCOMPARE(PathOfStoreFileName(store.FileName()), QDir::toNativeSeparators(path));
      QVERIFY(!link.calls.empty());
    }
  }

  void NamesBeyondAsciiRoundTrip() {
    const QString path = QStringLiteral("/tmp/configurazioni/città è.vst");
    QCOMPARE(PathOfStoreFileName(StoreFileName(path)), path);
  }
};

QTEST_MAIN(LoadConfigurationTest)
#include "LoadConfigurationTest.moc"
