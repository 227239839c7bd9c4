// Windows are laid out for a screen 800 x 600 pixels and scaled to the
// screen actually in use: by its width, or by its height where the screen is
// wider than 4:3. A test can override the screen's size.
#pragma once

#include <QSize>

class QRect;
class QWidget;

constexpr int kDesignScreenWidth = 800;
constexpr int kDesignScreenHeight = 600;
// What a window manager's title bar and borders may take around a window,
// before the window is shown and they can be measured.
constexpr QSize kFrameAllowance(16, 40);

// Width of the primary screen in pixels, or the override when one is set.
int ScreenWidth();
// width > 0 replaces the screen's width everywhere, and height its height
// and the room a window has (three quarters of the width when not given); 0
// goes back to the screen.
void OverrideScreenWidth(int width, int height = 0);
// The height a window may take on the primary screen (without panels), or
// the override's.
int ScreenHeight();
// Where windows may go on the primary screen (without panels), in screen
// coordinates; with an override, ScreenWidth() x ScreenHeight() at 0, 0.
QRect ScreenArea();

// ScreenWidth() / 800, or the screen's whole height / 600 when that is less
// (a screen wider than 4:3).
double ScreenScaleFactor();

// Scales a window's whole widget tree by factor: the position and size of every
// widget placed by hand (widgets managed by a layout are left to it), the fonts
// of the window and of every widget with a font of its own, and the window's own
// size unless it is maximised.
void ScaleWidgetTree(QWidget* window, double factor);

// The largest scale at which a window of size, with its frame, fits inside
// area.
double FittingScale(const QSize& size, const QRect& area);

// Scales the window by ScreenScaleFactor() when that is not 1; a window of
// fixed size (a dialog) by no more than FittingScale() in
// ScreenArea(). True when it scaled.
bool ScaleToScreen(QWidget* window);
