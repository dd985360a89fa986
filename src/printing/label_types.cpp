// Label type display names, built from the interface texts, and the list entries.
#include "printing/label_types.h"

#include <QComboBox>
#include <algorithm>
#include <array>
#include <charconv>

#include "common/code_page.h"
#include "printing/chosen_sheet.h"
#include "printing/label_layouts.h"
#include "printing/sheet_layout.h"
#include "languages/interface_texts.h"
#include "languages/qt_text.h"

namespace vekrano::printing {

namespace {

constexpr int kTextLabels = 123;
constexpr int kTextOtherSheets = 315;

// A display name is prefix + text id + suffix.
struct LabelTypeRow {
  const char* prefix;
  int textId;
  const char* suffix;
};

constexpr std::array<LabelTypeRow, kLabelTypeCount> kRows = {{
    {"12 ", kTextLabels, ""},
    {"L7159 (24 ", kTextLabels, " : 3X8)"},
    {"L7160 (21 ", kTextLabels, " : 3X7)"},
    {"L7161 (18 ", kTextLabels, " : 3X6)"},
    {"", 124, ""},
    {"", 125, ""},
    {"", 126, ""},
    {"", 127, ""},
    {"", 128, ""},
    {"L7654 ", 129, ""},
    {"", 130, ""},
    {"", 133, ""},
}};

struct ListedSheet {
  LabelSheetSpec sheet;
  const TLabelLayout* layout;
};
std::optional<ListedSheet> gListedSheet;

}  // namespace

void setListedSheet(const LabelSheetSpec* sheet) {
  if (sheet == nullptr) {
    gListedSheet.reset();
    return;
  }
  gListedSheet = ListedSheet{*sheet, &addSheet(*sheet)};
}

const TLabelLayout* listedSheetLayout() { return gListedSheet ? gListedSheet->layout : nullptr; }

std::optional<TLabelType> LabelType(int number) {
  if (number < 1 || number > kLabelTypeCount) return std::nullopt;
  const LabelTypeRow& row = kRows[number - 1];
  std::string name = row.prefix + languages::GetText(row.textId) + row.suffix;
  name.resize(std::min(name.size(), kDisplayNameLength));
  const std::string layoutName = "etiquette" + std::to_string(number);
  return TLabelType{number, name, layoutName, Layout(layoutName)->labelsPerSheet()};
}

std::vector<std::string> labelTypeEntries() {
  std::vector<std::string> entries;
  for (int number = 1; number <= kLabelTypeCount; ++number) {
    entries.push_back(LabelType(number)->displayName + std::string(kEntryPadding, ' ') + std::to_string(number));
  }
  std::stable_sort(entries.begin(), entries.end(), [](const std::string& a, const std::string& b) {
    return common::ansiLower(a) < common::ansiLower(b);
  });
  return entries;
}

void BuildLabelTypeList(QComboBox& list) {
  list.clear();
  const std::string padding(kEntryPadding, ' ');
  for (const std::string& entry : labelTypeEntries()) {
    // The last run of padding ends where the number starts, whatever blanks the name ends with.
    list.addItem(languages::toQt(entry.substr(0, entry.rfind(padding))), languages::toQt(entry));
  }
  if (gListedSheet) {
    list.addItem(QString::fromStdString(sheetEntryText(gListedSheet->sheet)), kListedSheetEntry);
  }
  list.addItem(languages::textOf(kTextOtherSheets), kOtherSheetsEntry);
  list.setCurrentIndex(0);
}

std::string labelTypeEntryAt(const QComboBox& list, int index) {
  const QVariant entry = index < 0 || index >= list.count() ? QVariant() : list.itemData(index);
  // The entries after the types carry a number, not an entry.
  if (entry.typeId() != QMetaType::QString) return {};
  return languages::fromQt(entry.toString());
}

std::optional<int> labelTypeAt(const QComboBox& list, int index) {
  return LabelTypeOfEntry(labelTypeEntryAt(list, index));
}

std::optional<int> LabelTypeOfEntry(std::string_view entry) {
  std::string_view tail = entry.substr(entry.size() < 3 ? 0 : entry.size() - 3);
  tail.remove_prefix(std::min(tail.find_first_not_of(' '), tail.size()));
  int number = 0;
  auto [end, error] = std::from_chars(tail.data(), tail.data() + tail.size(), number);
  if (tail.empty() || error != std::errc() || end != tail.data() + tail.size()) return std::nullopt;
  return number;
}

}  // namespace vekrano::printing
