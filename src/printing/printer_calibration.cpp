// The calibration file. It is meant to be read and edited by hand, so reading forgives
// everything and keeps whatever it can make sense of.
#include "printing/printer_calibration.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "common/code_page.h"
#include "languages/text_file.h"

namespace vekrano::printing {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr const char* kHeader =
    "# Vekrano printer calibration: printer name, horizontal offset (mm, -10.0 to 10.0), "
    "vertical offset (mm, -10.0 to 10.0), scale (%, 95.0 to 105.0)\n";

double clampTenths(double value, double low, double high, double fallback) {
  if (!std::isfinite(value)) return fallback;
  return std::round(std::clamp(value, low, high) * 10.0) / 10.0;
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// A number written with "." or ","; nothing when the token is not one number.
std::optional<double> numberOf(std::string_view token) {
  std::string text(token);
  std::replace(text.begin(), text.end(), ',', '.');
  if (!text.empty() && text.front() == '+') text.erase(0, 1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Splits the last three blank-separated tokens off `line`; what is left before them is the name.
struct CalibrationLine {
  std::string_view name;
  std::array<std::string_view, 3> values;
};

std::optional<CalibrationLine> splitLine(std::string_view line) {
  CalibrationLine split;
  std::string_view rest = trimmed(line);
  for (int k = 2; k >= 0; --k) {
    const std::size_t blank = rest.find_last_of(kBlanks);
    if (blank == std::string_view::npos) return std::nullopt;
    split.values[k] = rest.substr(blank + 1);
    rest = trimmed(rest.substr(0, blank));
  }
  if (rest.empty()) return std::nullopt;
  split.name = rest;
  return split;
}

std::string tenths(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 1);
  return std::string(buffer.data(), result.ptr);
}

}  // namespace

PrinterCalibration clampCalibration(PrinterCalibration calibration) {
  return {clampTenths(calibration.offsetXMm, -kMaxOffsetMm, kMaxOffsetMm, 0),
          clampTenths(calibration.offsetYMm, -kMaxOffsetMm, kMaxOffsetMm, 0),
          clampTenths(calibration.scalePercent, kMinScalePercent, kMaxScalePercent, kDefaultScalePercent)};
}

PrinterCalibration calibrationOf(const PrinterCalibrations& calibrations, const std::string& printerName) {
  const auto it = calibrations.find(printerName);
  return it == calibrations.end() ? PrinterCalibration{} : it->second;
}

PrinterCalibrations parseCalibrations(std::string_view text) {
  PrinterCalibrations calibrations;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (trimmed(line).empty() || trimmed(line).front() == '#') continue;
    const std::optional<CalibrationLine> split = splitLine(line);
    if (!split) continue;
    const PrinterCalibration defaults;
    PrinterCalibration calibration{numberOf(split->values[0]).value_or(defaults.offsetXMm),
                                   numberOf(split->values[1]).value_or(defaults.offsetYMm),
                                   numberOf(split->values[2]).value_or(defaults.scalePercent)};
    calibrations[std::string(split->name)] = clampCalibration(calibration);
  }
  return calibrations;
}

std::string formatCalibrations(const PrinterCalibrations& calibrations) {
  std::string text = kHeader;
  for (const auto& [name, given] : calibrations) {
    const PrinterCalibration calibration = clampCalibration(given);
    const std::string_view kept = trimmed(name);
    if (calibration.isIdentity() || kept.empty() || kept != name || name.find_first_of("\r\n") != std::string::npos) {
      continue;
    }
    text += name + '\t' + tenths(calibration.offsetXMm) + '\t' + tenths(calibration.offsetYMm) + '\t' +
            tenths(calibration.scalePercent) + '\n';
  }
  return text;
}

PrinterCalibrations readCalibrationFile(const std::string& path) {
  try {
    return parseCalibrations(languages::readAnsiText(path));
  } catch (const std::exception&) {
    return {};
  }
}

void writeCalibrationFile(const std::string& path, const PrinterCalibrations& calibrations) {
  const std::string fresh = path + ".new";
  const std::string text = common::ansiToUtf8(formatCalibrations(calibrations));
  {
    std::ofstream file(fresh, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(fresh, ignored);
      throw ECalibrationFileError("Cannot write the calibration file " + path);
    }
  }
  std::error_code error;
  std::filesystem::rename(fresh, path, error);
  if (error) {
    std::filesystem::remove(fresh, error);
    throw ECalibrationFileError("Cannot write the calibration file " + path);
  }
}

}  // namespace vekrano::printing
