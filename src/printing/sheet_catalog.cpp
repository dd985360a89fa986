// Reading the vendors' catalog with QXmlStreamReader. Equivalent parts ("L7163" is "7163") are
// resolved after every file is read, since a file may name a part defined further on.
#include "printing/sheet_catalog.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/code_page.h"

namespace vekrano::printing {
namespace {

constexpr double kMmPerPoint = 25.4 / 72;

struct Unit {
  std::string_view suffix;
  double mm;
};
constexpr Unit kUnits[] = {{"mm", 1.0}, {"cm", 10.0}, {"in", 25.4}, {"pt", kMmPerPoint}, {"pc", 12 * kMmPerPoint}};

std::string attribute(const QXmlStreamReader& xml, const char* name) {
  return xml.attributes().value(QLatin1String(name)).toString().toStdString();
}

std::optional<double> lengthAttribute(const QXmlStreamReader& xml, const char* name) {
  return catalogLengthMm(attribute(xml, name));
}

std::string lowerKey(const std::string& brand, const std::string& part) {
  return common::ansiLower(brand + '\n' + part);
}

// A template as read, before its equivalent is resolved.
struct ReadTemplate {
  std::string brand;
  std::string part;
  std::string equivalent;  // another part of the same brand, or empty
  LabelSheetSpec sheet;
  bool usable = true;  // false: labels of another shape, or values that cannot be read
};

// <Layout nx ny x0 y0 [dx] [dy]>; dx and dy may be left out for a single column or row.
std::optional<SheetGrid> readGrid(const QXmlStreamReader& xml) {
  const auto columns = gridCount(attribute(xml, "nx"));
  const auto rows = gridCount(attribute(xml, "ny"));
  const auto left = lengthAttribute(xml, "x0");
  const auto top = lengthAttribute(xml, "y0");
  const auto pitchX = xml.attributes().hasAttribute("dx") ? lengthAttribute(xml, "dx") : 0.0;
  const auto pitchY = xml.attributes().hasAttribute("dy") ? lengthAttribute(xml, "dy") : 0.0;
  if (!columns || !rows || !left || !top || !pitchX || !pitchY) return std::nullopt;
  return SheetGrid{*columns, *rows, *left, *top, *pitchX, *pitchY};
}

void readRectangle(QXmlStreamReader& xml, ReadTemplate& read) {
  const auto width = lengthAttribute(xml, "width");
  const auto height = lengthAttribute(xml, "height");
  const auto round = xml.attributes().hasAttribute("round") ? lengthAttribute(xml, "round") : 0.0;
  if (!width || !height || !round || *width <= 0 || *height <= 0) read.usable = false;
  read.sheet.labelWidthMm = width.value_or(0);
  read.sheet.labelHeightMm = height.value_or(0);
  read.sheet.cornerRadiusMm = round.value_or(0);
  while (xml.readNextStartElement()) {
    if (xml.name() == QLatin1String("Layout")) {
      const auto grid = readGrid(xml);
      if (grid)
        read.sheet.grids.push_back(*grid);
      else
        read.usable = false;
    }
    xml.skipCurrentElement();
  }
}

bool readPage(const QXmlStreamReader& xml, const CatalogPapers& papers, LabelSheetSpec& sheet) {
  const std::string size = attribute(xml, "size");
  if (size == "Other") {
    const auto width = lengthAttribute(xml, "width");
    const auto height = lengthAttribute(xml, "height");
    if (!width || !height) return false;
    sheet.pageWidthMm = *width;
    sheet.pageHeightMm = *height;
    return true;
  }
  const auto paper = papers.find(size);
  if (paper == papers.end()) return false;
  sheet.pageName = paper->second.name;
  sheet.pageWidthMm = paper->second.widthMm;
  sheet.pageHeightMm = paper->second.heightMm;
  return true;
}

ReadTemplate readTemplate(QXmlStreamReader& xml, const CatalogPapers& papers) {
  ReadTemplate read;
  read.brand = attribute(xml, "brand");
  read.part = attribute(xml, "part");
  read.equivalent = attribute(xml, "equiv");
  read.sheet.name = read.brand + ' ' + read.part;
  read.sheet.description = attribute(xml, "_description");
  if (read.sheet.description.empty()) read.sheet.description = attribute(xml, "description");
  if (read.equivalent.empty() && !readPage(xml, papers, read.sheet)) read.usable = false;
  bool labels = false;
  while (xml.readNextStartElement()) {
    if (xml.name() == QLatin1String("Label-rectangle") && !labels) {
      labels = true;
      readRectangle(xml, read);
      continue;
    }
    // Circles, ellipses and discs, and a second label shape, are not sheets of rectangles.
    if (xml.name().startsWith(QLatin1String("Label"))) read.usable = false;
    xml.skipCurrentElement();
  }
  if (read.equivalent.empty() && (!labels || read.sheet.grids.empty())) read.usable = false;
  return read;
}

void addTemplates(std::string_view text, const CatalogPapers& papers, const std::string& source,
                  std::vector<ReadTemplate>& templates, std::vector<std::string>& problems) {
  QXmlStreamReader xml(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QLatin1String("Template")) {
      templates.push_back(readTemplate(xml, papers));
    }
  }
  if (xml.hasError()) {
    problems.push_back(source + ": " + xml.errorString().toStdString() + " (line " + std::to_string(xml.lineNumber()) +
                       ")");
  }
}

void sortSheets(std::vector<LabelSheetSpec>& sheets) {
  std::stable_sort(sheets.begin(), sheets.end(), [](const auto& a, const auto& b) {
    return QString::compare(QString::fromStdString(a.name), QString::fromStdString(b.name), Qt::CaseInsensitive) < 0;
  });
}

// The usable templates, equivalents given their part's geometry and, when they have none, its
// description.
std::vector<LabelSheetSpec> resolve(const std::vector<ReadTemplate>& templates) {
  std::map<std::string, const ReadTemplate*> byPart;
  for (const ReadTemplate& read : templates) {
    if (read.equivalent.empty()) byPart.emplace(lowerKey(read.brand, read.part), &read);
  }
  std::vector<LabelSheetSpec> sheets;
  for (const ReadTemplate& read : templates) {
    const ReadTemplate* source = &read;
    if (!read.equivalent.empty()) {
      const auto found = byPart.find(lowerKey(read.brand, read.equivalent));
      if (found == byPart.end()) continue;
      source = found->second;
    }
    if (!source->usable || !read.usable) continue;
    LabelSheetSpec sheet = source->sheet;
    sheet.name = read.sheet.name;
    if (!read.sheet.description.empty()) sheet.description = read.sheet.description;
    sheets.push_back(std::move(sheet));
  }
  sortSheets(sheets);
  return sheets;
}

std::string fileText(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll().toStdString();
}

}  // namespace

std::optional<double> catalogLengthMm(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  double factor = kMmPerPoint;
  for (const Unit& unit : kUnits) {
    if (text.ends_with(unit.suffix)) {
      text.remove_suffix(unit.suffix.size());
      factor = unit.mm;
      break;
    }
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value * factor;
}

CatalogPapers standardPapers() { return {{"A4", {"A4", 210.0, 297.0}}, {"US-Letter", {"US Letter", 215.9, 279.4}}}; }

void readCatalogPapers(std::string_view text, CatalogPapers& papers) {
  QXmlStreamReader xml(QByteArray(text.data(), static_cast<qsizetype>(text.size())));
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement() || xml.name() != QLatin1String("Paper-size")) continue;
    const auto width = lengthAttribute(xml, "width");
    const auto height = lengthAttribute(xml, "height");
    const std::string id = attribute(xml, "id");
    if (id.empty() || !width || !height || *width <= 0 || *height <= 0) continue;
    std::string name = attribute(xml, "_name");
    papers[id] = {name.empty() ? id : name, *width, *height};
  }
}

void readCatalogTemplates(std::string_view xml, const CatalogPapers& papers, const std::string& source,
                          SheetCatalog& catalog) {
  std::vector<ReadTemplate> templates;
  addTemplates(xml, papers, source, templates, catalog.problems);
  for (LabelSheetSpec& sheet : resolve(templates)) catalog.sheets.push_back(std::move(sheet));
  sortSheets(catalog.sheets);
}

SheetCatalog readSheetCatalog(const std::string& directory) {
  SheetCatalog catalog;
  const QDir folder(QString::fromStdString(directory));
  if (directory.empty() || !folder.exists()) return catalog;
  CatalogPapers papers = standardPapers();
  readCatalogPapers(fileText(folder.filePath("paper-sizes.xml")), papers);
  std::vector<ReadTemplate> templates;
  for (const QString& name : folder.entryList({"*-templates.xml"}, QDir::Files, QDir::Name)) {
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
      catalog.problems.push_back(path.toStdString() + ": " + file.errorString().toStdString());
      continue;
    }
    addTemplates(file.readAll().toStdString(), papers, path.toStdString(), templates, catalog.problems);
  }
  catalog.sheets = resolve(templates);
  return catalog;
}

std::string installedCatalogDirectory() {
  return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QString::fromLatin1(kCatalogSubfolder),
                                QStandardPaths::LocateDirectory)
      .toStdString();
}

const SheetCatalog& installedCatalog() {
  static const SheetCatalog catalog = readSheetCatalog(installedCatalogDirectory());
  return catalog;
}

}  // namespace vekrano::printing
