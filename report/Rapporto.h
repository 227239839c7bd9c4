// TFormRapporto: the handover report on screen as it will print, with where
// its list of changes starts (this session, or a snapshot of this car),
// saved as PDF or printed through the system's print dialog.
#pragma once

#include <QDialog>
#include <QList>
#include <QPair>
#include <functional>
#include <memory>

#include "ReportData.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTextBrowser;
class QTextDocument;
class TModuloLingua;

class TFormRapporto : public QDialog {
  Q_OBJECT

 public:
  // Makes the report with its changes from a time on.
  using Maker = std::function<ReportData(const QString& since)>;
  // starts: the item text and the time of each place the changes may start,
  // the session's start first.
  TFormRapporto(Maker maker, const QList<QPair<QString, QString>>& starts,
                TModuloLingua* language, QWidget* parent = nullptr);
  ~TFormRapporto() override;

  const ReportData& Data() const { return data_; }
  // Writes the PDF; false after saying why.
  bool SaveTo(const QString& path);

  QLabel* LabelModificheDa;
  QComboBox* ComboModificheDa;
  QTextBrowser* Anteprima;
  QPushButton* ButtonSalvaPdf;
  QPushButton* ButtonStampa;
  QPushButton* ButtonEsci;

 public slots:
  void Aggiorna();
  void SalvaPdf();
  void Stampa();

 private:
  Maker maker_;
  ReportData data_;
  std::unique_ptr<QTextDocument> document_;
  QString saveFailed_ = QStringLiteral("Impossibile salvare il rapporto:");
  QString pdfFilter_ = QStringLiteral("Documenti PDF (*.pdf)");
};
