#include "LiveBlocks.h"

#include <cmath>

#include "ConfCar.h"

namespace live {

int RpmOfPeriod(int period) {
  if (period <= 0 || period >= 255) return 0;
  return ((120000 / period) / 100) * 100;
}

int CentivoltsOfRaw(int raw) {
  return static_cast<int>(std::trunc((raw + 0.5) * 500 / 255));
}

std::array<int, 2> LambdaScale(int probeType, int offsetCentivolts) {
  switch (probeType) {
    case 1:
    case 2:
      return {0, 500};
    case 3:
    case 4:
      return {500, 0};
    case 5:
      return {offsetCentivolts, offsetCentivolts + 80};
    default:
      return {0, 100};
  }
}

FastValues DecodeFast(const std::uint8_t* block) {
  FastValues v;
  v.rpm = RpmOfPeriod(block[0]);
  v.lambdaCentivolts = CentivoltsOfRaw(block[1]);
  v.tpsCentivolts = CentivoltsOfRaw(block[2]);
  v.tpsZone = block[3] & 0x03;
  v.lambdaStatus = (block[3] >> 4) & 0x03;
  v.flags = block[4];
  v.upperLimit = (block[4] & 0x80) != 0;
  v.lowerLimit = (block[4] & 0x40) != 0;
  v.cutOff = (block[4] & 0x04) != 0;
  v.actuator = block[5];
  return v;
}

SlowValues DecodeSlow(const std::uint8_t* block) {
  SlowValues v;
  v.temperature = block[0] == 0 ? kNoTemperature : static_cast<int>(TemperatureOfRaw(block[0]));
  v.gasLevel = block[1];
  v.flags = block[2];
  v.onGas = (block[2] & 0x08) != 0;
  v.showActuatorWindows = (block[2] & 0x01) != 0;
  v.minTpsCentivolts = CentivoltsOfRaw(block[3]);
  v.defaultPosition = block[4];
  return v;
}

int MinTpsShown(int minTps, const MinTpsRule& rule) {
  int shown = minTps;
  if (shown + rule.hysteresis < 500 && rule.fixedIdleTps) shown += rule.hysteresis;
  if (rule.invertedTps) shown = 500 - shown;
  return shown;
}

}  // namespace live
