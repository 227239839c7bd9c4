#include "ParameterFileCheck.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "ConfCar.h"
#include "ParameterTable.h"

namespace {

constexpr int kFileLines = 76;
constexpr int kLastIdentifier = 72;

std::string Marker(const char* word) {
  return std::string("#define ") + word + "  \"Mirel ConfigFile\"";
}

bool Numbers(const std::string& text, std::vector<long long>* numbers) {
  std::istringstream in(text);
  for (long long n; in >> n;) numbers->push_back(n);
  return in.eof();
}

std::string At(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

std::string CheckParameterLine(int identifier, const std::string& text) {
  std::vector<long long> n;
  if (!Numbers(text, &n) || n.size() < 3) return "expected the identifier, its code and values";
  if (n[0] != identifier) return "expected identifier " + std::to_string(identifier);
  const std::uint32_t code = ConfCar::ParameterCode(identifier);
  if (n[1] != code)
    return "identifier " + std::to_string(identifier) + " has code " + std::to_string(code);
  const bool ownSlot = params::OwnSlot(identifier) >= 0;
  const std::size_t values = !ownSlot ? 1
                             : ecu::CodeIsArray(code)
                                 ? static_cast<std::size_t>(ecu::CodeElementCount(code))
                                 : 1;
  if (n.size() != 2 + values) return "expected " + std::to_string(values) + " value(s)";
  for (std::size_t i = 2; i < n.size(); ++i) {
    const bool raw = ownSlot && n[i] >= 0 && n[i] <= 255;
    if (!raw && n[i] != kMissingValue)
      return "value " + std::to_string(n[i]) + " is not a raw byte";
  }
  return {};
}

}  // namespace

std::string CheckParameterFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot open the file";
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line) && lines.size() <= kFileLines;) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  if (lines.size() != kFileLines) return "expected " + std::to_string(kFileLines) + " lines";
  if (lines[0] != Marker("start")) return At(1, "not a parameter file header");
  std::vector<long long> id;
  if (!Numbers(lines[1], &id) || id.size() != 4)
    return At(2, "expected four identification numbers");
  for (long long v : id) {
    if (v < 0 || v > 255) return At(2, "identification numbers run 0..255");
  }
  for (int identifier = 0; identifier <= kLastIdentifier; ++identifier) {
    const std::string problem =
        CheckParameterLine(identifier, lines[static_cast<std::size_t>(identifier + 2)]);
    if (!problem.empty()) return At(identifier + 3, problem);
  }
  if (lines[kFileLines - 1] != Marker("end")) return At(kFileLines, "not a parameter file trailer");
  return {};
}
