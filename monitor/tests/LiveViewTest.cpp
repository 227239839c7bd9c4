// TFormVisualizza on the offscreen platform with a stand-in ECU: what a tick
// puts on the screen, that only changed cells and the needle are repainted,
// the frozen display without a connection, the variant-2 layout, the keys
// that close it, its texts from the real dictionary, and the recording of the
// session: records, markers, the indicator, a folder that cannot be written.
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

#include "ActuatorTrackBar.h"
#include "ColourCell.h"
#include "ConfCar.h"
#include "EngineSpeedDial.h"
#include "FormContext.h"
#include "GlobalData.h"
#include "LiveLink.h"
#include "LogReader.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "Scaling.h"
#include "SessionLogs.h"
#include "SessionRecorder.h"
#include "Visualizza.h"
#include "WindowTestSupport.h"

using monitor::ColourCell;

namespace {

// Store slots of the parameters the view reads at creation.
constexpr int kProbeTypeSlot = 16;  // parameter 4, code 0 = 0-1 V probe
constexpr int kUpperLimitSlot = 26;
constexpr int kLowerLimitSlot = 27;

QList<QColor> ColoursOf(const QList<ColourCell*>& cells) {
  QList<QColor> out;
  for (const ColourCell* cell : cells) out.append(cell->Colour());
  return out;
}

int LitCells(const QList<ColourCell*>& cells) {
  int lit = 0;
  for (const ColourCell* cell : cells) lit += cell->Colour() != TFormVisualizza::FormColour();
  return lit;
}

int Recolours(const QList<ColourCell*>& cells) {
  int n = 0;
  for (const ColourCell* cell : cells) n += cell->Recolours();
  return n;
}

QColor TextColour(const QLabel* label) {
  return label->palette().color(QPalette::WindowText);
}

}  // namespace

class LiveViewTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void tickShowsTheFastBlock();
  void slowBlockShowsFuelTemperatureAndWindows();
  void onlyChangedCellsAndTheNeedleAreRepainted();
  void losingTheConnectionFreezesTheDisplay();
  void variantTwoHidesTheOtherReadings();
  void widerScreenScalesTheDialWithTheWindow();
  void keysClose_data();
  void keysClose();
  void textsComeFromTheDictionary();
  void missingDictionaryIsReported();
  void sessionIsRecordedWithItsMarkers();
  void recordingMakesRoomAmongOldLogs();
  void footLineShowsTheWholeFileName_data();
  void footLineShowsTheWholeFileName();
  void aFolderThatCannotBeWrittenIsSaidOnce();
  void withoutAFolderNothingIsRecorded();
  void fasterRateDrawsTheNewestOfThePolls();
  void recordingRateIsKeptInTheSettings();

 private:
  std::unique_ptr<TFormVisualizza> MakeWindow(TModuloLingua* language,
                                              const std::filesystem::path& logs = {});

  LiveLink link_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<TModuloLingua> lingua_;
};

void LiveViewTest::init() {
  OverrideScreenWidth(800);
  link_ = LiveLink();
  link_.connected = true;
  store_ = std::make_unique<ConfCar>("x.dmr", &link_);
  store_->StoreRaw(kProbeTypeSlot, 0);
  store_->StoreRaw(kUpperLimitSlot, 200);
  store_->StoreRaw(kLowerLimitSlot, 20);
  lingua_ = std::make_unique<TModuloLingua>();
  QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
  lingua_->SetSelectedColumn("ITALIANO");
}

void LiveViewTest::cleanup() {
  OverrideScreenWidth(0);
}

std::unique_ptr<TFormVisualizza> LiveViewTest::MakeWindow(TModuloLingua* language,
                                                          const std::filesystem::path& logs) {
  FormContext context;
  context.store = store_.get();
  context.link = &link_;
  context.language = language;
  context.sessionLogFolder = logs;
  auto window = std::make_unique<TFormVisualizza>(context);
  window->Timer1->stop();  // the test ticks by hand
  return window;
}

void LiveViewTest::tickShowsTheFastBlock() {
  auto w = MakeWindow(lingua_.get());
  link_.fast = {240, 128, 51, 0x21, 0x84, 130};
  w->Tick();
  QCOMPARE(w->StaticTextGiri->text(), QStringLiteral("500 rpm"));
  QCOMPARE(w->StaticTextLambda->text(), QLocale::system().toString(2.51, 'f', 2) + " V");
  QCOMPARE(w->StaticTextTps->text(), QLocale::system().toString(1.00, 'f', 2) + " V");
  QCOMPARE(w->StaticTextMot->text(), QStringLiteral("130"));
  QCOMPARE(w->TrackBarMax->value(), 255 - 130);
  QVERIFY(!w->LabelVisCutoff->isHidden());
  QCOMPARE(TextColour(w->LabelSup), QColor(Qt::red));
  QVERIFY(TextColour(w->LabelInf) != QColor(Qt::red));
  // Zone 1 lime, lambda status 2 red in the last cell (2.51 V on a 0-1 V probe).
  QCOMPARE(w->TpsCells[1]->Colour(), TFormVisualizza::TableColour(1));
  QCOMPARE(LitCells(w->TpsCells), 1);
  QCOMPARE(w->LambdaCells[9]->Colour(), TFormVisualizza::TableColour(6));
  QCOMPARE(LitCells(w->LambdaCells), 1);
  QCOMPARE(w->Dial->Rpm(), 500);
}

void LiveViewTest::slowBlockShowsFuelTemperatureAndWindows() {
  auto w = MakeWindow(lingua_.get());
  w->show();
  link_.slow = {0, 73, 0x00, 51, 100};
  w->Tick();
  QCOMPARE(w->StaticTextTemp->text(), QStringLiteral("n.d."));
  QCOMPARE(w->StaticTextLivello->text(), QStringLiteral("73"));
  QCOMPARE(w->LabelComm->text(), QStringLiteral("BENZINA"));
  QCOMPARE(TextColour(w->LabelComm), QColor(0x00, 0x80, 0x00));
  QVERIFY(w->ShapeMin->isHidden() && w->ShapeFMin->isHidden());
  QCOMPARE(w->TrackBarMax->SelectionStart(), 255 - 200);
  QCOMPARE(w->TrackBarMax->SelectionEnd(), 255 - 20);
  QCOMPARE(w->StaticTextDef->text(), QStringLiteral("100"));

  // The slow block is read again on the eleventh tick: on gas now.
  link_.slow = {120, 72, 0x09, 51, 190};
  for (int i = 0; i < 10; ++i) w->Tick();
  QCOMPARE(w->LabelComm->text(), QStringLiteral("BENZINA"));
  w->Tick();
  QCOMPARE(w->LabelComm->text(), QStringLiteral("GAS"));
  QCOMPARE(TextColour(w->LabelComm), QColor(Qt::red));
  QVERIFY(w->StaticTextTemp->text() != QStringLiteral("n.d."));
  QVERIFY(!w->ShapeMin->isHidden() && !w->ShapeFMin->isHidden());
  // Default 190 with the upper limit at 200: both opening spans are cut to
  // 10 steps, so the windows start 10 steps above the default mark.
  const int mid = w->LabelDef->y() + w->LabelDef->height() / 2;
  QVERIFY(w->ShapeMin->y() < mid && mid - w->ShapeMin->y() <= 16);
  QCOMPARE(w->ShapeFMin->y(), w->ShapeMin->y());
  Screenshot(w.get(), "live-view-gas");
}

void LiveViewTest::onlyChangedCellsAndTheNeedleAreRepainted() {
  auto w = MakeWindow(lingua_.get());
  w->show();
  QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  link_.fast = {140, 20, 30, 0x10, 0, 100};
  w->Tick();
  QCoreApplication::processEvents();
  const int faces = w->Dial->FaceRenders();
  QCOMPARE(faces, 1);
  const int lambdaRecolours = Recolours(w->LambdaCells);
  const int tpsRecolours = Recolours(w->TpsCells);
  const long long needle = w->Dial->NeedlePixels();

  // The same block again: nothing changes colour and the needle stays.
  w->Tick();
  QCoreApplication::processEvents();
  QCOMPARE(Recolours(w->LambdaCells), lambdaRecolours);
  QCOMPARE(Recolours(w->TpsCells), tpsRecolours);
  QCOMPARE(w->Dial->NeedlePixels(), needle);

  // A new speed, cell and zone: two cells each, a needle strip, no new face.
  link_.fast = {40, 80, 200, 0x23, 0, 100};
  w->Tick();
  QCoreApplication::processEvents();
  QCOMPARE(Recolours(w->LambdaCells), lambdaRecolours + 2);
  QCOMPARE(Recolours(w->TpsCells), tpsRecolours + 2);
  QVERIFY(w->Dial->NeedlePixels() > needle);
  QVERIFY(w->Dial->NeedlePixels() - needle < w->Dial->width() * w->Dial->height());
  QCOMPARE(w->Dial->FaceRenders(), faces);
  QCOMPARE(LitCells(w->LambdaCells), 1);
  QCOMPARE(LitCells(w->TpsCells), 1);
}

void LiveViewTest::losingTheConnectionFreezesTheDisplay() {
  auto w = MakeWindow(lingua_.get());
  link_.fast = {100, 40, 60, 0x11, 0, 90};
  link_.slow = {100, 50, 0x08, 40, 90};
  w->Tick();
  const QString rpm = w->StaticTextGiri->text();
  const QList<QColor> cells = ColoursOf(w->LambdaCells);
  link_.connected = false;
  link_.fast = {50, 200, 200, 0x33, 0x04, 10};
  const int reads = link_.fastReads;
  for (int i = 0; i < 15; ++i) w->Tick();
  QCOMPARE(link_.fastReads, reads);
  QCOMPARE(w->StaticTextGiri->text(), rpm);
  QCOMPARE(ColoursOf(w->LambdaCells), cells);
  QCOMPARE(w->LabelComm->text(), QStringLiteral("GAS"));
  link_.connected = true;
  w->Tick();
  QCOMPARE(w->StaticTextGiri->text(), QStringLiteral("2400 rpm"));
}

void LiveViewTest::variantTwoHidesTheOtherReadings() {
  auto normal = MakeWindow(lingua_.get());
  const int normalCentre = normal->Dial->geometry().center().x();
  store_->SetVariantFlag(true);
  auto w = MakeWindow(lingua_.get());
  for (QWidget* hidden : {static_cast<QWidget*>(w->Bevel2), static_cast<QWidget*>(w->LabelVisAltri),
                          static_cast<QWidget*>(w->StaticTextTemp),
                          static_cast<QWidget*>(w->StaticTextLivello),
                          static_cast<QWidget*>(w->LabelVisFunz)})
    QVERIFY(hidden->isHidden());
  QVERIFY(!w->LabelComm->isHidden());
  QCOMPARE(w->BevelGiri->width(), w->BevelTps->width());
  QVERIFY(w->Dial->geometry().center().x() > normalCentre);
  // The "3" mark stays centred over the dial.
  QCOMPARE(w->LabelRifGiri[3]->x() + 5, w->BevelGiri->x() + w->BevelGiri->width() / 2);
  w->show();
  Screenshot(w.get(), "live-view-variant2");
}

void LiveViewTest::widerScreenScalesTheDialWithTheWindow() {
  OverrideScreenWidth(1024);
  auto w = MakeWindow(lingua_.get());
  QCOMPARE(w->BevelGiri->geometry(), QRect(20, 348, 308, 298));  // 1.28 times the design
  QCOMPARE(w->Dial->geometry(), w->BevelGiri->geometry());
  QCOMPARE(w->Dial->Geometry().radius, 85);  // trunc(298 * 2 / 7)
  link_.fast = {40, 30, 60, 0x12, 0, 120};
  link_.slow = {90, 150, 0x09, 40, 110};
  w->Tick();
  w->show();
  Screenshot(w.get(), "live-view-1024");
}

void LiveViewTest::keysClose_data() {
  QTest::addColumn<int>("key");
  QTest::newRow("F12") << int(Qt::Key_F12);
  QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void LiveViewTest::keysClose() {
  QFETCH(int, key);
  auto w = MakeWindow(lingua_.get());
  w->show();
  QTest::keyClick(w.get(), static_cast<Qt::Key>(key));
  QVERIFY(!w->isVisible());
  QCOMPARE(w->result(), int(QDialog::Rejected));
  w->show();
  QTest::mouseClick(w->ButtonEsci, Qt::LeftButton);
  QVERIFY(!w->isVisible());
}

void LiveViewTest::textsComeFromTheDictionary() {
  lingua_->SetSelectedColumn("ENGLISH");
  auto w = MakeWindow(lingua_.get());
  QCOMPARE(w->windowTitle(), QStringLiteral("Vehicle live parameters"));
  QCOMPARE(w->LabelComm->text(), QStringLiteral("PETROL"));
  w->Tick();
  QCOMPARE(w->StaticTextTemp->text(), QStringLiteral("n/a"));
  QCOMPARE(w->StaticTextGiri->text(), QStringLiteral("0 rpm"));
}

void LiveViewTest::missingDictionaryIsReported() {
  ScopedMessageBoxCapture boxes;
  auto w = MakeWindow(nullptr);
  QCOMPARE(boxes.Last().text, QStringLiteral("Problemi col database multilingua (Codice 1)."));
  QCOMPARE(w->LabelVisAtt->text(), QStringLiteral("Attuatore"));
  QCOMPARE(w->LabelComm->text(), QString());  // no petrol text was loaded
}

// Every tick that brought something is a record of what the view shows; a
// write to the ECU during the session and the M key are markers; the
// indicator names the file. Closing the view closes the log, and writes
// after it reach no recorder.
void LiveViewTest::sessionIsRecordedWithItsMarkers() {
  QTemporaryDir logs;
  const std::filesystem::path folder = logs.filePath("ecu-18-0-0-23").toStdString();
  std::filesystem::path file;
  std::vector<int> shown;
  {
    auto w = MakeWindow(lingua_.get(), folder);
    QVERIFY(w->Recorder() != nullptr);
    file = w->Recorder()->File();
    QCOMPARE(file.parent_path(), folder);
    QVERIFY(!w->LabelRegistra->isHidden());
    QVERIFY2(w->LabelRegistra->text().contains(QString::fromStdString(file.filename().string())),
             qPrintable(w->LabelRegistra->text()));
    QVERIFY(w->LabelRegistra->text().contains(QStringLiteral("Registrazione")));
    w->show();
    link_.slow = {100, 50, 0x00, 40, 90};
    for (const std::uint8_t period : {240, 120, 60}) {
      link_.fast = {period, 40, 60, 0x11, 0, 90};
      w->Tick();
      shown.push_back(w->Display().rpm);
    }
    QCOMPARE(store_->SetValue(56, 3000), 1);
    link_.refusedCodes.insert(56);
    QCOMPARE(store_->SetValue(56, 2500), 0);
    QTest::keyClick(w.get(), Qt::Key_M);
    QTest::keyClick(w.get(), Qt::Key_M, Qt::ControlModifier);  // not a marker
    QVERIFY2(w->LabelRegistra->text().endsWith(QStringLiteral("Segni (M): 1")),
             qPrintable(w->LabelRegistra->text()));
    link_.fast = {48, 40, 60, 0x11, 0, 90};
    w->Tick();
    shown.push_back(w->Display().rpm);
    Screenshot(w.get(), "live-view-recording");
  }
  link_.refusedCodes.clear();
  QCOMPARE(store_->SetValue(56, 2000), 1);  // the view is gone: its recorder hears nothing

  const logging::ReadResult read = logging::ReadLog(file);
  QVERIFY2(read.ok, read.error.c_str());
  const logging::Log& log = read.log;
  QCOMPARE(log.Records(), shown.size());
  const int rpm = log.ChannelIndex("RPM");
  for (std::size_t r = 0; r < shown.size(); ++r) QCOMPARE(int(log.Value(r, rpm)), shown[r]);
  std::vector<std::string> markers;
  for (const auto& m : log.markers) markers.push_back(m.text);
  const std::vector<std::string> expected = {"56 \u2192 3000", "56 \u2192 2500 refused", "mark 1"};
  QCOMPARE(markers, expected);
}

// Opening the view makes room: the oldest log of the ECU goes when it has
// as many as it may keep, and never the one just started.
void LiveViewTest::recordingMakesRoomAmongOldLogs() {
  QTemporaryDir logs;
  const std::filesystem::path folder = logs.filePath("ecu-18-0-0-23").toStdString();
  std::filesystem::create_directories(folder);
  for (int k = 0; k < logging::kKeptLogsPerEcu; ++k) {
    char name[40];
    std::snprintf(name, sizeof name, "2020-01-01_%06d.mlg", k);
    std::ofstream(folder / name) << "old";
  }
  auto w = MakeWindow(lingua_.get(), folder);
  QVERIFY(w->Recorder()->Recording());
  QVERIFY(!std::filesystem::exists(folder / "2020-01-01_000000.mlg"));
  QVERIFY(std::filesystem::exists(folder / "2020-01-01_000001.mlg"));
  QVERIFY(std::filesystem::exists(w->Recorder()->File()));
  const auto count = std::distance(std::filesystem::directory_iterator(folder),
                                   std::filesystem::directory_iterator());
  QCOMPARE(count, std::ptrdiff_t{logging::kKeptLogsPerEcu});
}

// However long the language's words, the foot line shows the log's whole
// file name and the count of markers; the full path is in its tooltip.
void LiveViewTest::footLineShowsTheWholeFileName_data() {
  QTest::addColumn<QString>("column");
  QTest::addColumn<int>("width");
  for (const char* column : {"ITALIANO", "ENGLISH", "FRANCAIS", "DEUTSCH", "ESPANOL", "POLSKI"})
    for (const int width : {800, 1024})
      QTest::addRow("%s-%d", column, width) << QString::fromLatin1(column) << width;
}

void LiveViewTest::footLineShowsTheWholeFileName() {
  QFETCH(QString, column);
  QFETCH(int, width);
  OverrideScreenWidth(width);
  lingua_->SetSelectedColumn(column);
  QTemporaryDir logs;
  const std::filesystem::path folder = logs.filePath("ecu-18-0-0-23").toStdString();
  auto w = MakeWindow(lingua_.get(), folder);
  for (int k = 0; k < 12; ++k) QTest::keyClick(w.get(), Qt::Key_M);
  const QString name = QString::fromStdString(w->Recorder()->File().filename().string());
  const QString text = w->LabelRegistra->text();
  QVERIFY2(text.contains(name), qPrintable(text));
  QVERIFY2(text.endsWith(QStringLiteral(" (M): 12")), qPrintable(text));
  QVERIFY2(w->LabelRegistra->fontMetrics().horizontalAdvance(text) <= w->LabelRegistra->width(),
           qPrintable(text));
  QCOMPARE(w->LabelRegistra->toolTip(), QString::fromStdString(w->Recorder()->File().string()));
  if (column == QLatin1String("DEUTSCH") || column == QLatin1String("ITALIANO")) {
    w->show();
    Screenshot(w.get(), QStringLiteral("live-view-foot-%1-%2").arg(column.toLower()).arg(width));
  }
}

// A log that cannot be made is said once at the foot of the view, in red,
// with the reason; no message box stops the technician and the view goes on.
void LiveViewTest::aFolderThatCannotBeWrittenIsSaidOnce() {
  QTemporaryDir logs;
  const std::filesystem::path blocker = logs.filePath("a-file").toStdString();
  std::ofstream(blocker) << "not a folder";
  ScopedMessageBoxCapture boxes;
  auto w = MakeWindow(lingua_.get(), blocker / "ecu-18-0-0-23");
  QVERIFY(w->Recorder()->Failed());
  QVERIFY2(w->LabelRegistra->text().startsWith(QStringLiteral("Registrazione interrotta: ")),
           qPrintable(w->LabelRegistra->text()));
  QCOMPARE(TextColour(w->LabelRegistra), QColor(Qt::red));
  const QString said = w->LabelRegistra->text();
  link_.fast = {120, 40, 60, 0x11, 0, 90};
  w->Tick();
  QTest::keyClick(w.get(), Qt::Key_M);
  QCOMPARE(w->StaticTextGiri->text(), QStringLiteral("1000 rpm"));
  QCOMPARE(w->LabelRegistra->text(), said);
  QVERIFY(boxes.Empty());
}

void LiveViewTest::withoutAFolderNothingIsRecorded() {
  auto w = MakeWindow(lingua_.get());
  QVERIFY(w->Recorder() == nullptr);
  QVERIFY(w->LabelRegistra->isHidden());
  QTest::keyClick(w.get(), Qt::Key_M);  // nothing to mark, nothing breaks
  w->Tick();
}

// At a rate above ten a second the poll timer polls and the drawing timer
// draws: the polls in between are recorded, and the view shows the newest
// values, the slow block of an earlier poll included.
void LiveViewTest::fasterRateDrawsTheNewestOfThePolls() {
  QTemporaryDir logs;
  auto w = MakeWindow(lingua_.get(), logs.filePath("ecu").toStdString());
  QCOMPARE(w->ComboFrequenza->count(), 4);
  QCOMPARE(w->ComboFrequenza->currentText(), QStringLiteral("10 Hz"));
  QCOMPARE(w->ComboFrequenza->itemText(3), QStringLiteral("Massima"));
  QCOMPARE(w->ComboFrequenza->itemData(3, Qt::ToolTipRole).toString(),
           QStringLiteral("Il più veloce che la linea consente"));
  QVERIFY(!w->PollTimer->isActive());

  emit w->ComboFrequenza->activated(2);
  QCOMPARE(w->RecordingRate(), 50);
  QVERIFY(w->PollTimer->isActive());
  QCOMPARE(w->PollTimer->interval(), 20);
  w->PollTimer->stop();  // the test polls by hand

  link_.slow = {120, 72, 0x09, 51, 190};
  link_.fast = {240, 128, 51, 0x21, 0x84, 130};
  w->Poll();
  link_.fast = {120, 20, 30, 0x10, 0, 100};
  w->Poll();
  w->Poll();
  QCOMPARE(w->Display().rpm, 0);  // nothing drawn between the drawing ticks
  QCOMPARE(w->Recorder()->Records(), std::uint64_t{3});
  w->ShowNewest();
  QCOMPARE(w->StaticTextGiri->text(), QStringLiteral("1000 rpm"));
  QCOMPARE(w->LabelComm->text(), QStringLiteral("GAS"));
  QCOMPARE(w->StaticTextDef->text(), QStringLiteral("190"));
  QCOMPARE(LitCells(w->TpsCells), 1);
  QCOMPARE(w->TpsCells[0]->Colour(), TFormVisualizza::TableColour(0));
  // Nothing new since: drawing again reads nothing and keeps the screen.
  w->ShowNewest();
  QCOMPARE(link_.fastReads, 3);
  QCOMPARE(w->StaticTextGiri->text(), QStringLiteral("1000 rpm"));

  emit w->ComboFrequenza->activated(3);
  QCOMPARE(w->RecordingRate(), 0);
  QCOMPARE(w->PollTimer->interval(), 0);
  // A line that brings nothing is asked ten times a second, not in a spin.
  link_.connected = false;
  QTest::qWait(50);
  QCOMPARE(w->PollTimer->interval(), 100);
  link_.connected = true;

  emit w->ComboFrequenza->activated(0);
  QCOMPARE(w->RecordingRate(), 10);
  QVERIFY(!w->PollTimer->isActive());
}

// The rate chosen in the view is the settings' rate, and the next view
// opens with it.
void LiveViewTest::recordingRateIsKeptInTheSettings() {
  SettingsSandbox sandbox;
  sandbox.Store(QStringLiteral("/tmp"), 0, 0);
  ScopedMessageBoxCapture boxes;
  int goOn = -1;
  GlobalData settings(goOn);
  QVERIFY(settings.SetRecordingRate(20));
  FormContext context;
  context.store = store_.get();
  context.link = &link_;
  context.language = lingua_.get();
  context.settings = &settings;
  {
    TFormVisualizza w(context);
    QCOMPARE(w.ComboFrequenza->currentText(), QStringLiteral("20 Hz"));
    QCOMPARE(w.PollTimer->interval(), 50);
    emit w.ComboFrequenza->activated(3);
  }
  QCOMPARE(settings.RecordingRate(), 0);
  TFormVisualizza again(context);
  QCOMPARE(again.ComboFrequenza->currentIndex(), 3);
  QCOMPARE(again.RecordingRate(), 0);
  settings.DiscardWithoutSaving();
}

QTEST_MAIN(LiveViewTest)
#include "LiveViewTest.moc"
