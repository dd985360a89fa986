// The process-wide table of work areas.
#include "dbase/table/table_work_areas.h"

#include <array>
#include <cassert>

#include "dbase/work_areas.h"

namespace vekrano::dbase {
namespace {

struct Areas {
  std::array<std::unique_ptr<WorkArea>, kAllWorkAreas> slots;
  int selected = 0;
};

Areas& areas() {
  static Areas all;
  return all;
}

}  // namespace

int acquireWorkArea(bool internal) {
  const int first = internal ? kPublicWorkAreas : 0;
  const int last = internal ? kAllWorkAreas : kPublicWorkAreas;
  for (int i = first; i < last; ++i) {
    if (!areas().slots[i]) {
      areas().slots[i] = std::make_unique<WorkArea>();
      return i + 1;
    }
  }
  return 0;
}

WorkArea& getWorkArea(int n) {
  assert(n >= 1 && n <= kAllWorkAreas && areas().slots[n - 1]);
  return *areas().slots[n - 1];
}

void releaseWorkArea(int n) {
  if (n < 1 || n > kAllWorkAreas) return;
  // The index refers to the view and the view to the table: destroy them in that order.
  if (auto& slot = areas().slots[n - 1]) {
    slot->index.reset();
    slot->view.reset();
    slot.reset();
  }
  if (areas().selected == n) areas().selected = 0;
}

int selectedWorkArea() { return areas().selected; }

void selectWorkArea(int n) { areas().selected = n; }

bool registerAlias(WorkArea& area, const std::string& alias) {
  if (findWorkArea(alias) != nullptr) return false;
  registerWorkArea(alias, area.table);
  area.alias = alias;
  return true;
}

void unregisterAlias(WorkArea& area) {
  if (area.alias.empty()) return;
  unregisterWorkArea(area.alias);
  area.alias.clear();
}

}  // namespace vekrano::dbase
