// Comparing two whole configurations (a parameter file, a snapshot, the
// store as the ECU holds it) value by value, and writing back to the ECU only
// the values that differ from a saved configuration.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "ConfCar.h"

// A configuration as raw slots; a slot the source has no value for holds kAbsent.
constexpr std::int32_t kAbsent = -1;

struct Configuration {
  std::array<std::int32_t, kImageSlots> raw{};
  bool opened = false;  // false: the file could not be read at all
  bool header = false;  // the file starts with the parameter file header
  int absent = 0;       // values the file does not give (marker, cut short, not a number)
};

// Reads a parameter file with the store's own reader, into a store that has
// no link, so nothing reaches the ECU.
Configuration ReadConfiguration(const std::filesystem::path& file);
// The strict reading a write to the ECU uses: the file only when the
// parameter-file reader takes it whole (model/ParameterFileReader.h).
// Otherwise false, with "line N: what" (or why it cannot be read) in problem.
bool ReadWholeConfiguration(const std::filesystem::path& file, Configuration* c,
                            std::string* problem);
// The store's image: every value present except the two the file never holds.
Configuration ConfigurationOf(const ConfCar& store);

// One compared value. Values shared in one byte are compared bit field by
// bit field under their own identifiers; the rest of the option byte stays
// under the option byte's.
struct CompareRow {
  int identifier = 0;
  int element = -1;
  std::int32_t rawA = kAbsent;  // the field's bits, or kAbsent
  std::int32_t rawB = kAbsent;
  long double valueA = kMissingValue;  // units; kMissingValue when absent
  long double valueB = kMissingValue;
  long double factory = kMissingValue;
  bool differs = false;  // apart, and not a value the ECU keeps by itself
  bool keptByEcu = false;
};

// Values the ECU keeps up to date by itself while the engine runs: the
// diagnosis error flags always, the actuator's default position unless the
// fixed-default option (a bit of the option byte) is on, when it is the
// technician's setting. optionByte may be kAbsent (option off).
bool KeptByEcu(int identifier, std::int32_t optionByte);

// Rows in identifier order; only the differing ones unless all is set. A
// value kept by the ECU (on both sides) never counts as differing; it is
// listed, marked, after all the others, wherever its two sides are apart.
std::vector<CompareRow> CompareConfigurations(const Configuration& a, const Configuration& b,
                                              bool all = false);

// Units as text: up to 15 significant digits, '.' for decimals, "-" for none.
std::string UnitText(long double value);
// The words of the comma-separated table: its column headers and what the
// last column says of a row. English unless a caller gives its own.
struct CsvWords {
  std::string identifier = "identifier";
  std::string element = "element";
  std::string parameter = "parameter";
  std::string factory = "factory";
  std::string differs = "differs";
  std::string yes = "yes";
  std::string no = "no";
  std::string keptByEcu = "kept by the ECU";
};
// The rows as comma-separated text with a header line; captions gives each
// row's caption.
std::string CompareCsv(const std::vector<CompareRow>& rows,
                       const std::vector<std::string>& captions, std::string_view nameA,
                       std::string_view nameB, const CsvWords& words = {});

struct RestoreStep {
  int identifier = 0;
  int element = -1;
  std::int32_t raw = 0;
};
// The values of target that differ from the store's, in the full write's
// order (values target does not give are left alone; the second name of one
// ECU value goes with the first; values
// the ECU keeps by itself, as the option byte will be after the restore, are
// not written).
std::vector<RestoreStep> RestorePlan(const ConfCar& store, const Configuration& target);

struct RestoreOutcome {
  std::vector<RestoreStep> written;  // the plan
  std::vector<RestoreStep> refused;  // not held by the ECU when read back
  bool linkLost = false;
  int taken = 0;   // values the ECU said it took
  int unsent = 0;  // values not sent because the link was gone
};
// Writes the plan as one run named by source, then reads the whole ECU back
// and lists every written value it does not hold as written. Once the link
// is lost nothing more is sent.
RestoreOutcome Restore(ConfCar& store, const Configuration& target, std::string_view source);
