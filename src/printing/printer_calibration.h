// Printer calibration: the offset and scale that correct a printer whose sheets come out a little
// off, kept per printer name in a plain text file of the program directory.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "common/exception.h"

namespace vekrano::printing {

inline constexpr const char* kCalibrationFileName = "VEKRANO.CAL";
inline constexpr double kMaxOffsetMm = 10.0;  // offsets run from -10.0 to 10.0 mm
inline constexpr double kMinScalePercent = 95.0;
inline constexpr double kMaxScalePercent = 105.0;
inline constexpr double kDefaultScalePercent = 100.0;

// A page printed with it lands `offsetXMm` further right and `offsetYMm` further down, and is
// scaled by `scalePercent` about the paper's top-left corner: a point x mm from the left edge
// prints at offsetXMm + x * scalePercent / 100.
struct PrinterCalibration {
  double offsetXMm = 0;
  double offsetYMm = 0;
  double scalePercent = kDefaultScalePercent;

  bool isIdentity() const { return *this == PrinterCalibration{}; }
  bool operator==(const PrinterCalibration&) const = default;
};

// Calibrations by printer name (ANSI), exactly as the printer list spells it.
using PrinterCalibrations = std::map<std::string, PrinterCalibration>;

// Each value clamped to its range and rounded to the nearest tenth; a value that is not a finite
// number becomes its default.
PrinterCalibration clampCalibration(PrinterCalibration calibration);

// The calibration of `printerName`; the identity for a printer without one.
PrinterCalibration calibrationOf(const PrinterCalibrations& calibrations, const std::string& printerName);

// The calibrations in a file's text (ANSI). One line per printer: its name, then the horizontal
// offset, the vertical offset and the scale, separated by blanks or tabs, "." or "," as decimal
// separator. Blank lines and lines starting with "#" are comments. A value that is not a number
// takes its default, a value out of range is clamped; a line without a name is skipped; the
// last line of a name counts. Never fails.
PrinterCalibrations parseCalibrations(std::string_view text);

// The file's text (ANSI) for `calibrations`: a comment line, then one line per printer that has
// a calibration other than the identity, tab-separated, values with one decimal and ".".
// Names that hold a line break cannot be kept and are left out.
std::string formatCalibrations(const PrinterCalibrations& calibrations);

// A calibration file that cannot be written.
class ECalibrationFileError : public common::Exception {
 public:
  using common::Exception::Exception;
};

// The calibrations of the file at `path`, read as the language file is (UTF-8 when valid,
// otherwise Windows-1252). A missing, unreadable or damaged file gives what can be read of it,
// nothing at worst; it never fails.
PrinterCalibrations readCalibrationFile(const std::string& path);

// Replaces the file at `path` with `calibrations` in UTF-8; the new content is written beside it
// first, so a failure leaves the old file whole. Throws ECalibrationFileError on failure.
void writeCalibrationFile(const std::string& path, const PrinterCalibrations& calibrations);

}  // namespace vekrano::printing
