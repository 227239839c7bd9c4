// Where the chart window and the live view that shows its replay go, so that
// a technician sees both: the view, scaled down as far as needed, beside or
// below the chart, whichever leaves it larger; both inside the screen.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

namespace monitor {

struct ReplayPlacement {
  QRect chart;  // the chart window's outer rectangle, frame included
  QRect view;   // the live view's outer rectangle, frame included
  double viewScale = 1;  // the view's size over its design size
};

// The smallest scale the view is drawn at; on a screen too small for both at
// this scale the view sits at the screen's bottom right, over the chart.
constexpr double kSmallestReplayScale = 0.5;

// screen: where windows may go; chartMinimum: the least the chart window
// needs inside its frame; viewDesign: the view's size at scale 1; frame: the
// window manager's frame around each window; largestScale: the view's scale
// when it has the screen to itself (it is never drawn larger).
ReplayPlacement PlaceReplay(const QRect& screen, const QSize& chartMinimum,
                            const QSize& viewDesign, const QMargins& frame, double largestScale);

}  // namespace monitor
