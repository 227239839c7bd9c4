// The link library's failure said in the technician's language: each kind of
// failure from the real dictionary with its port, group and number filled in,
// in every language; the library's own sentence wherever the program cannot
// do better (a kind it does not know, no dictionary, no sentence for the kind).
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <memory>

#include "LinkFailureReason.h"
#include "ModuloLingua.h"
#include "WindowTestSupport.h"

namespace {
const QString kPort = QStringLiteral("/dev/ttyUSB0");
const QString kGroup = QStringLiteral("dialout");
const QString kLibraryText = QStringLiteral("the library's own English sentence");

LinkFailure Failure(int kind, int number = 0) {
  LinkFailure failure;
  failure.kind = kind;
  failure.port = kPort;
  failure.group = kGroup;
  failure.number = number;
  failure.text = kLibraryText;
  return failure;
}

QString SystemWords(int number) {
  return QString::fromLocal8Bit(std::strerror(number));
}

// Every kind the library gives, with the number it comes with.
struct KindCase {
  const char* name;
  int kind;
  int number;
};
const KindCase kKinds[] = {
    {"no such port", ecu::kFailureNoSuchPort, 0},
    {"port busy", ecu::kFailurePortBusy, 0},
    {"cannot open", ecu::kFailureCannotOpen, EIO},
    {"must join the group", ecu::kFailureNoPermissionJoin, 0},
    {"joined after the session began", ecu::kFailureNoPermissionSession, 0},
    {"group may not open", ecu::kFailureNoPermissionDevice, 0},
    {"not a serial port", ecu::kFailureNotSerialPort, ENOTTY},
    {"no answer", ecu::kFailureNoAnswer, 0},
    {"garbled answers", ecu::kFailureGarbledAnswer, 0},
    {"slow answers", ecu::kFailureSlowAnswer, 0},
    {"port lost", ecu::kFailurePortLost, 0},
    {"no port found", ecu::kFailureNoPortFound, 0},
    {"no ECU on the ports", ecu::kFailureNoEcuOnPorts, 3},
};
}  // namespace

class LinkFailureReasonTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    language_ = std::make_unique<TModuloLingua>();
    QVERIFY(language_->Open(QStringLiteral(PROGRAM_FOLDER), QStringLiteral("DizionarioVnt.dbf")));
    language_->SetUsable(true);
  }

  // Each kind in Italian and German, word for word.
  void EachKindInItalianAndGerman_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("italian");
    QTest::addColumn<QString>("german");
    const auto row = [](const char* name, int kind, int number, const char* italian,
                        const char* german) {
      QTest::newRow(name) << kind << number << QString::fromUtf8(italian)
                          << QString::fromUtf8(german);
    };
    row("no such port", ecu::kFailureNoSuchPort, 0,
        "Non esiste la porta /dev/ttyUSB0: il cavo è collegato?",
        "Es gibt keine Schnittstelle /dev/ttyUSB0: Ist das Kabel eingesteckt?");
    row("port busy", ecu::kFailurePortBusy, 0,
        "La porta /dev/ttyUSB0 è usata da un altro programma.",
        "Die Schnittstelle /dev/ttyUSB0 wird von einem anderen Programm benutzt.");
    row("must join the group", ecu::kFailureNoPermissionJoin, 0,
        "Nessun permesso per aprire /dev/ttyUSB0: aggiungere l'utente al gruppo 'dialout' "
        "(sudo usermod -aG dialout $USER), poi uscire e rientrare nella sessione.",
        "Keine Berechtigung, /dev/ttyUSB0 zu öffnen: den Benutzer zur Gruppe 'dialout' "
        "hinzufügen (sudo usermod -aG dialout $USER), dann ab- und wieder anmelden.");
    row("joined after the session began", ecu::kFailureNoPermissionSession, 0,
        "Nessun permesso per aprire /dev/ttyUSB0: l'utente è nel gruppo 'dialout', ma questa "
        "sessione è iniziata prima: uscire e rientrare nella sessione.",
        "Keine Berechtigung, /dev/ttyUSB0 zu öffnen: Der Benutzer ist in der Gruppe 'dialout', "
        "aber diese Sitzung begann vorher: ab- und wieder anmelden.");
    row("group may not open", ecu::kFailureNoPermissionDevice, 0,
        "Nessun permesso per aprire /dev/ttyUSB0: il gruppo 'dialout' non può aprirla; "
        "controllarne i permessi.",
        "Keine Berechtigung, /dev/ttyUSB0 zu öffnen: Die Gruppe 'dialout' darf sie nicht öffnen; "
        "ihre Berechtigungen prüfen.");
    row("not a serial port", ecu::kFailureNotSerialPort, ENOTTY,
        "/dev/ttyUSB0 non è una porta seriale.", "/dev/ttyUSB0 ist keine serielle Schnittstelle.");
    row("no answer", ecu::kFailureNoAnswer, 0,
        "Nessuna risposta dalla centralina su /dev/ttyUSB0: è accesa e il cavo è collegato?",
        "Keine Antwort vom Steuergerät an /dev/ttyUSB0: Ist es eingeschaltet und das Kabel "
        "angeschlossen?");
    row("garbled answers", ecu::kFailureGarbledAnswer, 0,
        "Risposte illeggibili su /dev/ttyUSB0: controllare la velocità di linea (SEROXT_BAUD) e "
        "il cavo.",
        "Unlesbare Antworten an /dev/ttyUSB0: Übertragungsgeschwindigkeit (SEROXT_BAUD) und "
        "Kabel prüfen.");
    row("slow answers", ecu::kFailureSlowAnswer, 0,
        "La centralina su /dev/ttyUSB0 risponde troppo lentamente: le risposte arrivano quando "
        "il collegamento non le attende più.",
        "Das Steuergerät an /dev/ttyUSB0 antwortet zu langsam: Seine Antworten kommen, wenn die "
        "Verbindung nicht mehr auf sie wartet.");
    row("port lost", ecu::kFailurePortLost, 0,
        "La porta /dev/ttyUSB0 ha smesso di funzionare: il cavo è stato scollegato?",
        "Die Schnittstelle /dev/ttyUSB0 funktioniert nicht mehr: Wurde das Kabel abgezogen?");
    row("no port found", ecu::kFailureNoPortFound, 0,
        "Nessuna porta seriale trovata: il cavo è collegato?",
        "Keine serielle Schnittstelle gefunden: Ist das Kabel eingesteckt?");
    row("no ECU on the ports", ecu::kFailureNoEcuOnPorts, 3,
        "Nessuna centralina ha risposto su 3 porte seriali: è accesa e il cavo è collegato?",
        "Auf keiner der 3 seriellen Schnittstellen hat ein Steuergerät geantwortet: Ist es "
        "eingeschaltet und das Kabel angeschlossen?");
  }
  void EachKindInItalianAndGerman() {
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(QString, italian);
    QFETCH(QString, german);
    language_->SetSelectedColumn(QStringLiteral("ITALIANO"));
    QCOMPARE(LinkFailureReason(Failure(kind, number), language_.get()), italian);
    language_->SetSelectedColumn(QStringLiteral("DEUTSCH"));
    QCOMPARE(LinkFailureReason(Failure(kind, number), language_.get()), german);
  }

  // The system's own words for an error it gave come with the port.
  void AnErrorOfTheSystemKeepsItsWords() {
    language_->SetSelectedColumn(QStringLiteral("ITALIANO"));
    QCOMPARE(LinkFailureReason(Failure(ecu::kFailureCannotOpen, EIO), language_.get()),
             QStringLiteral("Impossibile usare la porta /dev/ttyUSB0: ") + SystemWords(EIO) +
                 QStringLiteral("."));
  }

  // Every kind in every language: a sentence of that language with every
  // detail in place, none of the places left empty or unfilled.
  void EveryKindInEveryLanguage() {
    language_->SetSelectedColumn(QStringLiteral("ENGLISH"));
    QStringList english;
    for (const KindCase& k : kKinds)
      english << LinkFailureReason(Failure(k.kind, k.number), language_.get());
    for (const QString& column : language_->LanguageFields()) {
      language_->SetSelectedColumn(column);
      for (std::size_t i = 0; i < std::size(kKinds); ++i) {
        const KindCase& k = kKinds[i];
        const QString reason = LinkFailureReason(Failure(k.kind, k.number), language_.get());
        const QString where =
            column + QStringLiteral(", ") + QLatin1String(k.name) + QStringLiteral(": ") + reason;
        QVERIFY2(!reason.isEmpty() && reason != kLibraryText, qPrintable(where));
        QVERIFY2(!reason.contains(QRegularExpression(QStringLiteral("%\\d"))), qPrintable(where));
        if (k.kind != ecu::kFailureNoPortFound && k.kind != ecu::kFailureNoEcuOnPorts)
          QVERIFY2(reason.contains(kPort), qPrintable(where));
        if (k.kind == ecu::kFailureNoPermissionJoin || k.kind == ecu::kFailureNoPermissionSession ||
            k.kind == ecu::kFailureNoPermissionDevice)
          QVERIFY2(reason.contains(QStringLiteral("'dialout'")), qPrintable(where));
        if (k.kind == ecu::kFailureNoEcuOnPorts)
          QVERIFY2(reason.contains(QStringLiteral(" 3 ")), qPrintable(where));
        if (column != QLatin1String("ENGLISH"))
          QVERIFY2(reason != english.at(static_cast<int>(i)), qPrintable(where));
      }
    }
  }

  // Where the program cannot say it better, the library's sentence stands;
  // nothing failed, nothing is said.
  void TheLibrarysSentenceWhereNothingBetterIsAtHand() {
    language_->SetSelectedColumn(QStringLiteral("ITALIANO"));
    QCOMPARE(LinkFailureReason(Failure(ecu::kFailureOther), language_.get()), kLibraryText);
    QCOMPARE(LinkFailureReason(Failure(99), language_.get()), kLibraryText);
    QCOMPARE(LinkFailureReason(Failure(ecu::kFailureNoSuchPort), nullptr), kLibraryText);
    LinkFailure none;
    QCOMPARE(LinkFailureReason(none, language_.get()), QString());

    // A dictionary from before these sentences.
    QTemporaryDir folder;
    QVERIFY(WriteDictionary(QDir(folder.path()).filePath(QStringLiteral("DizionarioVnt.dbf")),
                            {"IDENTIF", "ITALIANO"},
                            {{"MenuLingua", "&Italiano"}, {"MessErrConn", "Impossibile"}}));
    TModuloLingua older;
    QVERIFY(older.Open(folder.path(), QStringLiteral("DizionarioVnt.dbf")));
    older.SetUsable(true);
    older.SetSelectedColumn(QStringLiteral("ITALIANO"));
    QCOMPARE(LinkFailureReason(Failure(ecu::kFailureNoSuchPort), &older), kLibraryText);
  }

  // A port whose name looks like a place to fill is shown as it is.
  void APortNameIsShownAsItIs() {
    language_->SetSelectedColumn(QStringLiteral("ENGLISH"));
    LinkFailure failure = Failure(ecu::kFailureNoPermissionJoin);
    failure.port = QStringLiteral("/tmp/odd%2name");
    QCOMPARE(LinkFailureReason(failure, language_.get()),
             QStringLiteral("No permission to open /tmp/odd%2name (add your user to the 'dialout' "
                            "group: sudo usermod -aG dialout $USER, then log out and in again)."));
  }

 private:
  std::unique_ptr<TModuloLingua> language_;
};

QTEST_MAIN(LinkFailureReasonTest)
#include "LinkFailureReasonTest.moc"
