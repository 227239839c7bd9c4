// TFormDiagnosi on the offscreen platform with a recording stand-in ECU: the
// status of each check from the error flags, the enable mask written on every
// toggle and refused toggles put back, the reset and the refresh after it.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "Beep.h"
#include "ConfCar.h"
#include "Diagnosi.h"
#include "FormContext.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "RecordingLink.h"
#include "WindowTestSupport.h"

namespace {

constexpr int kEnableAddress = 52;
constexpr int kErrorAddress = 53;
constexpr int kEnableSlot = 64;
const QColor kGreen(0x00, 0x80, 0x00);
const QColor kRed(0xFF, 0x00, 0x00);

QColor TextColour(const QLabel* label) {
  return label->palette().color(QPalette::WindowText);
}

}  // namespace

class DiagnosisTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void statusFollowsTheErrorFlags_data();
  void statusFollowsTheErrorFlags();
  void enableMaskShowsAndIsWritten();
  void refusedToggleIsPutBack();
  void resetThenTick();
  void refusedResetKeepsTheErrors();
  void noRefreshWhileDisconnected();
  void equalOkAndErrorTextsAreGreen();
  void missingDictionaryIsReported();
  void focusCues();
  void keysPressTheFocusedButton_data();
  void keysPressTheFocusedButton();
  void englishTexts();

 private:
  std::unique_ptr<TFormDiagnosi> MakeWindow();

  RecordingLink link_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<TModuloLingua> lingua_;
};

void DiagnosisTest::init() {
  link_ = RecordingLink();
  link_.connected = true;
  link_.memory[kErrorAddress] = {0};
  store_ = std::make_unique<ConfCar>("x.dmr", &link_);
  lingua_ = std::make_unique<TModuloLingua>();
  QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
  lingua_->SetSelectedColumn("ITALIANO");
}

std::unique_ptr<TFormDiagnosi> DiagnosisTest::MakeWindow() {
  FormContext context;
  context.store = store_.get();
  context.link = &link_;
  context.language = lingua_.get();
  auto window = std::make_unique<TFormDiagnosi>(context);
  window->Timer1->stop();
  return window;
}

void DiagnosisTest::statusFollowsTheErrorFlags_data() {
  QTest::addColumn<int>("flags");
  QTest::addColumn<QList<bool>>("errors");
  QTest::newRow("none") << 0 << QList<bool>{false, false, false};
  QTest::newRow("5: first and third") << 5 << QList<bool>{true, false, true};
  QTest::newRow("bits above 2 ignored") << (0xF8 | 2) << QList<bool>{false, true, false};
}

void DiagnosisTest::statusFollowsTheErrorFlags() {
  QFETCH(int, flags);
  QFETCH(QList<bool>, errors);
  link_.memory[kErrorAddress] = {flags};
  auto w = MakeWindow();
  const QList<QLabel*> status = {w->LabelStato1, w->LabelStato2, w->LabelStato3};
  for (int i = 0; i < 3; ++i) {
    QCOMPARE(status[i]->text(), errors[i] ? QStringLiteral("Errore") : QStringLiteral("OK"));
    QCOMPARE(TextColour(status[i]), errors[i] ? kRed : kGreen);
  }
  // The same through the two-second refresh.
  link_.memory[kErrorAddress] = {0};
  w->Tick();
  QCOMPARE(w->LabelStato1->text(), QStringLiteral("OK"));
  link_.memory[kErrorAddress] = {flags};
  w->Tick();
  for (int i = 0; i < 3; ++i)
    QCOMPARE(status[i]->text(), errors[i] ? QStringLiteral("Errore") : QStringLiteral("OK"));
  if (flags == 5) Screenshot(w.get(), "diagnosis-it");
}

void DiagnosisTest::enableMaskShowsAndIsWritten() {
  store_->StoreRaw(kEnableSlot, 2);
  auto w = MakeWindow();
  QVERIFY(!w->CheckBox1->isChecked() && w->CheckBox2->isChecked() && !w->CheckBox3->isChecked());
  w->show();
  QTest::mouseClick(w->CheckBox2, Qt::LeftButton);
  QCOMPARE(link_.Writes().back(), (RecordingLink::Call{"write", kEnableAddress, 0, 0}));
  QVERIFY(!w->CheckBox2->isChecked());
  // Space and Enter toggle the focused box too.
  w->CheckBox3->setFocus();
  QTest::keyClick(w->CheckBox3, Qt::Key_Space);
  QCOMPARE(link_.Writes().back().value, 4);
  QTest::keyClick(w->CheckBox3, Qt::Key_Return);
  QCOMPARE(link_.Writes().back().value, 0);
  QTest::mouseClick(w->CheckBox1, Qt::LeftButton);
  QCOMPARE(link_.Writes().back().value, 1);
  QCOMPARE(w->EnableMask(), 1);
  QCOMPARE(store_->RawImage()[kEnableSlot], 1);
}

void DiagnosisTest::refusedToggleIsPutBack() {
  link_.refusedCodes.insert(kEnableAddress);
  auto w = MakeWindow();
  w->show();
  ScopedBeepCounter beeps;
  QTest::mouseClick(w->CheckBox1, Qt::LeftButton);
  QCOMPARE(beeps.Count(), 1);
  QCOMPARE(link_.Writes().back().value, 1);
  QVERIFY(!w->CheckBox1->isChecked());
  QCOMPARE(w->EnableMask(), 0);
  QCOMPARE(store_->RawImage()[kEnableSlot], 0);
}

void DiagnosisTest::resetThenTick() {
  link_.memory[kErrorAddress] = {7};
  auto w = MakeWindow();
  lingua_->SetSelectedColumn("ENGLISH");  // the reset's "OK" is not the dictionary's
  QTest::mouseClick(w->ButtonReset, Qt::LeftButton);
  QCOMPARE(link_.Writes().back(), (RecordingLink::Call{"write", kErrorAddress, 0, 0}));
  QCOMPARE(w->ErrorFlags(), 0);
  for (QLabel* s : {w->LabelStato1, w->LabelStato2, w->LabelStato3}) {
    QCOMPARE(s->text(), QStringLiteral("OK"));
    QCOMPARE(TextColour(s), kGreen);
  }
  // The ECU records the lean check again: the next tick shows it.
  link_.memory[kErrorAddress] = {2};
  w->Tick();
  QCOMPARE(w->LabelStato2->text(), QStringLiteral("Errore"));
  QCOMPARE(TextColour(w->LabelStato2), kRed);
}

void DiagnosisTest::refusedResetKeepsTheErrors() {
  link_.memory[kErrorAddress] = {4};
  link_.refusedCodes.insert(kErrorAddress);
  auto w = MakeWindow();
  ScopedBeepCounter beeps;
  QTest::mouseClick(w->ButtonReset, Qt::LeftButton);
  QCOMPARE(beeps.Count(), 1);
  QCOMPARE(w->ErrorFlags(), 4);
  QCOMPARE(w->LabelStato3->text(), QStringLiteral("Errore"));
  QCOMPARE(TextColour(w->LabelStato3), kRed);
}

void DiagnosisTest::noRefreshWhileDisconnected() {
  auto w = MakeWindow();
  link_.connected = false;
  link_.memory[kErrorAddress] = {1};
  const auto reads = link_.calls.size();
  w->Tick();
  QCOMPARE(link_.calls.size(), reads);
  QCOMPARE(w->LabelStato1->text(), QStringLiteral("OK"));
}

void DiagnosisTest::equalOkAndErrorTextsAreGreen() {
  // A table whose two status texts are the same word.
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  QList<QStringList> rows = {{QStringLiteral("MenuLingua"), QStringLiteral("&Italiano")}};
  for (const char* key : {"LabelAbilDiagnosi", "LabelStatoDiagnosi", "ButtonEsci", "ButtonReset",
                          "LabelDLambdaGiusto", "LabelDLambdaMagro", "LabelDLambdaRicco",
                          "FinestraDiagnosi"})
    rows.append({QLatin1String(key), QStringLiteral("x")});
  rows.append({QStringLiteral("LabelStatoErrore"), QStringLiteral("SI")});
  rows.append({QStringLiteral("LabelStatoOk"), QStringLiteral("SI")});
  QVERIFY(WriteDictionary(QDir(folder.path()).filePath("same.dbf"), {"IDENTIF", "ITALIANO"}, rows));
  TModuloLingua same;
  QVERIFY(same.Open(folder.path(), "same.dbf"));
  same.SetSelectedColumn("ITALIANO");
  link_.memory[kErrorAddress] = {1};
  FormContext context;
  context.store = store_.get();
  context.link = &link_;
  context.language = &same;
  TFormDiagnosi w(context);
  for (QLabel* s : {w.LabelStato1, w.LabelStato2, w.LabelStato3}) {
    QCOMPARE(s->text(), QStringLiteral("SI"));
    QCOMPARE(TextColour(s), kGreen);
  }
}

void DiagnosisTest::missingDictionaryIsReported() {
  FormContext context;
  context.store = store_.get();
  context.link = &link_;
  ScopedMessageBoxCapture boxes;
  TFormDiagnosi w(context);
  QCOMPARE(boxes.Last().text, QStringLiteral("Problemi col database multilingua (Codice 5)."));
  QCOMPARE(w.LabelDLambdaMagro->text(), QStringLiteral("Lambda troppo tempo in magro"));
  QCOMPARE(w.LabelStato1->text(), QStringLiteral("OK"));
}

void DiagnosisTest::focusCues() {
  auto w = MakeWindow();
  w->show();
  QApplication::setActiveWindow(w.get());
  QVERIFY(QTest::qWaitForWindowActive(w.get()));
  const QColor normal = TextColour(w->LabelDLambdaMagro);
  w->CheckBox2->setFocus();
  QCOMPARE(TextColour(w->LabelDLambdaMagro), QColor(Qt::white));
  const int plain = w->ButtonReset->font().pixelSize();
  w->ButtonReset->setFocus();
  QCOMPARE(TextColour(w->LabelDLambdaMagro), normal);
  QVERIFY(w->ButtonReset->font().pixelSize() > plain);
  w->CheckBox1->setFocus();
  QCOMPARE(w->ButtonReset->font().pixelSize(), plain);
}

void DiagnosisTest::keysPressTheFocusedButton_data() {
  QTest::addColumn<int>("key");
  QTest::newRow("Enter") << int(Qt::Key_Return);
  QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
  QTest::newRow("Space") << int(Qt::Key_Space);
}

// Reached by Tab, "Azzera errori" clears the errors with Enter as with Space,
// and "Esci" closes the window.
void DiagnosisTest::keysPressTheFocusedButton() {
  QFETCH(int, key);
  link_.memory[kErrorAddress] = {7};
  auto w = MakeWindow();
  w->show();
  QApplication::setActiveWindow(w.get());
  QVERIFY(QTest::qWaitForWindowActive(w.get()));
  w->CheckBox3->setFocus();
  QTest::keyClick(w->CheckBox3, Qt::Key_Tab);
  QTest::keyClick(w->ButtonEsci, Qt::Key_Tab);
  QCOMPARE(QApplication::focusWidget(), w->ButtonReset);
  QTest::keyClick(w->ButtonReset, Qt::Key(key));
  QCOMPARE(w->ErrorFlags(), 0);
  QCOMPARE(link_.Writes().back(), (RecordingLink::Call{"write", kErrorAddress, 0, 0}));
  QCOMPARE(w->LabelStato1->text(), QStringLiteral("OK"));

  QTest::keyClick(w->ButtonReset, Qt::Key_Backtab);
  QCOMPARE(QApplication::focusWidget(), w->ButtonEsci);
  QTest::keyClick(w->ButtonEsci, Qt::Key(key));
  QVERIFY(!w->isVisible());
  QCOMPARE(w->result(), int(QDialog::Rejected));
}

void DiagnosisTest::englishTexts() {
  lingua_->SetSelectedColumn("ENGLISH");
  link_.memory[kErrorAddress] = {2};
  auto w = MakeWindow();
  QCOMPARE(w->windowTitle(), QStringLiteral("Lambda sensor diagnosis"));
  QCOMPARE(w->LabelStato2->text(), QStringLiteral("Error"));
  QCOMPARE(w->ButtonReset->text(), QStringLiteral("&Clear errors"));
  Screenshot(w.get(), "diagnosis-en");
}

QTEST_MAIN(DiagnosisTest)
#include "DiagnosisTest.moc"
