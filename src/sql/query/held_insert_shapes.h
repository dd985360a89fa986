// The shapes of the INSERT statements a query has parsed. An INSERT that differs from one held
// only in its literal values is not parsed again: the held parse is filled in with its values.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "sql/parse/sql_parser.h"
#include "sql/program/analyzer.h"

namespace vekrano::sql {

class HeldInsertShapes {
 public:
  // When `text` reads as the same tokens as a held shape but for the values that are single
  // literals of the same kind, fills the fresh `analizer` as parser.Parse(text) would and returns
  // true. Otherwise returns false and keeps the tokens for learn().
  bool reuse(std::string_view text, const TSqlParser& parser, TSqlAnalizer& analizer);

  // Holds the shape of the text the last reuse() refused, now that its parse accepted it into
  // `analizer`, when it is an INSERT whose values are each one literal or NULL.
  void learn(const TSqlAnalizer& analizer);

  // The statements whose parse a held shape replaced.
  int reusedCount() const { return reusedCount_; }

 private:
  struct Shape {
    std::string text;  // as first met; empty when it held a carriage return
    std::vector<TSqlToken> tokens;
    // Per value of the statement, its token; kNoToken for NULL.
    std::vector<std::size_t> valueTokens;
    std::vector<bool> isValue;  // per token
    TInsertItem insert;
  };

  static constexpr std::size_t kNoToken = static_cast<std::size_t>(-1);
  // A few shapes: the statements of one import, editor or tool differ little.
  static constexpr std::size_t kMaxShapes = 8;

  // `text` is the shape's own text but for its values, which it reads into values_.
  bool matchesText(const Shape& shape, std::string_view text, TSqlTokenReader& reader);
  // The tokens read into scanned_ are the shape's but for its values.
  bool matchesTokens(const Shape& shape) const;
  // Makes shapes_[index] the first shape.
  void moveToFront(std::size_t index);
  // Fills `analizer` from the first shape and the values in values_, which it takes.
  void fill(TSqlAnalizer& analizer);
  // The token of each value when the statement ends in "VALUES (v, ...)" [";"], each v one
  // literal as written or NULL; empty otherwise.
  std::vector<std::size_t> literalValueTokens() const;

  std::vector<TSqlToken> scanned_;
  std::size_t scannedCount_ = 0;
  std::vector<TSqlToken> values_;  // per value of a text matched as written; unused for NULL
  std::string learnedText_;  // the text the last reuse() refused
  bool learnable_ = false;  // scanned_ holds that text's tokens
  std::vector<Shape> shapes_;  // the one used last first
  int reusedCount_ = 0;
};

}  // namespace vekrano::sql
