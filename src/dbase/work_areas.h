// The registry of open tables by alias, through which key expressions reach `alias->field`.
// The table dataset registers each table it opens and removes it when it closes.
#pragma once

#include <string>
#include <string_view>

namespace vekrano::dbase {

class DbfTable;

// Registers `table` (borrowed) under `alias` (any letter case; a previous entry is replaced).
void registerWorkArea(std::string_view alias, DbfTable& table);
// Removes the entry of `alias`; no effect when absent.
void unregisterWorkArea(std::string_view alias);
// The table registered under `alias` (any letter case), or nullptr.
DbfTable* findWorkArea(std::string_view alias);

}  // namespace vekrano::dbase
