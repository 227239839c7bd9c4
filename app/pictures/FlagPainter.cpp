#include "FlagPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <functional>
#include <map>

namespace {
// The flag itself: 32 x 20 (8:5, near enough to each nation's proportions at
// this size), centred in the 36 x 36 picture with a dark outline.
const QRectF kFlagRect(2, 8, 32, 20);

void Stripes(QPainter& p, const QList<QColor>& colours, bool vertical,
             const QList<double>& shares = {}) {
  double total = 0;
  for (int i = 0; i < colours.size(); ++i) total += shares.isEmpty() ? 1.0 : shares[i];
  double start = 0;
  for (int i = 0; i < colours.size(); ++i) {
    const double share = (shares.isEmpty() ? 1.0 : shares[i]) / total;
    QRectF band = kFlagRect;
    if (vertical) {
      band.setLeft(kFlagRect.left() + start * kFlagRect.width());
      band.setWidth(share * kFlagRect.width());
    } else {
      band.setTop(kFlagRect.top() + start * kFlagRect.height());
      band.setHeight(share * kFlagRect.height());
    }
    p.fillRect(band, colours[i]);
    start += share;
  }
}

void UnionFlag(QPainter& p) {
  const QColor blue(1, 33, 105), red(200, 16, 46);
  p.fillRect(kFlagRect, blue);
  p.save();
  p.setClipRect(kFlagRect);
  const QPointF tl = kFlagRect.topLeft(), tr = kFlagRect.topRight();
  const QPointF bl = kFlagRect.bottomLeft(), br = kFlagRect.bottomRight();
  const QPointF c = kFlagRect.center();
  p.setPen(QPen(Qt::white, 4.0));
  p.drawLine(tl, br);
  p.drawLine(tr, bl);
  p.setPen(QPen(red, 1.4));
  p.drawLine(tl, br);
  p.drawLine(tr, bl);
  p.restore();
  p.fillRect(QRectF(c.x() - 3.5, kFlagRect.top(), 7, kFlagRect.height()), Qt::white);
  p.fillRect(QRectF(kFlagRect.left(), c.y() - 3.5, kFlagRect.width(), 7), Qt::white);
  p.fillRect(QRectF(c.x() - 2, kFlagRect.top(), 4, kFlagRect.height()), red);
  p.fillRect(QRectF(kFlagRect.left(), c.y() - 2, kFlagRect.width(), 4), red);
}

void SpanishFlag(QPainter& p) {
  const QColor red(170, 21, 27), yellow(241, 191, 0);
  Stripes(p, {red, yellow, red}, false, {1, 2, 1});
  // A small shield for the coat of arms, left of centre.
  const QRectF shield(kFlagRect.left() + 7, kFlagRect.top() + 6.5, 5, 7);
  QPainterPath path;
  path.moveTo(shield.topLeft());
  path.lineTo(shield.topRight());
  path.lineTo(shield.right(), shield.top() + 4.5);
  path.quadTo(shield.center().x(), shield.bottom() + 1, shield.left(), shield.top() + 4.5);
  path.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(red.darker(115));
  p.drawPath(path);
  p.fillRect(QRectF(shield.left() + 1.3, shield.top() + 1.2, 2.4, 2.4),
             QColor(241, 191, 0).darker(120));
}

const std::map<QString, std::function<void(QPainter&)>>& Painters() {
  static const std::map<QString, std::function<void(QPainter&)>> painters = {
      {QStringLiteral("ITALIANO"),
       [](QPainter& p) {
         Stripes(p, {QColor(0, 146, 70), Qt::white, QColor(206, 43, 55)}, true);
       }},
      {QStringLiteral("ENGLISH"), UnionFlag},
      {QStringLiteral("FRANCAIS"),
       [](QPainter& p) {
         Stripes(p, {QColor(0, 35, 149), Qt::white, QColor(237, 41, 57)}, true);
       }},
      {QStringLiteral("DEUTSCH"),
       [](QPainter& p) {
         Stripes(p, {Qt::black, QColor(221, 0, 0), QColor(255, 206, 0)}, false);
       }},
      {QStringLiteral("ESPANOL"), SpanishFlag},
      {QStringLiteral("POLSKI"),
       [](QPainter& p) {
         Stripes(p, {Qt::white, QColor(220, 20, 60)}, false);
       }},
  };
  return painters;
}
}  // namespace

QStringList FlagFields() {
  return {QStringLiteral("ITALIANO"), QStringLiteral("ENGLISH"), QStringLiteral("FRANCAIS"),
          QStringLiteral("DEUTSCH"),  QStringLiteral("ESPANOL"), QStringLiteral("POLSKI")};
}

QImage PaintFlag(const QString& field) {
  const auto found = Painters().find(field);
  if (found == Painters().end()) return {};
  QImage image(kFlagImageSize, kFlagImageSize, QImage::Format_RGB32);
  image.fill(kFlagBackground);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  found->second(p);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(kFlagRect.toRect().adjusted(-1, -1, 0, 0));
  return image;
}
