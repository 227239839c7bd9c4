// The caption binder: a window lists its dictionary keys, each with its
// maximum length and the place the text goes, and ApplyWindowTexts fills them
// in from the selected language. The window shows its own message when this
// returns false; the texts assigned before the failure stay.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class TModuloLingua;
class QWidget;
class QAction;

struct WindowText {
  QString key;
  int maxLength = 0;
  std::function<void(const QString&)> assign;
};

// Activates the table, looks the keys up in order in the selected column and
// assigns each text; stops at the first key without a text, then deactivates
// the table. true when every key was found.
bool ApplyWindowTexts(TModuloLingua& lingua, const QList<WindowText>& texts);

// Assigners for the usual targets: anything with setText (labels, buttons,
// check boxes, menu actions, line edits), a window title, a hint.
template <class Target>
std::function<void(const QString&)> SetTextOf(Target* target) {
  return [target](const QString& text) { target->setText(text); };
}
std::function<void(const QString&)> SetTitleOf(QWidget* window);
std::function<void(const QString&)> SetHintOf(QWidget* widget);
std::function<void(const QString&)> SetHintOf(QAction* action);
// Stores the text in a string the window keeps (messages it shows later).
std::function<void(const QString&)> StoreIn(QString* text);
// Appends the text to a list, e.g. the items that replace a drop-down list's.
std::function<void(const QString&)> AppendTo(QStringList* texts);
