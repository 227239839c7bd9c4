#include "Compare.h"

#include <algorithm>
#include <fstream>
#include <locale>
#include <sstream>

#include "History.h"
#include "ParameterFileReader.h"
#include "ParameterTable.h"

namespace {

// Every bit of a raw byte: a value compared whole.
constexpr std::int32_t kWholeByte = -1;

// The slots the parameter file gives a value for: the own slots of the
// parameters it holds (not the unused slot, not the parameters after the
// file's last one).
bool InFile(int slot) {
  for (const params::Parameter& p : params::kTable) {
    if (params::InParameterFile(p.id) && p.slot >= 0 && p.count > 0 && slot >= p.slot &&
        slot < p.slot + p.count)
      return true;
  }
  return false;
}

// The bits a byte shared with bit fields keeps under its own identifier.
bool IsRestOfSharedByte(const params::Parameter& p) {
  return p.count == 1 && params::RemainingBits(p) != 0xFF;
}

// A store without a link that carries one side's bytes, so the units come
// from the same rules (and the same TPS and level flags) as in the program.
class Side {
 public:
  explicit Side(const Configuration& c) : c_(c), store_("") {
    for (int s = 0; s < kImageSlots; ++s)
      if (c.raw[static_cast<std::size_t>(s)] != kAbsent)
        store_.StoreRaw(s, c.raw[static_cast<std::size_t>(s)]);
  }
  std::int32_t Raw(int slot, std::int32_t mask) const {
    const std::int32_t r = c_.raw[static_cast<std::size_t>(slot)];
    return r == kAbsent ? kAbsent : (r & mask);
  }
  long double Value(int identifier, int element, int slot) const {
    const std::int32_t r = c_.raw[static_cast<std::size_t>(slot)];
    if (r == kAbsent) return kMissingValue;
    return element < 0 ? store_.ValueOfRaw(identifier, r)
                       : store_.ElementValueOfRaw(identifier, element, r);
  }

 private:
  const Configuration& c_;
  ConfCar store_;
};

Configuration Factory() {
  const ConfCar defaults("");
  return ConfigurationOf(defaults);
}

void AddRow(std::vector<CompareRow>& rows, const Side& a, const Side& b, const Side& factory,
            int identifier, int element, int slot, std::int32_t mask, bool all) {
  CompareRow row;
  row.identifier = identifier;
  row.element = element;
  row.rawA = a.Raw(slot, mask);
  row.rawB = b.Raw(slot, mask);
  // Kept by the ECU only when neither side holds it as a setting.
  row.keptByEcu = KeptByEcu(identifier, a.Raw(params::kOptionSlot, kWholeByte)) &&
                  KeptByEcu(identifier, b.Raw(params::kOptionSlot, kWholeByte));
  const bool apart = row.rawA != row.rawB;
  row.differs = apart && !row.keptByEcu;
  if (!apart && !all) return;
  // The rest of a shared byte has no units: its bits as a number.
  const bool bitsOnly = IsRestOfSharedByte(*params::Find(identifier));
  auto value = [&](const Side& side) -> long double {
    if (!bitsOnly) return side.Value(identifier, element, slot);
    const std::int32_t r = side.Raw(slot, mask);
    return r == kAbsent ? kMissingValue : r;
  };
  row.valueA = value(a);
  row.valueB = value(b);
  row.factory = value(factory);
  rows.push_back(row);
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c == '\r' || c == '\n' ? ' ' : c);
  }
  return quoted + '"';
}

}  // namespace

bool KeptByEcu(int identifier, std::int32_t optionByte) {
  const params::Parameter* p = params::Find(identifier);
  if (p == nullptr || !p->computedByEcu) return false;
  if (p->id != params::Id::ActuatorDefaultPosition) return true;
  // The default position is the technician's setting while the fixed-default
  // option is on.
  const std::int32_t fixedDefault = params::FieldMask(params::Row(params::Id::FixedDefaultOption));
  return optionByte == kAbsent || (optionByte & fixedDefault) == 0;
}

Configuration ReadConfiguration(const std::filesystem::path& file) {
  Configuration c;
  // Every slot starts absent; the store's reader leaves a slot alone when the
  // file gives no value for it, so what stays absent was not in the file.
  ConfCar reader(file.string());
  for (int s = 0; s < kImageSlots; ++s) reader.StoreRaw(s, kAbsent);
  if (reader.FileName() != file.string()) return c;  // a name the store cannot hold
  c.opened = reader.LoadFile();
  c.header = c.opened && history::LooksLikeParameterFile(file);
  c.raw = reader.RawImage();
  for (int s = 0; s < kImageSlots; ++s) {
    if (!InFile(s))
      c.raw[static_cast<std::size_t>(s)] = kAbsent;
    else if (c.raw[static_cast<std::size_t>(s)] == kAbsent)
      ++c.absent;
  }
  return c;
}

bool ReadWholeConfiguration(const std::filesystem::path& file, Configuration* c,
                            std::string* problem) {
  const paramfile::Reading reading = paramfile::ReadFile(file.string());
  if (!reading.whole) {
    *problem = reading.problem;
    return false;
  }
  *c = Configuration{};
  c->opened = c->header = true;
  for (std::size_t s = 0; s < c->raw.size(); ++s) {
    c->raw[s] = InFile(static_cast<int>(s)) && reading.slots[s] ? *reading.slots[s] : kAbsent;
    if (InFile(static_cast<int>(s)) && !reading.slots[s]) ++c->absent;
  }
  return true;
}

Configuration ConfigurationOf(const ConfCar& store) {
  Configuration c;
  c.opened = c.header = true;
  c.raw = store.RawImage();
  for (const params::Parameter& p : params::kTable) {
    if (params::InParameterFile(p.id) || p.slot < 0) continue;
    for (int i = 0; i < p.count; ++i) c.raw[static_cast<std::size_t>(p.slot + i)] = kAbsent;
  }
  return c;
}

std::vector<CompareRow> CompareConfigurations(const Configuration& a, const Configuration& b,
                                              bool all) {
  const Configuration factoryValues = Factory();
  const Side sideA(a), sideB(b), factory(factoryValues);
  std::vector<CompareRow> rows;
  for (const params::Parameter& p : params::kTable) {
    if (!params::InParameterFile(p.id) || p.slot < 0) continue;
    const int identifier = params::Number(p.id);
    if (const std::int32_t field = params::FieldMask(p); field != 0) {
      AddRow(rows, sideA, sideB, factory, identifier, -1, p.slot, field, all);
      continue;
    }
    // A second name of one ECU value is compared under the first.
    if (p.count == 0 || params::SameEcuValueAs(p) != nullptr) continue;
    if (IsRestOfSharedByte(p)) {
      // What the bit fields leave of the byte; nothing when they take it all.
      if (const std::int32_t rest = params::RemainingBits(p); rest != 0)
        AddRow(rows, sideA, sideB, factory, identifier, -1, p.slot, rest, all);
      continue;
    }
    for (int i = 0; i < p.count; ++i)
      AddRow(rows, sideA, sideB, factory, identifier, p.count > 1 ? i : -1, p.slot + i,
             kWholeByte, all);
  }
  // What the ECU keeps by itself goes apart, after the rest.
  std::stable_partition(rows.begin(), rows.end(),
                        [](const CompareRow& row) { return !row.keptByEcu; });
  return rows;
}

std::string UnitText(long double value) {
  if (value == kMissingValue) return "-";
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text.precision(15);
  text << static_cast<double>(value);
  return text.str();
}

std::string CompareCsv(const std::vector<CompareRow>& rows,
                       const std::vector<std::string>& captions, std::string_view nameA,
                       std::string_view nameB, const CsvWords& words) {
  std::string text;
  for (const std::string_view header :
       {std::string_view(words.identifier), std::string_view(words.element),
        std::string_view(words.parameter), nameA, nameB, std::string_view(words.factory)})
    text += CsvField(header) + ',';
  text += CsvField(words.differs) + '\n';
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CompareRow& r = rows[i];
    const std::string& verdict = r.keptByEcu ? words.keptByEcu : r.differs ? words.yes : words.no;
    text += std::to_string(r.identifier) + ',' +
            (r.element < 0 ? std::string() : std::to_string(r.element)) + ',' +
            CsvField(i < captions.size() ? captions[i] : std::string()) + ',' + UnitText(r.valueA) +
            ',' + UnitText(r.valueB) + ',' + UnitText(r.factory) + ',' + CsvField(verdict) + '\n';
  }
  return text;
}

std::vector<RestoreStep> RestorePlan(const ConfCar& store, const Configuration& target) {
  std::vector<RestoreStep> plan;
  // The option byte goes first in the full write: the ECU holds the target's
  // by the time the values that depend on it are written.
  const std::int32_t targetOptions = target.raw[params::kOptionSlot];
  const std::int32_t options =
      targetOptions != kAbsent ? targetOptions : store.RawImage()[params::kOptionSlot];
  for (const auto& [identifier, element] : params::FullWriteOrder()) {
    // One ECU value under two names is written under the first.
    if (params::SameEcuValueAs(*params::Find(identifier)) != nullptr) continue;
    if (KeptByEcu(identifier, options)) continue;
    const auto slot =
        static_cast<std::size_t>(params::OwnSlot(identifier) + (element < 0 ? 0 : element));
    const std::int32_t wanted = target.raw[slot];
    if (wanted != kAbsent && wanted != store.RawImage()[slot])
      plan.push_back({identifier, element, wanted});
  }
  return plan;
}

RestoreOutcome Restore(ConfCar& store, const Configuration& target, std::string_view source) {
  RestoreOutcome outcome;
  outcome.written = RestorePlan(store, target);
  if (outcome.written.empty()) return outcome;
  ecu::EcuLink* link = store.Link();
  store.BeginBulkWrite(BulkWrite::kRestore, source);
  for (const RestoreStep& step : outcome.written) {
    if (link == nullptr || link->IsConnected() == 0) {
      ++outcome.unsent;
      continue;
    }
    if (store.WriteRaw(step.identifier, step.element, step.raw)) ++outcome.taken;
  }
  store.EndBulkWrite(BulkWrite::kRestore);
  if (link == nullptr || link->IsConnected() == 0) {
    outcome.linkLost = true;
    outcome.refused = outcome.written;
    return outcome;
  }
  // Read back: whatever the ECU does not hold as written was not taken.
  store.ReadAll();
  outcome.linkLost = link->IsConnected() == 0;
  for (const RestoreStep& step : outcome.written) {
    const auto slot = static_cast<std::size_t>(params::OwnSlot(step.identifier) +
                                               (step.element < 0 ? 0 : step.element));
    if (store.RawImage()[slot] != step.raw) outcome.refused.push_back(step);
  }
  return outcome;
}
