// Node contracts that expression text cannot reach: operator kinds refused by each node class
// and the base conversions of a node that does not override its own getter.
#include <gtest/gtest.h>

#include "sql/expr/expr_test_table.h"
#include "sql/expr/expression_operators.h"
#include "sql/expr/like_pattern.h"

namespace vekrano::sql::testing {
namespace {

TExprPtr one() { return std::make_unique<TIntegerLiteral>(1); }

TEST(ExpressionNodes, RefuseOperatorsOfAnotherKind) {
  EXPECT_EQ(messageOf([] { TUnaryOp(opMult, one()); }), "opMult is not simple unary operator");
  EXPECT_EQ(messageOf([] { TBinaryOp(opNot, one(), one()); }), "opNot is not a simple binary operator");
  EXPECT_EQ(messageOf([] { TBinaryOp(opEq, one(), one()); }), "opEq is not a simple binary operator");
  EXPECT_EQ(messageOf([] { TRelationalOp(opPlus, one(), one()); }), "opPlus is not relational operator");
}

// A node that only declares its type.
class Bare : public TExpression {
 public:
  explicit Bare(TExprType type) : type_(type) {}
  TExprType exprType() const override { return type_; }

 private:
  TExprType type_;
};

TEST(ExpressionNodes, BaseRefusesToReadANodeAsItsOwnTypeWithoutAnOverride) {
  EXPECT_EQ(messageOf([] { Bare(ttString).AsString(); }), "Cannot read String as String");
  EXPECT_EQ(messageOf([] { Bare(ttFloat).AsFloat(); }), "Cannot read Float as Float");
  EXPECT_EQ(messageOf([] { Bare(ttInteger).AsInteger(); }), "Cannot read Integer as Integer");
  EXPECT_EQ(messageOf([] { Bare(ttBoolean).AsBoolean(); }), "Cannot read Boolean as boolean");
}

TEST(ExpressionNodes, OperatorResultTypes) {
  EXPECT_EQ(operatorResultType(opPlus, ttString), ttString);
  EXPECT_EQ(operatorResultType(opLT, ttString), ttBoolean);
  EXPECT_EQ(operatorResultType(opExp, ttFloat), ttFloat);
  EXPECT_EQ(operatorResultType(opDivide, ttInteger), ttFloat);
  EXPECT_EQ(operatorResultType(opShr, ttInteger), ttInteger);
  EXPECT_EQ(operatorResultType(opXor, ttBoolean), ttBoolean);
  EXPECT_EQ(messageOf([] { operatorResultType(opMod, ttFloat); }), "Operator opMod incompatible with Float");
  EXPECT_EQ(messageOf([] { operatorResultType(opMinus, ttBoolean); }), "Operator opMinus incompatible with Boolean");
}

TEST(LikePattern, SegmentsBetweenPercentSignsMatchLeftmost) {
  EXPECT_TRUE(LikePattern("%ab%ab%", std::nullopt).matches("xxabyyab"));
  EXPECT_FALSE(LikePattern("%ab%ab", std::nullopt).matches("xxab"));
  EXPECT_TRUE(LikePattern("a%%b", std::nullopt).matches("ab"));
  EXPECT_TRUE(LikePattern("_%_", std::nullopt).matches("ab"));
  EXPECT_FALSE(LikePattern("_%_", std::nullopt).matches("a"));
  EXPECT_TRUE(LikePattern("a!!b", '!').matches("a!b"));
  EXPECT_TRUE(LikePattern("a!", '!').matches("a!"));  // a trailing escape stands for itself
  EXPECT_TRUE(LikePattern("\xE9%", std::nullopt).matches("\xE9t\xE9"));
  EXPECT_FALSE(LikePattern("\xE9%", std::nullopt).matches("\xC9t\xE9"));
}

}  // namespace
}  // namespace vekrano::sql::testing
