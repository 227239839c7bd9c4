// FieldEditor: what marks the current row (the arrow beside its caption, the
// caption's highlight, the hint beside its input), the unit labels and the
// connection labels.
#include <QDialog>
#include <QLabel>
#include <QPalette>

#include "FieldEditor.h"
#include "NamedWidgets.h"

namespace {

// Distances, in pixels, of the marks beside a row.
constexpr int kArrowAboveCaption = 6;
constexpr int kHintGap = 5;
constexpr int kUnitGap = 10;
constexpr int kArrowPixelSize = 32;
constexpr int kHintPixelSize = 14;

}  // namespace

void FieldEditor::MakeMarkers() {
  arrow_ = ui::MakeLabel(window_, "LabelFreccia", QString(QChar(0x27A1)));
  QFont arrowFont = window_->font();
  arrowFont.setPixelSize(kArrowPixelSize);
  arrowFont.setBold(true);
  arrow_->setFont(arrowFont);
  arrow_->adjustSize();
  arrow_->move(options_.arrowLeft, 0);
  arrow_->hide();

  hintLabel_ = ui::MakeLabel(window_, "LabelHint", QString());
  // A lighter, smaller face than the captions: the widest hint, a speed range
  // with its unit, still fits between the edit and the page's edge.
  QFont hintFont = window_->font();
  hintFont.setBold(false);
  hintFont.setPixelSize(kHintPixelSize);
  hintLabel_->setFont(hintFont);
  hintLabel_->setAutoFillBackground(true);
  QPalette hintPalette = hintLabel_->palette();
  hintPalette.setColor(QPalette::Window, hintPalette.color(QPalette::ToolTipBase));
  hintPalette.setColor(QPalette::WindowText, hintPalette.color(QPalette::ToolTipText));
  hintLabel_->setPalette(hintPalette);
  hintLabel_->hide();

  limitsLabel_ = window_->findChild<QLabel*>(QStringLiteral("LabelLimiti"));
  if (limitsLabel_ != nullptr) limitsLabel_->hide();
}

void FieldEditor::MakeUnitLabel(int row) {
  RowState& state = rows_[static_cast<std::size_t>(row)];
  delete state.unitLabel.data();  // a second show makes it afresh
  QWidget* input = state.input;
  QLabel* unit = ui::MakeLabel(input->parentWidget(), QStringLiteral("UM%1").arg(row),
                               Unit(state.limits.unitKey));
  unit->adjustSize();
  unit->move(input->x() + input->width() + kUnitGap,
             input->y() + (input->height() - unit->height()) / 2);
  // Behind the other controls, so the hint covers it while the row is focused.
  unit->lower();
  unit->show();
  state.unitLabel = unit;
}

void FieldEditor::ShowConnectionState(bool connected) {
  for (const char* name : {"LabelNonConnesso", "Image1"}) {
    if (auto* widget = window_->findChild<QWidget*>(QString::fromLatin1(name)))
      widget->setVisible(!connected);
  }
  if (window_->isVisible()) window_->repaint();
}

void FieldEditor::RemoveHighlight() {
  if (highlightedRow_ >= 0) Highlight(highlightedRow_, false);
}

void FieldEditor::Highlight(int row, bool on) {
  QLabel* caption = Caption(row);
  if (on) {
    QPalette palette = caption->palette();
    palette.setColor(QPalette::Window, window_->palette().color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::WindowText, Qt::white);
    caption->setPalette(palette);
    caption->setAutoFillBackground(true);
    highlightedRow_ = row;
  } else {
    // Back to the parent's colours.
    caption->setAutoFillBackground(false);
    caption->setPalette(QPalette());
    if (highlightedRow_ == row) highlightedRow_ = -1;
  }
}

void FieldEditor::MoveArrowTo(int row) {
  QLabel* caption = Caption(row);
  if (arrow_->parentWidget() != caption->parentWidget()) arrow_->setParent(caption->parentWidget());
  arrow_->move(arrow_->x(), caption->y() - kArrowAboveCaption);
  arrow_->show();
  arrow_->raise();
  arrow_->repaint();
}

void FieldEditor::PlaceHint(int row) {
  QWidget* input = Input(row);
  if (hintLabel_->parentWidget() != input->parentWidget()) hintLabel_->setParent(input->parentWidget());
  hintLabel_->setText(Hint(row));
  hintLabel_->adjustSize();
  hintLabel_->move(input->x() + input->width() + kHintGap,
                   input->y() + (input->height() - hintLabel_->height()) / 2);
  // The hint stands over the row's unit label (it names the unit itself):
  // made as large as that label, it leaves none of it showing.
  const QLabel* unit = UnitLabel(row);
  if (unit != nullptr && unit->isVisible() && unit->parentWidget() == hintLabel_->parentWidget())
    hintLabel_->setGeometry(hintLabel_->geometry().united(unit->geometry()));
  hintLabel_->raise();
  hintLabel_->show();
}
