// The best-fit table and the walk over a text's characters.
#include "common/best_fit_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "common/code_page.h"

namespace vekrano::common {
namespace {

struct BestFit {
  std::uint32_t codePoint;
  const char* written;
};

// How a person writes these characters with a plain keyboard. Code page 850 holds none of them
// but the no-break space, which is written as a blank too: it looks like one, and a blank is
// what a search for the text types.
constexpr std::array<BestFit, 29> kBestFits = {{
    {0x2019, "'"},  {0x2018, "'"},  {0x201A, "'"},   {0x2032, "'"},    {0x201C, "\""}, {0x201D, "\""},
    {0x201E, "\""}, {0x2033, "\""}, {0x2013, "-"},   {0x2014, "-"},    {0x2212, "-"},  {0x2026, "..."},
    {0x0153, "oe"}, {0x0152, "OE"}, {0x20AC, "EUR"}, {0x2030, "o/oo"}, {0x00A0, " "},  {0x2000, " "},
    {0x2001, " "},  {0x2002, " "},  {0x2003, " "},   {0x2004, " "},    {0x2005, " "},  {0x2006, " "},
    {0x2007, " "},  {0x2008, " "},  {0x2009, " "},   {0x200A, " "},    {0x202F, " "},
}};
constexpr std::array<std::uint32_t, 3> kOtherSpaces = {0x205F, 0x3000, 0x1680};

constexpr std::uint32_t kReplacementCharacter = 0xFFFD;

const char* bestFitOf(std::uint32_t codePoint) {
  for (const BestFit& fit : kBestFits) {
    if (fit.codePoint == codePoint) return fit.written;
  }
  if (std::find(kOtherSpaces.begin(), kOtherSpaces.end(), codePoint) != kOtherSpaces.end()) {
    return " ";
  }
  return nullptr;
}

// Adds one character to `out`; false when it is refused.
bool addCharacter(TableText& out, std::uint32_t codePoint) {
  if (codePoint < 0x80) {  // both code pages hold these as themselves
    out.ansi += static_cast<char>(codePoint);
    return true;
  }
  const char* written = bestFitOf(codePoint);
  if (written == nullptr) {
    const int ansi = ansiOfCodePoint(codePoint);
    if (ansi < 0 || !isTableCharacter(static_cast<char>(ansi))) return false;
    out.ansi += static_cast<char>(ansi);
    return true;
  }
  out.ansi += written;
  if (std::find(out.replaced.begin(), out.replaced.end(), codePoint) == out.replaced.end()) {
    out.replaced.push_back(codePoint);
  }
  return true;
}

std::string codePointText(std::uint32_t codePoint) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(codePoint));
  return text;
}

}  // namespace

bool isTableCharacter(char ansi) { return charToOem(ansi) != '?' || ansi == '?'; }

TableText toTableText(std::string_view utf8) {
  TableText out;
  out.ansi.reserve(utf8.size());
  std::size_t position = 0;
  for (std::size_t at = 0; at < utf8.size();) {
    // Plain ASCII is held as itself: copied a run at a time.
    std::size_t runEnd = at;
    while (runEnd < utf8.size() && static_cast<unsigned char>(utf8[runEnd]) < 0x80) ++runEnd;
    out.ansi.append(utf8.substr(at, runEnd - at));
    position += runEnd - at;
    at = runEnd;
    if (at == utf8.size()) break;
    ++position;
    std::uint32_t codePoint = 0;
    const std::size_t length = decodeUtf8(utf8, at, codePoint);
    if (length == 0) codePoint = kReplacementCharacter;
    if (length == 0 || !addCharacter(out, codePoint)) {
      out.refused = RefusedCharacter{codePoint, position};
      return out;
    }
    at += length;
  }
  return out;
}

TableText ansiToTableText(std::string_view ansi) { return toTableText(ansiToUtf8(ansi)); }

std::string characterName(std::uint32_t codePoint) {
  const int ansi = ansiOfCodePoint(codePoint);
  // Control characters and blanks would not show between the marks.
  if (ansi <= 0x20 || codePoint == 0xA0 || codePoint == 0x7F) return codePointText(codePoint);
  return "\xAB " + std::string(1, static_cast<char>(ansi)) + " \xBB (" + codePointText(codePoint) + ")";
}

std::string replacementList(const TableText& text) {
  std::string list;
  for (std::uint32_t codePoint : text.replaced) {
    if (!list.empty()) list += ", ";
    list += characterName(codePoint) + " -> \xAB" + bestFitOf(codePoint) + "\xBB";
  }
  return list;
}

}  // namespace vekrano::common
