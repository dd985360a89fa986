// Texts of result rows kept beside the rows: each takes the bytes it holds rather than its
// column's width, which for a list of short barcodes and labels is most of the row.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace vekrano::sql {

class TRowTexts {
 public:
  TRowTexts() = default;
  TRowTexts(const TRowTexts&) = delete;
  TRowTexts& operator=(const TRowTexts&) = delete;

  // A copy of `text` that stays at its address while the object lives. The empty text takes no
  // memory: its address is null.
  const char* Keep(std::string_view text);

 private:
  // Texts are carved from blocks of this size; a text of more than a quarter of it has its own.
  static constexpr std::size_t kBlockBytes = 64 * 1024;

  std::vector<std::unique_ptr<char[]>> blocks_;
  char* free_ = nullptr;
  std::size_t left_ = 0;
};

}  // namespace vekrano::sql
