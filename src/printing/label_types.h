// The twelve label types and the label type list of the Printing page, which shows the display
// names and keeps each whole entry (name, blanks, type number) as the item's data.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "printing/label_layouts.h"
#include "printing/label_sheet.h"

class QComboBox;

namespace vekrano::printing {

constexpr int kLabelTypeCount = 12;
// Display names are cut to this many characters.
constexpr std::size_t kDisplayNameLength = 100;
// Blanks between a list entry's display name and its type number.
constexpr std::size_t kEntryPadding = 150;

struct TLabelType {
  int number = 0;  // 1..12
  std::string displayName;  // ANSI, in the current interface language
  std::string layoutName;  // "etiquette1".."etiquette12"
  int labelsPerSheet = 0;
};

// The type `number` with its display name in the current language; nothing outside 1..12.
std::optional<TLabelType> LabelType(int number);

// The twelve list entries (display name, 150 blanks, number), sorted as the list shows them:
// by their whole texts without regard to letter case.
std::vector<std::string> labelTypeEntries();

// Refills `list` with the display names of labelTypeEntries(), in that order, each item holding
// its whole entry, then, after them and unsorted, the entry of the listed sheet (when there is
// one) and "Other sheets…", and selects its first entry. The two entries after the types carry
// kListedSheetEntry and kOtherSheetsEntry as item data.
void BuildLabelTypeList(QComboBox& list);
// The whole entry of item `index` of a list BuildLabelTypeList filled; empty for no item and for
// the entries after the types.
std::string labelTypeEntryAt(const QComboBox& list, int index);
// The type number of item `index`; nothing for no item and for the entries after the types.
std::optional<int> labelTypeAt(const QComboBox& list, int index);

inline constexpr int kListedSheetEntry = 1;
inline constexpr int kOtherSheetsEntry = 2;

// The catalog or own sheet that the list offers after the twelve types; nullptr for none. Its
// layout is kept by addSheet, so that Layout(listedSheetLayout()->name) finds it.
void setListedSheet(const LabelSheetSpec* sheet);
const TLabelLayout* listedSheetLayout();

// The type number carried by an entry: its last three characters as an integer, leading
// blanks accepted; nothing when they do not form one.
std::optional<int> LabelTypeOfEntry(std::string_view entry);

}  // namespace vekrano::printing
