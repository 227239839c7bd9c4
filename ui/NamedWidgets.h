// Labels and push buttons as the windows build them by hand: named (the name
// is what the dictionary and the tests look them up by) and, where the window
// has a design position for them, placed there. Anything more (font,
// alignment, word wrap, focus, default button) is the window's own business.
#pragma once

#include <QAnyStringView>
#include <QRect>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

namespace ui {

// A label for a layout, or for its caller to place.
QLabel* MakeLabel(QWidget* parent, QAnyStringView name, const QString& text);
// A label at its design rectangle.
QLabel* MakeLabel(QWidget* parent, QAnyStringView name, const QString& text, const QRect& place);

// A button for a layout, or for its caller to place.
QPushButton* MakeButton(QWidget* parent, QAnyStringView name, const QString& text);
// A button at its design rectangle.
QPushButton* MakeButton(QWidget* parent, QAnyStringView name, const QString& text,
                        const QRect& place);

// A caption as it shows: "&x" draws an underlined x, "&&" one ampersand.
QString ShownCaption(QString caption);

// A button in a layout is as wide as the style's size hint, which leaves its
// caption less room at the sides than a button placed by hand is given: this
// asks the layout for the style's whole margin on both sides of the caption,
// in the button's present font and text.
void KeepCaptionMargins(QPushButton* button);

}  // namespace ui
