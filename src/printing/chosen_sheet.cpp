// The remembered sheet and the lookups of sheets by name.
#include "printing/chosen_sheet.h"

#include <QFile>
#include <algorithm>

#include "common/code_page.h"
#include "common/safe_file_writer.h"
#include "languages/interface_texts.h"

namespace vekrano::printing {
namespace {

constexpr int kTextLabels = 123;
constexpr std::string_view kCatalogWord = "catalog";
constexpr std::string_view kOwnWord = "own";

const LabelSheetSpec* catalogSheet(std::string_view name, const SheetCatalog& catalog) {
  const auto found = std::find_if(catalog.sheets.begin(), catalog.sheets.end(),
                                  [name](const LabelSheetSpec& sheet) { return sameSheetName(sheet.name, name); });
  return found == catalog.sheets.end() ? nullptr : &*found;
}

}  // namespace

std::optional<ChosenSheet> readChosenSheet(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  std::string line = file.readLine(4096).toStdString();
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  const std::size_t tab = line.find('\t');
  if (tab == std::string::npos || tab + 1 == line.size()) return std::nullopt;
  const std::string_view source = std::string_view(line).substr(0, tab);
  if (source != kCatalogWord && source != kOwnWord) return std::nullopt;
  return ChosenSheet{source == kOwnWord ? SheetSource::Own : SheetSource::Catalog, line.substr(tab + 1)};
}

void writeChosenSheet(const std::string& path, const ChosenSheet& chosen) {
  const std::string_view source = chosen.source == SheetSource::Own ? kOwnWord : kCatalogWord;
  common::SafeFileWriter file(path);
  file.write(std::string(source) + '\t' + chosen.name + '\n');
  file.commit();
}

const LabelSheetSpec* findChosenSheet(const ChosenSheet& chosen, const OwnSheets& own, const SheetCatalog& catalog) {
  return chosen.source == SheetSource::Own ? own.find(chosen.name) : catalogSheet(chosen.name, catalog);
}

const LabelSheetSpec* findSheet(std::string_view name, const OwnSheets& own, const SheetCatalog& catalog) {
  const LabelSheetSpec* sheet = own.find(name);
  return sheet != nullptr ? sheet : catalogSheet(name, catalog);
}

std::string sheetEntryText(const LabelSheetSpec& sheet) {
  std::string text = sheet.name + " (" + std::to_string(sheet.labelCount()) + " " +
                     common::ansiToUtf8(languages::GetText(kTextLabels));
  if (sheet.grids.size() == 1) {
    text += " : " + std::to_string(sheet.grids[0].columns) + "X" + std::to_string(sheet.grids[0].rows);
  }
  return text + " - " + sizeText(sheet.labelWidthMm, sheet.labelHeightMm) + " mm)";
}

}  // namespace vekrano::printing
