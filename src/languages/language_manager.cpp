// Reading the language file into the language manager's slots.
#include "languages/language_manager.h"

#include <charconv>
#include <filesystem>

#include "languages/text_file.h"

namespace vekrano::languages {

namespace {

constexpr int kSkippedLines = 7;

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool isBlankText(const std::string& text) {
  for (char c : text) {
    if (!isBlankOrControl(c)) return false;
  }
  return true;
}

// The character set number: leading blanks and a sign accepted, nothing may follow the digits;
// anything else gives 1.
int charsetNumber(const std::string& text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return 1;
  if (text[start] == '+') ++start;
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data() + start, end, value);
  return error == std::errc() && ptr == end ? value : 1;
}

}  // namespace

bool Tgerelanguage::Load() {
  loaded_ = false;
  textLines_ = 0;
  slots_.fill(std::string());
  std::error_code error;
  if (!std::filesystem::exists(path_, error)) return false;
  try {
    readFile();
    loaded_ = true;
  } catch (const ETextFileError&) {
    slots_.fill(std::string());
    textLines_ = 0;
  }
  return loaded_;
}

void Tgerelanguage::readFile() {
  TTextFile file(';');
  file.Open(path_);
  slots_[kHeaderSlot] = file.Field(2);
  file.nextLine();
  slots_[kFontNameSlot] = file.Field(2);
  file.nextLine();
  slots_[kCharsetSlot] = std::to_string(charsetNumber(file.Field(2)));
  file.nextLine();
  for (int i = 0; i < kSkippedLines; ++i) file.nextLine();
  for (int slot = 1; !file.Eof() && slot <= kTextSlotCount; ++slot) {
    std::string text = file.Field(2);
    slots_[slot] = isBlankText(text) ? file.Field(1) : text;
    textLines_ = slot;
    file.nextLine();
  }
}

const std::string& Tgerelanguage::Slot(int n) const {
  static const std::string kEmpty;
  return n >= 1 && n <= kSlotCount ? slots_[n] : kEmpty;
}

}  // namespace vekrano::languages
