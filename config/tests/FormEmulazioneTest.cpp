// The emulation window on the offscreen platform with the real dictionary:
// the fields as the caller hands them in and takes them back, the character
// filters, the limits on leaving a field, "&Standard", the OK check and the
// preview as it is painted.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "FormEmulazione.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "TypeKeys.h"
#include "WavePreview.h"
#include "WindowTestSupport.h"

namespace {

bool IsWaveYellow(const QImage& image, int x, int y) {
  return image.pixelColor(x, y) == QColor(0xFF, 0xFF, 0x00);
}

}  // namespace

class FormEmulazioneTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // Numbers as on a system with the full stop; one test below uses the comma.
    QLocale::setDefault(QLocale::c());
    QVERIFY(lingua_.Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
    lingua_.SetUsable(true);
  }
  void init() {
    lingua_.SetSelectedColumn("ITALIANO");
    boxes_ = new ScopedMessageBoxCapture;
  }
  void cleanup() { delete boxes_; }

  void fieldsShowTheCallersValues() {
    TFormEmulazione window(&lingua_, 360, 1240, 3, 7);
    QCOMPARE(window.EditAlto->text(), QString("0.36"));
    QCOMPARE(window.EditBasso->text(), QString("1.24"));
    QCOMPARE(window.EditTristate->text(), QString("3"));
    QCOMPARE(window.EditOnde->text(), QString("7"));
    // Taken back unchanged: 0.36 s is 360 ms, not 359.
    QCOMPARE(window.HighMs(), 360);
    QCOMPARE(window.LowMs(), 1240);
    QCOMPARE(window.TriStateSeconds(), 3);
    QCOMPARE(window.Waves(), 7);
    QCOMPARE(window.windowTitle(), QString("Definizione parametri emulazione sonda Lambda"));
    QVERIFY(boxes_->Empty());
  }

  // The times take one decimal separator; the tri-state time and the wave
  // count are whole numbers and take none; letters go nowhere.
  void characterFilters_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("time with decimals") << "EditAlto" << "1.25" << "1.25";
    QTest::newRow("time, second separator") << "EditBasso" << "1.2.5" << "1.25";
    QTest::newRow("time, letters and sign") << "EditAlto" << "a-1,e+2" << "12";
    QTest::newRow("tri-state refuses the separator") << "EditTristate" << "1.5" << "15";
    QTest::newRow("waves refuse the separator") << "EditOnde" << "2.5" << "25";
    QTest::newRow("waves, letters") << "EditOnde" << "x3 " << "3";
  }
  void characterFilters() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    auto* edit = window.findChild<QLineEdit*>(field);
    edit->clear();
    Type(edit, typed);
    QTEST(edit->text(), "kept");
  }

  void separatorOverASelectionThatHoldsOne() {
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    window.EditAlto->setText("0.36");
    window.EditAlto->setSelection(1, 2);  // ".3"
    Type(window.EditAlto, ".");
    QCOMPARE(window.EditAlto->text(), QString("0.6"));
  }

  // Leaving a field above its limit puts back the value it had on entry and
  // keeps the focus there; within the limit the value stays.
  void limitsOnLeaving_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("stays");
    QTest::newRow("6 s high time refused") << "EditAlto" << "6" << "0.36" << true;
    QTest::newRow("5.1 s high time kept") << "EditAlto" << "5.1" << "5.1" << false;
    QTest::newRow("5.11 s low time refused") << "EditBasso" << "5.11" << "0.36" << true;
    QTest::newRow("5.1 s low time kept") << "EditBasso" << "5.1" << "5.1" << false;
    QTest::newRow("1311 s tri-state refused") << "EditTristate" << "1311" << "0" << true;
    QTest::newRow("1310 s tri-state kept") << "EditTristate" << "1310" << "1310" << false;
    QTest::newRow("256 waves refused") << "EditOnde" << "256" << "1" << true;
    QTest::newRow("255 waves kept") << "EditOnde" << "255" << "255" << false;
  }
  void limitsOnLeaving() {
    QFETCH(QString, field);
    QFETCH(QString, typed);
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto* edit = window.findChild<QLineEdit*>(field);
    edit->setFocus();
    edit->selectAll();
    Type(edit, typed);
    window.ButtonDefault->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    QTEST(edit->text(), "shown");
    QTEST(edit->hasFocus(), "stays");
    QVERIFY(boxes_->Empty());
  }

  void emptyTimeIsReportedAndKeepsItsText() {
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.EditBasso->setFocus();
    window.EditBasso->clear();
    window.EditOnde->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    QCOMPARE(boxes_->Last().text, QString("'' is not a valid floating point value"));
    QVERIFY(window.EditBasso->hasFocus());
    QCOMPARE(window.Panel1->text(), QString("(non disponibile)"));
  }

  void enterAndArrowsMoveBetweenFields() {
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.EditAlto->setFocus();
    QTest::keyClick(window.EditAlto, Qt::Key_Return);
    QVERIFY(window.EditBasso->hasFocus());
    QTest::keyClick(window.EditBasso, Qt::Key_Down);
    QVERIFY(window.EditTristate->hasFocus());
    QTest::keyClick(window.EditTristate, Qt::Key_Up);
    QVERIFY(window.EditBasso->hasFocus());
    QCOMPARE(window.result(), 0);  // Enter did not press OK
  }

  void escWithTypedTextCancels() {
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.EditAlto->setFocus();
    Type(window.EditAlto, "99");
    QTest::keyClick(window.EditAlto, Qt::Key_Escape);
    QCOMPARE(window.result(), int(QDialog::Rejected));
    QVERIFY(boxes_->Empty());
  }

  void standardButton() {
    TFormEmulazione window(&lingua_, 100, 2000, 5, 9);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(window.ButtonDefault, Qt::LeftButton);
    QCOMPARE(window.EditAlto->text(), QString("0.36"));
    QCOMPARE(window.EditBasso->text(), QString("0.36"));
    QCOMPARE(window.EditTristate->text(), QString("0"));
    QCOMPARE(window.EditOnde->text(), QString("1"));
    QVERIFY(window.ButtonOk->hasFocus());
    QCOMPARE(window.Label6->text(), QString("17"));
  }

  void okRefusesAnEmulationOfZeroTimes() {
    TFormEmulazione window(&lingua_, 0, 0, 0, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(window.ButtonOk, Qt::LeftButton);
    QCOMPARE(window.result(), 0);
    QCOMPARE(boxes_->Last().text,
             QString("Emulazione non definita: impostare almeno un tempo diverso da zero."));
    QCOMPARE(boxes_->Last().title, window.windowTitle());
    QCOMPARE(boxes_->Last().icon, BoxIcon::Error);
    QVERIFY(window.EditAlto->hasFocus());
    // With a tri-state time it is the ground emulation: accepted.
    window.EditTristate->setText("1");
    QTest::mouseClick(window.ButtonOk, Qt::LeftButton);
    QCOMPARE(window.result(), int(QDialog::Accepted));
  }

  // Alt+O reaches OK with the field still focused: its limit is checked.
  void okShortcutChecksTheFocusedField() {
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.EditAlto->setFocus();
    window.EditAlto->setText("9");
    window.Confirm();  // what the accelerator does, the field still focused
    QCOMPARE(window.result(), 0);
    QCOMPARE(window.EditAlto->text(), QString("0.36"));
  }

  // The caller takes the fields: times to whole milliseconds.
  void callerTakesMilliseconds() {
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    window.EditAlto->setText("0.021");
    window.EditBasso->setText("1.3");
    QCOMPARE(window.HighMs(), 21);
    QCOMPARE(window.LowMs(), 1300);
    window.EditTristate->clear();
    window.EditOnde->clear();
    QCOMPARE(window.TriStateSeconds(), 0);
    QCOMPARE(window.Waves(), 1);
  }

  // The standard wave as painted: yellow at the low level for 17 pixels from
  // x = 30, then at the high level, ending at x = 455; nothing beyond.
  void standardWaveAsPainted() {
    TFormEmulazione window(&lingua_, 360, 360, 0, 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.PaintBox1->width(), 498);
    QCOMPARE(window.Label5->text(), QString("21"));
    QCOMPARE(window.Label6->text(), QString("17"));
    QCOMPARE(window.Label7->text(), QString("17"));
    QCOMPARE(window.Panel1->text(), QString());
    const QImage image = window.PaintBox1->grab().toImage();
    for (int period = 0; period < 12; ++period) {
      const int x = 30 + period * 34;
      QVERIFY(IsWaveYellow(image, x + 8, 70));
      QVERIFY(!IsWaveYellow(image, x + 8, 30));
      QVERIFY(IsWaveYellow(image, x + 17 + 8, 30));
      QVERIFY(!IsWaveYellow(image, x + 17 + 8, 70));
      QVERIFY(IsWaveYellow(image, x + 17, 50));  // the rising edge
    }
    // The last points: high from 421 to 438, low to 455, the edge up at 455.
    QVERIFY(IsWaveYellow(image, 430, 30));
    QVERIFY(IsWaveYellow(image, 450, 70));
    QVERIFY(IsWaveYellow(image, 455, 50));
    QVERIFY(!IsWaveYellow(image, 470, 30));
    QVERIFY(!IsWaveYellow(image, 470, 70));
    Screenshot(&window, "emulation-standard-it");
  }

  void triStateGroupsAsPainted() {
    lingua_.SetSelectedColumn("ENGLISH");
    TFormEmulazione window(&lingua_, 360, 360, 2, 3);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QString("Lambda sensor emulation settings"));
    const QImage image = window.PaintBox1->grab().toImage();
    // The first red gap follows three periods: x = 132 .. 162 at y 50.
    bool red = false;
    for (int x = 133; x < 161; ++x) red = red || image.pixelColor(x, 50) == QColor(0xFF, 0, 0);
    QVERIFY(red);
    QVERIFY(IsWaveYellow(image, 170, 70));  // the second group's first low
    Screenshot(&window, "emulation-groups-en");
    window.EditTristate->setText("1");
    window.EditOnde->setFocus();
    window.EditOnde->setText("20");
    window.ButtonDefault->setFocus(Qt::TabFocusReason);  // leaving repaints
    QCOMPARE(window.PaintBox1->Drawing().strokes.size(), std::size_t{7});
    Screenshot(&window, "emulation-centred-en");
  }

  // The preview in each language: the wave and its labels are the same.
  void previewInEachLanguage_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<int>("triState");
    QTest::addColumn<int>("waves");
    QTest::addColumn<QString>("preview");
    QTest::newRow("Italian, standard") << "ITALIANO" << 0 << 1 << "Anteprima onda generata";
    QTest::newRow("Italian, groups") << "ITALIANO" << 2 << 3 << "Anteprima onda generata";
    QTest::newRow("English, standard") << "ENGLISH" << 0 << 1 << "Preview of the generated wave";
    QTest::newRow("English, groups") << "ENGLISH" << 2 << 3 << "Preview of the generated wave";
  }
  void previewInEachLanguage() {
    QFETCH(QString, column);
    QFETCH(int, triState);
    QFETCH(int, waves);
    lingua_.SetSelectedColumn(column);
    TFormEmulazione window(&lingua_, 360, 360, triState, waves);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTEST(window.LabelAnteprima->text(), "preview");
    QCOMPARE(window.Label6->text(), QString("17"));
    QCOMPARE(window.Panel1->text(), QString());
    Screenshot(&window, QStringLiteral("emulation-%1-%2")
                            .arg(column.toLower(), triState == 0 ? "standard" : "groups"));
  }

  void nothingToDrawShowsTheCaption() {
    lingua_.SetSelectedColumn("ENGLISH");
    TFormEmulazione window(&lingua_, 0, 0, 0, 1);
    QCOMPARE(window.Panel1->text(), QString("(not available)"));
    QVERIFY(window.PaintBox1->Drawing().strokes.empty());
  }

  // On a system whose decimal separator is the comma, the times use it.
  void commaSystem() {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    TFormEmulazione window(&lingua_, 360, 1310000, 0, 1);
    QCOMPARE(window.EditAlto->text(), QString("0,36"));
    QCOMPARE(window.EditBasso->text(), QString("1310"));  // no thousands separator
    window.EditAlto->clear();
    Type(window.EditAlto, "1.2,5");
    QCOMPARE(window.EditAlto->text(), QString("12,5"));
    QCOMPARE(window.HighMs(), 12500);
    QLocale::setDefault(QLocale::c());
  }

  void brokenDictionaryKeepsDesignTexts() {
    TModuloLingua empty;
    TFormEmulazione window(&empty, 360, 360, 0, 1);
    QCOMPARE(boxes_->Last().text, QString("Problemi col database multilingua (Codice 2)."));
    QCOMPARE(window.ButtonDefault->text(), QString("&Standard"));
  }

 private:
  TModuloLingua lingua_;
  ScopedMessageBoxCapture* boxes_ = nullptr;
};

QTEST_MAIN(FormEmulazioneTest)
#include "FormEmulazioneTest.moc"
