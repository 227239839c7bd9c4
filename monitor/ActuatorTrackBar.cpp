#include "ActuatorTrackBar.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace monitor {

ActuatorTrackBar::ActuatorTrackBar(QWidget* parent) : QSlider(Qt::Vertical, parent) {
  setRange(0, 255);
  setInvertedAppearance(true);  // position 0 at the top
  setTickPosition(QSlider::TicksRight);
  setTickInterval(10);
  setEnabled(false);
  setFocusPolicy(Qt::NoFocus);
}

void ActuatorTrackBar::SetSelection(int start, int end) {
  if (start == selectionStart_ && end == selectionEnd_) return;
  selectionStart_ = start;
  selectionEnd_ = end;
  update();
}

void ActuatorTrackBar::paintEvent(QPaintEvent* event) {
  QSlider::paintEvent(event);
  if (selectionEnd_ <= selectionStart_) return;
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option,
                                               QStyle::SC_SliderGroove, this);
  const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option,
                                               QStyle::SC_SliderHandle, this);
  const int span = groove.height() - handle.height();
  auto yOf = [&](int value) {
    return groove.top() + handle.height() / 2 +
           QStyle::sliderPositionFromValue(minimum(), maximum(), value, span, false);
  };
  QPainter p(this);
  p.fillRect(QRect(QPoint(groove.left() - 6, yOf(selectionStart_)),
                   QPoint(groove.left() - 3, yOf(selectionEnd_))),
             palette().color(QPalette::Active, QPalette::Highlight));
}

}  // namespace monitor
