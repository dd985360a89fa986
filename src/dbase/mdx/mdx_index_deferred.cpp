// The node writes a run of appends keeps in memory: written together when the run lets go, or
// put back so that the file is as it was before them.
#include <algorithm>
#include <array>
#include <vector>

#include "common/byte_codec.h"
#include "dbase/file_helpers.h"
#include "dbase/mdx/mdx_failure.h"
#include "dbase/mdx/mdx_index.h"

namespace vekrano::dbase {

namespace {

// A block of the file as it was before the kept writes went over it.
struct FormerBytes {
  std::int64_t offset;
  std::vector<std::uint8_t> bytes;
};

}  // namespace

void MdxIndex::deferNodeWrites(bool on) {
  if (!isOpen()) return;
  if (on && !deferred_.on) deferred_.writtenEnd = deferred_.end = file_.size();
  deferred_.on = on;
}

MdxIndex::DeferredWrite MdxIndex::writeDeferredNodes() {
  clearDbfError();
  if (!isOpen() || !deferred_.on) return DeferredWrite::Written;
  const std::int64_t writtenEnd = deferred_.writtenEnd;
  const std::int64_t end = deferred_.end;
  // The appended blocks lie one after the other from the file's end: one write.
  std::vector<std::uint8_t> appended(static_cast<std::size_t>(std::max<std::int64_t>(end - writtenEnd, 0)));
  struct InPlace {
    std::int64_t offset;
    std::array<std::uint8_t, kBlockSize> bytes;
    const TagTree* tag;
  };
  std::vector<InPlace> inPlace;
  std::string failedPlace;
  for (const auto& tag : tags_) {
    for (const auto& [block, node] : tag->deferredNodes()) {
      const auto offset = static_cast<std::int64_t>(blockOffset(block));
      if (offset >= writtenEnd && offset + kBlockSize <= end) {
        encodeNode(node, tag->shape(), appended.data() + (offset - writtenEnd));
      } else {
        inPlace.push_back({offset, {}, tag.get()});
        encodeNode(node, tag->shape(), inPlace.back().bytes.data());
      }
    }
    if (failedPlace.empty()) failedPlace = tagPlace(fileName_, tag->place().tagName);
  }
  std::vector<FormerBytes> former;  // what the in-place writes went over, in the order written
  const auto putBack = [&] {
    bool restored = true;
    for (auto it = former.rbegin(); it != former.rend(); ++it)
      restored = file_.writeAt(it->bytes.data(), it->bytes.size(), it->offset) == 0 && restored;
    return file_.truncate(writtenEnd) == 0 && restored;
  };
  const auto overwrite = [&](std::int64_t offset, const std::uint8_t* bytes, std::size_t length) {
    FormerBytes before{offset, std::vector<std::uint8_t>(length)};
    if (!readExact(file_, offset, before.bytes.data(), length)) return false;
    former.push_back(std::move(before));
    return file_.writeAt(bytes, length, offset) == 0;
  };
  bool written = appended.empty() || file_.writeAt(appended.data(), appended.size(), writtenEnd) == 0;
  if (written && end != writtenEnd) {
    std::array<std::uint8_t, 4> counter;
    common::putU32(counter.data(), blockCounterOf(end));
    written = overwrite(kHdrBlockCounter, counter.data(), counter.size());
  }
  for (std::size_t i = 0; written && i < inPlace.size(); ++i) {
    written = overwrite(inPlace[i].offset, inPlace[i].bytes.data(), inPlace[i].bytes.size());
    if (!written) failedPlace = tagPlace(fileName_, inPlace[i].tag->place().tagName);
  }
  for (std::size_t i = 0; written && i < tags_.size(); ++i) {
    TagTree& tag = *tags_[i];
    if (!tag.anchorDirty()) continue;
    const Anchor anchor = encodeTagHeader(tag.header());
    // As every anchor write: under the lock on byte 0 when the index is shared.
    if (table_.shared() && lockWithRetries(file_, 0, 1) != 0) {
      written = false;
    } else {
      written = overwrite(static_cast<std::int64_t>(blockOffset(tag.headerBlock())), anchor.data(), anchor.size());
      if (table_.shared()) file_.unlock(0, 1);
    }
    if (!written) failedPlace = tagPlace(fileName_, tag.place().tagName);
  }
  if (written) {
    for (auto& tag : tags_) {
      tag->deferredWritten();
      tag->setAnchorClean();
    }
    deferred_.writtenEnd = end;
    return DeferredWrite::Written;
  }
  const bool restored = putBack();
  dropDeferredNodes();
  const MdxFailure failure = nodeWriteFailed(failedPlace);
  dbfError(failure.code(), failure.detail());
  return restored ? DeferredWrite::TakenBack : DeferredWrite::Damaged;
}

void MdxIndex::dropDeferredNodes() {
  deferred_.end = deferred_.writtenEnd;
  for (auto& tag : tags_) {
    tag->dropCache();
    tag->setAnchorClean();
  }
  try {
    reloadAnchors();
  } catch (const MdxFailure&) {
    // The next use reads the anchors again and reports what it finds.
  }
}

}  // namespace vekrano::dbase
