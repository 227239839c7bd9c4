// The main window's entries: which one is current, moving between them with
// the keyboard, showing and hiding them, and their layout.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <algorithm>
#include <cmath>

#include "FormMain.h"
#include "MainMenuEntry.h"
#include "Scaling.h"

namespace {
// The arrow sits this far left of the entries.
constexpr int kArrowGap = 50;
}  // namespace

QLabel* TFormMain::EntryLabel(int index) const {
  return index >= 0 && index < entries_.size() ? entries_.at(index) : nullptr;
}

QAction* TFormMain::EntryAction(int index) const {
  return index >= 0 && index < entryActions_.size() ? entryActions_.at(index) : nullptr;
}

bool TFormMain::EntryVisible(int index) const {
  return index >= 0 && index < entries_.size() && !entries_.at(index)->isHidden();
}

int TFormMain::ClientHeight() const {
  return centralWidget()->height();
}
int TFormMain::ClientWidth() const {
  return centralWidget()->width();
}

void TFormMain::SetEntryVisible(int index, bool visible) {
  if (index < 0 || index >= entryCount_ || index >= entries_.size()) return;
  entries_.at(index)->setVisible(visible);
  entryActions_.at(index)->setVisible(visible);
  RunLayout();
}

void TFormMain::HideEntry(int index) {
  SetEntryVisible(index, false);
}
void TFormMain::ShowEntry(int index) {
  SetEntryVisible(index, true);
}

int TFormMain::CurrentEntry() const {
  return LabelFreccia->property("Tag").toInt();
}

void TFormMain::LeaveEntry(int index) {
  if (index >= 0 && index < entries_.size()) entries_.at(index)->SetHighlighted(false);
}

void TFormMain::MarkEntry(int index) {
  if (index < 0 || index >= entries_.size()) return;
  LeaveEntry(CurrentEntry());
  entries_.at(index)->SetHighlighted(true);
  LabelFreccia->move(LabelFreccia->x(), entries_.at(index)->y());
  LabelFreccia->setProperty("Tag", index);
}

void TFormMain::MoveUp() {
  const int current = CurrentEntry();
  LeaveEntry(current);
  int i = current == 0 ? entryCount_ : current;
  // Entry 0 is never hidden, so the search ends.
  do {
    --i;
  } while (i > 0 && !EntryVisible(i));
  MarkEntry(i);
}

void TFormMain::MoveDown() {
  int i = CurrentEntry();
  // The last entry is never hidden, so the search ends.
  do {
    i = i + 1 >= entryCount_ ? 0 : i + 1;
  } while (i != 0 && !EntryVisible(i));
  MarkEntry(i);
}

void TFormMain::ExecuteCurrentEntry() {
  if (QAction* action = EntryAction(CurrentEntry())) action->trigger();
}

bool TFormMain::HandleKey(QKeyEvent* key) {
  const Qt::KeyboardModifiers modifiers =
      key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  switch (key->key()) {
    case Qt::Key_Up:
      if (modifiers != Qt::NoModifier) return false;
      MoveUp();
      return true;
    case Qt::Key_Down:
      if (modifiers != Qt::NoModifier) return false;
      MoveDown();
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (modifiers != Qt::NoModifier) return false;
      ExecuteCurrentEntry();
      return true;
    case Qt::Key_Q:
      if (modifiers != Qt::AltModifier) return false;
      close();
      return true;
    default:
      return false;
  }
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  // Esc on the menu bar with no menu open leaves the menu bar: the keyboard
  // goes back to the entries (the menu bar alone would keep it when nothing
  // else in the window takes the focus, and Enter would open a menu).
  if (event->type() == QEvent::KeyPress && watched == menuBar() &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
      QApplication::activePopupWidget() == nullptr) {
    setFocus(Qt::OtherFocusReason);  // the menu bar drops its highlight as it loses the focus
    return true;
  }
  // The window sees every key before the control that has the focus; the
  // menu bar keeps its own keys while the user moves through it.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->window() == this &&
      qobject_cast<QMenuBar*>(watched) == nullptr && QApplication::activeModalWidget() == nullptr) {
    return HandleKey(static_cast<QKeyEvent*>(event));
  }
  if (watched == centralWidget() && event->type() == QEvent::Resize) RunLayout();
  return QMainWindow::eventFilter(watched, event);
}

void TFormMain::RunLayout() {
  if (entries_.isEmpty() || entryCount_ < 2) return;
  const int clientHeight = ClientHeight();
  const int step = std::max(0, clientHeight / (entryCount_ + 2));
  LabelMenu->move(LabelMenu->x(), step);
  const int origin = 2 * step;

  int k = 0;
  for (int i = 0; i <= entryCount_ - 2; ++i) {
    MainMenuEntry* entry = entries_.at(i);
    if (entry->isHidden()) continue;
    entry->move(entry->x(), origin + k * step);
    ++k;
  }

  // "Uscita" sits 1.5 steps, scaled as the window is (by the screen's width
  // on a 4:3 screen), below the entry before it; kept inside the window.
  MainMenuEntry* last = entries_.at(entryCount_ - 1);
  const double exitTop = ScreenScaleFactor() * step * 1.5 + entries_.at(entryCount_ - 2)->y();
  int top = static_cast<int>(std::trunc(exitTop));
  if (top + last->height() > clientHeight) top = std::max(0, clientHeight - last->height());
  last->move(last->x(), top);

  LabelFreccia->move(LabelFreccia->x(), entries_.at(CurrentEntry())->y());
}

void TFormMain::CentreHorizontally() {
  const int width = ClientWidth();
  LabelMenu->move((width - LabelMenu->width()) / 2, LabelMenu->y());
  int widest = 0;
  for (const MainMenuEntry* entry : entries_) widest = std::max(widest, entry->width());
  const int left = (width - widest) / 2;
  for (MainMenuEntry* entry : entries_) entry->move(left, entry->y());
  LabelFreccia->move(left - kArrowGap, LabelFreccia->y());
}
