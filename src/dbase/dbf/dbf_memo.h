// The memo file of a table with memo fields (the table's name with the extension "DBT"): kept open
// while the table is, so that the texts of its memo fields can be read.
//
//   OFFSET  SIZE  DESCRIPTION (header, block 0)
//      0      4   Next free block number
//      8      8   Table name without extension
//     18      2   0x0102
//     20      2   Block size in bytes (512 when 0)
//
// Each text starts at a block boundary: 0xFF 0xFF 0x08 0x00, the 32-bit length of the text plus 8,
// then the text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dbase/file_io.h"

namespace vekrano::dbase {

class DbfMemoFile {
 public:
  // Opens `fileName` with the table's access and sharing; 0 or the system's error number (2 when
  // it is missing, 11 when its header is too short to be a memo file).
  int Open(const std::string& fileName, FileAccess access, FileShare share);
  void Close() { file_.close(); }
  bool isOpen() const { return file_.isOpen(); }

  // The text that starts at `block`; nullopt when the block does not hold one (outside the file,
  // no block header, a length beyond the file). Block 0 is the header: no text.
  std::optional<std::string> readText(std::int64_t block);

 private:
  File file_;
  std::int64_t blockSize_ = 512;
};

}  // namespace vekrano::dbase
