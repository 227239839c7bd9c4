// The library's exports, the only symbols it makes visible: the two
// factories, and the reason the last attempt to reach the ECU failed.
#include <algorithm>
#include <cstring>

#include "EcuLink.h"
#include "LastFailure.h"
#include "SerialEcuLink.h"

extern "C" {

__attribute__((visibility("default"))) ecu::EcuLink* _CreateClassInstance() {
  return new (std::nothrow) serlink::SerialEcuLink();
}

__attribute__((visibility("default"))) void _DestroyClassInstance(ecu::EcuLink* link) {
  delete static_cast<serlink::SerialEcuLink*>(link);
}

// Copies the reason (UTF-8, at most size - 1 bytes and a terminating zero)
// into buffer and returns the reason's whole length, so a caller whose buffer
// was short can ask again. An empty reason: the last attempt did not fail.
__attribute__((visibility("default"))) int _GetLastFailureText(char* buffer, int size) {
  const std::string text = serlink::LastFailure();
  if (buffer != nullptr && size > 0) {
    const std::size_t copied = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
  }
  return static_cast<int>(text.size());
}
}
