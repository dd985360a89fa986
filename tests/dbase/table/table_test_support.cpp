#include "dbase/table/table_test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "dbase/file_io.h"

namespace vekrano::dbase::testing {

std::vector<std::string> TableFolder::shownTexts() const {
  std::vector<std::string> texts;
  for (const common::Prompt& prompt : prompts.shown) texts.push_back(prompt.text);
  return texts;
}

LockHolder::LockHolder(const std::string& path, std::int64_t offset, std::int64_t length) {
  int ready[2], release[2];
  if (pipe(ready) != 0 || pipe(release) != 0) throw std::runtime_error("pipe");
  pid_ = fork();
  if (pid_ == 0) {
    File file;
    const bool locked =
        file.open(path, FileAccess::ReadWrite, FileShare::DenyNone) == 0 && (length == 0 || file.lock(offset, length));
    const char answer = locked ? 'L' : 'F';
    (void)!write(ready[1], &answer, 1);
    char go = 0;
    (void)!read(release[0], &go, 1);
    _exit(0);
  }
  close(ready[1]);
  close(release[0]);
  releaseFd_ = release[1];
  char answer = 0;
  locked_ = read(ready[0], &answer, 1) == 1 && answer == 'L';
  close(ready[0]);
}

LockHolder::~LockHolder() {
  (void)!write(releaseFd_, "x", 1);
  close(releaseFd_);
  waitpid(pid_, nullptr, 0);
}

void appendArticle(TTzDbf& table, int num, const std::string& cb, const std::string& lib1) {
  table.Append();
  table.FieldByName("num").setAsInteger(num);
  table.FieldByName("cb").setAsString(cb);
  if (!lib1.empty()) table.FieldByName("lib1").setAsString(lib1);
  table.Post();
}

std::vector<std::string> Barcodes(TTzDbf& table) {
  std::vector<std::string> seen;
  for (table.First(); !table.Eof(); table.Next()) seen.push_back(table.FieldByName("cb").AsString());
  return seen;
}

}  // namespace vekrano::dbase::testing
