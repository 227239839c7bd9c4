// The bulk transfers: the full read after a connection, the write of the whole
// store after a file load, and the whole-array transfers of the two tables.
#include <array>

#include "ConfCar.h"
#include "ParameterTable.h"

namespace {

// Full read, group by group; a progress step follows every group but the last.
constexpr std::array<std::initializer_list<int>, 12> kReadGroups = {{
    {1, 2, 62},
    {57, 63, 58, 56},
    {54, 3, 59, 4, 51},
    {5, 6, 7, 8, 39},
    {38, 36, 35, 31},
    {32, 33, 34},
    {41, 42, 60},
    {66, 40, 23, 24, 61},
    {9, 10, 25, 27},
    {28, 17, 12, 13, 45},
    {44, 18, 48, 43, 22, 55},
    {30, 19, 52, 53, 14, 15, 16, 46},
}};
constexpr int kGroupProgress = 9;

constexpr std::array kWriteScalarsFirst = {1,  2,  62, 57, 58, 63, 56, 54, 3,  59, 4,
                                           51, 5,  6,  7,  8,  39, 38, 36, 35, 31, 32,
                                           33, 34, 41, 42, 66, 40, 23, 24, 9,  10};
constexpr std::array kWriteScalarsThen = {28, 17, 12, 13, 45, 44, 18, 48, 43, 22,
                                          55, 30, 19, 52, 53, 14, 15, 16, 46};

bool IsWholeArray(int identifier) {
  return identifier == 60 || identifier == 61;
}

}  // namespace

void ConfCar::ReadInto(int identifier) {
  if (link_ == nullptr) return;
  // The answer is not examined: a failed read leaves the slot as it was.
  link_->ReadParameter(params::Code(identifier),
                       &image_[static_cast<std::size_t>(params::OwnSlot(identifier))]);
}

int ConfCar::ReadAll() {
  for (std::size_t group = 0; group < kReadGroups.size(); ++group) {
    for (const int identifier : kReadGroups[group]) ReadInto(identifier);
    if (group + 1 < kReadGroups.size()) Progress(kGroupProgress, true);
  }
  // The switch type and the gas start temperature are not read from the ECU.
  image_[params::kSwitchTypeSlot] = 0;
  image_[params::kGasStartTemperatureSlot] = 0;
  Progress(100, false);
  return 0;
}

int ConfCar::WriteAll() {
  if (link_ == nullptr) return 0;
  auto writeScalar = [this](int identifier) {
    link_->WriteParameter(params::Code(identifier),
                          image_[static_cast<std::size_t>(params::OwnSlot(identifier))]);
  };
  // Elements go by the array's address alone, as the ECU takes them.
  auto writeElements = [this](int identifier) {
    const int first = params::OwnSlot(identifier);
    for (int i = 0; i < params::ElementCount(identifier); ++i) {
      link_->WriteParameterElement(static_cast<std::uint32_t>(identifier), i,
                                   image_[static_cast<std::size_t>(first + i)]);
    }
  };
  for (const int identifier : kWriteScalarsFirst) writeScalar(identifier);
  writeElements(25);
  writeElements(27);
  for (const int identifier : kWriteScalarsThen) writeScalar(identifier);
  writeElements(61);
  if (params::IsCalibratedLevelSensor(image_[params::kLevelSensorTypeSlot])) writeElements(60);
  return 0;
}

int ConfCar::ReadArray(int identifier, int buffer[6]) {
  if (!IsWholeArray(identifier)) return 0;
  ReadInto(identifier);
  const int first = params::OwnSlot(identifier);
  for (int i = 0; i < 6; ++i) buffer[i] = image_[static_cast<std::size_t>(first + i)];
  return 1;
}

int ConfCar::WriteArray(int identifier, const int values[6]) {
  if (!IsWholeArray(identifier) || link_ == nullptr) return 0;
  // Every slot holds one byte, as SetElement keeps it: a table with a value
  // that does not fit is refused before anything is sent.
  for (int i = 0; i < 6; ++i) {
    if (values[i] < 0 || values[i] > 255) return 0;
  }
  for (int i = 0; i < 6; ++i) {
    if (!link_->WriteParameterElement(static_cast<std::uint32_t>(identifier), i, values[i]))
      return 0;
  }
  const int first = params::OwnSlot(identifier);
  for (int i = 0; i < 6; ++i) image_[static_cast<std::size_t>(first + i)] = values[i];
  return 1;
}
