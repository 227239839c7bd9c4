// One reading of the live values, decoded from the fast and slow live blocks
// the way the live view shows them, and its text and CSV forms.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "EcuLink.h"

struct LiveSample {
  int rpm = 0;
  int lambdaCentivolts = 0;
  int tpsCentivolts = 0;
  int temperature = -1000;  // degrees; -1000 not available
  int gasLevel = 0;
  bool onGas = false;
  int actuator = 0;
  int defaultPosition = 0;
  bool cutOff = false;
};

using LiveBlock = std::array<std::uint8_t, ecu::kLiveBlockSize>;

// Engine speed from a period byte: 0 and 255 mean stopped.
int RpmOfPeriod(int period);
// Hundredths of a volt from a raw 0..255 reading over 0..5 V.
int CentivoltsOfRaw(int raw);

void ApplyFastBlock(const LiveBlock& block, LiveSample* sample);
void ApplySlowBlock(const LiveBlock& block, LiveSample* sample);

std::string CsvHeader();
std::string AsCsv(int index, const LiveSample& sample);
std::string AsText(const LiveSample& sample);
