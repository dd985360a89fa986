// The one reading of statement texts: its pieces, the names and parameters found by it, and
// literals that the expression language reads back as the very value written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/code_page.h"
#include "sql/expr/expr_test_table.h"
#include "sql/expr/expr_format.h"
#include "sql/program/field_references.h"
#include "sql/program/statement_text.h"
#include "sql/query/params.h"

namespace vekrano::sql {
namespace {

// Each piece of `text` as "kind:text".
std::vector<std::string> piecesOf(const std::string& text) {
  static const char* const kKinds[] = {"lit", "ref", "bracket", "comment", "param", "word", "other"};
  std::vector<std::string> pieces;
  for (std::size_t i = 0; i < text.size();) {
    const StatementPiece piece = pieceAt(text, i);
    if (piece.kind != PieceKind::Other || text[i] != ' ') {
      pieces.push_back(std::string(kKinds[static_cast<int>(piece.kind)]) + ":" +
                       text.substr(piece.begin, piece.end - piece.begin));
    }
    i = piece.end;
  }
  return pieces;
}

TEST(StatementText, PiecesAsTheScannersSeeThem) {
  EXPECT_EQ(
      piecesOf("\x0C\"a.cb\"<>'it''s' and [my field]=:p1 /* :no */ \"x\"\"y\""),
      (std::vector<std::string>{"ref:\x0C\"a.cb\"", "other:<", "other:>", "lit:'it''s'", "word:and",
                                "bracket:[my field]", "other:=", "param::p1", "comment:/* :no */", "lit:\"x\"\"y\""}));
  // The other quote inside a literal, and a name of the upper half of the code page.
  EXPECT_EQ(piecesOf("'a\"b' \xC9t\xE9_2"), (std::vector<std::string>{"lit:'a\"b'", "word:\xC9t\xE9_2"}));
  // Unclosed pieces end with the text; an unclosed reference is a marker and a literal.
  EXPECT_EQ(piecesOf("'open"), (std::vector<std::string>{"lit:'open"}));
  EXPECT_EQ(piecesOf("[open"), (std::vector<std::string>{"bracket:[open"}));
  EXPECT_EQ(piecesOf("/* open"), (std::vector<std::string>{"comment:/* open"}));
  EXPECT_EQ(piecesOf("\x0C\"open"), (std::vector<std::string>{"other:\x0C", "lit:\"open"}));
  EXPECT_EQ(piecesOf(": :1"), (std::vector<std::string>{"other::", "param::1"}));
}

TEST(StatementText, NamesCompareWithoutRegardToCase) {
  EXPECT_TRUE(sameName("Article", "aRTICLE"));
  EXPECT_TRUE(sameName("\xE9t\xE9", "\xC9T\xC9"));  // Windows-1252 accented letters
  EXPECT_FALSE(sameName("article", "articles"));
  EXPECT_FALSE(sameName("a_b", "a b"));
  EXPECT_TRUE(sameName("", ""));
}

TEST(StatementText, ParametersAndReferencesOutsideLiteralsNamesAndComments) {
  TParams params;
  params.parseSQL(
      "select * from article where cb = :Cb and lib1 <> ':quoted' and [x:y] = 1 /* :c */ "
      "and lib2 = \"it's :q\" and num > :N1 and quantite < :cb");
  ASSERT_EQ(params.Count(), 2);
  EXPECT_EQ(params.items(0).Name, "Cb");
  EXPECT_EQ(params.items(1).Name, "N1");

  std::vector<std::string> seen;
  const std::string rewritten = rewriteReferences(
      "\x0C\"a.cb\" = ':p' + :p + \x0C\"lib1\" + '\x0C\"no\"'",
      [&](const std::string& name) {
        seen.push_back(name);
        return "F(" + name + ")";
      },
      [](const std::string& name) { return "P(" + name + ")"; });
  EXPECT_EQ(rewritten, "F(a.cb) = ':p' + P(p) + F(lib1) + '\x0C\"no\"'");
  EXPECT_EQ(seen, (std::vector<std::string>{"a.cb", "lib1"}));
}

TEST(StatementText, StandInsAreFoundOutsideLiteralsOnly) {
  const std::string text = "'{A}' + [{A}] + {A} + \"x{A}\" + {A}";
  EXPECT_EQ(findOutsideLiterals(text, "{A}"), 16u);
  EXPECT_EQ(findOutsideLiterals(text, "{A}", 17), 31u);
  EXPECT_EQ(findOutsideLiterals(text, "{B}"), std::string::npos);
  EXPECT_EQ(replaceOutsideLiterals(text, "{A}", "'{A}'"), "'{A}' + [{A}] + '{A}' + \"x{A}\" + '{A}'");
  EXPECT_EQ(replaceOutsideLiterals("{A}{A}", "{A}", "1"), "11");
}

TEST(StatementText, LiteralsReadBackAsTheirValue) {
  EXPECT_EQ(textLiteral("AB"), "\"AB\"");
  EXPECT_EQ(textLiteral("5\" tall"), "'5\" tall'");
  EXPECT_EQ(textLiteral("a'b\"c"), "(\"a'b\" + '\"c')");
  EXPECT_EQ(textLiteral("\"'"), "('\"' + \"'\")");
  EXPECT_EQ(numberLiteral(-2.5), "(-2.5)");
  testing::ArticleTable table;
  table.add(1, "A", 1, "N");
  for (const std::string value :
       {"", "plain", "it's", "5\" tall", "O'Brien 5\" tall", "\"'\"'", "''\"\"", "'\"a\"'", "x''y", "a\"\"b"}) {
    EXPECT_EQ(table.text(textLiteral(value)), value) << textLiteral(value);
    EXPECT_EQ(table.text("UPPER(" + textLiteral(value) + ") + 'z'"), common::ansiUpper(value) + "z") << value;
  }
  for (const double value : {0.0, 12.5, -7.25, 1e15, -0.001}) {
    EXPECT_DOUBLE_EQ(table.number("0 - " + numberLiteral(value)), -value) << numberLiteral(value);
  }
}

TEST(StatementText, QuotedTextOfPicturesIsKept) {
  EXPECT_EQ(formatFloat("0 'a;b';0 \"c'd\"", 3), "3 a;b");
  EXPECT_EQ(formatFloat("0 'a;b';0 \"c'd\"", -3), "3 c'd");
  EXPECT_EQ(formatFloat("'#'0", 5), "#5");
  EXPECT_EQ(formatFloat("0' open", 5), "5 open");
}

}  // namespace
}  // namespace vekrano::sql
