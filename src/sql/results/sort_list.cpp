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

// How each key type orders its values, written once: the key's size, the ascending comparison
// of two keys, and (where there is one) the key written as bytes whose unsigned comparison gives
// the same order. The comparison, the quicksort and the key prefix all take the order from here.
struct StringOrder {
  static constexpr bool kPrefixed = true;
  static std::size_t keySize(std::size_t width) { return width + 1; }
  // Unsigned bytes up to the first difference or the first zero byte: a prefix sorts first.
  static int Compare(const char* a, const char* b, std::size_t size) {
    for (std::size_t k = 0; k < size; ++k) {
      const auto x = static_cast<unsigned char>(a[k]);
      const auto y = static_cast<unsigned char>(b[k]);
      if (x != y) return x < y ? -1 : 1;
      if (x == 0) break;
    }
    return 0;
  }
  // The text up to its end, zero bytes after it; writes min(size, room) bytes.
  static std::size_t Prefix(const char* key, std::size_t size, std::uint8_t* out, std::size_t room) {
    const std::size_t length = std::min(size, room);
    std::size_t k = 0;
    for (; k < length && key[k] != 0; ++k) out[k] = static_cast<std::uint8_t>(key[k]);
    std::fill(out + k, out + length, std::uint8_t{0});
    return length;
  }
};

// Floats have no prefix: they are compared by value but grouped into runs by their text.
struct FloatOrder {
  static constexpr bool kPrefixed = false;
  static std::size_t keySize(std::size_t) { return sizeof(double); }
  static int Compare(const char* a, const char* b, std::size_t) {
    return compareValues(common::load<double>(a), common::load<double>(b));
  }
  static std::size_t Prefix(const char*, std::size_t, std::uint8_t*, std::size_t) { return 0; }
};

struct IntegerOrder {
  static constexpr bool kPrefixed = true;
  static std::size_t keySize(std::size_t) { return sizeof(std::int32_t); }
  static int Compare(const char* a, const char* b, std::size_t) {
    return compareValues(common::load<std::int32_t>(a), common::load<std::int32_t>(b));
  }
  // Big-endian with the sign bit flipped; the leading bytes when room is short.
  static std::size_t Prefix(const char* key, std::size_t, std::uint8_t* out, std::size_t room) {
    std::uint8_t bytes[sizeof(std::int32_t)];
    common::putU32BigEndian(bytes, static_cast<std::uint32_t>(common::load<std::int32_t>(key)) ^ 0x80000000u);
    const std::size_t length = std::min(sizeof bytes, room);
    std::copy(bytes, bytes + length, out);
    return length;
  }
};

// False before True, any nonzero word being True.
struct BooleanOrder {
  static constexpr bool kPrefixed = true;
  static std::size_t keySize(std::size_t) { return sizeof(std::int16_t); }
  static bool Value(const char* key) { return common::load<std::int16_t>(key) != 0; }
  static int Compare(const char* a, const char* b, std::size_t) { return compareValues(Value(a), Value(b)); }
  static std::size_t Prefix(const char* key, std::size_t, std::uint8_t* out, std::size_t room) {
    if (room == 0) return 0;
    out[0] = Value(key) ? 1 : 0;
    return 1;
  }
};

// Calls `visit` with the order of `type`.
template <typename Visit>
decltype(auto) withOrder(TExprType type, Visit&& visit) {
  switch (type) {
    case ttFloat: return visit(FloatOrder{});
    case ttInteger: return visit(IntegerOrder{});
    case ttBoolean: return visit(BooleanOrder{});
    case ttString: break;
  }
  return visit(StringOrder{});
}

int directed(int result, bool descending) { return descending ? -result : result; }

}  // namespace

int TSrtField::Compare(const char* a, const char* b) const {
  const int result = withOrder(type_, [&](auto order) { return decltype(order)::Compare(a, b, size_); });
  return directed(result, descending_);
}

bool TSrtField::sameValue(const char* a, const char* b) const {
  if (type_ == ttFloat) {
    return floatToText(common::load<double>(a)) == floatToText(common::load<double>(b));
  }
  return Compare(a, b) == 0;
}

void TSqlSortList::AddField(TExprType type, std::size_t size, bool descending) {
  const std::size_t bytes = withOrder(type, [size](auto order) { return decltype(order)::keySize(size); });
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

char* TSqlSortList::currentKey(int key) const {
  if (recNo_ < 1 || recNo_ > Count()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  return Entry(recNo_) + keys_[static_cast<std::size_t>(key)].Offset();
}

void TSqlSortList::setRowNumber(std::int32_t rowNumber) {
  if (recNo_ < 1 || recNo_ > Count()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  common::store(Entry(recNo_), rowNumber);
}

void TSqlSortList::setString(int key, std::string_view value) {
  char* data = currentKey(key);
  const std::size_t size = keys_[static_cast<std::size_t>(key)].Size();
  const std::size_t length = std::min(value.size(), size - 1);
  std::memcpy(data, value.data(), length);
  std::memset(data + length, 0, size - length);
}

void TSqlSortList::setFloat(int key, double value) { common::store(currentKey(key), value); }

void TSqlSortList::setInteger(int key, std::int32_t value) { common::store(currentKey(key), value); }

void TSqlSortList::setBoolean(int key, bool value) {
  common::store(currentKey(key), static_cast<std::int16_t>(value ? -1 : 0));
}

std::int32_t TSqlSortList::rowNumber(int recNo) const {
  if (recNo < 1 || recNo > Count()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  return common::load<std::int32_t>(Entry(recNo));
}

bool TSqlSortList::equalKeys(int a, int b) const {
  return std::memcmp(Entry(a) + kEntryRowNumberSize, Entry(b) + kEntryRowNumberSize,
                     entrySize_ - kEntryRowNumberSize) == 0;
}

std::array<std::uint64_t, 2> TSqlSortList::keyPrefix(const char* entry) const {
  // Each key's prefix bytes in turn, every byte inverted when the key is descending.
  std::array<std::uint8_t, 16> bytes{};
  std::size_t at = 0;
  for (const TSrtField& key : keys_) {
    const std::size_t written = withOrder(key.Type(), [&](auto order) {
      return decltype(order)::Prefix(entry + key.Offset(), key.Size(), bytes.data() + at, bytes.size() - at);
    });
    if (key.descending()) {
      for (std::size_t k = at; k < at + written; ++k) bytes[k] = static_cast<std::uint8_t>(~bytes[k]);
    }
    at += written;
    if (at == bytes.size()) break;
  }
  return {common::getU64BigEndian(bytes.data()), common::getU64BigEndian(bytes.data() + 8)};
}

bool TSqlSortList::keysRepeatEarly(int entries) const {
  std::unordered_set<std::string_view> seen;
  for (int entry = 1; entry <= std::min(entries, Count()); ++entry) {
    if (!seen.insert(std::string_view(Entry(entry) + kEntryRowNumberSize, entrySize_ - kEntryRowNumberSize)).second) {
      return true;
    }
  }
  return false;
}

bool TSqlSortList::sameEarlierKeys(int a, int b, int keyCount) const {
  for (int k = 0; k < keyCount; ++k) {
    const TSrtField& key = keys_[static_cast<std::size_t>(k)];
    if (!key.sameValue(Entry(a) + key.Offset(), Entry(b) + key.Offset())) return false;
  }
  return true;
}

void TSqlSortList::sortFurtherKeys() {
  // Each further key orders the runs whose earlier keys are the same. Keys are compared one by
  // one, so that ("1", "23") and ("12", "3") are never taken for one run.
  for (int k = 1; k < FieldCount(); ++k) {
    int runStart = 1;
    for (int entry = 2; entry <= Count() + 1; ++entry) {
      if (entry <= Count() && sameEarlierKeys(runStart, entry, k)) continue;
      if (entry - 1 > runStart) quickSort(runStart, entry - 1, keys_[static_cast<std::size_t>(k)]);
      runStart = entry;
    }
  }
}

void TSqlSortList::Sort() {
  if (keys_.empty() || Count() == 0) return;
  quickSort(1, Count(), keys_.front());
  sortFurtherKeys();
}

namespace {

// The quicksort over list positions lo..hi (0-based) with `compare(key, pivot)` giving -1, 0 or
// 1. The ranges left to sort are disjoint, so an explicit stack gives the same order as the
// recursion would, without its depth.
template <typename Compare>
void quickSortEntries(std::vector<char*>& entries, int lo, int hi, std::size_t offset, std::size_t size,
                      Compare compare) {
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

}  // namespace

void TSqlSortList::quickSort(int lo, int hi, const TSrtField& key) {
  // One loop per key type, so that the comparison is inlined into it.
  const std::size_t size = key.Size();
  const bool descending = key.descending();
  withOrder(key.Type(), [&](auto order) {
    quickSortEntries(store_->Entries(), lo - 1, hi - 1, key.Offset(), size,
                     [size, descending](const char* a, const char* b) {
                       return directed(decltype(order)::Compare(a, b, size), descending);
                     });
  });
}

std::unique_ptr<TSqlSortList> makeSortList(const TStorageOptions& options) {
  if (options.inMemory) return std::make_unique<TMemSortList>();
  return std::make_unique<TFileSortList>(options.fileCapacity);
}

}  // namespace vekrano::sql
