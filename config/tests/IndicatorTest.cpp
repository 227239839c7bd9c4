// TFormIndicatore on the offscreen platform with a recording stand-in ECU:
// the six values read at creation, stepping with wrap-around that drives the
// gauge, confirming, leaving a field, Esc, and the write of the six values at
// close, refused or not.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTest>
#include <memory>

#include "ConfCar.h"
#include "FormContext.h"
#include "Indicatore.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "RecordingLink.h"
#include "TypeKeys.h"
#include "UpDown.h"
#include "WindowTestSupport.h"

namespace {

constexpr int kOutputsAddress = 61;
constexpr int kFirstOutputSlot = 37;

// Also records what the gauge was driven with.
class GaugeLink : public RecordingLink {
 public:
  std::vector<int> gauge;
  void SetIndicatorOutput(int value, int second) override {
    QCOMPARE(second, -1);
    gauge.push_back(value);
  }
  int ReadsOf(std::uint32_t code) const {
    int n = 0;
    for (const Call& c : calls) n += c.op == "read" && c.code == code;
    return n;
  }
};

}  // namespace

class IndicatorTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void valuesAreReadAtCreation();
  void steppingWrapsAndDrivesTheGauge_data();
  void steppingWrapsAndDrivesTheGauge();
  void upDownButtonsStepFromTheTypedValue();
  void clickingAnotherFieldDiscardsTheSteppedValue();
  void confirmChecksTheRange_data();
  void confirmChecksTheRange();
  void enterTwiceResendsTheCommittedValue();
  void escWhileEditingCancels();
  void escInAShowingFieldClosesAndWrites();
  void arrowsMoveBetweenShowingFields();
  void refusedWriteAtCloseIsReported();
  void englishTexts();

 private:
  std::unique_ptr<TFormIndicatore> ShowWindow();

  GaugeLink link_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<TModuloLingua> lingua_;
};

void IndicatorTest::init() {
  link_ = GaugeLink();
  link_.connected = true;
  link_.memory[kOutputsAddress] = {0, 40, 90, 140, 190, 255};
  link_.memory[3] = {0};
  store_ = std::make_unique<ConfCar>("x.dmr", &link_);
  lingua_ = std::make_unique<TModuloLingua>();
  QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
  lingua_->SetSelectedColumn("ITALIANO");
}

void IndicatorTest::cleanup() {
  // Windows closed by a test have written; the others are dropped unclosed.
}

std::unique_ptr<TFormIndicatore> IndicatorTest::ShowWindow() {
  FormContext context;
  context.store = store_.get();
  context.link = &link_;
  context.language = lingua_.get();
  auto window = std::make_unique<TFormIndicatore>(context);
  window->show();
  QApplication::setActiveWindow(window.get());
  if (!QTest::qWaitForWindowActive(window.get())) qWarning("window not active");
  return window;
}

void IndicatorTest::valuesAreReadAtCreation() {
  auto w = ShowWindow();
  QStringList shown;
  for (QLineEdit* e : w->Edits) shown << e->text();
  QCOMPARE(shown, (QStringList{"0", "40", "90", "140", "190", "255"}));
  QCOMPARE(store_->RawImage()[kFirstOutputSlot + 5], 255);
  QVERIFY(w->Edits[0]->isReadOnly() && w->UpDown1->isHidden() && w->ButtonOk->isHidden());
}

void IndicatorTest::steppingWrapsAndDrivesTheGauge_data() {
  QTest::addColumn<int>("field");
  QTest::addColumn<int>("key");
  QTest::addColumn<QList<int>>("gauge");
  QTest::newRow("up from 255") << 5 << int(Qt::Key_Up) << QList<int>{0, 1};
  QTest::newRow("down from 0") << 0 << int(Qt::Key_Down) << QList<int>{255, 254};
  QTest::newRow("up in the middle") << 2 << int(Qt::Key_Up) << QList<int>{91, 92};
}

void IndicatorTest::steppingWrapsAndDrivesTheGauge() {
  QFETCH(int, field);
  QFETCH(int, key);
  QFETCH(QList<int>, gauge);
  auto w = ShowWindow();
  QLineEdit* edit = w->Edits[field];
  QTest::mouseClick(edit, Qt::LeftButton);
  QVERIFY(w->Editing(field));
  QVERIFY(!w->UpDown1->isHidden() && !w->LabelInvio->isHidden() && !w->LabelEsc->isHidden());
  QCOMPARE(w->UpDown1->y(), edit->y());
  QTest::keyClick(edit, static_cast<Qt::Key>(key));
  QTest::keyClick(edit, static_cast<Qt::Key>(key));
  QCOMPARE(QList<int>(link_.gauge.begin(), link_.gauge.end()), gauge);
  QCOMPARE(edit->text(), QString::number(gauge.last()));
  if (field == 2) Screenshot(w.get(), "indicator-it");
}

void IndicatorTest::upDownButtonsStepFromTheTypedValue() {
  auto w = ShowWindow();
  QLineEdit* edit = w->Edits[1];
  QTest::mouseClick(edit, Qt::LeftButton);
  edit->selectAll();
  Type(edit, "100");
  QTest::mouseClick(w->UpDown1->UpButton(), Qt::LeftButton);
  QCOMPARE(edit->text(), QStringLiteral("101"));
  QCOMPARE(link_.gauge.back(), 101);
  QVERIFY(edit->hasFocus());
  QTest::mouseClick(w->ButtonOk, Qt::LeftButton);
  QCOMPARE(w->Committed()[1], 101);
  QVERIFY(edit->isReadOnly() && w->UpDown1->isHidden());
}

void IndicatorTest::clickingAnotherFieldDiscardsTheSteppedValue() {
  auto w = ShowWindow();
  QTest::mouseClick(w->Edits[1], Qt::LeftButton);
  QTest::keyClick(w->Edits[1], Qt::Key_Up);
  QTest::keyClick(w->Edits[1], Qt::Key_Up);
  QCOMPARE(w->Edits[1]->text(), QStringLiteral("42"));
  QTest::mouseClick(w->Edits[3], Qt::LeftButton);
  QCOMPARE(w->Edits[1]->text(), QStringLiteral("40"));
  QVERIFY(w->Edits[1]->isReadOnly());
  QCOMPARE(w->Committed()[1], 40);
  QVERIFY(w->Editing(3));
  QCOMPARE(w->UpDown1->y(), w->Edits[3]->y());
}

void IndicatorTest::confirmChecksTheRange_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("committed");
  QTest::newRow("in range") << "77" << 77;
  QTest::newRow("300 refused") << "300" << 90;
  QTest::newRow("empty is 0") << "" << 0;
  QTest::newRow("letters discarded") << "1x2" << 12;
}

void IndicatorTest::confirmChecksTheRange() {
  QFETCH(QString, typed);
  QFETCH(int, committed);
  auto w = ShowWindow();
  QLineEdit* edit = w->Edits[2];
  QTest::mouseClick(edit, Qt::LeftButton);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  Type(edit, typed);
  QTest::keyClick(edit, Qt::Key_Return);
  QCOMPARE(w->Committed()[2], committed);
  QCOMPARE(edit->text(), QString::number(committed));
  QCOMPARE(link_.gauge.back(), committed);
  QVERIFY(edit->isReadOnly() && w->ButtonOk->isHidden() && edit->hasFocus());
}

void IndicatorTest::enterTwiceResendsTheCommittedValue() {
  auto w = ShowWindow();
  QLineEdit* edit = w->Edits[3];
  edit->setFocus();
  QTest::keyClick(edit, Qt::Key_Return);
  QVERIFY(w->Editing(3));
  QVERIFY(link_.gauge.empty());
  QTest::keyClick(edit, Qt::Key_Return);
  QCOMPARE(link_.gauge, std::vector<int>{140});
  QVERIFY(!w->Editing(3));
}

void IndicatorTest::escWhileEditingCancels() {
  auto w = ShowWindow();
  QLineEdit* edit = w->Edits[4];
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_Down);
  QTest::keyClick(edit, Qt::Key_Escape);
  QVERIFY(w->isVisible());
  QCOMPARE(edit->text(), QStringLiteral("190"));
  QVERIFY(edit->isReadOnly() && w->UpDown1->isHidden() && w->LabelEsc->isHidden());
  QCOMPARE(link_.ReadsOf(3), 1);
  QVERIFY(link_.Writes().empty());
}

void IndicatorTest::escInAShowingFieldClosesAndWrites() {
  auto w = ShowWindow();
  QTest::mouseClick(w->Edits[0], Qt::LeftButton);
  QTest::keyClick(w->Edits[0], Qt::Key_Up);
  QTest::keyClick(w->Edits[0], Qt::Key_Return);  // 1 committed
  QTest::keyClick(w->Edits[0], Qt::Key_Escape);
  QVERIFY(!w->isVisible());
  QCOMPARE(link_.ReadsOf(3), 1);
  const std::vector<RecordingLink::Call> writes = link_.Writes();
  QCOMPARE(writes.size(), std::size_t{6});
  const int expected[6] = {1, 40, 90, 140, 190, 255};
  for (int i = 0; i < 6; ++i)
    QCOMPARE(writes[static_cast<std::size_t>(i)],
             (RecordingLink::Call{"element", kOutputsAddress, i, expected[i]}));
  QCOMPARE(store_->RawImage()[kFirstOutputSlot], 1);
}

void IndicatorTest::arrowsMoveBetweenShowingFields() {
  auto w = ShowWindow();
  w->Edits[0]->setFocus();
  QTest::keyClick(w->Edits[0], Qt::Key_Down);
  QVERIFY(w->Edits[1]->hasFocus());
  QCOMPARE(w->ButtonOk->y(), w->Edits[1]->y());
  QTest::keyClick(w->Edits[1], Qt::Key_Up);
  QTest::keyClick(w->Edits[0], Qt::Key_Up);  // wraps round to the exit button
  QVERIFY(w->ButtonEsci->hasFocus());
  QVERIFY(w->ButtonEsci->font().bold());
  QVERIFY(link_.gauge.empty());
}

void IndicatorTest::refusedWriteAtCloseIsReported() {
  link_.refuseElementFrom = 3;
  auto w = ShowWindow();
  ScopedMessageBoxCapture boxes;
  boxes.QueueAnswer(BoxAnswer::Yes);  // try again once, then give up
  QTest::mouseClick(w->ButtonEsci, Qt::LeftButton);
  QVERIFY(!w->isVisible());
  QCOMPARE(boxes.Requests().size(), 2);
  QCOMPARE(boxes.Last().text, QStringLiteral(
      "I valori dell'indicatore non sono stati salvati nella centralina.\nRiprovare?"));
  QCOMPARE(boxes.Last().buttons, BoxButtons::YesNo);
  QCOMPARE(link_.Writes().size(), std::size_t{8});  // two tries of four elements
  QCOMPARE(store_->RawImage()[kFirstOutputSlot + 5], 255);  // the store kept its values
}

void IndicatorTest::englishTexts() {
  lingua_->SetSelectedColumn("ENGLISH");
  auto w = ShowWindow();
  QCOMPARE(w->windowTitle(), QStringLiteral("Original fuel gauge setup"));
  QCOMPARE(w->LabelIndicVuoto->text(), QStringLiteral("Empty reading"));
  QTest::mouseClick(w->Edits[2], Qt::LeftButton);
  Screenshot(w.get(), "indicator-en");
  link_.refuseElementFrom = 0;
  ScopedMessageBoxCapture boxes;
  w->reject();
  QCOMPARE(boxes.Last().text, QStringLiteral("The gauge values were not saved in the ECU.\nTry again?"));
}

QTEST_MAIN(IndicatorTest)
#include "IndicatorTest.moc"
