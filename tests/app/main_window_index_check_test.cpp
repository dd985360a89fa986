// The program's start with a record index that no longer matches its table: the index is rebuilt,
// the user told once, and the list shows every record.
#include <gtest/gtest.h>

#include <set>

#include "languages/interface_texts.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

class MainWindowIndexCheck : public ShellTest {};

TEST_F(MainWindowIndexCheck, AnIndexThatLostTheKeysOfAppendedRecordsIsRebuiltAndSaidOnce) {
  writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(2, 0, ""));
  data.openData();
  data.executeStatement("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"B\",\"\",\"\",1,\"N\")");
  data.closeData();
  const std::string indexOfOne = readFileBytes(directory.file("article.mdx"));
  data.openData();
  data.executeStatement("INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (2,\"A\",\"\",\"\",1,\"N\")");
  data.closeData();
  writeFileBytes(directory.file("article.mdx"), indexOfOne);  // as another program would leave it

  start();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text,
            "The record index no longer matched the record table: it was rebuilt.\n\n"
            "The old index is kept as:\n" +
                directory.file("article.mdx.bad") +
                "\n\n"
                "Cause: tag CB: key count 1, record count 2");
  EXPECT_EQ(readFileBytes(directory.file("article.mdx.bad")), indexOfOne);
  std::set<std::string> shown;
  for (data.sqlQuery1.First(); !data.sqlQuery1.Eof(); data.sqlQuery1.Next())
    shown.insert(data.sqlQuery1.FieldByName("cb").AsString());
  EXPECT_EQ(shown, (std::set<std::string>{"A", "B"}));
  stop();
  start();
  EXPECT_EQ(prompts.shown.size(), 1u) << "told once";
  stop();
}

}  // namespace
}  // namespace vekrano::app::testing
