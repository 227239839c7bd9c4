// The file windows on the offscreen platform: the real dictionary, real files
// in a temporary configurations folder, message boxes seen through the seam.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ConfCar.h"
#include "ConfigurationsFolder.h"
#include "FileNameRules.h"
#include "FileSalva.h"
#include "Fileapri.h"
#include "Files.h"
#include "FormContext.h"
#include "FixtureTable.h"
#include "GlobalData.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "RecordingLink.h"
#include "TypeKeys.h"
#include "WindowTestSupport.h"

namespace {

// Runs action on the next modal dialog as soon as the event loop shows it.
void OnNextDialog(std::function<void(QDialog*)> action) {
  QTimer::singleShot(0, [action] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    action(dialog);
  });
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

// A dictionary that holds none of the file windows' keys: every lookup fails.
bool OpenDictionaryWithoutTheseKeys(const QTemporaryDir& folder, TModuloLingua& lingua) {
  return WriteFixtureTable(QDir(folder.path()).filePath("only.dbf"), {"IDENTIF"},
                           {{"MenuLingua"}}) &&
         lingua.Open(folder.path(), "only.dbf");
}

}  // namespace

class FileWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase();
  void init();
  void cleanup();

  void proposedNames_data();
  void proposedNames();
  void nameFieldRefusesPunctuation_data();
  void nameFieldRefusesPunctuation();
  void okFollowsTheField();

  void savesUnderTheTypedName();
  void overwriteNoKeepsOldFileAndWindow();
  void overwriteYesReplacesFile();
  void failedSaveIsReportedAndNotTakenAsDone();
  void emptyFolderSaysSoAndStays();
  void listsOnlyConfigurationFilesAndLoadsTheChosenOne();
  void eachWayOfChoosingLoads_data();
  void eachWayOfChoosingLoads();
  void fileGoneBeforeLoadingIsReportedAndNotTakenAsDone();
  void cancelledLoadChangesNothing();
  void brokenDictionaryKeepsDesignCaptions();
  void failedSaveIsReportedInWordsEvenWithABrokenDictionary();
  void subWindowsTakeTheirTextsFromTheDictionary();
  void unwritableFolderFallsBackToUserData();
  void focusMovesTheArrow();

 private:
  TFormFile* MakeWindow();

  FormContext Context(TModuloLingua* language);

  QTemporaryDir home_;
  QTemporaryDir program_;
  QString configurations_;
  RecordingLink link_;
  ConfCar* store_ = nullptr;
  GlobalData* settings_ = nullptr;
  TModuloLingua* lingua_ = nullptr;
  ScopedMessageBoxCapture* boxes_ = nullptr;
};

void FileWindowsTest::initTestCase() {
  // Settings and user data go to a folder of the test's own.
  qputenv("XDG_CONFIG_HOME", QDir(home_.path()).filePath("config").toLocal8Bit());
  qputenv("XDG_DATA_HOME", QDir(home_.path()).filePath("data").toLocal8Bit());
}

void FileWindowsTest::init() {
  boxes_ = new ScopedMessageBoxCapture;
  boxes_->QueueAnswer(BoxAnswer::Yes);  // a first run asks whether to go on
  int goOn = 0;
  settings_ = new GlobalData(goOn);
  QCOMPARE(goOn, 1);
  settings_->SetPath(GlobalData::kMainFolder, program_.path());
  settings_->GetPath(GlobalData::kConfigurationsFolder, configurations_);
  QDir(configurations_).removeRecursively();
  boxes_->Clear();

  store_ = new ConfCar("default.dmr", &link_);
  link_.calls.clear();
  lingua_ = new TModuloLingua;
  QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
  lingua_->SetUsable(true);
  lingua_->SetSelectedColumn("ITALIANO");
}

void FileWindowsTest::cleanup() {
  delete lingua_;
  delete store_;
  settings_->DiscardWithoutSaving();
  delete settings_;
  delete boxes_;
}

FormContext FileWindowsTest::Context(TModuloLingua* language) {
  FormContext context;
  context.store = store_;
  context.link = &link_;
  context.language = language;
  context.settings = settings_;
  return context;
}

TFormFile* FileWindowsTest::MakeWindow() {
  auto* window = new TFormFile(Context(lingua_));
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->show();
  return window;
}

void FileWindowsTest::proposedNames_data() {
  QTest::addColumn<QString>("storeName");
  QTest::addColumn<bool>("proposed");
  QTest::addColumn<QString>("name");
  QTest::newRow("default") << "default.dmr" << true << "default";
  QTest::newRow("two full stops") << "car.2024.dmr" << true << "car.2024";
  QTest::newRow("with folders") << "/a/b.c/Configurazioni/van.dmr" << true << "van";
  QTest::newRow("windows folders") << "C:\\cfg\\van.vst" << true << "van";
  QTest::newRow("no full stop") << "noname" << true << "";
  QTest::newRow("empty") << "" << false << "";
  QTest::newRow("folder only") << "/a/b/" << false << "";
}

void FileWindowsTest::proposedNames() {
  QFETCH(QString, storeName);
  QFETCH(bool, proposed);
  QFETCH(QString, name);
  const auto result = ProposedSaveName(storeName);
  QCOMPARE(result.has_value(), proposed);
  if (proposed) QCOMPARE(*result, name);
}

void FileWindowsTest::nameFieldRefusesPunctuation_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("kept");
  QTest::newRow("full stop, colon, hyphen") << "a.b:c-d"
                                            << "abcd";
  QTest::newRow("slash and backslash") << "x/y\\z"
                                       << "xyz";
  QTest::newRow("! to / and : to @") << "!\"#$%&'()*+,/;<=>?@"
                                     << "";
  QTest::newRow("accepted") << "Fiat Punto_1 [2]~"
                            << "Fiat Punto_1 [2]~";
  QTest::newRow("accented") << "Citroën Berlingo"
                            << "Citroën Berlingo";
}

void FileWindowsTest::nameFieldRefusesPunctuation() {
  QFETCH(QString, typed);
  QFETCH(QString, kept);
  TFormFileSalva save;
  save.show();
  Type(save.EditNome, typed);
  QCOMPARE(save.EditNome->text(), kept);
}

void FileWindowsTest::okFollowsTheField() {
  TFormFileSalva save;
  save.show();
  QVERIFY(!save.ButtonOk->isEnabled());
  QTest::keyClicks(save.EditNome, "ab");
  QVERIFY(save.ButtonOk->isEnabled());
  QTest::keyClick(save.EditNome, Qt::Key_Backspace);
  QTest::keyClick(save.EditNome, Qt::Key_Backspace);
  QVERIFY(!save.ButtonOk->isEnabled());
  QTest::keyClick(save.EditNome, Qt::Key_Return);  // Enter does nothing while OK is off
  QVERIFY(save.isVisible());
  save.ProposeName(QString());
  QVERIFY(save.ButtonOk->isEnabled());  // a proposal enables OK even when empty
}

void FileWindowsTest::savesUnderTheTypedName() {
  std::unique_ptr<TFormFile> window(MakeWindow());
  QCOMPARE(window->windowTitle(), QString("Gestione files"));
  Screenshot(window.get(), "FormFile");
  OnNextDialog([](QDialog* dialog) {
    auto* save = qobject_cast<TFormFileSalva*>(dialog);
    QVERIFY(save != nullptr);
    Screenshot(save, "FormFileSalva");
    QCOMPARE(save->EditNome->text(), QString("default"));
    QVERIFY(save->ButtonOk->isEnabled());
    save->EditNome->clear();
    QTest::keyClicks(save->EditNome, "Panda_2");
    QTest::keyClick(save->EditNome, Qt::Key_Return);
  });
  window->ButtonSalvaConf->click();
  const QString path = QDir(configurations_).filePath("Panda_2.dmr");
  QVERIFY(QFile::exists(path));
  QCOMPARE(window->result(), int(QDialog::Accepted));
  QCOMPARE(QString::fromStdString(store_->FileName()), path);
  QVERIFY(Contents(path).startsWith("#define start  \"Mirel ConfigFile\"\r\n"));
  QVERIFY(boxes_->Empty());
}

void FileWindowsTest::overwriteNoKeepsOldFileAndWindow() {
  QDir().mkpath(configurations_);
  const QString path = QDir(configurations_).filePath("default.dmr");
  WriteFile(path, "old");
  std::unique_ptr<TFormFile> window(MakeWindow());
  OnNextDialog([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
  boxes_->QueueAnswer(BoxAnswer::No);
  window->ButtonSalvaConf->click();
  QCOMPARE(boxes_->Requests().size(), 1);
  const BoxRequest question = boxes_->Last();
  QCOMPARE(question.buttons, BoxButtons::YesNo);
  QCOMPARE(question.icon, BoxIcon::Warning);
  QCOMPARE(question.title, window->windowTitle());
  QVERIFY(question.text.startsWith(QDir::toNativeSeparators(path) + "\n"));
  QVERIFY(question.text.contains("\n\n"));
  QCOMPARE(Contents(path), QByteArray("old"));
  QVERIFY(window->isVisible());
  QCOMPARE(window->result(), int(QDialog::Rejected));
  QCOMPARE(QString::fromStdString(store_->FileName()), QString("default.dmr"));
}

void FileWindowsTest::overwriteYesReplacesFile() {
  QDir().mkpath(configurations_);
  const QString path = QDir(configurations_).filePath("default.dmr");
  WriteFile(path, "old");
  std::unique_ptr<TFormFile> window(MakeWindow());
  OnNextDialog([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
  boxes_->QueueAnswer(BoxAnswer::Yes);
  window->ButtonSalvaConf->click();
  QVERIFY(Contents(path).startsWith("#define start"));
  QCOMPARE(window->result(), int(QDialog::Accepted));
}

void FileWindowsTest::failedSaveIsReportedAndNotTakenAsDone() {
  std::unique_ptr<TFormFile> window(MakeWindow());
  // A folder in the way of the file: the save cannot replace it.
  QDir().mkpath(QDir(window->ConfigurationsFolder()).filePath("blocked.dmr/inside"));
  store_->SetFileName("blocked.dmr");
  OnNextDialog([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
  boxes_->QueueAnswer(BoxAnswer::Yes);  // it "exists": overwrite
  window->ButtonSalvaConf->click();
  QCOMPARE(boxes_->Requests().size(), 2);
  QCOMPARE(boxes_->Last().icon, BoxIcon::Error);
  QVERIFY(boxes_->Last().text.contains("blocked.dmr"));
  QCOMPARE(window->result(), int(QDialog::Rejected));
}

void FileWindowsTest::emptyFolderSaysSoAndStays() {
  std::unique_ptr<TFormFile> window(MakeWindow());
  QVERIFY(QDir(configurations_).exists());  // created with the window
  window->ButtonCaricaConf->click();
  QCOMPARE(boxes_->Requests().size(), 1);
  QCOMPARE(boxes_->Last().icon, BoxIcon::Information);
  QCOMPARE(boxes_->Last().title, window->windowTitle());
  QVERIFY(!boxes_->Last().text.isEmpty());
  QVERIFY(window->isVisible());
  QVERIFY(link_.calls.empty());
}

void FileWindowsTest::listsOnlyConfigurationFilesAndLoadsTheChosenOne() {
  QDir().mkpath(configurations_);
  ConfCar source(QDir(configurations_).filePath("b.dmr").toStdString());
  source.StoreRaw(1, 22);
  QVERIFY(source.SaveFile());
  WriteFile(QDir(configurations_).filePath("a.DMR"), "");
  WriteFile(QDir(configurations_).filePath("c.txt"), "");
  WriteFile(QDir(configurations_).filePath("d.dmr.bak"), "");

  std::unique_ptr<TFormFile> window(MakeWindow());
  QStringList listed;
  OnNextDialog([&listed](QDialog* dialog) {
    auto* load = qobject_cast<TFormApriFile*>(dialog);
    QVERIFY(load != nullptr);
    Screenshot(load, "FormApriFile");
    for (int i = 0; i < load->FileListBox->count(); ++i)
      listed << load->FileListBox->item(i)->text();
    QCOMPARE(load->FileListBox->currentRow(), 0);
    load->FileListBox->setCurrentRow(1);
    load->ButtonCarica->click();
  });
  window->ButtonCaricaConf->click();
  QCOMPARE(listed, (QStringList{"a.DMR", "b.dmr"}));
  QCOMPARE(store_->RawImage()[1], 22);
  QCOMPARE(QString::fromStdString(store_->FileName()), QDir(configurations_).filePath("b.dmr"));
  QVERIFY(!link_.Writes().empty());  // a load always ends writing the store to the ECU
  QCOMPARE(window->result(), int(QDialog::Accepted));
}

void FileWindowsTest::eachWayOfChoosingLoads_data() {
  QTest::addColumn<int>("way");
  QTest::newRow("Enter in the list") << 0;
  QTest::newRow("double click") << 1;
}

void FileWindowsTest::eachWayOfChoosingLoads() {
  QFETCH(int, way);
  QDir().mkpath(configurations_);
  ConfCar source(QDir(configurations_).filePath("only.dmr").toStdString());
  source.StoreRaw(1, 24);
  QVERIFY(source.SaveFile());
  std::unique_ptr<TFormFile> window(MakeWindow());
  OnNextDialog([way](QDialog* dialog) {
    auto* load = qobject_cast<TFormApriFile*>(dialog);
    QVERIFY(load != nullptr);
    QListWidget* list = load->FileListBox;
    if (way == 0) {
      list->setFocus();
      QTest::keyClick(list, Qt::Key_Return);
    } else {
      const QPoint centre = list->visualItemRect(list->item(0)).center();
      // A double click as the mouse makes it: a first click, then the second.
      QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centre);
    }
    if (load->isVisible()) load->reject();  // not chosen: leave the test's loop
  });
  window->ButtonCaricaConf->click();
  QCOMPARE(store_->RawImage()[1], 24);
  QCOMPARE(window->result(), int(QDialog::Accepted));
}

void FileWindowsTest::fileGoneBeforeLoadingIsReportedAndNotTakenAsDone() {
  QDir().mkpath(configurations_);
  const QString path = QDir(configurations_).filePath("gone.dmr");
  WriteFile(path, "");
  std::unique_ptr<TFormFile> window(MakeWindow());
  OnNextDialog([path](QDialog* dialog) {
    QVERIFY(QFile::remove(path));  // taken away while the list is open
    qobject_cast<TFormApriFile*>(dialog)->ButtonCarica->click();
  });
  window->ButtonCaricaConf->click();
  QCOMPARE(boxes_->Requests().size(), 1);
  QCOMPARE(boxes_->Last().icon, BoxIcon::Error);
  QVERIFY(boxes_->Last().text.contains("gone.dmr"));
  QCOMPARE(QString::fromStdString(store_->FileName()), QString("default.dmr"));
  QVERIFY(window->isVisible());
  QCOMPARE(window->result(), int(QDialog::Rejected));
}

void FileWindowsTest::cancelledLoadChangesNothing() {
  QDir().mkpath(configurations_);
  WriteFile(QDir(configurations_).filePath("a.dmr"), "");
  std::unique_ptr<TFormFile> window(MakeWindow());
  OnNextDialog([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
  window->ButtonCaricaConf->click();
  QVERIFY(link_.calls.empty());
  QVERIFY(window->isVisible());
  QCOMPARE(QString::fromStdString(store_->FileName()), QString("default.dmr"));
}

void FileWindowsTest::brokenDictionaryKeepsDesignCaptions() {
  QTemporaryDir folder;
  TModuloLingua empty;
  QVERIFY(OpenDictionaryWithoutTheseKeys(folder, empty));
  TFormFile window(Context(&empty));
  QCOMPARE(boxes_->Requests().size(), 1);
  QCOMPARE(boxes_->Last().text, QString("Problemi col database multilingua (Codice 7)."));
  QCOMPARE(boxes_->Last().icon, BoxIcon::Error);
  QCOMPARE(window.ButtonCaricaConf->text(), QString("&Carica configurazione"));
  QCOMPARE(window.windowTitle(), QString("Gestione files"));
}

void FileWindowsTest::failedSaveIsReportedInWordsEvenWithABrokenDictionary() {
  QTemporaryDir folder;
  TModuloLingua empty;
  QVERIFY(OpenDictionaryWithoutTheseKeys(folder, empty));
  TFormFile window(Context(&empty));
  window.show();
  boxes_->Clear();
  QDir().mkpath(QDir(window.ConfigurationsFolder()).filePath("blocked.dmr/inside"));
  store_->SetFileName("blocked.dmr");
  OnNextDialog([](QDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
  boxes_->QueueAnswer(BoxAnswer::Yes);
  window.ButtonSalvaConf->click();
  QCOMPARE(boxes_->Last().icon, BoxIcon::Error);
  QVERIFY2(boxes_->Last().text.startsWith("Impossibile salvare la configurazione nel file:"),
           qPrintable(boxes_->Last().text));
  QCOMPARE(window.result(), int(QDialog::Rejected));
}

void FileWindowsTest::subWindowsTakeTheirTextsFromTheDictionary() {
  lingua_->SetSelectedColumn("ENGLISH");
  QDir().mkpath(configurations_);
  WriteFile(QDir(configurations_).filePath("default.dmr"), "old");
  std::unique_ptr<TFormFile> window(MakeWindow());
  QCOMPARE(window->windowTitle(), QString("File management"));
  QCOMPARE(window->ButtonEsci->text(), QString("E&xit"));

  QStringList load;
  OnNextDialog([&load](QDialog* dialog) {
    auto* apri = qobject_cast<TFormApriFile*>(dialog);
    QVERIFY(apri != nullptr);
    load << apri->windowTitle() << apri->ButtonCarica->text() << apri->ButtonEsci->text();
    apri->reject();
  });
  window->ButtonCaricaConf->click();
  QCOMPARE(load, (QStringList{"Load the configuration from a file", "&Load", "E&xit"}));

  QStringList save;
  OnNextDialog([&save](QDialog* dialog) {
    auto* salva = qobject_cast<TFormFileSalva*>(dialog);
    QVERIFY(salva != nullptr);
    save << salva->windowTitle() << salva->Label1->text() << salva->ButtonOk->text()
         << salva->ButtonAnnulla->text();
    salva->accept();
  });
  boxes_->QueueAnswer(BoxAnswer::No);
  window->ButtonSalvaConf->click();
  QCOMPARE(save, (QStringList{"Save configuration", "Enter the file name", "&OK",
                              "&Cancel"}));
  QCOMPARE(boxes_->Last().text,
           QDir::toNativeSeparators(QDir(configurations_).filePath("default.dmr")) +
               "\nThe file already exists.\n\nOverwrite it?");

  QDir(configurations_).removeRecursively();
  QDir().mkpath(configurations_);
  window->ButtonCaricaConf->click();
  QCOMPARE(boxes_->Last().text, QString("There are no configuration files in the folder."));
  QCOMPARE(boxes_->Last().title, QString("File management"));
}

void FileWindowsTest::unwritableFolderFallsBackToUserData() {
  // A file where the program folder should be: nothing can be created below it.
  const QString blocker = QDir(program_.path()).filePath("not-a-folder");
  WriteFile(blocker, "x");
  settings_->SetPath(GlobalData::kMainFolder, blocker);
  std::unique_ptr<TFormFile> window(MakeWindow());
  const QString folder = window->ConfigurationsFolder();
  QVERIFY(!folder.isEmpty());
  QVERIFY(!folder.startsWith(blocker));
  QVERIFY(IsWritableFolder(folder));
}

void FileWindowsTest::focusMovesTheArrow() {
  std::unique_ptr<TFormFile> window(MakeWindow());
  QApplication::setActiveWindow(window.get());
  for (QPushButton* button :
       {window->ButtonSalvaConf, window->ButtonEsci, window->ButtonCaricaConf}) {
    button->setFocus();
    QCOMPARE(window->LabelFreccia->y(), button->y());
  }
}

QTEST_MAIN(FileWindowsTest)
#include "FileWindowsTest.moc"
