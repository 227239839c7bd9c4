// The field editing controller on a small window of its own: three pages of
// edits, a check box and a list, against the real store on a recording link.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>
#include <stdexcept>

#include "Beep.h"
#include "ConfCar.h"
#include "Events.h"
#include "FieldEditor.h"
#include "MessageBoxes.h"
#include "RecordingLink.h"
#include "ConfigWindowTestSupport.h"
#include "WindowTestSupport.h"

namespace {

using params::Id;

enum Row { kRpm, kVolts, kOption, kHidden, kDisabled, kSteps, kElement, kList };
constexpr int kOptionHandler = 1;
// The option handler's calls: (row, phase).
using HandlerCalls = std::vector<std::pair<int, HandlerPhase>>;

// Rows chosen for their conversions: rpm (a period byte), volts with a
// hundredth step, an option, plain steps, one element of an array, a list.
constexpr FieldRow kRows[] = {
    {"LabelRpm", "EditRpm", FieldKind::Edit, Id::ChangeOverRpm, kNoElement, kNoHandler},
    {"LabelVolts", "EditVolts", FieldKind::Edit, Id::IdleTpsHysteresis, kNoElement, kNoHandler},
    {"LabelOption", "CheckOption", FieldKind::CheckBox, Id::OverRevThreshold, kNoElement,
     kOptionHandler},
    {"LabelHidden", "EditHidden", FieldKind::Edit, Id::IdleOpeningStepsBeyond, kNoElement,
     kNoHandler},
    {"LabelDisabled", "EditDisabled", FieldKind::Edit, Id::IdleClosingStepsBelow, kNoElement,
     kNoHandler},
    {"LabelSteps", "EditSteps", FieldKind::Edit, Id::OffIdleOpeningStepsBeyond, kNoElement,
     kNoHandler},
    {"LabelElement", "EditElement", FieldKind::Edit, Id::TpsVoltages, 2, kNoHandler},
    {"LabelList", "ComboList", FieldKind::List, Id::LambdaProbeType, kNoElement, kNoHandler},
};
constexpr FieldPage kPages[] = {{"PageOne", 0}, {"PageTwo", 3}, {"PageThree", 6}};

// A window laid out from the table: each page a column of rows.
class TestWindow : public QDialog {
 public:
  explicit TestWindow(ConfCar& store) {
    resize(700, 400);
    pages = new QTabWidget(this);
    pages->setGeometry(10, 10, 680, 330);
    for (const FieldPage& page : kPages) {
      auto* widget = new QWidget;
      widget->setObjectName(QString::fromLatin1(page.name));
      pages->addTab(widget, QString::fromLatin1(page.name));
    }
    for (int r = 0; r < int(std::size(kRows)); ++r) {
      const FieldRow& row = kRows[r];
      int page = 0;
      while (page + 1 < int(std::size(kPages)) && kPages[page + 1].firstRow <= r) ++page;
      QWidget* parent = pages->widget(page);
      const int top = 20 + 40 * (r - kPages[page].firstRow);
      auto* caption = new QLabel(QString::fromLatin1(row.caption), parent);
      caption->setObjectName(QString::fromLatin1(row.caption));
      caption->move(96, top + 8);
      QWidget* input = nullptr;
      if (row.kind == FieldKind::Edit) input = new QLineEdit(parent);
      if (row.kind == FieldKind::CheckBox) input = new QCheckBox(parent);
      if (row.kind == FieldKind::List) {
        auto* list = new QComboBox(parent);
        list->addItems({"zero", "one", "two", "three"});
        input = list;
      }
      input->setObjectName(QString::fromLatin1(row.input));
      input->setGeometry(400, top, 100, 28);
    }
    auto* limits = new QLabel(QStringLiteral("Limiti non attivi"), this);
    limits->setObjectName(QStringLiteral("LabelLimiti"));
    limits->move(10, 350);
    notConnected = new QLabel(QStringLiteral("Centralina non connessa"), this);
    notConnected->setObjectName(QStringLiteral("LabelNonConnesso"));
    notConnected->move(300, 350);
    editor = std::make_unique<FieldEditor>(this, store, kRows, kPages, pages,
                                           FieldEditorOptions{true, false, false, 48});
    editor->UnitText("UnitaGiri")(QStringLiteral("rpm"));
    editor->UnitText("UnitaVolt")(QStringLiteral("V"));
    findChild<QLineEdit*>(QStringLiteral("EditHidden"))->hide();
    findChild<QLineEdit*>(QStringLiteral("EditDisabled"))->setEnabled(false);
  }
  ~TestWindow() override { editor.reset(); }

  QWidget* Focused() const { return focusWidget(); }
  QLineEdit* EditOf(int row) const { return editor->Edit(row); }

  QTabWidget* pages;
  QLabel* notConnected;
  std::unique_ptr<FieldEditor> editor;
};

// A window without pages, as the vehicle window is: an edit, a list and a
// button, rows read first to last, the highlight kept when a button takes
// the focus.
constexpr FieldRow kFlatRows[] = {
    {"LabelRpm", "EditRpm", FieldKind::Edit, Id::ChangeOverRpm, kNoElement, kNoHandler},
    {"LabelList", "ComboList", FieldKind::List, Id::LambdaProbeType, kNoElement, kNoHandler},
};

class FlatWindow : public QDialog {
 public:
  explicit FlatWindow(ConfCar& store) {
    resize(600, 200);
    for (int r = 0; r < int(std::size(kFlatRows)); ++r) {
      auto* caption = new QLabel(QString::fromLatin1(kFlatRows[r].caption), this);
      caption->setObjectName(QString::fromLatin1(kFlatRows[r].caption));
      caption->move(96, 20 + 40 * r);
    }
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("EditRpm"));
    edit->setGeometry(400, 12, 100, 28);
    list = new QComboBox(this);
    list->setObjectName(QStringLiteral("ComboList"));
    list->addItems({"zero", "one", "two", "three"});
    list->setGeometry(400, 52, 150, 28);
    button = new QPushButton(QStringLiteral("Button"), this);
    button->setGeometry(400, 120, 100, 30);
    FieldEditorOptions options;
    options.keepHighlightOnExit = true;
    editor = std::make_unique<FieldEditor>(this, store, kFlatRows, FieldPages{}, nullptr, options);
  }
  ~FlatWindow() override { editor.reset(); }

  QComboBox* list;
  QPushButton* button;
  std::unique_ptr<FieldEditor> editor;
};

// Four lists one under the other, as in the vehicle window; the wheel is
// turned over them. (They all show the lambda probe type: the wheel never writes.)
constexpr FieldRow kListRows[] = {
    {"LabelList0", "ComboList0", FieldKind::List, Id::LambdaProbeType, kNoElement, kNoHandler},
    {"LabelList1", "ComboList1", FieldKind::List, Id::LambdaProbeType, kNoElement, kNoHandler},
    {"LabelList2", "ComboList2", FieldKind::List, Id::LambdaProbeType, kNoElement, kNoHandler},
    {"LabelList3", "ComboList3", FieldKind::List, Id::LambdaProbeType, kNoElement, kNoHandler},
};

class ListsWindow : public QDialog {
 public:
  explicit ListsWindow(ConfCar& store) {
    resize(600, 200);
    for (int r = 0; r < int(std::size(kListRows)); ++r) {
      auto* caption = new QLabel(QString::fromLatin1(kListRows[r].caption), this);
      caption->setObjectName(QString::fromLatin1(kListRows[r].caption));
      caption->move(96, 20 + 40 * r);
      auto* list = new QComboBox(this);
      list->setObjectName(QString::fromLatin1(kListRows[r].input));
      list->addItems({"zero", "one", "two", "three"});
      list->setGeometry(400, 12 + 40 * r, 150, 28);
      lists.push_back(list);
    }
    editor = std::make_unique<FieldEditor>(this, store, kListRows, FieldPages{}, nullptr);
  }
  ~ListsWindow() override { editor.reset(); }

  std::vector<QComboBox*> lists;
  std::unique_ptr<FieldEditor> editor;
};

}  // namespace

class FieldEditorTest : public QObject {
  Q_OBJECT

 private:
  RecordingLink link_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<TestWindow> window_;
  HandlerCalls handlerCalls_;
  bool handlerAccepts_ = true;

  FieldEditor& Editor() { return *window_->editor; }
  QWidget* Focused() { return window_->Focused(); }

  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    KeyAt(window_.get(), key, modifiers);
  }
  void Enter(const QString& text) { QVERIFY(EnterValue(window_.get(), text)); }
  void SetRaw(Id id, int raw) { store_->StoreRaw(store_->MemberAddress(params::Number(id)), raw); }
  std::vector<RecordingLink::Call> WritesTo(Id id) const {
    std::vector<RecordingLink::Call> out;
    for (const auto& call : link_.Writes())
      if (ecu::CodeAddress(call.code) == ecu::CodeAddress(params::Row(id).code))
        out.push_back(call);
    return out;
  }

 private slots:
  void init() {
    QLocale::setDefault(QLocale::c());
    link_ = RecordingLink();
    link_.connected = true;
    store_ = std::make_unique<ConfCar>("test.dmr", &link_);
    SetRaw(Id::ChangeOverRpm, 60);      // 2000 rpm
    SetRaw(Id::IdleTpsHysteresis, 51);  // 1 V
    SetRaw(Id::OverRevThreshold, 20);   // 6000 rpm
    handlerCalls_.clear();
    handlerAccepts_ = true;
    window_ = std::make_unique<TestWindow>(*store_);
    Editor().SetChangeHandler([this](int handler, int row, HandlerPhase phase) {
      if (handler == kOptionHandler) handlerCalls_.emplace_back(row, phase);
      return phase == HandlerPhase::ShowStored || handlerAccepts_;
    });
    Editor().PopulateFields();
    QVERIFY(ShowActive(window_.get()));
    Editor().StartOnPage(0);
  }

  void cleanup() {
    window_.reset();
    store_.reset();
    QLocale::setDefault(QLocale::c());
  }

  // Populating reads every row, runs the handler with ShowStored and makes the
  // unit labels beside the edits that have a unit.
  void populatingShowsTheStore() {
    QCOMPARE(window_->EditOf(kRpm)->text(), QStringLiteral("2000"));
    QCOMPARE(window_->EditOf(kVolts)->text(), QStringLiteral("1"));
    QCOMPARE(handlerCalls_, (HandlerCalls{{kOption, HandlerPhase::ShowStored}}));
    QLabel* unit = Editor().UnitLabel(kRpm);
    QVERIFY(unit != nullptr);
    QCOMPARE(unit->objectName(), QStringLiteral("UM0"));
    QCOMPARE(unit->text(), QStringLiteral("rpm"));
    QCOMPARE(unit->x(), Editor().Input(kRpm)->x() + Editor().Input(kRpm)->width() + 10);
    QVERIFY(Editor().UnitLabel(kSteps) == nullptr);
    QCOMPARE(Editor().Hint(kRpm), QStringLiteral(" (0; 4000 rpm) "));
    QCOMPARE(Editor().Hint(kSteps), QStringLiteral(" (0; 255) "));
  }

  // The focused row: arrow beside its caption, caption highlighted, the hint
  // beside the edit.
  void focusedRowIsMarked() {
    QCOMPARE(Focused(), Editor().Input(kRpm));
    auto* arrow = window_->findChild<QLabel*>(QStringLiteral("LabelFreccia"));
    auto* hint = window_->findChild<QLabel*>(QStringLiteral("LabelHint"));
    QVERIFY(arrow->isVisible() && hint->isVisible());
    QCOMPARE(arrow->y(), Editor().Caption(kRpm)->y() - 6);
    QCOMPARE(hint->text(), Editor().Hint(kRpm));
    QCOMPARE(hint->x(), Editor().Input(kRpm)->x() + Editor().Input(kRpm)->width() + 5);
    QVERIFY(Editor().Caption(kRpm)->autoFillBackground());
    Key(Qt::Key_Down);
    QVERIFY(!Editor().Caption(kRpm)->autoFillBackground());
    QVERIFY(Editor().Caption(kVolts)->autoFillBackground());
    QCOMPARE(arrow->y(), Editor().Caption(kVolts)->y() - 6);
  }

  // Enter writes the value rounded to the step and shows what the store holds;
  // out of range beeps and writes nothing; a refusal shows the stored value.
  void commitField_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QList<int>>("rawWritten");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("beeps");
    QTest::newRow("accepted") << "3000" << false << QList<int>{40} << "3000" << 0;
    QTest::newRow("minimum accepted") << "0" << false << QList<int>{255} << "0" << 0;
    QTest::newRow("maximum accepted") << "4000" << false << QList<int>{30} << "4000" << 0;
    QTest::newRow("rounded down") << "3049" << false << QList<int>{40} << "3000" << 0;
    QTest::newRow("exact half rounded up") << "3050" << false << QList<int>{38} << "3100" << 0;
    QTest::newRow("one step beyond") << "4100" << false << QList<int>{} << "2000" << 1;
    QTest::newRow("refused by the ECU") << "3000" << true << QList<int>{40} << "2000" << 0;
  }
  void commitField() {
    QFETCH(QString, typed);
    QFETCH(bool, refused);
    QFETCH(QList<int>, rawWritten);
    QFETCH(QString, shown);
    QFETCH(int, beeps);
    if (refused)
      link_.refusedCodes.insert(ConfCar::ParameterCode(params::Number(Id::ChangeOverRpm)));
    ScopedBeepCounter beepCounter;
    Enter(typed);
    QList<int> written;
    for (const auto& call : WritesTo(Id::ChangeOverRpm)) written << call.value;
    QCOMPARE(written, rawWritten);
    QCOMPARE(window_->EditOf(kRpm)->text(), shown);
    QCOMPARE(window_->EditOf(kRpm)->selectedText(), shown);
    QCOMPARE(beepCounter.Count(), beeps);
  }

  // Italian system: the comma is the separator, typed and shown.
  void commaSeparator() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    Key(Qt::Key_Down);
    Enter(QStringLiteral("1,234"));
    QCOMPARE(WritesTo(Id::IdleTpsHysteresis).size(), std::size_t(1));
    QCOMPARE(WritesTo(Id::IdleTpsHysteresis)[0].value, 62);  // trunc(1.23 * 51)
    QCOMPARE(window_->EditOf(kVolts)->text(), QStringLiteral("1,22"));
    Type(Focused(), QStringLiteral("1.5"));
    QCOMPARE(window_->EditOf(kVolts)->text(), QStringLiteral("15"));
  }

  // Text that is not a number: the conversion message, nothing written; the
  // text stays until the row is left, which restores the confirmed value.
  void notANumber() {
    ScopedMessageBoxCapture boxes;
    Enter(QString());
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text, QStringLiteral("'' is not a valid floating point value"));
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    Enter(QStringLiteral("-"));  // '-' is filtered out here: still empty
    QCOMPARE(boxes.Requests().size(), 2);
    QVERIFY(link_.Writes().empty());
    QCOMPARE(window_->EditOf(kRpm)->text(), QString());
    Key(Qt::Key_Down);
    QCOMPARE(window_->EditOf(kRpm)->text(), QStringLiteral("2000"));
  }

  // Ctrl + keypad '*' switches the range check off and on, with its label.
  void limitOverride() {
    auto* limits = window_->findChild<QLabel*>(QStringLiteral("LabelLimiti"));
    QVERIFY(!limits->isVisible());
    Key(Qt::Key_Asterisk, Qt::ControlModifier | Qt::KeypadModifier);
    QVERIFY(Editor().LimitOverride() && limits->isVisible());
    ScopedBeepCounter beeps;
    Enter(QStringLiteral("5000"));
    QCOMPARE(WritesTo(Id::ChangeOverRpm).size(), std::size_t(1));
    QCOMPARE(WritesTo(Id::ChangeOverRpm)[0].value, 24);
    QCOMPARE(window_->EditOf(kRpm)->text(), QStringLiteral("5000"));
    QCOMPARE(beeps.Count(), 0);
    Key(Qt::Key_Asterisk, Qt::ControlModifier | Qt::KeypadModifier);
    QVERIFY(!Editor().LimitOverride() && !limits->isVisible());
    Key(Qt::Key_Asterisk, Qt::ControlModifier);  // not the keypad's
    QVERIFY(!Editor().LimitOverride());
  }

  // The first Escape undoes the typing and selects it; the second closes.
  void escapeTwice() {
    QLineEdit* edit = window_->EditOf(kRpm);
    edit->deselect();
    edit->end(false);
    Type(edit, QStringLiteral("5"));
    QCOMPARE(edit->text(), QStringLiteral("20005"));
    Key(Qt::Key_Escape);
    QCOMPARE(edit->text(), QStringLiteral("2000"));
    QCOMPARE(edit->selectedText(), QStringLiteral("2000"));
    QVERIFY(window_->isVisible());
    Key(Qt::Key_Escape);
    QVERIFY(!window_->isVisible());
    QCOMPARE(window_->result(), int(QDialog::Rejected));
    QVERIFY(link_.Writes().empty());
  }

  // An empty field with nothing selected counts as entirely selected.
  void escapeOnAnEmptyFieldCloses() {
    window_->EditOf(kRpm)->clear();
    Key(Qt::Key_Escape);
    QVERIFY(!window_->isVisible());
  }

  // Down and Up skip hidden and disabled rows and cross pages; Up on the first
  // row and Down on the last stay; Home and End reach the ends.
  void navigation() {
    Key(Qt::Key_Up);
    QCOMPARE(Editor().CurrentRow(), int(kRpm));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    QCOMPARE(Editor().CurrentRow(), int(kOption));
    Key(Qt::Key_Down);
    QCOMPARE(Editor().CurrentRow(), int(kSteps));
    QCOMPARE(window_->pages->currentIndex(), 1);
    QCOMPARE(Focused(), Editor().Input(kSteps));
    Key(Qt::Key_Up);
    QCOMPARE(Editor().CurrentRow(), int(kOption));
    QCOMPARE(window_->pages->currentIndex(), 0);
    Key(Qt::Key_End);
    QCOMPARE(Editor().CurrentRow(), int(kList));
    Key(Qt::Key_Down);
    QCOMPARE(Editor().CurrentRow(), int(kList));
    Key(Qt::Key_Home);
    QCOMPARE(Editor().CurrentRow(), int(kRpm));
    QCOMPARE(window_->pages->currentIndex(), 0);
  }

  // Home and End with part of the text selected move the caret instead.
  void homeAndEndInsideAPartlySelectedEdit() {
    QLineEdit* edit = window_->EditOf(kRpm);
    edit->setSelection(1, 2);
    Key(Qt::Key_End);
    QCOMPARE(Editor().CurrentRow(), int(kRpm));
    QCOMPARE(edit->cursorPosition(), 4);
    Key(Qt::Key_Home);
    QCOMPARE(edit->cursorPosition(), 0);
    QCOMPARE(Editor().CurrentRow(), int(kRpm));
  }

  // A hidden tab's rows are never reached: not by Up/Down, Home/End or the
  // page keys; PageDown on the last visible page goes round to the first.
  void hiddenTabAndPageKeys() {
    window_->pages->setTabVisible(1, false);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    QCOMPARE(Editor().CurrentRow(), int(kElement));
    QCOMPARE(window_->pages->currentIndex(), 2);
    Key(Qt::Key_PageDown);
    QCOMPARE(window_->pages->currentIndex(), 0);
    QCOMPARE(Editor().CurrentRow(), int(kRpm));
    Key(Qt::Key_PageUp);
    QCOMPARE(window_->pages->currentIndex(), 2);
    QCOMPARE(Editor().CurrentRow(), int(kElement));
    QCOMPARE(Focused(), Editor().Input(kElement));
    window_->pages->setTabVisible(1, true);
    Key(Qt::Key_PageUp);
    QCOMPARE(window_->pages->currentIndex(), 1);
    QCOMPARE(Editor().CurrentRow(), int(kSteps));
  }

  // The wheel moves between rows and never changes a value.
  void wheelMovesBetweenRows() {
    auto wheel = [this](int delta) {
      QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(Focused(), &event);
    };
    wheel(-120);
    QCOMPARE(Editor().CurrentRow(), int(kVolts));
    wheel(120);
    QCOMPARE(Editor().CurrentRow(), int(kRpm));
    QCOMPARE(window_->EditOf(kRpm)->text(), QStringLiteral("2000"));
    QVERIFY(link_.Writes().empty());
  }

  // Wherever the pointer is, a notch of the wheel goes to the next or the
  // previous row of the focused one; the list under the pointer takes
  // neither the focus nor a new value.
  void wheelOverAnotherListMovesOneRow_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("over");
    QTest::addColumn<QList<int>>("notches");
    QTest::addColumn<int>("to");
    QTest::newRow("down over a list further down") << 0 << 2 << QList<int>{-1} << 1;
    QTest::newRow("down over the last list") << 0 << 3 << QList<int>{-1} << 1;
    QTest::newRow("up over a list further up") << 3 << 1 << QList<int>{1} << 2;
    QTest::newRow("up over the first list") << 2 << 0 << QList<int>{1} << 1;
    QTest::newRow("down then up over another list") << 0 << 3 << QList<int>{-1, 1} << 0;
    QTest::newRow("two down over the first list") << 0 << 0 << QList<int>{-1, -1} << 2;
    QTest::newRow("down over the focused list") << 1 << 1 << QList<int>{-1} << 2;
  }
  void wheelOverAnotherListMovesOneRow() {
    QFETCH(int, from);
    QFETCH(int, over);
    QFETCH(QList<int>, notches);
    QFETCH(int, to);
    window_.reset();
    ListsWindow lists(*store_);
    lists.editor->PopulateFields();
    QVERIFY(ShowActive(&lists));
    lists.editor->StartAtFirstRow();
    for (int r = 0; r < from; ++r) KeyAt(&lists, Qt::Key_Down);
    QCOMPARE(lists.focusWidget(), lists.lists[from]);
    std::vector<int> shown;
    for (const QComboBox* list : lists.lists) shown.push_back(list->currentIndex());

    for (const int notch : notches) TurnWheelOver(lists.lists[over], notch);
    QCOMPARE(lists.editor->CurrentRow(), to);
    QCOMPARE(lists.focusWidget(), lists.lists[to]);
    for (int r = 0; r < int(lists.lists.size()); ++r)
      QCOMPARE(lists.lists[r]->currentIndex(), shown[r]);
    QVERIFY(link_.Writes().empty());
  }

  // Only digits, one separator and Backspace reach an edit; the clipboard
  // shortcuts do nothing.
  void typingIsFiltered() {
    QLineEdit* edit = window_->EditOf(kVolts);
    Key(Qt::Key_Down);
    edit->selectAll();
    Type(edit, QStringLiteral("a1-.2.+ 5"));
    QCOMPARE(edit->text(), QStringLiteral("1.25"));
    QApplication::clipboard()->setText(QStringLiteral("4"));
    Key(Qt::Key_V, Qt::ControlModifier);
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(edit->text(), QStringLiteral("1.25"));
    QCOMPARE(edit->contextMenuPolicy(), Qt::NoContextMenu);
  }

  // A check box toggled with Enter runs its handler with WriteChange; a
  // handler whose write was refused is run again with ShowStored, after one
  // beep.
  void checkBoxHandler() {
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    auto* box = Editor().CheckBox(kOption);
    QCOMPARE(Focused(), box);
    handlerCalls_.clear();
    ScopedBeepCounter beeps;
    Key(Qt::Key_Return);
    QVERIFY(box->isChecked());
    QCOMPARE(handlerCalls_, (HandlerCalls{{kOption, HandlerPhase::WriteChange}}));
    handlerAccepts_ = false;
    handlerCalls_.clear();
    Key(Qt::Key_Return);
    QCOMPARE(handlerCalls_, (HandlerCalls{{kOption, HandlerPhase::WriteChange},
                                  {kOption, HandlerPhase::ShowStored}}));
    QCOMPARE(beeps.Count(), 1);
    Key(Qt::Key_Tab);  // a check box keeps the focus
    QCOMPARE(Focused(), box);
  }

  // A list commits a choice the store accepts and goes back to the confirmed
  // item when the store refuses it.
  void listCommit() {
    Key(Qt::Key_End);
    auto* list = Editor().List(kList);
    QCOMPARE(Focused(), list);
    const int before = list->currentIndex();
    link_.refusedCodes.insert(ConfCar::ParameterCode(params::Number(Id::LambdaProbeType)));
    list->setCurrentIndex(3);
    emit list->activated(3);
    QCOMPARE(list->currentIndex(), before);
    link_.refusedCodes.clear();
    list->setCurrentIndex(2);
    emit list->activated(2);
    QCOMPARE(list->currentIndex(), 2);
    QCOMPARE(Editor().ConfirmedValue(), 2.0);
    QCOMPARE(store_->GetValue(Id::LambdaProbeType), 2.0L);
    Key(Qt::Key_Left);
    QCOMPARE(list->currentIndex(), 2);
  }

  // An array element row writes that element only.
  void elementRow() {
    Key(Qt::Key_End);
    Key(Qt::Key_Up);
    QCOMPARE(Editor().CurrentRow(), int(kElement));
    Enter(QStringLiteral("2.5"));
    const auto writes = link_.Writes();
    QCOMPARE(writes.size(), std::size_t(1));
    QCOMPARE(writes[0].op, std::string("element"));
    QCOMPARE(writes[0].index, 2);
    QCOMPARE(writes[0].value, 127);
  }

  // The connection news shows or hides the not-connected label and is taken.
  void connectionNews() {
    ConnectionStateEvent lost(false);
    lost.ignore();
    QApplication::sendEvent(window_.get(), &lost);
    QVERIFY(lost.isAccepted());
    QVERIFY(window_->notConnected->isVisible());
    ConnectionStateEvent back(true);
    QApplication::sendEvent(window_.get(), &back);
    QVERIFY(!window_->notConnected->isVisible());
  }

  // F12 opens the live view over the window; the typing in progress stays.
  void f12OpensTheLiveView() {
    QWidget* over = nullptr;
    Editor().SetLiveViewOpener([&](QWidget* window) { over = window; });
    QLineEdit* edit = window_->EditOf(kRpm);
    edit->deselect();
    edit->end(false);
    Type(edit, QStringLiteral("1"));
    Key(Qt::Key_F12);
    QCOMPARE(over, static_cast<QWidget*>(window_.get()));
    QCOMPARE(edit->text(), QStringLiteral("20001"));
    QCOMPARE(Editor().CurrentRow(), int(kRpm));
  }

  // A control the window adds after making the editor is watched like the
  // others: the keys pressed on it reach the editor.
  void keysOnAControlAddedLater() {
    window_.reset();
    FlatWindow flat(*store_);
    auto* later = new QPushButton(QStringLiteral("Later"), &flat);
    later->setGeometry(200, 120, 100, 30);
    flat.editor->PopulateFields();
    QVERIFY(ShowActive(&flat));
    flat.editor->StartAtFirstRow();
    KeyAt(&flat, Qt::Key_Down);
    QCOMPARE(flat.editor->CurrentRow(), 1);
    later->setFocus();
    KeyAt(&flat, Qt::Key_Up);
    QCOMPARE(flat.editor->CurrentRow(), 0);
    QCOMPARE(flat.focusWidget(), flat.editor->Input(0));
  }

  // A table naming a control the window lacks, or one of another kind, stops
  // the window in every build, with the name it could not find.
  void tableNamingAMissingControl_data() {
    QTest::addColumn<QByteArray>("caption");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("named");
    QTest::newRow("no such caption")
        << QByteArray("LabelNone") << QByteArray("EditRpm") << int(FieldKind::Edit)
        << "label named \"LabelNone\"";
    QTest::newRow("no such input")
        << QByteArray("LabelRpm") << QByteArray("EditNone") << int(FieldKind::Edit)
        << "line edit named \"EditNone\"";
    QTest::newRow("an edit where the table says list")
        << QByteArray("LabelRpm") << QByteArray("EditRpm") << int(FieldKind::List)
        << "list named \"EditRpm\"";
    QTest::newRow("a label where the table says check box")
        << QByteArray("LabelRpm") << QByteArray("LabelRpm") << int(FieldKind::CheckBox)
        << "check box named \"LabelRpm\"";
  }
  void tableNamingAMissingControl() {
    QFETCH(QByteArray, caption);
    QFETCH(QByteArray, input);
    QFETCH(int, kind);
    QFETCH(QString, named);
    QDialog dialog;
    dialog.setObjectName(QStringLiteral("FormTest"));
    new QLabel(QStringLiteral("rpm"), &dialog);
    dialog.findChild<QLabel*>()->setObjectName(QStringLiteral("LabelRpm"));
    (new QLineEdit(&dialog))->setObjectName(QStringLiteral("EditRpm"));
    const FieldRow rows[] = {
        kFlatRows[0],
        {caption.constData(), input.constData(), FieldKind(kind), Id::ChangeOverRpm, kNoElement,
         kNoHandler},
    };
    QString message;
    try {
      FieldEditor editor(&dialog, *store_, rows, FieldPages{}, nullptr);
    } catch (const std::logic_error& fault) {
      message = QString::fromUtf8(fault.what());
    }
    QVERIFY2(message.contains(named), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("FormTest")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("row 1")), qPrintable(message));
  }

  // Without pages: PageUp and PageDown do nothing, the highlight stays on the
  // last row while a button has the focus, Enter drops a list down, and in
  // the dropped-down list Up on the first item goes to the last.
  void windowWithoutPages() {
    window_.reset();
    FlatWindow flat(*store_);
    flat.editor->PopulateFields();
    QVERIFY(ShowActive(&flat));
    flat.editor->StartAtFirstRow();
    QCOMPARE(flat.editor->CurrentRow(), 0);
    KeyAt(&flat, Qt::Key_PageDown);
    QCOMPARE(flat.editor->CurrentRow(), 0);
    KeyAt(&flat, Qt::Key_Down);
    QCOMPARE(flat.focusWidget(), flat.list);
    flat.button->setFocus();
    QVERIFY(flat.editor->Caption(1)->autoFillBackground());
    KeyAt(&flat, Qt::Key_Up);
    QCOMPARE(flat.editor->CurrentRow(), 0);
    QVERIFY(!flat.editor->Caption(1)->autoFillBackground());
    KeyAt(&flat, Qt::Key_Down);
    flat.list->setCurrentIndex(0);
    KeyAt(&flat, Qt::Key_Return);
    QTRY_VERIFY(flat.list->view()->isVisible());
    QTest::keyClick(flat.list->view(), Qt::Key_Up);
    QCOMPARE(flat.list->view()->currentIndex().row(), 3);
    QTest::keyClick(flat.list->view(), Qt::Key_Down);
    QCOMPARE(flat.list->view()->currentIndex().row(), 0);
    flat.list->hidePopup();
    QVERIFY(link_.Writes().empty());
  }
};

QTEST_MAIN(FieldEditorTest)
#include "FieldEditorTest.moc"
