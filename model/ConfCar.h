// The parameter store: the program's raw copy of the ECU's configuration, the
// conversions between raw bytes and engineering units, the full read and
// write, and the parameter file. No Qt; failures are return values.
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "EcuLink.h"
#include "Parameters.h"
#include "WriteObserver.h"

namespace paramfile {
struct Reading;
}

// Identifiers run 0..kParameterCount - 1; the image holds kImageSlots raw slots.
constexpr int kParameterCount = params::kCount;
constexpr int kImageSlots = params::kSlotCount;
// Returned by GetValue for identifiers without a value, written to parameter
// files for them, and read from a file as "leave the current value".
constexpr std::int32_t kMissingValue = 800000;
// MemberAddress of an identifier that has no slot of its own.
constexpr int kNoSlot = -1;

// Progress of a full read: percent to add (add = true) or to set (add = false).
using ProgressCallback = std::function<void(int percent, bool add)>;

// Base of the store: the current file name and why its last save failed.
class IoBaseData {
 public:
  // Longest file name the store holds. Longer names are refused.
  static constexpr std::size_t kMaxFileNameLength = 183;

  explicit IoBaseData(std::string_view fileName);

  // false (and the old name kept) when the name is longer than the limit.
  bool SetFileName(std::string_view fileName);
  const std::string& FileName() const { return fileName_; }
  // Why the last save failed ("" after a save that worked).
  const std::string& SaveError() const { return saveError_; }

 protected:
  std::string saveError_;

 private:
  std::string fileName_;
};

class ConfCar : public IoBaseData {
 public:
  using Image = std::array<std::int32_t, kImageSlots>;

  explicit ConfCar(std::string_view fileName, ecu::EcuLink* link = nullptr);

  // The ECU link is created after the store; without one every write fails.
  void SetLink(ecu::EcuLink* link) { link_ = link; }
  ecu::EcuLink* Link() const { return link_; }
  void SetProgressCallback(ProgressCallback callback) { progress_ = std::move(callback); }
  // Told of every write sent to the ECU and its answer; any number of
  // observers, each told in the order it was added.
  void AddWriteObserver(WriteObserver* observer) { observers_.Add(observer); }
  void RemoveWriteObserver(WriteObserver* observer) { observers_.Remove(observer); }

  void ResetDefaults();
  // Slot of the identifier's first value, or kNoSlot.
  int MemberAddress(int identifier) const;
  // The code word that names the identifier to the link (0 outside the table).
  static std::uint32_t ParameterCode(int identifier);
  // Sends the option byte with bit 5 set or cleared; stores it only on success.
  bool SetOpticalSensor(bool on);

  bool VariantFlag() const { return variant_; }
  void SetVariantFlag(bool on) { variant_ = on; }
  bool InvertedTps() const;
  bool InvertedLevel() const;
  bool OpticalSensorInUse() const;

  // Engineering units by identifier; kMissingValue where there is none.
  long double GetValue(int identifier);
  long double GetValue(params::Id id) { return GetValue(params::Number(id)); }
  // 1 accepted and stored, 0 refused or not writable, -1 negative identifier.
  int SetValue(int identifier, double value);
  int SetValue(params::Id id, double value) { return SetValue(params::Number(id), value); }
  // Sends the customer code, reports it to the observer without its value
  // and keeps nothing; true when the ECU accepted it. SetValue of the
  // customer code sends it the same way and returns 1 whatever the answer.
  bool SendCustomerCode(std::int32_t code);
  // The arrays' elements; kMissingValue for any other identifier or index.
  long double GetElement(int identifier, int index) const;
  long double GetElement(params::Id id, int index) const {
    return GetElement(params::Number(id), index);
  }
  // 1.0 accepted and stored, 0.0 otherwise.
  double SetElement(int identifier, int index, double value);
  double SetElement(params::Id id, int index, double value) {
    return SetElement(params::Number(id), index, value);
  }

  // The units of a raw byte of a single-value identifier, or of one element
  // of an array, by the same rules as GetValue and GetElement (with this
  // store's TPS and level flags); never talks to the ECU.
  long double ValueOfRaw(int identifier, std::int32_t raw) const;
  long double ElementValueOfRaw(int identifier, int index, std::int32_t raw) const;

  // Sends one raw byte of an identifier with its own slot (element -1 for a
  // single value, else the index of an array element) and keeps it when the
  // ECU accepts it; reported to the observer like any other write.
  bool WriteRaw(int identifier, int element, std::int32_t raw);
  // Erases the ECU's parameter memory back to its factory values. When the
  // ECU accepts, settle() waits for it, the store loads its defaults and reads
  // everything back; the values that changed are reported. Returns the answer.
  bool EraseMemory(const std::function<void()>& settle);
  // Brackets a run of writes that belong together, for the observer.
  void BeginBulkWrite(BulkWrite kind, std::string_view source);
  void EndBulkWrite(BulkWrite kind);

  // Full read with progress (eleven times +9, then =100); returns 0.
  int ReadAll();
  // Writes the whole store, every answer ignored; returns 0.
  int WriteAll();
  // A six-value table (the level sensor calibration, the indicator outputs):
  // reads the six elements into the store and the buffer; returns 1, or 0
  // for any other identifier.
  int ReadArray(int identifier, int buffer[6]);
  int ReadArray(params::Id id, int buffer[6]) { return ReadArray(params::Number(id), buffer); }
  // A six-value table: writes six raw values, stops at the first refusal; the
  // store takes them only when all six were accepted (returns 1), else 0.
  int WriteArray(int identifier, const int values[6]);
  int WriteArray(params::Id id, const int values[6]) {
    return WriteArray(params::Number(id), values);
  }

  // Parameter file under FileName(). SaveFile returns false when the file could
  // not be written (the old file, if any, is then left as it was; SaveError
  // says why). It replaces a regular file or makes a new one, writes through
  // a symlink to its target, and refuses a device, a FIFO or a folder. LoadFile
  // returns false when the file could not be opened; it always ends by writing
  // the whole store to the ECU.
  bool SaveFile();
  bool LoadFile();
  // The strict load (ecuctl write): the file's values only when the reader
  // takes the file whole, then the whole store to the ECU. Otherwise false,
  // the reason in problem, the store as it was and nothing sent.
  bool LoadWholeFile(std::string* problem = nullptr);

  // Raw image, read-only; slots are raw bytes unless stated.
  const Image& RawImage() const { return image_; }
  // Puts a raw value into a slot without ECU traffic (tests, simulators).
  void StoreRaw(int slot, std::int32_t raw);

 private:
  // Sends a single value and stores it when the ECU accepts it.
  bool Write(int identifier, int slot, std::int32_t raw);
  // Sends one value (element -1) or one element with the given code, keeps
  // track of what the ECU holds and reports it; the image is the caller's.
  bool Send(int identifier, int element, std::uint32_t code, int slot, std::int32_t raw);
  // Tells the observer; the answer is refused while the link is connected.
  void Report(int identifier, int element, std::int32_t oldRaw, std::int32_t newRaw, bool accepted);
  // The values of the slots between two images that differ, as accepted writes.
  void ReportChanges(const Image& before);
  void TakeFileValues(const paramfile::Reading& reading);
  void ReadInto(params::Id id);
  void Progress(int percent, bool add);

  ecu::EcuLink* link_ = nullptr;
  ProgressCallback progress_;
  WriteFanOut observers_;
  Image image_{};
  // What the ECU is known to hold: set by the full read and by every write
  // it accepted. A full write reports its changes against it.
  Image ecuImage_{};
  bool variant_ = false;
};

// Thermistor conversions for temperatures (the change-over and gas start
// temperatures, the live view).
long double TemperatureOfRaw(int raw);
int RawOfTemperature(float celsius);
