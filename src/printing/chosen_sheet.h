// The catalog or own sheet chosen for the label type list, remembered in a small file of the
// data directory beside VEKRANO.PAR (which keeps only the list's index), and finding sheets by
// name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "printing/own_sheets.h"
#include "printing/sheet_catalog.h"

namespace vekrano::printing {

inline constexpr const char* kChosenSheetFileName = "VEKRANO.PLS";

enum class SheetSource { Catalog, Own };

struct ChosenSheet {
  SheetSource source = SheetSource::Catalog;
  std::string name;  // UTF-8

  bool operator==(const ChosenSheet&) const = default;
};

// The file holds one line: "catalog" or "own", a tab and the sheet's name. Nothing when the
// file is missing or its line cannot be read.
std::optional<ChosenSheet> readChosenSheet(const std::string& path);
// Replaces the file whole as writeOwnSheetsFile does; throws common::EFileWriteError.
void writeChosenSheet(const std::string& path, const ChosenSheet& chosen);

// The sheet the choice names; nullptr when it is no longer there.
const LabelSheetSpec* findChosenSheet(const ChosenSheet& chosen, const OwnSheets& own, const SheetCatalog& catalog);

// The sheet of that name, letter case ignored: an own sheet first, then the catalog's.
const LabelSheetSpec* findSheet(std::string_view name, const OwnSheets& own, const SheetCatalog& catalog);

// How the label type list shows a sheet, in UTF-8, after the manner of the built-in types:
// "Avery L7163 (14 labels : 2X7 - 99.1 x 38.1 mm)". It never ends in a digit, so no type number
// is ever read from it.
std::string sheetEntryText(const LabelSheetSpec& sheet);

}  // namespace vekrano::printing
