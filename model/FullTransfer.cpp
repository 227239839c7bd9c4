// The bulk transfers: the full read after a connection, the write of the whole
// store after a file load, and the whole-array transfers of the two tables.
#include <array>
#include <vector>

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
  const auto first = static_cast<std::size_t>(params::OwnSlot(identifier));
  if (!link_->ReadParameter(params::Code(identifier), &image_[first])) return;
  for (std::size_t i = 0; i < static_cast<std::size_t>(params::ElementCount(identifier)); ++i)
    ecuImage_[first + i] = image_[first + i];
}

int ConfCar::ReadAll() {
  for (std::size_t group = 0; group < kReadGroups.size(); ++group) {
    for (const int identifier : kReadGroups[group]) ReadInto(identifier);
    if (group + 1 < kReadGroups.size()) Progress(kGroupProgress, true);
  }
  // The switch type and the gas start temperature are not read from the ECU.
  image_[params::kSwitchTypeSlot] = 0;
  image_[params::kGasStartTemperatureSlot] = 0;
  ecuImage_ = image_;
  Progress(100, false);
  return 0;
}

std::vector<params::WriteStep> params::FullWriteOrder() {
  std::vector<WriteStep> steps;
  auto elements = [&steps](int identifier) {
    for (int i = 0; i < ElementCount(identifier); ++i) steps.push_back({identifier, i});
  };
  for (const int identifier : kWriteScalarsFirst) steps.push_back({identifier, -1});
  elements(25);
  elements(27);
  for (const int identifier : kWriteScalarsThen) steps.push_back({identifier, -1});
  elements(61);
  elements(60);
  return steps;
}

int ConfCar::WriteAll() {
  if (link_ == nullptr) return 0;
  // Every answer is ignored here; the observer hears each one.
  BeginBulkWrite(BulkWrite::kFileLoad, FileName());
  const bool calibrated = params::IsCalibratedLevelSensor(image_[params::kLevelSensorTypeSlot]);
  for (const auto& [identifier, element] : params::FullWriteOrder()) {
    if (identifier == 60 && !calibrated) continue;
    const int slot = params::OwnSlot(identifier) + (element < 0 ? 0 : element);
    // Elements go by the array's address alone, as the ECU takes them.
    const std::uint32_t code =
        element < 0 ? params::Code(identifier) : static_cast<std::uint32_t>(identifier);
    Send(identifier, element, code, slot, image_[static_cast<std::size_t>(slot)]);
  }
  EndBulkWrite(BulkWrite::kFileLoad);
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
  const int first = params::OwnSlot(identifier);
  for (int i = 0; i < 6; ++i) {
    if (!Send(identifier, i, static_cast<std::uint32_t>(identifier), first + i, values[i]))
      return 0;
  }
  for (int i = 0; i < 6; ++i) image_[static_cast<std::size_t>(first + i)] = values[i];
  return 1;
}
