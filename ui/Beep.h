// The system beep every window sounds for a value out of range or a write the
// ECU refused. A test counts beeps with ScopedBeepCounter instead of hearing
// them.
#pragma once

void SystemBeep();

// While one exists, beeps are counted instead of sounded.
class ScopedBeepCounter {
 public:
  ScopedBeepCounter();
  ~ScopedBeepCounter();
  ScopedBeepCounter(const ScopedBeepCounter&) = delete;
  ScopedBeepCounter& operator=(const ScopedBeepCounter&) = delete;

  int Count() const { return count_; }
  void Reset() { count_ = 0; }

 private:
  friend void SystemBeep();
  int count_ = 0;
  ScopedBeepCounter* previous_ = nullptr;
};
