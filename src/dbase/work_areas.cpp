// The process-wide registry of open tables by alias.
#include "dbase/work_areas.h"

#include <map>

#include "common/code_page.h"

namespace vekrano::dbase {
namespace {

std::map<std::string, DbfTable*>& registry() {
  // Never destroyed, so tables closing in static destructors can still unregister.
  static auto* areas = new std::map<std::string, DbfTable*>;
  return *areas;
}

}  // namespace

void registerWorkArea(std::string_view alias, DbfTable& table) { registry()[common::ansiUpper(alias)] = &table; }

void unregisterWorkArea(std::string_view alias) { registry().erase(common::ansiUpper(alias)); }

DbfTable* findWorkArea(std::string_view alias) {
  const auto found = registry().find(common::ansiUpper(alias));
  return found == registry().end() ? nullptr : found->second;
}

}  // namespace vekrano::dbase
