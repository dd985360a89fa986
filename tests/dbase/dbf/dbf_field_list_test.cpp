#include <gtest/gtest.h>

#include "common/prompts.h"
#include "dbase/dbf/dbf_field_list.h"
#include "dbase/dbf/dbf_test_support.h"
#include "support/temp_dir.h"

using namespace vekrano::dbase;
using vekrano::common::ScopedScriptedPrompts;
using vekrano::dbase::testing::kArticleFieldList;
using vekrano::testing::readFileBytes;
using vekrano::testing::TempDir;

TEST(DbfFieldList, ArticleListGivesTheSameFileAsItsDefinitions) {
  ScopedScriptedPrompts prompts;
  TempDir dir;
  ASSERT_TRUE(createDbfFromFieldList("tarticle", &kArticleFieldList, dir.file("article.dbf")));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_TRUE(autoErrorReporting());  // restored after creation
  ASSERT_TRUE(CreateDbf(dir.file("direct.dbf"), vekrano::dbase::testing::articleFields()));
  EXPECT_EQ(readFileBytes(dir.file("article.dbf")), readFileBytes(dir.file("direct.dbf")));
}

TEST(DbfFieldList, DoubtfulDefinitionsAreCorrectedAfterAMessage) {
  ScopedScriptedPrompts prompts;
  TempDir dir;
  const std::vector<std::string> list = {"total,N,25,2", "x,N,3,2",    "name,C,255,0",
                                         "foo,Q,10,0",   "skip,X,1,0", " ok ,C,+1$0,0"};
  ASSERT_TRUE(createDbfFromFieldList("tarticle", &list, dir.file("t.dbf")));
  ASSERT_EQ(prompts.shown.size(), 4u);
  EXPECT_EQ(prompts.shown[0].text,
            "Invalid field definition for tarticle: total,N,25,2. Will use corrected definition: "
            "total,N,20,2");
  EXPECT_EQ(prompts.shown[1].text,
            "Invalid field definition for tarticle: x,N,3,2. Will use corrected definition: x,N,3,1");
  EXPECT_EQ(prompts.shown[2].text,
            "Invalid field definition for tarticle: name,C,255,0. Will use corrected definition: "
            "name,C,254,0");
  EXPECT_EQ(prompts.shown[3].text,
            "Invalid field definition for tarticle: foo,Q,10,0. Will use corrected definition: "
            "foo,C,10,0");
  DbfTable t;
  ASSERT_TRUE(t.OpenDbf(dir.file("t.dbf"), DbfOpenMode::ReadOnly));
  ASSERT_EQ(t.FieldCount(), 5);
  EXPECT_EQ(t.FieldLen(1), 20);
  EXPECT_EQ(t.FieldDec(1), 2);
  EXPECT_EQ(t.FieldDec(2), 1);
  EXPECT_EQ(t.FieldLen(3), 254);
  EXPECT_EQ(t.FieldType(4), 'C');
  EXPECT_EQ(t.Field(5), "OK");
  EXPECT_EQ(t.FieldLen(5), 10);  // "+1$0": "+" and "$" ignored
}

TEST(DbfFieldList, MissingOrMalformedListsCreateNothing) {
  ScopedScriptedPrompts prompts;
  TempDir dir;
  EXPECT_FALSE(createDbfFromFieldList("t", nullptr, dir.file("a.dbf")));
  const std::vector<std::string> empty;
  EXPECT_FALSE(createDbfFromFieldList("t", &empty, dir.file("a.dbf")));
  const std::vector<std::string> malformed = {"num,N,5,0", "cb,C,50"};
  EXPECT_FALSE(createDbfFromFieldList("t", &malformed, dir.file("a.dbf")));
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].text, "DbfFieldList is Nil trying to create a database");
  EXPECT_EQ(prompts.shown[1].text, "FieldList.Count is <= 0 trying to create a database");
  EXPECT_FALSE(std::filesystem::exists(dir.file("a.dbf")));
  const std::vector<std::string> zeroLength = {"num,N,0,0"};
  EXPECT_FALSE(createDbfFromFieldList("t", &zeroLength, dir.file("a.dbf")));
  EXPECT_EQ(dbfErrorCode(), 211);
  EXPECT_EQ(prompts.shown.size(), 2u);  // reporting was suspended: no "Program halted." box
}
