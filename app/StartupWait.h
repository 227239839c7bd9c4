// The window that asks the user to wait while the program starts: the wait
// banner (TFormAttendere) in demo mode, the progress window (TFormAttesa)
// otherwise. Created at the end of the main window's construction and closed
// at the first idle moment of the message loop.
#pragma once

class QWidget;
class TFormMain;

namespace StartupWait {

// The window, shown and painted; nullptr when there is none.
QWidget* CreateWindow(TFormMain& main, bool demo);
// Closes and destroys what CreateWindow returned (nullptr: nothing).
void CloseWindow(QWidget* window);

}  // namespace StartupWait
