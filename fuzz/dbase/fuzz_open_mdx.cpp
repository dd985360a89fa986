// Opens arbitrary bytes as the index of a small `article` table and walks it every way: every
// outcome must be an index or a clear error, never a crash or a walk without end.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/table/mdx_dbf_table.h"
#include "dbase/mdx/mdx_index.h"

using namespace vekrano::dbase;

namespace {

struct Fixture {
  std::string folder;
  DbfTable table;
  Fixture() {
    setAutoErrorReporting(false);
    char pattern[] = "/tmp/fuzz_mdx_XXXXXX";
    folder = mkdtemp(pattern);
    CreateDbf(folder + "/article.dbf", {{"num", 'N', 5, 0}, {"cb", 'C', 50, 0}, {"lib1", 'C', 100, 0}});
    table.OpenDbf(folder + "/article.dbf", DbfOpenMode::ExclusiveReadWrite, true);
    for (const char* cb : {"AAA", "ABC", "BCD", "XYZ"}) {
      table.ClearRecord();
      table.setString(2, cb);
      table.PutDbfRecord(table.RecordCount() + 1);
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Fixture fixture;
  const std::string name = fixture.folder + "/article.mdx";
  {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  MdxDbfTable view(fixture.table, false, false);
  MdxIndex index(view);
  try {
    if (!index.SetIndexTo(name)) return 0;
    // A 1024-byte node holds at most 126 keys (8-byte items), so no file holds 126 keys per
    // 512 bytes: a walk past this limit visits keys again and again, without end on a real table.
    const long limit = static_cast<long>(size / 512 + 1) * 126 + 10;
    for (int order = 1; order <= index.tagCount(); ++order) {
      index.Set_Order_To(order);
      long steps = 0;
      for (bool on = index.firstKey(); on; on = index.nextKey()) {
        if (++steps > limit) std::abort();
      }
      steps = 0;
      for (bool on = index.lastKey(); on; on = index.priorKey()) {
        if (++steps > limit) std::abort();
      }
      index.Find("AB");
      index.FindExact("BCD");
      fixture.table.GetDbfRecord(2);
      index.SyncIndex();
    }
  } catch (const EDorevError&) {
    // A clear error is the expected end for a damaged file.
  }
  return 0;
}
