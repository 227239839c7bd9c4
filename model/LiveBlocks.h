// Decoding of the two live blocks the ECU sends while the engine runs: the
// fast block (kind 0, engine speed, lambda, TPS, actuator) and the slow block
// (kind 1, temperature, gas level, fuel in use, default position). One place
// for the live view, the level-sensor window and the command-line companion.
#pragma once

#include <array>
#include <cstdint>

#include "EcuLink.h"

namespace live {

// Engine speed from a period byte: (120000 / b) / 100 * 100 with integer
// divisions; 0 and 255 mean the engine stands still.
int RpmOfPeriod(int period);
// Hundredths of a volt from a raw 0..255 reading over 0..5 V:
// trunc((raw + 0.5) * 500 / 255).
int CentivoltsOfRaw(int raw);

// The lambda scale (low end, high end) in hundredths of a volt of a probe
// type (its position in the probe list: 0-1 V, 0-5 V type A and B, 5-0 V
// type A and B, 0.8-1.6 V) with the 0.8-1.6 V probe's offset. The high end
// is the rich end; the 5-0 V probes have it below the low end.
std::array<int, 2> LambdaScale(int probeType, int offsetCentivolts);

// Temperature value meaning "no sensor reading".
constexpr int kNoTemperature = -1000;

struct FastValues {
  int rpm = 0;
  int lambdaCentivolts = 0;
  int tpsCentivolts = 0;
  int tpsZone = 0;       // 0..3
  int lambdaStatus = 0;  // 0..3
  std::uint8_t flags = 0;
  bool upperLimit = false;  // flag 0x80
  bool lowerLimit = false;  // flag 0x40
  bool cutOff = false;      // flag 0x04
  int actuator = 0;         // steps 0..255
};

struct SlowValues {
  int temperature = kNoTemperature;  // degrees Celsius
  int gasLevel = 0;                  // raw level as the ECU sends it
  std::uint8_t flags = 0;
  bool onGas = false;                // flag 0x08; clear: on petrol
  bool showActuatorWindows = false;  // flag 0x01
  int minTpsCentivolts = 0;
  int defaultPosition = 0;  // steps 0..255
};

// block points to at least the leading six (fast) or five (slow) bytes of a
// live block of ecu::kLiveBlockSize bytes.
FastValues DecodeFast(const std::uint8_t* block);
SlowValues DecodeSlow(const std::uint8_t* block);

using Block = std::array<std::uint8_t, ecu::kLiveBlockSize>;

// How the minimum TPS voltage is shown: read from the store whenever a slow
// block arrives.
struct MinTpsRule {
  int hysteresis = 0;         // the idle TPS hysteresis in hundredths of a volt
  bool fixedIdleTps = false;  // the fixed idle TPS option
  bool invertedTps = false;   // the store's inverted-TPS flag
};
// The minimum TPS voltage shown for the one the ECU sent.
int MinTpsShown(int minTps, const MinTpsRule& rule);

// One poll of the ECU: which reads were made and what they brought. The live
// view renders it, the recorder writes it, a replay rebuilds it.
struct Sample {
  double time = 0;         // seconds since polling started
  bool connected = false;
  bool fastRead = false;   // the fast block arrived
  bool slowDue = false;    // the slow block was asked for on this poll
  bool slowRead = false;   // ... and arrived
  Block fast{};
  Block slow{};
  MinTpsRule minTpsRule;   // valid when slowRead
};

}  // namespace live
