// The caption a parameter has in the configuration windows, in the selected
// language: the dictionary key of the label that shows it there. Parameters
// no window shows by a label of their own keep their plain English name.
#pragma once

#include <QHash>
#include <QString>

class TModuloLingua;

// Identifier -> caption for every parameter with a window label; empty when
// the dictionary cannot be read.
QHash<int, QString> LoadParameterCaptions(TModuloLingua* language);
// The caption of one compared value: the label's text, or the English name;
// an array element gets its index, counted from 0 (as ParameterName).
QString ParameterCaption(const QHash<int, QString>& captions, int identifier, int element);
