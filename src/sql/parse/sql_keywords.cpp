// The SQL keyword table. Codes are those of the grammar's tokens (sql_grammar.yy); NUMERIC is a
// second spelling of FLOAT.
#include "sql/parse/sql_keywords.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <unordered_map>

namespace vekrano::sql {
namespace {

struct Keyword {
  std::string_view word;
  int code;
};

// clang-format off
constexpr std::array<Keyword, 101> kKeywords{{
    {"TOP", 386},      {"SELECT", 299},   {"DISTINCT", 300}, {"TRUE", 297},
    {"FALSE", 298},    {"AND", 271},      {"OR", 270},       {"NOT", 291},
    {"FROM", 301},     {"WHERE", 302},    {"ORDER", 303},    {"BY", 304},
    {"ASC", 305},      {"DESC", 306},     {"AS", 307},       {"INNER", 308},
    {"OUTER", 309},    {"FULL", 310},     {"JOIN", 311},     {"ON", 312},
    {"GROUP", 313},    {"ANY", 315},      {"ALL", 316},      {"SUM", 317},
    {"AVG", 318},      {"COUNT", 319},    {"MIN", 320},      {"MAX", 321},
    {"STDEV", 322},    {"BETWEEN", 278},  {"IN", 279},       {"LIKE", 280},
    {"LEFT", 323},     {"RIGHT", 324},    {"HAVING", 314},   {"LEADING", 325},
    {"TRAILING", 326}, {"BOTH", 327},     {"TRIM", 328},     {"EXTRACT", 329},
    {"YEAR", 330},     {"MONTH", 331},    {"DAY", 332},      {"HOUR", 333},
    {"MINUTE", 334},   {"SECOND", 335},   {"SUBSTRING", 337}, {"FOR", 336},
    {"DELETE", 338},   {"UPDATE", 339},   {"INSERT", 340},   {"INTO", 341},
    {"VALUES", 342},   {"SET", 343},      {"CAST", 344},     {"CHAR", 345},
    {"INTEGER", 346},  {"BOOLEAN", 347},  {"DATE", 348},     {"DATETIME", 350},
    {"TIME", 349},     {"FLOAT", 351},    {"NUMERIC", 351},  {"ESCAPE", 352},
    {"CREATE", 353},   {"TABLE", 354},    {"SMALLINT", 355}, {"MONEY", 356},
    {"AUTOINC", 357},  {"PRIMARY", 358},  {"KEY", 359},      {"BLOB", 360},
    {"INDEX", 361},    {"UNIQUE", 362},   {"DROP", 363},     {"TRANSFORM", 364},
    {"PIVOT", 365},    {"UNION", 366},    {"WITH", 367},     {"IS", 368},
    {"NULL", 369},     {"MOD", 285},      {"DIV", 286},      {"SHL", 287},
    {"SHR", 288},      {"ALTER", 370},    {"COLUMN", 371},   {"ADD", 372},
    {"APPEND", 373},   {"CASE", 374},     {"WHEN", 375},     {"THEN", 376},
    {"ELSE", 377},     {"END", 378},      {"PACK", 379},     {"ZAP", 380},
    {"REINDEX", 381},  {"FIELDS", 384},   {"USING", 383},    {"RANGE", 382},
    {"TO", 385},
}};
// clang-format on

constexpr std::size_t kLongestKeyword = [] {
  std::size_t longest = 0;
  for (const Keyword& keyword : kKeywords) longest = std::max(longest, keyword.word.size());
  return longest;
}();

}  // namespace

std::optional<int> sqlKeywordCode(std::string_view word) {
  if (word.size() > kLongestKeyword) return std::nullopt;
  // Keywords are plain ASCII, so an ASCII upper case is enough: no byte above 127 folds onto one.
  std::array<char, kLongestKeyword> upper;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = word[i];
    upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  static const std::unordered_map<std::string_view, int> codes = [] {
    std::unordered_map<std::string_view, int> byWord;
    for (const Keyword& keyword : kKeywords) byWord.emplace(keyword.word, keyword.code);
    return byWord;
  }();
  const auto found = codes.find(std::string_view(upper.data(), word.size()));
  if (found == codes.end()) return std::nullopt;
  return found->second;
}

}  // namespace vekrano::sql
