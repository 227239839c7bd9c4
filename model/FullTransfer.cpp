// The bulk transfers: the full read after a connection, the write of the whole
// store after a file load, and the whole-array transfers of the two tables.
#include <array>
#include <vector>

#include "ConfCar.h"
#include "ParameterTable.h"

namespace {

using params::Id;

// The orders below are the ECU's: the full read goes group by group, a
// progress step after every group but the last.
constexpr std::array<std::initializer_list<Id>, 12> kReadGroups = {{
    {Id::OptionByte, Id::IgnitionType, Id::OverRevThreshold},
    {Id::FuelOverlapMilliseconds, Id::ChangeOverType, Id::ChangeOverMinimumTemperature,
     Id::ChangeOverRpm},
    {Id::FuelOverlapTime, Id::TpsType, Id::LevelSensorType, Id::LambdaProbeType,
     Id::LambdaReadDelay},
    {Id::EmulationHighTime, Id::EmulationLowTime, Id::EmulationTristateTime,
     Id::EmulationWaveCount, Id::ActuatorAtFullThrottle},
    {Id::FullThrottleTps, Id::ActuatorUpperLimit, Id::ActuatorLowerLimit,
     Id::IdleOpeningStepsBeyond},
    {Id::IdleClosingStepsBelow, Id::OffIdleOpeningStepsBeyond, Id::OffIdleClosingStepsBelow},
    {Id::CutOffEndRpm, Id::ActuatorInCutOff, Id::LevelSensorCalibration},
    {Id::ReturnToPetrolLevel, Id::ActuatorDefaultPosition, Id::MonoBoschHysteresis,
     Id::IdleTpsHysteresis, Id::IndicatorOutputs},
    {Id::IdleOpeningStepTime, Id::IdleClosingStepTime, Id::TpsVoltages, Id::IdleLambdaReference},
    {Id::CruiseLambdaReference, Id::ActuatorEnteringIdle, Id::CruiseOpeningStepTime,
     Id::CruiseClosingStepTime, Id::StepsToEnrichAtFirstLean},
    {Id::StepsToLeanAtFirstRich, Id::ActuatorLeavingIdle, Id::PowerStartRpm,
     Id::OpenLoopAtPower, Id::DecelerationByte, Id::ActuatorAtColdProbe},
    {Id::LambdaReferenceOffset, Id::LimitedOpeningOffIdle, Id::DiagnosisEnableMask,
     Id::DiagnosisErrorFlags, Id::PowerOpeningStepTime, Id::PowerClosingStepTime,
     Id::PowerReleaseStepTime, Id::PowerAsIdle},
}};
constexpr int kGroupProgress = 9;

// The full write: these single values, the TPS voltages and the idle lambda
// reference element by element, the next single values, then the indicator
// outputs and the level sensor calibration element by element.
constexpr std::array kWriteScalarsFirst = {
    Id::OptionByte, Id::IgnitionType, Id::OverRevThreshold, Id::FuelOverlapMilliseconds,
    Id::ChangeOverMinimumTemperature, Id::ChangeOverType, Id::ChangeOverRpm,
    Id::FuelOverlapTime, Id::TpsType, Id::LevelSensorType, Id::LambdaProbeType,
    Id::LambdaReadDelay, Id::EmulationHighTime, Id::EmulationLowTime,
    Id::EmulationTristateTime, Id::EmulationWaveCount, Id::ActuatorAtFullThrottle,
    Id::FullThrottleTps, Id::ActuatorUpperLimit, Id::ActuatorLowerLimit,
    Id::IdleOpeningStepsBeyond, Id::IdleClosingStepsBelow, Id::OffIdleOpeningStepsBeyond,
    Id::OffIdleClosingStepsBelow, Id::CutOffEndRpm, Id::ActuatorInCutOff,
    Id::ReturnToPetrolLevel, Id::ActuatorDefaultPosition, Id::MonoBoschHysteresis,
    Id::IdleTpsHysteresis, Id::IdleOpeningStepTime, Id::IdleClosingStepTime};
constexpr std::array kWriteScalarsThen = {
    Id::CruiseLambdaReference, Id::ActuatorEnteringIdle, Id::CruiseOpeningStepTime,
    Id::CruiseClosingStepTime, Id::StepsToEnrichAtFirstLean, Id::StepsToLeanAtFirstRich,
    Id::ActuatorLeavingIdle, Id::PowerStartRpm, Id::OpenLoopAtPower, Id::DecelerationByte,
    Id::ActuatorAtColdProbe, Id::LambdaReferenceOffset, Id::LimitedOpeningOffIdle,
    Id::DiagnosisEnableMask, Id::DiagnosisErrorFlags, Id::PowerOpeningStepTime,
    Id::PowerClosingStepTime, Id::PowerReleaseStepTime, Id::PowerAsIdle};

bool IsWholeArray(int identifier) {
  const params::Parameter* p = params::Find(identifier);
  return p != nullptr && params::IsWholeTable(*p);
}

}  // namespace

void ConfCar::ReadInto(Id id) {
  if (link_ == nullptr) return;
  // The answer is not examined: a failed read leaves the slot as it was.
  const params::Parameter& p = params::Row(id);
  const auto first = static_cast<std::size_t>(p.slot);
  if (!link_->ReadParameter(p.code, &image_[first])) return;
  for (std::size_t i = 0; i < static_cast<std::size_t>(p.count); ++i)
    ecuImage_[first + i] = image_[first + i];
}

int ConfCar::ReadAll() {
  for (std::size_t group = 0; group < kReadGroups.size(); ++group) {
    for (const Id id : kReadGroups[group]) ReadInto(id);
    if (group + 1 < kReadGroups.size()) Progress(kGroupProgress, true);
  }
  // The parameters after the file's last one are not read from the ECU.
  for (const params::Parameter& p : params::kTable) {
    if (params::InParameterFile(p.id) || p.count == 0) continue;
    for (int i = 0; i < p.count; ++i) image_[static_cast<std::size_t>(p.slot + i)] = 0;
  }
  ecuImage_ = image_;
  Progress(100, false);
  return 0;
}

std::vector<params::WriteStep> params::FullWriteOrder() {
  std::vector<WriteStep> steps;
  auto elements = [&steps](Id id) {
    for (int i = 0; i < Row(id).count; ++i) steps.push_back({Number(id), i});
  };
  for (const Id id : kWriteScalarsFirst) steps.push_back({Number(id), -1});
  elements(Id::TpsVoltages);
  elements(Id::IdleLambdaReference);
  for (const Id id : kWriteScalarsThen) steps.push_back({Number(id), -1});
  elements(Id::IndicatorOutputs);
  elements(Id::LevelSensorCalibration);
  return steps;
}

int ConfCar::WriteAll() {
  if (link_ == nullptr) return 0;
  // Every answer is ignored here; the observer hears each one.
  BeginBulkWrite(BulkWrite::kFileLoad, FileName());
  const bool calibrated = params::IsCalibratedLevelSensor(image_[params::kLevelSensorTypeSlot]);
  for (const auto& [identifier, element] : params::FullWriteOrder()) {
    if (identifier == params::Number(Id::LevelSensorCalibration) && !calibrated) continue;
    const int slot = params::OwnSlot(identifier) + (element < 0 ? 0 : element);
    // Elements go by the array's address alone, as the ECU takes them.
    const params::Parameter& p = *params::Find(identifier);
    const std::uint32_t code = element < 0 ? p.code : params::ElementCode(p);
    Send(identifier, element, code, slot, image_[static_cast<std::size_t>(slot)]);
  }
  EndBulkWrite(BulkWrite::kFileLoad);
  return 0;
}

int ConfCar::ReadArray(int identifier, int buffer[6]) {
  if (!IsWholeArray(identifier)) return 0;
  ReadInto(params::Find(identifier)->id);
  const int first = params::OwnSlot(identifier);
  for (int i = 0; i < params::kTableLength; ++i) buffer[i] = image_[static_cast<std::size_t>(first + i)];
  return 1;
}

int ConfCar::WriteArray(int identifier, const int values[6]) {
  if (!IsWholeArray(identifier) || link_ == nullptr) return 0;
  // Every slot holds one byte, as SetElement keeps it: a table with a value
  // that does not fit is refused before anything is sent.
  for (int i = 0; i < params::kTableLength; ++i) {
    if (values[i] < 0 || values[i] > 255) return 0;
  }
  const int first = params::OwnSlot(identifier);
  const std::uint32_t code = params::ElementCode(*params::Find(identifier));
  for (int i = 0; i < params::kTableLength; ++i) {
    if (!Send(identifier, i, code, first + i, values[i])) return 0;
  }
  for (int i = 0; i < params::kTableLength; ++i) image_[static_cast<std::size_t>(first + i)] = values[i];
  return 1;
}
