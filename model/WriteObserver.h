// Who hears about every write the store sends to the ECU: single values,
// array elements, whole arrays, the full write after a file load, the erase
// and a restore. The store stays free of files and clocks beyond stamping the
// time; what is kept (the write journal) is the observer's business.
#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>
#include <vector>

// The ECU's answer to one write. A write that fails while the link still
// counts as connected was refused by the ECU; one that fails with the link
// gone got no answer.
enum class WriteAnswer { kAccepted, kRefused, kNoAnswer };

// A run of writes that belong together: a whole configuration written after a
// file load, the erase back to factory values, a restore of the values that
// differ from a saved configuration.
enum class BulkWrite { kFileLoad, kErase, kRestore };

struct WriteAttempt {
  std::chrono::system_clock::time_point time;
  int identifier = 0;        // the parameter's number (params::Id)
  int element = -1;          // index within an array; -1 for a single value
  std::int32_t oldRaw = 0;   // the byte before the write (whole shared byte)
  std::int32_t newRaw = 0;   // the byte sent; 0 for the customer code, never kept
  long double oldValue = 0;  // in the parameter's units
  long double newValue = 0;
  WriteAnswer answer = WriteAnswer::kAccepted;
};

class WriteObserver {
 public:
  // source: the file a load or restore comes from; empty for an erase.
  virtual void BulkWriteStarted(BulkWrite kind, std::string_view source) = 0;
  virtual void WriteAttempted(const WriteAttempt& attempt) = 0;
  virtual void BulkWriteFinished(BulkWrite kind) = 0;

 protected:
  ~WriteObserver() = default;
};

// Passes every write on to several observers (the write journal, a session
// recording), in the order they were added.
class WriteFanOut final : public WriteObserver {
 public:
  // An observer added twice still hears each write once; nullptr is ignored.
  void Add(WriteObserver* observer);
  void Remove(WriteObserver* observer);
  bool Empty() const { return observers_.empty(); }

  void BulkWriteStarted(BulkWrite kind, std::string_view source) override;
  void WriteAttempted(const WriteAttempt& attempt) override;
  void BulkWriteFinished(BulkWrite kind) override;

 private:
  std::vector<WriteObserver*> observers_;
};
