// The whole program against the virtual ECU program on a real
// pseudo-terminal, through the real link library: the start-up connection and
// full read, a reload, a refused ECU, a pulled cable, and a configuration
// saved from one ECU and loaded into another.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ConfCar.h"
#include "Confronta.h"
#include "FileSalva.h"
#include "Fileapri.h"
#include "Files.h"
#include "FormMain.h"
#include "History.h"
#include "MessageBoxes.h"
#include "ProcessObjects.h"
#include "ProgressRecorder.h"
#include "Startup.h"
#include "ShellTestSupport.h"
#include "VirtualEcuProcess.h"
#include "WindowTestSupport.h"
#include "WriteJournal.h"

namespace {
constexpr int kSwitchTypeAddress = 66;
constexpr int kGasStartTemperatureAddress = 68;
constexpr int kLevelSensorTypeAddress = 59;  // parameter 59, slot 9
constexpr int kCalibratedLevelSensor = 131;

// An ECU memory unlike the factory one at every address the program reads,
// with a calibrated level sensor, so a whole-store write includes the level
// table. The two addresses the program neither reads nor writes keep their
// factory values.
bool MakeWornMemory(vecu::EcuMemory* memory) {
  for (int address = 0; address < vecu::kAddressCount; ++address) {
    if (!vecu::EcuMemory::Readable(address) || address == kSwitchTypeAddress ||
        address == kGasStartTemperatureAddress)
      continue;
    for (int i = 0; i < vecu::EcuMemory::Size(address); ++i) {
      int value = (address * 7 + i * 31 + 13) % 250 + 1;
      if (value == vecu::EcuMemory::Factory(address, i)) ++value;
      if (address == kLevelSensorTypeAddress) value = kCalibratedLevelSensor;
      if (memory->Write(address, i, value)) return false;
    }
  }
  return true;
}

// A store slot and the ECU address and element it is read from.
struct SlotSource {
  int identifier;
  int slot;
  int address;
  int index;
};

// Every slot the full read fills: identifiers 0 to 72 that have one.
std::vector<SlotSource> ReadSlots() {
  const ConfCar store("x.dmr");
  std::vector<SlotSource> out;
  for (int id = 0; id <= 72; ++id) {
    const int slot = store.MemberAddress(id);
    if (slot == kNoSlot) continue;
    const std::uint32_t code = ConfCar::ParameterCode(id);
    const int count = ecu::CodeIsArray(code) ? ecu::CodeElementCount(code) : 1;
    for (int i = 0; i < count; ++i) out.push_back({id, slot + i, ecu::CodeAddress(code), i});
  }
  return out;
}

// The slots whose value differs from the ECU's memory, for a failure message.
QStringList Mismatches(const ConfCar::Image& image, const vecu::EcuMemory& memory) {
  QStringList out;
  for (const SlotSource& s : ReadSlots()) {
    const int held = image[static_cast<std::size_t>(s.slot)];
    const int expected = memory.Get(s.address, s.index);
    if (held != expected)
      out << QStringLiteral("parameter %1 element %2: %3, ECU %4")
                 .arg(s.identifier)
                 .arg(s.index)
                 .arg(held)
                 .arg(expected);
  }
  return out;
}

QStringList MemoryDifferences(const vecu::EcuMemory& a, const vecu::EcuMemory& b) {
  QStringList out;
  for (int address = 0; address < vecu::kAddressCount; ++address) {
    for (int i = 0; i < vecu::EcuMemory::Size(address); ++i) {
      if (a.Get(address, i) != b.Get(address, i))
        out << QStringLiteral("%1[%2]: %3 vs %4")
                   .arg(address)
                   .arg(i)
                   .arg(a.Get(address, i))
                   .arg(b.Get(address, i));
    }
  }
  if (a.CustomerCode() != b.CustomerCode()) out << QStringLiteral("customer code");
  return out;
}

QStringList Starting(const QStringList& lines, const QString& word) {
  QStringList out;
  for (const QString& line : lines)
    if (line.startsWith(word)) out << line;
  return out;
}

// The whole-store write as the ECU must see it, ECU addresses and values.
QStringList WholeStoreWrites(const vecu::EcuMemory& memory) {
  const int scalarsFirst[] = {1,  2,  62, 57, 58, 63, 56, 54, 3,  59, 4,  51, 5,  6,  7, 8,
                              39, 38, 36, 35, 31, 32, 33, 34, 41, 42, 66, 40, 23, 24, 9, 10};
  const int scalarsThen[] = {28, 17, 12, 13, 45, 44, 18, 48, 43, 22,
                             55, 30, 19, 52, 53, 14, 15, 16, 46};
  QStringList out;
  auto write = [&](int identifier) {
    const std::uint32_t code = ConfCar::ParameterCode(identifier);
    const int address = ecu::CodeAddress(code);
    const int count = ecu::CodeIsArray(code) ? ecu::CodeElementCount(code) : 1;
    for (int i = 0; i < count; ++i)
      out << QStringLiteral("WRITE %1 %2 %3").arg(address).arg(i).arg(memory.Get(address, i));
  };
  for (const int id : scalarsFirst) write(id);
  write(25);
  write(27);
  for (const int id : scalarsThen) write(id);
  write(61);
  write(60);
  return out;
}

QString StoredSetting(const char* name) {
  QSettings stored(QStringLiteral("OXT srl"), QStringLiteral("MirelVantor"));
  return stored.value(QLatin1String(name)).toString();
}

const QString kMainCaption = QStringLiteral("Mirel Vantor");
}  // namespace

class EndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(runtime_.path()));
  }

  void init() {
    session_ = std::make_unique<SessionFixture>();
    QVERIFY(session_->Ready());
  }

  void cleanup() { session_.reset(); }

  // The full read at start-up fills the store with the ECU's memory, the
  // status bar says connected on the first port, and a reload reads again.
  void StartupReadsTheEcuAndReloadReadsAgain() {
    vecu::EcuMemory memory;
    QVERIFY(MakeWornMemory(&memory));
    VirtualEcuProcess ecu(session_->Folder(), QStringLiteral("ecu"));
    QVERIFY(ecu.Prepare(memory));
    const QString port = ecu.Start({QStringLiteral("--engine"), QStringLiteral("off")});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    ScopedMessageBoxCapture boxes;
    QStringList atStartup, afterReload;
    QString connection, portName, afterDisconnect, afterReconnect;
    QStringList atStartupProgress;
    int readsBeforeReload = 0;
    bool reconnected = false;
    ProgressRecorder progress;

    const bool finished = RunSession(port, [&](TFormMain& main) {
      atStartupProgress = progress.texts;
      ConfCar& store = *Process().store;
      connection = main.StatusPanel(TFormMain::kPanelConnection);
      portName = main.StatusPanel(TFormMain::kPanelPort);
      atStartup = Mismatches(store.RawImage(), memory);
      readsBeforeReload = int(Starting(ecu.Log(), QStringLiteral("READ ")).size());
      store.StoreRaw(store.MemberAddress(56), 0);
      main.Action(QStringLiteral("MenuRileggi"))->trigger();
      afterReload = Mismatches(store.RawImage(), memory);
      // Disconnected by hand, then connected again: the news reaches the
      // main window once the progress window is gone.
      main.Action(QStringLiteral("ActionDisconnetti"))->trigger();
      afterDisconnect = main.StatusPanel(TFormMain::kPanelConnection);
      main.Action(QStringLiteral("MenuRileggi"))->trigger();
      reconnected = QTest::qWaitFor(
          [&] { return main.StatusPanel(TFormMain::kPanelConnection) == connection; }, 5000);
      afterReconnect = main.StatusPanel(TFormMain::kPanelConnection);
    });

    QVERIFY(finished);
    QVERIFY2(boxes.Empty(), qPrintable(boxes.Last().text));
    QVERIFY2(atStartup.isEmpty(), qPrintable(atStartup.join(QLatin1Char('\n'))));
    // The store's progress reached the start-up progress window on screen.
    QCOMPARE(atStartupProgress, FullReadTexts(QStringLiteral("completato")));
    QVERIFY(progress.allShown);
    QCOMPARE(connection, QStringLiteral("Centralina connessa"));
    QCOMPARE(portName, QStringLiteral("COM1"));
    QVERIFY2(afterReload.isEmpty(), qPrintable(afterReload.join(QLatin1Char('\n'))));
    QVERIFY(readsBeforeReload > 0);
    QCOMPARE(Starting(ecu.Log(), QStringLiteral("READ ")).size(), 3 * readsBeforeReload);
    QCOMPARE(afterDisconnect, QStringLiteral("Centralina non connessa"));
    QVERIFY(reconnected);
    QCOMPARE(afterReconnect, QStringLiteral("Centralina connessa"));
    QCOMPARE(StoredSetting("MainPath"), session_->Folder());
  }

  // Every full read leaves a snapshot of the ECU and every write a journal
  // line; a history folder that cannot be written is said in the status bar
  // and the work goes on.
  void FullReadsLeaveSnapshotsAndWritesAJournal() {
    const std::filesystem::path folder = history::DefaultFolder();
    std::filesystem::remove_all(folder);
    VirtualEcuProcess ecu(session_->Folder(), QStringLiteral("ecu"));
    const QString port = ecu.Start({QStringLiteral("--engine"), QStringLiteral("off")});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    ScopedMessageBoxCapture boxes;
    int written = 0;
    QString compared;
    QVERIFY(RunSession(port, [&](TFormMain& main) {
      written = Process().store->SetValue(56, 3000);
      // The File menu's compare window: the snapshot at start-up against the ECU now.
      WhenModal<TFormConfronta>([&](TFormConfronta* window) {
        compared = window->LabelRisultato->text();
        window->close();
      });
      main.Action(QStringLiteral("MenuConfronta"))->trigger();
      main.Action(QStringLiteral("MenuRileggi"))->trigger();
    }));
    QCOMPARE(written, 1);
    QCOMPARE(compared, QStringLiteral("Parametri diversi: 1"));
    QCOMPARE(history::ListSnapshots(folder).snapshots.size(), std::size_t{2});
    const auto journal = ReadJournal(folder / "ecu-18-0-1-23" / "journal.csv");
    QCOMPARE(journal.lines.size(), std::size_t{1});
    QCOMPARE(journal.lines[0].identifier, 56);
    QCOMPARE(journal.lines[0].answer, std::string("accepted"));

    // A file where the history folder should be.
    std::filesystem::remove_all(folder);
    QFile blocker(QFile::decodeName(folder.c_str()));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString said;
    bool shown = false;
    QVERIFY(RunSession(port, [&](TFormMain& main) {
      said = main.statusBar()->currentMessage();
      shown = main.statusBar()->isVisible();
    }));
    QCOMPARE(said, QStringLiteral("Impossibile salvare lo storico della centralina."));
    QVERIFY(shown);
    QVERIFY(boxes.Empty());
    QFile::remove(blocker.fileName());
  }

  void RefusedEcuEndsStartup() {
    VirtualEcuProcess ecu(session_->Folder(), QStringLiteral("ecu"));
    const QString port = ecu.Start({QStringLiteral("--ident"), QStringLiteral("17,0,1,5")});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    ScopedMessageBoxCapture boxes;
    bool ran = false;

    QVERIFY(RunSession(port, [&](TFormMain&) { ran = true; }));

    QVERIFY(!ran);
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text,
             QString::fromUtf8("La centralina collegata non è compatibile con questo programma."));
    QCOMPARE(boxes.Last().title, QStringLiteral("Errore 17"));
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    QVERIFY(Starting(ecu.Log(), QStringLiteral("READ ")).isEmpty());
    QCOMPARE(StoredSetting("MainPath"), session_->Folder());
  }

  // The cable pulled while the program idles: the link notices, the main
  // window says so and the program ends by itself, writing its settings.
  void PulledCableEndsTheProgram() {
    VirtualEcuProcess ecu(session_->Folder(), QStringLiteral("ecu"));
    const QString port = ecu.Start();
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    ScopedMessageBoxCapture boxes;
    bool ran = false;

    const bool endedByItself = RunSession(
        port,
        [&](TFormMain&) {
          ran = true;
          ecu.PullCable();
        },
        false);

    QVERIFY(ran);
    QVERIFY(endedByItself);
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text, QString::fromUtf8("Impossibile comunicare con la centralina: "
                                                  "controllare il collegamento."));
    // Silence or a dead port, as the pulled cable shows itself: said in Italian.
    const QStringList reasons = {
        QString::fromUtf8("Nessuna risposta dalla centralina su %1: è accesa e il cavo è "
                          "collegato?")
            .arg(port),
        QString::fromUtf8("La porta %1 ha smesso di funzionare: il cavo è stato scollegato?")
            .arg(port)};
    QVERIFY2(reasons.contains(boxes.Last().detail), qPrintable(boxes.Last().detail));
    QCOMPARE(boxes.Last().title, kMainCaption);
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    QCOMPARE(StoredSetting("MainPath"), session_->Folder());
    QCOMPARE(StoredSetting("Language"), QStringLiteral("0"));
  }

  // A port that is not there, in the language chosen at the splash: the
  // reason under the message speaks it too.
  void AFailedStartSaysWhyInTheChosenLanguage_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("reason");
    QTest::newRow("Italiano") << 0
                              << QString::fromUtf8("Impossibile comunicare con la centralina: "
                                                   "controllare il collegamento.")
                              << QString::fromUtf8(
                                     "Non esiste la porta /dev/ttyNOPE: il cavo è collegato?");
    QTest::newRow("Deutsch") << 3
                             << QString::fromUtf8("Keine Verbindung zum Steuergerät: Kabel und "
                                                  "Anschluss prüfen.")
                             << QStringLiteral(
                                    "Es gibt keine Schnittstelle /dev/ttyNOPE: Ist das Kabel "
                                    "eingesteckt?");
  }
  void AFailedStartSaysWhyInTheChosenLanguage() {
    QFETCH(int, button);
    QFETCH(QString, message);
    QFETCH(QString, reason);
    qputenv("SEROXT_PORT", "/dev/ttyNOPE");
    ScopedMessageBoxCapture boxes;
    AnswerNextSplash(SplashAnswer::Enter, button);
    RunProgram({});
    qunsetenv("SEROXT_PORT");
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text, message);
    QCOMPARE(boxes.Last().detail, reason);
  }

  // Saved through the file windows from one ECU, loaded through them into a
  // second one: the second ends with the first's memory, written in the
  // whole-store order.
  void ConfigurationMovesBetweenEcus() {
    vecu::EcuMemory worn;
    QVERIFY(MakeWornMemory(&worn));
    VirtualEcuProcess first(session_->Folder(), QStringLiteral("first"));
    QVERIFY(first.Prepare(worn));
    const QString firstPort = first.Start({QStringLiteral("--engine"), QStringLiteral("off")});
    QVERIFY2(!firstPort.isEmpty(), qPrintable(first.Errors()));
    ScopedMessageBoxCapture boxes;
    QString savedName;

    QVERIFY(RunSession(firstPort, [&](TFormMain& main) {
      WhenModal<TFormFile>([](TFormFile* files) {
        WhenModal<TFormFileSalva>([](TFormFileSalva* save) {
          save->EditNome->clear();
          QTest::keyClicks(save->EditNome, QStringLiteral("auto1"));
          QTest::mouseClick(save->ButtonOk, Qt::LeftButton);
        });
        QTest::mouseClick(files->ButtonSalvaConf, Qt::LeftButton);
      });
      main.Action(QStringLiteral("ActionGestioneFile"))->trigger();
      savedName = main.StatusPanel(TFormMain::kPanelFile);
    }));
    first.Stop();
    QCOMPARE(savedName, QStringLiteral("auto1.dmr"));
    QVERIFY(
        QFile::exists(QDir(session_->Folder()).filePath(QStringLiteral("Configurazioni/auto1.dmr"))));

    VirtualEcuProcess second(session_->Folder(), QStringLiteral("second"));
    const QString secondPort = second.Start({QStringLiteral("--engine"), QStringLiteral("off")});
    QVERIFY2(!secondPort.isEmpty(), qPrintable(second.Errors()));
    QString loadedName;
    QString listed;

    QVERIFY(RunSession(secondPort, [&](TFormMain& main) {
      WhenModal<TFormFile>([&](TFormFile* files) {
        WhenModal<TFormApriFile>([&](TFormApriFile* open) {
          if (open->FileListBox->currentItem() != nullptr)
            listed = open->FileListBox->currentItem()->text();
          QTest::mouseClick(open->ButtonCarica, Qt::LeftButton);
        });
        QTest::mouseClick(files->ButtonCaricaConf, Qt::LeftButton);
      });
      main.Action(QStringLiteral("ActionGestioneFile"))->trigger();
      loadedName = main.StatusPanel(TFormMain::kPanelFile);
    }));
    second.Stop();

    QVERIFY2(boxes.Empty(), qPrintable(boxes.Last().text));
    QCOMPARE(listed, QStringLiteral("auto1.dmr"));
    QCOMPARE(loadedName, QStringLiteral("auto1.dmr"));
    QCOMPARE(Starting(second.Log(), QStringLiteral("WRITE ")), WholeStoreWrites(worn));
    const QStringList differences = MemoryDifferences(first.Memory(), second.Memory());
    QVERIFY2(differences.isEmpty(), qPrintable(differences.join(QLatin1Char('\n'))));
  }

 private:
  QTemporaryDir runtime_;
  std::unique_ptr<SessionFixture> session_;
};

QTEST_MAIN(EndToEndTest)
#include "EndToEndTest.moc"
