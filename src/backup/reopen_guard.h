// Closes the table for the lifetime of a command and reopens it at the end, also when the
// command raises (the first error is the one reported then).
#pragma once

#include "backup/backup_commands.h"
#include "common/scope_exit.h"

namespace vekrano::backup {

class ReopenGuard {
 public:
  explicit ReopenGuard(const TableAccess& table) : table_(table) {
    if (table_.close) table_.close();
  }
  ~ReopenGuard() noexcept(false) {
    if (table_.reopen) end_.close(table_.reopen);
  }
  ReopenGuard(const ReopenGuard&) = delete;
  ReopenGuard& operator=(const ReopenGuard&) = delete;

 private:
  const TableAccess& table_;
  common::ScopeEnd end_;
};

}  // namespace vekrano::backup
