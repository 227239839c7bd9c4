#include "FieldEditor.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QTabWidget>
#include <QWheelEvent>

#include "ApplicationInfo.h"
#include "Beep.h"
#include "ConfCar.h"
#include "Events.h"
#include "FieldNumbers.h"
#include "MessageBoxes.h"

namespace {

constexpr int kUnitTextLength = 5;
// Distances, in pixels, of the marks beside a row.
constexpr int kArrowAboveCaption = 6;
constexpr int kHintGap = 5;
constexpr int kUnitGap = 10;
constexpr int kArrowPixelSize = 32;
constexpr int kHintPixelSize = 14;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

bool IsEnter(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

FieldEditor::FieldEditor(QDialog* window, ConfCar& store, FieldRows rows, FieldPages pages,
                         QTabWidget* pageControl, FieldEditorOptions options)
    : window_(window),
      store_(store),
      pages_(pages.begin(), pages.end()),
      pageControl_(pageControl),
      options_(options) {
  rows_.reserve(rows.size());
  for (const FieldRow& row : rows) {
    RowState state;
    state.spec = row;
    rows_.push_back(state);
  }
  MakeMarkers();
  BindRows();
  if (pageControl_ != nullptr)
    connect(pageControl_, &QTabWidget::currentChanged, this, &FieldEditor::PageChanged);
  // The window sees every key before the focused input does, and the wheel.
  qApp->installEventFilter(this);
}

FieldEditor::~FieldEditor() {
  qApp->removeEventFilter(this);
}

void FieldEditor::MakeMarkers() {
  arrow_ = MakeLabel(window_, "LabelFreccia", QString(QChar(0x27A1)));
  QFont arrowFont = window_->font();
  arrowFont.setPixelSize(kArrowPixelSize);
  arrowFont.setBold(true);
  arrow_->setFont(arrowFont);
  arrow_->adjustSize();
  arrow_->move(options_.arrowLeft, 0);
  arrow_->hide();

  hintLabel_ = MakeLabel(window_, "LabelHint", QString());
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

void FieldEditor::BindRows() {
  for (int r = 0; r < RowCount(); ++r) {
    RowState& row = rows_[static_cast<std::size_t>(r)];
    row.caption = window_->findChild<QLabel*>(QString::fromLatin1(row.spec.caption));
    row.input = window_->findChild<QWidget*>(QString::fromLatin1(row.spec.input));
    Q_ASSERT_X(row.caption != nullptr && row.input != nullptr, "FieldEditor",
               "every row's caption and input must exist with the table's names");
    row.caption->setProperty("Tag", r);
    row.input->setProperty("Tag", r);
    if (pageControl_ != nullptr) {
      for (int p = 0; p < pageControl_->count(); ++p)
        if (pageControl_->widget(p)->isAncestorOf(row.input)) row.page = p;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(row.input)) {
      // Text reaches an edit only through the character filter: no paste from
      // a context menu, a drop or the mouse selection.
      edit->setContextMenuPolicy(Qt::NoContextMenu);
      edit->setAcceptDrops(false);
      edit->setDragEnabled(false);
    } else if (auto* box = qobject_cast<QCheckBox*>(row.input)) {
      connect(box, &QCheckBox::clicked, this, [this, r] { CheckBoxClicked(r); });
    } else if (auto* list = qobject_cast<QComboBox*>(row.input)) {
      connect(list, &QComboBox::activated, this, [this, r](int index) { CommitList(r, index); });
      // A list takes the focus by the wheel, before the wheel event reaches
      // anyone: the row under the pointer would become the current one.
      // The wheel moves between rows from the focused row only.
      list->setFocusPolicy(Qt::StrongFocus);
      list->view()->installEventFilter(this);
    }
  }
}

std::function<void(const QString&)> FieldEditor::UnitText(const char* key) {
  const QString name = QString::fromLatin1(key);
  return [this, name](const QString& text) { units_.insert(name, text.left(kUnitTextLength)); };
}

QString FieldEditor::Unit(const char* key) const {
  return key == nullptr ? QString() : units_.value(QString::fromLatin1(key));
}

// --- Rows -------------------------------------------------------------------

QLabel* FieldEditor::Caption(int row) const {
  return rows_[static_cast<std::size_t>(row)].caption;
}

QWidget* FieldEditor::Input(int row) const {
  return rows_[static_cast<std::size_t>(row)].input;
}

QLineEdit* FieldEditor::Edit(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return qobject_cast<QLineEdit*>(Input(row));
}

QCheckBox* FieldEditor::CheckBox(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return qobject_cast<QCheckBox*>(Input(row));
}

QComboBox* FieldEditor::List(int row) const {
  if (row < 0 || row >= RowCount()) return nullptr;
  return qobject_cast<QComboBox*>(Input(row));
}

QLabel* FieldEditor::UnitLabel(int row) const {
  return rows_[static_cast<std::size_t>(row)].unitLabel.data();
}

double FieldEditor::Minimum(int row) const {
  return rows_[static_cast<std::size_t>(row)].spec.minimum;
}

double FieldEditor::Maximum(int row) const {
  return rows_[static_cast<std::size_t>(row)].spec.maximum;
}

void FieldEditor::SetRange(int row, double minimum, double maximum) {
  FieldRow& spec = rows_[static_cast<std::size_t>(row)].spec;
  spec.minimum = minimum;
  spec.maximum = maximum;
}

QString FieldEditor::Hint(int row) const {
  return rows_[static_cast<std::size_t>(row)].hint;
}

void FieldEditor::SetRowShown(int row, bool shown) {
  Caption(row)->setVisible(shown);
  Input(row)->setVisible(shown);
  if (QLabel* unit = UnitLabel(row)) unit->setVisible(shown);
}

double FieldEditor::StoredValue(int row) const {
  const FieldRow& spec = Row(row);
  if (spec.element >= 0) return static_cast<double>(store_.GetElement(spec.identifier, spec.element));
  return static_cast<double>(store_.GetValue(spec.identifier));
}

void FieldEditor::SetEditValue(int row, double value) {
  if (QLineEdit* edit = Edit(row)) edit->setText(fields::FormatNumber(value, fields::SystemDecimalSeparator()));
}

void FieldEditor::ShowStoredValue(int row) {
  double value = StoredValue(row);
  if (QComboBox* list = List(row)) {
    list->setCurrentIndex(static_cast<int>(value));
    return;
  }
  if (Row(row).step != 0) value = fields::RoundToStep(value, Row(row).step);
  SetEditValue(row, value);
}

int FieldEditor::ActivePage() const {
  return pageControl_ != nullptr ? pageControl_->currentIndex() : 0;
}

bool FieldEditor::PageTabVisible(int page) const {
  return pageControl_ == nullptr || page < 0 || pageControl_->isTabVisible(page);
}

bool FieldEditor::Navigable(int row) const {
  const QWidget* input = Input(row);
  return input->isEnabled() && !input->isHidden() &&
         PageTabVisible(rows_[static_cast<std::size_t>(row)].page);
}

int FieldEditor::RowOf(const QObject* object) const {
  for (int r = 0; r < RowCount(); ++r)
    if (rows_[static_cast<std::size_t>(r)].input == object) return r;
  return -1;
}

// --- Show time ----------------------------------------------------------------

void FieldEditor::PopulateFields() {
  if (options_.populateBackwards) {
    for (int r = RowCount() - 1; r >= 0; --r) PopulateRow(r);
  } else {
    for (int r = 0; r < RowCount(); ++r) PopulateRow(r);
  }
}

void FieldEditor::PopulateRow(int row) {
  RowState& state = rows_[static_cast<std::size_t>(row)];
  if (state.spec.kind != FieldKind::CheckBox) ShowStoredValue(row);
  if (state.spec.kind == FieldKind::Edit) {
    const QChar separator = fields::SystemDecimalSeparator();
    state.hint = fields::HintText(state.spec.minimum, state.spec.maximum, Unit(state.spec.unitKey),
                                  separator);
    const bool wanted =
        options_.unitLabelWhenEnabled ? state.input->isEnabled() : !state.input->isHidden();
    if (state.spec.unitKey != nullptr && wanted) MakeUnitLabel(row);
  }
  RunHandler(row, 1);
}

void FieldEditor::MakeUnitLabel(int row) {
  RowState& state = rows_[static_cast<std::size_t>(row)];
  delete state.unitLabel.data();  // a second show makes it afresh
  QWidget* input = state.input;
  auto* unit = new QLabel(Unit(state.spec.unitKey), input->parentWidget());
  unit->setObjectName(QStringLiteral("UM%1").arg(row));
  unit->adjustSize();
  unit->move(input->x() + input->width() + kUnitGap,
             input->y() + (input->height() - unit->height()) / 2);
  // Behind the other controls, so the hint covers it while the row is focused.
  unit->lower();
  unit->show();
  state.unitLabel = unit;
}

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

void FieldEditor::ShowConnectionState(bool connected) {
  for (const char* name : {"LabelNonConnesso", "Image1"}) {
    if (auto* widget = window_->findChild<QWidget*>(QString::fromLatin1(name)))
      widget->setVisible(!connected);
  }
  if (window_->isVisible()) window_->repaint();
}

// --- Handlers -----------------------------------------------------------------

void FieldEditor::RunHandler(int row, int phase) {
  const int handler = Row(row).handler;
  if (handler == kNoHandler || !handler_) return;
  if (handler_(handler, row, phase) || phase != 0) return;
  // The ECU refused a write: say so once and show what the store holds.
  SystemBeep();
  handler_(handler, row, 1);
}

void FieldEditor::CheckBoxClicked(int row) {
  RunHandler(row, 0);
}

void FieldEditor::CommitList(int row, int index) {
  QComboBox* list = List(row);
  if (store_.SetValue(Row(row).identifier, index) == 0) {
    list->setCurrentIndex(static_cast<int>(confirmed_));
    return;
  }
  // The handler sees the previous choice as the confirmed one, so it can go
  // back to it when one of its own writes is refused.
  RunHandler(row, 0);
  confirmed_ = list->currentIndex();
}

// --- Editing ------------------------------------------------------------------

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
  const FieldRow& spec = Row(row);
  if (limitOverride_ || (spec.minimum <= *typed && *typed <= spec.maximum)) {
    confirmed_ = fields::RoundToStep(*typed, spec.step);
    // A refused write leaves the store as it was; the read-back shows it.
    if (spec.element >= 0)
      store_.SetElement(spec.identifier, spec.element, confirmed_);
    else
      store_.SetValue(spec.identifier, confirmed_);
  } else {
    SystemBeep();
  }
  confirmed_ = fields::RoundToStep(StoredValue(row), spec.step);
  edit->setText(fields::FormatNumber(confirmed_, separator));
  edit->selectAll();
}

void FieldEditor::ToggleLimitOverride() {
  limitOverride_ = !limitOverride_;
  if (limitsLabel_ != nullptr) limitsLabel_->setVisible(limitOverride_);
}

void FieldEditor::RemoveHighlight() {
  if (highlightedRow_ >= 0) Highlight(highlightedRow_, false);
}

// --- Navigation ---------------------------------------------------------------

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

// --- Focus --------------------------------------------------------------------

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

bool FieldEditor::EditEntirelySelected(const QLineEdit* edit) const {
  return edit->text().size() == edit->selectedText().size();
}

bool FieldEditor::ListOpen(const QComboBox* list) const {
  return list->view()->isVisible();
}

// --- Events -------------------------------------------------------------------

bool FieldEditor::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == kConnectionStateEventType) {
    if (watched != window_) return false;
    ShowConnectionState(static_cast<ConnectionStateEvent*>(event)->Connected());
    event->accept();
    return true;
  }
  if (type != QEvent::KeyPress && type != QEvent::Wheel && type != QEvent::FocusIn &&
      type != QEvent::FocusOut && type != QEvent::MouseButtonPress &&
      type != QEvent::MouseButtonRelease)
    return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) return false;

  if (widget->window() != window_) {
    // A dropped-down list: Up on the first item goes to the last and Down on
    // the last to the first.
    auto* view = qobject_cast<QAbstractItemView*>(widget);
    if (type != QEvent::KeyPress || view == nullptr) return false;
    for (int r = 0; r < RowCount(); ++r) {
      QComboBox* list = List(r);
      if (list == nullptr || list->view() != view) continue;
      const int key = static_cast<QKeyEvent*>(event)->key();
      const int at = view->currentIndex().row();
      const int last = list->count() - 1;
      int to = -1;
      if (key == Qt::Key_Up && at == 0) to = last;
      if (key == Qt::Key_Down && at == last) to = 0;
      if (to < 0) return false;
      view->setCurrentIndex(list->model()->index(to, list->modelColumn(), list->rootModelIndex()));
      return true;
    }
    return false;
  }

  switch (type) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      const int row = RowOf(watched);
      if (row < 0) return false;
      // A list's own drop-down and another window over this one (the live
      // view) do not move the focus between rows.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) {
        if (type == QEvent::FocusIn && row == currentRow_ && Edit(row) != nullptr) PlaceHint(row);
        return false;
      }
      if (type == QEvent::FocusIn)
        FocusEntry(row);
      else
        FocusExit(row);
      return false;
    }
    case QEvent::Wheel: {
      const QPoint delta = static_cast<QWheelEvent*>(event)->angleDelta();
      const int amount = delta.y() != 0 ? delta.y() : delta.x();
      if (amount < 0) SelectNextField();
      if (amount > 0) SelectPreviousField();
      event->accept();
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      // The middle button pastes the mouse selection into an edit.
      return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton &&
             qobject_cast<QLineEdit*>(widget) != nullptr;
    default:
      break;
  }

  // Keys: only where they start, at the focused control of this window.
  QWidget* focused = window_->focusWidget();
  if (widget != focused && !(focused == nullptr && widget == window_)) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (HandleWindowKey(widget, key)) return true;
  const int row = RowOf(widget);
  return row >= 0 && HandleInputKey(row, key);
}

bool FieldEditor::HandleWindowKey(QWidget* focused, QKeyEvent* key) {
  const int row = RowOf(focused);
  QLineEdit* edit = Edit(row);
  QComboBox* list = List(row);
  const bool listOpen = list != nullptr && ListOpen(list);
  switch (key->key()) {
    case Qt::Key_Escape:
      if (edit != nullptr && !EditEntirelySelected(edit)) {
        edit->setText(fields::FormatNumber(confirmed_, fields::SystemDecimalSeparator()));
        edit->selectAll();
        return true;
      }
      if (listOpen) return false;
      window_->reject();
      return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (listOpen) return false;
      if (key->key() == Qt::Key_Up)
        SelectPreviousField();
      else
        SelectNextField();
      return true;
    case Qt::Key_Home:
    case Qt::Key_End:
      if (listOpen || (edit != nullptr && !EditEntirelySelected(edit))) return false;
      if (currentRow_ >= 0 && currentRow_ < RowCount()) Highlight(currentRow_, false);
      if (key->key() == Qt::Key_Home) {
        currentRow_ = -1;
        SelectNextField();
      } else {
        currentRow_ = RowCount();
        SelectPreviousField();
      }
      return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (pageControl_ != nullptr) {
        ChangePage(key->key() == Qt::Key_PageDown ? 1 : -1);
        return true;
      }
      // Without pages the keys do nothing, unless the edit uses them.
      return (edit != nullptr && EditEntirelySelected(edit)) || (list != nullptr && !listOpen);
    case Qt::Key_Asterisk:
      if (!(key->modifiers() & Qt::ControlModifier) || !(key->modifiers() & Qt::KeypadModifier))
        return false;
      ToggleLimitOverride();
      return true;
    case Qt::Key_F12:
      // The live view comes and goes over this window; the editing state stays.
      if (liveView_) liveView_(window_);
      return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      // A check box keeps the focus: it takes no part in the dialog keys.
      return CheckBox(row) != nullptr;
    default:
      return false;
  }
}

bool FieldEditor::HandleInputKey(int row, QKeyEvent* key) {
  if (QLineEdit* edit = Edit(row)) {
    if (IsEnter(key)) {
      if (row == currentRow_) CommitField();
      return true;
    }
    return FilterCharacter(edit, row, key);
  }
  if (QCheckBox* box = CheckBox(row)) {
    if (!IsEnter(key)) return false;
    box->click();  // a toggle like the mouse's: the handler runs
    return true;
  }
  if (QComboBox* list = List(row)) {
    if (IsEnter(key)) {
      list->showPopup();
      return true;
    }
    return key->key() == Qt::Key_Left || key->key() == Qt::Key_Right;
  }
  return false;
}

bool FieldEditor::FilterCharacter(QLineEdit* edit, int row, QKeyEvent* key) {
  // The clipboard shortcuts and undo do nothing in these fields.
  if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut) ||
      key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Undo) ||
      key->matches(QKeySequence::Redo))
    return true;
  if (key->key() == Qt::Key_Delete) return false;
  const QString text = key->text();
  if (text.isEmpty()) return false;  // caret movement and other keys
  const QChar separator = fields::SystemDecimalSeparator();
  fields::TypingState state;
  state.text = edit->text();
  state.selectionStart = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
  state.selectionLength = static_cast<int>(edit->selectedText().size());
  state.negativeAllowed = Hint(row).contains(QLatin1Char('-'));
  QChar typed = text.front();
  // The keypad's decimal key types the system's separator, whatever it is.
  if (key->key() == Qt::Key_Period && (key->modifiers() & Qt::KeypadModifier)) {
    if (fields::AcceptsCharacter(separator, state, separator)) edit->insert(QString(separator));
    return true;
  }
  return !fields::AcceptsCharacter(typed, state, separator);
}
