// The calibration file: its exact text, round trips, hand edits, damaged copies and garbage.
#include "printing/printer_calibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

TEST(PrinterCalibration, FileTextAndRoundTrip) {
  const PrinterCalibrations calibrations = {
      {"Office Laser", {-1.5, 0.8, 100.0}},
      {"Bureau \xe9tage 2", {10.0, -10.0, 95.0}},  // ANSI e acute
      {"Unchanged", {}},  // identity: not written
      {"HP 4050 PCL 6", {0.1, 0, 104.9}},
  };
  EXPECT_EQ(formatCalibrations(calibrations),
            "# Vekrano printer calibration: printer name, horizontal offset (mm, -10.0 to 10.0), "
            "vertical offset (mm, -10.0 to 10.0), scale (%, 95.0 to 105.0)\n"
            "Bureau \xe9tage 2\t10.0\t-10.0\t95.0\n"
            "HP 4050 PCL 6\t0.1\t0.0\t104.9\n"
            "Office Laser\t-1.5\t0.8\t100.0\n");

  TempDir dir;
  const std::string path = dir.file("VEKRANO.CAL");
  writeCalibrationFile(path, calibrations);
  // UTF-8 on disk, nothing left beside it.
  EXPECT_NE(readFileBytes(path).find("Bureau \xc3\xa9tage 2\t"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path + ".new"));
  PrinterCalibrations expected = calibrations;
  expected.erase("Unchanged");
  EXPECT_EQ(readCalibrationFile(path), expected);
  EXPECT_EQ(calibrationOf(expected, "HP 4050 PCL 6"), (PrinterCalibration{0.1, 0, 104.9}));
  EXPECT_EQ(calibrationOf(expected, "hp 4050 pcl 6"), PrinterCalibration{});  // case counts
  EXPECT_TRUE(calibrationOf(expected, "").isIdentity());
}

TEST(PrinterCalibration, HandEditsAreReadAsFarAsTheyMakeSense) {
  const PrinterCalibrations read = parseCalibrations(
      "\xef\xbb\xbf"
      "# a comment line\r\n"
      "\r\n"
      "Comma 1,5 -0,25 99,96\r\n"  // decimal commas, rounded to tenths
      "  Spaced   name \t +2  3 101  \n"  // blanks around, inner blanks kept
      "Clamped 12 -40 200\n"
      "Low -10.04 10.05 3\n"
      "Words left right big\n"  // no numbers: defaults
      "NotNumbers nan inf -inf\n"
      "Huge 1e400 1e-400 0x10\n"
      "Short 1.0 2.0\n"  // no name before three values: skipped
      "1.0 2.0 3.0\n"
      "Twice 1 1 100\n"
      "Twice 2 2 100\n"  // the last line of a name counts
      "\tTab\t-3\t4\t96");
  EXPECT_EQ(read.size(), 10u);
  EXPECT_EQ(read.at("Comma"), (PrinterCalibration{1.5, -0.3, 100.0}));
  EXPECT_EQ(read.at("Spaced   name"), (PrinterCalibration{2.0, 3.0, 101.0}));
  EXPECT_EQ(read.at("Clamped"), (PrinterCalibration{10.0, -10.0, 105.0}));
  EXPECT_EQ(read.at("Low"), (PrinterCalibration{-10.0, 10.0, 95.0}));
  EXPECT_EQ(read.at("Words"), PrinterCalibration{});
  EXPECT_EQ(read.at("NotNumbers"), PrinterCalibration{});
  EXPECT_EQ(read.at("Huge").offsetXMm, 0.0);
  EXPECT_EQ(read.at("Huge").scalePercent, 100.0);
  EXPECT_EQ(read.at("Twice"), (PrinterCalibration{2.0, 2.0, 100.0}));
  EXPECT_EQ(read.at("Tab"), (PrinterCalibration{-3.0, 4.0, 96.0}));
  EXPECT_FALSE(read.contains("Short"));

  // A file that is not UTF-8 is read as Windows-1252.
  TempDir dir;
  writeFileBytes(dir.path() / "VEKRANO.CAL", "Bureau \xe9tage\t1\t2\t100\n");
  EXPECT_EQ(readCalibrationFile(dir.file("VEKRANO.CAL")).at("Bureau \xe9tage"), (PrinterCalibration{1, 2, 100}));
}

TEST(PrinterCalibration, MissingDamagedOrUnwritableFilesNeverFail) {
  TempDir dir;
  EXPECT_TRUE(readCalibrationFile(dir.file("VEKRANO.CAL")).empty());
  EXPECT_TRUE(readCalibrationFile(dir.path().string()).empty());  // a folder
  EXPECT_THROW(writeCalibrationFile(dir.file("no/such/folder/VEKRANO.CAL"), {{"P", {1, 1, 100}}}),
               ECalibrationFileError);

  // A failed write leaves the old file whole.
  const std::string path = dir.file("VEKRANO.CAL");
  writeCalibrationFile(path, {{"P", {1, 1, 100}}});
  const std::string before = readFileBytes(path);
  std::filesystem::create_directory(path + ".new");
  EXPECT_THROW(writeCalibrationFile(path, {{"P", {2, 2, 100}}}), ECalibrationFileError);
  EXPECT_EQ(readFileBytes(path), before);

  // Random bytes, biased towards the file's own characters: every reading is in range, in
  // tenths, and under a trimmed name.
  std::mt19937 random(24);
  const std::string alphabet = "0123456789.,-+e \t\r\n#abcNnIiFf\xe9\xc3\xa9\x00\xff";
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(random() % 200, ' ');
    for (char& c : bytes) {
      c = random() % 4 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % (alphabet.size())];
    }
    // Through the file now and then, for its decoding; straight from the text otherwise.
    PrinterCalibrations read;
    if (round % 20 == 0) {
      writeFileBytes(dir.path() / "garbage.cal", bytes);
      read = readCalibrationFile(dir.file("garbage.cal"));
    } else {
      read = parseCalibrations(bytes);
    }
    for (const auto& [name, calibration] : read) {
      ASSERT_FALSE(name.empty());
      ASSERT_TRUE(name.front() != ' ' && name.front() != '\t' && name.back() != ' ') << bytes;
      ASSERT_LE(std::abs(calibration.offsetXMm), kMaxOffsetMm);
      ASSERT_LE(std::abs(calibration.offsetYMm), kMaxOffsetMm);
      ASSERT_GE(calibration.scalePercent, kMinScalePercent);
      ASSERT_LE(calibration.scalePercent, kMaxScalePercent);
      for (double value : {calibration.offsetXMm, calibration.offsetYMm, calibration.scalePercent}) {
        ASSERT_NEAR(value * 10, std::round(value * 10), 1e-9) << bytes;
      }
      // Whatever was read is written and read back the same.
      const PrinterCalibrations again = parseCalibrations(formatCalibrations({{name, calibration}}));
      if (!calibration.isIdentity()) ASSERT_EQ(again.at(name), calibration) << bytes;
    }
  }
}

}  // namespace
}  // namespace vekrano::printing
