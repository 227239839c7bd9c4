#include "ToolWindows.h"

#include <QDateTime>
#include <QFile>

#include "Confronta.h"
#include "ConnectionHistory.h"
#include "Diagnosi.h"
#include "Verifica.h"
#include "Files.h"
#include "FormConfOpt.h"
#include "FormConfSw.h"
#include "FormContext.h"
#include "FormMain.h"
#include "Grafico.h"
#include "FormVettura.h"
#include "History.h"
#include "Indicatore.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "Officina.h"
#include "Rapporto.h"
#include "ReportContents.h"
#include "ProcessObjects.h"
#include "SchedaVettura.h"
#include "Visualizza.h"
#include "WindowTexts.h"

namespace {
// What every tool window is handed: the program's shared objects.
FormContext ContextOf(const ProcessObjects& process) {
  FormContext context;
  context.store = process.store;
  context.link = process.link;
  context.language = process.language;
  context.settings = process.settings;
  context.demoMode = process.demoMode;
  context.identification = process.identification;
  context.openLiveView = [](QWidget* over) { ToolWindows::OpenLiveView(over); };
  return context;
}

// The page a configuration window opens on: the low byte of its Tag.
int PageOf(int tag) {
  return tag & 0xFF;
}

// Shows a paged configuration window maximised and modal; the page it was
// on when it closed.
int ShowConfigurationWindow(PagedConfigWindow& window, int tag) {
  window.SetTag(tag);
  window.setWindowState(Qt::WindowMaximized);
  window.exec();
  return window.Tag();
}
}  // namespace

namespace ToolWindows {

void OpenLiveView(TFormMain& main) {
  OpenLiveView(&main);
}

void OpenLiveView(QWidget* over) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return;
  FormContext context = ContextOf(process);
  // Every live session is recorded in the logs folder of the ECU (or car).
  if (process.history != nullptr) context.sessionLogFolder = process.history->LogFolder();
  TFormVisualizza window(context, over);
  window.move(0, 0);
  window.exec();
}

bool OpenVehicleConfiguration(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return false;
  TFormVettura window(ContextOf(process), &main);
  window.setWindowState(window.windowState() | Qt::WindowMaximized);
  window.exec();
  return window.MemoryErased();
}

int OpenOptionalConfiguration(TFormMain& main, int tag) {
  if (Process().store == nullptr) return PageOf(tag);
  TFormConfOpt window(ContextOf(Process()), &main);
  return ShowConfigurationWindow(window, tag);
}

int OpenSoftwareConfiguration(TFormMain& main, int tag) {
  if (Process().store == nullptr) return PageOf(tag);
  TFormConfSw window(ContextOf(Process()), &main);
  return ShowConfigurationWindow(window, tag);
}

void OpenDiagnosis(TFormMain& main) {
  if (Process().store == nullptr) return;
  TFormDiagnosi window(ContextOf(Process()), &main);
  window.exec();
}

void OpenOriginalIndicator(TFormMain& main) {
  if (Process().store == nullptr) return;
  TFormIndicatore window(ContextOf(Process()), &main);
  window.exec();
}

bool OpenFileManagement(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr || process.settings == nullptr) return false;
  TFormFile window(ContextOf(process), &main);
  return window.exec() == QDialog::Accepted;
}

void OpenCompare(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return;
  const std::filesystem::path folder =
      process.history != nullptr ? process.history->Folder() : history::DefaultFolder();
  TFormConfronta window(ContextOf(process), QFile::decodeName(folder.c_str()), &main);
  window.exec();
}

void OpenVehicleCards(TFormMain& main) {
  ProcessObjects& process = Process();
  ConnectionHistory* history = process.history;
  if (process.store == nullptr || history == nullptr) return;
  // Cards belong to an ECU: without one read there is nothing to attach to.
  if (history->SessionFolder().empty()) {
    MessageBoxes::ShowError(&main, main.MessageText(QStringLiteral("MessNoConn")),
                            main.windowTitle());
    return;
  }
  TFormSchedaVettura::Session session;
  session.key = history->VehicleKey();
  session.releaseJournal = [history] { history->ReleaseJournal(); };
  session.useVehicle = [history](const std::string& key) {
    if (Process().store != nullptr) history->UseVehicle(*Process().store, key);
  };
  TFormSchedaVettura window(ContextOf(process), history->Folder(), std::move(session), &main);
  window.exec();
}

void OpenReport(TFormMain& main) {
  const ProcessObjects& process = Process();
  const ConnectionHistory* history = process.history;
  if (process.store == nullptr || history == nullptr) return;
  if (history->SessionFolder().empty()) {
    MessageBoxes::ShowError(&main, main.MessageText(QStringLiteral("MessNoConn")),
                            main.windowTitle());
    return;
  }
  // The changes start with this session, or at a snapshot of this car.
  QString thisSession = QStringLiteral("Questa sessione");
  if (process.language != nullptr)
    ApplyWindowTexts(*process.language,
                     {{QStringLiteral("VoceSessione"), 40, StoreIn(&thisSession)}});
  QList<QPair<QString, QString>> starts = {
      {thisSession + QStringLiteral(" (") + QString::fromStdString(history->SessionStart()) +
           QLatin1Char(')'),
       QString::fromStdString(history->SessionStart())}};
  const std::string folderName = history->SessionFolder().filename().string();
  const auto listing = history::ListSnapshots(history->Folder());
  for (auto it = listing.snapshots.rbegin(); it != listing.snapshots.rend(); ++it) {
    if (it->ecu != folderName) continue;
    const QString taken = QString::fromStdString(it->taken);
    starts.append({taken, taken});
  }
  const FormContext context = ContextOf(process);
  const ReportContents::Session session{history->Folder(), history->VehicleKey()};
  TFormRapporto window(
      [context, session](const QString& since) {
        return ReportContents::Collect(context, session, since);
      },
      starts, process.language, &main);
  window.exec();
}

void OpenWorkshop(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.settings == nullptr) return;
  TFormOfficina window(*process.settings, process.language, &main);
  window.exec();
}

void OpenCalibrationCheck(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return;
  const FormContext context = ContextOf(process);
  TFormVerifica window(context, &main);
  // A live check is recorded beside the other recordings of this ECU in the
  // car chosen, with its result file beside the log (the handover report
  // reads it there).
  if (context.Connected()) {
    const std::string car = process.history != nullptr ? process.history->VehicleKey() : "";
    const std::filesystem::path folder = history::DefaultFolder().parent_path() / "Logs" /
                                         history::EcuFolderName(context.identification, car);
    const QString name =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) +
        QStringLiteral(".mlg");
    window.RecordInto(QFile::decodeName((folder / QFile::encodeName(name).toStdString()).c_str()));
  }
  window.exec();
}

void ShowChart(TFormGrafico& chart) {
  // A recording can be checked for the gas calibration from its chart.
  TFormVerifica::OfferOn(chart, ContextOf(Process()));
  chart.exec();
}

void OpenChart(TFormMain& main) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return;
  TFormGrafico window(ContextOf(process), &main);
  window.StartPolling();
  ShowChart(window);
}

void OpenRecording(TFormMain& main, const QString& path) {
  const ProcessObjects& process = Process();
  if (process.store == nullptr) return;
  TFormGrafico window(ContextOf(process), &main);
  if (!window.OpenRecording(path)) return;
  ShowChart(window);
}

}  // namespace ToolWindows
