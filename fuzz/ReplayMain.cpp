// Replays inputs through a fuzz target without libFuzzer, for the ordinary
// (gcc, sanitizer) build: every file named on the command line, and every
// file under every folder named, is given once to the target. A finding
// aborts the program, so the test that runs it fails.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzSupport.h"

extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize != nullptr) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path given = argv[i];
    if (std::filesystem::is_directory(given)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(given)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else if (std::filesystem::is_regular_file(given)) {
      inputs.push_back(given);
    } else {
      std::fprintf(stderr, "replay: %s is neither a file nor a folder\n", argv[i]);
      return 2;
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::fprintf(stderr, "replay: no inputs\n");
    return 2;
  }
  for (const auto& path : inputs) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    static const std::uint8_t kNothing = 0;  // an empty input still has an address
    LLVMFuzzerTestOneInput(
        bytes.empty() ? &kNothing : reinterpret_cast<const std::uint8_t*>(bytes.data()),
        bytes.size());
  }
  std::printf("replay: %zu inputs, no finding\n", inputs.size());
  return 0;
}
