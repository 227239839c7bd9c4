#include "LiveSample.h"

#include <cstdio>

#include "LiveBlocks.h"

void ApplyFastBlock(const LiveBlock& block, LiveSample* sample) {
  const live::FastValues fast = live::DecodeFast(block.data());
  sample->rpm = fast.rpm;
  sample->lambdaCentivolts = fast.lambdaCentivolts;
  sample->tpsCentivolts = fast.tpsCentivolts;
  sample->cutOff = fast.cutOff;
  sample->actuator = fast.actuator;
}

void ApplySlowBlock(const LiveBlock& block, LiveSample* sample) {
  const live::SlowValues slow = live::DecodeSlow(block.data());
  sample->temperature = slow.temperature;
  sample->gasLevel = slow.gasLevel;
  sample->onGas = slow.onGas;
  sample->defaultPosition = slow.defaultPosition;
}

namespace {

std::string Volts(int centivolts) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d", centivolts / 100, centivolts % 100);
  return text;
}

std::string Temperature(const LiveSample& s, const char* missing) {
  return s.temperature == live::kNoTemperature ? missing : std::to_string(s.temperature);
}

}  // namespace

std::string CsvHeader() {
  return "sample,rpm,lambda_v,tps_v,temperature_c,gas_level,fuel,actuator,default_position,cut_off";
}

std::string AsCsv(int index, const LiveSample& s) {
  return std::to_string(index) + "," + std::to_string(s.rpm) + "," + Volts(s.lambdaCentivolts) +
         "," + Volts(s.tpsCentivolts) + "," + Temperature(s, "") + "," +
         std::to_string(s.gasLevel) + "," + (s.onGas ? "gas" : "petrol") + "," +
         std::to_string(s.actuator) + "," + std::to_string(s.defaultPosition) + "," +
         (s.cutOff ? "1" : "0");
}

std::string AsText(const LiveSample& s) {
  return "rpm " + std::to_string(s.rpm) + "  lambda " + Volts(s.lambdaCentivolts) + " V  tps " +
         Volts(s.tpsCentivolts) + " V  temperature " + Temperature(s, "n.d.") + "  gas level " +
         std::to_string(s.gasLevel) + "  fuel " + (s.onGas ? "gas" : "petrol") + "  actuator " +
         std::to_string(s.actuator) + " (default " + std::to_string(s.defaultPosition) + ")" +
         (s.cutOff ? "  CUT-OFF" : "");
}
