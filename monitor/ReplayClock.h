// Where a replay stands in a recording: play, pause, speed 1x/4x/16x, a jump
// to any time. Moved on by the wall time that passed, so a slow screen makes
// the replay skip samples rather than fall behind. Plain C++.
#pragma once

namespace monitor {

class ReplayClock {
 public:
  // The recording runs from start to end, in seconds.
  ReplayClock(double start = 0, double end = 0);

  void SetRange(double start, double end);
  double Start() const { return start_; }
  double End() const { return end_; }

  void Play();
  void Pause();
  bool Playing() const { return playing_; }
  // Recording seconds per wall second; anything below 1 counts as 1.
  void SetSpeed(int speed);
  int Speed() const { return speed_; }

  // Jumps to time, kept inside the recording.
  void Seek(double time);
  double Position() const { return position_; }
  bool AtEnd() const { return position_ >= end_; }

  // Moves on by wallSeconds at the speed while playing; at the end the
  // replay pauses there. Returns the new position.
  double Advance(double wallSeconds);

 private:
  double start_;
  double end_;
  double position_;
  int speed_ = 1;
  bool playing_ = false;
};

}  // namespace monitor
