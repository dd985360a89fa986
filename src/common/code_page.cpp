// ANSI/OEM translation, ANSI case rules and the UTF-8 boundary, over the byte tables.
#include "common/code_page.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "common/code_page_tables.h"

namespace vekrano::common {
namespace {

std::uint8_t byteOf(char c) { return static_cast<std::uint8_t>(c); }

// Windows-1252 places a few letters outside the Latin-1 ranges: Š/š, Œ/œ, Ž/ž and Ÿ/ÿ.
constexpr std::uint8_t kUpperS = 0x8A, kLowerS = 0x9A;
constexpr std::uint8_t kUpperOE = 0x8C, kLowerOE = 0x9C;
constexpr std::uint8_t kUpperZ = 0x8E, kLowerZ = 0x9E;
constexpr std::uint8_t kUpperY = 0x9F, kLowerY = 0xFF;
constexpr std::uint8_t kMultiply = 0xD7, kDivide = 0xF7;

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Both code pages agree on the bytes below 0x80, so runs of 32 or 8 such bytes are passed over
// whole: records are mostly blanks, digits and plain letters.
void translateBuffer(char* text, std::size_t length, const std::array<std::uint8_t, 256>& table) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
  std::size_t i = 0;
  for (; i + 4 * sizeof(std::uint64_t) <= length; i += 4 * sizeof(std::uint64_t)) {
    std::uint64_t words[4];
    std::memcpy(words, text + i, sizeof words);
    if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) == 0) continue;
    for (std::size_t j = i; j < i + sizeof words; ++j) text[j] = static_cast<char>(table[byteOf(text[j])]);
  }
  for (; i + sizeof(std::uint64_t) <= length; i += sizeof(std::uint64_t)) {
    std::uint64_t word;
    std::memcpy(&word, text + i, sizeof word);
    if ((word & kHighBits) == 0) continue;
    for (std::size_t j = i; j < i + sizeof word; ++j) text[j] = static_cast<char>(table[byteOf(text[j])]);
  }
  for (; i < length; ++i) text[i] = static_cast<char>(table[byteOf(text[i])]);
}

}  // namespace

int ansiOfCodePoint(std::uint32_t codePoint) {
  for (int b = 0; b < 256; ++b) {
    if (tables::kAnsiToUnicode[b] == codePoint) return b;
  }
  return -1;
}

std::uint32_t codePointOfAnsi(char ansi) { return tables::kAnsiToUnicode[byteOf(ansi)]; }

std::size_t decodeUtf8(std::string_view s, std::size_t pos, std::uint32_t& cp) {
  const std::uint8_t lead = byteOf(s[pos]);
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  if (lead < 0x80) {
    cp = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (pos + length > s.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    const std::uint8_t next = byteOf(s[pos + i]);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

char charToOem(char ansi) { return static_cast<char>(tables::kAnsiToOem[byteOf(ansi)]); }
char oemToChar(char oem) { return static_cast<char>(tables::kOemToAnsi[byteOf(oem)]); }

void charToOemBuff(char* text, std::size_t length) { translateBuffer(text, length, tables::kAnsiToOem); }

void oemToCharBuff(char* text, std::size_t length) { translateBuffer(text, length, tables::kOemToAnsi); }

std::string charToOem(std::string_view ansi) {
  std::string out(ansi);
  charToOemBuff(out.data(), out.size());
  return out;
}

std::string oemToChar(std::string_view oem) {
  std::string out(oem);
  oemToCharBuff(out.data(), out.size());
  return out;
}

char ansiUpper(char c) {
  const std::uint8_t b = byteOf(c);
  if (b >= 'a' && b <= 'z') return static_cast<char>(b - 0x20);
  if (b >= 0xE0 && b <= 0xFE && b != kDivide) return static_cast<char>(b - 0x20);
  switch (b) {
    case kLowerS: return static_cast<char>(kUpperS);
    case kLowerOE: return static_cast<char>(kUpperOE);
    case kLowerZ: return static_cast<char>(kUpperZ);
    case kLowerY: return static_cast<char>(kUpperY);
    default: return c;
  }
}

char ansiLower(char c) {
  const std::uint8_t b = byteOf(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 0x20);
  if (b >= 0xC0 && b <= 0xDE && b != kMultiply) return static_cast<char>(b + 0x20);
  switch (b) {
    case kUpperS: return static_cast<char>(kLowerS);
    case kUpperOE: return static_cast<char>(kLowerOE);
    case kUpperZ: return static_cast<char>(kLowerZ);
    case kUpperY: return static_cast<char>(kLowerY);
    default: return c;
  }
}

std::string ansiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ansiUpper(c);
  return out;
}

std::string ansiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ansiLower(c);
  return out;
}

bool sameSizedAnsiText(std::string_view a, std::string_view b) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    // The same ASCII letter in the other case, the commonest difference, without the full rules.
    const auto lower = static_cast<std::uint8_t>(byteOf(a[i]) | 0x20);
    if ((byteOf(a[i]) ^ byteOf(b[i])) == 0x20 && lower >= 'a' && lower <= 'z') continue;
    if (ansiUpper(a[i]) != ansiUpper(b[i])) return false;
  }
  return true;
}

bool isValidUtf8(std::string_view bytes) {
  std::uint32_t cp = 0;
  for (std::size_t pos = 0; pos < bytes.size();) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {  // plain ASCII, most of any text
      ++pos;
      continue;
    }
    const std::size_t length = decodeUtf8(bytes, pos, cp);
    if (length == 0) return false;
    pos += length;
  }
  return true;
}

namespace {

constexpr bool asciiIsItself() {
  for (std::uint32_t b = 0; b < 0x80; ++b) {
    if (tables::kAnsiToUnicode[b] != b) return false;
  }
  return true;
}
static_assert(asciiIsItself(), "runs below 0x80 are copied as they are");

}  // namespace

std::string utf8ToAnsi(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::uint32_t cp = 0;
  for (std::size_t pos = 0; pos < utf8.size();) {
    // Runs of plain bytes, most of any text, are the same in both and appended whole.
    std::size_t run = pos;
    while (run < utf8.size() && byteOf(utf8[run]) < 0x80) ++run;
    out.append(utf8.data() + pos, run - pos);
    pos = run;
    if (pos == utf8.size()) break;
    const std::size_t length = decodeUtf8(utf8, pos, cp);
    if (length == 0) {
      out += '?';
      ++pos;
      continue;
    }
    const int ansi = ansiOfCodePoint(cp);
    out += ansi < 0 ? '?' : static_cast<char>(ansi);
    pos += length;
  }
  return out;
}

std::string ansiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() * 2);
  // Runs of plain bytes, most of any text, are appended whole.
  for (std::size_t i = 0; i < ansi.size();) {
    std::size_t run = i;
    while (run < ansi.size() && byteOf(ansi[run]) < 0x80) ++run;
    out.append(ansi.data() + i, run - i);
    if (run == ansi.size()) break;
    appendUtf8(out, tables::kAnsiToUnicode[byteOf(ansi[run])]);
    i = run + 1;
  }
  return out;
}

}  // namespace vekrano::common
