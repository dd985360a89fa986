// Texts of result rows, carved from blocks that are never moved.
#include "sql/results/row_texts.h"

#include <cstring>

namespace vekrano::sql {

const char* TRowTexts::Keep(std::string_view text) {
  if (text.empty()) return nullptr;
  if (text.size() > kBlockBytes / 4) {
    // Left out of the carving, so that a long text does not waste the rest of a block.
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(text.size()));
    std::memcpy(blocks_.back().get(), text.data(), text.size());
    return blocks_.back().get();
  }
  if (text.size() > left_) {
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(kBlockBytes));
    free_ = blocks_.back().get();
    left_ = kBlockBytes;
  }
  char* kept = free_;
  std::memcpy(kept, text.data(), text.size());
  free_ += text.size();
  left_ -= text.size();
  return kept;
}

}  // namespace vekrano::sql
