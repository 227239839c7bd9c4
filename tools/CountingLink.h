// A link that passes every call on to another and counts what goes through
// it: the exchanges the caller asks for (retries inside the library are not
// counted again), and the parameter writes by outcome, so that a run cut
// short can say how far it came.
#pragma once

#include <atomic>
#include <cstdint>

#include "EcuLink.h"

class CountingLink final : public ecu::EcuLink {
 public:
  explicit CountingLink(ecu::EcuLink& inner) : inner_(inner) {}

  int GetPortInUse() override;
  void SetStartOptionA(int option) override;
  void SetStartOptionB(int option) override;
  void AttachScreen(ecu::ConnectionSink* sink) override;
  int IsConnected() override;
  bool Connect() override;
  void Disconnect() override;
  bool ReadParameter(std::uint32_t code, std::int32_t* destination) override;
  bool ReadLiveBlock(int kind, std::uint8_t* buffer, int length) override;
  bool WriteParameter(std::uint32_t code, std::int32_t value) override;
  bool WriteParameterElement(std::uint32_t code, int index, std::int32_t value) override;
  bool ReadIdentification(ecu::Identification* record) override;
  bool OpenLink() override;
  void SetIndicatorOutput(int value, int second) override;

  // Connects, reads, writes, identifications and indicator outputs asked for;
  // another thread may read it while the link works.
  std::atomic<long> exchanges{0};
  // The parameter writes by outcome.
  int written = 0;  // the ECU took the value
  int refused = 0;  // the ECU answered no
  int unsent = 0;   // the ECU had stopped answering

 private:
  void CountExchange() { ++exchanges; }
  bool CountWrite(bool taken);

  ecu::EcuLink& inner_;
};
