// FieldEditor: the event filter on the window and its controls. Keys act at
// the focused control only, before it sees them; the wheel moves between
// rows; focus changes mark the row entered; the connection news is taken.
#include <QAbstractItemView>
#include <QCheckBox>
#include <QChildEvent>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>

#include "Events.h"
#include "FieldEditor.h"
#include "FieldNumbers.h"

namespace {

bool IsEnter(const QKeyEvent* key) {
  return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

bool FieldEditor::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::ChildAdded) {
    // A control the window adds later is watched like the others.
    QObject* child = static_cast<QChildEvent*>(event)->child();
    if (child->isWidgetType()) Watch(child);
    return false;
  }
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

  if (widget->window() != window_)
    return type == QEvent::KeyPress && HandleListViewKey(widget, static_cast<QKeyEvent*>(event));

  switch (type) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
      HandleFocus(watched, static_cast<QFocusEvent*>(event));
      return false;
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

bool FieldEditor::HandleListViewKey(QWidget* widget, QKeyEvent* key) {
  // A dropped-down list: Up on the first item goes to the last and Down on
  // the last to the first.
  auto* view = qobject_cast<QAbstractItemView*>(widget);
  if (view == nullptr) return false;
  for (int r = 0; r < RowCount(); ++r) {
    QComboBox* list = List(r);
    if (list == nullptr || list->view() != view) continue;
    const int at = view->currentIndex().row();
    const int last = list->count() - 1;
    int to = -1;
    if (key->key() == Qt::Key_Up && at == 0) to = last;
    if (key->key() == Qt::Key_Down && at == last) to = 0;
    if (to < 0) return false;
    view->setCurrentIndex(list->model()->index(to, list->modelColumn(), list->rootModelIndex()));
    return true;
  }
  return false;
}

void FieldEditor::HandleFocus(QObject* watched, QFocusEvent* focus) {
  const int row = RowOf(watched);
  if (row < 0) return;
  // A list's own drop-down and another window over this one (the live view)
  // do not move the focus between rows.
  const Qt::FocusReason reason = focus->reason();
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) {
    if (focus->gotFocus() && row == currentRow_ && Edit(row) != nullptr) PlaceHint(row);
    return;
  }
  if (focus->gotFocus())
    FocusEntry(row);
  else
    FocusExit(row);
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
      // Ctrl+Tab and Ctrl+Shift+Tab turn the pages, as in any tab widget
      // (the edit's character filter would otherwise swallow them).
      if ((key->modifiers() & Qt::ControlModifier) && pageControl_ != nullptr) {
        const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        ChangePage(back ? -1 : 1);
        return true;
      }
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

bool FieldEditor::EditEntirelySelected(const QLineEdit* edit) const {
  return edit->text().size() == edit->selectedText().size();
}

bool FieldEditor::ListOpen(const QComboBox* list) const {
  return list->view()->isVisible();
}
