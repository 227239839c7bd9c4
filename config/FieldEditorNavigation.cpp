// FieldEditor: moving between rows and pages, and what entering and leaving
// a row does.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <algorithm>

#include "FieldEditor.h"
#include "FieldNumbers.h"

void FieldEditor::StartOnPage(int page) {
  if (pageControl_ == nullptr || pages_.empty()) {
    StartAtFirstRow();
    return;
  }
  const int count = static_cast<int>(pages_.size());
  if (page < 0 || page >= count) page = 0;
  // A page whose tab is hidden cannot be shown: the next visible one is.
  for (int k = 0; k < count && !PageTabVisible(page); ++k) page = (page + 1) % count;
  switchingPage_ = true;
  pageControl_->setCurrentIndex(page);
  switchingPage_ = false;
  currentRow_ = pages_[static_cast<std::size_t>(page)].firstRow - 1;
  SelectNextField();
}

void FieldEditor::StartAtFirstRow() {
  currentRow_ = -1;
  SelectNextField();
}

void FieldEditor::SelectNextField() {
  if (currentRow_ >= RowCount() - 1) return;
  int found = -1;
  for (int r = currentRow_ + 1; r < RowCount() && found < 0; ++r)
    if (Navigable(r)) found = r;
  if (found < 0) return;
  if (currentRow_ >= 0) Highlight(currentRow_, false);
  FocusRow(found);
}

void FieldEditor::SelectPreviousField() {
  if (currentRow_ <= 0) return;
  int found = -1;
  for (int r = std::min(currentRow_, RowCount()) - 1; r >= 0 && found < 0; --r)
    if (Navigable(r)) found = r;
  if (found < 0) return;
  if (currentRow_ < RowCount()) Highlight(currentRow_, false);
  FocusRow(found);
}

void FieldEditor::FocusRow(int row) {
  ActivatePageOf(row);
  currentRow_ = row;
  Input(row)->setFocus(Qt::OtherFocusReason);
  // Entered from the keyboard, an edit's text is selected whole: typing
  // replaces it, and Home, End and Escape act on the window.
  if (QLineEdit* edit = Edit(row)) edit->selectAll();
  // The focus entry normally follows from the focus event; a window not yet
  // active gets none, so it runs here too (it does nothing twice).
  FocusEntry(row);
  Highlight(row, true);
  MoveArrowTo(row);
}

void FieldEditor::ActivatePageOf(int row) {
  const int page = rows_[static_cast<std::size_t>(row)].page;
  if (pageControl_ == nullptr || page < 0 || page == pageControl_->currentIndex()) return;
  switchingPage_ = true;
  pageControl_->setCurrentIndex(page);
  switchingPage_ = false;
}

void FieldEditor::ChangePage(int direction) {
  if (pageControl_ == nullptr) return;
  const int count = pageControl_->count();
  const int from = pageControl_->currentIndex();
  for (int k = 1; k <= count; ++k) {
    const int page = ((from + direction * k) % count + count) % count;
    if (!PageTabVisible(page)) continue;
    if (page != from) pageControl_->setCurrentIndex(page);
    return;
  }
}

void FieldEditor::PageChanged(int page) {
  if (switchingPage_ || page < 0 || page >= static_cast<int>(pages_.size())) return;
  if (currentRow_ >= 0 && currentRow_ < RowCount()) Highlight(currentRow_, false);
  currentRow_ = pages_[static_cast<std::size_t>(page)].firstRow - 1;
  SelectNextField();
}

void FieldEditor::FocusEntry(int row) {
  if (QLineEdit* edit = Edit(row)) {
    PlaceHint(row);
    if (const auto value = fields::ParseNumber(edit->text(), fields::SystemDecimalSeparator()))
      confirmed_ = *value;
  } else if (QComboBox* list = List(row)) {
    confirmed_ = list->currentIndex();
  }
  if (row == currentRow_ && highlightedRow_ == row) return;
  if (highlightedRow_ >= 0) Highlight(highlightedRow_, false);
  currentRow_ = row;
  Highlight(row, true);
  MoveArrowTo(row);
}

void FieldEditor::FocusExit(int row) {
  hintLabel_->hide();
  if (QLineEdit* edit = Edit(row)) {
    // Typing not confirmed with Enter is dropped.
    edit->setText(fields::FormatNumber(confirmed_, fields::SystemDecimalSeparator()));
  }
  if (!options_.keepHighlightOnExit) Highlight(row, false);
}
