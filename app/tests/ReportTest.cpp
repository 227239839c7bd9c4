// The handover report made from the File menu after a session with the
// virtual ECU program: a car chosen at the connection, a value the ECU took
// and one it refused. The PDF is read back with poppler's pdftotext and
// pdfinfo: the workshop, the plate, the change with its old and new value,
// the refused write marked, and one or two pages in every language. ecuctl
// report, run on the same ECU afterwards, makes the same report; after a
// calibration check of the car its verdict is in the report too.
#include <QAction>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSettings>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <fstream>

#include "ConfCar.h"
#include "FormMain.h"
#include "History.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "ProcessObjects.h"
#include "ResultFile.h"
#include "Rapporto.h"
#include "SceltaVettura.h"
#include "ShellTestSupport.h"
#include "VehicleCard.h"
#include "VirtualEcuProcess.h"
#include "WindowTestSupport.h"
#include "Workshop.h"

namespace {

constexpr int kChangeOverRpm = 56;
constexpr int kChangeOverTemperature = 58;

QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString PdfText(const QString& pdf) {
  return Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

struct Outcome {
  int code = -1;
  QString out, err;
};

// ecuctl as the technician runs it, on the ECU at port, with the program's
// settings and history.
Outcome Ecuctl(const QString& port, const QStringList& arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("SEROXT_PORT"), port);
  // The settings sandbox of this test is the user's settings folder.
  const QString settings = QSettings(QStringLiteral("OXT srl"), QStringLiteral("MirelVantor")).fileName();
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QFileInfo(settings).dir().absolutePath() +
                                                            QStringLiteral("/.."));
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(ECUCTL_FILE), arguments);
  Outcome outcome;
  if (!process.waitForFinished(60000)) return outcome;
  outcome.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  outcome.out = QString::fromUtf8(process.readAllStandardOutput());
  outcome.err = QString::fromUtf8(process.readAllStandardError());
  return outcome;
}

// A check's result file, its gas verdicts given per band (petrol was valid).
void WriteCheck(const std::filesystem::path& file, const std::string& idle,
                const std::string& partLoad, std::filesystem::file_time_type written) {
  std::vector<calibration::ResultRow> rows;
  for (const auto& [band, verdict] : {std::pair{"idle", idle}, std::pair{"2500", partLoad}}) {
    calibration::ResultRow petrol;
    petrol.band = band;
    petrol.fuel = "petrol";
    petrol.verdict = "ok";
    calibration::ResultRow gas = petrol;
    gas.fuel = "gas";
    gas.verdict = verdict;
    if (verdict == "not-enough-data") gas.reason = "cold";
    rows.push_back(petrol);
    rows.push_back(gas);
  }
  std::filesystem::create_directories(file.parent_path());
  std::string error;
  QVERIFY2(calibration::WriteResultFile(file.string(), rows, &error), error.c_str());
  std::filesystem::last_write_time(file, written);
}

// The first line where two texts part, both sides shown; empty when equal.
QString FirstDifference(const QString& a, const QString& b) {
  const QStringList left = a.split(QLatin1Char('\n')), right = b.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
    const QString l = left.value(i, QStringLiteral("<end>")), r = right.value(i, QStringLiteral("<end>"));
    if (l != r) return QStringLiteral("line %1:\n  %2\n  %3").arg(i + 1).arg(l.simplified(), r.simplified());
  }
  return {};
}

int Pages(const QString& pdf) {
  for (const QString& line : Run(QStringLiteral("pdfinfo"), {pdf}).split(QLatin1Char('\n')))
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  return -1;
}

}  // namespace

class ReportTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // What the program's own start sets; the report prints it.
    QCoreApplication::setApplicationVersion(QStringLiteral(MV_VERSION));
    QVERIFY(runtime_.isValid());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(runtime_.path()));
    QVERIFY(session_.Ready());
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      QSKIP("poppler-utils (pdftotext, pdfinfo) is not installed");
  }

  void MenuReportAfterASession() {
    const std::filesystem::path folder = history::DefaultFolder();
    std::filesystem::remove_all(folder);
    const ecu::Identification id{18, 0, 1, 23};
    vehicle::Card card;
    card.plate = "AB 123 CD";
    card.make = "Fiat";
    card.model = "Punto";
    QVERIFY(vehicle::AddCard(folder, id, card).done);
    vehicle::Card other;
    other.plate = "EF456GH";
    QVERIFY(vehicle::AddCard(folder, id, other).done);
    QVERIFY(SaveWorkshop({QStringLiteral("Officina Rossi Gas"), QStringLiteral("Via Roma 1, Torino"),
                          QStringLiteral("011 123456"), QStringLiteral("IT01234567890"), {}}));

    const int refusedAddress = ecu::CodeAddress(ConfCar::ParameterCode(kChangeOverTemperature));
    VirtualEcuProcess ecu(session_.Folder(), QStringLiteral("ecu"));
    const QString port = ecu.Start({QStringLiteral("--engine"), QStringLiteral("off"),
                                    QStringLiteral("--refuse"), QString::number(refusedAddress)});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    ScopedMessageBoxCapture boxes;
    // At the connection: the car with the plate AB 123 CD.
    WhenModal<TFormSceltaVettura>([](TFormSceltaVettura* choice) {
      choice->ListaVetture->setCurrentRow(0);
      choice->ButtonOK->click();
    });
    const QString out = QDir(session_.Folder()).filePath(QStringLiteral("report-%1.pdf"));
    QStringList columns;
    int accepted = 0, refused = 0;
    QVERIFY(RunSession(port, [&](TFormMain& main) {
      accepted = Process().store->SetValue(kChangeOverRpm, 3000);
      refused = Process().store->SetValue(kChangeOverTemperature, 30);
      columns = Process().language->LanguageFields();
      for (const QString& column : columns) {
        Process().language->SetSelectedColumn(column);
        WhenModal<TFormRapporto>([&](TFormRapporto* window) {
          window->SaveTo(out.arg(column));
          window->close();
        });
        main.Action(QStringLiteral("MenuRapporto"))->trigger();
      }
      Process().language->SetSelectedColumn(QStringLiteral("ITALIANO"));
    }));
    // With MV_SCREENSHOTS set to a folder, the PDFs are kept there to be looked at.
    const QString keep = qEnvironmentVariable("MV_SCREENSHOTS");
    for (const QString& column : columns)
      if (!keep.isEmpty())
        QFile::copy(out.arg(column), QDir(keep).filePath(QStringLiteral("report-%1.pdf").arg(column)));
    QCOMPARE(accepted, 1);
    QVERIFY(refused != 1);
    QVERIFY2(boxes.Empty(), qPrintable(boxes.Last().text));
    QCOMPARE(columns.size(), 6);

    const QString italian = Run(QStringLiteral("pdftotext"),
                                {QStringLiteral("-layout"), out.arg(QStringLiteral("ITALIANO")),
                                 QStringLiteral("-")});
    QVERIFY2(italian.contains(QStringLiteral("Rapporto di intervento")), qPrintable(italian));
    QVERIFY2(italian.contains(QStringLiteral("Officina Rossi Gas")), qPrintable(italian));
    QVERIFY(italian.contains(QStringLiteral("IT01234567890")));
    QVERIFY(italian.contains(QStringLiteral("AB 123 CD")));
    QVERIFY(!italian.contains(QStringLiteral("EF456GH")));
    // The change-over speed: 2000 before, 3000 after, on one line.
    const QStringList lines = italian.split(QLatin1Char('\n'));
    const auto lineWith = [&lines](const QString& a, const QString& b) {
      for (const QString& line : lines)
        if (line.contains(a) && line.contains(b)) return line;
      return QString();
    };
    const QString changed = lineWith(QStringLiteral("2000"), QStringLiteral("3000"));
    QVERIFY2(!changed.isEmpty(), qPrintable(italian));
    QVERIFY(!changed.contains(QStringLiteral("RIFIUTATA")));
    // The refused change-over temperature, asked 30 °C (29,91 once the ECU's
    // byte is converted back), marked.
    QVERIFY2(!lineWith(QStringLiteral("29,91"), QStringLiteral("RIFIUTATA")).isEmpty(),
             qPrintable(italian));
    QVERIFY(italian.contains(QStringLiteral("Il tecnico")));

    const QString english = Run(QStringLiteral("pdftotext"),
                                {out.arg(QStringLiteral("ENGLISH")), QStringLiteral("-")});
    QVERIFY(english.contains(QStringLiteral("Service report")));
    QVERIFY(english.contains(QStringLiteral("REFUSED")));
    for (const QString& column : columns) {
      const int pages = Pages(out.arg(column));
      QVERIFY2(pages == 1 || pages == 2, qPrintable(column + QStringLiteral(": ") +
                                                    QString::number(pages)));
    }

    // ecuctl report on the same ECU, its changes from the snapshot the
    // session began with, for the car chosen last: the menu's report, word
    // for word.
    const auto snapshots = history::ListSnapshots(folder).snapshots;
    QCOMPARE(snapshots.size(), std::size_t{1});
    const QString fromCommand = QDir(session_.Folder()).filePath(QStringLiteral("ecuctl.pdf"));
    const Outcome made =
        Ecuctl(port, {QStringLiteral("report"), QStringLiteral("--since"),
                      QString::fromStdString(snapshots[0].file.filename().string()),
                      QStringLiteral("--language"), QStringLiteral("ITALIANO"),
                      QStringLiteral("--out"), fromCommand});
    QVERIFY2(made.code == 0, qPrintable(made.err));
    QVERIFY2(made.out.contains(QStringLiteral("2 change(s)")) &&
                 made.out.contains(QStringLiteral("(1 refused)")),
             qPrintable(made.out));
    const QString difference = FirstDifference(PdfText(fromCommand), italian);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    std::filesystem::remove_all(folder);
  }

  // The newest check of this car, in the report's language: not an older
  // check, not a damaged result file, not another car's check.
  void CheckVerdictInEveryLanguage() {
    namespace fs = std::filesystem;
    const fs::path folder = history::DefaultFolder();
    fs::remove_all(folder);
    fs::remove_all(folder.parent_path() / "Logs");
    const ecu::Identification id{18, 0, 1, 23};
    vehicle::Card card;
    card.plate = "AB 123 CD";
    QVERIFY(vehicle::AddCard(folder, id, card).done);
    vehicle::Card other;
    other.plate = "EF456GH";
    QVERIFY(vehicle::AddCard(folder, id, other).done);
    QVERIFY(vehicle::Choose(folder, id, "AB123CD", std::chrono::system_clock::now()).done);
    const fs::path logs = folder.parent_path() / "Logs";
    const auto now = fs::file_time_type::clock::now();
    const fs::path mine = logs / "ecu-18-0-1-23_AB123CD";
    WriteCheck(mine / "2026-12-11_08-00-00.check.csv", "rich-on-gas", "ok",
               now - std::chrono::hours(2));
    WriteCheck(mine / "2026-12-11_09-00-00.check.csv", "ok", "lean-on-gas",
               now - std::chrono::hours(1));
    std::ofstream(mine / "broken.check.csv") << "not a result\n";
    WriteCheck(logs / "ecu-18-0-1-23_EF456GH" / "2026-12-11_10-00-00.check.csv",
               "actuator-upper-limit", "actuator-upper-limit", now);

    VirtualEcuProcess ecu(session_.Folder(), QStringLiteral("check"));
    const QString port = ecu.Start({QStringLiteral("--engine"), QStringLiteral("off")});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    struct Case {
      QString language;
      QStringList shows;  // the bands, the verdicts and what to adjust
      QStringList hides;  // the older check's and the other car's verdicts
    };
    const QList<Case> cases = {
        {QStringLiteral("ITALIANO"),
         {QStringLiteral("Minimo"), QStringLiteral("Magro a gas"), QStringLiteral("Arricchire")},
         {QStringLiteral("Ricco a gas"), QStringLiteral("limite superiore")}},
        {QStringLiteral("ENGLISH"),
         {QStringLiteral("Calibration check"), QStringLiteral("Idle"), QStringLiteral("Lean on gas"),
          QStringLiteral("Nothing to adjust."), QStringLiteral("Enrich")},
         {QStringLiteral("Rich on gas"), QStringLiteral("upper limit")}},
        {QStringLiteral("FRANCAIS"), {QStringLiteral("Pauvre au gaz")}, {}},
        {QStringLiteral("DEUTSCH"), {QStringLiteral("Mager mit Gas")}, {}},
        {QStringLiteral("ESPANOL"), {QStringLiteral("Pobre a gas")}, {}},
        {QStringLiteral("POLSKI"), {QStringLiteral("Uboga mieszanka")}, {}},
    };
    const QString keep = qEnvironmentVariable("MV_SCREENSHOTS");
    for (const Case& c : cases) {
      const QString pdf = QDir(session_.Folder()).filePath(c.language + QStringLiteral(".pdf"));
      const Outcome made = Ecuctl(port, {QStringLiteral("report"), QStringLiteral("--language"),
                                         c.language, QStringLiteral("--out"), pdf});
      QVERIFY2(made.code == 0, qPrintable(made.err));
      if (!keep.isEmpty())
        QFile::copy(pdf, QDir(keep).filePath(QStringLiteral("check-%1.pdf").arg(c.language)));
      // pdftotext -layout keeps a wrapped verdict's words apart; plain text
      // joins a cell's lines with single spaces.
      const QString text = Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                               .simplified();
      for (const QString& shown : c.shows)
        QVERIFY2(text.contains(shown), qPrintable(c.language + QStringLiteral(": ") + shown));
      for (const QString& hidden : c.hides)
        QVERIFY2(!text.contains(hidden), qPrintable(c.language + QStringLiteral(": ") + hidden));
      const int pages = Pages(pdf);
      QVERIFY2(pages == 1 || pages == 2,
               qPrintable(c.language + QStringLiteral(": ") + QString::number(pages)));
    }
    fs::remove_all(folder);
    fs::remove_all(logs);
  }

  // What ecuctl report refuses, each with its exit code and a message that
  // says why; no file is left behind.
  void CommandLineRefusals() {
    const std::filesystem::path folder = history::DefaultFolder();
    std::filesystem::remove_all(folder);
    VirtualEcuProcess ecu(session_.Folder(), QStringLiteral("refusals"));
    const QString port = ecu.Start({QStringLiteral("--engine"), QStringLiteral("off")});
    QVERIFY2(!port.isEmpty(), qPrintable(ecu.Errors()));
    const QString pdf = QDir(session_.Folder()).filePath(QStringLiteral("refused.pdf"));
    struct Case {
      QStringList arguments;
      QString port;
      int code;
      QString says;
    };
    const QString none = QDir(session_.Folder()).filePath(QStringLiteral("no-such-port"));
    const QList<Case> cases = {
        {{}, port, 1, QStringLiteral("report needs --out FILE.pdf")},
        {{QStringLiteral("--out")}, port, 1, QStringLiteral("--out needs a value")},
        {{QStringLiteral("--colour"), QStringLiteral("red"), QStringLiteral("--out"), pdf}, port,
         1, QStringLiteral("unknown option --colour")},
        {{QStringLiteral("extra"), QStringLiteral("--out"), pdf}, port, 1,
         QStringLiteral("no operand extra")},
        {{QStringLiteral("--out"), session_.Folder()}, port, 1, QStringLiteral("is a folder")},
        {{QStringLiteral("--out"), session_.Folder() + QStringLiteral("/none/r.pdf")}, port, 5,
         QStringLiteral("no folder")},
        {{QStringLiteral("--language"), QStringLiteral("klingon"), QStringLiteral("--out"), pdf},
         port, 1, QStringLiteral("no language klingon (one of: ITALIANO")},
        {{QStringLiteral("--since"), QStringLiteral("2026-02-30"), QStringLiteral("--out"), pdf},
         port, 1, QStringLiteral("2026-02-30 is neither")},
        {{QStringLiteral("--vehicle"), QStringLiteral("ZZ999ZZ"), QStringLiteral("--out"), pdf},
         port, 1, QStringLiteral("no vehicle card ZZ999ZZ")},
        {{QStringLiteral("--out"), pdf}, none, 2, QStringLiteral("no ECU found")},
    };
    for (const Case& c : cases) {
      const Outcome run = Ecuctl(c.port, QStringList{QStringLiteral("report")} + c.arguments);
      QVERIFY2(run.code == c.code, qPrintable(c.arguments.join(QLatin1Char(' ')) +
                                              QStringLiteral(": ") + run.err));
      QVERIFY2(run.err.contains(c.says), qPrintable(run.err));
      QVERIFY(!QFile::exists(pdf));
    }
    // With no card at all the report says so, and is made.
    const Outcome plain = Ecuctl(port, {QStringLiteral("report"), QStringLiteral("--out"), pdf});
    QVERIFY2(plain.code == 0, qPrintable(plain.err));
    QVERIFY(PdfText(pdf).contains(QStringLiteral("Nessuna scheda vettura.")));
    std::filesystem::remove_all(folder);
  }

 private:
  QTemporaryDir runtime_;
  SessionFixture session_;
};

QTEST_MAIN(ReportTest)
#include "ReportTest.moc"
