#include "EcuMemory.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace vecu {
namespace {

struct Cell {
  int address;
  std::vector<int> factory;  // one value per element
};

// Every address the ECU holds, with its factory values. Address 54 is the fuel
// overlap time (shown by the program both in seconds and in milliseconds);
// address 1 the option byte, 22 the deceleration byte.
const std::vector<Cell>& Cells() {
  static const std::vector<Cell> cells = {
      {1, {0}},
      {2, {50}},
      {3, {0}},
      {4, {0}},
      {5, {18}},
      {6, {18}},
      {7, {0}},
      {8, {1}},
      {9, {60}},
      {10, {80}},
      {12, {40}},
      {13, {60}},
      {14, {20}},
      {15, {80}},
      {16, {40}},
      {17, {0}},
      {18, {5}},
      {19, {250}},
      {22, {251}},
      {23, {102}},
      {24, {7}},
      {25, {0, 102, 178}},
      {27, {28, 28}},
      {28, {28}},
      {30, {40}},
      {31, {25}},
      {32, {25}},
      {33, {40}},
      {34, {40}},
      {35, {0}},
      {36, {255}},
      {38, {255}},
      {39, {100}},
      {40, {100}},
      {41, {12}},
      {42, {80}},
      {43, {0}},
      {44, {0}},
      {45, {1}},
      {46, {4}},
      {48, {30}},
      {51, {1}},
      {52, {0}},
      {53, {0}},
      {54, {20}},
      {55, {0}},
      {56, {60}},
      {57, {0}},
      {58, {156}},
      {59, {129}},
      {60, {25, 55, 114, 161, 215, 225}},
      {61, {20, 50, 100, 150, 200, 250}},
      {62, {12}},
      {63, {0}},
      {64, {0}},
      {66, {0}},
      {68, {51}},
  };
  return cells;
}

struct Layout {
  std::array<int, kAddressCount> size{};
  std::array<int, kAddressCount> offset{};
  int total = 0;
};

const Layout& TheLayout() {
  static const Layout layout = [] {
    Layout l;
    l.offset.fill(-1);
    for (const Cell& cell : Cells()) {
      l.size[static_cast<std::size_t>(cell.address)] = static_cast<int>(cell.factory.size());
      l.offset[static_cast<std::size_t>(cell.address)] = l.total;
      l.total += static_cast<int>(cell.factory.size());
    }
    return l;
  }();
  return layout;
}

const Cell* CellAt(int address) {
  for (const Cell& cell : Cells()) {
    if (cell.address == address) return &cell;
  }
  return nullptr;
}

}  // namespace

EcuMemory::EcuMemory() : bytes_(static_cast<std::size_t>(TheLayout().total)) {
  Erase();
}

int EcuMemory::Size(int address) {
  if (address < 0 || address >= kAddressCount) return 0;
  return TheLayout().size[static_cast<std::size_t>(address)];
}

int EcuMemory::Offset(int address) {
  if (address < 0 || address >= kAddressCount) return -1;
  return TheLayout().offset[static_cast<std::size_t>(address)];
}

int EcuMemory::Factory(int address, int index) {
  const Cell* cell = CellAt(address);
  if (cell == nullptr || index < 0 || index >= static_cast<int>(cell->factory.size())) return 0;
  return cell->factory[static_cast<std::size_t>(index)];
}

Refused EcuMemory::Read(int address, int index, int count,
                        std::vector<std::uint8_t>* values) const {
  const int size = Size(address);
  if (size == 0) return wire::Refusal::UnknownAddress;
  if (address == kCustomerCodeAddress) return wire::Refusal::WriteOnly;
  if (count < 1 || index < 0 || index + count > size) return wire::Refusal::OutOfRange;
  const auto first = bytes_.begin() + Offset(address) + index;
  values->assign(first, first + count);
  return std::nullopt;
}

Refused EcuMemory::Write(int address, int index, int value) {
  const int size = Size(address);
  if (size == 0) return wire::Refusal::UnknownAddress;
  if (index < 0 || index >= size) return wire::Refusal::OutOfRange;
  if (address == kCustomerCodeAddress) {
    if (value < 0 || value > kMaxCustomerCode) return wire::Refusal::BadValue;
    customerCode_ = value;
    return std::nullopt;
  }
  if (value < 0 || value > 255) return wire::Refusal::BadValue;
  Set(address, index, value);
  return std::nullopt;
}

int EcuMemory::Get(int address, int index) const {
  const int offset = Offset(address);
  if (offset < 0 || index < 0 || index >= Size(address)) return 0;
  return bytes_[static_cast<std::size_t>(offset + index)];
}

void EcuMemory::Set(int address, int index, int value) {
  const int offset = Offset(address);
  if (offset < 0 || index < 0 || index >= Size(address)) return;
  bytes_[static_cast<std::size_t>(offset + index)] = static_cast<std::uint8_t>(value & 0xFF);
}

void EcuMemory::Erase() {
  for (const Cell& cell : Cells()) {
    for (std::size_t i = 0; i < cell.factory.size(); ++i) {
      Set(cell.address, static_cast<int>(i), cell.factory[i]);
    }
  }
  customerCode_ = 0;
}

bool EcuMemory::Load(const std::string& path) {
  std::ifstream in(path);
  if (!in) return false;
  EcuMemory loaded;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int address = -1;
    if (!(fields >> address) || Size(address) == 0) return false;
    std::vector<int> values;
    for (int v = 0; fields >> v;) values.push_back(v);
    if (!fields.eof() || static_cast<int>(values.size()) != Size(address)) return false;
    for (std::size_t i = 0; i < values.size(); ++i) {
      if (loaded.Write(address, static_cast<int>(i), values[i])) return false;
    }
  }
  *this = loaded;
  return true;
}

bool EcuMemory::Save(const std::string& path) const {
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    if (!out) return false;
    out << "# virtual ECU memory: address, then its values\n";
    for (const Cell& cell : Cells()) {
      out << cell.address;
      if (cell.address == kCustomerCodeAddress) {
        out << ' ' << customerCode_;
      } else {
        for (int i = 0; i < Size(cell.address); ++i) out << ' ' << Get(cell.address, i);
      }
      out << '\n';
    }
    out.flush();
    if (!out) {
      std::remove(temporary.c_str());
      return false;
    }
  }
  return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace vecu
