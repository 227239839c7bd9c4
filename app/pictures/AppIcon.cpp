#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ProductPictures.h"

namespace {
const QColor kTileTop(12, 34, 64);
const QColor kTileBottom(0, 128, 128);
const QColor kRim(0, 200, 120);
}  // namespace

void PaintAppIcon(QPaintDevice& device, int side) {
  QPainter p(&device);
  p.setRenderHint(QPainter::Antialiasing, true);
  const double s = side;
  // A margin of 1/16 as icon themes expect, and rounded corners.
  const QRectF tile(s / 16, s / 16, s * 14 / 16, s * 14 / 16);
  QLinearGradient sky(tile.topLeft(), tile.bottomLeft());
  sky.setColorAt(0, kTileTop);
  sky.setColorAt(1, kTileBottom);
  p.setPen(QPen(kRim, qMax(1.0, s / 40)));
  p.setBrush(sky);
  p.drawRoundedRect(tile, s / 6, s / 6);

  // A gauge arc across the top: the tool reads and sets the car's gas system.
  QPainterPath arc;
  const QRectF dial(tile.left() + s * 0.14, tile.top() + s * 0.10, s * 0.60, s * 0.60);
  arc.arcMoveTo(dial, 160);
  arc.arcTo(dial, 160, -140);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 196, 0), qMax(1.0, s / 24), Qt::SolidLine, Qt::RoundCap));
  p.drawPath(arc);

  DrawEmblem(p, QRectF(tile.left() + s * 0.20, tile.top() + s * 0.22, s * 0.48, s * 0.58));
}

QImage AppIconImage(int side) {
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  PaintAppIcon(image, side);
  return image;
}

QIcon AppIcon() {
  QIcon icon;
  for (const int side : kAppIconSizes) icon.addPixmap(QPixmap::fromImage(AppIconImage(side)));
  return icon;
}
