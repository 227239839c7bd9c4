#include "LastFailure.h"

#include <cstdio>
#include <mutex>

namespace serlink {
namespace {
std::mutex mutex;
Failure last;
}  // namespace

void SetLastFailure(const Failure& failure) {
  std::fprintf(stderr, "SerOxtDL: %s\n", failure.text.c_str());
  std::lock_guard lock(mutex);
  last = failure;
}

void SetLastFailure(const std::string& text) {
  Failure failure;
  failure.kind = ecu::kFailureOther;
  failure.text = text;
  SetLastFailure(failure);
}

void ClearLastFailure() {
  std::lock_guard lock(mutex);
  last = Failure();
}

Failure LastFailureDetail() {
  std::lock_guard lock(mutex);
  return last;
}

std::string LastFailure() {
  std::lock_guard lock(mutex);
  return last.text;
}

}  // namespace serlink
