// The user's own label sheets: one regular grid of labels on an A4, US Letter or custom page,
// checked before it is kept, and kept in a text file of the data directory, one sheet a line,
// that a person can read and change.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/label_sheet.h"

namespace vekrano::printing {

inline constexpr const char* kOwnSheetsFileName = "VEKRANO.PLA";

// What keeps a sheet from being printed on.
enum class SheetFault {
  LeavesPage,  // a label reaches beyond an edge of the page
  Overlap,  // two labels overlap
};

// The fault of `sheet`, nothing when every label lies on the page apart from the others.
// Labels may touch; a hundredth of a millimetre is allowed for rounding.
std::optional<SheetFault> sheetFault(const LabelSheetSpec& sheet);

// The message shown for `fault`, in the interface language.
std::string sheetFaultText(SheetFault fault);

// An own sheet from the values of the editor: page "A4", "US Letter" or custom (any other
// name, with its width and height), one grid.
LabelSheetSpec ownSheet(const std::string& name, const std::string& pageName, double pageWidthMm, double pageHeightMm,
                        const SheetGrid& grid, double labelWidthMm, double labelHeightMm);

// The content of the own sheets file.
struct OwnSheets {
  std::vector<LabelSheetSpec> sheets;  // in the file's order
  // Lines that are neither comments nor sheets that can be used (a value missing or not a
  // number, a sheet with a fault, a name already taken), kept as they were so that writing the
  // file again loses nothing a person wrote.
  std::vector<std::string> otherLines;

  // The sheet of that name, letter case ignored; nullptr when there is none.
  const LabelSheetSpec* find(std::string_view name) const;
};

// Reads the file's text (UTF-8). Each sheet line holds, separated by tabs: the name, the page
// ("A4", "Letter" or WIDTHxHEIGHT in mm), columns, rows, label width, label height, the first
// label's distance from the left and from the top edge, the pitch across and down, in mm with
// "." or "," as decimal separator. Blank lines and lines starting with "#" are comments.
OwnSheets parseOwnSheets(std::string_view text);

// The file's text: a comment that explains the format, the sheets, then the other lines.
// REQUIRES: every sheet has one grid and a name without tab or line break.
std::string formatOwnSheets(const OwnSheets& own);

// The own sheets of the file at `path`; nothing when it is missing or cannot be read.
OwnSheets readOwnSheetsFile(const std::string& path);

// Replaces the file at `path`; the new text is written beside it and renamed over it, so a
// failure leaves the old file whole. Throws common::EFileWriteError with the reason.
void writeOwnSheetsFile(const std::string& path, const OwnSheets& own);

}  // namespace vekrano::printing
