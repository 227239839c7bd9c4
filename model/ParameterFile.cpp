// The parameter file: 76 CR LF lines, a header, the ECU identification, one
// line per identifier 0..72 with its code word and raw value(s), a trailer.
#include <cctype>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <sstream>
#include <system_error>

#include "ConfCar.h"
#include "ParameterTable.h"

namespace {

constexpr int kLastFileIdentifier = 72;
constexpr std::size_t kMaxHeaderLength = 79;
constexpr std::streamsize kMaxSkippedLine = 100;
constexpr const char* kEol = "\r\n";

std::string Marker(const char* word) {
  return std::string("#define ") + word + "  \"Mirel ConfigFile\"";
}

// Reads the file the way it was always read: once any read fails, every later
// read fails too, so the remaining values stay as they were.
class FileReader {
 public:
  explicit FileReader(std::istream& in) : in_(in) {}

  void SkipHeader() {
    if (failed_) return;
    // Read no further than the longest header allows (and its carriage
    // return): a first line that runs on, in a damaged file or one that is not
    // a parameter file at all, is refused without being held in memory whole.
    std::string line;
    int c = in_.get();
    if (c == EOF) {
      failed_ = true;
      return;
    }
    for (; c != EOF && c != '\n'; c = in_.get()) {
      line.push_back(static_cast<char>(c));
      if (line.size() > kMaxHeaderLength + 1) {
        failed_ = true;
        return;
      }
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > kMaxHeaderLength) failed_ = true;
  }

  // A decimal integer after blanks and line ends; nothing once failed.
  std::optional<long long> Number() {
    if (failed_) return std::nullopt;
    int c = in_.peek();
    while (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      in_.get();
      c = in_.peek();
    }
    bool negative = false;
    if (c == '-' || c == '+') {
      negative = c == '-';
      in_.get();
      c = in_.peek();
    }
    if (c == EOF || !std::isdigit(c)) {
      failed_ = true;
      return std::nullopt;
    }
    long long value = 0;
    while (c != EOF && std::isdigit(c)) {
      if (value > std::numeric_limits<int>::max()) {
        failed_ = true;  // not a number any slot or code can hold
        return std::nullopt;
      }
      value = value * 10 + (c - '0');
      in_.get();
      c = in_.peek();
    }
    return negative ? -value : value;
  }

  void SkipLine() {
    if (!failed_) in_.ignore(kMaxSkippedLine, '\n');
  }

 private:
  std::istream& in_;
  bool failed_ = false;
};

// A value read for a slot: the marker and anything that is not a raw byte
// leave the slot as it was.
void ReadSlot(FileReader& reader, std::int32_t& slot) {
  const auto value = reader.Number();
  if (value && *value != kMissingValue && *value >= 0 && *value <= 255)
    slot = static_cast<std::int32_t>(*value);
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  std::random_device random;
  std::filesystem::path temporary = target;
  temporary += ".tmp" + std::to_string(random() % 1000000);
  return temporary;
}

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
  const std::filesystem::path target(FileName());
  const std::filesystem::path temporary = TemporaryBeside(target);
  output_.open(temporary, std::ios::binary | std::ios::trunc);
  if (!output_.is_open()) return false;
  const std::string bytes = text.str();
  output_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  output_.flush();
  const bool written = output_.good();
  output_.close();
  std::error_code error;
  if (written && !output_.fail()) {
    std::filesystem::rename(temporary, target, error);
    if (!error) return true;
  }
  std::filesystem::remove(temporary, error);
  return false;
}

bool ConfCar::LoadFile() {
  input_.open(std::filesystem::path(FileName()), std::ios::binary);
  const bool opened = input_.is_open();
  if (opened) {
    FileReader reader(input_);
    reader.SkipHeader();
    for (int i = 0; i < 4; ++i) reader.Number();  // identification, not checked

    // Lines are taken by position; the identifier written on each is not compared.
    for (int identifier = 0; identifier <= kLastFileIdentifier; ++identifier) {
      reader.Number();
      const std::uint32_t code = static_cast<std::uint32_t>(reader.Number().value_or(0));
      const int slot = MemberAddress(identifier);
      if (slot == kNoSlot) {
        reader.SkipLine();
      } else if (ecu::CodeIsArray(code)) {
        const int claimed = ecu::CodeElementCount(code);
        // Never more elements than the parameter has: the rest of the line is skipped.
        const int own = params::ElementCount(identifier);
        const int count = claimed < own ? claimed : own;
        for (int i = 0; i < count; ++i)
          ReadSlot(reader, image_[static_cast<std::size_t>(slot + i)]);
        if (claimed == 0 || claimed > own) reader.SkipLine();
      } else {
        ReadSlot(reader, image_[static_cast<std::size_t>(slot)]);
      }
    }
    input_.close();
  }
  input_.clear();
  WriteAll();
  return opened;
}
