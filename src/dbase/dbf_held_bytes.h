// Bytes of a file held while a walk lasts (a scan of a table and of its index), so that stepping
// through it costs one read per 64 KiB chunk instead of one per record or node. Each chunk is
// read after the walk began and takes this process's writes through the same holder, so what is
// read from it is never older than the walk's start nor than such a write.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "dbase/file_io.h"

namespace vekrano::dbase {

class HeldFileBytes {
 public:
  // Walks nest; the chunks are dropped when the outermost one ends.
  void Begin() { ++walks_; }
  void End();
  bool active() const { return walks_ > 0; }
  // Ends every walk.
  void Reset();

  // Copies `length` bytes at `offset` into `out`, reading the chunks not held or held short of
  // the range. False when no walk is held, the file is shorter or a read failed: the caller then
  // reads the file itself.
  bool Read(File& file, std::uint64_t offset, void* out, std::size_t length);
  // Bytes this process wrote to the file: held copies of them are replaced.
  void Written(std::uint64_t offset, const void* bytes, std::size_t length);

 private:
  struct Chunk {
    std::size_t size = 0;  // bytes held: less than a chunk at the end of the file
    std::unique_ptr<char[]> bytes;
  };
  const Chunk* chunk(File& file, std::uint64_t index, std::size_t needed);

  int walks_ = 0;
  std::size_t heldBytes_ = 0;
  std::unordered_map<std::uint64_t, Chunk> chunks_;
};

}  // namespace vekrano::dbase
