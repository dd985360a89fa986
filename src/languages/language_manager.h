// The language manager: the optional language file that replaces every interface text and the
// interface font.
#pragma once

#include <array>
#include <string>

namespace vekrano::languages {

// Slots 1..300 hold the texts of the file's text lines, 301..303 its header values.
constexpr int kTextSlotCount = 300;
constexpr int kHeaderSlot = 301;
constexpr int kFontNameSlot = 302;
constexpr int kCharsetSlot = 303;
constexpr int kSlotCount = 303;

// The language file's name, appended to the program directory as written ("/vekrano.lg").
constexpr const char* kLanguageFileName = "/vekrano.lg";

// Language file layout, separator ';', blank lines not counted:
//   LINE     USE
//   1        field 2: kept in slot 301
//   2        field 2: font face name, slot 302
//   3        field 2: character set number, slot 303 (1 when not a number)
//   4-10     skipped unread
//   11...    one text each, from id 1: field 2 when it holds more than blanks, else field 1
class Tgerelanguage {
 public:
  Tgerelanguage() = default;

  void setFileName(const std::string& path) { path_ = path; }
  const std::string& FileName() const { return path_; }

  // Reads the file into the slots. Returns and keeps the loaded flag: false when the file is
  // missing or any read fails, and the built-in texts then stay in force.
  bool Load();
  bool Loaded() const { return loaded_; }

  // Slot n (1..303); empty outside that range or when the file held no such line.
  const std::string& Slot(int n) const;
  // True when the loaded file had a text line for slot n (1..300).
  bool hasTextLine(int n) const { return loaded_ && n >= 1 && n <= textLines_; }

 private:
  void readFile();

  std::string path_;
  bool loaded_ = false;
  int textLines_ = 0;
  std::array<std::string, kSlotCount + 1> slots_;
};

}  // namespace vekrano::languages
