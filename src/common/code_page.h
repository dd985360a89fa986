// Character-set conversions of the engines: ANSI (Windows-1252) <-> OEM (code page 850),
// upper and lower case by the ANSI rules, and UTF-8 <-> ANSI at the window boundary.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vekrano::common {

// One ANSI byte as its OEM byte; '?' when code page 850 has no such character.
char charToOem(char ansi);
// One OEM byte as its ANSI byte; '?' when Windows-1252 has no such character.
char oemToChar(char oem);

// Translates the bytes of `text` in place.
void charToOemBuff(char* text, std::size_t length);
void oemToCharBuff(char* text, std::size_t length);
std::string charToOem(std::string_view ansi);
std::string oemToChar(std::string_view oem);

// Upper and lower case of one ANSI byte: a-z, the accented letters and the few letters of
// 0x8A-0x9F; other bytes (digits, signs, "ß", "µ") are returned unchanged.
char ansiUpper(char c);
char ansiLower(char c);
std::string ansiUpper(std::string_view text);
std::string ansiLower(std::string_view text);
// sameAnsiText for texts of the same length.
bool sameSizedAnsiText(std::string_view a, std::string_view b);
// True when both texts are the same once upper-cased by the ANSI rules; nothing is copied.
// Inline, as most of the names a lookup compares differ in length already.
inline bool sameAnsiText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && sameSizedAnsiText(a, b);
}

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates).
bool isValidUtf8(std::string_view bytes);
// UTF-8 text as ANSI; every character Windows-1252 cannot hold becomes '?'.
// REQUIRES: isValidUtf8(utf8); an ill-formed sequence also becomes '?'.
std::string utf8ToAnsi(std::string_view utf8);
// ANSI text as UTF-8.
std::string ansiToUtf8(std::string_view ansi);

// Decodes the UTF-8 sequence at byte `pos` of `utf8` into `codePoint`; returns its length in
// bytes, 0 when it is ill-formed. REQUIRES: pos < utf8.size().
std::size_t decodeUtf8(std::string_view utf8, std::size_t pos, std::uint32_t& codePoint);
// The Windows-1252 byte of a Unicode character, or -1 when Windows-1252 has none.
int ansiOfCodePoint(std::uint32_t codePoint);
// The Unicode character of a Windows-1252 byte; the five undefined bytes give the C1 controls
// of their own numbers.
std::uint32_t codePointOfAnsi(char ansi);

}  // namespace vekrano::common
