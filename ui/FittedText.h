// A text for a label of fixed size that may be too small for it in some
// language: shown whole when it fits, otherwise cut with "…" at the end and
// given whole as the label's tooltip.
#pragma once

class QLabel;
class QString;

void SetFittedText(QLabel* label, const QString& text);
