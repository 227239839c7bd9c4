// The building blocks the optional and software configuration windows share:
// the window's font and frame, the page control with its named pages, the
// caption and edit of a row at their design places, and the controls below
// the pages. Positions are design pixels for a screen 800 pixels wide.
#pragma once

#include <QString>

#include "FieldTable.h"

class FieldEditor;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QWidget;
class QRect;

namespace config_parts {

// Design column of the captions and of the edits.
constexpr int kCaptionLeft = 96;
constexpr int kEditLeft = 520;
constexpr int kEditWidth = 73;
constexpr int kEditHeight = 28;
// A caption sits this far below the top of its edit.
constexpr int kCaptionBelowEdit = 8;

// Bold 16-pixel font, dialog frame, the title and the design size.
void SetUpWindow(QDialog* window, const QString& title, int width, int height);

// "PageControl1" with one page per entry, each named and captioned.
QTabWidget* AddPages(QWidget* window, const QRect& geometry, FieldPages pages,
                     const char* const* captions);

QLineEdit* AddEdit(QWidget* parent, const char* name, int top);
QCheckBox* AddCheckBox(QWidget* parent, const char* name, int left, int top);

// "ButtonEsci" ("&Esci"), closing with the cancel result; Enter elsewhere
// never presses it.
QPushButton* AddExitButton(QDialog* window, const QRect& geometry);

// "LabelNonConnesso" (word-wrapped in its rectangle when asked, else one line
// from its corner), "LabelGoVis" and "LabelLimiti" (hidden) with their
// default captions.
void AddStatusLabels(QWidget* window, const QRect& notConnected, bool wrapped, int goVisLeft,
                     int goVisTop, int limitsTop);

// Sizes every single-line label of the window to its text (after the
// dictionary replaced the design captions).
void FitLabels(QWidget* window);

// Shrinks, a pixel at a time down to a floor, the font of every row caption
// too wide for its place: an edit row's caption ends before its edit, a
// check box's before the page's edge. Long translations stay whole.
void FitCaptions(FieldEditor& editor);

}  // namespace config_parts
