// Own sheets: the check of a sheet's labels and the text file that keeps the sheets.
#include "printing/own_sheets.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "common/safe_file_writer.h"
#include "languages/interface_texts.h"

namespace vekrano::printing {
namespace {

constexpr double kToleranceMm = 0.01;
constexpr int kTextLeavesPage = 333;
constexpr int kTextOverlap = 334;
constexpr std::size_t kFieldCount = 10;

constexpr const char* kHeader =
    "# Vekrano's own label sheets, one a line, the values separated by tabs, lengths in mm:\n"
    "# name, page (A4, Letter or WIDTHxHEIGHT), columns, rows, label width, label height,\n"
    "# first label from the left edge, first label from the top edge, pitch across, pitch down\n";

bool overlap(const LabelRect& a, const LabelRect& b) {
  return a.left < b.right() - kToleranceMm && b.left < a.right() - kToleranceMm && a.top < b.bottom() - kToleranceMm &&
         b.top < a.bottom() - kToleranceMm;
}

std::vector<std::string_view> fields(std::string_view line) {
  std::vector<std::string_view> split;
  while (true) {
    const std::size_t tab = line.find('\t');
    split.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return split;
    line.remove_prefix(tab + 1);
  }
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::optional<double> length(std::string_view text) {
  std::string number(trimmed(text));
  std::replace(number.begin(), number.end(), ',', '.');
  double value = 0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || error != std::errc() || end != number.data() + number.size() || !std::isfinite(value) ||
      value < 0) {
    return std::nullopt;
  }
  return value;
}

struct Page {
  std::string name;
  double width;
  double height;
};

std::optional<Page> page(std::string_view text) {
  text = trimmed(text);
  if (text == "A4") return Page{"A4", 210.0, 297.0};
  if (text == "Letter") return Page{"US Letter", 215.9, 279.4};
  const std::size_t by = text.find_first_of("xX");
  if (by == std::string_view::npos) return std::nullopt;
  const auto width = length(text.substr(0, by));
  const auto height = length(text.substr(by + 1));
  if (!width || !height || *width <= 0 || *height <= 0) return std::nullopt;
  return Page{"", *width, *height};
}

std::optional<LabelSheetSpec> sheetOfLine(std::string_view line) {
  const std::vector<std::string_view> values = fields(line);
  if (values.size() != kFieldCount || trimmed(values[0]).empty()) return std::nullopt;
  const auto paper = page(values[1]);
  const auto columns = gridCount(trimmed(values[2]));
  const auto rows = gridCount(trimmed(values[3]));
  std::array<std::optional<double>, 6> lengths;
  for (std::size_t i = 0; i < lengths.size(); ++i) lengths[i] = length(values[4 + i]);
  if (!paper || !columns || !rows || std::any_of(lengths.begin(), lengths.end(), [](const auto& l) { return !l; }) ||
      *lengths[0] <= 0 || *lengths[1] <= 0) {
    return std::nullopt;
  }
  return ownSheet(std::string(trimmed(values[0])), paper->name, paper->width, paper->height,
                  {*columns, *rows, *lengths[2], *lengths[3], *lengths[4], *lengths[5]}, *lengths[0], *lengths[1]);
}

// Lengths as a person would type them: up to two decimals, no trailing zeros.
std::string number(double value) {
  std::array<char, 32> buffer{};
  const double rounded = std::round(value * 100) / 100;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rounded);
  return std::string(buffer.data(), result.ptr);
}

std::string pageField(const LabelSheetSpec& sheet) {
  if (sheet.pageName == "A4") return "A4";
  if (sheet.pageName == "US Letter") return "Letter";
  return number(sheet.pageWidthMm) + "x" + number(sheet.pageHeightMm);
}

}  // namespace

std::optional<SheetFault> sheetFault(const LabelSheetSpec& sheet) {
  const std::vector<LabelRect> labels = sheet.labelRects();
  for (const LabelRect& label : labels) {
    if (label.left < -kToleranceMm || label.top < -kToleranceMm || label.right() > sheet.pageWidthMm + kToleranceMm ||
        label.bottom() > sheet.pageHeightMm + kToleranceMm) {
      return SheetFault::LeavesPage;
    }
  }
  for (std::size_t i = 0; i < labels.size(); ++i) {
    for (std::size_t j = i + 1; j < labels.size(); ++j) {
      if (overlap(labels[i], labels[j])) return SheetFault::Overlap;
    }
  }
  return std::nullopt;
}

std::string sheetFaultText(SheetFault fault) {
  return languages::GetText(fault == SheetFault::LeavesPage ? kTextLeavesPage : kTextOverlap);
}

LabelSheetSpec ownSheet(const std::string& name, const std::string& pageName, double pageWidthMm, double pageHeightMm,
                        const SheetGrid& grid, double labelWidthMm, double labelHeightMm) {
  LabelSheetSpec sheet;
  sheet.name = name;
  if (pageName == "A4") {
    sheet.pageName = "A4";
    pageWidthMm = 210.0;
    pageHeightMm = 297.0;
  } else if (pageName == "US Letter") {
    sheet.pageName = "US Letter";
    pageWidthMm = 215.9;
    pageHeightMm = 279.4;
  }
  sheet.pageWidthMm = pageWidthMm;
  sheet.pageHeightMm = pageHeightMm;
  sheet.labelWidthMm = labelWidthMm;
  sheet.labelHeightMm = labelHeightMm;
  sheet.grids = {grid};
  return sheet;
}

const LabelSheetSpec* OwnSheets::find(std::string_view name) const {
  const auto found = std::find_if(sheets.begin(), sheets.end(),
                                  [name](const LabelSheetSpec& sheet) { return sameSheetName(sheet.name, name); });
  return found == sheets.end() ? nullptr : &*found;
}

OwnSheets parseOwnSheets(std::string_view text) {
  OwnSheets own;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (trimmed(line).empty() || trimmed(line).front() == '#') continue;
    const std::optional<LabelSheetSpec> sheet = sheetOfLine(line);
    if (sheet && !sheetFault(*sheet) && own.find(sheet->name) == nullptr) {
      own.sheets.push_back(*sheet);
    } else {
      own.otherLines.emplace_back(line);
    }
  }
  return own;
}

std::string formatOwnSheets(const OwnSheets& own) {
  std::string text = kHeader;
  for (const LabelSheetSpec& sheet : own.sheets) {
    const SheetGrid& grid = sheet.grids.at(0);
    text += sheet.name + '\t' + pageField(sheet) + '\t' + std::to_string(grid.columns) + '\t' +
            std::to_string(grid.rows) + '\t' + number(sheet.labelWidthMm) + '\t' + number(sheet.labelHeightMm) + '\t' +
            number(grid.left) + '\t' + number(grid.top) + '\t' + number(grid.pitchX) + '\t' + number(grid.pitchY) +
            '\n';
  }
  for (const std::string& line : own.otherLines) text += line + '\n';
  return text;
}

OwnSheets readOwnSheetsFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return parseOwnSheets(file.readAll().toStdString());
}

void writeOwnSheetsFile(const std::string& path, const OwnSheets& own) {
  common::SafeFileWriter file(path);
  file.write(formatOwnSheets(own));
  file.commit();
}

}  // namespace vekrano::printing
