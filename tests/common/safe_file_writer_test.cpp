// A file replaced through SafeFileWriter shows its old content until the new one is whole.
#include "common/safe_file_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace vekrano::common {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

int filesIn(const std::filesystem::path& folder) {
  return static_cast<int>(
      std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

TEST(SafeFileWriter, TheNameShowsTheOldContentUntilTheCommit) {
  vekrano::testing::TempDir dir;
  const std::string path = dir.file("out.csv");
  writeFileBytes(path, "old");
  const std::string large(200'000, 'x');
  {
    SafeFileWriter file(path);
    file.write("head;");
    file.write(large);  // larger than the buffer
    file.write(std::string(70'000, 'y'));
    file.write(";tail");
    EXPECT_EQ(readFileBytes(path), "old");
    file.commit();
  }
  EXPECT_EQ(readFileBytes(path), "head;" + large + std::string(70'000, 'y') + ";tail");
  EXPECT_EQ(filesIn(dir.path()), 1);

  // Abandoned before the commit (an error while writing): the old file stays, nothing is left.
  {
    SafeFileWriter file(path);
    file.write("half");
  }
  EXPECT_EQ(readFileBytes(path).size(), 270'010u);
  EXPECT_EQ(filesIn(dir.path()), 1);

  replaceFileContent(path, "");
  EXPECT_EQ(readFileBytes(path), "");
  replaceFileContent(dir.file("new.txt"), "fresh");
  EXPECT_EQ(readFileBytes(dir.file("new.txt")), "fresh");

  try {
    replaceFileContent(dir.path().string(), "x");
    ADD_FAILURE() << "a folder was replaced";
  } catch (const EFileWriteError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot write the file " + dir.path().string() + ": it is a folder");
  }
  try {
    replaceFileContent(dir.file("missing/x.txt"), "x");
    ADD_FAILURE() << "written into a missing folder";
  } catch (const EFileWriteError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot write the file " + dir.file("missing/x.txt") + ": No such file or directory");
  }
  EXPECT_EQ(filesIn(dir.path()), 2);
}

}  // namespace
}  // namespace vekrano::common
