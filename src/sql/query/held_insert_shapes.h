// The shapes of the INSERT statements a query has parsed. An INSERT that differs from one held
// only in its literal values is not parsed again: its tokens are read and the held parse is
// filled in with its own values.
#pragma once

#include <cstddef>
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

  // The texts parsed since the query was made whose parse the held shapes replaced.
  int reusedCount() const { return reusedCount_; }

 private:
  struct Shape {
    std::vector<TSqlToken> tokens;
    // Per value of the statement, its token; kNoToken for NULL.
    std::vector<std::size_t> valueTokens;
    std::vector<bool> isValue;  // per token
    TInsertItem insert;
  };

  static constexpr std::size_t kNoToken = static_cast<std::size_t>(-1);
  // A few shapes: the statements of one import, editor or tool differ little.
  static constexpr std::size_t kMaxShapes = 8;

  bool matches(const Shape& shape) const;
  // The token of each value when the statement ends in "VALUES (v, ...)" [";"], each v one
  // literal as written or NULL; empty otherwise.
  std::vector<std::size_t> literalValueTokens() const;

  std::vector<TSqlToken> scanned_;
  std::size_t scannedCount_ = 0;
  bool learnable_ = false;  // scanned_ holds a refused INSERT's tokens
  std::vector<Shape> shapes_;  // the one used last first
  int reusedCount_ = 0;
};

}  // namespace vekrano::sql
