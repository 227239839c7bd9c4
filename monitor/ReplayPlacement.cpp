#include "ReplayPlacement.h"

#include <algorithm>
#include <cmath>

namespace monitor {
namespace {

int FrameWidth(const QMargins& frame) {
  return frame.left() + frame.right();
}

int FrameHeight(const QMargins& frame) {
  return frame.top() + frame.bottom();
}

// The largest scale at which the view, framed, fits in room.
double ScaleToFit(const QSize& room, const QSize& design, const QMargins& frame) {
  const double across = static_cast<double>(room.width() - FrameWidth(frame)) / design.width();
  const double down = static_cast<double>(room.height() - FrameHeight(frame)) / design.height();
  return std::min(across, down);
}

QSize FramedView(const QSize& design, double scale, const QMargins& frame) {
  return QSize(static_cast<int>(std::floor(design.width() * scale)) + FrameWidth(frame),
               static_cast<int>(std::floor(design.height() * scale)) + FrameHeight(frame));
}

}  // namespace

ReplayPlacement PlaceReplay(const QRect& screen, const QSize& chartMinimum,
                            const QSize& viewDesign, const QMargins& frame, double largestScale) {
  const QSize chartOuter(chartMinimum.width() + FrameWidth(frame),
                         chartMinimum.height() + FrameHeight(frame));
  // Below: the chart keeps the whole width and at least its least height.
  const double below =
      std::min(largestScale, ScaleToFit(QSize(screen.width(), screen.height() - chartOuter.height()),
                                        viewDesign, frame));
  // Beside: the chart keeps the whole height and at least its least width.
  const double beside =
      std::min(largestScale, ScaleToFit(QSize(screen.width() - chartOuter.width(), screen.height()),
                                        viewDesign, frame));
  ReplayPlacement placement;
  const bool sideBySide = beside >= below;
  placement.viewScale = std::max(kSmallestReplayScale, sideBySide ? beside : below);
  const QSize view = FramedView(viewDesign, placement.viewScale, frame);
  // At the bottom right, and never past the screen's top left.
  placement.view = QRect(QPoint(std::max(screen.left(), screen.right() + 1 - view.width()),
                                std::max(screen.top(), screen.bottom() + 1 - view.height())),
                         view);
  if (sideBySide) {
    placement.view.moveTop(screen.top());
    placement.chart = QRect(screen.topLeft(),
                            QSize(std::max(chartOuter.width(), screen.width() - view.width()),
                                  screen.height()));
  } else {
    placement.chart = QRect(screen.topLeft(),
                            QSize(screen.width(),
                                  std::max(chartOuter.height(), screen.height() - view.height())));
  }
  placement.chart = placement.chart.intersected(screen);
  return placement;
}

}  // namespace monitor
