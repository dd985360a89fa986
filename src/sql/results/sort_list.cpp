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

int TSqlSortList::CompareKeys(const char* a, const char* b) const {
  for (const TSrtField& key : keys_) {
    if (const int result = key.Compare(a + key.Offset(), b + key.Offset()); result != 0) return result;
  }
  return 0;
}

std::array<std::uint64_t, 2> TSqlSortList::KeyPrefix(const char* entry) const {
  // Each key as bytes in the order of their unsigned comparison: integers big-endian with the
  // sign bit flipped, texts up to their end and zero after it, every byte inverted when descending.
  std::array<std::uint8_t, 16> bytes{};
  std::size_t at = 0;
  for (const TSrtField& key : keys_) {
    const char* value = entry + key.Offset();
    const std::size_t start = at;
    switch (key.Type()) {
      case ttInteger: {
        const auto word = static_cast<std::uint32_t>(common::load<std::int32_t>(value)) ^ 0x80000000u;
        for (int shift = 24; shift >= 0 && at < bytes.size(); shift -= 8) bytes[at++] = static_cast<std::uint8_t>(word >> shift);
        break;
      }
      case ttBoolean:
        bytes[at++] = common::load<std::int16_t>(value) != 0 ? 1 : 0;
        break;
      case ttString: {
        const std::size_t end = std::min(bytes.size(), at + key.Size());
        for (std::size_t k = 0; at < end && value[k] != 0; ++k) bytes[at++] = static_cast<std::uint8_t>(value[k]);
        at = end;
        break;
      }
      case ttFloat:
        return {};  // never asked: floats are not sorted this way
    }
    if (key.Descending()) {
      for (std::size_t k = start; k < at; ++k) bytes[k] = static_cast<std::uint8_t>(~bytes[k]);
    }
    if (at == bytes.size()) break;
  }
  return {common::getU64BigEndian(bytes.data()), common::getU64BigEndian(bytes.data() + 8)};
}

bool TSqlSortList::SortDistinctKeys() {
  if (std::any_of(keys_.begin(), keys_.end(), [](const TSrtField& key) { return key.Type() == ttFloat; })) return false;
  if (Count() < 2) return true;
  // The leading key bytes travel with each entry, so that most comparisons read no entry.
  struct Keyed {
    std::array<std::uint64_t, 2> prefix;
    char* entry;
  };
  std::vector<char*>& entries = store_->Entries();
  std::vector<Keyed> keyed;
  keyed.reserve(entries.size());
  for (char* entry : entries) keyed.push_back({KeyPrefix(entry), entry});
  const auto before = [&](const Keyed& a, const Keyed& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    return CompareKeys(a.entry, b.entry) < 0;
  };
  // Rows often come in their order already (stored by number, walked by barcode).
  if (!std::is_sorted(keyed.begin(), keyed.end(), before)) std::sort(keyed.begin(), keyed.end(), before);
  // Sorted, equal keys stand side by side.
  for (std::size_t k = 1; k < keyed.size(); ++k) {
    if (keyed[k - 1].prefix == keyed[k].prefix && CompareKeys(keyed[k - 1].entry, keyed[k].entry) == 0) return false;
  }
  for (std::size_t k = 0; k < keyed.size(); ++k) entries[k] = keyed[k].entry;
  return true;
}

bool TSqlSortList::KeysRepeatEarly(int entries) const {
  std::unordered_set<std::string_view> seen;
  for (int entry = 1; entry <= std::min(entries, Count()); ++entry) {
    if (!seen.insert(std::string_view(Entry(entry) + kEntryRowNumberSize, entrySize_ - kEntryRowNumberSize)).second) {
      return true;
    }
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
  if (keys_.empty() || Count() == 0) return;
  QuickSort(1, Count(), keys_.front());
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
