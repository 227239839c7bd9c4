// What the configuration windows' tests share: the built dictionary in a
// chosen language, a window shown and made active, and keys typed at the
// focused control.
#pragma once

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "ModuloLingua.h"
#include "TypeKeys.h"

// Opens the dictionary the build wrote beside the program, in column.
inline bool OpenBuiltDictionary(TModuloLingua& lingua, const QString& column) {
  if (!lingua.Open(QStringLiteral(PROGRAM_FOLDER), "DizionarioVnt.dbf")) return false;
  lingua.SetUsable(true);
  lingua.SetSelectedColumn(column);
  return true;
}

inline bool ShowActive(QWidget* window) {
  window->show();
  QApplication::setActiveWindow(window);
  return QTest::qWaitForWindowActive(window);
}

inline void KeyAt(QWidget* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QTest::keyClick(window->focusWidget(), Qt::Key(key), modifiers);
}

// Empties the focused edit, types text and presses Enter; false when the
// focus is not on an edit.
inline bool EnterValue(QWidget* window, const QString& text) {
  auto* edit = qobject_cast<QLineEdit*>(window->focusWidget());
  if (edit == nullptr) return false;
  edit->clear();
  Type(edit, text);
  KeyAt(window, Qt::Key_Return);
  return true;
}

#include <QTabWidget>

#include "FieldEditor.h"

// One row of a window as its parameter list describes it.
struct ExpectedRow {
  int row;
  const char* input;   // object name of the input
  params::Id parameter;
  int element;         // kNoElement for a plain parameter
  double step;
  const char* hint;    // range and unit as the hint shows them; "" for a check box
  int page;
};

// Empty when the window's row is as expected; otherwise what differs.
inline QString RowMismatch(FieldEditor& editor, QTabWidget* pages, const ExpectedRow& e) {
  QStringList out;
  const FieldRow& row = editor.Row(e.row);
  if (editor.Input(e.row)->objectName() != QLatin1String(e.input))
    out << QStringLiteral("input %1").arg(editor.Input(e.row)->objectName());
  if (row.parameter != e.parameter)
    out << QStringLiteral("parameter %1").arg(params::Number(row.parameter));
  if (row.element != e.element) out << QStringLiteral("element %1").arg(row.element);
  if (LimitsOf(row).step != e.step) out << QStringLiteral("step %1").arg(LimitsOf(row).step);
  if (editor.Hint(e.row) != QString::fromUtf8(e.hint))
    out << QStringLiteral("hint '%1'").arg(editor.Hint(e.row));
  const int page = pages->indexOf(editor.Input(e.row)->parentWidget());
  if (page != e.page) out << QStringLiteral("page %1").arg(page);
  return out.isEmpty() ? QString() : QStringLiteral("row %1: ").arg(e.row) + out.join(", ");
}
