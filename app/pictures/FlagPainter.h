// The language flags of the splash, drawn by the program: one per language
// column of the dictionary, named by the column's field name.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

// Colour around the flag; the splash takes a flag's top-left pixel as its
// transparent colour, so this frame disappears on screen.
inline const QColor kFlagBackground(255, 0, 255);
constexpr int kFlagImageSize = 36;

// The field names there is a flag for.
QStringList FlagFields();
// The 36 x 36 picture for field (ITALIANO, ENGLISH, FRANCAIS, DEUTSCH, ESPANOL,
// POLSKI); a null image for any other name.
QImage PaintFlag(const QString& field);
