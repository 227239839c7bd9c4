// The program's own pictures: the splash picture (377 x 226, 256 colours) and
// the About picture (113 x 68). Drawn at run time, so they always exist.
#pragma once

#include <QPixmap>

constexpr int kSplashPictureWidth = 377;
constexpr int kSplashPictureHeight = 226;
constexpr int kAboutPictureWidth = 113;
constexpr int kAboutPictureHeight = 68;

QPixmap SplashPicture();
QPixmap AboutPicture();
