// Arbitrary bytes as the settings file: loading never fails or crashes, a printer name never
// exceeds its field, and what was loaded saves and loads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/settings_file.h"
#include "fuzz_scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vekrano::app;
  if (vekrano::fuzzing::writeScratchFile(kSettingsFileName, data, size).empty()) return 0;
  const std::string directory = vekrano::fuzzing::scratchFolder() + "/";
  ShellSettings loaded;
  if (!loadSettings(directory, loaded)) std::abort();
  if (loaded.printerName.size() > kPrinterNameLength) std::abort();
  if (size < kSettingsRecordSize && (loaded.languageNumber != 1 || loaded.labelTypeIndex != 0)) std::abort();
  if (!saveSettings(directory, loaded)) return 0;
  ShellSettings again;
  if (!loadSettings(directory, again)) std::abort();
  if (again.languageNumber != loaded.languageNumber || again.labelTypeIndex != loaded.labelTypeIndex ||
      again.printerName != loaded.printerName) {
    std::abort();
  }
  return 0;
}
