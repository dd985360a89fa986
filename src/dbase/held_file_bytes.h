// Bytes of a file held while a walk lasts (a scan of a table and of its index): the file is mapped
// into memory for the walk, so stepping through it costs no read call per record or node. The
// mapping shares the file's pages, so what is read from it is never older than the walk's start
// nor than this process's own writes. Files are only ever truncated by a create that other opens
// of them exclude, or replaced by unlinking, so a mapped page never vanishes under a walk.
// The mapping outlives the walk, reserved beyond the file's end for its growth, so that the next
// walk (the next statement) pays for no new mapping nor for faulting its pages in again; each walk
// still reads only the bytes the file held when it first looked.
#pragma once

#include <cstddef>
#include <cstdint>

#include <sys/types.h>

#include "dbase/file_io.h"

namespace vekrano::dbase {

class HeldFileBytes {
 public:
  HeldFileBytes() = default;
  ~HeldFileBytes();
  HeldFileBytes(const HeldFileBytes&) = delete;
  HeldFileBytes& operator=(const HeldFileBytes&) = delete;

  // Walks nest; the outermost one takes the file's size afresh at its first read.
  void Begin();
  void End();
  bool active() const { return walks_ > 0; }
  // Ends every walk and drops the mapping (the file is being closed).
  void Reset();

  // The `length` bytes at `offset`, valid until the walk ends or the next call; the file is
  // mapped again when it grew past the reserved end. Null when no walk is held, the file is
  // shorter or it cannot be mapped: the caller then reads the file itself.
  const char* View(File& file, std::uint64_t offset, std::size_t length);
  // Copies what View gives into `out`; false where View gives null.
  bool Read(File& file, std::uint64_t offset, void* out, std::size_t length);
  // For a reader going through the whole file in order: asks the system to read the file's pages
  // ahead of the reader.
  void mapAhead(File& file);
  // The file's size as this walk saw it when it first looked, looking now when it has not:
  // one look serves both the walk's bytes and its count. Negative when the file cannot be
  // mapped or holds nothing; the caller then asks the file.
  std::int64_t seenSize(File& file);
  // This process wrote past the size seen: the next look takes the size afresh.
  void grew() { validBytes_ = 0; }

 private:
  void unmap();

  int walks_ = 0;
  void* mapped_ = nullptr;
  std::size_t mappedBytes_ = 0;  // the reservation, past the file's end
  std::size_t validBytes_ = 0;  // the bytes the file held when this walk last looked
  dev_t device_ = 0;  // the file mapped
  ino_t inode_ = 0;
};

}  // namespace vekrano::dbase
