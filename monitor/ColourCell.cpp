#include "ColourCell.h"

#include <QPainter>

namespace monitor {

ColourCell::ColourCell(const QColor& colour, int penWidth, QWidget* parent)
    : QWidget(parent), colour_(colour), penWidth_(penWidth) {}

void ColourCell::SetColour(const QColor& colour) {
  if (colour == colour_) return;
  colour_ = colour;
  ++recolours_;
  update();
}

void ColourCell::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QPen pen(Qt::black, penWidth_);
  pen.setJoinStyle(Qt::MiterJoin);
  p.setPen(pen);
  p.setBrush(colour_);
  const double half = penWidth_ / 2.0;
  p.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}

}  // namespace monitor
