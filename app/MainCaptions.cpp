// The main window's caption routine: every caption, hint and message text of
// the window from the selected language column of the dictionary.
#include <QAction>
#include <QLabel>
#include <QMenu>

#include "FormMain.h"
#include "GlobalData.h"
#include "MainMenuEntry.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "ProcessObjects.h"
#include "QtStandardTexts.h"
#include "WindowTexts.h"

namespace {
constexpr int kEntryLength = 35;
constexpr int kCaptionLength = 30;

// Keys whose text the window keeps for later messages, with their lengths.
const QList<QPair<const char*, int>> kMessageKeys = {
    {"MessUscita", 70},         {"LabelVersione", 20},      {"MessConn", 30},
    {"MessNoConn", 30},         {"MessErrConn", 70},        {"MessCompletato", 20},
    {"LabelCaricaDati", 70},    {"FinestraCaricaDati", 70}, {"MessCpuErrata", 70},
    {"MessErrVersioneCpu", 70}, {"LabelStatoErrore", 70},   {"LabelVersioneCpu", 30},
    {"LabelAttendere", 70},
};

// Menu and action captions after the entries, in lookup order.
const char* const kActionKeys[] = {
    "MenuFile",           "MenuStrumenti",      "ActionVisualizza",  "ActionConfVett",
    "ActionConfOp",       "ActionConfSoftware", "ActionDiagnosi",    "ActionIndicOrig",
    "ActionGestioneFile", "ActionApri",         "ActionSalva",       "ActionStampa",
    "ActionEsci",         "ActionConnetti",     "ActionDisconnetti", "MenuCpu",
    "MenuRileggi",        "MenuConfig",         "MenuComPort",       "MenuDati",
    "MenuBarre",          "MenuLingue",         "MenuConnessione",   "MenuPulsanti",
    "MenuMostraTutte",    "MenuNascondiTutte",  "MenuAiuto",         "MenuAbout",
};

// Entry labels in lookup order (Diagnosi before Configurazione software).
const int kEntryLookupOrder[] = {
    TFormMain::kVisualizza, TFormMain::kConfVettura, TFormMain::kConfOpt, TFormMain::kDiagnosi,
    TFormMain::kConfSw,     TFormMain::kIndicatore,  TFormMain::kFile,    TFormMain::kUscita};
}  // namespace

void TFormMain::OnLanguageActivated(int index) {
  // A language whose texts could not all be read is not kept for the next run.
  if (ApplyCaptions(index) && Process().settings != nullptr) {
    Process().settings->SetSetting(GlobalData::kLanguage, index);
  }
}

bool TFormMain::ApplyCaptions(int index) {
  TModuloLingua* language = Process().language;
  if (language == nullptr || !language->IsUsable()) return false;
  const QStringList fields = language->LanguageFields();
  if (index < 0 || index >= fields.size()) return false;
  language->SetSelectedColumn(fields.at(index));
  // Qt's own buttons and dialogs follow the language.
  QtStandardTexts::UseColumn(fields.at(index));

  QList<WindowText> entryTexts = {
      {QStringLiteral("LabelMenu"), kCaptionLength, [this](const QString& t) {
         LabelMenu->setText(t);
         LabelMenu->adjustSize();
       }}};
  for (int entry : kEntryLookupOrder) {
    auto* label = static_cast<MainMenuEntry*>(EntryLabel(entry));
    entryTexts.append(
        {label->objectName(), kEntryLength, [label](const QString& t) { label->SetCaption(t); }});
  }

  QList<WindowText> texts;
  for (const char* key : kActionKeys) {
    QAction* action = Action(QLatin1String(key));
    texts.append({QLatin1String(key), kCaptionLength, SetTextOf(action)});
  }
  texts.append({QStringLiteral("FinestraPrincipale"), 70, SetTitleOf(this)});
  texts.append({QStringLiteral("LabelConnetti"), kCaptionLength,
                SetHintOf(Action(QStringLiteral("ActionConnetti")))});
  texts.append({QStringLiteral("LabelDisconnetti"), kCaptionLength,
                SetHintOf(Action(QStringLiteral("ActionDisconnetti")))});
  for (const auto& [key, length] : kMessageKeys) {
    const QString name = QLatin1String(key);
    texts.append({name, length, [this, name](const QString& t) { messages_.insert(name, t); }});
  }

  bool ok = ApplyWindowTexts(*language, entryTexts);
  if (ok) {
    // Each entry's action hint is the entry's caption.
    for (int i = 0; i < entryCount_; ++i) EntryAction(i)->setToolTip(EntryLabel(i)->text());
    ok = ApplyWindowTexts(*language, texts);
  }
  if (!ok) {
    MessageBoxes::ShowError(
        this, QString::fromUtf8("Problemi col database multilingua.\nIl programma verrà chiuso."),
        ApplicationTitle());
    RequestTermination();
    return false;
  }

  // The compare and check commands came after the window's own texts: a
  // dictionary without their captions keeps the Italian ones rather than
  // fail the window. Each is looked up on its own.
  QAction* compare = Action(QStringLiteral("MenuConfronta"));
  compare->setText(QStringLiteral("&Confronta configurazioni"));
  ApplyWindowTexts(*language,
                   {{QStringLiteral("MenuConfronta"), kCaptionLength, SetTextOf(compare)}});
  // So do the commands of the vehicle card and the report.
  for (const auto& [name, italian] :
       {std::pair{"MenuSchedaVettura", "Scheda &vettura..."}, {"MenuRapporto", "&Rapporto..."},
        {"MenuOfficina", "Dati dell'&officina..."}}) {
    QAction* action = Action(QLatin1String(name));
    action->setText(QString::fromUtf8(italian));
    ApplyWindowTexts(*language, {{QLatin1String(name), kCaptionLength, SetTextOf(action)}});
  }
  QAction* check = Action(QStringLiteral("ActionVerifica"));
  check->setText(QStringLiteral("Verifica &carburazione gas"));
  ApplyWindowTexts(*language,
                   {{QStringLiteral("ActionVerifica"), kCaptionLength, SetTextOf(check)}});
  // The chart's two commands came later still, and fall back the same way.
  QAction* recording = Action(QStringLiteral("MenuApriRegistrazione"));
  recording->setText(QStringLiteral("Apri re&gistrazione..."));
  ApplyWindowTexts(*language, {{QStringLiteral("MenuApriRegistrazione"), kCaptionLength,
                                SetTextOf(recording)}});
  QAction* chart = Action(QStringLiteral("MenuGrafico"));
  chart->setText(QStringLiteral("G&rafico parametri"));
  ApplyWindowTexts(*language,
                   {{QStringLiteral("MenuGrafico"), kCaptionLength, SetTextOf(chart)}});

  const QList<QAction*> items = language->PopupMenuLingue()->actions();
  SetStatusPanel(kPanelLanguage, TModuloLingua::TextWithoutAccelerator(items.at(index)->text()));
  const bool connected = Process().link != nullptr && Process().link->IsConnected() != 0;
  SetStatusPanel(kPanelConnection, MessageText(connected ? QStringLiteral("MessConn")
                                                         : QStringLiteral("MessNoConn")));
  CentreHorizontally();
  return true;
}
