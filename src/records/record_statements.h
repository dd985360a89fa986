// The texts of the statements the application sends about the record table. Blanks are part of
// each pattern; text values go through SqlText, so a value without a double quote stands between
// plain double quotes.
#pragma once

#include <string>

#include "records/article_fields.h"

namespace vekrano::records {

// One barcode record as the statements write it.
struct BarcodeRecord {
  int num = 0;
  std::string cb;
  std::string lib1;
  std::string lib2;
  int quantite = 1;
  std::string topp = kTopped;  // kTopped or kNotTopped
};

// The largest number and the range of quantities the table's numeric fields can hold; beyond
// them the file would store asterisks.
inline constexpr int kMaxRecordNumber = 99999;
inline constexpr int kMinQuantity = -99;
inline constexpr int kMaxQuantity = 999;

inline constexpr const char* kNextNumberStatement = "select max(num) as nb from article";
inline constexpr const char* kCountStatement = "select count(*) as nb from article";
// The list statement starts so; the where part and the order part follow directly.
inline constexpr const char* kListStatementHead = "select *  from article ";
// The new-record statement starts so; the values follow.
inline constexpr const char* kNewRecordStatementHead = "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (";
// The print run's statement starts so; its condition and order follow.
inline constexpr const char* kPrintStatementHead = "select * from article";

// INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (N,"CB","L1", "L2", Q, "T" )
std::string newRecordStatement(const BarcodeRecord& record);
// UPDATE article  SET cb="CB", lib1="L1", lib2="L2", quantite=Q,  topp="T" WHERE num=N
std::string changeRecordStatement(const BarcodeRecord& record);
// UPDATE article  SET topp="T" WHERE num=N
std::string topFlagStatement(int num, const std::string& topp);
// delete from article where num=N
std::string deleteRecordStatement(int num);

}  // namespace vekrano::records
