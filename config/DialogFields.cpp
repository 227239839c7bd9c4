#include "DialogFields.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include "ApplicationInfo.h"
#include "FieldNumbers.h"
#include "MessageBoxes.h"

namespace config {

FieldMove FieldMoveOfKey(const QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
      return FieldMove::Next;
    case Qt::Key_Up:
      return FieldMove::Previous;
    default:
      return FieldMove::None;
  }
}

DialogFieldEvents::DialogFieldEvents(QWidget* dialog, std::vector<QLineEdit*> fields, Hooks hooks)
    : QObject(dialog), dialog_(dialog), fields_(std::move(fields)), hooks_(std::move(hooks)) {
  for (QLineEdit* field : fields_) field->installEventFilter(this);
}

QLineEdit* DialogFieldEvents::FieldOf(QObject* object) const {
  for (QLineEdit* field : fields_)
    if (field == object) return field;
  return nullptr;
}

// The next (or previous) control of the dialog's tab order that can take the
// focus, going round at the end.
void DialogFieldEvents::MoveFocus(QWidget* from, bool forward) {
  QWidget* w = from;
  do {
    w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
    if (w->window() == dialog_ && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
        w->isVisible()) {
      w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return;
    }
  } while (w != from);
}

bool DialogFieldEvents::eventFilter(QObject* watched, QEvent* event) {
  QLineEdit* field = FieldOf(watched);
  if (field == nullptr) return false;
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      const FieldMove move = FieldMoveOfKey(key);
      if (move != FieldMove::None) {
        MoveFocus(field, move == FieldMove::Next);
        return true;
      }
      if (IsEditingKey(key)) return false;
      return !hooks_.accepts(field, key->text());
    }
    case QEvent::FocusIn:
      hooks_.enter(field);
      return false;
    case QEvent::FocusOut:
      if (LeavesForAnotherControl(static_cast<QFocusEvent*>(event)) && dialog_->isVisible() &&
          !hooks_.leave(field)) {
        QPointer<QLineEdit> back = field;
        QTimer::singleShot(0, this, [back] {
          if (back != nullptr) back->setFocus();
        });
      }
      return false;
    default:
      return false;
  }
}

bool LeavesForAnotherControl(const QFocusEvent* event) {
  return event->reason() != Qt::ActiveWindowFocusReason &&
         event->reason() != Qt::PopupFocusReason;
}

bool IsEditingKey(const QKeyEvent* key) {
  switch (key->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
      return true;
    default:
      // Keys without a character (function keys, modifiers alone) carry
      // nothing into the text; the copy and paste shortcuts carry a control
      // character and are judged by the filter, which refuses them.
      return key->text().isEmpty();
  }
}

QString FormatNumber(double value) {
  return fields::FormatNumber(value, fields::SystemDecimalSeparator());
}

bool ParseNumber(const QString& text, double* value) {
  const std::optional<double> number = fields::ParseNumber(text, fields::SystemDecimalSeparator());
  if (number) *value = *number;
  return number.has_value();
}

namespace {
// Eats the middle-button paste of the X11 selection.
class NoMousePaste : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
      if (static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton) return true;
    }
    return QObject::eventFilter(watched, event);
  }
};
}  // namespace

void KeepToTypedCharacters(QLineEdit* field) {
  field->setContextMenuPolicy(Qt::NoContextMenu);
  field->setAcceptDrops(false);
  field->installEventFilter(new NoMousePaste(field));
}

QLineEdit* MakeFieldEdit(QWidget* parent, const char* name, QRect place) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(place);
  KeepToTypedCharacters(edit);
  return edit;
}

void ShowConversionError(QWidget* parent, const QString& text) {
  MessageBoxes::ShowError(
      parent, QStringLiteral("'%1' is not a valid floating point value").arg(text),
      ApplicationTitle());
}

}  // namespace config
