// The program's icon, drawn by the program like its other pictures: a rounded
// tile in the product's colours carrying the gas emblem. The build writes it
// at the sizes desktops ask for; the program also sets it on its windows.
#pragma once

#include <QIcon>
#include <QImage>
#include <array>

class QPaintDevice;

// The square sizes an icon theme (hicolor) is given, in pixels.
inline constexpr std::array<int, 8> kAppIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// Paints the icon onto device, filling a square of side pixels from the top
// left; the corners outside the tile are left untouched.
void PaintAppIcon(QPaintDevice& device, int side);
// The icon at side x side pixels, transparent outside the tile.
QImage AppIconImage(int side);
// Every size of kAppIconSizes in one icon, for the windows.
QIcon AppIcon();
