// Reading and writing the settings record byte by byte.
#include "app/settings_file.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace vekrano::app {

namespace {

constexpr char kSignature[] = {'\x03', 'V', 'K', 'P'};

std::int32_t readInt32(const std::string& record, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(record[offset + static_cast<std::size_t>(i)]);
  }
  return static_cast<std::int32_t>(value);
}

void writeInt32(std::string& record, std::size_t offset, std::int32_t value) {
  auto bits = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) record[offset + i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

}  // namespace

std::string settingsFilePath(const std::string& programDirectory) { return programDirectory + kSettingsFileName; }

bool loadSettings(const std::string& programDirectory, ShellSettings& settings) {
  const std::string path = settingsFilePath(programDirectory);
  std::error_code error;
  if (!std::filesystem::exists(path, error)) {
    settings.languageNumber = 1;
    return false;
  }
  std::string record(kSettingsRecordSize, '\0');
  bool complete = false;
  {
    std::ifstream file(path, std::ios::binary);
    complete = file.is_open() && file.read(record.data(), static_cast<std::streamsize>(record.size())) &&
               static_cast<std::size_t>(file.gcount()) == record.size();
  }
  if (!complete) {
    std::filesystem::remove(path, error);
    settings.languageNumber = 1;
    settings.labelTypeIndex = 0;
    return true;
  }
  settings.languageNumber = readInt32(record, kLanguageOffset);
  settings.labelTypeIndex = readInt32(record, kLabelTypeIndexOffset);
  // A length byte beyond the field would read past the name; the name ends with its field.
  std::size_t length =
      std::min<std::size_t>(static_cast<unsigned char>(record[kPrinterLengthOffset]), kPrinterNameLength);
  settings.printerName = record.substr(kPrinterNameOffset, length);
  return true;
}

std::string settingsRecord(const ShellSettings& settings) {
  std::string record(kSettingsRecordSize, '\0');
  std::copy(std::begin(kSignature), std::end(kSignature), record.begin() + kSignatureOffset);
  writeInt32(record, kLanguageOffset, settings.languageNumber);
  writeInt32(record, kLabelTypeIndexOffset, settings.labelTypeIndex);
  std::size_t length = std::min(settings.printerName.size(), kPrinterNameLength);
  record[kPrinterLengthOffset] = static_cast<char>(length);
  std::copy_n(settings.printerName.begin(), length, record.begin() + kPrinterNameOffset);
  return record;
}

bool saveSettings(const std::string& programDirectory, const ShellSettings& settings) {
  const std::string record = settingsRecord(settings);
  std::ofstream file(settingsFilePath(programDirectory), std::ios::binary | std::ios::trunc);
  if (!file.is_open()) return false;
  file.write(record.data(), static_cast<std::streamsize>(record.size()));
  file.close();
  return !file.fail();
}

}  // namespace vekrano::app
