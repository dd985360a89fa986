// Text that a person or a file gives, made into what the record table can hold: every character
// that both Windows-1252 and the table's code page 850 hold is kept, the typographic signs of
// word processors are written the way a person would type them, anything else is refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vekrano::common {

// The first character that the table cannot hold, and where it stands.
struct RefusedCharacter {
  std::uint32_t codePoint = 0;
  std::size_t position = 0;  // in characters, from 1
};

struct TableText {
  std::string ansi;  // Windows-1252; every character also in code page 850
  // The characters written another way, each once, in the order they first appear.
  std::vector<std::uint32_t> replaced;
  // Set when a character can be neither kept nor written another way; `ansi` is then the text
  // before it.
  std::optional<RefusedCharacter> refused;
};

// True when the table stores the Windows-1252 byte `ansi` as itself.
bool isTableCharacter(char ansi);

// `utf8` as the table can hold it: ’ ‘ ‚ ′ as ', “ ” „ ″ as ", – — − as -, … as ..., œ as oe,
// Œ as OE, € as EUR, ‰ as o/oo, the no-break and the other Unicode spaces as a blank; any other
// character outside both code pages is refused. An ill-formed UTF-8 sequence is refused as
// U+FFFD.
TableText toTableText(std::string_view utf8);
// The same for Windows-1252 text (a terminal or a file that is not UTF-8).
TableText ansiToTableText(std::string_view ansi);

// What the messages call a character, in Windows-1252: « ™ » (U+2122) when Windows-1252 holds
// it, else U+2603 alone.
std::string characterName(std::uint32_t codePoint);

// The replacements of `text` for a notice, in Windows-1252, joined by ", ":
// « ’ » (U+2019) -> « ' », U+2212 -> « - », ...
std::string replacementList(const TableText& text);

}  // namespace vekrano::common
