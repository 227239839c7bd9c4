// Fuzz target: the store's load of a parameter file, through a recording fake
// link. Whatever the bytes, the load takes exactly the values the reader
// reports (and raw bytes only), leaves every other slot as it was, and then
// writes the whole store; the strict load takes the same file whole or not at
// all, and reading from a file and from memory agree.
#include <string>

#include "FuzzSupport.h"
#include "ParameterFileReader.h"
#include "RecordingLink.h"
#include "StoreSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchFile("load.dmr");
  fuzz::WriteFile(path, data, size);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const paramfile::Reading reading = paramfile::ReadBytes(bytes);
  FUZZ_CHECK(reading.parameterLinesRead >= 0 && reading.parameterLinesRead <= 73,
             "at most 73 parameter lines");
  FUZZ_CHECK(!reading.whole || reading.parameterLinesRead == 73, "a whole file has every line");
  FUZZ_CHECK(reading.whole == reading.problem.empty(), "a problem exactly when not whole");

  RecordingLink link;
  ConfCar store(path, &link);
  fuzz::Mark(store);
  const ConfCar::Image before = store.RawImage();
  FUZZ_CHECK(store.LoadFile(), "the file opens");
  for (std::size_t slot = 0; slot < kImageSlots; ++slot) {
    const std::int32_t now = store.RawImage()[slot];
    FUZZ_CHECK(now == reading.slots[slot].value_or(before[slot]),
               "the load takes exactly what the reader read");
    FUZZ_CHECK(now == before[slot] || (now >= 0 && now <= 255), "a file gives raw bytes only");
  }
  FUZZ_CHECK(link.Writes().size() == fuzz::WholeStoreWrites(store), "the whole store is written");

  RecordingLink strictLink;
  ConfCar strict(path, &strictLink);
  fuzz::Mark(strict);
  std::string problem;
  const bool whole = strict.LoadWholeFile(&problem);
  FUZZ_CHECK(whole == reading.whole, "the file reads alike from disk and from memory");
  if (whole) {
    FUZZ_CHECK(strict.RawImage() == store.RawImage(), "a whole file loads alike both ways");
    FUZZ_CHECK(strictLink.Writes().size() == fuzz::WholeStoreWrites(strict), "and is written");
  } else {
    FUZZ_CHECK(problem == reading.problem, "the same reason both ways");
    FUZZ_CHECK(strict.RawImage() == before, "a refused file changes nothing");
    FUZZ_CHECK(strictLink.calls.empty(), "a refused file sends nothing");
  }
  return 0;
}
