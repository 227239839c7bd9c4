// The handover report made from the File menu after a session with the
// virtual ECU program: a car chosen at the connection, a value the ECU took
// and one it refused. The PDF is read back with poppler's pdftotext and
// pdfinfo: the workshop, the plate, the change with its old and new value,
// the refused write marked, and one or two pages in every language.
#include <QAction>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "ConfCar.h"
#include "FormMain.h"
#include "History.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "ProcessObjects.h"
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
    std::filesystem::remove_all(folder);
  }

 private:
  QTemporaryDir runtime_;
  SessionFixture session_;
};

QTEST_MAIN(ReportTest)
#include "ReportTest.moc"
