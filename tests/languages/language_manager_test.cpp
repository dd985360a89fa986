#include "languages/language_manager.h"

#include <gtest/gtest.h>

#include "languages/caption_table.h"
#include "languages/interface_texts.h"
#include "support/temp_dir.h"

namespace vekrano::languages {
namespace {

using testing::TempDir;
using testing::writeFileBytes;

const std::string kHeader =
    "Version;Deutsch\n"
    "Police;Courier New\n"
    "Jeu;238\n"
    "4\n5\n6\n7\n8\n9\n10\n";

// Installs a manager for GetText and restores the built-in table at the end.
class ManagerInForce {
 public:
  explicit ManagerInForce(const Tgerelanguage& manager) { setLanguageManager(&manager); }
  ~ManagerInForce() { setLanguageManager(nullptr); }
};

TEST(LanguageManager, MissingFileLeavesTheBuiltInTexts) {
  TempDir dir;
  Tgerelanguage manager;
  manager.setFileName(dir.path().string() + kLanguageFileName);
  EXPECT_EQ(manager.FileName(), dir.file("vekrano.lg"));
  EXPECT_FALSE(manager.Load());
  ManagerInForce inForce(manager);
  setLanguageNumber(kEnglish);
  EXPECT_FALSE(languageFileInForce());
  EXPECT_EQ(GetText(16), "Add");
}

TEST(LanguageManager, HeaderLinesGoToSlots301To303AndTextsStartAtLine11) {
  TempDir dir;
  writeFileBytes(dir.file("vekrano.lg"), kHeader + "one;Eins\n\n \t\ntwo;Zwei\r\n\nthree;  \t\nfour; Vier \n");
  Tgerelanguage manager;
  manager.setFileName(dir.path().string() + kLanguageFileName);
  ASSERT_TRUE(manager.Load());
  EXPECT_EQ(manager.Slot(kHeaderSlot), "Deutsch");
  EXPECT_EQ(manager.Slot(kFontNameSlot), "Courier New");
  EXPECT_EQ(manager.Slot(kCharsetSlot), "238");
  EXPECT_EQ(manager.Slot(1), "Eins");
  EXPECT_EQ(manager.Slot(2), "Zwei");  // blank lines do not shift the ids
  EXPECT_EQ(manager.Slot(3), "three");  // blank field 2 gives field 1
  EXPECT_EQ(manager.Slot(4), " Vier ");  // used with its blanks
  EXPECT_EQ(manager.Slot(5), "");
  EXPECT_EQ(manager.Slot(0), "");
  EXPECT_EQ(manager.Slot(304), "");

  ManagerInForce inForce(manager);
  setLanguageNumber(0);  // the file replaces the table whatever the language
  EXPECT_EQ(GetText(2), "Zwei");
  EXPECT_EQ(GetText(134), "");
  EXPECT_EQ(GetText(kTextIdCount + 1), "");
}

TEST(LanguageManager, TenLineFileLoadsWithNoTexts) {
  TempDir dir;
  writeFileBytes(dir.file("vekrano.lg"), kHeader);
  Tgerelanguage manager;
  manager.setFileName(dir.file("vekrano.lg"));
  ASSERT_TRUE(manager.Load());
  ManagerInForce inForce(manager);
  setLanguageNumber(kFrench);
  EXPECT_TRUE(languageFileInForce());
  for (int id = 1; id <= 134; ++id) EXPECT_EQ(GetText(id), "") << id;
}

TEST(LanguageManager, CharsetThatIsNoNumberIsOne) {
  TempDir dir;
  for (const char* value : {"abc", "", "12x", "  7"}) {
    writeFileBytes(dir.file("vekrano.lg"), std::string("a;b\nf;Arial\nc;") + value + "\n");
    Tgerelanguage manager;
    manager.setFileName(dir.file("vekrano.lg"));
    ASSERT_TRUE(manager.Load()) << value;
    EXPECT_EQ(manager.Slot(kCharsetSlot), std::string(value) == "  7" ? "7" : "1") << value;
  }
}

TEST(LanguageManager, TextsBeyondThe300thAreIgnored) {
  TempDir dir;
  std::string content = kHeader;
  for (int i = 1; i <= 301; ++i) content += "x;t" + std::to_string(i) + "\n";
  writeFileBytes(dir.file("vekrano.lg"), content);
  Tgerelanguage manager;
  manager.setFileName(dir.file("vekrano.lg"));
  ASSERT_TRUE(manager.Load());
  EXPECT_EQ(manager.Slot(300), "t300");
  EXPECT_EQ(manager.Slot(kHeaderSlot), "Deutsch");  // not overwritten by the 301st text
}

TEST(LanguageManager, UnreadableFileCountsAsNotLoaded) {
  TempDir dir;
  std::filesystem::create_directory(dir.file("vekrano.lg"));
  Tgerelanguage manager;
  manager.setFileName(dir.file("vekrano.lg"));
  EXPECT_FALSE(manager.Load());
  EXPECT_FALSE(manager.Loaded());
  EXPECT_EQ(manager.Slot(kHeaderSlot), "");
}

}  // namespace
}  // namespace vekrano::languages
