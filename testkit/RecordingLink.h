// A link for unit tests: answers reads from a table by ECU address, refuses the
// writes a test names, and records every call in order.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "EcuLink.h"

class RecordingLink : public ecu::EcuLink {
 public:
  struct Call {
    std::string op;  // "read", "write", "element", "ident"
    std::uint32_t code = 0;
    int index = 0;
    std::int32_t value = 0;
    bool operator==(const Call&) const = default;
  };

  // Values the ECU holds, by address; arrays by address and element.
  std::map<int, std::vector<std::int32_t>> memory;
  std::set<std::uint32_t> refusedCodes;  // WriteParameter / element code refused
  int refuseElementFrom = -1;            // element writes refused from this index on
  bool failReads = false;
  bool connected = false;
  ecu::Identification identification{18, 0, 1, 7};
  std::vector<Call> calls;

  std::vector<Call> Writes() const {
    std::vector<Call> out;
    for (const auto& c : calls)
      if (c.op == "write" || c.op == "element") out.push_back(c);
    return out;
  }

  int GetPortInUse() override { return 0; }
  void SetStartOptionA(int) override {}
  void SetStartOptionB(int) override {}
  void AttachScreen(ecu::ConnectionSink*) override {}
  int IsConnected() override { return connected ? 1 : 0; }
  bool Connect() override { return true; }
  void Disconnect() override {}
  bool ReadParameter(std::uint32_t code, std::int32_t* destination) override {
    calls.push_back({"read", code, 0, 0});
    const auto found = memory.find(ecu::CodeAddress(code));
    if (failReads || found == memory.end()) return false;
    const int count = ecu::CodeIsArray(code) ? ecu::CodeElementCount(code) : 1;
    for (int i = 0; i < count && i < static_cast<int>(found->second.size()); ++i)
      destination[i] = found->second[static_cast<std::size_t>(i)];
    return true;
  }
  bool ReadLiveBlock(int, std::uint8_t*, int) override { return false; }
  bool WriteParameter(std::uint32_t code, std::int32_t value) override {
    calls.push_back({"write", code, 0, value});
    return refusedCodes.count(code) == 0;
  }
  bool WriteParameterElement(std::uint32_t code, int index, std::int32_t value) override {
    calls.push_back({"element", code, index, value});
    if (refusedCodes.count(code) != 0) return false;
    return refuseElementFrom < 0 || index < refuseElementFrom;
  }
  bool ReadIdentification(ecu::Identification* record) override {
    calls.push_back({"ident", 0, 0, 0});
    *record = identification;
    return true;
  }
  bool OpenLink() override { return true; }
  void SetIndicatorOutput(int, int) override {}
};
