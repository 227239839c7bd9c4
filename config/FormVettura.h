// TFormVettura: the car-level configuration of the ECU (ignition type, rpm
// signal, change-over from petrol to gas, TPS, level sensor, lambda probe and
// its emulation, yellow wires) as twelve rows edited through the field editor,
// and the erase of the ECU's parameter memory back to its factory values.
#pragma once

#include <QDialog>
#include <QString>
#include <array>

#include "FieldTable.h"
#include "FormContext.h"

class FieldEditor;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The window's own handler numbers.
enum VehicleHandler {
  kChangeOverHandler = 1,
  kLevelSensorHandler = 2,
  kEmulationHandler = 3,
  kYellowWiresHandler = 4,
};

// Row index = tag of the row's caption and input.
// clang-format off
constexpr FieldRow kVehicleRows[] = {
  // caption                input                 kind             parameter                    element     handler
  {"LabelCilindri",        "ComboBoxCil",        FieldKind::List, params::Id::IgnitionType,    kNoElement, kNoHandler},
  {"LabelRpm",             "ComboBoxRpm",        FieldKind::List, params::Id::RpmSignalType,   kNoElement, kNoHandler},
  {"LabelCambio",          "ComboBoxCambio",     FieldKind::List, params::Id::ChangeOverType,  kNoElement, kChangeOverHandler},
  {"LabelGiriCambio",      "EditGiriCambio",     FieldKind::Edit, params::Id::ChangeOverRpm,   kNoElement, kNoHandler},
  {"LabelSovrappos",       "EditSovrappos",      FieldKind::Edit, params::Id::FuelOverlapTime, kNoElement, kNoHandler},
  {"LabelSensore",         "ComboBoxSensore",    FieldKind::List, params::Id::None,            kNoElement, kLevelSensorHandler},
  {"LabelTps",             "ComboBoxTps",        FieldKind::List, params::Id::TpsType,         kNoElement, kNoHandler},
  {"LabelLambda",          "ComboBoxLambda",     FieldKind::List, params::Id::LambdaProbeType, kNoElement, kNoHandler},
  {"LabelRitardoLambda",   "EditRitardo",        FieldKind::Edit, params::Id::LambdaReadDelay, kNoElement, kNoHandler},
  {"LabelEmulazione",      "ComboBoxEmulazione", FieldKind::List, params::Id::None,            kNoElement, kEmulationHandler},
  {"LabelGialli",          "ComboBoxGialli",     FieldKind::List, params::Id::YellowWiresUse,  kNoElement, kYellowWiresHandler},
  {"LabelTipoCommutatore", "ComboCommutatore",   FieldKind::List, params::Id::SwitchType,      kNoElement, kNoHandler},
};
// clang-format on

// Rows the handlers and the variant-2 layout name.
enum VehicleRow {
  kRowCylinders = 0,
  kRowChangeOver = 2,
  kRowChangeOverRpm = 3,
  kRowOverlap = 4,
  kRowLevelSensor = 5,
  kRowEmulation = 9,
  kRowYellowWires = 10,
  kRowSwitchType = 11,
};

class TFormVettura : public QDialog {
  Q_OBJECT

 public:
  // context.store must be set; context.link may be absent (nothing can be
  // written or erased then).
  explicit TFormVettura(const FormContext& context, QWidget* parent = nullptr);
  ~TFormVettura() override;

  // Whether the ECU's parameter memory was erased while the window was open.
  bool MemoryErased() const { return memoryErased_; }
  // Rows shown: 11, or 8 for a variant-2 ECU.
  int VisibleRowCount() const { return visibleRows_; }
  FieldEditor& Editor() { return *editor_; }
  // Milliseconds the ECU is given to erase its memory (3000; tests shorten it).
  void SetEraseWait(int milliseconds) { eraseWaitMs_ = milliseconds; }

  QFrame* ScrollBox1;
  QLabel* LabelConfVettura;
  QLabel* Image1;
  QLabel* LabelNonConnesso;
  QLabel* LabelLimiti;
  QLabel* LabelGoVis;
  QPushButton* ButtonEsci;
  QPushButton* ButtonAzzera;
  QComboBox* ComboBoxCil;
  QComboBox* ComboBoxCambio;
  QLineEdit* EditGiriCambio;
  QLineEdit* EditSovrappos;
  QComboBox* ComboBoxSensore;
  QComboBox* ComboBoxEmulazione;
  QComboBox* ComboBoxGialli;
  QLabel* LabelGiriCambio;
  QLabel* LabelSovrappos;

 public slots:
  // "&Cancellazione EEprom (Alt-C)".
  void Azzera();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildRows();
  void ShowSteps();
  void LayOutRows();
  void LoadTexts();
  bool HandleChange(int handler, HandlerPhase phase);
  void ChangeOver();
  void YellowWires();
  bool Emulation(HandlerPhase phase);
  bool LevelSensor(HandlerPhase phase);
  void WaitForErase();
  void SetGreyed(QWidget* widget, bool greyed);

  FormContext context_;
  ConfCar& store_;
  FieldEditor* editor_ = nullptr;
  int visibleRows_ = 11;
  bool shown_ = false;
  bool memoryErased_ = false;
  int eraseWaitMs_ = 3000;
  QString overlapCaption_;
  QString primingCaption_;
  QString messCancEe_;
  QString messCancOk_;
  QString messCancNonOk_;
};
