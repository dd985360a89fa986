// One file per fuzz process that each input is written to before the code under test reads it.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vekrano::fuzzing {

// A fresh folder made once per process; the scratch file lies in it. It is made in memory
// (/dev/shm) where there is one: a disk write per input slows a run down many times over.
inline const std::string& scratchFolder() {
  static const std::string path = [] {
    char memory[] = "/dev/shm/vekrano_fuzz_XXXXXX";
    if (mkdtemp(memory) != nullptr) return std::string(memory);
    char pattern[] = "/tmp/vekrano_fuzz_XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    return std::string(pattern);
  }();
  return path;
}

// Writes `data` as the whole file `name` of the scratch folder and returns its path; empty when
// it cannot be written.
inline std::string writeScratchFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = scratchFolder() + "/" + name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return {};
  const bool written = std::fwrite(data, 1, size, file) == size;
  if (std::fclose(file) != 0 || !written) return {};
  return path;
}

}  // namespace vekrano::fuzzing
