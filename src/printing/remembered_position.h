// The remembered start position: after a run on paper, the first free position of its last
// sheet is kept per label type and printer in a small file of the program directory, and offered
// as the start of the next run on that type and printer.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace vekrano::printing {

inline constexpr const char* kPositionFileName = "VEKRANO.POS";

// A label type number (1 to 12) written in decimal, or the name of a catalog or own sheet, and a
// printer name (ANSI, as the printer list spells it; the name of the default printer when none
// was chosen).
using SheetKey = std::pair<std::string, std::string>;
// First free positions by sheet; a sheet without an entry starts at position 1.
using RememberedPositions = std::map<SheetKey, int>;

// The positions in a file's text (ANSI): one line per sheet, the label type (or the sheet's
// name), the position and the printer name, separated by tabs; the name runs to the end of the
// line. Blank lines and lines starting with "#" are comments; a line whose type is empty or
// whose position is not a number from 1 up, or is 1, is skipped; the last line of a sheet
// counts. Never fails.
RememberedPositions parsePositions(std::string_view text);
// The file's text (ANSI): a comment line, then one line per sheet whose position is above 1.
// Printer names holding a line break cannot be kept and are left out.
std::string formatPositions(const RememberedPositions& positions);

// The positions kept in the file at `path`, read as the language file is (UTF-8 when valid,
// otherwise Windows-1252); nothing for a missing or unreadable file. Never fails.
RememberedPositions readPositionFile(const std::string& path);

// The position to offer for a run on `key` with sheets of `labelsPerSheet` positions: the one
// remembered, or 1 when there is none or it is not on such a sheet.
int offeredPosition(const RememberedPositions& positions, const SheetKey& key, int labelsPerSheet);

// Keeps `nextPosition` (1: the last sheet was filled, nothing to continue) for `key` in the file
// at `path`, the other sheets' positions as the file holds them now. The file is replaced whole
// (written beside it, then renamed), so a failure leaves the old one. Throws
// common::EFileWriteError on failure.
void rememberPosition(const std::string& path, const SheetKey& key, int nextPosition);

}  // namespace vekrano::printing
