// The statement patterns of the record table.
#include "records/record_statements.h"

#include "records/sql_literal.h"

namespace vekrano::records {

namespace {

std::string decimal(int value) { return std::to_string(value); }

}  // namespace

std::string newRecordStatement(const BarcodeRecord& record) {
  return kNewRecordStatementHead + decimal(record.num) + "," + SqlText(record.cb) + "," + SqlText(record.lib1) + ", " +
         SqlText(record.lib2) + ", " + decimal(record.quantite) + ", " + SqlText(record.topp) + " )";
}

std::string changeRecordStatement(const BarcodeRecord& record) {
  return "UPDATE article  SET cb=" + SqlText(record.cb) + ", lib1=" + SqlText(record.lib1) +
         ", lib2=" + SqlText(record.lib2) + ", quantite=" + decimal(record.quantite) +
         ",  topp=" + SqlText(record.topp) + " WHERE num=" + decimal(record.num);
}

std::string topFlagStatement(int num, const std::string& topp) {
  return "UPDATE article  SET topp=" + SqlText(topp) + " WHERE num=" + decimal(num);
}

std::string deleteRecordStatement(int num) { return "delete from article where num=" + decimal(num); }

}  // namespace vekrano::records
