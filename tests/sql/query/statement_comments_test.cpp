// Comments of every form the SQL lexer skips, holding quotes, brackets and ":" markers: the
// parameters, subqueries and field references of the statement around them are read as without.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/program/statement_text.h"
#include "sql/query/article_query.h"
#include "sql/query/params.h"
#include "sql/query/query_rows.h"

namespace vekrano::sql {
namespace {

// The names of the parameters a statement is read to hold.
std::vector<std::string> parameterNames(const std::string& sql) {
  TParams params;
  params.parseSQL(sql);
  std::vector<std::string> names;
  for (int i = 0; i < params.Count(); ++i) names.push_back(params.items(i).Name);
  return names;
}

TEST(StatementComments, MarkersInsideCommentsAreNoParametersAndQuotesInsideThemOpenNoLiteral) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(parameterNames("select * from article -- don't -- where cb = :p"), Names{"p"});
  EXPECT_EQ(parameterNames("select * from article [* l'article *] where cb = :p"), Names{"p"});
  EXPECT_EQ(parameterNames("select * from article -- \" -- where cb = :p and num = :n"), (Names{"p", "n"}));
  EXPECT_EQ(parameterNames("select * from article -- :old -- where cb = :p [* :other ] *]"), Names{"p"});
  // Forms the lexer reads as no comment leave the markers after them as they are.
  EXPECT_EQ(parameterNames("select * from article where num = 5 - :a - :b"), (Names{"a", "b"}));
  EXPECT_EQ(parameterNames("select * from article where num = :a -- x - y --:b"), (Names{"a", "b"}));
  EXPECT_EQ(parameterNames("select * from article where [* a * b *] = :a"), Names{"a"});
  // Expression texts have only the /* */ comment: there the statement forms are read as usual.
  const std::string expression = "[* x *] + ':y' - -- :z --";
  std::vector<std::string> kinds;
  for (std::size_t i = 0; i < expression.size();) {
    const StatementPiece piece = pieceAt(expression, i);
    if (piece.kind == PieceKind::Comment || piece.kind == PieceKind::Parameter) {
      kinds.push_back(expression.substr(piece.begin, piece.end - piece.begin));
    }
    i = piece.end;
  }
  EXPECT_EQ(kinds, Names{":z"});
}

class CommentedStatement : public ArticleQuery {
 protected:
  CommentedStatement() {
    Add(1, "A", 5, "O", "it's");
    Add(2, "B", 2, "O", "plain");
    Add(3, "C", 7, "N", "plain");
  }
};

TEST_F(CommentedStatement, ParametersSubqueriesAndFieldsAfterACommentAreRun) {
  query.SQL().Clear();
  query.SQL().Add("select cb from article -- the user's pick -- where cb = :pick or num = :num [* 'x *] order by cb");
  ASSERT_EQ(query.Params().Count(), 2);
  ASSERT_NE(query.Params().findParam("pick"), nullptr);
  query.Params().findParam("pick")->Value = std::string("C");
  query.Params().findParam("num")->Value = std::int32_t{1};
  query.Open();
  Rows barcodes;
  for (query.First(); !query.Eof(); query.Next()) barcodes.push_back(query.FieldByName("cb").AsString());
  EXPECT_EQ(barcodes, (Rows{"A", "C"}));

  EXPECT_EQ(engineRows(query,
                       "select cb from article a -- \"a's\" -- where a.quantite = "
                       "(select max(quantite) from article b [* b's *] where b.topp = a.topp -- [ -- )"),
            (Rows{"A", "C"}));
  EXPECT_EQ(engineRows(query,
                       "select a.cb, a.lib1 -- ' -- from article a where a.lib1 in "
                       "(select lib1 from article [* ' *] where num = 1) -- : --"),
            (Rows{"A|it's"}));
}

}  // namespace
}  // namespace vekrano::sql
