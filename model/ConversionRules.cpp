// GetValue / SetValue / GetElement / SetElement: the store's values in
// engineering units, converted by the parameter table's rules.
#include <cmath>

#include "ConfCar.h"
#include "ParameterTable.h"
#include "Parameters.h"

namespace {

// The parameter with a single value (own slot or bits of a shared byte);
// nullptr for an array, a command or an identifier without a slot.
const params::Parameter* SingleValue(int identifier) {
  const params::Parameter* p = params::Find(identifier);
  if (p == nullptr || p->slot < 0 || p->count > 1) return nullptr;
  return p;
}

const params::Parameter* ArrayElement(int identifier, int index) {
  const params::Parameter* p = params::Find(identifier);
  if (p == nullptr || p->count < 2 || index < 0 || index >= p->count) return nullptr;
  return p;
}

}  // namespace

long double ConfCar::GetValue(int identifier) {
  const params::Parameter* p = SingleValue(identifier);
  if (p == nullptr) return kMissingValue;
  const auto s = static_cast<std::size_t>(p->slot);
  if (p->computedByEcu && link_ != nullptr) {
    // Computed by the ECU itself: always read afresh.
    if (link_->ReadParameter(p->code, &image_[s])) ecuImage_[s] = image_[s];
  }
  return ValueOfRaw(identifier, image_[s]);
}

long double ConfCar::ValueOfRaw(int identifier, std::int32_t r) const {
  const params::Parameter* p = SingleValue(identifier);
  if (p == nullptr) return kMissingValue;
  return params::ValueOfRaw(*p, r, {InvertedTps(), InvertedLevel()}).value_or(kMissingValue);
}

bool ConfCar::SendCustomerCode(std::int32_t code) {
  const int identifier = params::Number(params::Id::CustomerCode);
  const bool accepted =
      link_ != nullptr && link_->WriteParameter(params::Row(params::Id::CustomerCode).code, code);
  Report(identifier, -1, 0, 0, accepted);
  return accepted;
}

int ConfCar::SetValue(int identifier, double value) {
  if (identifier < 0) return -1;
  // NaN or an infinity is no value at all: nothing is sent, whatever the rule
  // (the temperature rules would clamp it, the bit rules would read it as "on").
  if (!std::isfinite(value)) return 0;
  const params::Parameter* command = params::Find(identifier);
  if (command != nullptr && command->conversion.rule == params::Rule::Command) {
    // The customer code is a command the ECU never reports back; the window
    // that sends it says nothing either way.
    const auto code = params::RawOfValue(*command, value, 0, {});
    if (!code) return 0;
    SendCustomerCode(*code);
    return 1;
  }
  const params::Parameter* p = SingleValue(identifier);
  if (p == nullptr) return 0;
  const auto raw = params::RawOfValue(*p, value, image_[static_cast<std::size_t>(p->slot)],
                                      {InvertedTps(), InvertedLevel()});
  // Every slot holds one byte: a value that does not fit is never sent.
  if (!raw || *raw < 0 || *raw > 255) return 0;
  return Write(identifier, p->slot, *raw) ? 1 : 0;
}

long double ConfCar::GetElement(int identifier, int index) const {
  const params::Parameter* p = ArrayElement(identifier, index);
  if (p == nullptr) return kMissingValue;
  return ElementValueOfRaw(identifier, index, image_[static_cast<std::size_t>(p->slot + index)]);
}

long double ConfCar::ElementValueOfRaw(int identifier, int index, std::int32_t r) const {
  const params::Parameter* p = ArrayElement(identifier, index);
  if (p == nullptr) return kMissingValue;
  return params::ValueOfRaw(*p, r, {InvertedTps(), InvertedLevel()}).value_or(kMissingValue);
}

double ConfCar::SetElement(int identifier, int index, double value) {
  const params::Parameter* p = ArrayElement(identifier, index);
  if (p == nullptr) return 0.0;
  const int slot = p->slot + index;
  const auto raw = params::RawOfValue(*p, value, image_[static_cast<std::size_t>(slot)],
                                      {InvertedTps(), InvertedLevel()});
  if (!raw || *raw < 0 || *raw > 255 || link_ == nullptr) return 0.0;
  if (!Send(identifier, index, p->code, slot, *raw)) return 0.0;
  image_[static_cast<std::size_t>(slot)] = *raw;
  return 1.0;
}
