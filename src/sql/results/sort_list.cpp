// Sort lists and their quicksort.
#include "sql/results/sort_list.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "common/byte_codec.h"
#include "sql/errors.h"
#include "sql/expr/expr_convert.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

template <typename T>
int compareValues(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

std::size_t keySize(TExprType type, std::size_t stringSize) {
  switch (type) {
    case ttFloat:
      return sizeof(double);
    case ttInteger:
      return sizeof(std::int32_t);
    case ttBoolean:
      return sizeof(std::int16_t);
    case ttString:
      break;
  }
  return stringSize + 1;
}

}  // namespace

int TSrtField::Compare(const char* a, const char* b) const {
  int result = 0;
  switch (type_) {
    case ttString:
      // Unsigned bytes, the text ending at its first zero byte: a prefix sorts first.
      result = std::strncmp(a, b, size_);
      result = result < 0 ? -1 : (result > 0 ? 1 : 0);
      break;
    case ttFloat:
      result = compareValues(common::load<double>(a), common::load<double>(b));
      break;
    case ttInteger:
      result = compareValues(common::load<std::int32_t>(a), common::load<std::int32_t>(b));
      break;
    case ttBoolean:
      result = compareValues(common::load<std::int16_t>(a) != 0,
                             common::load<std::int16_t>(b) != 0);
      break;
  }
  return descending_ ? -result : result;
}

bool TSrtField::SameValue(const char* a, const char* b) const {
  if (type_ == ttFloat) {
    return floatToText(common::load<double>(a)) == floatToText(common::load<double>(b));
  }
  return Compare(a, b) == 0;
}

void TSqlSortList::AddField(TExprType type, std::size_t size, bool descending) {
  const std::size_t bytes = keySize(type, size);
  keys_.emplace_back(type, entrySize_, bytes, descending);
  entrySize_ += bytes;
}

int TSqlSortList::Count() const { return store_ ? store_->Count() : 0; }

void TSqlSortList::SetRecNo(int recNo) {
  if (recNo < 1 || recNo > Count()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  recNo_ = recNo;
}

void TSqlSortList::Insert() {
  if (!store_) store_ = std::make_unique<TRecordStore>(entrySize_, options_);
  store_->Append();
  recNo_ = store_->Count();
}

char* TSqlSortList::CurrentKey(int key) const {
  if (recNo_ < 1 || recNo_ > Count()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  return Entry(recNo_) + keys_[static_cast<std::size_t>(key)].Offset();
}

void TSqlSortList::SetRowNumber(std::int32_t rowNumber) {
  if (recNo_ < 1 || recNo_ > Count()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  std::memcpy(Entry(recNo_), &rowNumber, sizeof rowNumber);
}

void TSqlSortList::SetString(int key, std::string_view value) {
  char* data = CurrentKey(key);
  const std::size_t size = keys_[static_cast<std::size_t>(key)].Size();
  std::memset(data, 0, size);
  std::memcpy(data, value.data(), std::min(value.size(), size - 1));
}

void TSqlSortList::SetFloat(int key, double value) {
  std::memcpy(CurrentKey(key), &value, sizeof value);
}

void TSqlSortList::SetInteger(int key, std::int32_t value) {
  std::memcpy(CurrentKey(key), &value, sizeof value);
}

void TSqlSortList::SetBoolean(int key, bool value) {
  const std::int16_t word = value ? -1 : 0;
  std::memcpy(CurrentKey(key), &word, sizeof word);
}

std::int32_t TSqlSortList::RowNumber(int recNo) const {
  if (recNo < 1 || recNo > Count()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  return common::load<std::int32_t>(Entry(recNo));
}

bool TSqlSortList::EqualKeys(int a, int b) const {
  return std::memcmp(Entry(a) + kEntryRowNumberSize, Entry(b) + kEntryRowNumberSize,
                     entrySize_ - kEntryRowNumberSize) == 0;
}

bool TSqlSortList::FirstKeyDistinct() const {
  if (keys_.empty()) return Count() < 2;
  const TSrtField& key = keys_.front();
  for (int entry = 2; entry <= Count(); ++entry) {
    if (key.SameValue(Entry(entry - 1) + key.Offset(), Entry(entry) + key.Offset())) return false;
  }
  return true;
}

bool TSqlSortList::FirstKeyRepeatsEarly(int entries) const {
  if (keys_.empty()) return false;
  const TSrtField& key = keys_.front();
  std::unordered_set<std::string_view> seen;
  for (int entry = 1; entry <= std::min(entries, Count()); ++entry) {
    if (!seen.insert(std::string_view(Entry(entry) + key.Offset(), key.Size())).second) return true;
  }
  return false;
}

bool TSqlSortList::SameEarlierKeys(int a, int b, int keyCount) const {
  for (int k = 0; k < keyCount; ++k) {
    const TSrtField& key = keys_[static_cast<std::size_t>(k)];
    if (!key.SameValue(Entry(a) + key.Offset(), Entry(b) + key.Offset())) return false;
  }
  return true;
}

void TSqlSortList::SortFirstKey() {
  if (keys_.empty() || Count() == 0) return;
  QuickSort(1, Count(), keys_.front());
}

void TSqlSortList::SortFurtherKeys() {
  // Each further key orders the runs whose earlier keys are the same. Keys are compared one by
  // one, so that ("1", "23") and ("12", "3") are never taken for one run.
  for (int k = 1; k < FieldCount(); ++k) {
    int runStart = 1;
    for (int entry = 2; entry <= Count() + 1; ++entry) {
      if (entry <= Count() && SameEarlierKeys(runStart, entry, k)) continue;
      if (entry - 1 > runStart) QuickSort(runStart, entry - 1, keys_[static_cast<std::size_t>(k)]);
      runStart = entry;
    }
  }
}

void TSqlSortList::Sort() {
  SortFirstKey();
  SortFurtherKeys();
}

namespace {

// The quicksort over list positions lo..hi (0-based) with `compare(key, pivot)` giving -1, 0 or
// 1. The ranges left to sort are disjoint, so an explicit stack gives the same order as the
// recursion would, without its depth.
template <typename Compare>
void quickSortEntries(std::vector<char*>& entries, int lo, int hi, std::size_t offset,
                      std::size_t size, Compare compare) {
  std::vector<std::pair<int, int>> pending{{lo, hi}};
  std::vector<char> pivot(size);
  const auto keyOf = [&](int at) { return entries[static_cast<std::size_t>(at)] + offset; };
  while (!pending.empty()) {
    auto [low, high] = pending.back();
    pending.pop_back();
    while (true) {
      int i = low;
      int j = high;
      std::memcpy(pivot.data(), keyOf((low + high) / 2), size);
      do {
        while (compare(keyOf(i), pivot.data()) < 0) ++i;
        while (compare(keyOf(j), pivot.data()) > 0) --j;
        if (i <= j) {
          std::swap(entries[static_cast<std::size_t>(i)], entries[static_cast<std::size_t>(j)]);
          ++i;
          --j;
        }
      } while (i <= j);
      if (low < j) pending.emplace_back(low, j);
      low = i;
      if (i >= high) break;
    }
  }
}

template <typename T>
auto valueCompare(bool descending) {
  return [descending](const char* a, const char* b) {
    const int result = compareValues(common::load<T>(a), common::load<T>(b));
    return descending ? -result : result;
  };
}

}  // namespace

void TSqlSortList::QuickSort(int lo, int hi, const TSrtField& key) {
  // One loop per key type, so that the comparison is inlined into it.
  std::vector<char*>& entries = store_->Entries();
  const std::size_t offset = key.Offset();
  const std::size_t size = key.Size();
  const bool descending = key.Descending();
  switch (key.Type()) {
    case ttString:
      quickSortEntries(entries, lo - 1, hi - 1, offset, size, [size, descending](const char* a, const char* b) {
        // As strncmp compares, inlined: unsigned bytes up to the first difference or zero byte.
        for (std::size_t k = 0; k < size; ++k) {
          const auto x = static_cast<unsigned char>(a[k]);
          const auto y = static_cast<unsigned char>(b[k]);
          if (x != y) return (x < y) != descending ? -1 : 1;
          if (x == 0) break;
        }
        return 0;
      });
      break;
    case ttFloat:
      quickSortEntries(entries, lo - 1, hi - 1, offset, size, valueCompare<double>(descending));
      break;
    case ttInteger:
      quickSortEntries(entries, lo - 1, hi - 1, offset, size, valueCompare<std::int32_t>(descending));
      break;
    case ttBoolean:
      quickSortEntries(entries, lo - 1, hi - 1, offset, size, [descending](const char* a, const char* b) {
        const int result = compareValues(common::load<std::int16_t>(a) != 0, common::load<std::int16_t>(b) != 0);
        return descending ? -result : result;
      });
      break;
  }
}

std::unique_ptr<TSqlSortList> makeSortList(const TStorageOptions& options) {
  if (options.inMemory) return std::make_unique<TMemSortList>();
  return std::make_unique<TFileSortList>(options.fileCapacity);
}

}  // namespace vekrano::sql
