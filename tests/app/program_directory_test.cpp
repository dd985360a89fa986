#include "app/program_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/unwritable_directory_notice.h"
#include "common/prompts.h"
#include "languages/interface_texts.h"
#include "support/temp_dir.h"

namespace vekrano::app {
namespace {

using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

std::string made(const TempDir& root, const std::string& relative) {
  std::filesystem::create_directories(root.path() / relative);
  return (root.path() / relative).string() + "/";
}

TEST(ProgramDirectory, DataDirectoryFollowsXdgDataHomeOnlyWhenAbsolute) {
  EXPECT_EQ(dataDirectory("/srv/data", "/home/ana"), "/srv/data/vekrano/");
  EXPECT_EQ(dataDirectory("/srv/data/", "/home/ana"), "/srv/data/vekrano/");
  EXPECT_EQ(dataDirectory("relative/data", "/home/ana"), "/home/ana/.local/share/vekrano/");
  EXPECT_EQ(dataDirectory("", "/home/ana/"), "/home/ana/.local/share/vekrano/");
  EXPECT_EQ(dataDirectory(nullptr, "/home/ana"), "/home/ana/.local/share/vekrano/");
}

TEST(ProgramDirectory, BesideTheExecutableWhileWritableOtherwiseTheDataDirectory) {
  TempDir root;
  const std::string build = made(root, "build/src/app");
  const std::string data = (root.path() / "data/vekrano").string() + "/";
  EXPECT_EQ(chooseProgramDirectory(build, data).directory, build);
  EXPECT_FALSE(std::filesystem::exists(data));

  // Read-only even for root: every write bit off.
  ::chmod(build.c_str(), 0555);
  ProgramDirectoryChoice choice = chooseProgramDirectory(build, data);
  ::chmod(build.c_str(), 0755);
  EXPECT_EQ(choice.directory, data);
  EXPECT_TRUE(choice.writable);
  EXPECT_TRUE(std::filesystem::is_directory(data));
}

TEST(ProgramDirectory, AnInstalledBinDirectoryIsNeverWrittenInto) {
  TempDir root;
  const std::string bin = made(root, "prefix/bin");
  const std::string data = made(root, "data/vekrano");
  ProgramDirectoryChoice choice = chooseProgramDirectory(bin, data);
  EXPECT_EQ(choice.directory, data);
  EXPECT_TRUE(choice.writable);
}

TEST(ProgramDirectory, NeitherWritableIsReportedWithThePlaceToReadFrom) {
  TempDir root;
  const std::string bin = made(root, "prefix/bin");
  const std::string app = made(root, "portable");
  const std::string data = made(root, "data/vekrano");
  ::chmod(app.c_str(), 0555);
  ::chmod(data.c_str(), 0555);
  ProgramDirectoryChoice fromBin = chooseProgramDirectory(bin, data);
  ProgramDirectoryChoice portable = chooseProgramDirectory(app, data);
  ::chmod(app.c_str(), 0755);
  ::chmod(data.c_str(), 0755);
  EXPECT_FALSE(fromBin.writable);
  EXPECT_EQ(fromBin.directory, data);
  EXPECT_FALSE(portable.writable);
  EXPECT_EQ(portable.directory, app);
}

TEST(ProgramDirectory, ReadOnlyFilesAreTakenFromTheProgramDirectoryFirst) {
  TempDir root;
  const std::string data = made(root, "data");
  const std::string exe = made(root, "exe");
  EXPECT_EQ(findProgramFile(data, exe, "/vekrano.lg"), data + "/vekrano.lg");
  writeFileBytes(exe + "vkb.chm", "help");
  writeFileBytes(exe + "vekrano.lg", "beside");
  EXPECT_EQ(findProgramFile(data, exe, "vkb.chm"), exe + "vkb.chm");
  EXPECT_EQ(findProgramFile(data, exe, "/vekrano.lg"), exe + "/vekrano.lg");
  writeFileBytes(data + "vekrano.lg", "own");
  EXPECT_EQ(findProgramFile(data, exe, "/vekrano.lg"), data + "/vekrano.lg");
}

TEST(ProgramDirectory, UnwritableNoticeNamesBothFoldersInTheCurrentLanguage) {
  common::ScopedScriptedPrompts prompts;
  languages::setLanguageNumber(languages::kSpanish);
  showUnwritableDirectoryNotice("/usr/bin/", "/home/ana/.local/share/vekrano/");
  languages::setLanguageNumber(0);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "Vekrano");
  EXPECT_EQ(prompts.shown[0].kind, common::PromptKind::Warning);
  EXPECT_EQ(prompts.shown[0].text,
            "Vekrano no puede escribir en ninguna de estas carpetas:\n\n/usr/bin/\n"
            "/home/ana/.local/share/vekrano/\n\nLas fichas y los par\xE1metros no se guardar\xE1n. "
            "Dese permiso para escribir en una de ellas, o indique otra carpeta en XDG_DATA_HOME.");
}

TEST(ProgramDirectory, UnwritableNoticeBeforeTheSettingsUsesALanguageAndKeepsTheNumber) {
  common::ScopedScriptedPrompts prompts;
  languages::setLanguageNumber(0);
  showUnwritableDirectoryNotice("/opt/vekrano/", "/data/vekrano/");
  EXPECT_EQ(languages::languageNumber(), 0);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_NE(prompts.shown[0].text.find("/opt/vekrano/\n/data/vekrano/"), std::string::npos);
  EXPECT_GT(prompts.shown[0].text.find("/opt/vekrano/"), 20u);
}

}  // namespace
}  // namespace vekrano::app
