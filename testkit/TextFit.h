// Whether a window's texts fit: every visible label's text within the label
// (wrapped labels within their height), every push button's caption within
// the button, every text inside the window and inside a frame it starts in,
// and the window's title within its title bar. Each problem comes back as one line naming the control, its
// text and the widths, for a test to print.
#pragma once

#include <QStringList>

class QWidget;

QStringList TextFitProblems(const QWidget* window);
