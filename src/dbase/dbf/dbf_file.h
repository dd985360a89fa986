// A dBase table file (.dbf): opening and checking it, creating it, reading and writing records,
// the deletion flag, closing with the header rules, and the decoded field buffer.
// The byte layouts are drawn in dbf_format.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbase/dbf/dbf_code_page.h"
#include "dbase/dbf/dbf_format.h"
#include "dbase/held_file_bytes.h"
#include "dbase/file_io.h"

namespace vekrano::dbase {

enum class DbfOpenMode { SharedReadWrite, ExclusiveReadWrite, ReadOnly };
enum class DbfLayout { Standard, Level7, DBase2 };

// 0 closed, 1 open and unchanged, 2 records changed or marked deleted, 3 created or appended.
enum class DbfStatus { Closed = 0, Unchanged = 1, Changed = 2, Appended = 3 };

// One field as CreateDbf receives it.
struct DbfFieldDef {
  std::string name;
  char type = 'C';
  std::uint8_t length = 0;
  std::uint8_t decimals = 0;
};

// One field of an open table.
struct DbfField {
  std::string name;  // upper case, up to 11 characters
  char type = 'C';  // C, D, F, L, M or N (B, G, P read as M)
  std::uint8_t length = 0;  // bytes in the record
  std::uint8_t decimals = 0;
  std::uint16_t position = 0;  // offset in the record (1 for the first field)
  std::uint32_t address = 0;  // offset in the field buffer
};

// Bytes of the field in the field buffer: C length + 1; N, F 8 with decimals, else 4; D 11;
// L 1; M 4.
std::uint32_t fieldBufferWidth(const DbfField& field);

// Creates (or truncates) the table file `fileName` (".DBF" added when it has no extension)
// holding no records, and its memo file when a field is B, G, M or P.
// Returns true when the current error code is left 0.
bool CreateDbf(const std::string& fileName, const std::vector<DbfFieldDef>& fields);

// Rewrites the table file `fileName`, which no process may have open, keeping its records up to
// the last whole one under a header rebuilt from its field descriptors (header length, record
// length and count); the old file is kept as `fileName` + ".bad" (`keptAs`), `kept` is the
// number of records kept. False with the engine's error set when it cannot.
bool RepairDbf(const std::string& fileName, std::int32_t& kept, std::string& keptAs);

// The table descriptor of one open table. Every operation clears the current error code when
// it starts and sets it (dbfError) on failure; none throws.
class DbfTable {
 public:
  DbfTable();
  // Closes the table (CloseDbf) when it is still open.
  ~DbfTable();
  DbfTable(const DbfTable&) = delete;
  DbfTable& operator=(const DbfTable&) = delete;

  // Opens and checks the file; ".DBF" is added when the name has no extension. With
  // `translateOem` records are OEM on disk and ANSI in memory; with `autoFixRecCount` the
  // record count is taken from the file size. On success the current record is 1 (or 0 with
  // both boundary flags set when the table is empty).
  // REQUIRES: the table is closed.
  bool OpenDbf(const std::string& fileName, DbfOpenMode mode, bool translateOem = false, bool autoFixRecCount = false);
  // Rewrites the header when records changed (status 2, 3) and the end-of-file marker after
  // appends (status 3), flushes and closes. An unchanged table is not written at all.
  bool CloseDbf();

  // Reads record `n` (1..RecordCount()) into the record buffer and decodes the field buffer.
  bool GetDbfRecord(std::int32_t n);
  // GetDbfRecord for walks: between beginWalk and the matching endWalk (pairs nest) records come
  // from the file mapped for the walk (see HeldFileBytes).
  bool getWalkedRecord(std::int32_t n);
  // Starts fetching record n into the processor's cache when a walk holds the file (and its page
  // is mapped already), so that an index walk visiting records out of file order waits for
  // several at once instead of each.
  void prefetchWalkedRecord(std::int32_t n);
  // The stored bytes of records 1 to `count`, one after the other, from the file mapped for the
  // walk, untranslated; null when no walk holds the file or it has fewer records. Valid until the
  // walk ends or the next call.
  const char* walkedRecordsBytes(std::int32_t count);
  // Decodes field `index` (0-based) of the stored record bytes `stored` into the field buffer,
  // as GetDbfRecord would, leaving the other fields and the current record as they are.
  void decodeStoredField(std::size_t index, const char* stored);
  void beginWalk() { held_.Begin(); }
  // Within a walk, for one that reads every record in file order (see HeldFileBytes::mapAhead).
  void mapAhead() { held_.mapAhead(file_); }
  void endWalk() { held_.End(); }
  // Encodes the field buffer and writes the record at `n`; beyond the count it appends at
  // count + 1, which becomes the count and the current record.
  bool PutDbfRecord(std::int32_t n);
  // Takes back the append of the last record, whose keys could not be added: the file is cut to
  // `count` records again (deferred appends beyond it are forgotten). True when it was.
  bool undoAppend(std::int32_t count);
  // While on, appended records are kept in memory instead of written: the count and the reads of
  // this table include them, the file does not until writeDeferredAppends. Turning it off
  // REQUIRES that none is kept.
  void deferAppends(bool on);
  // Records in the file itself: the count without the appends kept in memory.
  std::int32_t writtenRecordCount() const { return recordCount_ - deferredCount(); }
  // Writes the kept appends in one write. On failure the file is cut back to the records it held
  // before them, they are forgotten and the error is set.
  bool writeDeferredAppends();
  // Makes record n current again from the bytes this table last wrote (or read) for it, exactly
  // as reading them back would, when those are at hand; otherwise reads it.
  bool rereadWrittenRecord(std::int32_t n);
  // Writes back `stored` (recordLength() bytes, as storedRecordBytes() gave them before a write)
  // as record n, whose keys could not be moved. True when it was.
  bool restoreStoredRecord(std::int32_t n, const std::vector<char>& stored);
  // Writes only the deletion flag ("*" or " ") of the current record, also in both buffers.
  bool DeleteRec();
  bool RecallRec();
  // Commits the operating system's buffers of the file to disk.
  bool FlushFile();
  // Record count := (file size - header length) div record length.
  bool refreshRecordCount();
  // The same within a walk, from the size the walk first saw: nobody appends while a walk holds
  // the index's read section (without an index, others' later records come in the next walk),
  // and this process's own appends are looked at again.
  bool refreshWalkedRecordCount();
  // Reads `count` raw records from record `first` on into `out` (count * recordLength()
  // bytes), translated to ANSI like GetDbfRecord unless `translate` is false; the current record
  // and buffers are untouched.
  bool readRecords(std::int32_t first, std::int32_t count, char* out, bool translate = true);
  // Makes record n current from its stored bytes (as readRecords gives them untranslated), without
  // decoding the field buffer: for scans that only evaluate expressions over the record buffer.
  void takeStoredRecord(std::int32_t n, const char* stored);
  // The stored bytes of the current record as the file holds them (in the table's code page), or
  // null when the record buffer was not read from the file.
  const char* storedRecordBytes() const {
    return storedRecord_ == currentRecord_ && !stored_.empty() ? stored_.data() : nullptr;
  }

  // Record buffer -> field buffer, and back (the deletion flag included).
  void decodeRecord();
  void encodeRecord();
  // Fills the record buffer with blanks and decodes it.
  void ClearRecord();

  // Field inquiries by 1-based number; a bad number sets code 220 and returns 0 / '\0' / "".
  int FieldCount() const;
  std::string Field(int n) const;
  char FieldType(int n) const;
  // D fields: 10 when the short date format has a four-digit year, else 8.
  int FieldLen(int n) const;
  int FieldDec(int n) const;
  int FieldAddress(int n) const;
  // 1-based number of the field named `name` (any letter case), 0 when absent.
  int FieldNo(std::string_view name) const;

  // Values of the field buffer by 1-based field number.
  // REQUIRES: 1 <= n <= FieldCount() and the type named by the accessor.
  std::string getString(int n) const;  // C: the whole stored width
  void setString(int n, std::string_view text);
  double getDouble(int n) const;  // N, F with decimals
  void setDouble(int n, double value);
  std::int32_t getInteger(int n) const;  // N, F without decimals; M
  void setInteger(int n, std::int32_t value);
  bool getLogical(int n) const;  // L
  void setLogical(int n, bool value);
  std::string getDate(int n) const;  // D: display text, "" when empty
  void SetDate(int n, std::string_view displayText);
  bool isDeleted() const;  // byte 0 of the field buffer
  void setDeleted(bool deleted);

  // How the file disagrees with its header, in words, or "" when the header describes it: record
  // length against the fields, the header's end, the record count against the file's size, and
  // (`alone`: no other process may be appending) a file ending inside a record.
  std::string Damage(bool alone);

  // Header byte 28; a change marks the table changed so the header is rewritten at close.
  bool productionIndexFlag() const;
  void setProductionIndexFlag(bool on);

  bool isOpen() const { return status_ != DbfStatus::Closed; }
  const std::string& fileName() const { return fileName_; }
  DbfLayout layout() const { return layout_; }
  DbfStatus status() const { return status_; }
  bool hasMemo() const { return hasMemo_; }
  // The code page the character data are stored in (Ansi when nothing is translated).
  DbfCodePage codePage() const { return codePage_; }
  // Header byte 29 as read; 0 for the dBase II layout.
  std::uint8_t languageByte() const {
    return layout_ == DbfLayout::DBase2 || header_.size() <= kDbfLanguageOffset ? 0 : header_[kDbfLanguageOffset];
  }
  std::uint16_t headerLength() const { return headerLength_; }
  std::uint16_t recordLength() const { return recordLength_; }
  std::int32_t RecordCount() const { return recordCount_; }
  // Last update as "YYYYMMDD".
  const std::string& lastUpdate() const { return lastUpdate_; }
  const std::vector<DbfField>& fields() const { return fields_; }

  // Current record number: 0 for an empty table, RecordCount() + 1 at end of file.
  std::int32_t CurrentRecord() const { return currentRecord_; }
  void setCurrentRecord(std::int32_t n) { currentRecord_ = n; }
  bool Bof() const { return bof_; }
  bool Eof() const { return eof_; }
  void setBof(bool on) { bof_ = on; }
  void setEof(bool on) { eof_ = on; }

  // The raw record of the current record (ANSI), recordLength() bytes.
  char* recordBuffer() { return record_.data(); }
  const char* recordBuffer() const { return record_.data(); }
  // The decoded record, fieldBufferSize() bytes.
  std::uint8_t* fieldBuffer() { return fieldBuffer_.data(); }
  const std::uint8_t* fieldBuffer() const { return fieldBuffer_.data(); }
  std::size_t fieldBufferSize() const { return fieldBuffer_.size(); }

  // The open file, for the byte-range locks of the upper layers.
  File& file() { return file_; }

 private:
  // Stored text of `field` (already in the ANSI code page) -> its place in the field buffer.
  void decodeField(const DbfField& field, std::string_view text);
  bool validField(int n, const char* inquiry) const;
  std::int64_t recordOffset(std::int32_t n) const;
  bool writeRecordBytes(const char* bytes, std::size_t length, std::int64_t offset, const char* operation);
  bool writeDeletionFlag(char flag);
  void markChanged();
  bool rewriteHeader();
  void countRecordsOfSize(std::int64_t size);
  void release();

  void keepStored(std::int32_t n);
  std::int32_t deferredCount() const { return static_cast<std::int32_t>(deferred_.size() / recordLength_); }
  char* deferredRecord(std::int32_t n);
  void keepUnchangedFields(std::int32_t n, std::vector<char>& stored) const;

  File file_;
  HeldFileBytes held_;
  std::string fileName_;
  DbfLayout layout_ = DbfLayout::Standard;
  std::vector<std::uint8_t> header_;  // the header image as read (32 or 8 bytes rewritten)
  std::uint16_t headerLength_ = 0;
  std::uint16_t recordLength_ = 0;
  std::vector<DbfField> fields_;
  std::vector<char> record_;
  std::vector<std::uint8_t> fieldBuffer_;
  std::int32_t recordCount_ = 0;
  std::int32_t currentRecord_ = 0;
  bool bof_ = false;
  bool eof_ = false;
  DbfStatus status_ = DbfStatus::Closed;
  bool hasMemo_ = false;
  DbfCodePage codePage_ = DbfCodePage::Ansi;
  // The bytes of record storedRecord_ as the file holds them, from its last read or write.
  std::vector<char> stored_;
  std::int32_t storedRecord_ = 0;
  // Appended records not written yet, one after the other as the file will store them.
  bool deferring_ = false;
  std::vector<char> deferred_;
  DbfStatus statusBeforeDeferred_ = DbfStatus::Closed;
  // Open shared: other processes may append, guarded by the append lock.
  bool shared_ = false;
  std::string lastUpdate_;
};

}  // namespace vekrano::dbase
