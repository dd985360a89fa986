// Arbitrary bytes as the calibration file: reading never fails or crashes, every value lies in
// its range, and what was read writes out and reads back the same (calibrations that change
// nothing are left out of the file).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_scratch_file.h"
#include "printing/printer_calibration.h"

namespace {

using namespace vekrano::printing;

bool inRange(const PrinterCalibration& c) {
  return std::isfinite(c.offsetXMm) && std::abs(c.offsetXMm) <= kMaxOffsetMm && std::isfinite(c.offsetYMm) &&
         std::abs(c.offsetYMm) <= kMaxOffsetMm && c.scalePercent >= kMinScalePercent &&
         c.scalePercent <= kMaxScalePercent;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = vekrano::fuzzing::writeScratchFile(kCalibrationFileName, data, size);
  if (path.empty()) return 0;
  const PrinterCalibrations read = readCalibrationFile(path);
  PrinterCalibrations kept;
  for (const auto& [name, calibration] : read) {
    if (name.empty() || !inRange(calibration)) std::abort();
    if (!calibration.isIdentity()) kept[name] = calibration;
  }
  if (parseCalibrations(formatCalibrations(read)) != kept) std::abort();
  return 0;
}
