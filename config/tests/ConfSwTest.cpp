// The software configuration window against the store on a recording link:
// its rows as the technician meets them, its pages, its captions and its
// Tag.
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "Beep.h"
#include "ConfCar.h"
#include "ConfSwFields.h"
#include "ConfigWindowTestSupport.h"
#include "FormConfSw.h"
#include "MessageBoxes.h"
#include "RecordingLink.h"

using params::Id;

class ConfSwTest : public QObject {
  Q_OBJECT

 private:
  RecordingLink link_;
  std::unique_ptr<ConfCar> store_;
  TModuloLingua lingua_;
  std::unique_ptr<TFormConfSw> window_;

  FieldEditor& Editor() { return window_->Editor(); }
  void Key(int key) { KeyAt(window_.get(), key); }

  // Opens the window on page, with the language's texts (none: no dictionary).
  void Open(int tag, TModuloLingua* language = nullptr) {
    FormContext context;
    context.store = store_.get();
    context.link = &link_;
    context.language = language != nullptr ? language : &lingua_;
    window_ = std::make_unique<TFormConfSw>(context);
    window_->SetTag(tag);
    QVERIFY(ShowActive(window_.get()));
  }

  std::vector<RecordingLink::Call> WritesTo(int identifier) const {
    std::vector<RecordingLink::Call> out;
    for (const auto& call : link_.Writes())
      if (call.code == ConfCar::ParameterCode(identifier)) out.push_back(call);
    return out;
  }

 private slots:
  void initTestCase() { QVERIFY(OpenBuiltDictionary(lingua_, QStringLiteral("ITALIANO"))); }

  void init() {
    QLocale::setDefault(QLocale::c());
    link_ = RecordingLink();
    link_.connected = true;
    store_ = std::make_unique<ConfCar>("test.dmr", &link_);
    lingua_.SetSelectedColumn(QStringLiteral("ITALIANO"));
  }

  void cleanup() {
    window_.reset();
    store_.reset();
  }

  // Each row as the window shows it: the parameter it edits, its range and
  // unit in the hint, and the page it is on; unit labels beside rows 6-7 only.
  void rowsMatchTheParameters() {
    const ExpectedRow expected[] = {
        {0, "EditPassiAp", Id::IdleOpeningStepTime, kNoElement, 1, " (1; 20) ", 0},
        {1, "EditPassiCh", Id::IdleClosingStepTime, kNoElement, 1, " (1; 20) ", 0},
        {2, "EditTPassiAp", Id::CruiseOpeningStepTime, kNoElement, 1, " (1; 20) ", 1},
        {3, "EditTPassiCh", Id::CruiseClosingStepTime, kNoElement, 1, " (1; 20) ", 1},
        {4, "EditInvIngr", Id::StepsToEnrichAtFirstLean, kNoElement, 1, " (0; 255) ", 1},
        {5, "EditInvSmagr", Id::StepsToLeanAtFirstRich, kNoElement, 1, " (0; 255) ", 1},
        {6, "EditTpsPotenza", Id::TpsVoltages, 2, 0.01, " (0; 5 V) ", 2},
        {7, "EditGiriPotenza", Id::PowerStartRpm, kNoElement, 50, " (3000; 7000 rpm) ", 2},
    };
    Open(256);
    QCOMPARE(Editor().RowCount(), int(std::size(expected)));
    for (const ExpectedRow& row : expected) {
      const QString mismatch = RowMismatch(Editor(), window_->PageControl1, row);
      QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
      QCOMPARE(Editor().UnitLabel(row.row) != nullptr, row.row >= 6);
    }
  }

  // The opener's page (low byte of Tag) is where the window starts; the page
  // active at closing goes back in Tag.
  void startsOnTheOpenersPageAndHandsBackTheActiveOne() {
    Open(256 + 2);
    QCOMPARE(window_->PageControl1->currentIndex(), 2);
    QCOMPARE(Editor().CurrentRow(), 6);
    QCOMPARE(window_->focusWidget(), Editor().Input(6));
    Key(Qt::Key_PageDown);
    QCOMPARE(window_->PageControl1->currentIndex(), 0);
    KeyAt(window_.get(), Qt::Key_Tab, Qt::ControlModifier);  // as in any tab widget
    QCOMPARE(window_->PageControl1->currentIndex(), 1);
    QCOMPARE(window_->focusWidget(), Editor().Input(2));
    KeyAt(window_.get(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(window_->PageControl1->currentIndex(), 0);
    Key(Qt::Key_Escape);
    QVERIFY(!window_->isVisible());
    QCOMPARE(window_->Tag(), 0);
  }

  // Navigation crosses pages; Home and End reach rows 0 and 7 from any page.
  void navigationCrossesPages() {
    Open(256);
    Key(Qt::Key_Up);
    QCOMPARE(Editor().CurrentRow(), 0);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    QCOMPARE(Editor().CurrentRow(), 2);
    QCOMPARE(window_->PageControl1->currentIndex(), 1);
    Key(Qt::Key_End);
    QCOMPARE(Editor().CurrentRow(), 7);
    QCOMPARE(window_->PageControl1->currentIndex(), 2);
    Key(Qt::Key_Down);
    QCOMPARE(Editor().CurrentRow(), 7);
    Key(Qt::Key_Home);
    QCOMPARE(Editor().CurrentRow(), 0);
    QCOMPARE(window_->PageControl1->currentIndex(), 0);
  }

  // Typed values: range, rounding to the step, and what is written.
  void valuesAreCheckedRoundedAndWritten_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("rawWritten");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    // Speed 1..20 is a step time of (21 - speed) * 5.
    QTest::newRow("speed below range") << 0 << "0" << QList<int>{} << "" << 1;
    QTest::newRow("speed above range") << 0 << "21" << QList<int>{} << "" << 1;
    QTest::newRow("speed rounded down") << 0 << "7.4" << QList<int>{70} << "7" << 0;
    QTest::newRow("speed half rounded up") << 0 << "7.5" << QList<int>{65} << "8" << 0;
    QTest::newRow("speed maximum") << 3 << "20" << QList<int>{5} << "20" << 0;
    QTest::newRow("speed below range, full power") << 7 << "2950" << QList<int>{} << "" << 1;
    QTest::newRow("full power speed minimum") << 7 << "3000" << QList<int>{40} << "3000" << 0;
    QTest::newRow("full power speed rounded down") << 7 << "3020" << QList<int>{40} << "3000" << 0;
    // 3050 rpm is period 39, which reads back as 3000.
    QTest::newRow("full power speed half up") << 7 << "3025" << QList<int>{39} << "3000" << 0;
    QTest::newRow("full power TPS") << 6 << "2.5" << QList<int>{127} << "2.5" << 0;
  }
  void valuesAreCheckedRoundedAndWritten() {
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QList<int>, rawWritten);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    Open(256 + PageOfRow(kConfSwPages, row));
    while (Editor().CurrentRow() < row) Key(Qt::Key_Down);
    const QString before = qobject_cast<QLineEdit*>(Editor().Input(row))->text();
    ScopedBeepCounter beepCounter;
    QVERIFY(EnterValue(window_.get(), typed));
    QList<int> written;
    for (const auto& call : link_.Writes()) written << call.value;
    QCOMPARE(written, rawWritten);
    QCOMPARE(qobject_cast<QLineEdit*>(Editor().Input(row))->text(),
             shown.isEmpty() ? before : shown);
    QCOMPARE(beepCounter.Count(), beeps);
  }

  // A step time longer than the scale's slowest shows as it is (below 1) and
  // can be replaced by a speed within the range.
  void speedOutsideTheScaleIsShownAndReplaceable() {
    store_->StoreRaw(store_->MemberAddress(9), 110);
    Open(256);
    QCOMPARE(Editor().Edit(0)->text(), QStringLiteral("-1"));
    QVERIFY(EnterValue(window_.get(), QStringLiteral("5")));
    QCOMPARE(Editor().Edit(0)->text(), QStringLiteral("5"));
    QCOMPARE(link_.Writes().size(), std::size_t(1));
    QCOMPARE(link_.Writes()[0].value, 80);
  }

  // Row 6 writes element 2 of the TPS voltages and nothing else.
  void fullPowerTpsWritesOneElement() {
    Open(256 + 2);
    QVERIFY(EnterValue(window_.get(), QStringLiteral("3")));
    const auto writes = link_.Writes();
    QCOMPARE(writes.size(), std::size_t(1));
    QCOMPARE(writes[0].op, std::string("element"));
    QCOMPARE(writes[0].code, ConfCar::ParameterCode(25));
    QCOMPARE(writes[0].index, 2);
  }

  // No range starts below zero: '-' never reaches a field.
  void minusCannotBeTyped() {
    Open(256);
    for (int row = 0; row < Editor().RowCount(); ++row) {
      auto* edit = qobject_cast<QLineEdit*>(Editor().Input(row));
      edit->setFocus();
      edit->clear();
      Type(edit, QStringLiteral("-1"));
      QCOMPARE(edit->text(), QStringLiteral("1"));
    }
  }

  // The captions in Italian and English; rows 0-5 take their texts at show.
  void captionsFromTheDictionary_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<QString>("lastPage");
    QTest::newRow("Italian") << "ITALIANO" << "Configurazioni Software avanzate"
                             << "Velocità di apertura dell'attuatore al minimo"
                             << "Configurazione max potenza";
    QTest::newRow("English") << "ENGLISH" << "Advanced software settings"
                             << "Actuator opening speed at idle" << "Maximum power settings";
  }
  void captionsFromTheDictionary() {
    QFETCH(QString, column);
    QFETCH(QString, title);
    QFETCH(QString, firstRow);
    QFETCH(QString, lastPage);
    lingua_.SetSelectedColumn(column);
    ScopedMessageBoxCapture boxes;
    Open(256);
    QVERIFY(boxes.Empty());
    QCOMPARE(window_->windowTitle(), title);
    QCOMPARE(Editor().Caption(0)->text(), firstRow);
    QCOMPARE(window_->PageControl1->tabText(2), lastPage);
  }

  // Without a dictionary: the message with the window's code, the design
  // captions where there are some, and empty captions on rows 0-5.
  void unreadableDictionary() {
    ScopedMessageBoxCapture boxes;
    FormContext context;
    context.store = store_.get();
    context.link = &link_;
    window_ = std::make_unique<TFormConfSw>(context);
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text, QStringLiteral("Problemi col database multilingua (Codice 4)."));
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    QVERIFY(ShowActive(window_.get()));
    QCOMPARE(window_->windowTitle(), QStringLiteral("Configurazioni Software avanzate"));
    QCOMPARE(window_->PageControl1->tabText(0), QStringLiteral("Configurazione minimo"));
    QCOMPARE(Editor().Caption(0)->text(), QString());
    QCOMPARE(Editor().Caption(7)->text(), QStringLiteral("Riferimento giri per inizio potenza"));
  }

  // The not-connected label follows the link.
  void notConnectedLabel() {
    link_.connected = false;
    Open(256);
    QVERIFY(window_->findChild<QLabel*>(QStringLiteral("LabelNonConnesso"))->isVisible());
    window_.reset();
    link_.connected = true;
    Open(256);
    QVERIFY(!window_->findChild<QLabel*>(QStringLiteral("LabelNonConnesso"))->isVisible());
  }
};

QTEST_MAIN(ConfSwTest)
#include "ConfSwTest.moc"
