// The compare window on the offscreen platform: the real dictionary in two
// languages, a snapshot in a history folder of the test's own, a store on a
// recording link, message boxes through the seam.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "ConfCar.h"
#include "ConfigurationsFolder.h"
#include "Confronta.h"
#include "FormContext.h"
#include "History.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "RecordingLink.h"
#include "Scaling.h"
#include "TextFit.h"
#include "WindowTestSupport.h"

namespace {

const ecu::Identification kEcu{18, 0, 1, 23};

// What of the window cannot be seen: controls reaching past its edges, table
// columns past the table's edge, texts that do not fit.
QStringList Hidden(const TFormConfronta& window) {
  QStringList hidden = TextFitProblems(&window);
  const QList<QWidget*> controls = {window.ComboBoxA,     window.ComboBoxB,
                                    window.CheckTutti,    window.LabelRisultato,
                                    window.TabellaConfronto, window.ButtonEsporta,
                                    window.ButtonRipristina, window.ButtonEsci};
  for (const QWidget* control : controls) {
    const QRect area(control->mapTo(&window, QPoint(0, 0)), control->size());
    if (!window.rect().contains(area))
      hidden.append(control->objectName() + QStringLiteral(" at (%1, %2) %3 x %4")
                                                .arg(area.x())
                                                .arg(area.y())
                                                .arg(area.width())
                                                .arg(area.height()));
  }
  const QHeaderView* header = window.TabellaConfronto->horizontalHeader();
  const int visibleWidth = window.TabellaConfronto->viewport()->width();
  for (int c = 0; c < header->count(); ++c) {
    const int right = header->sectionViewportPosition(c) + header->sectionSize(c);
    if (right > visibleWidth || header->sectionSize(c) < header->sectionSizeHint(c) / 2)
      hidden.append(QStringLiteral("column %1 ends at %2 of %3").arg(c).arg(right).arg(visibleWidth));
  }
  const QSize size = window.size();
  if (size.width() > ScreenWidth() || size.height() > ScreenHeight())
    hidden.append(QStringLiteral("window %1 x %2").arg(size.width()).arg(size.height()));
  return hidden;
}

QStringList Column(const QTableWidget* table, int column) {
  QStringList cells;
  for (int r = 0; r < table->rowCount(); ++r) cells.append(table->item(r, column)->text());
  return cells;
}

}  // namespace

class CompareWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(home_.isValid());
    qputenv("XDG_CONFIG_HOME", QDir(home_.path()).filePath("config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", QDir(home_.path()).filePath("data").toLocal8Bit());
    history_ = QDir(home_.path()).filePath("history");
    link_ = RecordingLink();
    link_.connected = true;
    store_ = std::make_unique<ConfCar>("default.dmr", &link_);
    // The snapshot at connection: factory values.
    QVERIFY(history::SaveSnapshot(*store_, history_.toStdString(), kEcu,
                                  std::chrono::system_clock::now())
                .saved);
    // Three changes since: change-over speed, cut-off end, one gauge output.
    QCOMPARE(store_->SetValue(56, 3000), 1);
    QCOMPARE(store_->SetValue(41, 1500), 1);
    QCOMPARE(store_->SetElement(61, 2, 120), 1.0);
    link_.calls.clear();
    lingua_ = std::make_unique<TModuloLingua>();
    QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
    lingua_->SetUsable(true);
  }

  void cleanup() {
    OverrideScreenWidth(0);
    lingua_.reset();
    store_.reset();
  }

  void ShowsWhatChangedSinceTheSnapshotInEachLanguage_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("changeOver");
    QTest::newRow("Italian") << "ITALIANO"
                             << "Confronta configurazioni"
                             << "Numero di giri per il passaggio benzina - gas";
    QTest::newRow("English") << "ENGLISH"
                             << "Compare configurations"
                             << "Engine speed for petrol to gas changeover";
  }

  void ShowsWhatChangedSinceTheSnapshotInEachLanguage() {
    QFETCH(QString, column);
    QFETCH(QString, title);
    QFETCH(QString, changeOver);
    lingua_->SetSelectedColumn(column);
    TFormConfronta window(Context(), history_);
    window.show();
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(window.ComboBoxB->currentIndex(), 0);  // the ECU now
    QVERIFY(window.ComboBoxA->currentText().contains(QStringLiteral("ecu-18-0-1-23")));
    const QStringList captions = Column(window.TabellaConfronto, 0);
    QCOMPARE(captions.size(), 3);
    QCOMPARE(captions.at(1), changeOver);
    QCOMPARE(Column(window.TabellaConfronto, 1).at(1), QStringLiteral("2000"));
    QCOMPARE(Column(window.TabellaConfronto, 2).at(1), QStringLiteral("3000"));
    QCOMPARE(Column(window.TabellaConfronto, 3).at(1), QStringLiteral("2000"));
    QVERIFY(window.LabelRisultato->text().endsWith(QStringLiteral(" 3")));
    QVERIFY(window.ButtonRipristina->isEnabled());
    Screenshot(&window, QStringLiteral("compare-") + column.toLower());

    window.CheckTutti->setChecked(true);
    QVERIFY(window.TabellaConfronto->rowCount() > 70);
    QVERIFY(window.LabelRisultato->text().endsWith(QStringLiteral(" 3")));
  }

  // On every screen the window opens with all of it in sight, smaller than
  // the screen, and stays whole when made as small as it goes or larger.
  void ShowsEverythingOnEveryScreen_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("column");
    QTest::newRow("800 x 600 Italian") << 800 << 600 << "ITALIANO";
    QTest::newRow("800 x 600 Polish") << 800 << 600 << "POLSKI";
    QTest::newRow("1024 x 768 Italian") << 1024 << 768 << "ITALIANO";
    QTest::newRow("1024 x 768 German") << 1024 << 768 << "DEUTSCH";
    QTest::newRow("1280 x 1024 French") << 1280 << 1024 << "FRANCAIS";
    QTest::newRow("1920 x 1080 Italian") << 1920 << 1080 << "ITALIANO";
    QTest::newRow("1920 x 1080 German") << 1920 << 1080 << "DEUTSCH";
  }
  void ShowsEverythingOnEveryScreen() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, column);
    OverrideScreenWidth(width, height);
    lingua_->SetSelectedColumn(column);
    TFormConfronta window(Context(), history_);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStringList hidden = Hidden(window);
    QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join('\n')));
    QVERIFY(window.minimumWidth() < window.maximumWidth());
    QVERIFY(window.minimumHeight() < window.maximumHeight());
    Screenshot(&window, QStringLiteral("compare-%1-%2").arg(width).arg(column.toLower()));

    for (const QSize size : {window.minimumSizeHint(), QSize(width, height) * 9 / 10}) {
      window.resize(size);
      QCoreApplication::processEvents();
      hidden = Hidden(window);
      QVERIFY2(hidden.isEmpty(), qPrintable(QStringLiteral("at %1 x %2:\n")
                                                .arg(window.width())
                                                .arg(window.height()) +
                                            hidden.join('\n')));
    }
  }

  void ForeignFileIsSaidAndCannotBeRestored() {
    lingua_->SetSelectedColumn("ENGLISH");
    const QString foreign = QDir(home_.path()).filePath("notes.dmr");
    QFile file(foreign);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("shopping list\n");
    file.close();
    TFormConfronta window(Context(), history_);
    QVERIFY(window.ChooseA(window.AddFile(foreign)));
    QVERIFY(window.LabelRisultato->text().startsWith(QStringLiteral("The file is not")));
    QCOMPARE(window.TabellaConfronto->rowCount(), 0);
    QVERIFY(!window.ButtonRipristina->isEnabled());
    QVERIFY(!window.ButtonEsporta->isEnabled());
  }

  void RestoreAsksWithTheCountThenWritesOnlyTheDifferences() {
    lingua_->SetSelectedColumn("ITALIANO");
    TFormConfronta window(Context(), history_);
    ScopedMessageBoxCapture boxes;
    // No: nothing is written.
    window.ButtonRipristina->click();
    QCOMPARE(boxes.Requests().size(), 1);
    QVERIFY(boxes.Last().text.contains(QStringLiteral("cambieranno: 3")));
    QVERIFY(link_.Writes().empty());

    // Yes, with the gauge output refused: the refusal is named.
    link_.refusedCodes.insert(61);
    for (int address = 0; address < 256; ++address) link_.memory[address] = {0, 0, 0, 0, 0, 0};
    link_.memory[56] = {60};
    link_.memory[41] = {12};
    link_.memory[61] = {20, 50, 120, 150, 200, 250};
    boxes.QueueAnswer(BoxAnswer::Yes);
    window.ButtonRipristina->click();
    using Call = RecordingLink::Call;
    const std::vector<Call> writes = {
        {"write", 56, 0, 60}, {"write", 41, 0, 12}, {"element", 61, 2, 100}};
    QVERIFY(link_.Writes() == writes);
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    QVERIFY2(boxes.Last().text.contains(QStringLiteral("Impostazione Indicatore originale [2]")),
             qPrintable(boxes.Last().text));
  }

  // The default position and the error flags move on the ECU by themselves:
  // listed last and said so, not counted, not written back, and no refusal
  // when they have moved again by the read-back.
  void ValuesKeptByTheEcuAreShownApartAndLeftAlone() {
    lingua_->SetSelectedColumn("ENGLISH");
    store_->StoreRaw(store_->MemberAddress(40), 104);
    store_->StoreRaw(store_->MemberAddress(53), 1);
    TFormConfronta window(Context(), history_);
    const QStringList captions = Column(window.TabellaConfronto, 0);
    QCOMPARE(captions.size(), 5);
    for (int r = 3; r < 5; ++r)
      QVERIFY2(captions.at(r).endsWith(QStringLiteral(" (kept by the ECU)")),
               qPrintable(captions.at(r)));
    QVERIFY(window.LabelRisultato->text().endsWith(QStringLiteral(" 3")));

    ScopedMessageBoxCapture boxes;
    for (int address = 0; address < 256; ++address) link_.memory[address] = {0, 0, 0, 0, 0, 0};
    link_.memory[56] = {60};
    link_.memory[41] = {12};
    link_.memory[61] = {20, 50, 100, 150, 200, 250};
    link_.memory[40] = {121};
    link_.memory[53] = {4};
    boxes.QueueAnswer(BoxAnswer::Yes);
    window.ButtonRipristina->click();
    QVERIFY(boxes.Requests().first().text.contains(QStringLiteral("change: 3")));
    using Call = RecordingLink::Call;
    const std::vector<Call> writes = {
        {"write", 56, 0, 60}, {"write", 41, 0, 12}, {"element", 61, 2, 100}};
    QVERIFY(link_.Writes() == writes);
    QCOMPARE(boxes.Last().icon, BoxIcon::Information);
    QCOMPARE(boxes.Last().text, QStringLiteral("Restore complete."));
  }

  void ExportsTheShownTableAsCsv() {
    lingua_->SetSelectedColumn("ENGLISH");
    TFormConfronta window(Context(), history_);
    const QString csv = QDir(home_.path()).filePath("diff.csv");
    QVERIFY(window.ExportCsv(csv));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 5);  // header, three rows, the last line end
    QVERIFY(lines.at(0).startsWith("Identifier,Element,Parameter,"));
    QCOMPARE(lines.at(2),
             QByteArray("56,,Engine speed for petrol to gas changeover,2000,3000,2000,yes"));
    QVERIFY(!window.ExportCsv(QDir(home_.path()).filePath("none/diff.csv")));
  }

  // The export button: its dialog opens in the configurations folder, a
  // name typed without an extension gets ".csv", and the table is headed in
  // the program's language.
  void ExportButtonSavesACsvFileInTheConfigurationsFolder_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("row");
    QTest::newRow("Italian, no extension")
        << "ITALIANO" << "differenze" << "differenze.csv"
        << QByteArray("Identificativo,Elemento,Parametro,")
        << QByteArray(",Valore di fabbrica,Diverso");
    QTest::newRow("German, with extension")
        << "DEUTSCH" << "unterschiede.csv" << "unterschiede.csv"
        << QByteArray("Kennung,Element,Parameter,") << QByteArray(",Werkswert,Abweichend");
  }

  void ExportButtonSavesACsvFileInTheConfigurationsFolder() {
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, row);
    lingua_->SetSelectedColumn(column);
    TFormConfronta window(Context(), history_);
    const QString folder = UsableConfigurationsFolder(QString());
    QVERIFY(!folder.isEmpty());
    QCOMPARE(window.ConfigurationsFolder(), folder);
    QString openedIn;
    WhenModal<QFileDialog>([typed, &openedIn](QFileDialog* dialog) {
      openedIn = dialog->directory().absolutePath();
      dialog->selectFile(typed);
      static_cast<QDialog*>(dialog)->accept();
    });
    window.ButtonEsporta->click();
    QCOMPARE(openedIn, QDir(folder).absolutePath());
    QFile file(QDir(folder).filePath(written));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QVERIFY2(lines.at(0).startsWith(header), lines.at(0).constData());
    QVERIFY2(lines.at(0).endsWith(row), lines.at(0).constData());
    QVERIFY(!QFile::exists(QDir(folder).filePath(QFileInfo(written).completeBaseName())));
  }

 private:
  FormContext Context() {
    FormContext context;
    context.store = store_.get();
    context.link = &link_;
    context.language = lingua_.get();
    context.identification = kEcu;
    return context;
  }

  QTemporaryDir home_;
  QString history_;
  RecordingLink link_;
  std::unique_ptr<ConfCar> store_;
  std::unique_ptr<TModuloLingua> lingua_;
};

QTEST_MAIN(CompareWindowTest)
#include "CompareWindowTest.moc"
