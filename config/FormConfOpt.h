// TFormConfOpt: the optional configuration window. Four pages: the petrol-gas
// change-over, the gas actuator, the TPS hysteresis and the fuel cut-off.
// Five rows are option check boxes whose handlers write the option and show
// or hide the rows that depend on it. The opener hands the page to start on
// in the low byte of Tag and reads the page active at closing back from Tag.
#pragma once

#include "PagedConfigWindow.h"
#include "Parameters.h"

class TModuloLingua;

class TFormConfOpt : public PagedConfigWindow {
  Q_OBJECT

 public:
  // context.store must be set.
  explicit TFormConfOpt(const FormContext& context, QWidget* parent = nullptr);

 protected:
  void ShowSteps() override;

 private:
  void BuildControls();
  void BuildRow(int row);
  void LoadTexts(TModuloLingua* lingua);

  // The option handlers: ShowStored shows the stored state, WriteChange
  // writes the box's state. false when the ECU refused a write.
  bool RunOption(int handler, HandlerPhase phase);
  bool OverRev(HandlerPhase phase);
  bool LowLevel(HandlerPhase phase);
  bool FixedDefault(HandlerPhase phase);
  bool KickDown(HandlerPhase phase);
  bool CutOff(HandlerPhase phase);

  // The option's dependent rows shown and their edits enabled, or neither.
  void ShowDependents(std::initializer_list<int> rows, bool on);
  bool BoxChecked(int row) const;
  void SetBox(int row, bool on);
  void SetText(int row, const QString& text);
  // The whole number in an edit (0 when it holds none).
  int IntegerIn(int row) const;
  double Read(params::Id id);
  bool Write(params::Id id, double value);
};
