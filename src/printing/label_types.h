// The twelve label types and the label type list of the Printing page, which shows the display
// names and keeps each whole entry (name, blanks, type number) as the item's data.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;

namespace vekrano::printing {

constexpr int kLabelTypeCount = 12;
// Display names are cut to this many characters.
constexpr std::size_t kDisplayNameLength = 100;
// Blanks between a list entry's display name and its type number.
constexpr std::size_t kEntryPadding = 150;

struct TLabelType {
  int number = 0;               // 1..12
  std::string displayName;      // ANSI, in the current interface language
  std::string layoutName;       // "etiquette1".."etiquette12"
  int labelsPerSheet = 0;
};

// The type `number` with its display name in the current language; nothing outside 1..12.
std::optional<TLabelType> LabelType(int number);

// The twelve list entries (display name, 150 blanks, number), sorted as the list shows them:
// by their whole texts without regard to letter case.
std::vector<std::string> labelTypeEntries();

// Refills `list` with the display names of labelTypeEntries(), in that order, each item holding
// its whole entry, and selects the first one.
void BuildLabelTypeList(QComboBox& list);
// The whole entry of item `index` of a list BuildLabelTypeList filled; empty for no item.
std::string LabelTypeEntryAt(const QComboBox& list, int index);
// The type number of item `index`; nothing for no item.
std::optional<int> LabelTypeAt(const QComboBox& list, int index);

// The type number carried by an entry: its last three characters as an integer, leading
// blanks accepted; nothing when they do not form one.
std::optional<int> LabelTypeOfEntry(std::string_view entry);

}  // namespace vekrano::printing
