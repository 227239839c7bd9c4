#include "CountingLink.h"

int CountingLink::GetPortInUse() {
  return inner_.GetPortInUse();
}

void CountingLink::SetStartOptionA(int option) {
  inner_.SetStartOptionA(option);
}

void CountingLink::SetStartOptionB(int option) {
  inner_.SetStartOptionB(option);
}

void CountingLink::AttachScreen(ecu::ConnectionSink* sink) {
  inner_.AttachScreen(sink);
}

int CountingLink::IsConnected() {
  return inner_.IsConnected();
}

bool CountingLink::Connect() {
  CountExchange();
  return inner_.Connect();
}

void CountingLink::Disconnect() {
  inner_.Disconnect();
}

bool CountingLink::ReadParameter(std::uint32_t code, std::int32_t* destination) {
  CountExchange();
  return inner_.ReadParameter(code, destination);
}

bool CountingLink::ReadLiveBlock(int kind, std::uint8_t* buffer, int length) {
  CountExchange();
  return inner_.ReadLiveBlock(kind, buffer, length);
}

bool CountingLink::WriteParameter(std::uint32_t code, std::int32_t value) {
  CountExchange();
  return CountWrite(inner_.WriteParameter(code, value));
}

bool CountingLink::WriteParameterElement(std::uint32_t code, int index, std::int32_t value) {
  CountExchange();
  return CountWrite(inner_.WriteParameterElement(code, index, value));
}

bool CountingLink::ReadIdentification(ecu::Identification* record) {
  CountExchange();
  return inner_.ReadIdentification(record);
}

bool CountingLink::OpenLink() {
  return inner_.OpenLink();
}

void CountingLink::SetIndicatorOutput(int value, int second) {
  CountExchange();
  inner_.SetIndicatorOutput(value, second);
}

bool CountingLink::CountWrite(bool taken) {
  // A write that did not go through tells by the link's state whether the
  // ECU said no or had stopped answering.
  (taken ? written : inner_.IsConnected() ? refused : unsent) += 1;
  return taken;
}
