// INSERT values written as single literals, stored without an expression built for them, against
// the same values in parentheses, which go through the expression parser.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/format_settings.h"
#include "dbase/table/table_dataset.h"
#include "sql/errors.h"
#include "sql/query/query.h"
#include "sql/query/query_rows.h"
#include "support/temp_dir.h"

namespace vekrano::sql {
namespace {

// A table of every kind of field a literal may meet, and a query over it.
struct TypedTable {
  // Each open table takes a work area of its own name.
  explicit TypedTable(const std::string& name) : table(name) {
    table.DbfFields = {"whole,N,10,0", "text,C,12,0", "price,N,12,2", "born,D,8,0", "ok,L,1,0", "note,M,10,0"};
    table.setDbfFileName(dir.file("typed.dbf"));
    table.Open();
    query.DataSets().Add("typed", &table);
    query.AutoDisableControls = false;
  }
  ~TypedTable() {
    query.Close();
    table.Close();
  }

  // The rows changed, or the class and text of the error.
  std::string insert(const std::string& values) {
    return statementOutcome(query, "INSERT INTO typed (whole,text,price,born,ok,note) VALUES (" + values + ")");
  }

  // Every record, every field as text and whether it is null.
  std::vector<std::string> records() {
    std::vector<std::string> rows;
    for (table.First(); !table.Eof(); table.Next()) {
      std::string row;
      for (int i = 0; i < table.FieldCount(); ++i) {
        row += table.Fields(i).AsString() + (table.Fields(i).IsNull() ? "(null)|" : "|");
      }
      rows.push_back(row);
    }
    return rows;
  }

  vekrano::testing::TempDir dir;
  dbase::TTzDbf table;
  TSqlQuery query;
};

std::string inParentheses(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "(" : ",(") + value + ")";
  return text;
}

std::string asWritten(const std::vector<std::string>& values) {
  std::string text;
  for (const std::string& value : values) text += (text.empty() ? "" : ",") + value;
  return text;
}

TEST(InsertLiteralValues, AreStoredAsTheirExpressionsStoreThem) {
  common::formatSettings().shortDateFormat = "dd/MM/yyyy";
  const std::vector<std::vector<std::string>> cases = {
      {"1", "'plain'", "12", "45000", "true", "'6162'"},
      // Empty texts are null and leave their field as it was; an integer is no boolean.
      {"2", "''", "0", "0", "false", "\"\""},
      {"3", "'x'", "1", "1", "1", "'41'"},
      // The largest numbers of 32 bits, and one past them (read as a float).
      {"2147483647", "'x'", "2147483647", "1", "true", "'00'"},
      {"2147483648", "'x'", "2147483648", "1", "true", "'00'"},
      {"0000000007", "\"007\"", "007", "2", "true", "'41'"},
      // Numbers into text and texts into numbers and dates are read by the expression.
      {"'5'", "42", "'3.5'", "'05/03/2024'", "'T'", "'4142'"},
      {"'five'", "'x'", "1", "1", "true", "'41'"},
      // Quotes inside, the other quote kind, a field reference marker, a text too long.
      {"6", "'it''s'", "1", "1", "true", "'41'"},
      {"7", "'say \"hi\"'", "1", "1", "true", "'41'"},
      {"8", "\"\x0C\"\"text\"\"\"", "1", "1", "true", "'41'"},
      {"9", "'longer than twelve'", "1", "1", "true", "'41'"},
      // Too wide for the field, and not hexadecimal for the memo.
      {"12345678901", "'x'", "1", "1", "true", "'41'"},
      {"10", "'x'", "1", "1", "true", "'zz'"},
  };
  TypedTable literal("literal");
  TypedTable parsed("parsed");
  int stored = 0;
  for (const std::vector<std::string>& values : cases) {
    const std::string outcome = literal.insert(asWritten(values));
    EXPECT_EQ(outcome, parsed.insert(inParentheses(values))) << asWritten(values);
    if (outcome == "changed 1") ++stored;
  }
  // Refused alike: an integer or a text for the boolean, numbers too large for their field,
  // a text that is no number, a memo value that is not hexadecimal.
  EXPECT_EQ(stored, 8);
  const std::vector<std::string> rows = literal.records();
  EXPECT_EQ(rows, parsed.records());
  ASSERT_EQ(rows.size(), 8u);
  // A whole number as a date is a day count; the text of the second row is left blank.
  EXPECT_EQ(rows[0], "1|plain|12|15/03/2023|True||");
  EXPECT_EQ(rows[1], "2||0||False||");
  EXPECT_EQ(rows[3], "7|007|7|01/01/1900|True||");
  EXPECT_EQ(rows[7], "9|longer than|1|31/12/1899|True||");
}

}  // namespace
}  // namespace vekrano::sql
