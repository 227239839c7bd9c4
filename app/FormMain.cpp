#include "FormMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include "AboutBox.h"
#include "CommandLine.h"
#include "ConfCar.h"
#include "Connection.h"
#include "CustomerCode.h"
#include "Events.h"
#include "GlobalData.h"
#include "LoadConfiguration.h"
#include "MainMenuEntry.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "ProcessObjects.h"
#include "Scaling.h"
#include "Splash.h"
#include "StartupWait.h"
#include "ToolWindows.h"

namespace {
constexpr int kDesignClientWidth = 804;
constexpr int kDesignClientHeight = 585;
constexpr int kMainEntryCount = 8;
const char* const kDictionaryFile = "DizionarioVnt.dbf";

struct EntryDesign {
  const char* label;
  const char* caption;
  const char* action;
  const char* actionCaption;
};

const EntryDesign kEntries[kMainEntryCount] = {
    {"LabelVisualizza", "Visualizzazione Parametri", "ActionVisualizza", "&Visualizza parametri"},
    {"LabelConfVettura", "Configurazione Vettura", "ActionConfVett", "Configurazione V&ettura"},
    {"LabelConfOpt", "Configurazioni Opzionali", "ActionConfOp", "Configurazione &Opzionali"},
    {"LabelConfSw", "Configurazione software", "ActionConfSoftware", "Configurazione &Software"},
    {"LabelDiagnosi", "Diagnosi", "ActionDiagnosi", "&Diagnosi"},
    {"LabelIndicatore", "Indicatore originale", "ActionIndicOrig", "&Indicatore originale"},
    {"LabelFile", "Gestione File", "ActionGestioneFile", "&Gestione Files"},
    {"LabelUscita", "Uscita", "ActionEsci", "&Esci"},
};

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette p = widget->palette();
  p.setColor(QPalette::Window, colour);
  widget->setPalette(p);
  widget->setAutoFillBackground(true);
}
}  // namespace

TFormMain::TFormMain(const QStringList& arguments, QWidget* parent) : QMainWindow(parent) {
  Process().mainWindow = this;
  Construct(arguments);
}

TFormMain::~TFormMain() {
  if (Process().language != nullptr) {
    delete Process().language;
    Process().language = nullptr;
  }
  if (Process().mainWindow == this) Process().mainWindow = nullptr;
}

void TFormMain::Construct(const QStringList& arguments) {
  ProcessObjects& process = Process();

  // M1: the form; no message texts yet; no ECU variant known.
  BuildForm();
  messages_.clear();
  if (process.store != nullptr) process.store->SetVariantFlag(false);

  // M2: the command line.
  const CommandLineOptions options = EvaluateCommandLine(arguments);
  process.demoMode = options.demo;
  if (options.noComm) {
    if (process.store != nullptr) process.store->SetVariantFlag(true);
    optionalPage_ = 1;
  }

  // M3.
  entryCount_ = kMainEntryCount;

  // M4: the splash.
  auto* splash = new TFormSplash(this);
  splash->LoadPicture();

  // M5: the main folder is always the program's own.
  QString programFolder = ProgramFolder();
  while (programFolder.size() > 1 &&
         (programFolder.endsWith(QLatin1Char('/')) || programFolder.endsWith(QLatin1Char('\\')))) {
    programFolder.chop(1);
  }
  if (process.settings != nullptr)
    process.settings->SetPath(GlobalData::kMainFolder, programFolder);

  // M6: the dictionary.
  auto* language = new TModuloLingua(qApp);
  process.language = language;
  if (!language->Open(programFolder, QLatin1String(kDictionaryFile))) {
    MessageBoxes::ShowError(
        this,
        QStringLiteral(
            "Errore critico: problemi col database multilingua.\nImpossibile continuare."),
        ApplicationTitle());
    RequestTermination();
    language->SetUsable(false);
    return;
  }
  language->SetUsable(true);
  language->Activate();

  // M7: a splash button per language; the language items apply to this window.
  QString mainFolder = programFolder;
  if (process.settings != nullptr) process.settings->GetPath(GlobalData::kMainFolder, mainFolder);
  const QStringList fields = language->LanguageFields();
  const QList<QAction*> items = language->PopupMenuLingue()->actions();
  for (int i = 0; i < fields.size(); ++i) {
    splash->AddLanguageButton(fields.at(i), items.at(i)->text(), i, mainFolder);
  }
  connect(language, &TModuloLingua::LanguageActivated, this, &TFormMain::OnLanguageActivated);

  // M8: the language menu on the right mouse button.
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &TFormMain::ShowLanguageMenu);

  // M9: the arrow on the first entry.
  MarkEntry(kVisualizza);

  // M10-M12: the splash chooses the language.
  const int stored =
      process.settings != nullptr ? process.settings->GetSetting(GlobalData::kLanguage) : 0;
  splash->SetPrompt(*language, stored);
  splash->exec();
  const int chosen = splash->Tag();
  language->SelectLanguage(chosen >= 0 && chosen < language->LanguageCount() ? chosen : stored);
  language->Deactivate();
  delete splash;

  // M13-M14: the wait window, closed at the first idle moment.
  waitWindow_ = StartupWait::CreateWindow(*this, process.demoMode);
  QTimer::singleShot(0, this, [this] {
    StartupWait::CloseWindow(waitWindow_);
    waitWindow_ = nullptr;
  });

  // M15.
  SetBackground(centralWidget(), QColor(0x80, 0x80, 0x80));
  HideEntry(kIndicatore);

  // M16: the start-up connection, or the demo without any ECU.
  if (!process.demoMode) {
    Connection::StartupConnection(*this);
  } else if (process.store != nullptr && process.store->VariantFlag()) {
    HideEntry(kIndicatore);
    HideEntry(kDiagnosi);
  }
}

void TFormMain::BuildForm() {
  setObjectName(QStringLiteral("TFormMain"));
  setWindowTitle(QStringLiteral("Nome programma"));
  QFont font = this->font();
  font.setPixelSize(11);
  setFont(font);

  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  setCentralWidget(client);
  SetBackground(client, QColor(0x00, 0x80, 0x80));
  client->installEventFilter(this);

  BuildActions();
  BuildMenus();
  BuildStatusBar();
  BuildFileDialogs();
  BuildEntries();
  ConnectCommands();

  resize(kDesignClientWidth, kDesignClientHeight + menuBar()->sizeHint().height());
  layout()->activate();
  qApp->installEventFilter(this);
}

void TFormMain::BuildEntries() {
  QWidget* client = centralWidget();
  LabelMenu = new QLabel(QString::fromUtf8("MENU' PRINCIPALE"), client);
  LabelMenu->setObjectName(QStringLiteral("LabelMenu"));
  LabelMenu->setFont(MainEntryFont());
  QPalette red = LabelMenu->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  LabelMenu->setPalette(red);
  LabelMenu->adjustSize();

  for (int i = 0; i < kMainEntryCount; ++i) {
    auto* entry = new MainMenuEntry(QLatin1String(kEntries[i].label),
                                    QString::fromUtf8(kEntries[i].caption), i, client);
    connect(entry, &MainMenuEntry::Pointed, this, [this](int index) {
      if (index != CurrentEntry()) MarkEntry(index);
    });
    connect(entry, &MainMenuEntry::Clicked, this,
            [this](int index) { entryActions_.at(index)->trigger(); });
    entries_.append(entry);
    entryActions_.append(Action(QLatin1String(kEntries[i].action)));
  }

  // The arrow: a white right arrow, the nearest Unicode glyph to the symbol
  // font's arrow.
  LabelFreccia = new QLabel(QString(QChar(0x21E8)), client);
  LabelFreccia->setObjectName(QStringLiteral("LabelFreccia"));
  QFont arrow;
  arrow.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Wingdings")});
  arrow.setPixelSize(37);
  arrow.setBold(true);
  LabelFreccia->setFont(arrow);
  QPalette yellow = LabelFreccia->palette();
  yellow.setColor(QPalette::WindowText, QColor(255, 255, 0));
  LabelFreccia->setPalette(yellow);
  LabelFreccia->adjustSize();
  LabelFreccia->setProperty("Tag", 0);

  // Design places; the layout and the centring replace them.
  LabelMenu->move(250, 0);
  for (MainMenuEntry* entry : entries_) entry->move(230, entry->Tag() * 58 + 116);
  LabelFreccia->move(180, 116);
}

QAction* TFormMain::NewAction(const QString& name, const QString& caption) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  actions_.insert(name, action);
  return action;
}

QAction* TFormMain::Action(const QString& name) const {
  return actions_.value(name);
}

void TFormMain::BuildActions() {
  for (const EntryDesign& entry : kEntries) {
    NewAction(QLatin1String(entry.action), QString::fromUtf8(entry.actionCaption));
  }
  Action(QStringLiteral("ActionEsci"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  NewAction(QStringLiteral("ActionApri"), QStringLiteral("&Apri"));
  NewAction(QStringLiteral("ActionSalva"), QStringLiteral("&Salva"));
  NewAction(QStringLiteral("MenuConfronta"), QStringLiteral("&Confronta configurazioni"));
  NewAction(QStringLiteral("MenuSchedaVettura"), QStringLiteral("Scheda &vettura..."));
  NewAction(QStringLiteral("MenuRapporto"), QStringLiteral("&Rapporto..."));
  NewAction(QStringLiteral("MenuOfficina"), QStringLiteral("Dati dell'&officina..."));
  NewAction(QStringLiteral("ActionVerifica"), QStringLiteral("Verifica &carburazione gas"));
  NewAction(QStringLiteral("MenuApriRegistrazione"), QStringLiteral("Apri re&gistrazione..."));
  NewAction(QStringLiteral("MenuGrafico"), QStringLiteral("G&rafico parametri"));
  NewAction(QStringLiteral("ActionStampa"), QStringLiteral("Stam&pa"))->setVisible(false);
  QAction* connetti = NewAction(QStringLiteral("ActionConnetti"), QStringLiteral("&Connetti"));
  connetti->setToolTip(QStringLiteral("Connetti la centralina"));
  connetti->setStatusTip(connetti->toolTip());
  QAction* disconnetti =
      NewAction(QStringLiteral("ActionDisconnetti"), QStringLiteral("&Disconnetti"));
  disconnetti->setToolTip(QStringLiteral("Disconnetti la centralina"));
  disconnetti->setStatusTip(disconnetti->toolTip());
  disconnetti->setEnabled(false);
  NewAction(QStringLiteral("MenuRileggi"), QStringLiteral("Ricarica tutti i dati"))
      ->setEnabled(false);
  NewAction(QStringLiteral("ActionCli"), QStringLiteral("Cliente"));
  NewAction(QStringLiteral("MenuAbout"), QStringLiteral("Informazioni su..."))
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));

  // "Gestione Files" in the Strumenti menu has a caption of its own but does,
  // shows and hides what its action does.
  QAction* files = Action(QStringLiteral("ActionGestioneFile"));
  QAction* dati = NewAction(QStringLiteral("MenuDati"), files->text());
  connect(dati, &QAction::triggered, files, &QAction::trigger);
  connect(files, &QAction::changed, dati, [files, dati] {
    dati->setVisible(files->isVisible());
    dati->setEnabled(files->isEnabled());
  });

  // The settings menu is kept hidden and disabled; its items do nothing.
  for (const auto& [name, caption] : {std::pair{"MenuComPort", "&Porta Seriale"},
                                      {"MenuMostraTutte", "&Mostra tutte"},
                                      {"MenuNascondiTutte", "&Nascondi tutte"},
                                      {"MenuLingue", "Pulsanti selezione &lingue"},
                                      {"MenuConnessione", "Pulsanti connessione"},
                                      {"MenuPulsanti", "&Pulsanti funzione"}}) {
    NewAction(QLatin1String(name), QString::fromUtf8(caption));
  }
}

void TFormMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  const auto menu = [this, bar](const char* name, const char* caption) {
    QMenu* m = bar->addMenu(QString::fromUtf8(caption));
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    actions_.insert(QLatin1String(name), m->menuAction());
    return m;
  };

  QMenu* file = menu("MenuFile", "File");
  file->addAction(Action(QStringLiteral("ActionApri")));
  file->addAction(Action(QStringLiteral("ActionSalva")));
  file->addAction(Action(QStringLiteral("MenuConfronta")));
  file->addAction(Action(QStringLiteral("MenuSchedaVettura")));
  file->addAction(Action(QStringLiteral("MenuRapporto")));
  file->addAction(Action(QStringLiteral("MenuOfficina")));
  file->addAction(Action(QStringLiteral("MenuApriRegistrazione")));
  file->addAction(Action(QStringLiteral("ActionStampa")));
  file->addSeparator();
  file->addAction(Action(QStringLiteral("ActionEsci")));

  QMenu* cpu = menu("MenuCpu", "Centralina");
  cpu->addAction(Action(QStringLiteral("ActionConnetti")));
  cpu->addAction(Action(QStringLiteral("ActionDisconnetti")));
  cpu->addSeparator();
  cpu->addAction(Action(QStringLiteral("MenuRileggi")));
  cpu->addAction(Action(QStringLiteral("ActionCli")));

  QMenu* tools = menu("MenuStrumenti", "Strumenti");
  for (int i = 0; i <= kIndicatore; ++i)
    tools->addAction(Action(QLatin1String(kEntries[i].action)));
  tools->addAction(Action(QStringLiteral("MenuGrafico")));
  tools->addAction(Action(QStringLiteral("MenuDati")));
  tools->addSeparator();
  tools->addAction(Action(QStringLiteral("ActionVerifica")));

  QMenu* config = menu("MenuConfig", "&Impostazioni");
  config->addAction(Action(QStringLiteral("MenuComPort")));
  QMenu* bars = config->addMenu(QStringLiteral("&Barre degli strumenti"));
  bars->setObjectName(QStringLiteral("MenuBarre"));
  bars->menuAction()->setObjectName(QStringLiteral("MenuBarre"));
  actions_.insert(QStringLiteral("MenuBarre"), bars->menuAction());
  bars->addAction(Action(QStringLiteral("MenuMostraTutte")));
  bars->addAction(Action(QStringLiteral("MenuNascondiTutte")));
  bars->addSeparator();
  bars->addAction(Action(QStringLiteral("MenuLingue")));
  bars->addAction(Action(QStringLiteral("MenuConnessione")));
  bars->addAction(Action(QStringLiteral("MenuPulsanti")));
  config->menuAction()->setVisible(false);
  config->menuAction()->setEnabled(false);

  QMenu* help = menu("MenuAiuto", "Aiuto");
  help->addAction(Action(QStringLiteral("MenuAbout")));
}

void TFormMain::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBarMain"));
  const int widths[] = {230, 70, 100, 200};
  const char* const texts[] = {"Centralina non connessa", "", "Italiano", ""};
  for (int i = 0; i < 4; ++i) {
    auto* panel = new QLabel(QString::fromUtf8(texts[i]), bar);
    panel->setFixedWidth(widths[i]);
    bar->addWidget(panel);
    statusPanels_.append(panel);
  }
  // Never shown; the panels are kept up to date all the same.
  bar->hide();
}

QString TFormMain::StatusPanel(int panel) const {
  return panel >= 0 && panel < statusPanels_.size() ? statusPanels_.at(panel)->text() : QString();
}

void TFormMain::SetStatusPanel(int panel, const QString& text) {
  if (panel >= 0 && panel < statusPanels_.size()) statusPanels_.at(panel)->setText(text);
}

void TFormMain::ConnectCommands() {
  const auto on = [this](const char* name, auto handler) {
    connect(Action(QLatin1String(name)), &QAction::triggered, this, handler);
  };
  on("ActionVisualizza", [this] { ToolWindows::OpenLiveView(*this); });
  on("ActionConfVett", [this] {
    if (ToolWindows::OpenVehicleConfiguration(*this)) SetStatusPanel(kPanelFile, QString());
  });
  on("ActionConfOp", [this] {
    optionalPage_ = ToolWindows::OpenOptionalConfiguration(*this, 256 + optionalPage_);
  });
  on("ActionConfSoftware", [this] {
    softwarePage_ = ToolWindows::OpenSoftwareConfiguration(*this, 256 + softwarePage_);
  });
  on("ActionDiagnosi", [this] { ToolWindows::OpenDiagnosis(*this); });
  on("ActionIndicOrig", [this] { ToolWindows::OpenOriginalIndicator(*this); });
  on("ActionGestioneFile", [this] {
    if (ToolWindows::OpenFileManagement(*this) && Process().store != nullptr) {
      SetStatusPanel(kPanelFile,
                     QFileInfo(PathOfStoreFileName(Process().store->FileName())).fileName());
    }
  });
  on("ActionEsci", [this] { close(); });
  on("ActionApri", [this] { OpenConfiguration(); });
  on("ActionSalva", [this] { SaveConfiguration(); });
  on("MenuConfronta", [this] { ToolWindows::OpenCompare(*this); });
  on("MenuSchedaVettura", [this] { ToolWindows::OpenVehicleCards(*this); });
  on("MenuRapporto", [this] { ToolWindows::OpenReport(*this); });
  on("MenuOfficina", [this] { ToolWindows::OpenWorkshop(*this); });
  on("ActionVerifica", [this] { ToolWindows::OpenCalibrationCheck(*this); });
  on("MenuApriRegistrazione", [this] { OpenRecordingFile(); });
  on("MenuGrafico", [this] { ToolWindows::OpenChart(*this); });
  on("ActionConnetti", [this] { Connection::ManualConnection(*this); });
  on("MenuRileggi", [this] { Connection::ManualConnection(*this); });
  on("ActionDisconnetti", [this] { Connection::DisconnectEcu(*this); });
  on("ActionCli", [this] { CustomerCode::Enter(*this); });
  on("MenuAbout", [this] { TAboutBox::Run(this); });
}

void TFormMain::ShowLanguageMenu(const QPoint& position) {
  if (Process().language == nullptr) return;
  Process().language->PopupMenuLingue()->popup(mapToGlobal(position));
}

bool TFormMain::event(QEvent* event) {
  if (event->type() == kConnectionStateEventType) {
    event->accept();
    Connection::ConnectionStateChanged(*this,
                                       static_cast<ConnectionStateEvent*>(event)->Connected());
    return true;
  }
  return QMainWindow::event(event);
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // Laid out for a screen 800 pixels wide: scaled once, when first shown.
  if (!firstShown_) {
    firstShown_ = true;
    scaled_ = ScaleToScreen(this);
    if (scaled_) {
      // The captions size themselves to their scaled fonts.
      LabelMenu->adjustSize();
      LabelFreccia->adjustSize();
      for (MainMenuEntry* entry : entries_) entry->adjustSize();
    }
    RunLayout();
  }
}

void TFormMain::closeEvent(QCloseEvent* event) {
  // Closing the main window ends the program and releases the language module.
  if (Process().language != nullptr) {
    delete Process().language;
    Process().language = nullptr;
  }
  event->accept();
}
