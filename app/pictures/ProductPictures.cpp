#include "ProductPictures.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {
const QColor kNight(12, 34, 64);
const QColor kTeal(0, 128, 128);
const QColor kGas(0, 200, 120);
const QColor kAmber(255, 196, 0);

QFont TitleFont(int pixels) {
  QFont font;
  font.setFamilies({QStringLiteral("Bookman Old Style"), QStringLiteral("URW Bookman"),
                    QStringLiteral("DejaVu Serif")});
  font.setPixelSize(pixels);
  font.setBold(true);
  font.setItalic(true);
  return font;
}

QFont PlainFont(int pixels) {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial")});
  font.setPixelSize(pixels);
  font.setBold(true);
  return font;
}

// A saloon car seen from the side, fitted into the box.
void DrawCar(QPainter& p, const QRectF& box) {
  const auto at = [&box](double x, double y) {
    return QPointF(box.left() + x * box.width(), box.top() + y * box.height());
  };
  QPainterPath body;
  body.moveTo(at(0.02, 0.78));
  body.lineTo(at(0.02, 0.55));
  body.quadTo(at(0.04, 0.45), at(0.16, 0.43));
  body.lineTo(at(0.30, 0.40));
  body.quadTo(at(0.38, 0.12), at(0.50, 0.10));
  body.lineTo(at(0.68, 0.10));
  body.quadTo(at(0.76, 0.12), at(0.84, 0.40));
  body.lineTo(at(0.95, 0.45));
  body.quadTo(at(0.99, 0.50), at(0.98, 0.78));
  body.closeSubpath();
  QLinearGradient paint(at(0, 0.1), at(0, 0.8));
  paint.setColorAt(0, QColor(230, 236, 242));
  paint.setColorAt(1, QColor(150, 164, 180));
  p.setPen(QPen(QColor(40, 50, 60), 1.2));
  p.setBrush(paint);
  p.drawPath(body);

  // Windows, split by the pillar.
  QPainterPath glass;
  glass.moveTo(at(0.34, 0.40));
  glass.quadTo(at(0.41, 0.17), at(0.51, 0.16));
  glass.lineTo(at(0.67, 0.16));
  glass.quadTo(at(0.73, 0.18), at(0.79, 0.40));
  glass.closeSubpath();
  p.setBrush(QColor(70, 110, 150));
  p.drawPath(glass);
  p.setPen(QPen(QColor(150, 164, 180), 3));
  p.drawLine(at(0.57, 0.16), at(0.57, 0.40));

  // Wheels.
  p.setPen(QPen(QColor(20, 20, 20), 1));
  for (double x : {0.22, 0.80}) {
    const QPointF centre = at(x, 0.78);
    const double r = box.height() * 0.17;
    p.setBrush(QColor(25, 25, 25));
    p.drawEllipse(centre, r, r);
    p.setBrush(QColor(190, 195, 200));
    p.drawEllipse(centre, r * 0.55, r * 0.55);
  }
}

// The whole product picture at the splash's size.
QImage ProductImage() {
  QImage image(kSplashPictureWidth, kSplashPictureHeight, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  QLinearGradient sky(0, 0, 0, kSplashPictureHeight);
  sky.setColorAt(0, kNight);
  sky.setColorAt(0.65, kTeal);
  sky.setColorAt(1, kTeal.darker(160));
  p.fillRect(image.rect(), sky);

  // Road.
  const double road = kSplashPictureHeight * 0.80;
  p.fillRect(QRectF(0, road, kSplashPictureWidth, kSplashPictureHeight - road), QColor(45, 48, 52));
  p.setPen(QPen(QColor(235, 235, 235), 2, Qt::DashLine));
  p.drawLine(QPointF(0, road + 12), QPointF(kSplashPictureWidth, road + 12));

  DrawCar(p, QRectF(150, 92, 210, 92));
  DrawEmblem(p, QRectF(18, 104, 54, 70));

  p.setPen(Qt::white);
  p.setFont(TitleFont(38));
  p.drawText(QRectF(16, 14, kSplashPictureWidth - 32, 48), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Mirel Vantor"));
  p.setPen(kAmber);
  p.setFont(PlainFont(13));
  p.drawText(QRectF(18, 60, kSplashPictureWidth - 36, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("LPG \u00B7 CNG  \u2014  service & setup"));
  p.setPen(QColor(200, 220, 230));
  p.setFont(PlainFont(11));
  p.drawText(QRectF(80, 150, 90, 18), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("OXT srl"));
  p.end();
  return image;
}
}  // namespace

void DrawEmblem(QPainter& p, const QRectF& box) {
  QRectF tank(box.left(), box.top() + box.height() * 0.18, box.width() * 0.55, box.height() * 0.8);
  QLinearGradient metal(tank.topLeft(), tank.topRight());
  metal.setColorAt(0, kGas.darker(150));
  metal.setColorAt(0.45, kGas.lighter(130));
  metal.setColorAt(1, kGas.darker(170));
  p.setPen(QPen(QColor(10, 60, 40), 1));
  p.setBrush(metal);
  p.drawRoundedRect(tank, tank.width() * 0.45, tank.width() * 0.45);
  p.setBrush(QColor(200, 200, 200));
  p.drawRect(QRectF(tank.center().x() - tank.width() * 0.15, box.top() + box.height() * 0.08,
                    tank.width() * 0.3, box.height() * 0.12));

  const QPointF base(box.left() + box.width() * 0.8, box.bottom() - box.height() * 0.05);
  const double h = box.height() * 0.7, w = box.width() * 0.34;
  QPainterPath flame;
  flame.moveTo(base);
  flame.cubicTo(base + QPointF(-w, 0), base + QPointF(-w * 0.4, -h * 0.6), base + QPointF(0, -h));
  flame.cubicTo(base + QPointF(w * 0.4, -h * 0.6), base + QPointF(w, 0), base);
  QRadialGradient fire(base + QPointF(0, -h * 0.3), h * 0.7);
  fire.setColorAt(0, QColor(255, 255, 210));
  fire.setColorAt(0.4, kAmber);
  fire.setColorAt(1, QColor(230, 80, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(fire);
  p.drawPath(flame);
}

QPixmap SplashPicture() {
  // The splash keeps to a 256-colour palette.
  const QImage indexed =
      ProductImage().convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither);
  return QPixmap::fromImage(indexed);
}

QPixmap AboutPicture() {
  QImage image(kAboutPictureWidth, kAboutPictureHeight, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient sky(0, 0, 0, kAboutPictureHeight);
  sky.setColorAt(0, kNight);
  sky.setColorAt(1, kTeal);
  p.fillRect(image.rect(), sky);
  p.fillRect(QRectF(0, 56, kAboutPictureWidth, 12), QColor(45, 48, 52));
  DrawCar(p, QRectF(34, 22, 76, 38));
  DrawEmblem(p, QRectF(6, 20, 24, 36));
  p.setPen(Qt::white);
  p.setFont(TitleFont(13));
  p.drawText(QRectF(4, 1, kAboutPictureWidth - 8, 18), Qt::AlignCenter,
             QStringLiteral("Mirel Vantor"));
  p.end();
  return QPixmap::fromImage(image);
}
