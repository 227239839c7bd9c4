// TFormOfficina: the workshop's own details (name, address, phone, VAT
// number, an optional logo picture), printed at the head of every report.
#pragma once

#include <QDialog>

#include "Workshop.h"

class GlobalData;
class QLabel;
class QLineEdit;
class QPushButton;
class TModuloLingua;

class TFormOfficina : public QDialog {
  Q_OBJECT

 public:
  TFormOfficina(GlobalData& settings, TModuloLingua* language, QWidget* parent = nullptr);

  WorkshopDetails DetailsOfEdits() const;

  QLineEdit* EditNomeOfficina;
  QLineEdit* EditIndirizzo;
  QLineEdit* EditTelefono;
  QLineEdit* EditPartitaIva;
  QLineEdit* EditLogo;
  QLabel* ImmagineLogo;
  QPushButton* ButtonSfoglia;
  QPushButton* ButtonOK;
  QPushButton* ButtonAnnulla;

 public slots:
  void Sfoglia();
  // Keeps the details; refuses a logo file that is not a picture.
  void Conferma();

 private:
  void ShowLogo();

  GlobalData& settings_;
  QString badLogo_ = QStringLiteral("Il file del logo non è un'immagine leggibile:");
  QString notSaved_ = QStringLiteral("Impossibile salvare le impostazioni.");
  QString pictures_ = QStringLiteral("Immagini (*.png *.jpg *.jpeg *.bmp)");
};
