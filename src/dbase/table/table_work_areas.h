// The numbered work areas in which the table dataset keeps its open tables: 33 for components and
// two internal ones, each holding a table descriptor, its index, its locks and its alias, plus the
// engine's notion of the selected area.
#pragma once

#include <memory>
#include <string>

#include "dbase/dbf/dbf_file.h"
#include "dbase/table/mdx_dbf_table.h"
#include "dbase/dbf/dbf_memo.h"
#include "dbase/mdx/mdx_index.h"
#include "dbase/table_locks.h"

namespace vekrano::dbase {

inline constexpr int kPublicWorkAreas = 33;
inline constexpr int kInternalWorkAreas = 2;
inline constexpr int kAllWorkAreas = kPublicWorkAreas + kInternalWorkAreas;

// The index's view of a work area's table. The hide-deleted switch is read through the area, so it
// can change while the index stays open.
class AreaIndexTable : public MdxDbfTable {
 public:
  AreaIndexTable(DbfTable& table, bool shared, bool readOnly, const bool& hideDeleted)
      : MdxDbfTable(table, shared, false, readOnly), table_(table), hideDeleted_(hideDeleted) {}
  bool currentVisible() const override { return !(hideDeleted_ && table_.isDeleted()); }

 private:
  DbfTable& table_;
  const bool& hideDeleted_;
};

// What the engine keeps for one open table.
struct WorkArea {
  DbfTable table;
  std::unique_ptr<AreaIndexTable> view;
  std::unique_ptr<MdxIndex> index;
  // Open while the table is, when the table has memo fields.
  DbfMemoFile memo;
  TableLocks locks;
  bool shared = false;
  bool hideDeleted = false;
  std::string alias;
};

// Takes the lowest free area of 1..33 (34..35 with `internal`) and makes its contents fresh.
// Returns its number, or 0 when every one is in use.
int acquireWorkArea(bool internal = false);
// REQUIRES: 1 <= n <= kAllWorkAreas and area n was acquired.
WorkArea& getWorkArea(int n);
// Destroys the area's contents (closing nothing explicitly) and frees it; no effect for 0.
void releaseWorkArea(int n);

// The area the engine works on; 0 when none is selected.
int selectedWorkArea();
void selectWorkArea(int n);

// Registers the area's table under its alias for `alias->field`; true unless the alias is taken.
bool registerAlias(WorkArea& area, const std::string& alias);
// Removes the area's alias, if it has one.
void unregisterAlias(WorkArea& area);

}  // namespace vekrano::dbase
