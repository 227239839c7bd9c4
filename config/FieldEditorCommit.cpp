// FieldEditor: writing what the user confirmed (an edit's value with Enter, a
// list choice, a check box toggle) to the store, and running the window's
// change handlers.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "ApplicationInfo.h"
#include "Beep.h"
#include "ConfCar.h"
#include "FieldEditor.h"
#include "FieldNumbers.h"
#include "MessageBoxes.h"

void FieldEditor::RunHandler(int row, HandlerPhase phase) {
  const int handler = Row(row).handler;
  if (handler == kNoHandler || !handler_) return;
  if (handler_(handler, row, phase) || phase != HandlerPhase::WriteChange) return;
  // The ECU refused a write: say so once and show what the store holds.
  SystemBeep();
  handler_(handler, row, HandlerPhase::ShowStored);
}

void FieldEditor::CheckBoxClicked(int row) {
  RunHandler(row, HandlerPhase::WriteChange);
}

void FieldEditor::CommitList(int row, int index) {
  QComboBox* list = List(row);
  // A list without a parameter of its own is written by its handler alone.
  const params::Id parameter = Row(row).parameter;
  if (parameter != params::Id::None && store_.SetValue(params::Number(parameter), index) == 0) {
    list->setCurrentIndex(static_cast<int>(confirmed_));
    return;
  }
  // The handler sees the previous choice as the confirmed one, so it can go
  // back to it when one of its own writes is refused.
  RunHandler(row, HandlerPhase::WriteChange);
  confirmed_ = list->currentIndex();
}

void FieldEditor::CommitField() {
  const int row = currentRow_;
  QLineEdit* edit = Edit(row);
  if (edit == nullptr) return;
  const QChar separator = fields::SystemDecimalSeparator();
  const std::optional<double> typed = fields::ParseNumber(edit->text(), separator);
  if (!typed) {
    MessageBoxes::ShowError(
        window_, QStringLiteral("'%1' is not a valid floating point value").arg(edit->text()),
        ApplicationTitle());
    return;
  }
  const FieldRow& field = Row(row);
  const params::EditLimits& limits = Limits(row);
  if (limitOverride_ || (limits.minimum <= *typed && *typed <= limits.maximum)) {
    confirmed_ = fields::RoundToStep(*typed, limits.step);
    // A refused write leaves the store as it was; the read-back shows it.
    const int parameter = params::Number(field.parameter);
    if (field.element >= 0)
      store_.SetElement(parameter, field.element, confirmed_);
    else
      store_.SetValue(parameter, confirmed_);
  } else {
    SystemBeep();
  }
  confirmed_ = fields::RoundToStep(StoredValue(row), limits.step);
  edit->setText(fields::FormatNumber(confirmed_, separator));
  edit->selectAll();
}

void FieldEditor::ToggleLimitOverride() {
  limitOverride_ = !limitOverride_;
  if (limitsLabel_ != nullptr) limitsLabel_->setVisible(limitOverride_);
}
