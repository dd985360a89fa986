// What the index needs from its table: the current record, the key expressions compiled against
// the table, and the file that carries the login lock byte.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "dbase/file_io.h"
#include "dbase/table_locks.h"

namespace vekrano::dbase {

// The value of an expression on the current record.
struct MdxValue {
  char type = 'C';  // C, N, F, D or L
  std::string text;  // C: the text, padded as the expression makes it
  double number = 0;  // N, F: the value; D: the Julian day number (1e100 when empty)
  bool logical = false;
  bool stored = false;  // C: `text` holds the bytes the table file stores, not ANSI text
};

class MdxExpression {
 public:
  virtual ~MdxExpression() = default;
  // Result type letter: C, N, F, D, L or M.
  virtual char type() const = 0;
  // Length of a C result; for N and F the decimal count is given by decimals().
  virtual int length() const = 0;
  virtual int decimals() const = 0;
  virtual MdxValue evaluate() = 0;
};

class MdxTable {
 public:
  virtual ~MdxTable() = default;
  // The table file's path as opened.
  virtual std::string fileName() const = 0;
  // True when the table is open shared: the semaphore protocol and anchor locks are used.
  virtual bool shared() const = 0;
  // Translates ANSI text in place into the code page the table stores character data in, so
  // that keys hold the same bytes as the table file.
  virtual void toStored(char* text, std::size_t length) const = 0;
  // True when the table is open for reading only.
  virtual bool readOnly() const = 0;
  // The open table file, for the login lock byte at kTableLockOffset.
  virtual File& tableFile() = 0;
  // Record count, refreshed from the file in shared mode.
  virtual std::int32_t recordCount() = 0;
  // Makes record n (1 to recordCount) current; false when it cannot be read.
  virtual bool readRecord(std::int32_t n) = 0;
  // Makes records 1 to `count` current in turn, calling `visit` with each number, for evaluating
  // expressions; false when one cannot be read. A table may read ahead in large pieces.
  virtual bool scanRecords(std::int32_t count, const std::function<void(std::int32_t)>& visit) {
    for (std::int32_t n = 1; n <= count; ++n) {
      if (!readRecord(n)) return false;
      visit(n);
    }
    return true;
  }
  // A hint that record n will soon be read: a table may start fetching it.
  virtual void prefetchRecord(std::int32_t /*n*/) {}
  virtual std::int32_t currentRecord() const = 0;
  // False when the current record is marked deleted and deleted records are hidden.
  virtual bool currentVisible() const = 0;
  // Places the table at its end: record count + 1.
  virtual void goToEnd() = 0;
  // Compiles an expression against the table; nullptr with `errorCode` set when it cannot.
  virtual std::unique_ptr<MdxExpression> compile(const std::string& text, int& errorCode) = 0;
};

}  // namespace vekrano::dbase
