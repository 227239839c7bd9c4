// What the fuzz targets share: a check that ends the run with a message (a
// finding), and a scratch file for targets whose code under test reads files.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#define FUZZ_CHECK(condition, what)                                                        \
  do {                                                                                     \
    if (!(condition)) {                                                                    \
      std::fprintf(stderr, "FUZZ FINDING %s:%d: %s (%s)\n", __FILE__, __LINE__, what,      \
                   #condition);                                                            \
      std::abort();                                                                        \
    }                                                                                      \
  } while (0)

namespace fuzz {

// A folder of this process's own, in memory where the system offers one.
inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::error_code error;
    std::filesystem::path base = "/dev/shm";
    if (!std::filesystem::is_directory(base, error)) base = std::filesystem::temp_directory_path();
    std::filesystem::path mine = base / ("mv-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(mine, error);
    // Removed when the run ends, however many inputs it took.
    static struct Remover {
      std::filesystem::path path;
      ~Remover() {
        std::error_code e;
        std::filesystem::remove_all(path, e);
      }
    } remover{mine};
    return mine;
  }();
  return folder;
}

inline std::string ScratchFile(const char* name) {
  return (ScratchFolder() / name).string();
}

inline void WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr, "the scratch file can be written");
  if (size > 0) FUZZ_CHECK(std::fwrite(data, 1, size, file) == size, "the scratch file takes the input");
  std::fclose(file);
}

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
