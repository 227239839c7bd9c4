#include "ReplayClock.h"

#include <algorithm>

namespace monitor {

ReplayClock::ReplayClock(double start, double end)
    : start_(start), end_(std::max(start, end)), position_(start) {}

void ReplayClock::SetRange(double start, double end) {
  start_ = start;
  end_ = std::max(start, end);
  Seek(position_);
}

void ReplayClock::Play() {
  // Playing from the end starts again from the beginning.
  if (AtEnd()) position_ = start_;
  playing_ = end_ > start_;
}

void ReplayClock::Pause() {
  playing_ = false;
}

void ReplayClock::SetSpeed(int speed) {
  speed_ = std::max(1, speed);
}

void ReplayClock::Seek(double time) {
  position_ = std::clamp(time, start_, end_);
}

double ReplayClock::Advance(double wallSeconds) {
  if (!playing_ || wallSeconds <= 0) return position_;
  position_ = std::min(end_, position_ + wallSeconds * speed_);
  if (AtEnd()) playing_ = false;
  return position_;
}

}  // namespace monitor
