#include "Rapporto.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>

#include "ApplicationInfo.h"
#include "MessageBoxes.h"
#include "ModuloLingua.h"
#include "NamedWidgets.h"
#include "ReportDocument.h"
#include "Scaling.h"
#include "WindowTexts.h"

namespace {
// The buttons stand in one row along the bottom.
QRect BottomButtonPlace(int left, int width) {
  return {left, 494, width, 34};
}
}  // namespace

TFormRapporto::TFormRapporto(Maker maker, const QList<QPair<QString, QString>>& starts,
                             TModuloLingua* language, QWidget* parent)
    : QDialog(parent), maker_(std::move(maker)) {
  setObjectName(QStringLiteral("FormRapporto"));
  setWindowTitle(QStringLiteral("Rapporto di intervento"));
  // Fits an 800 x 600 screen with its title bar.
  setFixedSize(760, 540);
  LabelModificheDa = new QLabel(QStringLiteral("Modifiche da:"), this);
  LabelModificheDa->setObjectName(QStringLiteral("LabelModificheDa"));
  LabelModificheDa->setGeometry(16, 12, 200, 28);
  ComboModificheDa = new QComboBox(this);
  ComboModificheDa->setObjectName(QStringLiteral("ComboModificheDa"));
  ComboModificheDa->setGeometry(220, 12, 524, 28);
  for (const auto& [text, since] : starts) ComboModificheDa->addItem(text, since);
  Anteprima = new QTextBrowser(this);
  Anteprima->setObjectName(QStringLiteral("Anteprima"));
  Anteprima->setGeometry(16, 48, 728, 436);
  ButtonSalvaPdf = ui::MakeButton(this, "ButtonSalvaPdf", QStringLiteral("Salva &PDF..."),
                                  BottomButtonPlace(16, 200));
  ButtonStampa = ui::MakeButton(this, "ButtonStampa", QStringLiteral("S&tampa..."),
                                BottomButtonPlace(226, 200));
  ButtonEsci =
      ui::MakeButton(this, "ButtonEsci", QStringLiteral("&Esci"), BottomButtonPlace(604, 140));

  if (language != nullptr) {
    ApplyWindowTexts(*language,
                     {{QStringLiteral("RapTitolo"), 40, SetTitleOf(this)},
                      {QStringLiteral("LabelModificheDa"), 25, SetTextOf(LabelModificheDa)},
                      {QStringLiteral("ButtonSalvaPdf"), 25, SetTextOf(ButtonSalvaPdf)},
                      {QStringLiteral("ButtonStampa"), 25, SetTextOf(ButtonStampa)},
                      {QStringLiteral("ButtonEsci"), 20, SetTextOf(ButtonEsci)},
                      {QStringLiteral("MessErrRapporto"), 70, StoreIn(&saveFailed_)},
                      {QStringLiteral("FiltroPdf"), 40, StoreIn(&pdfFilter_)}});
  }
  connect(ComboModificheDa, &QComboBox::activated, this, &TFormRapporto::Aggiorna);
  connect(ButtonSalvaPdf, &QPushButton::clicked, this, &TFormRapporto::SalvaPdf);
  connect(ButtonStampa, &QPushButton::clicked, this, &TFormRapporto::Stampa);
  connect(ButtonEsci, &QPushButton::clicked, this, &QDialog::reject);
  ScaleToScreen(this);
  Aggiorna();
}

TFormRapporto::~TFormRapporto() = default;

void TFormRapporto::Aggiorna() {
  data_ = maker_(ComboModificheDa->currentData().toString());
  // The preview lets go of the old document before it is destroyed.
  std::unique_ptr<QTextDocument> document = MakeReportDocument(data_);
  Anteprima->setDocument(document.get());
  document_ = std::move(document);
}

bool TFormRapporto::SaveTo(const QString& path) {
  QString why;
  if (WriteReportPdf(data_, path, &why)) return true;
  MessageBoxes::ShowError(this, saveFailed_, windowTitle(), why);
  return false;
}

void TFormRapporto::SalvaPdf() {
  QString name = data_.texts.title;
  if (data_.card) name += QLatin1Char(' ') + QString::fromStdString(data_.card->plate);
  name.replace(QLatin1Char('/'), QLatin1Char('-'));
  const QString path = QFileDialog::getSaveFileName(
      this, ButtonSalvaPdf->text().remove(QLatin1Char('&')),
      QDir::home().filePath(name + QStringLiteral(".pdf")), pdfFilter_);
  if (!path.isEmpty()) SaveTo(path);
}

void TFormRapporto::Stampa() {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  PrintReport(data_, printer);
}
