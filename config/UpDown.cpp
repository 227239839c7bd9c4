#include "UpDown.h"

#include <QToolButton>
#include <algorithm>

UpDown::UpDown(int minimum, int maximum, QWidget* parent)
    : QWidget(parent), minimum_(minimum), maximum_(maximum), position_(minimum) {
  up_ = new QToolButton(this);
  up_->setArrowType(Qt::UpArrow);
  down_ = new QToolButton(this);
  down_->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {up_, down_}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
  }
  connect(up_, &QToolButton::clicked, this, &UpDown::StepUp);
  connect(down_, &QToolButton::clicked, this, &UpDown::StepDown);
}

void UpDown::SetPosition(int position) {
  position_ = std::clamp(position, minimum_, maximum_);
}

void UpDown::StepUp() {
  Step(1);
}

void UpDown::StepDown() {
  Step(-1);
}

void UpDown::Step(int by) {
  const int span = maximum_ - minimum_ + 1;
  position_ = minimum_ + ((position_ - minimum_ + by) % span + span) % span;
  emit Stepped(position_);
}

void UpDown::resizeEvent(QResizeEvent*) {
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}
