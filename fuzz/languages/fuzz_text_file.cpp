// Arbitrary bytes read as a text file: every non-blank line and its fields come back, decoded
// to ANSI, or the read ends with ETextFileError; never a crash.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "languages/text_file.h"

namespace {

const std::string& scratchFile() {
  static const std::string path = [] {
    char pattern[] = "/tmp/fuzz_text_file_XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) std::abort();
    close(fd);
    return std::string(pattern);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FILE* file = std::fopen(scratchFile().c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  vekrano::languages::TTextFile text(size > 0 && data[0] % 2 == 0 ? ';' : ',');
  try {
    text.Open(scratchFile());
  } catch (const vekrano::languages::ETextFileError&) {
    return 0;
  }
  std::size_t lines = 0;
  for (; !text.Eof(); text.NextLine()) {
    // Every line holds at least one byte of the input, so there can never be more lines.
    if (++lines > size || text.Line().empty()) std::abort();
    for (int k = 1; k <= 11; ++k) text.Field(k);
  }
  if (!text.Line().empty()) std::abort();
  return 0;
}
