// TFormIndicatore: the six outputs that make the car's own fuel gauge show
// empty, reserve, 1/4, 2/4, 3/4 and full while the car runs on gas
// (the indicator outputs). The technician steps a value while the ECU drives the gauge
// with it, and confirms the one that puts the needle on the mark. The values
// are read from the ECU when the window opens and written back when it closes.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <array>

#include "Parameters.h"

struct FormContext;
class ConfCar;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class TModuloLingua;
class UpDown;

namespace ecu {
class EcuLink;
}

class TFormIndicatore : public QDialog {
  Q_OBJECT

 public:
  static constexpr params::Id kOutputs = params::Id::IndicatorOutputs;

  // context.store must be set; without a link the gauge is not driven.
  explicit TFormIndicatore(const FormContext& context, QWidget* parent = nullptr);

  // The confirmed value of each field.
  const std::array<int, 6>& Committed() const { return committed_; }
  bool Editing(int index) const;

  QLabel* LabelIndicVuoto;
  QLabel* LabelLivRiserva;
  QLabel* LabelLiv1_4;
  QLabel* LabelLiv2_4;
  QLabel* LabelLiv3_4;
  QLabel* LabelIndicPieno;
  QList<QLineEdit*> Edits;  // Edit1 .. Edit6, index = tag
  UpDown* UpDown1;
  QPushButton* ButtonOk;
  QLabel* LabelInvio;
  QLabel* LabelEsc;
  QPushButton* ButtonEsci;

 public slots:
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void LoadTexts(TModuloLingua* lingua);
  int IndexOf(QObject* object) const;
  void Entered(int index);
  void StartEditing(int index);
  void Confirm();
  void Stepped(int position);
  void StopEditing(int index);
  void EscapePressed(int index);
  bool EditKey(int index, QKeyEvent* event);
  void DriveGauge(int value);

  ConfCar& store_;
  ecu::EcuLink* link_;
  std::array<int, 6> committed_{};
  int active_ = 0;  // the field that last took the focus (ButtonOk's tag)
  bool closing_ = false;
  QString notSaved_;
};
