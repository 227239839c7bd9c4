#include "ConfCar.h"

#include "ParameterTable.h"

IoBaseData::IoBaseData(std::string_view fileName) {
  SetFileName(fileName);
}

bool IoBaseData::SetFileName(std::string_view fileName) {
  if (fileName.size() > kMaxFileNameLength) return false;
  fileName_.assign(fileName);
  return true;
}

ConfCar::ConfCar(std::string_view fileName, ecu::EcuLink* link)
    : IoBaseData(fileName), link_(link) {
  ResetDefaults();
  ecuImage_ = image_;
}

void ConfCar::ResetDefaults() {
  image_ = params::Defaults();
  // The two temperature defaults are the sensor readings of 15 °C and 60 °C.
  image_[params::Row(params::Id::ChangeOverMinimumTemperature).slot] = RawOfTemperature(15.0f);
  image_[params::kGasStartTemperatureSlot] = RawOfTemperature(60.0f);
}

int ConfCar::MemberAddress(int identifier) const {
  const int slot = params::OwnSlot(identifier);
  return slot < 0 ? kNoSlot : slot;
}

std::uint32_t ConfCar::ParameterCode(int identifier) {
  return params::Code(identifier);
}

bool ConfCar::InvertedTps() const {
  return (image_[params::kTpsTypeSlot] & 0x01) != 0;
}

bool ConfCar::InvertedLevel() const {
  return (image_[params::kLevelSensorTypeSlot] & 0x80) != 0;
}

bool ConfCar::OpticalSensorInUse() const {
  return (image_[params::kOptionSlot] & 0x20) != 0 &&
         params::IsCalibratedLevelSensor(image_[params::kLevelSensorTypeSlot]);
}

bool ConfCar::SetOpticalSensor(bool on) {
  std::int32_t option = image_[params::kOptionSlot];
  option = on ? (option | 0x20) : (option & ~0x20);
  return Write(params::Number(params::Id::OptionByte), params::kOptionSlot, option);
}

void ConfCar::StoreRaw(int slot, std::int32_t raw) {
  if (slot < 0 || slot >= kImageSlots) return;
  image_[static_cast<std::size_t>(slot)] = raw;
  ecuImage_[static_cast<std::size_t>(slot)] = raw;
}

bool ConfCar::Write(int identifier, int slot, std::int32_t raw) {
  if (!Send(identifier, -1, params::Code(identifier), slot, raw)) return false;
  image_[static_cast<std::size_t>(slot)] = raw;
  return true;
}

bool ConfCar::Send(int identifier, int element, std::uint32_t code, int slot, std::int32_t raw) {
  const auto s = static_cast<std::size_t>(slot);
  const std::int32_t old = ecuImage_[s];
  bool accepted = false;
  if (link_ != nullptr) {
    accepted = element < 0 ? link_->WriteParameter(code, raw)
                           : link_->WriteParameterElement(code, element, raw);
  }
  if (accepted) ecuImage_[s] = raw;
  Report(identifier, element, old, raw, accepted);
  return accepted;
}

bool ConfCar::WriteRaw(int identifier, int element, std::int32_t raw) {
  const int first = params::OwnSlot(identifier);
  const int count = params::ElementCount(identifier);
  if (first < 0 || raw < 0 || raw > 255) return false;
  if (element < 0) {
    if (count != 1) return false;
    return Write(identifier, first, raw);
  }
  if (count < 2 || element >= count) return false;
  // Elements go by the array's address alone, as the full write sends them.
  const int slot = first + element;
  if (!Send(identifier, element, params::ElementCode(*params::Find(identifier)), slot, raw))
    return false;
  image_[static_cast<std::size_t>(slot)] = raw;
  return true;
}

bool ConfCar::EraseMemory(const std::function<void()>& settle) {
  BeginBulkWrite(BulkWrite::kErase, {});
  // The erase command is element 0 of code 0, with value 0.
  const bool accepted = link_ != nullptr && link_->WriteParameterElement(0, 0, 0);
  Report(params::Number(params::Id::None), -1, 0, 0, accepted);
  if (accepted) {
    if (settle) settle();
    const Image before = ecuImage_;
    ResetDefaults();
    ReadAll();
    ReportChanges(before);
  }
  EndBulkWrite(BulkWrite::kErase);
  return accepted;
}

void ConfCar::BeginBulkWrite(BulkWrite kind, std::string_view source) {
  observers_.BulkWriteStarted(kind, source);
}

void ConfCar::EndBulkWrite(BulkWrite kind) {
  observers_.BulkWriteFinished(kind);
}

void ConfCar::Report(int identifier, int element, std::int32_t oldRaw, std::int32_t newRaw,
                     bool accepted) {
  if (observers_.Empty()) return;
  WriteAttempt attempt;
  attempt.time = std::chrono::system_clock::now();
  attempt.identifier = identifier;
  attempt.element = element;
  const params::Parameter* p = params::Find(identifier);
  if (p == nullptr || p->slot < 0 || p->conversion.rule == params::Rule::Command) {
    // The customer code is never kept anywhere, not even as a number here.
    attempt.oldValue = attempt.newValue = kMissingValue;
  } else {
    attempt.oldRaw = oldRaw;
    attempt.newRaw = newRaw;
    attempt.oldValue = element < 0 ? ValueOfRaw(identifier, oldRaw)
                                   : ElementValueOfRaw(identifier, element, oldRaw);
    attempt.newValue = element < 0 ? ValueOfRaw(identifier, newRaw)
                                   : ElementValueOfRaw(identifier, element, newRaw);
  }
  if (accepted) {
    attempt.answer = WriteAnswer::kAccepted;
  } else {
    attempt.answer = link_ != nullptr && link_->IsConnected() != 0 ? WriteAnswer::kRefused
                                                                   : WriteAnswer::kNoAnswer;
  }
  observers_.WriteAttempted(attempt);
}

void ConfCar::ReportChanges(const Image& before) {
  // The parameters after the file's last one are not the ECU's to report:
  // the full read clears them.
  for (const params::Parameter& p : params::kTable) {
    if (!params::InParameterFile(p.id) || p.slot < 0 || p.count == 0) continue;
    const int identifier = params::Number(p.id);
    const int first = p.slot;
    const int count = p.count;
    for (int i = 0; i < count; ++i) {
      const auto s = static_cast<std::size_t>(first + i);
      if (before[s] != ecuImage_[s])
        Report(identifier, count > 1 ? i : -1, before[s], ecuImage_[s], true);
    }
  }
}

void ConfCar::Progress(int percent, bool add) {
  if (progress_) progress_(percent, add);
}
