// Bytes of a file held while a walk lasts (a scan of a table and of its index): the file is mapped
// into memory for the walk, so stepping through it costs no read call per record or node. The
// mapping shares the file's pages, so what is read from it is never older than the walk's start
// nor than this process's own writes. Files are only ever truncated by a create that other opens
// of them exclude, or replaced by unlinking, so a mapped page never vanishes under a walk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <thread>

#include "dbase/file_io.h"

namespace vekrano::dbase {

class HeldFileBytes {
 public:
  HeldFileBytes() = default;
  ~HeldFileBytes();
  HeldFileBytes(const HeldFileBytes&) = delete;
  HeldFileBytes& operator=(const HeldFileBytes&) = delete;

  // Walks nest; the mapping is dropped when the outermost one ends.
  void Begin() { ++walks_; }
  void End();
  bool active() const { return walks_ > 0; }
  // Ends every walk.
  void Reset();

  // The `length` bytes at `offset`, valid until the walk ends or the next call; the file is
  // mapped again when it grew past the mapped end. Null when no walk is held, the file is
  // shorter or it cannot be mapped: the caller then reads the file itself.
  const char* View(File& file, std::uint64_t offset, std::size_t length);
  // Copies what View gives into `out`; false where View gives null.
  bool Read(File& file, std::uint64_t offset, void* out, std::size_t length);
  // For a reader going through the whole file in order: maps the file and has its pages mapped
  // in on another thread, ahead of the reader, so that the system's work of mapping them runs
  // beside the reader's. Stops when the mapping is dropped.
  void MapAhead(File& file);

 private:
  void unmap();

  std::jthread mapper_;  // touching the mapped pages ahead of a reader; joined before unmapping
  int walks_ = 0;
  void* mapped_ = nullptr;
  std::size_t mappedBytes_ = 0;
};

}  // namespace vekrano::dbase
