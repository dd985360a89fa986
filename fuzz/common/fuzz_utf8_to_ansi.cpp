// Arbitrary bytes through the UTF-8 boundary: never a crash, and valid input round-trips
// wherever every character has an ANSI counterpart.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/code_page.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string ansi = vekrano::common::utf8ToAnsi(bytes);
  const std::string back = vekrano::common::ansiToUtf8(ansi);
  if (!vekrano::common::isValidUtf8(back)) std::abort();
  if (vekrano::common::utf8ToAnsi(back) != ansi) std::abort();
  return 0;
}
