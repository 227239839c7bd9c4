#include "WriteObserver.h"

#include <algorithm>

void WriteFanOut::Add(WriteObserver* observer) {
  if (observer == nullptr || std::ranges::find(observers_, observer) != observers_.end()) return;
  observers_.push_back(observer);
}

void WriteFanOut::Remove(WriteObserver* observer) {
  std::erase(observers_, observer);
}

// Each call goes over a copy: an observer may leave (or another join) while it
// is being told.
void WriteFanOut::BulkWriteStarted(BulkWrite kind, std::string_view source) {
  for (WriteObserver* o : std::vector(observers_)) o->BulkWriteStarted(kind, source);
}

void WriteFanOut::WriteAttempted(const WriteAttempt& attempt) {
  for (WriteObserver* o : std::vector(observers_)) o->WriteAttempted(attempt);
}

void WriteFanOut::BulkWriteFinished(BulkWrite kind) {
  for (WriteObserver* o : std::vector(observers_)) o->BulkWriteFinished(kind);
}
