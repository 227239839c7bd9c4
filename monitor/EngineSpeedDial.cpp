#include "EngineSpeedDial.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace monitor {
namespace {
constexpr int kNeedleWidth = 5;

QColor FaceColour(const QWidget& widget) {
  return widget.palette().color(QPalette::Active, QPalette::Highlight);
}
// The ring around the face, the colour of the desktop behind the windows.
QColor RingColour() {
  return QColor(0x3A, 0x6E, 0xA5);
}
}  // namespace

EngineSpeedDial::EngineSpeedDial(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void EngineSpeedDial::PlaceOver(const QRect& frame) {
  setGeometry(frame);
  dial_ = DialOf(0, 0, frame.width(), frame.height());
  face_ = QPixmap();
  update();
}

void EngineSpeedDial::SetRpm(int rpm) {
  if (rpm == rpm_) return;
  const QRect changed = NeedleRect(rpm_) | NeedleRect(rpm);
  rpm_ = rpm;
  needlePixels_ += static_cast<long long>(changed.width()) * changed.height();
  update(changed);
}

QRect EngineSpeedDial::NeedleRect(int rpm) const {
  const NeedleOffset end = NeedleOffsetOf(rpm, NeedleLength(dial_.radius));
  const QPoint centre(dial_.centreX, dial_.centreY);
  const QPoint tip = centre + QPoint(end.dx, end.dy);
  const int margin = kNeedleWidth + 6;  // the pen and the hub
  return QRect(QPoint(std::min(centre.x(), tip.x()), std::min(centre.y(), tip.y())),
               QPoint(std::max(centre.x(), tip.x()), std::max(centre.y(), tip.y())))
      .adjusted(-margin, -margin, margin, margin);
}

void EngineSpeedDial::resizeEvent(QResizeEvent*) {
  face_ = QPixmap();
}

void EngineSpeedDial::DrawFace() {
  ++faceRenders_;
  face_ = QPixmap(size());
  face_.fill(Qt::transparent);
  QPainter p(&face_);
  p.setRenderHint(QPainter::Antialiasing);
  const int cx = dial_.centreX;
  const int cy = dial_.centreY;
  const int r = dial_.radius;
  const int a = r - 4;
  const int b = static_cast<int>(a * 0.7072135785007072);

  p.setPen(QPen(Qt::black, 1));
  p.setBrush(RingColour());
  p.drawEllipse(QRect(QPoint(cx - r, cy - r), QPoint(cx + r, cy + r)));
  p.setBrush(FaceColour(*this));
  p.drawEllipse(QRect(QPoint(cx - a, cy - a), QPoint(cx + a, cy + a)));

  // Diagonal marks at 0, 2000, 4000 and 6000 rpm, pointing inwards.
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(cx - b, cy + b, cx - b + 10, cy + b - 10);
  p.drawLine(cx - b, cy - b, cx - b + 10, cy - b + 10);
  p.drawLine(cx + b, cy - b, cx + b - 10, cy - b + 10);
  p.drawLine(cx + b, cy + b, cx + b - 10, cy + b - 10);
  // Straight marks at 3000, 1000 and 5000 rpm.
  p.setPen(QPen(Qt::white, 3));
  p.drawLine(cx, cy - a, cx, cy - a + 15);
  p.drawLine(cx - a, cy, cx - a + 15, cy);
  p.drawLine(cx + a, cy, cx + a - 15, cy);
}

void EngineSpeedDial::paintEvent(QPaintEvent* event) {
  if (face_.isNull() || face_.size() != size()) DrawFace();
  QPainter p(this);
  p.setClipRegion(event->region());
  p.drawPixmap(event->rect(), face_, event->rect());
  p.setRenderHint(QPainter::Antialiasing);
  const int cx = dial_.centreX;
  const int cy = dial_.centreY;
  const NeedleOffset end = NeedleOffsetOf(rpm_, NeedleLength(dial_.radius));
  p.setPen(QPen(Qt::white, kNeedleWidth, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(cx, cy, cx + end.dx, cy + end.dy);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::white);
  p.drawEllipse(QRect(QPoint(cx - 5, cy - 5), QPoint(cx + 5, cy + 5)));
}

}  // namespace monitor
