// The vendors' catalog of label sheets that the desktop's label program installs as data
// (Debian package glabels-data): one XML file per vendor family, a <Template> per sheet.
// Only sheets of rectangular labels, square or round-cornered, are taken.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/label_sheet.h"

namespace vekrano::printing {

// The Debian package that brings the catalog.
inline constexpr const char* kCatalogPackage = "glabels-data";
// The catalog's folder under the system's data folders (/usr/share).
inline constexpr const char* kCatalogSubfolder = "libglabels-3.0/templates";

// A length as the catalog writes it: a number followed by "mm", "cm", "in", "pt" or "pc", or a
// bare number, which counts in points. Returns millimetres; nothing for any other text.
std::optional<double> catalogLengthMm(std::string_view text);

// A paper size of the catalog: its id ("A4", "US-Letter", ...), shown name and size in mm.
struct CatalogPaper {
  std::string name;
  double widthMm = 0;
  double heightMm = 0;
};
using CatalogPapers = std::map<std::string, CatalogPaper>;  // by id

// A4 and US Letter, known even without the catalog's list of paper sizes.
CatalogPapers standardPapers();

// The <Paper-size id _name width height> elements of a paper-sizes file, added to `papers`.
// Elements that cannot be read are skipped.
void readCatalogPapers(std::string_view xml, CatalogPapers& papers);

struct SheetCatalog {
  std::vector<LabelSheetSpec> sheets;  // by name, letter case ignored
  std::vector<std::string> problems;  // one line per file that could not be read
};

// The sheets of one templates file added to `catalog`, before equivalents are resolved.
// A template is left out when its labels are not rectangles, its page size is unknown or one
// of its values cannot be read. A file that is not well-formed adds a problem naming `source`
// and keeps the templates read before the fault.
void readCatalogTemplates(std::string_view xml, const CatalogPapers& papers, const std::string& source,
                          SheetCatalog& catalog);

// Reads the folder: its paper sizes, then every "*-templates.xml" file; templates that are
// declared equivalent to another part of the same brand take that part's geometry. Sheets are
// sorted by name. A folder that does not exist gives an empty catalog without problems.
SheetCatalog readSheetCatalog(const std::string& directory);

// The catalog folder of the installed package, found in the system's data folders; empty when
// the package is not installed.
std::string installedCatalogDirectory();

// readSheetCatalog(installedCatalogDirectory()), read once per process.
const SheetCatalog& installedCatalog();

}  // namespace vekrano::printing
