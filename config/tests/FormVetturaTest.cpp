// The vehicle configuration window on the offscreen platform with the real
// dictionary, on a store over a recording link: the layout and the variant-2
// rows, the change-over and yellow-wires rules, the emulation and level-sensor
// choices through their own windows, and the memory erase.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "Beep.h"
#include "ConfCar.h"
#include "ConfigWindowTestSupport.h"
#include "FieldEditor.h"
#include "FormContext.h"
#include "FormEmulazione.h"
#include "FormSensore.h"
#include "FormVettura.h"
#include "MessageBoxes.h"
#include "RecordingLink.h"
#include "Scaling.h"
#include "WindowTestSupport.h"

namespace {

using Call = RecordingLink::Call;

Call W(std::uint32_t code, int value) {
  return {"write", code, 0, value};
}

}  // namespace

class FormVetturaTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { OverrideScreenWidth(800); }
  void init() {
    QVERIFY(OpenBuiltDictionary(lingua_, "ITALIANO"));
    link_ = std::make_unique<RecordingLink>();
    link_->connected = true;
    link_->memory[60] = {25, 55, 114, 161, 215, 225};
    store_ = std::make_unique<ConfCar>("default.dmr", link_.get());
    boxes_ = std::make_unique<ScopedMessageBoxCapture>();
  }
  void cleanup() {
    window_.reset();
    boxes_.reset();
    store_.reset();
    link_.reset();
  }

  // Eleven rows from top to bottom, 2 g from the top and h + g apart.
  void layoutOfElevenRows() {
    Open();
    const int h = window_->ComboBoxCil->height();
    const int g = (window_->ScrollBox1->height() - 11 * h) / 14;
    QCOMPARE(window_->ComboBoxCil->y(), 2 * g);
    for (int row = 1; row < 11; ++row)
      QCOMPARE(window_->Editor().Input(row)->y(), 2 * g + row * (h + g));
    QCOMPARE(window_->Editor().Caption(4)->y(), window_->Editor().Input(4)->y());
    QVERIFY(window_->Editor().Input(11)->isHidden());
    QCOMPARE(window_->Editor().CurrentRow(), 0);
    QVERIFY(boxes_->Empty());
    // Rows show the store: factory ignition code 50 is "biBobina", 2000 rpm, 0.4 s.
    QCOMPARE(window_->ComboBoxCil->currentText(), QString("biBobina"));
    QCOMPARE(window_->EditGiriCambio->text(), QString("2000"));
    QCOMPARE(window_->EditSovrappos->text(), QString("0.4"));
    QCOMPARE(window_->ComboBoxEmulazione->currentIndex(), 2);
    QCOMPARE(window_->ComboBoxSensore->currentIndex(), 0);
    QVERIFY(window_->findChild<QLabel*>("LabelNonConnesso")->isHidden());
    Screenshot(window_.get(), "vehicle-it");
  }

  // A variant-2 ECU: eight rows, the change-over rows and the level sensor
  // gone; Down goes from row 1 to row 4 and from row 4 to row 6.
  void variantTwoRows() {
    store_->SetVariantFlag(true);
    lingua_.SetSelectedColumn("ENGLISH");
    Open();
    QCOMPARE(window_->VisibleRowCount(), 8);
    for (int row : {2, 3, 5}) {
      QVERIFY(window_->Editor().Input(row)->isHidden());
      QVERIFY(!window_->Editor().Input(row)->isEnabled());
    }
    const int h = window_->ComboBoxCil->height();
    const int g = (window_->ScrollBox1->height() - 8 * h) / 11;
    QCOMPARE(window_->Editor().Input(4)->y(), 2 * g + 2 * (h + g));
    Press(Qt::Key_Down);
    QCOMPARE(window_->Editor().CurrentRow(), 1);
    Press(Qt::Key_Down);
    QCOMPARE(window_->Editor().CurrentRow(), 4);
    Press(Qt::Key_Down);
    QCOMPARE(window_->Editor().CurrentRow(), 6);
    QCOMPARE(window_->windowTitle(), QString("Vehicle configuration parameters"));
    QCOMPARE(window_->ComboBoxEmulazione->itemText(2), QString("Standard square wave"));
    Screenshot(window_.get(), "vehicle-variant2-en");
  }

  // The texts of each language, the lists' items included, with and without
  // the variant-2 rows.
  void textsInEachLanguage_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<bool>("variant");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("optical");
    QTest::addColumn<QString>("erase");
    QTest::newRow("Italian") << "ITALIANO" << false << "Parametri di configurazione della vettura"
                             << "Ottico" << "&Cancellazione EEprom (Alt-C)";
    QTest::newRow("Italian, variant 2") << "ITALIANO" << true
                                        << "Parametri di configurazione della vettura" << "Ottico"
                                        << "&Cancellazione EEprom (Alt-C)";
    QTest::newRow("English") << "ENGLISH" << false << "Vehicle configuration parameters"
                             << "Optical" << "&Clear EEprom (Alt-C)";
    QTest::newRow("English, variant 2") << "ENGLISH" << true << "Vehicle configuration parameters"
                                        << "Optical" << "&Clear EEprom (Alt-C)";
  }
  void textsInEachLanguage() {
    QFETCH(QString, column);
    QFETCH(bool, variant);
    lingua_.SetSelectedColumn(column);
    store_->SetVariantFlag(variant);
    Open();
    QTEST(window_->windowTitle(), "title");
    QTEST(window_->ComboBoxSensore->itemText(4), "optical");
    QTEST(window_->ButtonAzzera->text(), "erase");
    QVERIFY(boxes_->Empty());
    Screenshot(window_.get(), QStringLiteral("vehicle-%1%2")
                                  .arg(column.toLower(), variant ? "-variant2" : ""));
  }

  // "Partenza a Gas" greys and skips the change-over speed and renames the
  // overlap row; another choice restores both.
  void gasStartGreysTheChangeOverSpeed() {
    Open();
    Choose(window_->ComboBoxCambio, 3);
    QCOMPARE(link_->Writes().back(), W(63, 4));
    QVERIFY(!window_->EditGiriCambio->isEnabled());
    QCOMPARE(window_->LabelSovrappos->text(), QString("Tempo cicchetto benzina all'avviamento"));
    window_->ComboBoxCambio->setFocus();
    Press(Qt::Key_Down);
    QCOMPARE(window_->Editor().CurrentRow(), 4);
    Choose(window_->ComboBoxCambio, 1);
    QVERIFY(window_->EditGiriCambio->isEnabled());
    QCOMPARE(window_->LabelSovrappos->text(), QString("Tempo sovrapposizione carburanti"));
  }

  // "Stacca Memoria" greys the overlap time unless the car starts on gas.
  void memoryCutOffGreysTheOverlap() {
    Open();
    Choose(window_->ComboBoxGialli, 1);
    QVERIFY(!window_->EditSovrappos->isEnabled());
    Choose(window_->ComboBoxCambio, 3);
    QVERIFY(window_->EditSovrappos->isEnabled());
    Choose(window_->ComboBoxCambio, 0);
    QVERIFY(!window_->EditSovrappos->isEnabled());
    Choose(window_->ComboBoxGialli, 0);
    QVERIFY(window_->EditSovrappos->isEnabled());
  }

  void emulationChoiceWritesFiveToEight() {
    store_->StoreRaw(store_->MemberAddress(5), 0);  // "Sonda Sconnessa"
    Open();
    QCOMPARE(window_->ComboBoxEmulazione->currentIndex(), 1);
    ScopedBeepCounter beeps;
    Choose(window_->ComboBoxEmulazione, 2);
    const std::vector<Call> expected = {W(5, 18), W(6, 18), W(519, 0), W(8, 1)};
    QCOMPARE(link_->Writes(), expected);
    QCOMPARE(window_->ComboBoxEmulazione->currentIndex(), 2);
    QCOMPARE(beeps.Count(), 0);
  }

  // A refused write: one beep and the list shows the emulation the store has.
  void refusedEmulationShowsWhatTheEcuHas() {
    Open();
    link_->refusedCodes.insert(6);
    ScopedBeepCounter beeps;
    Choose(window_->ComboBoxEmulazione, 0);  // ground: 0, 0, 1 s, 1; the low time stays 360
    QCOMPARE(beeps.Count(), 1);
    QCOMPARE(window_->ComboBoxEmulazione->currentIndex(), 3);
  }

  void builtEmulationThroughItsWindow() {
    Open();
    WhenModal<TFormEmulazione>([](TFormEmulazione* emulation) {
      QCOMPARE(emulation->EditAlto->text(), QString("0.36"));
      emulation->EditAlto->setText("0.1");
      emulation->EditOnde->setText("4");
      emulation->EditTristate->setText("2");
      QTest::mouseClick(emulation->ButtonOk, Qt::LeftButton);
    });
    Choose(window_->ComboBoxEmulazione, 3);
    const std::vector<Call> expected = {W(5, 5), W(6, 18), W(519, 100), W(8, 4)};
    QCOMPARE(link_->Writes(), expected);
    QCOMPARE(window_->ComboBoxEmulazione->currentIndex(), 3);
  }

  // Five items, none blank; the reserve type shows position 3.
  void levelSensorListHasFiveItems() {
    store_->StoreRaw(9, 68);
    lingua_.SetSelectedColumn("ENGLISH");
    Open();
    QCOMPARE(window_->ComboBoxSensore->count(), 5);
    for (int i = 0; i < 5; ++i) QVERIFY(!window_->ComboBoxSensore->itemText(i).isEmpty());
    QCOMPARE(window_->ComboBoxSensore->itemText(4), QString("Optical"));
    QCOMPARE(window_->ComboBoxSensore->currentIndex(), 3);
  }

  void opticalSensorThroughTheCalibrationWindow() {
    Open();
    bool calculationShown = false;
    WhenModal<TFormSensore>([&](TFormSensore* sensor) {
      calculationShown = sensor->ButtonCalcola->isVisible();
      QCOMPARE(sensor->Edit1->text(), QString("230"));  // inverted maker's sensor
      sensor->Edit1->setText("170");
      sensor->Edit6->setText("236");
      QTest::mouseClick(sensor->ButtonCalcola, Qt::LeftButton);
      QTest::mouseClick(sensor->ButtonOk, Qt::LeftButton);
    });
    Choose(window_->ComboBoxSensore, 4);
    QVERIFY(calculationShown);
    const std::vector<Call> expected = {
        W(59, 4),           W(1, 0x20),         {"element", 60, 0, 170}, {"element", 60, 1, 179},
        {"element", 60, 2, 188}, {"element", 60, 3, 197}, {"element", 60, 4, 212},
        {"element", 60, 5, 236}};
    QCOMPARE(link_->Writes(), expected);
    QCOMPARE(window_->ComboBoxSensore->currentIndex(), 4);
  }

  void eraseTakenRefreshesTheRows() {
    link_->memory[56] = {40};  // the ECU's own value after the erase: 3000 rpm
    Open();
    window_->SetEraseWait(0);
    for (int i = 0; i < 3; ++i) Press(Qt::Key_Down);
    QCOMPARE(window_->Editor().CurrentRow(), 3);
    boxes_->QueueAnswer(BoxAnswer::Yes);
    QTest::mouseClick(window_->ButtonAzzera, Qt::LeftButton);
    QCOMPARE(link_->Writes().front(), (Call{"element", 0, 0, 0}));
    QVERIFY(window_->MemoryErased());
    QCOMPARE(window_->EditGiriCambio->text(), QString("3000"));
    QCOMPARE(boxes_->Requests().size(), 2);
    QCOMPARE(boxes_->Requests()[0].buttons, BoxButtons::YesNo);
    QCOMPARE(boxes_->Requests()[0].icon, BoxIcon::Warning);
    QCOMPARE(boxes_->Last().text,
             QString("Cancellazione completata: ripristinati i valori di fabbrica."));
    QCOMPARE(boxes_->Last().icon, BoxIcon::Information);
    QVERIFY(window_->ComboBoxCil->hasFocus());
    // Only the first row, where the window starts again, is highlighted.
    const QColor marked = window_->palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(window_->Editor().CurrentRow(), 0);
    QCOMPARE(window_->Editor().Caption(0)->palette().color(QPalette::Window), marked);
    QVERIFY(window_->Editor().Caption(3)->palette().color(QPalette::Window) != marked);
  }

  void eraseRefusedSaysSoAndChangesNothing() {
    Open();
    link_->refusedCodes.insert(0);
    store_->StoreRaw(store_->MemberAddress(56), 40);
    boxes_->QueueAnswer(BoxAnswer::Yes);
    window_->Azzera();
    QVERIFY(!window_->MemoryErased());
    QCOMPARE(link_->calls.size(), std::size_t{1});
    QCOMPARE(boxes_->Last().text,
             QString::fromUtf8("La centralina non ha cancellato la memoria: nessun valore è cambiato."));
    QCOMPARE(boxes_->Last().icon, BoxIcon::Error);
    QCOMPARE(store_->RawImage()[static_cast<std::size_t>(store_->MemberAddress(56))], 40);
  }

  void eraseAnsweredNoDoesNothing() {
    Open();
    window_->Azzera();  // the box's default answer is No
    QVERIFY(link_->calls.empty());
    QCOMPARE(boxes_->Requests().size(), 1);
    QVERIFY(!window_->MemoryErased());
  }

 private:
  void Open() {
    link_->calls.clear();
    FormContext context;
    context.store = store_.get();
    context.link = link_.get();
    context.language = &lingua_;
    window_ = std::make_unique<TFormVettura>(context);
    QVERIFY(ShowActive(window_.get()));
    link_->calls.clear();
  }
  void Press(int key) { KeyAt(window_.get(), key); }
  // A mouse choice: the list closes and the choice commits at once.
  void Choose(QComboBox* list, int index) {
    list->setFocus();
    list->setCurrentIndex(index);
    emit list->activated(index);
  }

  TModuloLingua lingua_;
  std::unique_ptr<RecordingLink> link_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<ScopedMessageBoxCapture> boxes_;
  std::unique_ptr<TFormVettura> window_;
};

QTEST_MAIN(FormVetturaTest)
#include "FormVetturaTest.moc"
