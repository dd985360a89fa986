// The code page of a table's character data, declared by header byte 29 (the language byte), and
// the translation between the stored bytes and the engine's ANSI (Windows-1252) text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vekrano::dbase {

// Language bytes this engine reads; new tables are written with kLanguageCp850.
inline constexpr std::uint8_t kLanguageUnset = 0x00;  // taken as code page 850
inline constexpr std::uint8_t kLanguageCp437 = 0x01;
inline constexpr std::uint8_t kLanguageCp850 = 0x02;
inline constexpr std::uint8_t kLanguageWindows = 0x03;  // Windows-1252
inline constexpr std::uint8_t kLanguageWindowsAnsi = 0x57;  // Windows-1252 (ANSI driver)

enum class DbfCodePage {
  Ansi,  // stored as Windows-1252: no translation
  Cp850,
  Cp437,
  Unsupported,  // a code page this engine cannot translate: read as code page 850, never written
};

DbfCodePage codePageOfLanguageByte(std::uint8_t languageByte);

// Translates `length` bytes in place; every character the other side lacks becomes '?'.
void storedToAnsi(DbfCodePage page, char* text, std::size_t length);
void ansiToStored(DbfCodePage page, char* text, std::size_t length);
std::string ansiToStored(DbfCodePage page, std::string_view ansi);

}  // namespace vekrano::dbase
