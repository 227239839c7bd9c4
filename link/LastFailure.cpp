#include "LastFailure.h"

#include <cstdio>
#include <mutex>

namespace serlink {
namespace {
std::mutex mutex;
std::string text;
}  // namespace

void SetLastFailure(const std::string& reason) {
  std::fprintf(stderr, "SerOxtDL: %s\n", reason.c_str());
  std::lock_guard lock(mutex);
  text = reason;
}

void ClearLastFailure() {
  std::lock_guard lock(mutex);
  text.clear();
}

std::string LastFailure() {
  std::lock_guard lock(mutex);
  return text;
}

}  // namespace serlink
