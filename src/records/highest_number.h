// The highest record number of the record table, kept between statements so that numbering a new
// record reads only what changed since the last one instead of every record.
#pragma once

#include <cstdint>
#include <optional>

#include "dbase/table/table_dataset.h"

namespace vekrano::records {

class HighestNumber {
 public:
  // Forgets what it knew (the table was closed, erased or replaced).
  void Forget() { known_ = false; }

  // Brings what it knew up to date with the table as `stamp` shows it, reading only the records
  // appended since and the record that held the highest number. True when `highest` is then what
  // "select max(num) as nb from article" would answer (none: no visible record); false when
  // others may have changed the table in a way only a full read can tell (a record rewritten,
  // the record holding the highest number deleted, a table shared without index).
  // REQUIRES: the table is open and its append lock held, so that nobody appends meanwhile.
  bool Update(dbase::TTzDbf& table, const dbase::TTzChangeStamp& stamp, std::optional<int>& highest);

  // Remembers `highest`, read from the table as `stamp` shows it, and finds the last record that
  // holds it (from the end, so usually at once).
  // REQUIRES: as for Update.
  void Remember(dbase::TTzDbf& table, const dbase::TTzChangeStamp& stamp, std::optional<int> highest);

 private:
  bool holderStillHolds(dbase::TTzDbf& table, const dbase::TField& num) const;

  bool known_ = false;
  dbase::TTzChangeStamp stamp_;
  std::optional<int> highest_;
  std::int32_t holder_ = 0;  // a physical record with `num` = highest_; 0 without one
};

}  // namespace vekrano::records
