#include "dbase/dbf/dbf_memo.h"

#include <algorithm>
#include <array>

#include "common/byte_codec.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_format.h"
#include "dbase/file_helpers.h"

namespace vekrano::dbase {

int DbfMemoFile::Open(const std::string& fileName, FileAccess access, FileShare share) {
  Close();
  if (const int error = file_.open(fileName, access, share); error != 0) return error;
  std::array<std::uint8_t, kMemoHeaderSize> header{};
  if (!readExact(file_, 0, header.data(), header.size())) {
    Close();
    return kErrorFormatInvalid;
  }
  const int blockSize = common::getU16(header.data() + kMemoBlockSizeOffset);
  blockSize_ = blockSize > 0 ? blockSize : kMemoBlockSize;
  return 0;
}

std::optional<std::string> DbfMemoFile::readText(std::int64_t block) {
  const std::int64_t size = file_.size();
  if (!isOpen() || block < 1 || block > size / blockSize_) return std::nullopt;
  const std::int64_t offset = block * blockSize_;
  std::array<std::uint8_t, kMemoTextHeaderSize> head{};
  if (!readExact(file_, offset, head.data(), head.size()) ||
      !std::equal(kMemoTextMark.begin(), kMemoTextMark.end(), head.begin()))
    return std::nullopt;
  const std::uint32_t stored = common::getU32(head.data() + kMemoTextMark.size());
  // A damaged length must not make us read past the file or allocate without bound.
  if (stored < kMemoTextHeaderSize || offset + static_cast<std::int64_t>(stored) > size) return std::nullopt;
  std::string text(stored - kMemoTextHeaderSize, '\0');
  if (!readExact(file_, offset + static_cast<std::int64_t>(kMemoTextHeaderSize), text.data(), text.size()))
    return std::nullopt;
  return text;
}

}  // namespace vekrano::dbase
