// A table with a memo field: its memo file is opened with the table, read for the field's text
// and closed with it; a missing memo file fails the activation.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/memory_dataset.h"
#include "dbase/table/table_test_support.h"

namespace vekrano::dbase::testing {
namespace {

using vekrano::testing::ErrorText;
using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

// Open descriptors of this process naming `path`.
int openDescriptors(const std::string& path) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) == path) ++count;
  }
  return count;
}

TEST(TableMemoTest, TheMemoFileIsOpenWhileTheTableIsAndGivesTheFieldsText) {
  TableFolder f;
  const std::string dbf = f.dir.file("notes.dbf");
  const std::string dbt = f.dir.file("notes.dbt");
  TTzDbf table("tnotes");
  table.DbfFields = {"num,N,5,0", "note,M,10,0"};
  table.setDbfFileName(dbf);
  table.Open();
  ASSERT_TRUE(std::filesystem::exists(dbt));
  EXPECT_EQ(openDescriptors(dbt), 1);
  EXPECT_EQ(table.FieldByName("note").DataType(), TFieldType::ftMemo);
  table.Append();
  table.FieldByName("num").setAsInteger(1);
  table.Post();
  // No memo block yet: the text is empty.
  EXPECT_EQ(table.FieldByName("note").AsString(), "");
  table.Close();
  EXPECT_EQ(openDescriptors(dbt), 0);

  // Block 1 gets a text (OEM 0x82 is the ANSI e acute) and the record points at it.
  std::string memo = readFileBytes(dbt);
  memo.resize(512, '\0');
  const std::string text = "caf\x82 au lait";
  memo += std::string("\xFF\xFF\x08\x00", 4) + static_cast<char>(text.size() + 8) + std::string(3, '\0') + text;
  writeFileBytes(dbt, memo);
  std::string table_bytes = readFileBytes(dbf);
  const std::size_t header = 32 + 2 * 32 + 1;
  table_bytes.replace(header + 1 + 5, 10, "         1");
  writeFileBytes(dbf, table_bytes);
  table.Open();
  EXPECT_EQ(table.FieldByName("note").AsString(), "caf\xE9 au lait");

  // A block number beyond the file, or one without a text header, reads as empty.
  table.Close();
  table_bytes.replace(header + 1 + 5, 10, "        99");
  writeFileBytes(dbf, table_bytes);
  table.Open();
  EXPECT_EQ(table.FieldByName("note").AsString(), "");
  table.Close();

  std::filesystem::remove(dbt);
  const std::string error = ErrorText([&] { table.Open(); });
  EXPECT_EQ(error, "Dataset error: Error # 2 (File not found)\r\nProblem opening memo file [USE(" + dbt + ")]");
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(openDescriptors(dbf), 0);
}

}  // namespace
}  // namespace vekrano::dbase::testing
