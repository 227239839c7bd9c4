#include "ParameterFileReader.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "ParameterTable.h"
#include "RegularFiles.h"

namespace paramfile {
namespace {

constexpr int kMaxDigits = 9;  // any number a slot or a code can hold, and no overflow

enum class LineEnd { Ended, LastLine, NoLine, TooLong };

// One line, at most limit characters before its line end; the line feed and
// a carriage return right before it are not part of the line.
LineEnd GetLine(std::istream& in, std::size_t limit, std::string* line) {
  line->clear();
  int c = in.get();
  if (c == EOF) return LineEnd::NoLine;
  for (; c != EOF; c = in.get()) {
    if (c == '\n') {
      if (!line->empty() && line->back() == '\r') line->pop_back();
      return line->size() > limit ? LineEnd::TooLong : LineEnd::Ended;
    }
    line->push_back(static_cast<char>(c));
    // One more for a carriage return that may still be followed by the feed.
    if (line->size() > limit + 1) return LineEnd::TooLong;
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return line->size() > limit ? LineEnd::TooLong : LineEnd::LastLine;
}

std::string Describe(char c) {
  switch (c) {
    case '\f':
      return "a form feed";
    case '\v':
      return "a vertical tab";
    case '\r':
      return "a carriage return inside the line";
    case '\0':
      return "a NUL byte";
    default:
      break;
  }
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x20 && byte < 0x7F) return std::string("'") + c + "'";
  char text[16];
  std::snprintf(text, sizeof text, "byte 0x%02X", byte);
  return text;
}

// The numbers of a line; false with the reason when a character is neither a
// separator nor part of a number.
bool Numbers(const std::string& line, std::vector<long>* numbers, std::string* why) {
  numbers->clear();
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      ++i;
      continue;
    }
    bool negative = false;
    if (c == '-' || c == '+') {
      negative = c == '-';
      ++i;
    }
    long value = 0;
    int digits = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
      value = value * 10 + (line[i] - '0');
      ++i;
      if (++digits > kMaxDigits) {
        *why = "a number longer than " + std::to_string(kMaxDigits) + " digits";
        return false;
      }
    }
    if (digits == 0) {
      *why = i < line.size() ? Describe(line[i]) + " where a number should be"
                             : "a sign without a number";
      return false;
    }
    if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
      *why = Describe(line[i]) + " after a number";
      return false;
    }
    numbers->push_back(negative ? -value : value);
  }
  return true;
}

std::string At(int line, const std::string& what) {
  return "line " + std::to_string(line) + ": " + what;
}

class Reader {
 public:
  explicit Reader(Reading* reading) : r_(*reading) {}

  void Run(std::istream& in) {
    std::string line;
    // Line 1: the header, examined only for wholeness.
    const LineEnd header = GetLine(in, kMaxHeaderLength, &line);
    if (header == LineEnd::NoLine) return Stop(1, "the file is empty");
    if (header == LineEnd::TooLong)
      return Stop(1, "longer than " + std::to_string(kMaxHeaderLength) + " characters");
    if (line != Marker("start")) Mismatch(1, "not a parameter file header");
    if (header == LineEnd::LastLine) return Stop(2, "the file ends here; expected 76 lines");

    // Line 2: the four identification numbers.
    if (!Next(in, 2, &line)) return;
    std::vector<long> n;
    std::string why;
    if (!Numbers(line, &n, &why)) return Stop(2, why);
    if (n.size() != 4) return Stop(2, "expected four identification numbers");
    for (int i = 0; i < 4; ++i) {
      r_.identification[static_cast<std::size_t>(i)] = n[static_cast<std::size_t>(i)];
      if (n[static_cast<std::size_t>(i)] < 0 || n[static_cast<std::size_t>(i)] > 255)
        Mismatch(2, "identification numbers run 0..255");
    }

    // Lines 3..75: one per identifier, taken by position.
    for (int identifier = 0; identifier <= kLastIdentifier; ++identifier) {
      const int number = identifier + 3;
      if (!Next(in, number, &line)) return;
      if (!Numbers(line, &n, &why)) return Stop(number, why);
      if (!TakeParameter(identifier, number, n)) return;
      ++r_.parameterLinesRead;
    }

    // Line 76: the trailer, and nothing after it.
    if (!Next(in, kFileLines, &line)) return;
    if (line != Marker("end")) Mismatch(kFileLines, "not a parameter file trailer");
    if (!last_ && in.peek() != EOF) Mismatch(kFileLines + 1, "more than 76 lines");
    r_.whole = r_.problem.empty();
  }

 private:
  // The next line; false (and reading stopped) when there is none to read.
  bool Next(std::istream& in, int number, std::string* line) {
    if (last_) {
      Stop(number, "the file ends here; expected 76 lines");
      return false;
    }
    switch (GetLine(in, kMaxLineLength, line)) {
      case LineEnd::NoLine:
        Stop(number, "the file ends here; expected 76 lines");
        return false;
      case LineEnd::TooLong:
        Stop(number, "longer than " + std::to_string(kMaxLineLength) + " characters");
        return false;
      case LineEnd::LastLine:
        last_ = true;
        return true;
      case LineEnd::Ended:
        return true;
    }
    return false;
  }

  bool TakeParameter(int identifier, int number, const std::vector<long>& n) {
    if (n.size() < 2) {
      Stop(number, "expected the identifier, its code and values");
      return false;
    }
    const std::uint32_t fileCode = static_cast<std::uint32_t>(n[1]);
    const std::uint32_t ownCode = params::Code(identifier);
    const int slot = params::OwnSlot(identifier);
    const int own = params::ElementCount(identifier);
    // As many values as the file's code word says, never more than the
    // parameter has; none for an identifier without a slot.
    int wanted = 0;
    if (slot >= 0) {
      const int claimed = ecu::CodeIsArray(fileCode) ? ecu::CodeElementCount(fileCode) : 1;
      wanted = claimed < own ? claimed : own;
    }
    const std::size_t values = n.size() - 2;
    if (values < static_cast<std::size_t>(wanted)) {
      Stop(number, "expected " + std::to_string(wanted) + " value(s)");
      return false;
    }
    for (int i = 0; i < wanted; ++i) {
      const long value = n[static_cast<std::size_t>(2 + i)];
      if (value >= 0 && value <= 255)
        r_.slots[static_cast<std::size_t>(slot + i)] = static_cast<std::int32_t>(value);
    }

    // Exactly as the format says?
    if (n[0] != identifier) return Mismatch(number, "expected identifier " + std::to_string(identifier));
    if (n[1] != static_cast<long>(ownCode))
      return Mismatch(number, "identifier " + std::to_string(identifier) + " has code " +
                                  std::to_string(ownCode));
    const std::size_t exact = slot >= 0 ? static_cast<std::size_t>(own) : 1;
    if (values != exact) return Mismatch(number, "expected " + std::to_string(exact) + " value(s)");
    for (std::size_t i = 2; i < n.size(); ++i) {
      const bool raw = slot >= 0 && n[i] >= 0 && n[i] <= 255;
      if (!raw && n[i] != kMissingValue)
        return Mismatch(number, "value " + std::to_string(n[i]) + " is not a raw byte");
    }
    return SameEcuValueAgrees(identifier, number);
  }

  // Two identifiers with the same code are one value in the ECU: a file that
  // gives them different values cannot be written as it says.
  bool SameEcuValueAgrees(int identifier, int number) {
    const params::Parameter* p = params::Find(identifier);
    const params::Parameter* first = p != nullptr ? params::SameEcuValueAs(*p) : nullptr;
    if (first == nullptr) return true;
    const int other = params::Number(first->id);
    const auto& mine = r_.slots[static_cast<std::size_t>(p->slot)];
    const auto& theirs = r_.slots[static_cast<std::size_t>(first->slot)];
    if (mine && theirs && *mine != *theirs)
      return Mismatch(number, "identifier " + std::to_string(identifier) + " gives " +
                                  std::to_string(*mine) + " but identifier " +
                                  std::to_string(other) + " (line " + std::to_string(other + 3) +
                                  ") gives " + std::to_string(*theirs) +
                                  "; they are one value in the ECU");
    return true;
  }

  // The file is read on, but it is not whole.
  bool Mismatch(int line, const std::string& what) {
    if (r_.problem.empty()) r_.problem = At(line, what);
    return true;
  }

  // Reading ends here: the rest keeps its values.
  void Stop(int line, const std::string& what) {
    if (r_.problem.empty()) r_.problem = At(line, what);
    r_.whole = false;
  }

  Reading& r_;
  bool last_ = false;  // the line just read had no line end
};

}  // namespace

std::string Marker(const char* word) {
  return std::string("#define ") + word + "  \"Mirel ConfigFile\"";
}

Reading Read(std::istream& in) {
  Reading reading;
  reading.opened = true;
  Reader(&reading).Run(in);
  return reading;
}

Reading ReadFile(const std::string& path) {
  // The reader never goes past 76 lines of limited length and one byte more,
  // so the start of the file is all it can need.
  constexpr std::size_t kEnough = 64 * 1024;
  std::string bytes;
  std::string why;
  if (!regularfile::ReadStart(path, kEnough, &bytes, &why)) {
    Reading reading;
    reading.problem = why;
    return reading;
  }
  return ReadBytes(bytes);
}

Reading ReadBytes(const std::string& bytes) {
  std::istringstream in(bytes);
  return Read(in);
}

}  // namespace paramfile
