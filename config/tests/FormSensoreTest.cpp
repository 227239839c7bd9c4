// The level sensor window on the offscreen platform with the real dictionary:
// the optical computation, the checks on leaving a field and at OK with the
// descending flag, Esc with typed text, and the live reading.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <array>

#include "FormSensore.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "RecordingLink.h"
#include "TextFit.h"
#include "TypeKeys.h"
#include "WindowTestSupport.h"

using Thresholds = std::array<int, 6>;
Q_DECLARE_METATYPE(Thresholds)

namespace {

// A link whose slow block carries a gas level that rises by 7 at every read;
// reads fail while failing is set.
class MovingLevelLink : public RecordingLink {
 public:
  int level = 100;
  bool failing = false;
  int slowReads = 0;
  bool ReadLiveBlock(int kind, std::uint8_t* buffer, int length) override {
    if (kind == 1) ++slowReads;
    if (failing || kind != 1 || length != ecu::kLiveBlockSize) return false;
    std::fill(buffer, buffer + length, 0);
    buffer[0] = 60;
    buffer[1] = static_cast<std::uint8_t>(level);
    level += 7;
    return true;
  }
};

}  // namespace

class FormSensoreTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QVERIFY(lingua_.Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
    lingua_.SetUsable(true);
  }
  void init() {
    lingua_.SetSelectedColumn("ITALIANO");
    boxes_ = new ScopedMessageBoxCapture;
    window_ = new TFormSensore(&lingua_, &link_);
    window_->SetThresholds({25, 55, 114, 161, 215, 225});
  }
  void cleanup() {
    delete window_;
    delete boxes_;
  }

  void opticalComputation_data() {
    QTest::addColumn<int>("empty");
    QTest::addColumn<int>("full");
    QTest::addColumn<Thresholds>("expected");
    QTest::addColumn<bool>("descending");
    QTest::newRow("170 to 236: step -3") << 170 << 236 << Thresholds{170, 179, 188, 197, 212, 236}
                                         << false;
    QTest::newRow("236 to 170: step 3") << 236 << 170 << Thresholds{236, 227, 218, 209, 194, 170}
                                        << true;
    QTest::newRow("100 to 110: step 0") << 100 << 110 << Thresholds{100, 100, 100, 100, 100, 110}
                                        << false;
    QTest::newRow("0 to 255") << 0 << 255 << Thresholds{0, 33, 66, 99, 154, 255} << false;
  }
  // The computed thresholds, then OK accepts them with the right direction.
  void opticalComputation() {
    QFETCH(int, empty);
    QFETCH(int, full);
    QFETCH(Thresholds, expected);
    QCOMPARE(config::OpticalThresholds(empty, full), expected);
    window_->Edit1->setText(QString::number(empty));
    window_->Edit6->setText(QString::number(full));
    window_->Calcola();
    QCOMPARE(window_->Thresholds(), expected);
    window_->Validate();
    QCOMPARE(window_->result(), int(QDialog::Accepted));
    QTEST(window_->Descending(), "descending");
    QVERIFY(boxes_->Empty());
  }

  void calculationNeedsEmptyAndFull() {
    window_->Edit1->clear();
    window_->Calcola();
    QCOMPARE(boxes_->Last().text,
             QString("Inserire i valori di VUOTO e PIENO per poter calcolare le soglie di scatto"));
    QCOMPARE(boxes_->Last().icon, BoxIcon::Error);
    QCOMPARE(window_->Thresholds(), (Thresholds{0, 55, 114, 161, 215, 225}));
  }

  void orderAtOk_data() {
    QTest::addColumn<Thresholds>("values");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("descending");
    QTest::newRow("rising") << Thresholds{25, 55, 114, 161, 215, 225} << true << false;
    QTest::newRow("falling") << Thresholds{225, 215, 161, 114, 55, 25} << true << true;
    QTest::newRow("all equal: rising rule") << Thresholds{9, 9, 9, 9, 9, 9} << true << false;
    QTest::newRow("equal ends, one differs") << Thresholds{9, 9, 10, 9, 9, 9} << false << false;
    QTest::newRow("rising with a dip") << Thresholds{25, 55, 50, 161, 215, 225} << false << false;
    QTest::newRow("falling with a bump") << Thresholds{225, 215, 220, 114, 55, 25} << false << true;
  }
  void orderAtOk() {
    QFETCH(Thresholds, values);
    QFETCH(bool, accepted);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    window_->SetThresholds(values);
    window_->Edit4->setFocus();
    QTest::mouseClick(window_->ButtonOk, Qt::LeftButton);
    QCOMPARE(window_->result() == QDialog::Accepted, accepted);
    QTEST(window_->Descending(), "descending");
    if (!accepted) {
      QCOMPARE(boxes_->Last().text,
               QString("Le soglie devono essere tutte crescenti o tutte decrescenti."));
      QCOMPARE(boxes_->Last().icon, BoxIcon::Error);
      QCOMPARE(boxes_->Last().title, window_->windowTitle());
      QVERIFY(window_->Edit1->hasFocus());
    }
  }

  void emptyFieldFailsAtOk() {
    window_->Edit3->clear();
    window_->Validate();
    QCOMPARE(window_->result(), 0);
    QCOMPARE(boxes_->Last().text,
             QString("Le soglie devono essere tutte crescenti o tutte decrescenti."));
  }

  // Leaving a field with 256 or more, or nothing, restores the saved value.
  void invalidValueOnLeaving_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("warned");
    QTest::newRow("300") << "300" << "55" << true;
    QTest::newRow("256") << "256" << "55" << true;
    QTest::newRow("empty") << "" << "55" << true;
    QTest::newRow("255 kept") << "255" << "255" << false;
    QTest::newRow("letters never arrive") << "4x2" << "42" << false;
  }
  void invalidValueOnLeaving() {
    QFETCH(QString, typed);
    QFETCH(bool, warned);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    window_->Edit2->setFocus();
    window_->Edit2->clear();
    Type(window_->Edit2, typed);
    QTest::keyClick(window_->Edit2, Qt::Key_Return);  // on to the next field
    QTest::qWait(20);
    QTEST(window_->Edit2->text(), "shown");
    QCOMPARE(!boxes_->Empty(), warned);
    QCOMPARE(window_->Edit2->hasFocus(), warned);
    if (warned) {
      QCOMPARE(boxes_->Last().text, QString("Valore non valido: inserire un numero da 0 a 255."));
      QCOMPARE(boxes_->Last().icon, BoxIcon::Warning);
    }
  }

  // Alt+O with 300 typed and the field still focused: refused, nothing taken.
  void okShortcutChecksTheFocusedField() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    window_->Edit6->setFocus();
    window_->Edit6->setText("300");
    window_->Validate();  // what the accelerator does, the field still focused
    QCOMPARE(window_->result(), 0);
    QCOMPARE(window_->Edit6->text(), QString("225"));
  }

  void escWithTypedTextCancels() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    window_->Edit3->setFocus();
    window_->Edit3->clear();
    Type(window_->Edit3, "999");
    QTest::keyClick(window_->Edit3, Qt::Key_Escape);
    QCOMPARE(window_->result(), int(QDialog::Rejected));
    QVERIFY(boxes_->Empty());
  }

  void navigationWrapsAmongTabStops() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_));
    window_->Edit6->setFocus();
    QTest::keyClick(window_->Edit6, Qt::Key_Down);
    QVERIFY(window_->ButtonOk->hasFocus());
    window_->Edit1->setFocus();
    QTest::keyClick(window_->Edit1, Qt::Key_Up);
    QVERIFY(window_->ButtonAnnulla->hasFocus());  // the hidden button is skipped
  }

  // Every two seconds the slow block's level byte; a failed read shows 0.
  void liveReading() {
    QCOMPARE(window_->Timer1->interval(), 2000);
    QVERIFY(window_->Timer1->isActive());
    QCOMPARE(window_->LabelvSens->text(), QString("0"));
    window_->ReadSensor();
    QCOMPARE(window_->LabelvSens->text(), QString("100"));
    window_->ReadSensor();
    QCOMPARE(window_->LabelvSens->text(), QString("107"));
    link_.failing = true;
    window_->ReadSensor();
    QCOMPARE(window_->LabelvSens->text(), QString("0"));
    link_.failing = false;
  }

  void englishTextsAndAMovingReading() {
    lingua_.SetSelectedColumn("ENGLISH");
    TFormSensore window(&lingua_, &link_);
    window.SetThresholds({170, 179, 188, 197, 212, 236});
    window.ButtonCalcola->show();
    window.show();
    QCOMPARE(window.windowTitle(), QString("Non-standard level sensor setup"));
    QCOMPARE(window.LabelLivVuoto->text(), QString("Empty level"));
    QCOMPARE(window.ButtonCalcola->text(), QString("Calcola valori (sensore ottico)"));
    const int before = link_.slowReads;
    QTRY_VERIFY_WITH_TIMEOUT(link_.slowReads >= before + 1, 5000);
    Screenshot(&window, "sensor-en");
  }

  // The design language with every control shown: the Italian texts, the
  // reading in its place, and all of them fit.
  void italianTextsFitWithTheOpticalButton() {
    window_->ButtonCalcola->show();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    window_->ReadSensor();
    QCOMPARE(window_->windowTitle(), QString("Impostazione sensore di livello non standard"));
    QCOMPARE(window_->LabelLivVuoto->text(), QString("Livello di vuoto"));
    QCOMPARE(window_->LabelvSens->text(), QString::number(link_.level - 7));  // the last reading
    const QStringList problems = TextFitProblems(window_);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    Screenshot(window_, "sensor-it");
  }

  void brokenDictionaryKeepsDesignTexts() {
    TModuloLingua empty;
    TFormSensore window(&empty, nullptr);
    QCOMPARE(boxes_->Last().text, QString("Problemi col database multilingua (Codice 2)."));
    QCOMPARE(window.LabelLivPieno->text(), QString("Livello di pieno"));
    window.ReadSensor();  // no link: the reading stays 0
    QCOMPARE(window.LabelvSens->text(), QString("0"));
  }

 private:
  TModuloLingua lingua_;
  MovingLevelLink link_;
  ScopedMessageBoxCapture* boxes_ = nullptr;
  TFormSensore* window_ = nullptr;
};

QTEST_MAIN(FormSensoreTest)
#include "FormSensoreTest.moc"
