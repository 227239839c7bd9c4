// Fuzz target, differential: ecuctl's check of a parameter file against the
// store's strict load of the same file. A file the check accepts loads to
// exactly the values it holds, as an independent plain reading of its lines
// gives them; a file the check refuses leaves the store and the link
// untouched.
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "ParameterFileCheck.h"
#include "RecordingLink.h"
#include "StoreSupport.h"

namespace {

// The lines of an accepted file, read without the project's reader: split at
// line feeds, one carriage return dropped, numbers parsed by the standard
// library.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

std::vector<long> Numbers(const std::string& line) {
  FUZZ_CHECK(line.find_first_not_of("0123456789+- \t") == std::string::npos,
             "an accepted line holds only digits, signs, spaces and tabs");
  std::istringstream in(line);
  std::vector<long> numbers;
  for (long n; in >> n;) numbers.push_back(n);
  FUZZ_CHECK(in.eof(), "an accepted line is numbers only");
  return numbers;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchFile("check.dmr");
  fuzz::WriteFile(path, data, size);
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  const std::string verdict = CheckParameterFile(path);
  RecordingLink link;
  ConfCar store(path, &link);
  fuzz::Mark(store);
  const ConfCar::Image before = store.RawImage();
  std::string problem;
  const bool loaded = store.LoadWholeFile(&problem);

  if (!verdict.empty()) {
    FUZZ_CHECK(!loaded, "a refused file does not load");
    FUZZ_CHECK(problem == verdict, "the load refuses it for the check's reason");
    FUZZ_CHECK(store.RawImage() == before, "a refused file leaves the store untouched");
    FUZZ_CHECK(link.calls.empty(), "a refused file leaves the link untouched");
    return 0;
  }
  FUZZ_CHECK(loaded, "an accepted file loads");
  FUZZ_CHECK(link.Writes().size() == fuzz::WholeStoreWrites(store), "and is written whole");

  const std::vector<std::string> lines = Lines(bytes);
  FUZZ_CHECK(lines.size() == 76, "an accepted file has 76 lines");
  FUZZ_CHECK(lines[0] == "#define start  \"Mirel ConfigFile\"", "and the header");
  FUZZ_CHECK(lines[75] == "#define end  \"Mirel ConfigFile\"", "and the trailer");
  FUZZ_CHECK(Numbers(lines[1]).size() == 4, "and four identification numbers");
  ConfCar::Image expected = before;
  for (int identifier = 0; identifier <= 72; ++identifier) {
    const std::vector<long> n = Numbers(lines[static_cast<std::size_t>(identifier + 2)]);
    FUZZ_CHECK(n.size() >= 3 && n[0] == identifier, "each line names its identifier");
    FUZZ_CHECK(n[1] == static_cast<long>(ConfCar::ParameterCode(identifier)), "and its code");
    const int slot = store.MemberAddress(identifier);
    if (slot == kNoSlot) {
      FUZZ_CHECK(n.size() == 3 && n[2] == kMissingValue, "no slot: the marker alone");
      continue;
    }
    FUZZ_CHECK(n.size() == 2u + static_cast<std::size_t>(params::ElementCount(identifier)),
               "one value per element");
    for (std::size_t i = 2; i < n.size(); ++i) {
      FUZZ_CHECK((n[i] >= 0 && n[i] <= 255) || n[i] == kMissingValue, "raw bytes or the marker");
      if (n[i] != kMissingValue) expected[static_cast<std::size_t>(slot) + i - 2] = static_cast<std::int32_t>(n[i]);
    }
  }
  FUZZ_CHECK(store.RawImage() == expected, "an accepted file loads as exactly the values it holds");
  return 0;
}
