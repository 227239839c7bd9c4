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
  // The caption stands at the left; the trace runs to its right, so the two
  // never cross.
  painter.setPen(Qt::black);
  const int captionWidth = painter.fontMetrics().horizontalAdvance(caption) + 12;
  painter.drawText(QRect(area.left() + 6, area.top(), captionWidth, area.height()),
                   Qt::AlignLeft | Qt::AlignVCenter, caption);
  const QRect plot = area.adjusted(captionWidth, 0, 0, 0);
  const int middle = plot.top() + plot.height() / 2;
  painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DashLine));
  painter.drawLine(plot.left(), middle, plot.right(), middle);
  if (trace.size() < 2 || plot.width() < 2) return;
  QPainterPath path;
  const double step = static_cast<double>(plot.width() - 1) / static_cast<double>(trace.size() - 1);
  for (std::size_t i = 0; i < trace.size(); ++i) {
    const double position = std::clamp(trace[i], 0.0, 1.0);
    const QPointF point(plot.left() + step * static_cast<double>(i),
                        plot.bottom() - 2 - position * (plot.height() - 5));
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
