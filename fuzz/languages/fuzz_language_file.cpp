// Arbitrary bytes as the language file: loading either succeeds or leaves no text in force,
// every slot can be asked for, and no slot holds more than the file did; never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_scratch_file.h"
#include "languages/language_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vekrano::languages;
  const std::string path = vekrano::fuzzing::writeScratchFile("vekrano.lg", data, size);
  if (path.empty()) return 0;
  Tgerelanguage language;
  language.setFileName(path);
  const bool loaded = language.Load();
  if (loaded != language.Loaded()) std::abort();
  for (int n = -1; n <= kSlotCount + 1; ++n) {
    const std::string& slot = language.Slot(n);
    if (n >= 1 && n <= kTextSlotCount && !slot.empty() && !language.hasTextLine(n)) std::abort();
    // The character set slot is a number the loader writes itself; the others come from the file.
    if (n != kCharsetSlot && slot.size() > size) std::abort();
    if (!loaded && !slot.empty()) std::abort();
  }
  return 0;
}
