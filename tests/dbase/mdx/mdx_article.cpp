#include "dbase/mdx/mdx_article.h"

#include <filesystem>
#include <stdexcept>

#include "dbase/dbase_error.h"

namespace vekrano::testing {

using namespace dbase;

MdxArticle::MdxArticle(const std::string& folder, bool shared, bool hideDeleted) : folder_(folder) {
  setAutoErrorReporting(false);  // as the application runs the engine
  if (!std::filesystem::exists(dbfName()))
    CreateDbf(dbfName(), {{"num", 'N', 5, 0},
                          {"cb", 'C', 50, 0},
                          {"lib1", 'C', 100, 0},
                          {"lib2", 'C', 100, 0},
                          {"quantite", 'N', 3, 0},
                          {"topp", 'C', 2, 0}});
  if (!table_.OpenDbf(dbfName(), shared ? DbfOpenMode::SharedReadWrite : DbfOpenMode::ExclusiveReadWrite, true))
    throw std::runtime_error("cannot open table: " + dbfErrorText());
  view_ = std::make_unique<MdxDbfTable>(table_, shared, hideDeleted);
  index_ = std::make_unique<MdxIndex>(*view_);
}

void MdxArticle::build(std::size_t sortLimit) { build({{"CB", false, false, "cb", ""}}, sortLimit); }

void MdxArticle::build(const std::vector<MdxTagDefinition>& tags, std::size_t sortLimit) {
  MdxBuildOptions options;
  options.sortLimit = sortLimit;
  if (!index_->MakeIndex(mdxName(), tags, options)) throw std::runtime_error("MakeIndex: " + dbfErrorText());
  open();
}

void MdxArticle::put(const std::string& cb, const std::string& lib1) {
  table_.refreshRecordCount();
  table_.ClearRecord();
  table_.setInteger(1, table_.RecordCount() + 1);
  table_.setString(2, cb);
  table_.setString(3, lib1);
  if (!table_.PutDbfRecord(table_.RecordCount() + 1)) throw std::runtime_error("put: " + dbfErrorText());
}

void MdxArticle::append(const std::string& cb, const std::string& lib1) {
  std::int64_t lockByte = 0x40000001;
  table_.file().lock(lockByte, 1);
  put(cb, lib1);
  bool ok = index_->AppendIndex();
  table_.file().unlock(lockByte, 1);
  if (!ok) throw std::runtime_error("AppendIndex: " + dbfErrorText());
}

void MdxArticle::replace(int n, const std::string& cb, const std::string& lib1) {
  table_.GetDbfRecord(n);
  index_->beforeReplace();
  table_.setString(2, cb);
  table_.setString(3, lib1);
  table_.PutDbfRecord(n);
  if (!index_->AfterReplace()) throw std::runtime_error("AfterReplace: " + dbfErrorText());
}

std::vector<std::pair<std::string, int>> MdxArticle::walk() {
  std::vector<std::pair<std::string, int>> seen;
  for (bool on = index_->firstKey(); on; on = index_->nextKey()) {
    std::string cb = table_.getString(2);
    cb.erase(cb.find_last_not_of(' ') + 1);
    seen.emplace_back(cb, table_.CurrentRecord());
  }
  return seen;
}

std::string cbKey(const std::string& cb) {
  std::string key = cb;
  key.resize(50, ' ');
  return key;
}

}  // namespace vekrano::testing
