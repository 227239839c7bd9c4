// The one reader of the parameter file format. The store's load,
// the strict check before a write and anything else that reads these files go
// through it, so "the check passes" means exactly "the file loads as these
// values".
//
// The reader takes the file line by line. A line ends at a line feed, with an
// optional carriage return before it; numbers on a line are separated by
// spaces or tabs and nothing else (a form feed, a vertical tab, a lone
// carriage return or any other byte is not a separator and makes the line
// unreadable). A number is an optional sign and at most nine digits. A line
// may hold at most kMaxLineLength characters before its line end (the first
// line kMaxHeaderLength); a longer line is unreadable and is never gathered
// whole.
//
// Reading stops at the first line it cannot read. The lines before it give
// the values (the store's forgiving load takes those, as the format's load
// always did); the file is whole only when all 76 lines were read and each is
// exactly what the format says.
#pragma once

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>

#include "ConfCar.h"

namespace paramfile {

constexpr int kFileLines = 76;
constexpr int kLastIdentifier = params::Number(params::kLastFileParameter);
constexpr std::size_t kMaxHeaderLength = 79;
constexpr std::size_t kMaxLineLength = 100;

// "#define start  \"Mirel ConfigFile\"" and the same with "end".
std::string Marker(const char* word);

struct Reading {
  bool opened = false;
  // Every line read and each exactly as the format says. Then slots holds
  // every value the file gives and nothing else.
  bool whole = false;
  // Empty when whole; otherwise "line N: what is wrong" (or why the file
  // cannot be opened).
  std::string problem;
  // The identification numbers of line 2 (when it was read).
  std::array<long, 4> identification{};
  // What the file gives each slot, from the lines before the first unreadable
  // one; nothing where the slot keeps its current value (the missing-value
  // marker, a number that is not a raw byte, a line not reached).
  std::array<std::optional<std::int32_t>, kImageSlots> slots{};
  // Parameter lines read (0 up to one per identifier of the file), in the
  // forgiving sense.
  int parameterLinesRead = 0;
};

// Reads from a stream (at most the 76 lines and one byte more).
Reading Read(std::istream& in);
// Reads the file at path; opened is false when it cannot be opened.
Reading ReadFile(const std::string& path);
// Reads bytes held in memory.
Reading ReadBytes(const std::string& bytes);

}  // namespace paramfile
