// "Aide": the user manual's page of the interface language opened through the desktop's URL
// opener (a stand-in receives it), vkb.chm instead where the desktop has a viewer for it, and
// the pages themselves, copied beside the program by the build.
#include <QAbstractButton>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/program_directory.h"
#include "app/user_manual.h"
#include "languages/interface_texts.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

using vekrano::testing::TempDir;
using vekrano::testing::writeFileBytes;

// Receives what the desktop would open.
class UrlOpener : public QObject {
  Q_OBJECT
 public:
  UrlOpener() { QDesktopServices::setUrlHandler("file", this, "open"); }
  ~UrlOpener() override { QDesktopServices::unsetUrlHandler("file"); }
  QStringList opened;

 public slots:
  void open(const QUrl& url) { opened << url.toLocalFile(); }
};

// The real desktop, its modal windows answered at once (none is expected).
class RealDesktop : public QtDesktop {
 public:
  int runModal(QDialog& dialog) override {
    dialog.done(QDialog::Accepted);
    return QDialog::Accepted;
  }
};

// The XDG folders of a test: associations written here only.
class ScopedDesktopFolders {
 public:
  ScopedDesktopFolders() {
    for (const char* name : kNames) {
      saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
      qputenv(name, QByteArray::fromStdString(folder.file(std::string(name) + "/")));
      std::filesystem::create_directories(folder.file(std::string(name) + "/applications"));
    }
  }
  ~ScopedDesktopFolders() {
    for (const Saved& s : saved_) s.set ? qputenv(s.name, s.value) : qunsetenv(s.name);
  }
  // Declares `desktopFile` the default application of `mimeType` for the user.
  void associate(const std::string& mimeType, const std::string& desktopFile) {
    writeFileBytes(
        folder.file("XDG_CONFIG_HOME/mimeapps.list"),
        "[Removed Associations]\ntext/html=x.desktop\n[Default Applications]\n" + mimeType + "=" + desktopFile + "\n");
  }
  TempDir folder;

 private:
  static constexpr const char* kNames[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"};
  struct Saved {
    const char* name;
    QByteArray value;
    bool set;
  };
  std::vector<Saved> saved_;
};

QString besideTheProgram(const char* page) { return QString::fromStdString(executableDirectory()) + "help/" + page; }

class Help : public ShellTest {
 protected:
  void startIn(int language) {
    writeFileBytes(directory.file("VEKRANO.PAR"), settingsBytes(language, 0, ""));
    window = std::make_unique<TFprincip>(dir(), real, data);
    window->FormShow();
    window->FormActivate();
  }
  void pressAide() { window->findChild<QAbstractButton*>("spAide")->click(); }

  ScopedDesktopFolders folders;
  RealDesktop real;
  UrlOpener opener;
};

TEST_F(Help, AideOpensTheManualPageOfTheCurrentLanguage) {
  startIn(3);
  pressAide();
  EXPECT_EQ(opener.opened, QStringList{besideTheProgram("vekrano-pt.html")});
  // The language applied from the Parameters page counts at once.
  window->findChild<QAbstractButton*>("lespagnol")->click();
  window->findChild<QAbstractButton*>("btappliquer")->click();
  pressAide();
  window->findChild<QAbstractButton*>("langlais")->click();
  window->findChild<QAbstractButton*>("btappliquer")->click();
  pressAide();
  window->findChild<QAbstractButton*>("lfrancais")->click();
  window->findChild<QAbstractButton*>("btappliquer")->click();
  pressAide();
  EXPECT_EQ(opener.opened, (QStringList{besideTheProgram("vekrano-pt.html"), besideTheProgram("vekrano-es.html"),
                                        besideTheProgram("vekrano-en.html"), besideTheProgram("vekrano-fr.html")}));
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(Help, AHelpFileIsOpenedOnlyWhereTheDesktopHasAViewerForIt) {
  writeFileBytes(directory.file("vkb.chm"), "ITSF");
  startIn(2);
  // No viewer: a removed association or another type does not count.
  folders.associate("application/pdf", "viewer.desktop");
  pressAide();
  folders.associate("application/x-chm", "");
  pressAide();
  EXPECT_EQ(opener.opened, QStringList(2, besideTheProgram("vekrano-en.html")));
  folders.associate("application/x-chm", "xchm.desktop;");
  pressAide();
  EXPECT_EQ(opener.opened.back(), QString::fromStdString(dir() + "vkb.chm"));
  // The installed applications' cache counts as well.
  folders.associate("text/plain", "x.desktop");
  writeFileBytes(folders.folder.file("XDG_DATA_DIRS/applications/mimeinfo.cache"),
                 "[MIME Cache]\napplication/vnd.ms-htmlhelp=kchmviewer.desktop;\n");
  opener.opened.clear();
  pressAide();
  EXPECT_EQ(opener.opened, QStringList{QString::fromStdString(dir() + "vkb.chm")});
}

TEST_F(Help, InstalledPagesAreFoundFromBinAndAMissingManualIsReported) {
  languages::setLanguageNumber(4);
  TempDir prefix;
  std::filesystem::create_directories(prefix.file("share/vekrano/help"));
  writeFileBytes(prefix.file("share/vekrano/help/vekrano-es.html"), "<html lang=\"es\">");
  std::filesystem::create_directories(prefix.file("bin"));
  const std::string bin = prefix.file("bin/");
  EXPECT_EQ(manualPage(bin, 4), QString::fromStdString(prefix.file("share/vekrano/help/vekrano-es.html")));
  openHelp(real, dir(), bin, 4);
  EXPECT_EQ(opener.opened.size(), 1u);

  EXPECT_EQ(manualPage(bin, 1), QString());
  languages::setLanguageNumber(1);
  openHelp(real, dir(), bin, 1);
  EXPECT_EQ(opener.opened.size(), 1u);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "Le manuel d'utilisation est introuvable : " + bin + "help/vekrano-fr.html");
  EXPECT_EQ(prompts.shown[0].kind, common::PromptKind::Error);
}

// Each page is in its language, has every chapter and leads to the three others.
TEST(UserManual, FourPagesWithTheSameChapters) {
  const std::pair<int, const char*> pages[] = {{1, "fr"}, {2, "en"}, {3, "pt"}, {4, "es"}};
  for (const auto& [language, code] : pages) {
    SCOPED_TRACE(code);
    QFile file(besideTheProgram(manualPageName(language).toUtf8().constData()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(html.contains(QString("<html lang=\"%1\">").arg(code)));
    for (const char* chapter : {"pages", "import", "printing", "calibration", "backup", "data", "tools"}) {
      EXPECT_TRUE(html.contains(QString("<h2 id=\"%1\">").arg(chapter))) << chapter;
      EXPECT_TRUE(html.contains(QString("href=\"#%1\"").arg(chapter))) << chapter;
    }
    for (const auto& [other, otherCode] : pages) {
      if (other != language) {
        EXPECT_TRUE(html.contains(QString("href=\"vekrano-%1.html\"").arg(otherCode))) << otherCode;
      }
    }
    for (const char* tool : {"vekrano-sql", "vekrano-labels", "article.dbf", "VEKRANO.PAR"}) {
      EXPECT_TRUE(html.contains(tool)) << tool;
    }
  }
  EXPECT_TRUE(QFile::exists(besideTheProgram("manual.css")));
}

}  // namespace
}  // namespace vekrano::app::testing

#include "help_test.moc"
