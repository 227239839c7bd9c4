// The vehicle configuration window in the whole program against the virtual
// ECU program on a real pseudo-terminal, through the real link library: the
// change-over and emulation choices as the ECU logs them, a level sensor
// calibrated while the tank fills and empties, and the memory erase.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ConfCar.h"
#include "FieldEditor.h"
#include "FieldNumbers.h"
#include "FormMain.h"
#include "FormSensore.h"
#include "FormVettura.h"
#include "MessageBoxes.h"
#include "ProcessObjects.h"
#include "ShellTestSupport.h"
#include "VirtualEcuProcess.h"
#include "WindowTestSupport.h"

namespace {

// A mouse choice in a list: it closes and the choice commits at once.
void Choose(QComboBox* list, int index) {
  list->setFocus();
  list->setCurrentIndex(index);
  emit list->activated(index);
}

// Opens the vehicle window from the main window's menu entry and runs action
// in it; the window is closed with its exit button afterwards.
void InVehicleWindow(TFormMain& main, const std::function<void(TFormVettura*)>& action) {
  WhenModal<TFormVettura>([action](TFormVettura* window) {
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    action(window);
    QTest::mouseClick(window->ButtonEsci, Qt::LeftButton);
  });
  main.Action(QStringLiteral("ActionConfVett"))->trigger();
}

QStringList Matching(const QStringList& lines, const QString& prefix) {
  QStringList out;
  for (const QString& line : lines)
    if (line.startsWith(prefix)) out << line;
  return out;
}

// What each row shows, as text: the list's item index or the edit's text.
QStringList RowsShown(TFormVettura& window) {
  QStringList out;
  FieldEditor& editor = window.Editor();
  for (int row = 0; row < editor.RowCount(); ++row) {
    if (QComboBox* list = editor.List(row))
      out << QString::number(list->currentIndex());
    else
      out << editor.Edit(row)->text();
  }
  return out;
}

}  // namespace

class VehicleEndToEndTest : public QObject {
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

  // "Partenza a Gas" greys the change-over speed and Down skips it; "Onda
  // Quadra Standard" reaches the ECU as parameters 5 to 8.
  void GasStartAndStandardWave() {
    vecu::EcuMemory memory;
    QVERIFY(!memory.Write(5, 0, 0));  // "Sonda Sconnessa": no high time
    VirtualEcuProcess ecu(session_->Folder(), QStringLiteral("ecu"));
    QVERIFY(ecu.Prepare(memory));
    const QString port = ecu.Start({QStringLiteral("--engine"), QStringLiteral("off")});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    ScopedMessageBoxCapture boxes;
    bool rpmEnabled = true;
    int afterChangeOver = -1;
    int emulationBefore = -1;
    int emulationAfter = -1;

    QVERIFY(RunSession(port, [&](TFormMain& main) {
      InVehicleWindow(main, [&](TFormVettura* window) {
        Choose(window->ComboBoxCambio, 3);
        rpmEnabled = window->EditGiriCambio->isEnabled();
        window->ComboBoxCambio->setFocus();
        QTest::keyClick(window->ComboBoxCambio, Qt::Key_Down);
        afterChangeOver = window->Editor().CurrentRow();
        emulationBefore = window->ComboBoxEmulazione->currentIndex();
        Choose(window->ComboBoxEmulazione, 2);
        emulationAfter = window->ComboBoxEmulazione->currentIndex();
        Screenshot(window, "vehicle-gas-start-it");
      });
    }));

    QVERIFY2(boxes.Empty(), qPrintable(boxes.Last().text));
    QVERIFY(!rpmEnabled);
    QCOMPARE(afterChangeOver, 4);
    QCOMPARE(emulationBefore, 1);
    QCOMPARE(emulationAfter, 2);
    const QStringList writes = Matching(ecu.Log(), QStringLiteral("WRITE "));
    QCOMPARE(writes, (QStringList{"WRITE 63 0 4", "WRITE 5 0 18", "WRITE 6 0 18",
                                  "WRITE 7 0 0", "WRITE 8 0 1"}));
  }

  // "Non Standard" opens the calibration window, which follows the level
  // while the tank fills and empties; the thresholds typed there reach the ECU.
  void NonStandardSensorWhileTheLevelMoves() {
    VirtualEcuProcess ecu(session_->Folder(), QStringLiteral("ecu"));
    const QString port = ecu.Start({QStringLiteral("--tank-cycle"), QStringLiteral("20")});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    ScopedMessageBoxCapture boxes;
    QStringList readings;
    int listAfter = -1;

    QVERIFY(RunSession(port, [&](TFormMain& main) {
      InVehicleWindow(main, [&](TFormVettura* window) {
        WhenModal<TFormSensore>([&](TFormSensore* sensor) {
          // Two readings, two seconds apart, differ while the tank moves
          // (checked once the session is over).
          (void)QTest::qWaitFor([&] {
            const QString shown = sensor->LabelvSens->text();
            if (shown != QLatin1String("0") && !readings.contains(shown)) readings << shown;
            return readings.size() >= 2;
          }, 7000);
          Screenshot(sensor, "sensor-live-it");
          sensor->SetThresholds({20, 40, 80, 120, 160, 200});
          QTest::mouseClick(sensor->ButtonOk, Qt::LeftButton);
        });
        Choose(window->ComboBoxSensore, 2);
        listAfter = window->ComboBoxSensore->currentIndex();
      });
    }));

    QVERIFY2(boxes.Empty(), qPrintable(boxes.Last().text));
    QVERIFY2(readings.size() >= 2, qPrintable(readings.join(' ')));
    QCOMPARE(listAfter, 2);
    const QStringList log = ecu.Log();
    const QStringList expected = {"WRITE 59 0 4",   "WRITE 60 0 20",  "WRITE 60 1 40",
                                  "WRITE 60 2 80",  "WRITE 60 3 120", "WRITE 60 4 160",
                                  "WRITE 60 5 200", "WRITE 1 0 0"};
    const QStringList writes = Matching(log, QStringLiteral("WRITE "));
    QCOMPARE(writes.mid(writes.indexOf(expected.front()), expected.size()), expected);
    QCOMPARE(ecu.Memory().Get(60, 3), 120);
  }

  // The erase: the ECU restores its factory values, every row shows them as
  // read back, and the main window no longer names a file.
  void EraseShowsFactoryValuesAndDropsTheFileName() {
    vecu::EcuMemory memory;
    const int changes[][2] = {{2, 51}, {56, 40}, {54, 50}, {59, 68}, {3, 5}, {4, 10},
                              {51, 4}, {5, 0},   {63, 2},  {1, 0x18}};
    for (const auto& change : changes) QVERIFY(!memory.Write(change[0], 0, change[1]));
    VirtualEcuProcess ecu(session_->Folder(), QStringLiteral("ecu"));
    QVERIFY(ecu.Prepare(memory));
    const QString port = ecu.Start({QStringLiteral("--engine"), QStringLiteral("off")});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    ScopedMessageBoxCapture boxes;
    boxes.QueueAnswer(BoxAnswer::Yes);
    QStringList before, after, factory;
    QString fileAfter;
    bool erasedFlag = false;

    QVERIFY(RunSession(port, [&](TFormMain& main) {
      main.SetStatusPanel(TFormMain::kPanelFile, QStringLiteral("auto1.dmr"));
      InVehicleWindow(main, [&](TFormVettura* window) {
        before = RowsShown(*window);
        QTest::mouseClick(window->ButtonAzzera, Qt::LeftButton);
        after = RowsShown(*window);
        erasedFlag = window->MemoryErased();
      });
      fileAfter = main.StatusPanel(TFormMain::kPanelFile);
      // What the rows show for a store of factory values.
      ConfCar& store = *Process().store;
      store.ResetDefaults();
      store.StoreRaw(69, 0);  // not read from the ECU: zero after a read
      store.StoreRaw(70, 0);
      InVehicleWindow(main, [&](TFormVettura* window) { factory = RowsShown(*window); });
    }));

    QVERIFY(erasedFlag);
    QVERIFY(Matching(ecu.Log(), QStringLiteral("ERASE")).size() == 1);
    QCOMPARE(boxes.Requests().size(), 2);
    QCOMPARE(boxes.Last().text,
             QStringLiteral("Cancellazione completata: ripristinati i valori di fabbrica."));
    QVERIFY(before != factory);
    QCOMPARE(after, factory);
    QCOMPARE(fileAfter, QString());
  }

 private:
  QTemporaryDir runtime_;
  std::unique_ptr<SessionFixture> session_;
};

QTEST_MAIN(VehicleEndToEndTest)
#include "VehicleEndToEndTest.moc"
