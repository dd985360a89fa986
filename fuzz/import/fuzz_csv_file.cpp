// Arbitrary bytes read as a CSV file, plainly or by the quoting rules (VEKRANO_FUZZ_CSV_QUOTED):
// every data line comes back with at most the used fields, from a later file line than the one
// before and within the file's lines, or the read ends with ETextFileError; never a crash.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_scratch_file.h"
#include "import/csv_source.h"
#include "languages/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = vekrano::fuzzing::writeScratchFile("import.csv", data, size);
  if (path.empty()) return 0;
  vekrano::import::CsvOptions options;
  options.separator = size % 2 == 0 ? ';' : ',';
  options.headerLines = static_cast<int>(size % 3);
  options.quoted = VEKRANO_FUZZ_CSV_QUOTED;
  const auto breaks = std::count_if(data, data + size, [](std::uint8_t c) { return c == '\n' || c == '\r'; });
  try {
    vekrano::import::CsvFile file(path, options);
    vekrano::import::CsvRecord record;
    int previous = 0;
    while (file.Next(record)) {
      if (record.fields.empty() || record.fields.size() > vekrano::import::kUsedFieldCount) std::abort();
      if (record.line <= previous || record.line > breaks + 1) std::abort();
      std::size_t bytes = 0;
      for (const std::string& field : record.fields) bytes += field.size();
      // A file that is not UTF-8 is read as Windows-1252: each byte becomes at most three.
      if (bytes > 3 * size) std::abort();
      previous = record.line;
    }
  } catch (const vekrano::languages::ETextFileError&) {
  }
  return 0;
}
