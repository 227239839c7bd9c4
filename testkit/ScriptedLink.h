// An in-process ECU link for the shell's unit tests: each step of connecting
// answers as the test scripted it, every call is recorded in order, reads are
// answered from a pattern by ECU address, and a hook runs at every read so a
// test can look at the screen while a synchronous full read is under way.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "EcuLink.h"

class ScriptedLink final : public ecu::EcuLink {
 public:
  struct Write {
    std::uint32_t code = 0;
    std::int32_t value = 0;
    bool operator==(const Write&) const = default;
  };

  bool openOk = true;
  bool connectOk = true;
  bool identificationOk = true;
  ecu::Identification identification{18, 0, 0, 23};
  int port = 0;
  int connected = 0;
  std::vector<std::string> calls;  // "OpenLink", "Connect", "Disconnect", ...
  std::vector<Write> writes;
  int reads = 0;
  std::function<void()> onRead;

  // The raw value the ECU holds at an address.
  static std::int32_t ValueAt(int address) { return (address * 3 + 5) % 200; }

  bool Called(const std::string& call) const {
    for (const auto& c : calls)
      if (c == call) return true;
    return false;
  }

  int GetPortInUse() override { return port; }
  void SetStartOptionA(int) override {}
  void SetStartOptionB(int) override {}
  void AttachScreen(ecu::ConnectionSink*) override {}
  int IsConnected() override { return connected; }
  bool Connect() override {
    calls.emplace_back("Connect");
    connected = connectOk ? 1 : 0;
    return connectOk;
  }
  void Disconnect() override {
    calls.emplace_back("Disconnect");
    connected = 0;
  }
  bool ReadParameter(std::uint32_t code, std::int32_t* destination) override {
    ++reads;
    if (onRead) onRead();
    const int count = ecu::CodeIsArray(code) ? ecu::CodeElementCount(code) : 1;
    for (int i = 0; i < count; ++i) destination[i] = ValueAt(ecu::CodeAddress(code) + i);
    return true;
  }
  bool ReadLiveBlock(int, std::uint8_t*, int) override { return false; }
  bool WriteParameter(std::uint32_t code, std::int32_t value) override {
    writes.push_back({code, value});
    return true;
  }
  bool WriteParameterElement(std::uint32_t code, int, std::int32_t value) override {
    writes.push_back({code, value});
    return true;
  }
  bool ReadIdentification(ecu::Identification* record) override {
    calls.emplace_back("ReadIdentification");
    if (identificationOk) *record = identification;
    return identificationOk;
  }
  bool OpenLink() override {
    calls.emplace_back("OpenLink");
    return openOk;
  }
  void SetIndicatorOutput(int, int) override {}
};
