// What the two small editing dialogs (emulation and level sensor) share: their
// keys between fields, when a field is really being left, the numbers in the
// system's own format, and the messages they give when their texts or a typed
// number cannot be used.
#pragma once

#include <QObject>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

class QFocusEvent;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace config {

enum class FieldMove { None, Next, Previous };

// The events of a dialog's edit fields, in one place: Enter and Down move to
// the next tab stop and Up to the previous one; every typed character goes
// through the filter; entering a field and leaving it for another control run
// the window's hooks, and a field whose value is refused on leaving gets the
// focus back once the focus change under way is complete.
class DialogFieldEvents : public QObject {
 public:
  struct Hooks {
    std::function<void(QLineEdit*)> enter;
    // Whether the character reaches the field (the hook may beep).
    std::function<bool(QLineEdit*, const QString& typed)> accepts;
    // false when the value was refused and the field must keep the focus.
    std::function<bool(QLineEdit*)> leave;
  };
  DialogFieldEvents(QWidget* dialog, std::vector<QLineEdit*> fields, Hooks hooks);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* FieldOf(QObject* object) const;
  void MoveFocus(QWidget* from, bool forward);

  QWidget* dialog_;
  std::vector<QLineEdit*> fields_;
  Hooks hooks_;
};

// Enter and Down go to the next field, Up to the previous one.
FieldMove FieldMoveOfKey(const QKeyEvent* key);

// true when the focus leaves for another control of the window; false when
// only the window lost the activation (a message box, another program).
bool LeavesForAnotherControl(const QFocusEvent* event);

// The keys an edit passes on without filtering: editing and caret keys, the
// keys between fields and the window's Esc. Everything else carries a
// character the field's own filter judges.
bool IsEditingKey(const QKeyEvent* key);

// The numbers of the fields in the system's format (the field editor's rules
// with the system's decimal separator).
QString FormatNumber(double value);
// false when text is not a number.
bool ParseNumber(const QString& text, double* value);

// Takes paste and the context menu away from a field whose characters are
// filtered one by one, so nothing reaches it unfiltered.
void KeepToTypedCharacters(QLineEdit* field);

// An edit whose characters are filtered one by one (KeepToTypedCharacters).
QLineEdit* MakeFieldEdit(QWidget* parent, const char* name, QRect place);

// "'text' is not a valid floating point value", with the application title.
void ShowConversionError(QWidget* parent, const QString& text);

}  // namespace config
