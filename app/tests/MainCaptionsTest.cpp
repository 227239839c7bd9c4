// The main window's captions from the dictionary: every text from the chosen
// column cut to its length, the language menu, and what happens when the
// dictionary has no languages, no text for a key, or is missing.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "AboutBox.h"
#include "FormMain.h"
#include "GlobalData.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "ProcessObjects.h"
#include "ShellTestSupport.h"

namespace {
// Every key the main window and its splash look up.
const QStringList kKeys = {
    "LabelMenu",       "LabelVisualizza",    "LabelConfVettura",   "LabelConfOpt",
    "LabelDiagnosi",   "LabelConfSw",        "LabelIndicatore",    "LabelFile",
    "LabelUscita",     "MenuFile",           "MenuStrumenti",      "ActionVisualizza",
    "ActionConfVett",  "ActionConfOp",       "ActionConfSoftware", "ActionDiagnosi",
    "ActionIndicOrig", "ActionGestioneFile", "ActionApri",         "ActionSalva",
    "ActionStampa",    "ActionEsci",         "ActionConnetti",     "ActionDisconnetti",
    "MenuCpu",         "MenuRileggi",        "MenuConfig",         "MenuComPort",
    "MenuDati",        "MenuBarre",          "MenuLingue",         "MenuConnessione",
    "MenuPulsanti",    "MenuMostraTutte",    "MenuNascondiTutte",  "MenuAiuto",
    "MenuAbout",       "FinestraPrincipale", "LabelConnetti",      "LabelDisconnetti",
    "MessUscita",      "LabelVersione",      "MessConn",           "MessNoConn",
    "MessErrConn",     "MessCompletato",     "LabelCaricaDati",    "FinestraCaricaDati",
    "MessCpuErrata",   "MessErrVersioneCpu", "LabelStatoErrore",   "LabelVersioneCpu",
    "LabelAttendere",  "LabelAvvio",
};
const QString kLongCaption = QStringLiteral("Forty characters of caption, far too lo");

// Italian and English texts "<key> it" and "<key> en"; English has a caption
// longer than its key's limit, and no text at all for missingInEnglish.
void WriteTwoLanguages(const QString& folder, const QString& missingInEnglish = QString()) {
  QList<QStringList> rows = {{"MenuLingua", "&Italiano", "Eng&lish"}};
  for (const QString& key : kKeys) {
    QString english = key + QStringLiteral(" en");
    if (key == QLatin1String("LabelVisualizza")) english = kLongCaption;
    if (key == missingInEnglish) english.clear();
    rows.append({key, key + QStringLiteral(" it"), english});
  }
  WriteDictionary(QDir(folder).filePath(QStringLiteral("DizionarioVnt.dbf")),
                  {"IDENTIF", "ITALIANO", "ENGLISH"}, rows);
}

// The Yes button of a standard Yes/No box, as Qt would show it now.
QString YesButtonText() {
  QMessageBox box(QMessageBox::Warning, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
  return box.button(QMessageBox::Yes)->text();
}

struct CaptionsFixture {
  QTemporaryDir folder;
  std::unique_ptr<ProcessFixture> process;
  std::unique_ptr<TFormMain> main;
  ScopedMessageBoxCapture boxes;

  // The splash is answered with Enter, or with the language button given;
  // without a dictionary there is no splash to answer.
  void Build(int storedLanguage, int button = -1, bool splash = true) {
    process = std::make_unique<ProcessFixture>(folder.path(), storedLanguage);
    if (splash) AnswerNextSplash(SplashAnswer::Enter, button);
    main = std::make_unique<TFormMain>(QStringList{QStringLiteral("/demo")});
  }
  ~CaptionsFixture() {
    main.reset();
    // A termination asked for during the test ends no later loop.
    QCoreApplication::processEvents();
  }
  int StoredLanguage() { return process->Settings().GetSetting(GlobalData::kLanguage); }
};
}  // namespace

class MainCaptionsTest : public QObject {
  Q_OBJECT

 private slots:
  void CaptionsFromTheChosenColumn() {
    CaptionsFixture f;
    WriteTwoLanguages(f.folder.path());
    f.Build(0, 1);
    TFormMain& main = *f.main;
    QVERIFY(f.boxes.Empty());
    QCOMPARE(main.LabelMenu->text(), QStringLiteral("LabelMenu en"));
    // Cut to 35 characters.
    QCOMPARE(main.EntryLabel(TFormMain::kVisualizza)->text(), kLongCaption.left(35));
    QCOMPARE(main.EntryLabel(TFormMain::kUscita)->text(), QStringLiteral("LabelUscita en"));
    QCOMPARE(main.windowTitle(), QStringLiteral("FinestraPrincipale en"));
    // Each entry's action hint is the entry's caption.
    QCOMPARE(main.EntryAction(TFormMain::kVisualizza)->toolTip(), kLongCaption.left(35));
    QCOMPARE(main.Action("ActionConnetti")->toolTip(), QStringLiteral("LabelConnetti en"));
    QCOMPARE(main.Action("ActionApri")->text(), QStringLiteral("ActionApri en"));
    QCOMPARE(main.Action("MenuCpu")->text(), QStringLiteral("MenuCpu en"));
    // The Strumenti menu's file item keeps a caption of its own.
    QCOMPARE(main.Action("MenuDati")->text(), QStringLiteral("MenuDati en"));
    QCOMPARE(main.Action("ActionGestioneFile")->text(), QStringLiteral("ActionGestioneFile en"));
    QCOMPARE(main.Action("ActionCli")->text(), QStringLiteral("Cliente"));
    QCOMPARE(main.MessageText("MessErrConn"), QStringLiteral("MessErrConn en"));
    QCOMPARE(main.MessageText("LabelAttendere"), QStringLiteral("LabelAttendere en"));
    // Status: the language without accelerator; not connected.
    QCOMPARE(main.StatusPanel(TFormMain::kPanelLanguage), QStringLiteral("English"));
    QCOMPARE(main.StatusPanel(TFormMain::kPanelConnection), QStringLiteral("MessNoConn en"));
    QCOMPARE(f.StoredLanguage(), 1);
  }

  void AboutBoxTakesTheWindowTexts() {
    CaptionsFixture f;
    WriteTwoLanguages(f.folder.path());
    f.Build(1);
    QString title, version, cpu;
    WhenModal<TAboutBox>([&](TAboutBox* box) {
      title = box->windowTitle();
      version = box->Version->text();
      cpu = box->LabelVersioneCpu->text();
      box->accept();
    });
    f.main->Action("MenuAbout")->trigger();
    QCOMPARE(title, QStringLiteral("FinestraPrincipale en"));
    QCOMPARE(version, QStringLiteral("LabelVersione en 3.0"));
    QCOMPARE(cpu, QStringLiteral("DEMO"));
  }

  void LanguageMenuTranslatesAtOnce() {
    CaptionsFixture f;
    WriteTwoLanguages(f.folder.path());
    f.Build(1);
    QCOMPARE(f.main->LabelMenu->text(), QStringLiteral("LabelMenu en"));
    QCOMPARE(YesButtonText(), QStringLiteral("&Yes"));
    f.process->link.connected = 1;
    Process().language->PopupMenuLingue()->actions().at(0)->trigger();
    QCOMPARE(f.main->LabelMenu->text(), QStringLiteral("LabelMenu it"));
    // Qt's own buttons switch with it.
    QCOMPARE(YesButtonText(), QString::fromUtf8("&Sì"));
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelLanguage), QStringLiteral("Italiano"));
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelConnection), QStringLiteral("MessConn it"));
    QCOMPARE(f.StoredLanguage(), 0);
    QCOMPARE(f.main->contextMenuPolicy(), Qt::CustomContextMenu);
  }

  // No language applied: design captions and empty message texts.
  void NoLanguageApplied_data() {
    QTest::addColumn<bool>("onlyKeyColumn");
    QTest::addColumn<int>("stored");
    QTest::newRow("only the key column") << true << 0;
    QTest::newRow("stored index outside the menu") << false << 5;
  }
  void NoLanguageApplied() {
    QFETCH(bool, onlyKeyColumn);
    QFETCH(int, stored);
    CaptionsFixture f;
    if (onlyKeyColumn) {
      WriteDictionary(QDir(f.folder.path()).filePath(QStringLiteral("DizionarioVnt.dbf")),
                      {"IDENTIF"}, {{"MenuLingua"}, {"LabelMenu"}});
    } else {
      WriteTwoLanguages(f.folder.path());
    }
    f.Build(stored);
    QVERIFY(f.boxes.Empty());
    QVERIFY(!Process().terminationRequested);
    QCOMPARE(Process().language->LanguageCount(), onlyKeyColumn ? 0 : 2);
    QCOMPARE(Process().language->SelectedColumn(), QString());
    QCOMPARE(f.main->LabelMenu->text(), QStringLiteral("MENU' PRINCIPALE"));
    QCOMPARE(f.main->EntryLabel(0)->text(), QStringLiteral("Visualizzazione Parametri"));
    QCOMPARE(f.main->windowTitle(), QStringLiteral("Nome programma"));
    QCOMPARE(f.main->MessageText("MessErrConn"), QString());
    QCOMPARE(f.StoredLanguage(), stored);
  }

  void MissingTextEndsTheProgram() {
    CaptionsFixture f;
    WriteTwoLanguages(f.folder.path(), QStringLiteral("MenuAbout"));
    f.Build(0, 1);
    QCOMPARE(f.boxes.Requests().size(), 1);
    QCOMPARE(f.boxes.Last().text,
             QString::fromUtf8("Problemi col database multilingua.\nIl programma verrà chiuso."));
    QCOMPARE(f.boxes.Last().icon, BoxIcon::Error);
    QVERIFY(Process().terminationRequested);
    // What was assigned before the failure stays.
    QCOMPARE(f.main->LabelMenu->text(), QStringLiteral("LabelMenu en"));
    QCOMPARE(f.main->Action("MenuAiuto")->text(), QStringLiteral("MenuAiuto en"));
    QCOMPARE(f.main->MessageText("MessErrConn"), QString());
    // A language that failed is not kept for the next run.
    QCOMPARE(f.StoredLanguage(), 0);
  }

  void MissingDictionaryEndsTheProgram() {
    CaptionsFixture f;
    f.Build(0, -1, false);
    QCOMPARE(f.boxes.Requests().size(), 1);
    QCOMPARE(f.boxes.Last().text,
             QStringLiteral(
                 "Errore critico: problemi col database multilingua.\nImpossibile continuare."));
    QCOMPARE(f.boxes.Last().icon, BoxIcon::Error);
    QVERIFY(Process().terminationRequested);
    QVERIFY(!Process().language->IsUsable());
  }
};

QTEST_MAIN(MainCaptionsTest)
#include "MainCaptionsTest.moc"
