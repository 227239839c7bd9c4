// What a window says when the dictionary does not give it its texts.
#pragma once

class QWidget;

namespace ui {

// "Problemi col database multilingua (Codice n).", n naming the window, as an
// error with the application title.
void ShowDictionaryProblem(QWidget* parent, int code);

}  // namespace ui
