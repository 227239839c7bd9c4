#include "LambdaPairChart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace monitor {
namespace {

void DrawTrace(QPainter& painter, const QRect& area, const std::vector<double>& trace,
               const QString& caption, const QColor& colour) {
  painter.setPen(QColor(0xC0, 0xC0, 0xC0));
  painter.drawRect(area.adjusted(0, 0, -1, -1));
  const int middle = area.top() + area.height() / 2;
  painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DashLine));
  painter.drawLine(area.left(), middle, area.right(), middle);
  painter.setPen(Qt::black);
  painter.drawText(area.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignTop, caption);
  if (trace.size() < 2) return;
  QPainterPath path;
  const double step = static_cast<double>(area.width() - 1) / static_cast<double>(trace.size() - 1);
  for (std::size_t i = 0; i < trace.size(); ++i) {
    const double position = std::clamp(trace[i], 0.0, 1.0);
    const QPointF point(area.left() + step * static_cast<double>(i),
                        area.bottom() - 2 - position * (area.height() - 5));
    if (i == 0) {
      path.moveTo(point);
    } else {
      path.lineTo(point);
    }
  }
  painter.setPen(QPen(colour, 1.5));
  painter.drawPath(path);
}

}  // namespace

LambdaPairChart::LambdaPairChart(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void LambdaPairChart::SetTraces(std::vector<double> petrol, std::vector<double> gas) {
  petrol_ = std::move(petrol);
  gas_ = std::move(gas);
  update();
}

void LambdaPairChart::SetCaptions(const QString& petrol, const QString& gas) {
  petrolCaption_ = petrol;
  gasCaption_ = gas;
  update();
}

void LambdaPairChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int half = height() / 2;
  DrawTrace(painter, QRect(0, 0, width(), half - 2), petrol_, petrolCaption_,
            QColor(0x00, 0x80, 0x00));
  DrawTrace(painter, QRect(0, half + 2, width(), height() - half - 2), gas_, gasCaption_,
            QColor(0xC0, 0x00, 0x00));
}

}  // namespace monitor
