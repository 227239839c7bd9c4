// The virtual ECU's parameter memory, by ECU address: which addresses exist,
// how many elements each holds, their factory values, the write-only customer
// code, the erase back to factory values, and keeping the memory in a file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Protocol.h"

namespace vecu {

constexpr int kAddressCount = 256;
constexpr int kCustomerCodeAddress = 64;
constexpr int kMaxCustomerCode = 999;
// Addresses the ECU itself keeps up to date while the engine runs (the
// default position only while the option byte's fixed-default bit is off).
constexpr int kDefaultPositionAddress = 40;
constexpr int kErrorFlagsAddress = 53;
constexpr int kOptionAddress = 1;
constexpr int kFixedDefaultBit = 0x01;

// Outcome of a memory access: nothing means done, otherwise why not.
using Refused = std::optional<wire::Refusal>;

class EcuMemory {
 public:
  EcuMemory();

  // Elements held at an address: 0 where there is no parameter.
  static int Size(int address);
  static bool Readable(int address) { return Size(address) > 0 && address != kCustomerCodeAddress; }
  // Factory value of one element.
  static int Factory(int address, int index);

  Refused Read(int address, int index, int count, std::vector<std::uint8_t>* values) const;
  Refused Write(int address, int index, int value);
  // Element value without any check (engine model, tests); 0 outside the map.
  int Get(int address, int index = 0) const;
  void Set(int address, int index, int value);
  int CustomerCode() const { return customerCode_; }
  void Erase();

  // Text file, one line per address: "address value value...". Load keeps the
  // factory value of anything the file does not give; false when the file
  // cannot be read or holds a malformed line (the memory is then unchanged).
  bool Load(const std::string& path);
  // Written to a temporary file and renamed, so a crash never leaves half a file.
  bool Save(const std::string& path) const;

  bool operator==(const EcuMemory& other) const = default;

 private:
  static int Offset(int address);
  std::vector<std::uint8_t> bytes_;
  int customerCode_ = 0;
};

}  // namespace vecu
