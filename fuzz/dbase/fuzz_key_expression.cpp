// Compiles arbitrary text as a key expression against a small table and evaluates it.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/key_expr/key_expression.h"

using namespace vekrano::dbase;

namespace {

DbfTable& fuzzTable() {
  static DbfTable table;
  if (!table.isOpen()) {
    char pattern[] = "/tmp/fuzz_key_expression_XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd >= 0) close(fd);
    const std::string path = std::string(pattern) + ".dbf";
    setAutoErrorReporting(false);
    if (!CreateDbf(
            path,
            {{"cb", 'C', 20, 0}, {"num", 'N', 5, 0}, {"price", 'N', 8, 2}, {"born", 'D', 8, 0}, {"ok", 'L', 1, 0}}) ||
        !table.OpenDbf(path, DbfOpenMode::ExclusiveReadWrite)) {
      std::abort();
    }
    table.setString(1, "Abc 123");
    table.setInteger(2, 42);
    table.setDouble(3, 2.5);
    table.SetDate(4, "01/02/2003");
    table.setLogical(5, true);
    table.PutDbfRecord(1);
  }
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  DbfTable& table = fuzzTable();
  const std::string text(reinterpret_cast<const char*>(data), size);
  auto expression = AssignExpr(table, text);
  if (expression == nullptr) {
    if (dbfErrorCode() == 0) std::abort();  // a refusal must say why
    return 0;
  }
  const ExprValue value = expression->Evaluate();
  if (value.type == 'C' && value.text.size() > 255) std::abort();
  return 0;
}
