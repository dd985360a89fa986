#include "dbase/dbf/dbf_memo.h"

#include <algorithm>
#include <array>

#include "common/byte_codec.h"
#include "dbase/file_helpers.h"

namespace vekrano::dbase {
namespace {

constexpr std::size_t kHeaderSize = 24;
constexpr std::size_t kBlockSizeOffset = 20;
constexpr std::int64_t kDefaultBlockSize = 512;
constexpr std::size_t kTextHeaderSize = 8;
constexpr std::array<std::uint8_t, 4> kTextMark = {0xFF, 0xFF, 0x08, 0x00};
constexpr int kErrorFormatInvalid = 11;

}  // namespace

int DbfMemoFile::Open(const std::string& fileName, FileAccess access, FileShare share) {
  Close();
  if (const int error = file_.open(fileName, access, share); error != 0) return error;
  std::array<std::uint8_t, kHeaderSize> header{};
  if (!readExact(file_, 0, header.data(), header.size())) {
    Close();
    return kErrorFormatInvalid;
  }
  const int blockSize = common::getU16(header.data() + kBlockSizeOffset);
  blockSize_ = blockSize > 0 ? blockSize : kDefaultBlockSize;
  return 0;
}

std::optional<std::string> DbfMemoFile::ReadText(std::int64_t block) {
  const std::int64_t size = file_.size();
  if (!isOpen() || block < 1 || block > size / blockSize_) return std::nullopt;
  const std::int64_t offset = block * blockSize_;
  std::array<std::uint8_t, kTextHeaderSize> head{};
  if (!readExact(file_, offset, head.data(), head.size()) ||
      !std::equal(kTextMark.begin(), kTextMark.end(), head.begin()))
    return std::nullopt;
  const std::uint32_t stored = common::getU32(head.data() + kTextMark.size());
  // A damaged length must not make us read past the file or allocate without bound.
  if (stored < kTextHeaderSize || offset + static_cast<std::int64_t>(stored) > size) return std::nullopt;
  std::string text(stored - kTextHeaderSize, '\0');
  if (!readExact(file_, offset + static_cast<std::int64_t>(kTextHeaderSize), text.data(), text.size()))
    return std::nullopt;
  return text;
}

}  // namespace vekrano::dbase
