// What a record's typed or imported texts become before they reach the table: every character
// the table holds kept, the typographic ones written the plain way, the barcode in capitals and
// within Code 39; anything else refused with a message that names it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class QLineEdit;

namespace vekrano::records {

// The characters a Code 39 symbol encodes; a barcode holding any other one would print as
// another value.
inline constexpr std::string_view kCode39Characters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

// Position (from 0) of the first character of `barcode` (ANSI) outside kCode39Characters;
// std::string_view::npos when there is none.
std::size_t firstNonCode39(std::string_view barcode);

// The three texts of a record: UTF-8 as typed or read, or ANSI as stored.
struct EntryTexts {
  std::string cb;
  std::string lib1;
  std::string lib2;
};

struct CheckedEntry {
  EntryTexts stored;  // ANSI, as the table stores them; valid without a refusal
  // ANSI message naming the field, the character and its position, when one is refused.
  std::optional<std::string> refusal;
  std::string replacements;  // ANSI list of the characters written another way, or empty
};

// Converts `typed` (UTF-8) with the best-fit conversion, turns the barcode's letters into
// capitals and checks that it holds only Code 39's characters. The first refused character of
// the barcode, text 1 and text 2, in that order, gives the refusal (texts 260, 261).
CheckedEntry checkEntry(const EntryTexts& typed);

// Text 263: the notice that the characters of `replacements` were written another way.
std::string replacementNotice(const std::string& replacements);

// The record editor's check on OK: a refusal is shown (caption 52) and false returned, the
// edits keeping what was typed; otherwise the edits take the stored texts, the replacements are
// shown (caption 262) and true returned.
bool acceptTypedTexts(QLineEdit& cb, QLineEdit& lib1, QLineEdit& lib2);

}  // namespace vekrano::records
