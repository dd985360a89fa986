// Arbitrary bytes read as a text file: every non-blank line and its fields come back, decoded
// to ANSI, or the read ends with ETextFileError; never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_scratch_file.h"
#include "languages/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = vekrano::fuzzing::writeScratchFile("text", data, size);
  if (path.empty()) return 0;
  vekrano::languages::TTextFile text(size > 0 && data[0] % 2 == 0 ? ';' : ',');
  try {
    text.Open(path);
  } catch (const vekrano::languages::ETextFileError&) {
    return 0;
  }
  std::size_t lines = 0;
  for (; !text.Eof(); text.nextLine()) {
    // Every line holds at least one byte of the input, so there can never be more lines.
    if (++lines > size || text.Line().empty()) std::abort();
    for (int k = 1; k <= 11; ++k) text.Field(k);
  }
  if (!text.Line().empty()) std::abort();
  return 0;
}
