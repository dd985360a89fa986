// The index semaphore's login failures say why: a full disk or a file that cannot be opened for
// writing is named in the engine's words, and the program ends with status 1 having changed nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/full_disk.h"
#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using vekrano::testing::readFileBytes;
using vekrano::testing::runShell;

std::string program() { return VEKRANO_SQL_PROGRAM; }

class SemaphoreLoginFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(runShell(program() + " " + data_.path().string() +
                       " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (1,\"A1\",\"\",\"\",1,\"N\")'")
                  .status,
              0);
    table_ = readFileBytes(data_.path() / "article.dbf");
    index_ = readFileBytes(data_.path() / "article.mdx");
  }

  // The first line of the message, the line break and the detail, as standard error shows them.
  std::string Said(const std::string& prefix) {
    const std::string errors = other_.file("errors.txt");
    status_ = runShell(prefix + program() + " " + data_.path().string() + " 'select cb from article' > /dev/null 2> " +
                       errors)
                  .status;
    return readFileBytes(errors);
  }

  void expectNothingChanged() {
    EXPECT_EQ(status_, 1);
    EXPECT_EQ(readFileBytes(data_.path() / "article.dbf"), table_);
    EXPECT_EQ(readFileBytes(data_.path() / "article.mdx"), index_);
  }

  vekrano::testing::TempDir data_, other_;
  std::string table_, index_;
  int status_ = -1;
};

TEST_F(SemaphoreLoginFailure, AFullDiskIsNamedAndNoHalfMadeSemaphoreFileIsLeft) {
  const std::string said = Said(vekrano::testing::fullDiskAfter(0, data_.path()) + " ");
  const std::string semaphore = (data_.path() / "article.@s@").string();
  EXPECT_NE(said.find("Error # 101 (Disk write error (probable cause: Disk Full).)\r\nCannot write to: " + semaphore +
                      " Action=LOGIN [Database Semaphore]"),
            std::string::npos)
      << said;
  EXPECT_FALSE(fs::exists(semaphore)) << "the next opener would take it for a crashed process's";
  expectNothingChanged();
  // With room again the table opens as before.
  EXPECT_EQ(runShell(program() + " " + data_.path().string() + " 'select cb from article'").out, "cb\nA1\n");
}

// Run as root, a folder's permissions refuse nothing: a folder in the semaphore file's place is
// refused the same way, as access denied.
TEST_F(SemaphoreLoginFailure, ASemaphoreFileThatCannotBeOpenedIsNamedAsAccessDenied) {
  const fs::path semaphore = data_.path() / "article.@s@";
  fs::create_directory(semaphore);
  const std::string said = Said("");
  EXPECT_NE(said.find("Error # 5 (File access denied)\r\nCannot open: " + semaphore.string() + " LOGIN"),
            std::string::npos)
      << said;
  expectNothingChanged();
}

}  // namespace
