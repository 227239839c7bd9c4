// The workshop's details window and the report window on the offscreen
// platform, with the real dictionary and the settings in a sandbox.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "GlobalData.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "Officina.h"
#include "Rapporto.h"
#include "ReportDocument.h"
#include "WindowTestSupport.h"

namespace {
QString PageText(const QString& pdf, int page) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QString::number(page),
                                              QStringLiteral("-l"), QString::number(page), pdf,
                                              QStringLiteral("-")});
  if (!process.waitForFinished(30000)) return {};
  return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class ReportWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    sandbox_ = std::make_unique<SettingsSandbox>();
    sandbox_->Store(QStringLiteral("/old"), 0, 5);  // a previous run's settings
    lingua_ = std::make_unique<TModuloLingua>();
    QVERIFY(lingua_->Open(PROGRAM_FOLDER, "DizionarioVnt.dbf"));
    lingua_->SetUsable(true);
    lingua_->SetSelectedColumn("ITALIANO");
  }
  void cleanup() {
    lingua_.reset();
    sandbox_.reset();
  }

  // A logo that is no picture is refused and nothing is kept; the details
  // with a real picture are kept in the settings for the next report.
  void WorkshopDetailsAreKeptWithAReadableLogo() {
    int goOn = 1;
    GlobalData settings(goOn);
    ScopedMessageBoxCapture boxes;
    const QString notAPicture = QDir(sandbox_->Folder()).filePath(QStringLiteral("logo.png"));
    QFile file(notAPicture);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    TFormOfficina window(settings, lingua_.get());
    window.EditNomeOfficina->setText(QStringLiteral("  Officina Rossi Gas "));
    window.EditPartitaIva->setText(QStringLiteral("IT01234567890"));
    window.EditLogo->setText(notAPicture);
    window.ButtonOK->click();
    QCOMPARE(boxes.Last().text,
             QString::fromUtf8("Il file del logo non è un'immagine leggibile:"));
    QCOMPARE(LoadWorkshop().name, QString());

    const QString picture = QDir(sandbox_->Folder()).filePath(QStringLiteral("real.png"));
    QImage logo(60, 30, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    QVERIFY(logo.save(picture));
    window.EditLogo->setText(picture);
    boxes.Clear();
    window.ButtonOK->click();
    QVERIFY2(boxes.Empty(), qPrintable(boxes.Last().text));
    QCOMPARE(window.result(), int(QDialog::Accepted));
    const WorkshopDetails kept = LoadWorkshop();
    QCOMPARE(kept.name, QStringLiteral("Officina Rossi Gas"));
    QCOMPARE(kept.vatNumber, QStringLiteral("IT01234567890"));
    QCOMPARE(kept.logoFile, picture);
    TFormOfficina again(settings, lingua_.get());
    QCOMPARE(again.EditNomeOfficina->text(), QStringLiteral("Officina Rossi Gas"));
    Screenshot(&again, QStringLiteral("workshop-italian"));
  }

  // The preview follows the chosen start of the changes; a PDF that cannot
  // be written is said, and one that can is written.
  void ReportWindowPreviewsAndSaves() {
    QStringList asked;
    const auto maker = [&asked](const QString& since) {
      asked << since;
      ReportData data;
      data.workshop.name = QStringLiteral("Officina Rossi Gas");
      data.changesSince = since;
      data.changes = {{QStringLiteral("2026-12-10 10:00:00"), QStringLiteral("Giri"),
                       QStringLiteral("2000"), QStringLiteral("3000"), false}};
      return data;
    };
    ScopedMessageBoxCapture boxes;
    TFormRapporto window(maker,
                         {{QStringLiteral("Questa sessione"), QStringLiteral("2026-12-10 09:00:00")},
                          {QStringLiteral("2026-12-01 08:00:00"), QStringLiteral("2026-12-01 08:00:00")}},
                         lingua_.get());
    QCOMPARE(asked, QStringList{QStringLiteral("2026-12-10 09:00:00")});
    QVERIFY(window.Anteprima->toPlainText().contains(QStringLiteral("Officina Rossi Gas")));
    window.ComboModificheDa->setCurrentIndex(1);
    window.Aggiorna();
    QCOMPARE(asked.last(), QStringLiteral("2026-12-01 08:00:00"));
    QVERIFY(window.Anteprima->toPlainText().contains(QStringLiteral("2026-12-01 08:00:00")));
    Screenshot(&window, QStringLiteral("report-window-italian"));

    QVERIFY(!window.SaveTo(QStringLiteral("/nonexistent-folder/report.pdf")));
    QCOMPARE(boxes.Last().text, QStringLiteral("Impossibile salvare il rapporto:"));
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    QVERIFY(window.SaveTo(pdf));
    QFile written(pdf);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.read(5) == "%PDF-");
  }

  // However long the list of changes, the notes and the two signatures stay
  // together on the last page, and a report of two pages numbers them.
  void NotesStayWithTheSignatures() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
      QSKIP("poppler-utils (pdftotext) is not installed");
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
    ReportData data;
    data.workshop.name = QStringLiteral("Officina Rossi Gas");
    bool twoPages = false;
    // From a list that leaves the page half empty to one that fills a second.
    for (int changes = 20; changes <= 110; changes += 3) {
      data.changes.clear();
      for (int i = 0; i < changes; ++i)
        data.changes.append({QStringLiteral("2026-12-10 10:00:%1").arg(i % 60, 2, 10, QLatin1Char('0')),
                             QStringLiteral("Giri"), QString::number(2000 + i),
                             QString::number(3000 + i), false});
      QString why;
      QVERIFY2(WriteReportPdf(data, pdf, &why), qPrintable(why));
      const QString first = PageText(pdf, 1);
      const QString second = PageText(pdf, 2);
      const QString signed_ = second.contains(QStringLiteral("Il tecnico")) ? second : first;
      QVERIFY2(signed_.contains(QStringLiteral("Il tecnico")), qPrintable(QString::number(changes)));
      // The notes' heading is a line of its own.
      QVERIFY2(signed_.contains(QRegularExpression(QStringLiteral("(^|\n)Note\n"))),
               qPrintable(QString::number(changes)));
      if (!second.isEmpty()) {
        twoPages = true;
        QVERIFY(first.contains(QStringLiteral("1/2")));
        QVERIFY(second.contains(QStringLiteral("2/2")));
      }
    }
    QVERIFY(twoPages);
  }

  // Every word of the report is in the dictionary in every language: a
  // missing one would quietly print Italian in a foreign report.
  void EveryReportWordIsInEveryLanguage() {
    QVERIFY(lingua_->Activate());
    for (const QString& column : lingua_->LanguageFields()) {
      lingua_->SetSelectedColumn(column);
      for (const QString& key : ReportTextKeys())
        QVERIFY2(lingua_->Text(key, 200).has_value(), qPrintable(column + QLatin1Char(' ') + key));
    }
    lingua_->Deactivate();
  }

 private:
  std::unique_ptr<SettingsSandbox> sandbox_;
  std::unique_ptr<TModuloLingua> lingua_;
};

QTEST_MAIN(ReportWindowsTest)
#include "ReportWindowsTest.moc"
