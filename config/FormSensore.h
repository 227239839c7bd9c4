// TFormSensore: the six switching thresholds of a gas level sensor that is not
// of a standard type (empty, reserve, 1/4, 2/4, 3/4, full; raw readings
// 0..255), with the sensor's present reading shown every two seconds so the
// technician can copy it while filling or emptying the tank. For an optical
// sensor it computes the four middle thresholds from empty and full. It
// neither reads nor writes the store: the caller fills the six fields and, on
// OK, takes them back with the descending flag.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "EcuLink.h"
#include "Parameters.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TModuloLingua;

class TFormSensore : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kThresholds = params::Row(params::Id::LevelSensorCalibration).count;
  // Interval of the live reading, in milliseconds.
  static constexpr int kReadingInterval = 2000;

  // link: where the live reading comes from (none: it stays 0).
  TFormSensore(TModuloLingua* language, ecu::EcuLink* link, QWidget* parent = nullptr);

  // Fills Edit1..Edit6 in order.
  void SetThresholds(const std::array<int, kThresholds>& values);
  // The six fields as integers, in order (after OK all of them parse).
  std::array<int, kThresholds> Thresholds() const;
  // Set by the last validation when full lies below empty.
  bool Descending() const { return descending_; }

  QLabel* LabelLivVuoto;
  QLabel* LabelLivRiserva;
  QLabel* LabelLiv1_4;
  QLabel* LabelLiv2_4;
  QLabel* LabelLiv3_4;
  QLabel* LabelLivPieno;
  QLineEdit* Edit1;
  QLineEdit* Edit2;
  QLineEdit* Edit3;
  QLineEdit* Edit4;
  QLineEdit* Edit5;
  QLineEdit* Edit6;
  QLabel* LabelLettSens;
  QLabel* LabelvSens;
  QPushButton* ButtonOk;
  QPushButton* ButtonAnnulla;
  QPushButton* ButtonCalcola;
  QTimer* Timer1;

 public slots:
  // OK: the thresholds must all rise or all fall.
  void Validate();
  // The optical sensor's reserve, 1/4, 2/4 and 3/4 from empty and full.
  void Calcola();
  // One live reading of the sensor into LabelvSens.
  void ReadSensor();

 private:
  void LoadTexts(TModuloLingua* language);
  std::array<QLineEdit*, kThresholds> Edits() const;
  bool IsThresholdEdit(QObject* object) const;
  // The exit check; false when the value was refused and put back.
  bool LeaveField(QLineEdit* edit);

  ecu::EcuLink* link_;
  int saved_ = 0;  // the focused field's value when it was entered
  bool descending_ = false;
  QString messDatoNoValido_;
  QString messOrdineNoValido_;
};

namespace config {

// The optical sensor's thresholds from empty and full: reserve at 3/22, 1/4 at
// 6/22, 2/4 at 9/22 and 3/4 at 14/22 of the way, in whole steps of
// (empty - full) / 22 truncated towards zero.
std::array<int, 6> OpticalThresholds(int empty, int full);

// The thresholds all rise, or all fall when full lies below empty (equal
// neighbours allowed); descending tells which rule applied.
bool ThresholdsInOrder(const std::array<int, 6>& values, bool* descending);

}  // namespace config
