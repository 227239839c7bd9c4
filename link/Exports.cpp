// The library's exports, the only symbols it makes visible: the two
// factories, and why the last attempt to reach the ECU failed (as English
// text, and as a kind with its details for a program that speaks another
// language).
#include <algorithm>
#include <cstring>

#include "EcuLink.h"
#include "LastFailure.h"
#include "SerialEcuLink.h"

namespace {

// Copies text (at most size - 1 bytes and a terminating zero) into buffer,
// when there is one, and returns the text's whole length.
int CopyOut(const std::string& text, char* buffer, int size) {
  if (buffer != nullptr && size > 0) {
    const std::size_t copied = std::min(text.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
  }
  return static_cast<int>(text.size());
}

}  // namespace

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
  return CopyOut(serlink::LastFailure(), buffer, size);
}

// The same failure as a kind (ecu::FailureKind, 0 when the last attempt did
// not fail) with the port and group it names, copied as the text is, and its
// number.
__attribute__((visibility("default"))) int _GetLastFailureKind(char* port, int portSize,
                                                               char* group, int groupSize,
                                                               int* number) {
  const serlink::Failure failure = serlink::LastFailureDetail();
  CopyOut(failure.port, port, portSize);
  CopyOut(failure.group, group, groupSize);
  if (number != nullptr) *number = failure.number;
  return failure.kind;
}
}
