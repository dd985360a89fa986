// The print run's statement texts; every blank is part of the text the run has always sent.
#include "printing/print_statement.h"

#include "records/record_statements.h"

namespace vekrano::printing {
namespace {

struct PrintOrderPieces {
  const char* head;
  const char* tail;
};

// By sort column (list::SortColumn's values).
// clang-format off
constexpr PrintOrderPieces kOrder[] = {
    {"order by num", ""},         {" order by cb ", ""},
    {" order by lib1 ", ""},      {" order by lib2 ", ""},
    {" order by quantite ", " , cb"}, {" order by topp ", " , cb "},
};
// clang-format on

}  // namespace

std::string printOrderPart(const list::SortState& sort) {
  const PrintOrderPieces& pieces = kOrder[static_cast<int>(sort.column)];
  const bool descending = sort.descending && sort.column != list::SortColumn::None;
  return std::string(pieces.head) + (descending ? " desc" : "") + pieces.tail;
}

std::string printStatement(bool printEveryRecord, const std::string& criteriaText, const list::SortState& sort) {
  std::string statement = records::kPrintStatementHead;
  if (printEveryRecord) return statement + " where  quantite>0 and length(cb)>0 ";
  if (criteriaText.empty()) {
    statement += " where quantite > 0 and length(cb)>0 ";
  } else {
    statement += " where " + criteriaText + " and quantite>0 and length(cb)>0 ";
  }
  return statement + " " + printOrderPart(sort);
}

}  // namespace vekrano::printing
