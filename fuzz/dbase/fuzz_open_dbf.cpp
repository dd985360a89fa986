// Opens arbitrary bytes as a table file, reads every record and writes one back: every damaged
// file must end in an error code, never in a crash.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"

using namespace vekrano::dbase;

namespace {

const std::string& scratchFile() {
  static const std::string path = [] {
    char pattern[] = "/tmp/fuzz_open_dbf_XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd >= 0) close(fd);
    return std::string(pattern) + ".dbf";
  }();
  return path;
}

// Reads field n through the getter of its type, as the table dataset does.
void readField(const DbfTable& table, int n) {
  switch (table.FieldType(n)) {
    case 'C': table.getString(n); break;
    case 'D': table.getDate(n); break;
    case 'L': table.getLogical(n); break;
    case 'N':
    case 'F':
      if (table.FieldDec(n) > 0)
        table.getDouble(n);
      else
        table.getInteger(n);
      break;
    default: table.getInteger(n); break;
  }
  table.FieldLen(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  setAutoErrorReporting(false);
  FILE* file = std::fopen(scratchFile().c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  DbfTable table;
  if (!table.OpenDbf(scratchFile(), DbfOpenMode::ExclusiveReadWrite, true, size % 2 == 0)) {
    if (dbfErrorCode() == 0) std::abort();  // a refusal must say why
    return 0;
  }
  constexpr std::int32_t kMaxRecords = 64;
  for (std::int32_t n = 1; n <= table.RecordCount() && n <= kMaxRecords; ++n) {
    if (!table.GetDbfRecord(n)) break;
    for (int f = 1; f <= table.FieldCount(); ++f) readField(table, f);
    if (n == 1) table.PutDbfRecord(1);
  }
  table.CloseDbf();
  return 0;
}
