#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vekrano::app {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

std::string dirOf(const TempDir& dir) { return dir.path().string() + "/"; }

TEST(SettingsFile, RecordIsByteExact) {
  TempDir dir;
  ASSERT_TRUE(saveSettings(dirOf(dir), ShellSettings{3, -1, "HP LaserJet"}));
  std::string bytes = readFileBytes(dir.file("VEKRANO.PAR"));
  ASSERT_EQ(bytes.size(), 116u);
  EXPECT_EQ(bytes.substr(0, 13), std::string("\x03VKP\x03\0\0\0\xFF\xFF\xFF\xFF\x0B", 13));
  EXPECT_EQ(bytes.substr(13, 11), "HP LaserJet");
  EXPECT_EQ(bytes.substr(24), std::string(92, '\0'));

  ShellSettings read;
  EXPECT_TRUE(loadSettings(dirOf(dir), read));
  EXPECT_EQ(read.languageNumber, 3);
  EXPECT_EQ(read.labelTypeIndex, -1);
  EXPECT_EQ(read.printerName, "HP LaserJet");
}

TEST(SettingsFile, ValuesAreLittleEndianAtTheirOffsets) {
  TempDir dir;
  std::string bytes(116, '\x55');
  bytes.replace(4, 4, std::string("\x04\x00\x00\x00", 4));
  bytes.replace(8, 4, std::string("\x02\x01\x00\x00", 4));
  bytes[12] = 3;
  writeFileBytes(dir.file("VEKRANO.PAR"), bytes);
  ShellSettings read;
  EXPECT_TRUE(loadSettings(dirOf(dir), read));
  EXPECT_EQ(read.languageNumber, 4);
  EXPECT_EQ(read.labelTypeIndex, 258);
  EXPECT_EQ(read.printerName, "UUU");
}

TEST(SettingsFile, MissingFileGivesFrenchAndFalse) {
  TempDir dir;
  ShellSettings read{0, 7, "kept"};
  EXPECT_FALSE(loadSettings(dirOf(dir), read));
  EXPECT_EQ(read.languageNumber, 1);
  EXPECT_EQ(read.labelTypeIndex, 7);
}

TEST(SettingsFile, ShortFileIsDeletedAndGivesDefaults) {
  TempDir dir;
  writeFileBytes(dir.file("VEKRANO.PAR"), std::string(50, '\x07'));
  ShellSettings read{0, 7, "kept"};
  EXPECT_TRUE(loadSettings(dirOf(dir), read));
  EXPECT_FALSE(std::filesystem::exists(dir.file("VEKRANO.PAR")));
  EXPECT_EQ(read.languageNumber, 1);
  EXPECT_EQ(read.labelTypeIndex, 0);
  EXPECT_EQ(read.printerName, "kept");
}

TEST(SettingsFile, LongerFileIsReadFromItsFirstRecord) {
  TempDir dir;
  std::string bytes = std::string("\x03VKP\x02\0\0\0\x05\0\0\0\x02PQ", 15) + std::string(101, 'z');
  writeFileBytes(dir.file("VEKRANO.PAR"), bytes + std::string(84, 'x'));
  ShellSettings read;
  EXPECT_TRUE(loadSettings(dirOf(dir), read));
  EXPECT_EQ(read.languageNumber, 2);
  EXPECT_EQ(read.labelTypeIndex, 5);
  EXPECT_EQ(read.printerName, "PQ");
  ASSERT_TRUE(saveSettings(dirOf(dir), read));
  EXPECT_EQ(readFileBytes(dir.file("VEKRANO.PAR")).size(), 116u);
}

TEST(SettingsFile, PrinterNameIsCutTo100Characters) {
  TempDir dir;
  std::string name(100, 'a');
  ASSERT_TRUE(saveSettings(dirOf(dir), ShellSettings{1, 0, name + "bcd"}));
  std::string bytes = readFileBytes(dir.file("VEKRANO.PAR"));
  ASSERT_EQ(bytes.size(), 116u);
  EXPECT_EQ(bytes[12], 100);
  EXPECT_EQ(bytes.substr(13, 100), name);
  ShellSettings read;
  loadSettings(dirOf(dir), read);
  EXPECT_EQ(read.printerName, name);
}

TEST(SettingsFile, LengthByteBeyondTheFieldReadsOnlyTheField) {
  TempDir dir;
  std::string bytes(116, 'n');
  bytes[12] = static_cast<char>(200);
  writeFileBytes(dir.file("VEKRANO.PAR"), bytes);
  ShellSettings read;
  EXPECT_TRUE(loadSettings(dirOf(dir), read));
  EXPECT_EQ(read.printerName, std::string(100, 'n'));
}

TEST(SettingsFile, SaveReportsAFileThatCannotBeWritten) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("VEKRANO.PAR"));
  EXPECT_FALSE(saveSettings(dirOf(dir), ShellSettings{1, 0, ""}));
  EXPECT_FALSE(saveSettings(dirOf(dir) + "missing/", ShellSettings{1, 0, ""}));
}

}  // namespace
}  // namespace vekrano::app
