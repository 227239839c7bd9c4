#include "Startup.h"

#include <QApplication>
#include <QSysInfo>
#include <cstdio>
#include <exception>
#include <memory>

#include "ConfCar.h"
#include "ConnectionHistory.h"
#include "History.h"
#include "Events.h"
#include "FormMain.h"
#include "GlobalData.h"
#include "LinkLibrary.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "ProcessObjects.h"
#include "QtStandardTexts.h"
#include "SceltaVettura.h"
#include "SingleInstance.h"

namespace {
const char* const kStoreFile = "default.dmr";

// What could not be kept of the ECU's history goes to the status bar, in the
// selected language, and the detail to the standard error.
void ReportHistoryFailure(const std::string& why) {
  std::fprintf(stderr, "MirelVantor: %s\n", why.c_str());
  TFormMain* main = Process().mainWindow;
  if (main == nullptr) return;
  QString text = QString::fromUtf8("Impossibile salvare lo storico della centralina.");
  if (TModuloLingua* language = Process().language; language != nullptr && language->IsUsable()) {
    const bool wasActive = language->IsActive();
    if (wasActive || language->Activate()) {
      if (const auto found = language->Text(QStringLiteral("MessErrStorico"), 70)) text = *found;
      if (!wasActive) language->Deactivate();
    }
  }
  main->ReportInStatusBar(text);
}

// The link object and the library it came from; destroyed in that order.
struct LinkHolder {
  LinkLibrary library;
  ecu::EcuLink* link = nullptr;
  ConnectionStateRelay relay;

  ~LinkHolder() {
    if (link != nullptr) {
      link->AttachScreen(nullptr);
      library.DestroyLink(link);
    }
    link = nullptr;
    Process().link = nullptr;
    Process().linkFailure = nullptr;
    library.Unload();
  }
};

// Loads the library and creates the link object with its start-up calls;
// false after telling the user why not.
bool StartLink(LinkHolder& holder) {
  if (!holder.library.Load(ProgramFolder())) {
    MessageBoxes::ShowError(nullptr, holder.library.ErrorText(), ApplicationTitle());
    return false;
  }
  holder.link = holder.library.CreateLink();
  if (holder.link == nullptr) {
    MessageBoxes::ShowError(nullptr, holder.library.ErrorText(), ApplicationTitle());
    return false;
  }
  Process().link = holder.link;
  Process().linkFailure = [&holder] {
    return LinkFailureReason(holder.library.LastFailureDetail(), Process().language);
  };
  holder.link->SetStartOptionA(0);
  holder.link->SetStartOptionB(4);
  holder.relay.SetFallbackWindow([]() -> QWidget* { return Process().mainWindow; });
  holder.link->AttachScreen(&holder.relay);
  return true;
}

int RunSequence(const QStringList& arguments, SingleInstance& instance) {
  // 1. One copy only.
  if (!instance.Claim()) {
    if (instance.BringRunningCopyForward()) {
      std::fprintf(stderr, "%s is already running: brought it to the front.\n", kProgramTitle);
    }
    return 0;
  }

  // 2. The platform.
  if (!IsSupportedPlatform()) {
    MessageBoxes::ShowError(nullptr, QStringLiteral("Questo programma richiede Windows 95/98/NT"),
                            QStringLiteral("Sistema operativo non compatibile"));
    return 0;
  }

  // Until a language is chosen the program speaks Italian, the language of
  // its built-in texts (the first-run question among them): so do Qt's buttons.
  QtStandardTexts::UseLocale(QStringLiteral("it"));

  ProcessObjects& process = Process();
  // Released last, with the application's objects.
  std::unique_ptr<TFormMain> mainWindow;

  // 4. The parameter store; its progress goes to the active window at once.
  auto store = std::make_unique<ConfCar>(kStoreFile);
  store->SetProgressCallback(
      [](int percent, bool add) { SendProgressToActiveWindow(percent, add); });
  process.store = store.get();
  // Snapshots and the write journal, in the user's data folder.
  ConnectionHistory history(history::DefaultFolder());
  history.SetFailureReport(ReportHistoryFailure);
  history.Watch(*store);
  // When the ECU has vehicle cards, the technician says which car it is in.
  // The question has no parent: the start-up progress window it would sit
  // on may be closed and deleted while it is open.
  history.SetVehicleChooser([](const std::vector<vehicle::StoredCard>& cards) {
    TFormSceltaVettura choice(cards, Process().language);
    choice.setWindowModality(Qt::ApplicationModal);
    choice.exec();
    return choice.ChosenKey();
  });
  process.history = &history;

  // 5. The settings.
  int goOn = 1;
  auto settings = std::make_unique<GlobalData>(goOn);
  if (goOn == 0) {
    settings->DiscardWithoutSaving();
    process.history = nullptr;
    process.store = nullptr;
    return 0;
  }
  process.settings = settings.get();

  {
    // 6-7. The link library and the ECU link object.
    LinkHolder link;
    if (StartLink(link)) {
      store->SetLink(link.link);
      // 8-10. The main window, then the message loop unless start-up said no.
      SetApplicationTitle(QLatin1String(kProgramTitle));
      mainWindow = std::make_unique<TFormMain>(arguments);
      if (process.doNotRun == 0 && !process.terminationRequested) {
        mainWindow->showMaximized();
        mainWindow->raise();
        mainWindow->activateWindow();
        QApplication::exec();
      }
      mainWindow->hide();
    }
    store->SetLink(nullptr);
    // 11-12: the link object is destroyed, then the library unloaded.
  }

  // 13. The parameter store.
  process.history = nullptr;
  history.Unwatch(*store);
  process.store = nullptr;
  store.reset();
  // 14. The settings, written back.
  process.settings = nullptr;
  settings.reset();
  return 0;
}
}  // namespace

bool IsSupportedPlatform() {
  const QString kernel = QSysInfo::kernelType();
  return kernel == QLatin1String("winnt") || kernel == QLatin1String("linux") ||
         kernel == QLatin1String("darwin") || kernel == QLatin1String("freebsd");
}

int RunProgram(const QStringList& arguments) {
  SingleInstance instance;
  try {
    RunSequence(arguments, instance);
  } catch (const std::exception& error) {
    MessageBoxes::ShowError(nullptr, QString::fromLocal8Bit(error.what()), ApplicationTitle());
  }
  Process() = ProcessObjects{};
  return 0;
}
