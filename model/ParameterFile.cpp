// The parameter file: 76 CR LF lines, a header, the ECU identification, one
// line per identifier from 0 to the file's last with its code word and raw
// value(s), a trailer.
#include <filesystem>
#include <sstream>
#include <system_error>

#include "ConfCar.h"
#include "ParameterFileReader.h"
#include "ParameterTable.h"
#include "RegularFiles.h"

namespace {

constexpr int kLastFileIdentifier = paramfile::kLastIdentifier;
constexpr const char* kEol = "\r\n";

using paramfile::Marker;

}  // namespace

bool ConfCar::SaveFile() {
  ecu::Identification id{18, static_cast<std::uint8_t>(variant_ ? 2 : 0), 1, 0};
  if (link_ != nullptr && link_->IsConnected()) {
    // The outcome is not examined; a failed read keeps the record above.
    link_->ReadIdentification(&id);
  }

  std::ostringstream text;
  text << Marker("start") << kEol;
  text << int{id.typeCode} << ' ' << int{id.variant} << ' ' << int{id.featureFlags} << ' '
       << int{id.version} << kEol;
  for (int identifier = 0; identifier <= kLastFileIdentifier; ++identifier) {
    const std::uint32_t code = params::Code(identifier);
    text << identifier << ' ' << code << ' ';
    const int slot = MemberAddress(identifier);
    if (slot == kNoSlot) {
      text << kMissingValue;
    } else if (ecu::CodeIsArray(code)) {
      for (int i = 0; i < ecu::CodeElementCount(code); ++i)
        text << image_[static_cast<std::size_t>(slot + i)] << ' ';
    } else {
      text << image_[static_cast<std::size_t>(slot)];
    }
    text << kEol;
  }
  text << Marker("end") << kEol;

  // Written beside the old file and renamed over it only when complete, so a
  // failure half-way never leaves a truncated file in place of a good one.
  saveError_.clear();
  return regularfile::Replace(std::filesystem::path(FileName()), text.str(), &saveError_);
}

void ConfCar::TakeFileValues(const paramfile::Reading& reading) {
  for (std::size_t slot = 0; slot < image_.size(); ++slot) {
    if (reading.slots[slot]) image_[slot] = *reading.slots[slot];
  }
}

bool ConfCar::LoadFile() {
  const paramfile::Reading reading = paramfile::ReadFile(FileName());
  // The lines before the first one the reader cannot read give their values;
  // everything after keeps its current value.
  if (reading.opened) TakeFileValues(reading);
  WriteAll();
  return reading.opened;
}

bool ConfCar::LoadWholeFile(std::string* problem) {
  const paramfile::Reading reading = paramfile::ReadFile(FileName());
  if (!reading.whole) {
    if (problem != nullptr) *problem = reading.problem;
    return false;  // nothing taken, nothing sent
  }
  TakeFileValues(reading);
  WriteAll();
  return true;
}
