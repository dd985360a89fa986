// The table dataset's record buffer: the record of the table decoded into fixed slots, followed by
// the bookmark of the record.
//
//   OFFSET  SIZE         DESCRIPTION
//      0      1          Deletion flag (1 marked deleted)
//      1      -          Per field in table order:
//                          C   length + 1   length byte, then the characters
//                          N,F with decimals 8  double
//                          N,F without       4  32-bit integer
//                          D          8      date-time (days since 1899-12-30; 0 no date)
//                          L          2      first byte 1 true, 0 false
//                          M          4      memo block number
//   recordSize()  4      Bookmark: physical record number
//   recordSize()+4 1     Bookmark flag (TBookmarkFlag)
#pragma once

#include <cstdint>
#include <vector>

#include "dbase/dataset/dataset.h"
#include "dbase/dbf/dbf_file.h"

namespace vekrano::dbase {

inline constexpr int kTableBookmarkSize = 4;

class TableRecordLayout {
 public:
  // Lays out the fields of the open `table`.
  explicit TableRecordLayout(const DbfTable& table);

  // 1 plus the field slots (what the generic dataset is told the record size is).
  int recordSize() const { return recordSize_; }
  // The whole buffer, bookmark included.
  int bufferSize() const { return recordSize_ + kTableBookmarkSize + 1; }

  // One definition per field: names as stored, C string, N/F float or integer, D date, L boolean,
  // M memo.
  std::vector<TFieldDef> FieldDefs(const DbfTable& table) const;

  // The table's decoded current record -> `buffer` (record number `n` as bookmark, flag current).
  void toBuffer(const DbfTable& table, std::int32_t n, char* buffer) const;
  // Only `fields` (0-based) of the stored record bytes `stored` of record n -> `buffer` (numbers,
  // dates and flags through the table's field buffer); the other slots keep what they held.
  void storedFieldsToBuffer(DbfTable& table, const char* stored, std::int32_t n, const std::vector<std::size_t>& fields,
                            char* buffer) const;
  // `buffer` -> the table's field buffer, ready for PutDbfRecord.
  void fromBuffer(const char* buffer, DbfTable& table) const;
  // The empty values of every field: blank text, 0, false, no date; no bookmark.
  void initBuffer(char* buffer) const;

  // The memo block number held by memo field `index` (0-based) in `buffer`.
  std::int32_t memoBlock(const char* buffer, int index) const;
  // The value of field `index` (0-based) in `buffer`, in the native kind of its field type (a
  // memo field gives the empty text: its text lives in the memo file).
  Variant getValue(const char* buffer, int index) const;
  // The text of character field `index` in `buffer`. REQUIRES: a character field.
  std::string_view Text(const char* buffer, int index) const;
  // The value of integer field `index` (N or F without decimals) in `buffer`.
  std::int32_t Integer(const char* buffer, int index) const;
  // Stores `value` (monostate: the empty value of the type), strings cut to the field length.
  void setValue(char* buffer, int index, const Variant& value) const;

  std::int32_t recordNumber(const char* buffer) const;
  void setRecordNumber(char* buffer, std::int32_t n) const;
  TBookmarkFlag Flag(const char* buffer) const;
  void setFlag(char* buffer, TBookmarkFlag flag) const;

 private:
  // Field `i` of the table's field buffer -> its slot in `buffer`.
  void toSlot(const DbfTable& table, std::size_t i, char* buffer) const;

  struct Slot {
    char type;
    int length;
    int decimals;
    int offset;
  };
  std::vector<Slot> slots_;
  int recordSize_ = 1;
};

}  // namespace vekrano::dbase
