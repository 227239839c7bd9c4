// An in-process link that is either connected or not and records nothing.
#pragma once

#include "EcuLink.h"

class StubLink final : public ecu::EcuLink {
 public:
  int connected = 0;
  int GetPortInUse() override { return 0; }
  void SetStartOptionA(int) override {}
  void SetStartOptionB(int) override {}
  void AttachScreen(ecu::ConnectionSink*) override {}
  int IsConnected() override { return connected; }
  bool Connect() override { return false; }
  void Disconnect() override {}
  bool ReadParameter(std::uint32_t, std::int32_t*) override { return false; }
  bool ReadLiveBlock(int, std::uint8_t*, int) override { return false; }
  bool WriteParameter(std::uint32_t, std::int32_t) override { return false; }
  bool WriteParameterElement(std::uint32_t, int, std::int32_t) override { return false; }
  bool ReadIdentification(ecu::Identification*) override { return false; }
  bool OpenLink() override { return false; }
  void SetIndicatorOutput(int, int) override {}
};
