#include "Beep.h"

#include <QApplication>

namespace {
ScopedBeepCounter* counter = nullptr;
}

void SystemBeep() {
  if (counter != nullptr) {
    ++counter->count_;
    return;
  }
  QApplication::beep();
}

ScopedBeepCounter::ScopedBeepCounter() : previous_(counter) {
  counter = this;
}

ScopedBeepCounter::~ScopedBeepCounter() {
  counter = previous_;
}
