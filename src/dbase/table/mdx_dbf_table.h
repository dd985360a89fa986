// The index's view of an open dBase table file: records through the table descriptor and key
// expressions compiled with AssignExpr.
#pragma once

#include "dbase/dbf/dbf_file.h"
#include "dbase/mdx/mdx_table.h"

namespace vekrano::dbase {

class MdxDbfTable : public MdxTable {
 public:
  // REQUIRES: `table` is open and outlives this object.
  MdxDbfTable(DbfTable& table, bool shared, bool hideDeleted, bool readOnly = false)
      : table_(table), shared_(shared), hideDeleted_(hideDeleted), readOnly_(readOnly) {}

  std::string fileName() const override { return table_.fileName(); }
  bool shared() const override { return shared_; }
  void toStored(char* text, std::size_t length) const override { ansiToStored(table_.codePage(), text, length); }
  bool readOnly() const override { return readOnly_; }
  File& tableFile() override { return table_.file(); }
  std::int32_t recordCount() override;
  bool readRecord(std::int32_t n) override;
  bool scanRecords(std::int32_t count, const std::function<void(std::int32_t)>& visit) override;
  void prefetchRecord(std::int32_t n) override { table_.prefetchWalkedRecord(n); }
  std::int32_t currentRecord() const override { return table_.CurrentRecord(); }
  bool currentVisible() const override { return !(hideDeleted_ && table_.isDeleted()); }
  void goToEnd() override;
  std::unique_ptr<MdxExpression> compile(const std::string& text, int& errorCode) override;

 private:
  DbfTable& table_;
  bool shared_;
  bool hideDeleted_;
  bool readOnly_;
};

}  // namespace vekrano::dbase
