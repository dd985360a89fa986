// Keeping the highest record number up to date from what changed in the table.
#include "records/highest_number.h"

#include <algorithm>

#include "records/article_fields.h"

namespace vekrano::records {

namespace {

// Records looked at a time while searching back from the end for the highest number.
constexpr std::int32_t kSearchStep = 256;

const dbase::TField& numField(dbase::TTzDbf& table) { return table.FieldByName(kNumField); }

// True when the writes `now` shows since `before` can only be appends: the count grew, and the
// shared index's counter grew by as many write sections as there are new records.
bool onlyAppendsSince(const dbase::TTzChangeStamp& before, const dbase::TTzChangeStamp& now) {
  const std::int32_t appended = now.recordCount - before.recordCount;
  if (appended < 0 || now.shared != before.shared || now.ownChanges != before.ownChanges) return false;
  if (!now.shared) return true;
  if (!now.indexChanges || !before.indexChanges) return false;
  return static_cast<std::uint16_t>(*now.indexChanges - *before.indexChanges) == static_cast<std::uint16_t>(appended);
}

}  // namespace

bool HighestNumber::holderStillHolds(dbase::TTzDbf& table, const dbase::TField& num) const {
  if (holder_ == 0) return true;
  bool holds = false;
  table.VisitStoredIntegers(holder_, holder_, num,
                            [&](std::int32_t, std::int32_t value) { holds = value == *highest_; });
  return holds;
}

bool HighestNumber::Update(dbase::TTzDbf& table, const dbase::TTzChangeStamp& stamp, std::optional<int>& highest) {
  const dbase::TField& num = numField(table);
  if (!known_ || !onlyAppendsSince(stamp_, stamp) || !holderStillHolds(table, num)) {
    known_ = false;
    return false;
  }
  table.VisitStoredIntegers(stamp_.recordCount + 1, stamp.recordCount, num, [&](std::int32_t n, std::int32_t value) {
    if (!highest_ || value >= *highest_) {
      highest_ = value;
      holder_ = n;
    }
  });
  stamp_ = stamp;
  highest = highest_;
  return true;
}

void HighestNumber::Remember(dbase::TTzDbf& table, const dbase::TTzChangeStamp& stamp, std::optional<int> highest) {
  stamp_ = stamp;
  highest_ = highest;
  holder_ = 0;
  known_ = !highest;
  if (!highest) return;
  const dbase::TField& num = numField(table);
  for (std::int32_t last = stamp.recordCount; last >= 1 && holder_ == 0; last -= kSearchStep) {
    table.VisitStoredIntegers(std::max(1, last - kSearchStep + 1), last, num, [&](std::int32_t n, std::int32_t value) {
      if (value == *highest) holder_ = n;
    });
  }
  // Not found: someone rewrote that record meanwhile, and the next number reads the table again.
  known_ = holder_ != 0;
}

}  // namespace vekrano::records
