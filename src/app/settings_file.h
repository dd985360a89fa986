// The settings file "VEKRANO.PAR": the language, label type and printer carried from one run to
// the next, as one fixed-size record in the program directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vekrano::app {

// Record layout, integers little-endian:
//   OFFSET  SIZE  DESCRIPTION
//      0      4   signature: byte 03h and "VKP"; written on every save, never examined on load
//      4      4   language number, signed
//      8      4   label type index in the sorted label type list, signed; -1 for none
//     12      1   printer name length, 0..100
//     13    100   printer name, ANSI; bytes past the length are not significant
//    113      3   padding, not significant
constexpr std::size_t kSettingsRecordSize = 116;
constexpr std::size_t kSignatureOffset = 0;
constexpr std::size_t kLanguageOffset = 4;
constexpr std::size_t kLabelTypeIndexOffset = 8;
constexpr std::size_t kPrinterLengthOffset = 12;
constexpr std::size_t kPrinterNameOffset = 13;
constexpr std::size_t kPrinterNameLength = 100;
constexpr const char* kSettingsFileName = "VEKRANO.PAR";

struct ShellSettings {
  std::int32_t languageNumber = 0;
  std::int32_t labelTypeIndex = 0;
  std::string printerName;  // ANSI
};

// `programDirectory` ends with "/".
std::string settingsFilePath(const std::string& programDirectory);

// Reads the settings file into `settings`. A missing file sets the language to 1 and returns
// false. A file that cannot be read whole (shorter than a record, say) is deleted and gives
// language 1 and label type index 0, the printer name keeping its value; returns true then.
// Bytes after the first record are not read.
bool loadSettings(const std::string& programDirectory, ShellSettings& settings);

// The record for `settings`, the printer name cut to 100 characters.
std::string settingsRecord(const ShellSettings& settings);

// Creates or overwrites the settings file with exactly one record. Returns false on failure.
bool saveSettings(const std::string& programDirectory, const ShellSettings& settings);

}  // namespace vekrano::app
