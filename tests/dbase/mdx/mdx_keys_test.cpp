#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dbase/mdx/mdx_keys.h"

namespace vekrano::dbase {
namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string key(12, '\0');
  int i = 0;
  for (int v : values) key[i++] = static_cast<char>(v);
  return key;
}

TEST(MdxKeys, PackedDecimalBytes) {
  EXPECT_EQ(packNumber(0, 0), bytes({0x34, 0x01}));
  EXPECT_EQ(packNumber(1, 0), bytes({0x35, 0x29, 0x10}));
  EXPECT_EQ(packNumber(-1, 0), bytes({0x35, 0xA9, 0x10}));
  EXPECT_EQ(packNumber(0.001, 3), bytes({0x32, 0x05, 0x10}));  // fewer trailing zeros than decimals: n = 1
  EXPECT_EQ(packNumber(123.45, 2), bytes({0x37, 0x15, 0x12, 0x34, 0x50}));
  EXPECT_EQ(packNumber(1e15, 0), bytes({0x44, 0x29, 0x10}));
  EXPECT_EQ(packNumber(-2.5, 1), bytes({0x35, 0x89, 0x25}));
  EXPECT_EQ(packNumber(-0.25, 2), bytes({0x34, 0x89, 0x25}));
  EXPECT_EQ(packNumber(1.5, 2), bytes({0x35, 0x0D, 0x15}));  // "1.50": three digits stored
  EXPECT_EQ(packNumber(42, 2), bytes({0x36, 0x29, 0x42}));  // "42.00": trailing zeros = decimals
}

TEST(MdxKeys, NumericKeysSortAsTheirValues) {
  std::vector<std::pair<double, int>> values = {{0, 0},    {1, 0},       {-1, 0},     {0.001, 3}, {123.45, 2},
                                                {1e15, 0}, {-123.45, 2}, {-0.5, 1},   {0.5, 1},   {-1e15, 0},
                                                {99.9, 1}, {100, 0},     {-0.001, 3}, {12, 0},    {1.5, 1}};
  KeyOrder order{'N', false};
  std::vector<std::pair<double, std::string>> keyed;
  for (auto [v, d] : values) keyed.emplace_back(v, packNumber(v, d));
  std::sort(keyed.begin(), keyed.end(),
            [&](const auto& a, const auto& b) { return order.compare(a.second, b.second) < 0; });
  for (std::size_t i = 1; i < keyed.size(); ++i) EXPECT_LT(keyed[i - 1].first, keyed[i].first) << i;
  KeyOrder descending{'N', true};
  EXPECT_GT(descending.compare(packNumber(1, 0), packNumber(2, 0)), 0);
}

TEST(MdxKeys, DateAndCharacterOrder) {
  KeyOrder dates{'D', false};
  EXPECT_LT(dates.compare(dateKey(2451545), dateKey(2451546)), 0);
  EXPECT_LT(dates.compare(dateKey(2460000), dateKey(1e100)), 0);  // an empty date sorts last
  KeyOrder text{'C', false};
  EXPECT_LT(text.compare("ABC",
                         "\xC9"
                         "AA"),
            0);  // unsigned bytes
  EXPECT_EQ(text.compare("ABC  ", "AB"), 0);  // a short search key is a prefix
}

}  // namespace
}  // namespace vekrano::dbase
