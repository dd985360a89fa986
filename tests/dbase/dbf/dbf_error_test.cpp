#include <gtest/gtest.h>

#include "common/prompts.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"
#include "support/temp_dir.h"

using namespace vekrano::dbase;

TEST(DbfError, CodeTextsAndComposedMessage) {
  EXPECT_EQ(errorCodeText(210), "Not a dBASE data file");
  EXPECT_EQ(errorCodeText(227), "Insufficient disk space ");
  EXPECT_EQ(errorCodeText(1103), "Invalid Operation ");
  EXPECT_EQ(errorCodeText(1250), "Network Error");
  EXPECT_EQ(errorCodeText(20), "Unknown unit");
  EXPECT_EQ(errorCodeText(358), "Undefined error");
  EXPECT_EQ(composeErrorMessage(32, "Failure to open a.dbf [USE/OpenDbf]"),
            "Error # 32 (File sharing violation)\r\nFailure to open a.dbf [USE/OpenDbf]");
  const EDorevError error(222, "detail");
  EXPECT_EQ(error.code(), 222);
  EXPECT_STREQ(error.what(), "Error # 222 (Corrupted index file)\r\ndetail");
  const vekrano::common::Exception& base = error;
  EXPECT_EQ(base.message(), "Error # 222 (Corrupted index file)\r\ndetail");
}

TEST(DbfError, AutomaticReportingShowsTheBoxAndEndsTheProcessThroughTheHandler) {
  vekrano::common::ScopedScriptedPrompts prompts;
  std::vector<int> endedWith;
  const ProcessEndHandler previous = setProcessEndHandler([&](int code) { endedWith.push_back(code); });
  setAutoErrorReporting(true);
  vekrano::testing::TempDir dir;
  DbfTable t;
  EXPECT_FALSE(t.OpenDbf(dir.file("none.dbf"), DbfOpenMode::ReadOnly));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Program halted.");
  EXPECT_EQ(prompts.shown[0].kind, vekrano::common::PromptKind::Error);
  EXPECT_EQ(prompts.shown[0].text, "Error # 2 (File not found)\r\nFailure to open " +
                                       std::filesystem::absolute(dir.file("none.dbf")).string() + " [USE/OpenDbf]");
  EXPECT_EQ(endedWith, std::vector<int>{2});
  {
    SuspendAutoErrorReporting quiet;
    dbfError(5, "quiet");
    EXPECT_EQ(dbfErrorCode(), 5);
  }
  EXPECT_TRUE(autoErrorReporting());
  EXPECT_EQ(prompts.shown.size(), 1u);
  setProcessEndHandler(previous);
  clearDbfError();
  EXPECT_EQ(dbfErrorCode(), 0);
  EXPECT_EQ(dbfErrorText(), "");
}
