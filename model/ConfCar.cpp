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
}

void ConfCar::ResetDefaults() {
  image_ = params::Defaults();
  // The two temperature defaults are the sensor readings of 15 °C and 60 °C.
  image_[5] = RawOfTemperature(15.0f);
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
  return Write(params::Code(1), params::kOptionSlot, option);
}

void ConfCar::StoreRaw(int slot, std::int32_t raw) {
  if (slot >= 0 && slot < kImageSlots) image_[static_cast<std::size_t>(slot)] = raw;
}

bool ConfCar::Write(std::uint32_t code, int slot, std::int32_t raw) {
  if (link_ == nullptr || !link_->WriteParameter(code, raw)) return false;
  image_[static_cast<std::size_t>(slot)] = raw;
  return true;
}

void ConfCar::Progress(int percent, bool add) {
  if (progress_) progress_(percent, add);
}
