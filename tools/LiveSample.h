// One reading of the live values for the command line: the model's decoding
// of the fast and slow live blocks, and its text and CSV forms.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "EcuLink.h"
#include "LiveBlocks.h"

struct LiveSample {
  int rpm = 0;
  int lambdaCentivolts = 0;
  int tpsCentivolts = 0;
  int temperature = live::kNoTemperature;  // degrees
  int gasLevel = 0;
  bool onGas = false;
  int actuator = 0;
  int defaultPosition = 0;
  bool cutOff = false;
};

using LiveBlock = std::array<std::uint8_t, ecu::kLiveBlockSize>;

void ApplyFastBlock(const LiveBlock& block, LiveSample* sample);
void ApplySlowBlock(const LiveBlock& block, LiveSample* sample);

std::string CsvHeader();
std::string AsCsv(int index, const LiveSample& sample);
std::string AsText(const LiveSample& sample);
