// TFormSceltaVettura: asked at a connection when the ECU has vehicle cards:
// which of those cars is on the bench, or another car.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "VehicleCard.h"

class QLabel;
class QListWidget;
class QPushButton;
class TModuloLingua;

class TFormSceltaVettura : public QDialog {
  Q_OBJECT

 public:
  TFormSceltaVettura(const std::vector<vehicle::StoredCard>& cards, TModuloLingua* language,
                     QWidget* parent = nullptr);

  // The key of the chosen card; empty for another car.
  std::string ChosenKey() const;
  // One line of the list: plate, make and model, owner.
  static QString CardLine(const vehicle::Card& card);

  QLabel* LabelSceltaVettura;
  QListWidget* ListaVetture;
  QPushButton* ButtonOK;

 private:
  std::vector<std::string> keys_;
};
