// A stand-in for the link library, for the start-up tests only: it records the
// calls made on its link object and never talks to an ECU. When the
// environment names a file in FAKE_LINK_LOG, the record of calls is written
// there as the object is destroyed. Its OpenLink fails, giving as its reason
// whatever FAKE_LINK_REASON holds. Built three times: as a whole library,
// (FAKE_LINK_WITHOUT_FACTORY) without _CreateClassInstance, and
// (FAKE_LINK_WITHOUT_REASON) without _GetLastFailureText, as an older library.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "EcuLink.h"

namespace {
std::string callLog;
std::string lastFailure;

void Record(const std::string& call) {
  if (!callLog.empty()) callLog += ' ';
  callLog += call;
}

class FakeLink final : public ecu::EcuLink {
 public:
  int GetPortInUse() override { return 0; }
  void SetStartOptionA(int option) override {
    Record("SetStartOptionA(" + std::to_string(option) + ")");
  }
  void SetStartOptionB(int option) override {
    Record("SetStartOptionB(" + std::to_string(option) + ")");
  }
  void AttachScreen(ecu::ConnectionSink* sink) override {
    Record(sink != nullptr ? "AttachScreen(sink)" : "AttachScreen(null)");
  }
  int IsConnected() override { return 0; }
  bool Connect() override {
    Record("Connect");
    return false;
  }
  void Disconnect() override { Record("Disconnect"); }
  bool ReadParameter(std::uint32_t, std::int32_t*) override { return false; }
  bool ReadLiveBlock(int, std::uint8_t*, int) override { return false; }
  bool WriteParameter(std::uint32_t, std::int32_t) override { return false; }
  bool WriteParameterElement(std::uint32_t, int, std::int32_t) override { return false; }
  bool ReadIdentification(ecu::Identification*) override {
    Record("ReadIdentification");
    return false;
  }
  bool OpenLink() override {
    Record("OpenLink");
    const char* reason = std::getenv("FAKE_LINK_REASON");
    lastFailure = reason != nullptr ? reason : "";
    return false;
  }
  void SetIndicatorOutput(int, int) override {}
};
}  // namespace

extern "C" {
__attribute__((visibility("default"))) const char* FakeLinkLog() {
  return callLog.c_str();
}
__attribute__((visibility("default"))) void FakeLinkClearLog() {
  callLog.clear();
}

#ifndef FAKE_LINK_WITHOUT_REASON
__attribute__((visibility("default"))) int _GetLastFailureText(char* buffer, int size) {
  if (buffer != nullptr && size > 0) {
    const std::size_t copied = std::min(lastFailure.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, lastFailure.data(), copied);
    buffer[copied] = '\0';
  }
  return static_cast<int>(lastFailure.size());
}
#endif

#ifndef FAKE_LINK_WITHOUT_FACTORY
__attribute__((visibility("default"))) ecu::EcuLink* _CreateClassInstance() {
  Record("Create");
  return new FakeLink;
}
#endif

__attribute__((visibility("default"))) void _DestroyClassInstance(ecu::EcuLink* link) {
  Record("Destroy");
  delete static_cast<FakeLink*>(link);
  if (const char* path = std::getenv("FAKE_LINK_LOG")) {
    if (std::FILE* file = std::fopen(path, "w")) {
      std::fputs(callLog.c_str(), file);
      std::fclose(file);
    }
  }
  callLog.clear();
}
}
