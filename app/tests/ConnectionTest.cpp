// The connection workflow of the main window on a scripted link: the start-up
// connection and the manual one with every failure's message and title, which
// entries the identification shows or hides, the connection-state event with
// its status panels and actions, and "&Disconnetti".
#include <QAction>
#include <QDialog>
#include <QTest>

#include "ConfCar.h"
#include "Events.h"
#include "FormMain.h"
#include "MessageBoxes.h"
#include "ProcessObjects.h"
#include "ShellFixture.h"

namespace {
const QString kAppTitle = QStringLiteral("Titolo applicazione");
const QString kMainCaption = QStringLiteral("Mirel Vantor");  // "FinestraPrincipale"
const QString kLinkReason = QStringLiteral("No answer from the ECU on /dev/ttyUSB0.");

// The link's reason goes under the messages about reaching the ECU, not under
// the refusal of an ECU that answered.
QString DetailFor(const QString& key) {
  return key == QLatin1String("MessCpuErrata") ? QString() : kLinkReason;
}

using Calls = QStringList;

QStringList CallsOf(const ScriptedLink& link) {
  QStringList out;
  for (const auto& call : link.calls) out.append(QString::fromStdString(call));
  return out;
}

ecu::Identification Ident(int type, int variant, int features = 0) {
  return {static_cast<std::uint8_t>(type), static_cast<std::uint8_t>(variant),
          static_cast<std::uint8_t>(features), 23};
}

void Deliver(TFormMain& main, bool connected) {
  ConnectionStateEvent event(connected);
  QCoreApplication::sendEvent(&main, &event);
}
}  // namespace

class ConnectionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { SetApplicationTitle(kAppTitle); }

  // Each start-up outcome: the box (key empty = none), its title, the calls
  // on the link, and whether the program may go on.
  void StartupConnection_data() {
    QTest::addColumn<bool>("openOk");
    QTest::addColumn<bool>("connectOk");
    QTest::addColumn<bool>("identOk");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("title");
    QTest::addColumn<Calls>("calls");
    const Calls served{"OpenLink", "Connect", "ReadIdentification"};
    const Calls refused{"OpenLink", "Connect", "ReadIdentification", "Disconnect"};
    QTest::newRow("18/0") << true << true << true << 18 << 0 << ""
                          << "" << served;
    QTest::newRow("18/2") << true << true << true << 18 << 2 << ""
                          << "" << served;
    QTest::newRow("255/0") << true << true << true << 255 << 0 << ""
                           << "" << served;
    QTest::newRow("255/2") << true << true << true << 255 << 2 << ""
                           << "" << served;
    QTest::newRow("Connect's answer is not looked at") << true << false << true << 18 << 0 << ""
                                                       << "" << served;
    QTest::newRow("18/1") << true << true << true << 18 << 1 << "MessCpuErrata"
                          << "Errore 18" << refused;
    QTest::newRow("17/0") << true << true << true << 17 << 0 << "MessCpuErrata"
                          << "Errore 17" << refused;
    QTest::newRow("255/3") << true << true << true << 255 << 3 << "MessCpuErrata"
                           << "Errore 255" << refused;
    QTest::newRow("identification unreadable")
        << true << true << false << 18 << 0 << "MessErrVersioneCpu" << kMainCaption << refused;
    QTest::newRow("link not opened")
        << false << true << true << 18 << 0 << "MessErrConn" << kAppTitle << Calls{"OpenLink"};
  }
  void StartupConnection() {
    QFETCH(bool, openOk);
    QFETCH(bool, connectOk);
    QFETCH(bool, identOk);
    QFETCH(int, type);
    QFETCH(int, variant);
    QFETCH(QString, key);
    QFETCH(QString, title);
    QFETCH(Calls, calls);
    ShellFixture f;
    f.link.openOk = openOk;
    f.link.connectOk = connectOk;
    f.link.identificationOk = identOk;
    f.link.identification = Ident(type, variant);
    Process().linkFailure = [] { return kLinkReason; };
    ScopedMessageBoxCapture boxes;

    f.Start();

    QCOMPARE(CallsOf(f.link), calls);
    if (key.isEmpty()) {
      QVERIFY(boxes.Empty());
      QCOMPARE(Process().doNotRun, 0);
      // The full read filled the store from the ECU.
      QCOMPARE(f.ReadValue(56), ShellFixture::EcuValue(56));
      QCOMPARE(f.ReadValue(25), ShellFixture::EcuValue(25));
      return;
    }
    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text, f.Text(key.toLatin1().constData()));
    QVERIFY(!boxes.Last().text.isEmpty());
    QCOMPARE(boxes.Last().title, title);
    QCOMPARE(boxes.Last().detail, DetailFor(key));
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    QCOMPARE(boxes.Last().buttons, BoxButtons::Ok);
    QCOMPARE(Process().doNotRun, 1);
    QCOMPARE(f.link.reads, 0);
  }

  // Each manual outcome, from "&Connetti" or "Ricarica tutti i dati" after a
  // start-up with a served ECU: a failure leaves the store as it was.
  void ManualConnection_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("openOk");
    QTest::addColumn<bool>("connectOk");
    QTest::addColumn<bool>("identOk");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("variant");
    QTest::addColumn<QString>("key");
    QTest::addColumn<Calls>("calls");
    const Calls served{"OpenLink", "Connect", "ReadIdentification"};
    const Calls refused{"OpenLink", "Connect", "ReadIdentification", "Disconnect"};
    QTest::newRow("connect, 255/2")
        << "ActionConnetti" << true << true << true << 255 << 2 << "" << served;
    QTest::newRow("reload, 18/0") << "MenuRileggi" << true << true << true << 18 << 0 << ""
                                  << served;
    QTest::newRow("link not opened") << "ActionConnetti" << false << true << true << 18 << 0
                                     << "MessErrConn" << Calls{"OpenLink"};
    QTest::newRow("connection refused") << "MenuRileggi" << true << false << true << 18 << 0
                                        << "MessErrConn" << Calls{"OpenLink", "Connect"};
    QTest::newRow("identification unreadable")
        << "ActionConnetti" << true << true << false << 18 << 0 << "MessErrVersioneCpu" << refused;
    QTest::newRow("17/0") << "ActionConnetti" << true << true << true << 17 << 0 << "MessCpuErrata"
                          << refused;
    QTest::newRow("255/3") << "MenuRileggi" << true << true << true << 255 << 3 << "MessCpuErrata"
                           << refused;
  }
  void ManualConnection() {
    QFETCH(QString, command);
    QFETCH(bool, openOk);
    QFETCH(bool, connectOk);
    QFETCH(bool, identOk);
    QFETCH(int, type);
    QFETCH(int, variant);
    QFETCH(QString, key);
    QFETCH(Calls, calls);
    ShellFixture f;
    f.Start();
    f.main->show();
    QCOMPARE(Process().doNotRun, 0);
    // "&Connetti" is enabled until the connected news arrives, "Ricarica tutti
    // i dati" from then on.
    if (command == QLatin1String("MenuRileggi")) Deliver(*f.main, true);
    // The ECU's memory changes before the second read; a failed attempt must
    // not bring any of it into the store.
    f.link.calls.clear();
    f.link.reads = 0;
    f.link.openOk = openOk;
    f.link.connectOk = connectOk;
    f.link.identificationOk = identOk;
    f.link.identification = Ident(type, variant);
    f.Store().StoreRaw(f.Store().MemberAddress(56), 1);
    Process().linkFailure = [] { return kLinkReason; };
    ScopedMessageBoxCapture boxes;

    f.main->Action(command)->trigger();

    QCOMPARE(CallsOf(f.link), calls);
    if (key.isEmpty()) {
      QVERIFY(boxes.Empty());
      QVERIFY(f.link.reads > 0);
      QCOMPARE(f.ReadValue(56), ShellFixture::EcuValue(56));
    } else {
      QCOMPARE(boxes.Requests().size(), 1);
      QCOMPARE(boxes.Last().text, f.Text(key.toLatin1().constData()));
      QCOMPARE(boxes.Last().title, kMainCaption);
      QCOMPARE(boxes.Last().detail, DetailFor(key));
      QCOMPARE(boxes.Last().icon, BoxIcon::Error);
      QCOMPARE(f.link.reads, 0);
      QCOMPARE(f.ReadValue(56), 1);
    }
    // A manual connection never ends the program.
    QCOMPARE(Process().doNotRun, 0);
    QVERIFY(!Process().terminationRequested);
  }

  // Which entries the start-up identification hides, and what later manual
  // connections bring back: only "Indicatore originale", and only when the
  // ECU has the feature; never "Diagnosi"; the variant and page stay.
  void EntriesFollowTheIdentification_data() {
    QTest::addColumn<int>("startVariant");
    QTest::addColumn<int>("startFeatures");
    QTest::addColumn<QList<int>>("manualFeatures");  // one manual connection each, variant 0
    QTest::addColumn<bool>("diagnosis");
    QTest::addColumn<bool>("indicator");
    QTest::addColumn<int>("page");
    QTest::newRow("variant 2 alone") << 2 << 1 << QList<int>{} << false << false << 1;
    QTest::newRow("variant 0 with the feature: hidden until a manual connection")
        << 0 << 1 << QList<int>{} << true << false << 0;
    QTest::newRow("variant 2, then an ECU with the feature")
        << 2 << 0 << QList<int>{1} << false << true << 1;
    QTest::newRow("variant 2, then an ECU without it")
        << 2 << 0 << QList<int>{0} << false << false << 1;
    QTest::newRow("other feature bits do not count")
        << 0 << 0 << QList<int>{0xFE} << true << false << 0;
    QTest::newRow("shown once, never hidden again")
        << 0 << 0 << QList<int>{1, 0} << true << true << 0;
  }
  void EntriesFollowTheIdentification() {
    QFETCH(int, startVariant);
    QFETCH(int, startFeatures);
    QFETCH(QList<int>, manualFeatures);
    QFETCH(bool, diagnosis);
    QFETCH(bool, indicator);
    QFETCH(int, page);
    ShellFixture f;
    f.link.identification = Ident(18, startVariant, startFeatures);
    f.Start();
    f.main->show();
    ScopedMessageBoxCapture boxes;
    for (const int features : manualFeatures) {
      f.link.identification = Ident(18, 0, features);
      f.Action("ActionConnetti")->trigger();
    }
    QVERIFY(boxes.Empty());
    QCOMPARE(f.main->EntryVisible(TFormMain::kDiagnosi), diagnosis);
    QCOMPARE(f.main->EntryVisible(TFormMain::kIndicatore), indicator);
    QCOMPARE(f.main->OptionalPage(), page);
    QCOMPARE(f.Store().VariantFlag(), startVariant == 2);
  }

  void ConnectedEventShowsThePort_data() {
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("text");
    QTest::newRow("USB adapter") << 100 << "USB";
    QTest::newRow("first serial port") << 0 << "COM1";
    QTest::newRow("fourth serial port") << 3 << "COM4";
  }
  void ConnectedEventShowsThePort() {
    QFETCH(int, port);
    QFETCH(QString, text);
    ShellFixture f;
    f.Start();
    QVERIFY(f.Action("ActionConnetti")->isEnabled());
    QVERIFY(!f.Action("ActionDisconnetti")->isEnabled());
    QVERIFY(!f.Action("MenuRileggi")->isEnabled());
    f.link.port = port;

    Deliver(*f.main, true);

    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelConnection), f.Text("MessConn"));
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelPort), text);
    QVERIFY(!f.Action("ActionConnetti")->isEnabled());
    QVERIFY(f.Action("ActionDisconnetti")->isEnabled());
    QVERIFY(f.Action("MenuRileggi")->isEnabled());
  }

  void LostConnectionSaysSoAndEndsTheProgram() {
    ShellFixture f;
    f.Start();
    Deliver(*f.main, true);
    ScopedMessageBoxCapture boxes;
    f.link.connected = 0;  // the link lost the ECU

    Deliver(*f.main, false);

    QCOMPARE(boxes.Requests().size(), 1);
    QCOMPARE(boxes.Last().text, f.Text("MessErrConn"));
    QCOMPARE(boxes.Last().title, kMainCaption);
    QCOMPARE(boxes.Last().icon, BoxIcon::Error);
    QVERIFY(Process().terminationRequested);
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelConnection), f.Text("MessNoConn"));
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelPort), QString());
    QVERIFY(f.Action("ActionConnetti")->isEnabled());
    QVERIFY(!f.Action("ActionDisconnetti")->isEnabled());
  }

  // The link's news goes through the relay to the active window; a window
  // that does not handle it (or none at all) leaves it to the main window, so
  // a cable pulled while a dialog is open is not missed.
  void NewsUnhandledByTheActiveWindowReachesTheMainWindow() {
    for (const bool withDialog : {true, false}) {
      ShellFixture f;
      f.Start();
      ConnectionStateRelay relay;
      relay.SetFallbackWindow([&f]() -> QWidget* { return f.main.get(); });
      QDialog dialog;
      if (withDialog) {
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        QCOMPARE(QApplication::activeWindow(), &dialog);
      } else {
        QApplication::setActiveWindow(nullptr);
      }
      f.link.connected = 1;
      relay.ConnectionChanged(true);
      QCoreApplication::sendPostedEvents(&relay);
      QCOMPARE(f.main->StatusPanel(TFormMain::kPanelConnection), f.Text("MessConn"));

      ScopedMessageBoxCapture boxes;
      f.link.connected = 0;
      relay.ConnectionChanged(false);
      QCoreApplication::sendPostedEvents(&relay);
      QCOMPARE(boxes.Requests().size(), 1);
      QCOMPARE(boxes.Last().text, f.Text("MessErrConn"));
      QVERIFY(Process().terminationRequested);
      Process().terminationRequested = false;
    }
  }

  // In demo mode the event changes nothing, but a manual connection still
  // reads the ECU.
  void DemoModeIgnoresTheEvent() {
    ShellFixture f;
    f.Start({QStringLiteral("/demo")});
    f.main->show();
    QVERIFY(f.link.calls.empty());
    const QString panel = f.main->StatusPanel(TFormMain::kPanelConnection);
    ScopedMessageBoxCapture boxes;

    f.Action("ActionConnetti")->trigger();
    Deliver(*f.main, true);
    QVERIFY(f.link.reads > 0);
    QVERIFY(f.Action("ActionConnetti")->isEnabled());
    QVERIFY(!f.Action("ActionDisconnetti")->isEnabled());
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelPort), QString());

    f.link.connected = 0;
    Deliver(*f.main, false);
    QVERIFY(boxes.Empty());
    QVERIFY(!Process().terminationRequested);
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelConnection), panel);
  }

  // "&Disconnetti" closes the link and says so; the actions wait for the
  // connection-state event.
  void DisconnectClosesTheLink() {
    ShellFixture f;
    f.Start();
    Deliver(*f.main, true);
    f.link.calls.clear();
    ScopedMessageBoxCapture boxes;

    f.Action("ActionDisconnetti")->trigger();

    QCOMPARE(CallsOf(f.link), Calls{"Disconnect"});
    QCOMPARE(f.main->StatusPanel(TFormMain::kPanelConnection), f.Text("MessNoConn"));
    QVERIFY(f.Action("ActionDisconnetti")->isEnabled());
    QVERIFY(boxes.Empty());
  }
};

QTEST_MAIN(ConnectionTest)
#include "ConnectionTest.moc"
