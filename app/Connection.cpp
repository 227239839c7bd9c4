#include "Connection.h"

#include <QAction>
#include <QLabel>

#include "Attendere.h"
#include "ConfCar.h"
#include "ConnectionHistory.h"
#include "FormMain.h"
#include "MessageBoxes.h"
#include "ProcessObjects.h"

namespace {

constexpr int kUsbPort = 100;
constexpr int kOriginalIndicatorFeature = 0x01;

QString Text(const TFormMain& main, const char* key) {
  return main.MessageText(QLatin1String(key));
}

// Opens the link and connects; false when the link cannot be opened or, when
// the answer counts, the connection fails.
bool OpenAndConnect(ecu::EcuLink& link, bool connectMustSucceed) {
  if (!link.OpenLink()) return false;
  const bool connected = link.Connect();
  return connected || !connectMustSucceed;
}

void SetConnectionActions(TFormMain& main, bool connected) {
  if (QAction* connect = main.Action(QStringLiteral("ActionConnetti")))
    connect->setEnabled(!connected);
  if (QAction* disconnect = main.Action(QStringLiteral("ActionDisconnetti")))
    disconnect->setEnabled(connected);
}

// A full read that ended still connected is kept as a snapshot of the ECU.
void KeepSnapshot() {
  ProcessObjects& process = Process();
  if (process.history == nullptr || process.store == nullptr || process.link == nullptr ||
      process.link->IsConnected() == 0)
    return;
  process.history->AfterFullRead(*process.store, process.identification);
}

}  // namespace

namespace Connection {

bool IsServedEcu(const ecu::Identification& id) {
  return (id.typeCode == 18 || id.typeCode == 255) && (id.variant == 0 || id.variant == 2);
}

QString PortText(int port) {
  return port == kUsbPort ? QStringLiteral("USB")
                          : QStringLiteral("COM") + QString::number(port + 1);
}

void StartupConnection(TFormMain& main) {
  ProcessObjects& process = Process();
  ecu::EcuLink* link = process.link;
  if (link == nullptr || !OpenAndConnect(*link, false)) {
    process.doNotRun = 1;
    MessageBoxes::ShowError(&main, Text(main, "MessErrConn"), ApplicationTitle(),
                            LinkFailureText());
    return;
  }
  if (!link->ReadIdentification(&process.identification)) {
    // At start-up a Connect nobody answered ends here: the reason says so.
    MessageBoxes::ShowError(&main, Text(main, "MessErrVersioneCpu"), main.windowTitle(),
                            LinkFailureText());
    link->Disconnect();
    process.doNotRun = 1;
    return;
  }
  if (!IsServedEcu(process.identification)) {
    MessageBoxes::ShowError(&main, Text(main, "MessCpuErrata"),
                            Text(main, "LabelStatoErrore") + QStringLiteral(" ") +
                                QString::number(process.identification.typeCode));
    link->Disconnect();
    process.doNotRun = 1;
    return;
  }

  const bool reduced = process.identification.variant == 2;
  if (process.store != nullptr) process.store->SetVariantFlag(reduced);
  if (reduced) {
    main.SetOptionalPage(1);
    main.HideEntry(TFormMain::kIndicatore);
    main.HideEntry(TFormMain::kDiagnosi);
  } else {
    main.SetOptionalPage(0);
  }
  // The progress window made at start-up is the active window: it follows.
  if (process.store != nullptr) process.store->ReadAll();
  KeepSnapshot();
}

void ManualConnection(TFormMain& main) {
  ProcessObjects& process = Process();
  ecu::EcuLink* link = process.link;
  if (link == nullptr || !OpenAndConnect(*link, true)) {
    MessageBoxes::ShowError(&main, Text(main, "MessErrConn"), main.windowTitle(),
                            LinkFailureText());
    return;
  }
  if (!link->ReadIdentification(&process.identification)) {
    MessageBoxes::ShowError(&main, Text(main, "MessErrVersioneCpu"), main.windowTitle(),
                            LinkFailureText());
    link->Disconnect();
    return;
  }
  if (!IsServedEcu(process.identification)) {
    MessageBoxes::ShowError(&main, Text(main, "MessCpuErrata"), main.windowTitle());
    link->Disconnect();
    return;
  }

  main.repaint();
  TFormAttesa progress(&main);
  progress.SetTexts(Text(main, "FinestraCaricaDati"), Text(main, "LabelCaricaDati"),
                    Text(main, "MessCompletato"));
  if ((process.identification.featureFlags & kOriginalIndicatorFeature) != 0 &&
      !main.EntryVisible(TFormMain::kIndicatore)) {
    main.ShowEntry(TFormMain::kIndicatore);
  }
  progress.ShowAndPaint();
  if (process.store != nullptr) process.store->ReadAll();
  progress.close();
  KeepSnapshot();
  main.activateWindow();
}

void DisconnectEcu(TFormMain& main) {
  if (Process().link != nullptr) Process().link->Disconnect();
  main.SetStatusPanel(TFormMain::kPanelConnection, Text(main, "MessNoConn"));
}

void ConnectionStateChanged(TFormMain& main, bool connected) {
  ProcessObjects& process = Process();
  if (process.demoMode) return;
  // News that the link itself already contradicts (a connection made and
  // dropped again before the news arrived) is stale: the window keeps
  // showing the truth.
  if (process.link != nullptr && (process.link->IsConnected() != 0) != connected) return;

  if (!connected) {
    main.SetStatusPanel(TFormMain::kPanelConnection, Text(main, "MessNoConn"));
    SetConnectionActions(main, false);
    main.SetStatusPanel(TFormMain::kPanelPort, QString());
    MessageBoxes::ShowError(&main, Text(main, "MessErrConn"), main.windowTitle(),
                            LinkFailureText());
    RequestTermination();
    return;
  }
  main.SetStatusPanel(TFormMain::kPanelConnection, Text(main, "MessConn"));
  SetConnectionActions(main, true);
  const int port = process.link != nullptr ? process.link->GetPortInUse() : 0;
  main.SetStatusPanel(TFormMain::kPanelPort, PortText(port));
  if (QAction* reload = main.Action(QStringLiteral("MenuRileggi"))) {
    const QAction* disconnect = main.Action(QStringLiteral("ActionDisconnetti"));
    reload->setEnabled(disconnect != nullptr && disconnect->isEnabled());
  }
  main.repaint();
}

}  // namespace Connection
