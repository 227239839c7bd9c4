// TFormConfSw: the software configuration window. Three pages of the gas
// actuator's control settings, each row written to the ECU when confirmed
// with Enter. The opener hands the page to start on in the low byte of Tag
// and reads the page active at closing back from Tag.
#pragma once

#include <QString>

#include "PagedConfigWindow.h"

class TModuloLingua;

class TFormConfSw : public PagedConfigWindow {
  Q_OBJECT

 public:
  // context.store must be set.
  explicit TFormConfSw(const FormContext& context, QWidget* parent = nullptr);

 protected:
  void ShowSteps() override;

 private:
  void BuildControls();
  void LoadTexts(TModuloLingua* lingua);

  // The captions of rows 0-5 from the dictionary, set at every show.
  QString rowTexts_[6];
};
