// Windows are laid out for a screen 800 pixels wide and scaled to the screen
// actually in use. The screen width comes from ScreenWidth() alone, which a
// test can override (and with it the height a window may take).
#pragma once

class QRect;
class QWidget;

constexpr int kDesignScreenWidth = 800;

// Width of the primary screen in pixels, or the override when one is set.
int ScreenWidth();
// width > 0 replaces the screen's width everywhere, and height the room a
// window has below it (three quarters of the width when not given); 0 goes
// back to the screen.
void OverrideScreenWidth(int width, int height = 0);
// The height a window may take on the primary screen (without panels), or
// the override's.
int ScreenHeight();
// Where windows may go on the primary screen (without panels), in screen
// coordinates; with an override, ScreenWidth() x ScreenHeight() at 0, 0.
QRect ScreenArea();

// ScreenWidth() / 800.
double ScreenScaleFactor();

// Scales a window's whole widget tree by factor: the position and size of every
// widget placed by hand (widgets managed by a layout are left to it), the fonts
// of the window and of every widget with a font of its own, and the window's own
// size unless it is maximised.
void ScaleWidgetTree(QWidget* window, double factor);

// Scales the window by ScreenScaleFactor() when the screen is not 800 pixels
// wide; true when it did.
bool ScaleToScreen(QWidget* window);
