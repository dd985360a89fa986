// Arbitrary text through the SQL parser: it is accepted or refused with an error naming a line,
// but never crashes or hangs.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "sql/program/analyzer.h"
#include "sql/parse/sql_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  vekrano::sql::TSqlAnalizer analizer;
  const auto error = vekrano::sql::TSqlParser("dd/MM/yyyy").Parse(text, analizer);
  if (error && (error->line < 1 || error->column < 0 || error->errorText.empty())) std::abort();
  return 0;
}
