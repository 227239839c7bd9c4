#include "LiveSample.h"

#include <cstdio>

#include "ConfCar.h"

int RpmOfPeriod(int period) {
  return period == 0 || period == 255 ? 0 : (120000 / period) / 100 * 100;
}

int CentivoltsOfRaw(int raw) {
  return static_cast<int>((raw + 0.5) * 500 / 255);
}

void ApplyFastBlock(const LiveBlock& block, LiveSample* sample) {
  sample->rpm = RpmOfPeriod(block[0]);
  sample->lambdaCentivolts = CentivoltsOfRaw(block[1]);
  sample->tpsCentivolts = CentivoltsOfRaw(block[2]);
  sample->cutOff = (block[4] & 0x04) != 0;
  sample->actuator = block[5];
}

void ApplySlowBlock(const LiveBlock& block, LiveSample* sample) {
  sample->temperature = block[0] == 0 ? -1000 : static_cast<int>(TemperatureOfRaw(block[0]));
  sample->gasLevel = block[1];
  sample->onGas = (block[2] & 0x08) != 0;
  sample->defaultPosition = block[4];
}

namespace {

std::string Volts(int centivolts) {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d", centivolts / 100, centivolts % 100);
  return text;
}

std::string Temperature(const LiveSample& s, const char* missing) {
  return s.temperature == -1000 ? missing : std::to_string(s.temperature);
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
