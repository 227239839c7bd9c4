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
