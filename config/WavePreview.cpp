#include "WavePreview.h"

#include <QPainter>
#include <QPolygon>

namespace config {
namespace {

QPen PenOf(WavePen pen) {
  switch (pen) {
    case WavePen::TriState:
      return QPen(QColor(0xFF, 0x00, 0x00), 1, Qt::DotLine);
    case WavePen::Continuation:
      return QPen(QColor(0xFF, 0xFF, 0x00), 1, Qt::DotLine);
    case WavePen::Wave:
      break;
  }
  return QPen(QColor(0xFF, 0xFF, 0x00), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

}  // namespace

WavePreview::WavePreview(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void WavePreview::SetDrawing(WaveDrawing drawing) {
  drawing_ = std::move(drawing);
  update();
}

void WavePreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  for (const WaveStroke& stroke : drawing_.strokes) {
    painter.setPen(PenOf(stroke.pen));
    QPolygon line;
    for (const WavePoint& point : stroke.points) line << QPoint(point.x, point.y);
    painter.drawPolyline(line);
  }
}

}  // namespace config
