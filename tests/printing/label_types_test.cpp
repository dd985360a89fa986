#include "printing/label_types.h"

#include <QApplication>
#include <QComboBox>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "languages/interface_texts.h"
#include "languages/language_manager.h"
#include "languages/qt_text.h"
#include "support/temp_dir.h"

namespace vekrano::printing {
namespace {

std::vector<int> typeOrder(const std::vector<std::string>& entries) {
  std::vector<int> numbers;
  for (const std::string& entry : entries) numbers.push_back(LabelTypeOfEntry(entry).value_or(0));
  return numbers;
}

TEST(LabelTypes, FrenchListIsSortedByNameWithTheNumberOutOfSight) {
  languages::setLanguageManager(nullptr);
  languages::setLanguageNumber(languages::kFrench);
  std::vector<std::string> entries = labelTypeEntries();
  ASSERT_EQ(entries.size(), 12u);
  EXPECT_EQ(typeOrder(entries), (std::vector<int>{1, 8, 12, 7, 6, 5, 9, 2, 3, 4, 10, 11}));
  EXPECT_EQ(entries[0], "12 etiquettes" + std::string(150, ' ') + "1");
  EXPECT_EQ(entries[7], "L7159 (24 etiquettes : 3X8)" + std::string(150, ' ') + "2");
  EXPECT_EQ(entries[11], "VIKING LABELS LA21-100 - 21 etiquettes (3X7) - 6,3cm X 3,8cm" + std::string(150, ' ') + "11");
}

TEST(LabelTypes, EnglishNamesAndTheTableOfTypes) {
  languages::setLanguageManager(nullptr);
  languages::setLanguageNumber(languages::kEnglish);
  EXPECT_EQ(LabelType(2)->displayName, "L7159 (24 labels : 3X8)");
  EXPECT_EQ(LabelType(10)->displayName, "L7654 40 labels (4X10) - 4,57cmX2.54cm / 1 text");
  languages::setLanguageNumber(languages::kPortuguese);
  EXPECT_EQ(LabelType(5)->displayName, "24 etiquetas (3X8) sem espa\xE7os");
  EXPECT_EQ(LabelType(12)->layoutName, "etiquette12");
  EXPECT_EQ(LabelType(9)->labelsPerSheet, 44);
  EXPECT_EQ(LabelType(1)->labelsPerSheet, 12);
  EXPECT_FALSE(LabelType(0));
  EXPECT_FALSE(LabelType(13));
}

TEST(LabelTypes, TypeNumberIsTheEntrysLastThreeCharacters) {
  EXPECT_EQ(LabelTypeOfEntry("x  9"), 9);
  EXPECT_EQ(LabelTypeOfEntry("x 12"), 12);
  EXPECT_EQ(LabelTypeOfEntry("12"), 12);
  EXPECT_EQ(LabelTypeOfEntry("abc"), std::nullopt);
  EXPECT_EQ(LabelTypeOfEntry("x 1a"), std::nullopt);
  EXPECT_EQ(LabelTypeOfEntry("x9 "), std::nullopt);
  EXPECT_EQ(LabelTypeOfEntry("   "), std::nullopt);
  EXPECT_EQ(LabelTypeOfEntry(""), std::nullopt);
}

TEST(LabelTypes, EmptyText123KeepsTheFixedPartsAndNumbers) {
  testing::TempDir dir;
  std::string file = "a;b\nc;d\ne;1\n4\n5\n6\n7\n8\n9\n10\n";
  for (int id = 1; id <= 133; ++id) file += id == 123 ? ";\n" : "t;name " + std::to_string(id) + "\n";
  testing::writeFileBytes(dir.file("vekrano.lg"), file);
  languages::Tgerelanguage manager;
  manager.setFileName(dir.file("vekrano.lg"));
  ASSERT_TRUE(manager.Load());
  languages::setLanguageManager(&manager);
  EXPECT_EQ(LabelType(1)->displayName, "12 ");
  EXPECT_EQ(LabelType(2)->displayName, "L7159 (24  : 3X8)");
  EXPECT_EQ(LabelType(10)->displayName, "L7654 name 129");
  std::vector<int> numbers = typeOrder(labelTypeEntries());
  EXPECT_EQ(numbers.front(), 1);
  std::sort(numbers.begin(), numbers.end());
  EXPECT_EQ(numbers, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
  languages::setLanguageManager(nullptr);
}

TEST(LabelTypes, DisplayNamesAreCutTo100Characters) {
  testing::TempDir dir;
  std::string file = "a;b\nc;d\ne;1\n4\n5\n6\n7\n8\n9\n10\n";
  for (int id = 1; id <= 124; ++id) file += "t;" + std::string(id == 124 ? 120 : 3, 'W') + "\n";
  testing::writeFileBytes(dir.file("vekrano.lg"), file);
  languages::Tgerelanguage manager;
  manager.setFileName(dir.file("vekrano.lg"));
  ASSERT_TRUE(manager.Load());
  languages::setLanguageManager(&manager);
  EXPECT_EQ(LabelType(5)->displayName, std::string(100, 'W'));
  EXPECT_EQ(LabelTypeOfEntry(labelTypeEntries().back()), 5);
  languages::setLanguageManager(nullptr);
}

TEST(LabelTypes, BuildingTheListRefillsItAndSelectsTheFirstEntry) {
  int argc = 1;
  char name[] = "printing_tests";
  char* argv[] = {name, nullptr};
  std::unique_ptr<QApplication> app;
  if (QApplication::instance() == nullptr) app = std::make_unique<QApplication>(argc, argv);
  languages::setLanguageManager(nullptr);
  languages::setLanguageNumber(languages::kSpanish);
  QComboBox list;
  list.addItem("old");
  list.addItem("older");
  list.setCurrentIndex(1);
  BuildLabelTypeList(list);
  // The twelve types, then the way to the other sheets.
  ASSERT_EQ(list.count(), 13);
  EXPECT_EQ(list.currentIndex(), 0);
  EXPECT_EQ(list.itemText(12), QString::fromUtf8("Otras hojas…"));
  EXPECT_EQ(list.itemData(12), kOtherSheetsEntry);
  // The list shows the names; each item keeps its whole entry and so its type number.
  EXPECT_EQ(list.itemText(0), "12 etiquetas");
  EXPECT_EQ(labelTypeEntryAt(list, 0), "12 etiquetas" + std::string(150, ' ') + "1");
  EXPECT_EQ(list.itemText(5), QString::fromUtf8("24 etiquetas (3X8) sin espacio"));
  EXPECT_EQ(labelTypeAt(list, 5), 5);
  EXPECT_EQ(labelTypeEntryAt(list, -1), "");
  EXPECT_EQ(labelTypeAt(list, 12), std::nullopt);
}

}  // namespace
}  // namespace vekrano::printing
