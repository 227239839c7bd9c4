// The program's own pictures: the splash picture (377 x 226, 256 colours) and
// the About picture (113 x 68). Drawn at run time, so they always exist.
#pragma once

#include <QPixmap>

class QPainter;
class QRectF;

constexpr int kSplashPictureWidth = 377;
constexpr int kSplashPictureHeight = 226;
constexpr int kAboutPictureWidth = 113;
constexpr int kAboutPictureHeight = 68;

QPixmap SplashPicture();
QPixmap AboutPicture();

// The product's emblem, a gas cylinder with a flame, fitted into box; shared
// by the pictures above and the program's icon.
void DrawEmblem(QPainter& p, const QRectF& box);
