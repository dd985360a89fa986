// What a caller needs to number appends from the records without reading every record each time:
// the append lock held ahead of the append, a stamp that tells what may have changed, and the
// stored values of a few records read without moving the cursor.
#include <algorithm>
#include <vector>

#include "dbase/dbf/dbf_format.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_work_areas.h"

namespace vekrano::dbase {

namespace {

// Records read from the file at a time.
constexpr std::int32_t kRecordsPerRead = 256;

// Puts the table's decoded current record back as it was when the scope ends, since decoding a
// stored field goes through it.
class KeptFieldBuffer {
 public:
  explicit KeptFieldBuffer(DbfTable& table)
      : table_(table), kept_(table.fieldBuffer(), table.fieldBuffer() + table.fieldBufferSize()) {}
  ~KeptFieldBuffer() { std::copy(kept_.begin(), kept_.end(), table_.fieldBuffer()); }
  KeptFieldBuffer(const KeptFieldBuffer&) = delete;
  KeptFieldBuffer& operator=(const KeptFieldBuffer&) = delete;

 private:
  DbfTable& table_;
  std::vector<std::uint8_t> kept_;
};

}  // namespace

bool TTzDbf::holdAppendLock() {
  WorkArea& area = Area("Post");
  if (appendRunWanted_) return takeAppendRun();
  return takeLock([&] { return area.locks.lockAppend(); }, OnALockFailedOnInsert, "Insert");
}

void TTzDbf::releaseAppendLock() {
  if (area_ == 0 || appendRunHeld()) return;  // the run keeps it for its next append
  TableLocks& locks = getWorkArea(area_).locks;
  if (locks.holdsAppend()) locks.Unlock();
}

TTzChangeStamp TTzDbf::ChangeStamp() {
  WorkArea& area = Area("ChangeStamp");
  TTzChangeStamp stamp;
  stamp.shared = area.shared;
  if (area.shared) tzCheck(area.table.refreshRecordCount() ? 0 : dbfErrorCode());
  stamp.recordCount = area.table.RecordCount();
  if (area.index && area.index->isOpen()) stamp.indexChanges = area.index->changeCount();
  stamp.ownChanges = ownChanges_;
  return stamp;
}

void TTzDbf::VisitStoredIntegers(std::int32_t first, std::int32_t last, const TField& field,
                                 const std::function<void(std::int32_t n, std::int32_t value)>& visit) {
  WorkArea& area = Area("VisitStoredIntegers");
  DbfTable& table = area.table;
  if (area.shared && last > table.RecordCount()) tzCheck(table.refreshRecordCount() ? 0 : dbfErrorCode());
  last = std::min(last, table.RecordCount());
  first = std::max(first, 1);
  if (first > last) return;
  const auto index = static_cast<std::size_t>(field.Index());
  const std::vector<std::size_t> wanted{index};
  const std::size_t length = table.recordLength();
  std::vector<char> stored(static_cast<std::size_t>(std::min(kRecordsPerRead, last - first + 1)) * length);
  std::vector<char> decoded(static_cast<std::size_t>(layout_->bufferSize()));
  KeptFieldBuffer kept(table);
  for (std::int32_t from = first; from <= last; from += kRecordsPerRead) {
    const std::int32_t count = std::min(kRecordsPerRead, last - from + 1);
    tzCheck(table.readRecords(from, count, stored.data()) ? 0 : dbfErrorCode());
    for (std::int32_t i = 0; i < count; ++i) {
      const char* record = stored.data() + static_cast<std::size_t>(i) * length;
      if (area.hideDeleted && record[0] == kRecordDeleted) continue;
      layout_->storedFieldsToBuffer(table, record, from + i, wanted, decoded.data());
      visit(from + i, layout_->Integer(decoded.data(), field.Index()));
    }
  }
}

}  // namespace vekrano::dbase
