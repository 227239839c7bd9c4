// The optional configuration window against the store on a recording link:
// its rows, its option check boxes and their dependent rows, the show-time
// rules and a refused option write.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "Beep.h"
#include "ConfCar.h"
#include "ConfOptFields.h"
#include "ConfigWindowTestSupport.h"
#include "TextFit.h"
#include "FormConfOpt.h"
#include "MessageBoxes.h"
#include "RecordingLink.h"

namespace {

using params::Id;

// Raw type codes: TPS "lineare 0-5V", "lineare 5-0V" (inverted), "mono Bosch";
// level sensor "0-90 Ohm" and the maker's own (inverted).
constexpr int kTpsLinear = 0;
constexpr int kTpsInverted = 1;
constexpr int kTpsMonoBosch = 2;
constexpr int kLevelPlain = 2;
constexpr int kLevelInverted = 129;

enum BoxRow { kOverRevBox = 2, kLowLevelBox = 4, kDefaultBox = 6, kKickDownBox = 12, kCutOffBox = 17 };

}  // namespace

Q_DECLARE_METATYPE(params::Id)

class ConfOptTest : public QObject {
  Q_OBJECT

 private:
  RecordingLink link_;
  std::unique_ptr<ConfCar> store_;
  TModuloLingua lingua_;
  std::unique_ptr<TFormConfOpt> window_;

  FieldEditor& Editor() { return window_->Editor(); }
  void Key(int key) { KeyAt(window_.get(), key); }
  QLineEdit* Edit(int row) { return Editor().Edit(row); }
  QCheckBox* Box(int row) { return Editor().CheckBox(row); }

  void SetRaw(Id id, int raw) { store_->StoreRaw(store_->MemberAddress(params::Number(id)), raw); }
  // What the ECU answers when the parameter is read afresh.
  void EcuHolds(Id id, int raw) { link_.memory[ecu::CodeAddress(params::Row(id).code)] = {raw}; }

  void Open(int tag = 256) {
    FormContext context;
    context.store = store_.get();
    context.link = &link_;
    context.language = &lingua_;
    window_ = std::make_unique<TFormConfOpt>(context);
    window_->SetTag(tag);
    QVERIFY(ShowActive(window_.get()));
  }

  // Moves the focus to row through the keys.
  void GoTo(int row) {
    Key(Qt::Key_Home);
    for (int i = 0; i < 30 && Editor().CurrentRow() != row; ++i) Key(Qt::Key_Down);
    QCOMPARE(Editor().CurrentRow(), row);
  }

  QList<int> RawWrites(Id id) const {
    QList<int> out;
    for (const auto& call : link_.Writes())
      if (call.code == ConfCar::ParameterCode(params::Number(id))) out << call.value;
    return out;
  }

  bool RowShown(int row) { return !Editor().Input(row)->isHidden() && !Editor().Caption(row)->isHidden(); }

 private slots:
  void initTestCase() { QVERIFY(OpenBuiltDictionary(lingua_, QStringLiteral("ITALIANO"))); }

  void init() {
    QLocale::setDefault(QLocale::c());
    link_ = RecordingLink();
    link_.connected = true;
    store_ = std::make_unique<ConfCar>("test.dmr", &link_);
    SetRaw(Id::TpsType, kTpsLinear);
    SetRaw(Id::LevelSensorType, kLevelPlain);
    EcuHolds(Id::ActuatorDefaultPosition, 90);  // the default position the ECU computes
  }

  void cleanup() {
    window_.reset();
    store_.reset();
  }

  // Each row as the window shows it: parameter, range and unit in the hint,
  // page.
  void rowsMatchTheParameters() {
    const ExpectedRow expected[] = {
        {0, "EditTCambio", Id::ChangeOverMinimumTemperature, kNoElement, 1, " (15; 40 °C) ", 0},
        {1, "EditTPartenzaGas", Id::GasStartTemperature, kNoElement, 1, " (30; 80 °C) ", 0},
        {2, "CheckFuoriGiri", Id::OverRevThreshold, kNoElement, 0, "", 0},
        {3, "EditFuoriGiri", Id::OverRevThreshold, kNoElement, 100, " (4000; 8000 rpm) ", 0},
        {4, "CheckRientro", Id::ReturnToPetrolLevel, kNoElement, 0, "", 0},
        {5, "EditLivello", Id::ReturnToPetrolLevel, kNoElement, 1, " (1; 255) ", 0},
        {6, "CheckDefault", Id::FixedDefaultOption, kNoElement, 0, "", 1},
        {7, "EditDefault", Id::ActuatorDefaultPosition, kNoElement, 1, " (0; 255) ", 1},
        {8, "EditMaxApMin", Id::IdleOpeningStepsBeyond, kNoElement, 1, " (0; 255) ", 1},
        {9, "EditMinApMin", Id::IdleClosingStepsBelow, kNoElement, 1, " (0; 255) ", 1},
        {10, "EditMaxApFMin", Id::OffIdleOpeningStepsBeyond, kNoElement, 1, " (0; 255) ", 1},
        {11, "EditMinApFMin", Id::OffIdleClosingStepsBelow, kNoElement, 1, " (0; 255) ", 1},
        {12, "CheckAffondata", Id::FullThrottleTps, kNoElement, 0, "", 1},
        {13, "EditAffondata", Id::ActuatorAtFullThrottle, kNoElement, 1, " (0; 255) ", 1},
        {14, "EditTpsAffondata", Id::FullThrottleTps, kNoElement, 0.1, " (0; 4.9 V) ", 1},
        {15, "EditIstBosch", Id::MonoBoschHysteresis, kNoElement, 0.1, " (0; 5 V) ", 2},
        {16, "EditIstMin", Id::IdleTpsHysteresis, kNoElement, 0.01, " (0; 5 V) ", 2},
        {17, "CheckCutOff", Id::CutOffEndRpm, kNoElement, 0, "", 3},
        {18, "EditCutOff", Id::CutOffEndRpm, kNoElement, 100, " (1300; 7000 rpm) ", 3},
        {19, "EditPosCutOff", Id::ActuatorInCutOff, kNoElement, 1, " (0; 255) ", 3},
    };
    Open();
    QCOMPARE(Editor().RowCount(), int(std::size(expected)));
    for (const ExpectedRow& row : expected) {
      const QString mismatch = RowMismatch(Editor(), window_->PageControl1, row);
      QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
    }
  }

  // The pages' first rows: PageDown lands on each in turn (the Tps page on
  // row 16 when the TPS is not a mono Bosch).
  void pagesStartAtTheirFirstRows() {
    Open();
    QCOMPARE(Editor().CurrentRow(), 0);
    Key(Qt::Key_PageDown);
    QCOMPARE(Editor().CurrentRow(), 6);
    Key(Qt::Key_PageDown);
    QCOMPARE(Editor().CurrentRow(), 16);
    QCOMPARE(window_->focusWidget()->objectName(), QStringLiteral("EditIstMin"));
    QVERIFY(!RowShown(15) && Editor().UnitLabel(15)->isHidden());
    Key(Qt::Key_PageDown);
    QCOMPARE(Editor().CurrentRow(), 17);
    Key(Qt::Key_PageDown);
    QCOMPARE(Editor().CurrentRow(), 0);
  }

  void monoBoschShowsItsHysteresis() {
    SetRaw(Id::TpsType, kTpsMonoBosch);
    Open(256 + 2);
    QCOMPARE(Editor().CurrentRow(), 15);
    QVERIFY(RowShown(15) && !Editor().UnitLabel(15)->isHidden());
  }

  // Row 1 is never shown nor focused: Down from row 0 goes to the over-rev box.
  void hiddenRowIsSkipped() {
    Open();
    QVERIFY(!RowShown(1));
    Key(Qt::Key_Down);
    QCOMPARE(Editor().CurrentRow(), int(kOverRevBox));
  }

  // Variant 2: no change-over page; the window opens on the actuator page,
  // Home focuses the fixed-default box and PageDown from the cut-off page
  // comes round to the actuator page.
  void variantHidesTheChangeOverPage() {
    store_->SetVariantFlag(true);
    Open(256 + 1);
    QVERIFY(!window_->PageControl1->isTabVisible(0));
    QCOMPARE(window_->PageControl1->currentIndex(), 1);
    Key(Qt::Key_Home);
    QCOMPARE(Editor().CurrentRow(), int(kDefaultBox));
    Key(Qt::Key_Up);
    QCOMPARE(Editor().CurrentRow(), int(kDefaultBox));
    Key(Qt::Key_PageUp);
    QCOMPARE(window_->PageControl1->currentIndex(), 3);
    Key(Qt::Key_PageDown);
    QCOMPARE(window_->PageControl1->currentIndex(), 1);
    Key(Qt::Key_Escape);
    QCOMPARE(window_->Tag(), 1);
  }

  // Ctrl+Tab and Ctrl+Shift+Tab turn the pages as PageDown and PageUp do,
  // from an edit and from a check box alike, skipping a hidden tab; plain
  // Tab on a check box still keeps the focus there.
  void ctrlTabTurnsThePages_data() {
    QTest::addColumn<bool>("variant");
    QTest::addColumn<int>("startRow");
    QTest::addColumn<bool>("back");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("row");
    QTest::newRow("edit, forward") << false << 0 << false << 1 << int(kDefaultBox);
    QTest::newRow("check box, forward") << false << int(kOverRevBox) << false << 1 << int(kDefaultBox);
    QTest::newRow("edit, back to the last page") << false << 0 << true << 3 << int(kCutOffBox);
    QTest::newRow("check box, back") << false << int(kDefaultBox) << true << 0 << 0;
    QTest::newRow("hidden tab skipped") << true << int(kDefaultBox) << true << 3 << int(kCutOffBox);
    QTest::newRow("hidden tab skipped, forward") << true << int(kCutOffBox) << false << 1
                                                 << int(kDefaultBox);
  }

  void ctrlTabTurnsThePages() {
    QFETCH(bool, variant);
    QFETCH(int, startRow);
    QFETCH(bool, back);
    QFETCH(int, page);
    QFETCH(int, row);
    store_->SetVariantFlag(variant);
    Open(256 + (variant ? 1 : 0));
    GoTo(startRow);
    const Qt::KeyboardModifiers modifiers =
        back ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier;
    KeyAt(window_.get(), back ? Qt::Key_Backtab : Qt::Key_Tab, modifiers);
    QCOMPARE(window_->PageControl1->currentIndex(), page);
    QCOMPARE(Editor().CurrentRow(), row);
    QCOMPARE(window_->focusWidget(), Editor().Input(row));
    GoTo(int(kOverRevBox) + (variant ? 4 : 0));
    const int boxRow = Editor().CurrentRow();
    Key(Qt::Key_Tab);
    QCOMPARE(Editor().CurrentRow(), boxRow);
  }

  // Over-rev at 6600: the option is on with its threshold; 7500 is within the
  // row's range and switches the option off at the next opening.
  void overRevThreshold() {
    SetRaw(Id::OverRevThreshold, 120000 / 6600);
    Open();
    QVERIFY(Box(kOverRevBox)->isChecked());
    QCOMPARE(Edit(kRowFuoriGiri)->text(), QStringLiteral("6600"));
    GoTo(kRowFuoriGiri);
    QVERIFY(EnterValue(window_.get(), QStringLiteral("7500")));
    QCOMPARE(RawWrites(Id::OverRevThreshold), QList<int>{120000 / 7500});
    window_.reset();
    Open();
    QVERIFY(!Box(kOverRevBox)->isChecked());
    QVERIFY(!RowShown(kRowFuoriGiri));
    QVERIFY(Editor().UnitLabel(kRowFuoriGiri)->isHidden());
  }

  // A speed option is off when its byte holds 255, the byte the window writes
  // to switch it off (and 0, which is no speed either); on for a real speed.
  // Switched on from off, it starts at its usual speed.
  void speedOptionsReadTheirOffByte_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<Id>("parameter");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("raw");
    QTest::addColumn<QString>("shown");  // empty: the option reads as off
    QTest::addColumn<QString>("switchedOn");
    QTest::newRow("over-rev 255")
        << int(kOverRevBox) << Id::OverRevThreshold << int(kRowFuoriGiri) << 255 << "" << "6000";
    QTest::newRow("over-rev 0")
        << int(kOverRevBox) << Id::OverRevThreshold << int(kRowFuoriGiri) << 0 << "" << "6000";
    QTest::newRow("over-rev 7000 rpm")
        << int(kOverRevBox) << Id::OverRevThreshold << int(kRowFuoriGiri) << 120000 / 7000 << "7000"
        << "";
    QTest::newRow("cut-off 255")
        << int(kCutOffBox) << Id::CutOffEndRpm << int(kRowCutOff) << 255 << "" << "1700";
    QTest::newRow("cut-off 0") << int(kCutOffBox) << Id::CutOffEndRpm << int(kRowCutOff) << 0 << ""
                               << "1700";
    QTest::newRow("cut-off 1300 rpm")
        << int(kCutOffBox) << Id::CutOffEndRpm << int(kRowCutOff) << 120000 / 1300 << "1300"
        << "";
  }
  void speedOptionsReadTheirOffByte() {
    QFETCH(int, box);
    QFETCH(Id, parameter);
    QFETCH(int, row);
    QFETCH(int, raw);
    QFETCH(QString, shown);
    QFETCH(QString, switchedOn);
    SetRaw(parameter, raw);
    Open();
    const bool on = !shown.isEmpty();
    QCOMPARE(Box(box)->isChecked(), on);
    QCOMPARE(RowShown(row), on);
    QVERIFY(RawWrites(parameter).isEmpty());
    if (on) {
      QCOMPARE(Edit(row)->text(), shown);
      return;
    }
    GoTo(box);
    Key(Qt::Key_Return);
    QVERIFY(Box(box)->isChecked());
    QCOMPARE(Edit(row)->text(), switchedOn);
    QCOMPARE(RawWrites(parameter), QList<int>{120000 / switchedOn.toInt()});
  }

  // Each option toggled on and off: what is written and what the dependent
  // rows show. The store starts with the option off.
  void optionsWriteAndShowTheirRows_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<int>("tpsType");
    QTest::addColumn<int>("levelType");
    QTest::addColumn<Id>("parameter");
    QTest::addColumn<QList<int>>("rawOnThenOff");
    QTest::addColumn<int>("dependent");
    QTest::addColumn<QString>("dependentText");
    QTest::newRow("over-rev") << int(kOverRevBox) << kTpsLinear << kLevelPlain
                              << Id::OverRevThreshold << QList<int>{20, 12} << int(kRowFuoriGiri)
                              << "6000";
    QTest::newRow("low level") << int(kLowLevelBox) << kTpsLinear << kLevelPlain
                               << Id::ReturnToPetrolLevel << QList<int>{12, 0} << int(kRowLivello)
                               << "12";
    QTest::newRow("low level, inverted sensor")
        << int(kLowLevelBox) << kTpsLinear << kLevelInverted << Id::ReturnToPetrolLevel
        << QList<int>{12, 0} << int(kRowLivello) << "243";
    QTest::newRow("cut-off from off")
        << int(kCutOffBox) << kTpsLinear << kLevelPlain << Id::CutOffEndRpm
        << QList<int>{120000 / 1700, 12} << int(kRowCutOff) << "1700";
    QTest::newRow("kick-down") << int(kKickDownBox) << kTpsLinear << kLevelPlain
                               << Id::FullThrottleTps << QList<int>{204, 255}
                               << int(kRowTpsAffondata) << "4";
    QTest::newRow("kick-down, inverted TPS")
        << int(kKickDownBox) << kTpsInverted << kLevelPlain << Id::FullThrottleTps
        << QList<int>{51, 255} << int(kRowTpsAffondata) << "1";
  }
  void optionsWriteAndShowTheirRows() {
    QFETCH(int, box);
    QFETCH(int, tpsType);
    QFETCH(int, levelType);
    QFETCH(Id, parameter);
    QFETCH(QList<int>, rawOnThenOff);
    QFETCH(int, dependent);
    QFETCH(QString, dependentText);
    SetRaw(Id::TpsType, tpsType);
    SetRaw(Id::LevelSensorType, levelType);
    // Every option off to start with.
    SetRaw(Id::OverRevThreshold, 12);
    SetRaw(Id::CutOffEndRpm, 12);
    // Off either way: 0, or 255 read through an inverted sensor.
    SetRaw(Id::ReturnToPetrolLevel, 0);
    SetRaw(Id::FullThrottleTps, 255);  // 5 V, or 0 V read through an inverted TPS
    Open();
    QVERIFY(!Box(box)->isChecked());
    QVERIFY(!RowShown(dependent));
    GoTo(box);
    Key(Qt::Key_Return);
    QVERIFY(Box(box)->isChecked());
    QVERIFY(RowShown(dependent));
    QVERIFY(Editor().Input(dependent)->isEnabled());
    QCOMPARE(Edit(dependent)->text(), dependentText);
    Key(Qt::Key_Return);
    QVERIFY(!RowShown(dependent));
    QCOMPARE(RawWrites(parameter), rawOnThenOff);
  }

  // The kick-down position goes with the option: 100 steps when it is on.
  void kickDownWritesItsPosition() {
    SetRaw(Id::TpsType, kTpsInverted);
    SetRaw(Id::FullThrottleTps, 255);
    Open();
    GoTo(kKickDownBox);
    Key(Qt::Key_Return);
    QCOMPARE(Edit(kRowAffondata)->text(), QStringLiteral("100"));
    QCOMPARE(RawWrites(Id::ActuatorAtFullThrottle), QList<int>{100});
    QCOMPARE(store_->GetValue(Id::FullThrottleTps), 4.0L);
  }

  // The fixed default: the position is read afresh from the ECU either way.
  void fixedDefaultShowsTheEcusPosition() {
    Open(256 + 1);
    QVERIFY(!Box(kDefaultBox)->isChecked());
    QCOMPARE(Edit(kRowDefault)->text(), QStringLiteral("90"));
    EcuHolds(Id::ActuatorDefaultPosition, 77);
    Key(Qt::Key_Return);
    QVERIFY(Box(kDefaultBox)->isChecked());
    QVERIFY(RowShown(kRowDefault));
    QCOMPARE(Edit(kRowDefault)->text(), QStringLiteral("77"));
  }

  // The low-level row refuses the level that would switch the option off.
  void lowLevelRowRefusesTheOffLevel_data() {
    QTest::addColumn<int>("levelType");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("accepted");
    QTest::newRow("plain sensor") << kLevelPlain << "0" << "254";
    QTest::newRow("inverted sensor") << kLevelInverted << "255" << "1";
  }
  void lowLevelRowRefusesTheOffLevel() {
    QFETCH(int, levelType);
    QFETCH(QString, refused);
    QFETCH(QString, accepted);
    SetRaw(Id::LevelSensorType, levelType);
    SetRaw(Id::ReturnToPetrolLevel, 100);
    Open();
    GoTo(kRowLivello);
    ScopedBeepCounter beeps;
    QVERIFY(EnterValue(window_.get(), refused));
    QCOMPARE(beeps.Count(), 1);
    QVERIFY(RawWrites(Id::ReturnToPetrolLevel).isEmpty());
    QVERIFY(EnterValue(window_.get(), accepted));
    QCOMPARE(beeps.Count(), 1);
    QCOMPARE(Edit(kRowLivello)->text(), accepted);
  }

  // A refused option write: one beep, and the box and its rows show what the
  // store holds.
  void refusedOptionWriteShowsTheStore_data() {
    QTest::addColumn<int>("box");
    QTest::addColumn<Id>("parameter");
    QTest::addColumn<int>("dependent");
    QTest::newRow("over-rev") << int(kOverRevBox) << Id::OverRevThreshold << int(kRowFuoriGiri);
    QTest::newRow("low level") << int(kLowLevelBox) << Id::ReturnToPetrolLevel << int(kRowLivello);
    QTest::newRow("fixed default")
        << int(kDefaultBox) << Id::FixedDefaultOption << int(kRowDefault);
    QTest::newRow("kick-down") << int(kKickDownBox) << Id::FullThrottleTps << int(kRowTpsAffondata);
    QTest::newRow("cut-off") << int(kCutOffBox) << Id::CutOffEndRpm << int(kRowCutOff);
  }
  void refusedOptionWriteShowsTheStore() {
    QFETCH(int, box);
    QFETCH(Id, parameter);
    QFETCH(int, dependent);
    Open();
    const bool wasChecked = Box(box)->isChecked();
    const bool wasShown = RowShown(dependent);
    const QString text = Edit(dependent)->text();
    link_.refusedCodes.insert(ConfCar::ParameterCode(params::Number(parameter)));
    GoTo(box);
    ScopedBeepCounter beeps;
    Key(Qt::Key_Return);
    QCOMPARE(beeps.Count(), 1);
    QCOMPARE(Box(box)->isChecked(), wasChecked);
    QCOMPARE(RowShown(dependent), wasShown);
    QCOMPARE(Edit(dependent)->text(), text);
  }

  // Every option on, so every row shows: each edit's range hint, on entering
  // the row, stays inside its page and the frame around its group, and
  // covers the unit label it stands over.
  void hintsFitBesideTheirRows_data() {
    QTest::addColumn<QString>("column");
    QTest::newRow("Italian") << "ITALIANO";
    QTest::newRow("German") << "DEUTSCH";
    QTest::newRow("Polish") << "POLSKI";
  }
  void hintsFitBesideTheirRows() {
    QFETCH(QString, column);
    lingua_.SetSelectedColumn(column);
    SetRaw(Id::OverRevThreshold, 120000 / 6600);  // over-rev at 6600 rpm
    SetRaw(Id::ReturnToPetrolLevel, 12);          // back to petrol at a low level
    SetRaw(Id::FixedDefaultOption, 1);            // fixed default position
    SetRaw(Id::FullThrottleTps, 204);             // kick-down at 4 V
    SetRaw(Id::CutOffEndRpm, 120000 / 1700);      // cut-off ends at 1700 rpm
    Open();
    auto* hint = window_->findChild<QLabel*>(QStringLiteral("LabelHint"));
    QVERIFY(hint != nullptr);
    QStringList problems;
    for (int row = 0; row < Editor().RowCount(); ++row) {
      if (Edit(row) == nullptr || !Editor().Navigable(row)) continue;
      GoTo(row);
      for (const QString& problem : TextFitProblems(window_.get()))
        if (!problems.contains(problem)) problems.append(problem);
      const QLabel* unit = Editor().UnitLabel(row);
      if (unit != nullptr && unit->isVisible() && !hint->geometry().contains(unit->geometry()))
        problems.append(QStringLiteral("row %1: the unit label shows beside the hint").arg(row));
    }
    lingua_.SetSelectedColumn(QStringLiteral("ITALIANO"));
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
  }

  void captionsInEnglish() {
    lingua_.SetSelectedColumn(QStringLiteral("ENGLISH"));
    ScopedMessageBoxCapture boxes;
    Open();
    QVERIFY(boxes.Empty());
    QCOMPARE(window_->windowTitle(), QStringLiteral("Optional settings"));
    QCOMPARE(Editor().Caption(kOverRevBox)->text(), QStringLiteral("Return to petrol on over-revving"));
    QCOMPARE(window_->PageControl1->tabText(3), QStringLiteral("Cut-off"));
    lingua_.SetSelectedColumn(QStringLiteral("ITALIANO"));
  }

  void unreadableDictionary() {
    ScopedMessageBoxCapture boxes;
    FormContext context;
    context.store = store_.get();
    window_ = std::make_unique<TFormConfOpt>(context);
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text, QStringLiteral("Problemi col database multilingua (Codice 3)."));
    QVERIFY(ShowActive(window_.get()));
    QCOMPARE(Editor().Caption(0)->text(), QStringLiteral("Temperatura minima per il cambio"));
    QCOMPARE(window_->PageControl1->tabText(0), QStringLiteral("Cambio Benzina-Gas"));
  }
};

QTEST_MAIN(ConfOptTest)
#include "ConfOptTest.moc"
