// The record table's files held still for a reader outside the engine (a backup): appends and
// index changes of other programs wait until the hold ends, so the files read meanwhile describe
// one state of the table. A program that appends counts its records in the header only when it
// closes the table; the hold counts them there first, as that close would, so the header read
// matches the records.
#pragma once

#include <optional>
#include <string>

#include "dbase/file_io.h"
#include "dbase/mdx/mdx_semaphore.h"

namespace vekrano::records {

class TableHold {
 public:
  // Takes the append lock of "article.dbf" in `folder`, waiting as an append does, writes the
  // count of its whole records into its header, and enters a read section of its index when
  // there is one. Throws common::Exception with the engine's
  // message when refused; nothing is held when the table file does not exist.
  explicit TableHold(const std::string& folder);
  TableHold(const TableHold&) = delete;
  TableHold& operator=(const TableHold&) = delete;
  ~TableHold();

 private:
  void countRecordsInHeader(const std::string& path);

  dbase::File table_;
  std::optional<dbase::MdxSemaphore> semaphore_;
};

}  // namespace vekrano::records
