#include "list/list_criteria.h"

#include <gtest/gtest.h>

#include "list/sort_state.h"

namespace vekrano::list {
namespace {

TEST(ListStatement, CriteriaAndOrderFollowEachOtherDirectly) {
  SortState sort;
  EXPECT_EQ(listStatement({}, sort), "select *  from article order by num");
  ListCriteria criteria{"AB", "", "", TopCriterion::Topped};
  EXPECT_EQ(listStatement(criteria, sort),
            "select *  from article  where  cb like \"AB%\" and  topp=\"O\"order by num");
  criteria = {"", "x", "y", TopCriterion::NotTopped};
  EXPECT_EQ(criteriaText(criteria), " lib1 like \"x%\" and  lib2 like \"y%\" and  topp=\"N\"");
  EXPECT_EQ(criteriaText({"AB\"", "", "", TopCriterion::All}), " cb like 'AB\"%'");
}

TEST(ListStatement, TitleClicksAlternateTheDirection) {
  SortState sort;
  EXPECT_TRUE(ClickTitle(sort, "lib2"));
  EXPECT_EQ(listOrderPart(sort), " order by lib2 ");
  ClickTitle(sort, " LIB2 ");
  EXPECT_EQ(listOrderPart(sort), " order by lib2 desc");
  ClickTitle(sort, "cb");
  EXPECT_EQ(listOrderPart(sort), " order by cb ");
  ClickTitle(sort, "quantite");
  EXPECT_EQ(listOrderPart(sort), " order by quantite  , cb");
  ClickTitle(sort, "quantite");
  EXPECT_EQ(listOrderPart(sort), " order by quantite desc , cb");
  ClickTitle(sort, "topp");
  EXPECT_EQ(listOrderPart(sort), " order by topp  , cb ");
  EXPECT_FALSE(ClickTitle(sort, "num"));
  EXPECT_EQ(listOrderPart(sort), " order by topp  , cb ");
}

}  // namespace
}  // namespace vekrano::list
