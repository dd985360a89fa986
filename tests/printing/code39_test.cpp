#include "printing/code39.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>

#include "page_measure.h"

namespace vekrano::printing {
namespace {

using testing::runProgram;

// The Code 39 character table as the standard prints it: nine elements, bar first, most
// significant bit first, a set bit for a wide element.
struct StandardEntry {
  char character;
  unsigned widths;
};
constexpr StandardEntry kStandard[] = {
    {'0', 0x034}, {'1', 0x121}, {'2', 0x061}, {'3', 0x160}, {'4', 0x031}, {'5', 0x130}, {'6', 0x070}, {'7', 0x025},
    {'8', 0x124}, {'9', 0x064}, {'A', 0x109}, {'B', 0x049}, {'C', 0x148}, {'D', 0x019}, {'E', 0x118}, {'F', 0x058},
    {'G', 0x00D}, {'H', 0x10C}, {'I', 0x04C}, {'J', 0x01C}, {'K', 0x103}, {'L', 0x043}, {'M', 0x142}, {'N', 0x013},
    {'O', 0x112}, {'P', 0x052}, {'Q', 0x007}, {'R', 0x106}, {'S', 0x046}, {'T', 0x016}, {'U', 0x181}, {'V', 0x0C1},
    {'W', 0x1C0}, {'X', 0x091}, {'Y', 0x190}, {'Z', 0x0D0}, {'-', 0x085}, {'.', 0x184}, {' ', 0x0C4}, {'$', 0x0A8},
    {'/', 0x0A2}, {'+', 0x08A}, {'%', 0x02A}, {'*', 0x094},
};

const char* const kAllCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";

TEST(Code39, CharacterPatternsFollowTheStandardTable) {
  for (const StandardEntry& entry : kStandard) {
    std::string expected;
    for (int bit = 8; bit >= 0; --bit) expected += (entry.widths >> bit) & 1 ? 'w' : 'n';
    EXPECT_EQ(code39Pattern(entry.character), expected) << "character '" << entry.character << "'";
  }
  EXPECT_TRUE(code39Pattern('a').empty());
  EXPECT_TRUE(code39Pattern('\xC9').empty());
  EXPECT_TRUE(code39Pattern('\0').empty());
}

TEST(Code39, DropsEveryCharacterOutsideTheSetWithoutChangingCase) {
  EXPECT_EQ(code39Encodable("abc-123"), "-123");
  EXPECT_EQ(code39Encodable("A*B"), "AB");
  EXPECT_EQ(code39Encodable(kAllCharacters), kAllCharacters);
  EXPECT_EQ(code39Encodable("\xC9t\xE9 #1_2\t3"), " 123");
  EXPECT_EQ(code39Encodable(std::string("A\0B", 3)), "AB");
  EXPECT_EQ(code39Encodable("***"), "");
}

int narrowWidths(std::string_view value) {
  const std::vector<int> elements = code39Elements(value);
  return std::accumulate(elements.begin(), elements.end(), 0);
}

TEST(Code39, SymbolTakesSixteenNarrowWidthsPerCharacterAndThirtyOneMore) {
  EXPECT_EQ(narrowWidths(""), 31);
  EXPECT_EQ(narrowWidths("abc"), 31);
  EXPECT_EQ(narrowWidths("ABC-123 456.7"), 16 * 13 + 31);
  EXPECT_NEAR(narrowWidths("ABC-123 456.7") * kCode39NarrowMm, 60.71, 0.005);
  EXPECT_EQ(narrowWidths(std::string(50, 'W')), 16 * 50 + 31);
  // Bars and spaces alternate from a bar to a bar: an odd number of elements.
  EXPECT_EQ(code39Elements("AB").size() % 2, 1u);
}

// The symbol zint draws for `value` as element widths in narrow units (zint draws wide 2:1).
std::vector<int> zintElements(const std::string& value) {
  int exitCode = 0;
  const std::string dump = runProgram({"zint", "-b", "8", "--dump", "-d", value}, &exitCode);
  EXPECT_EQ(exitCode, 0) << "zint failed on " << value;
  std::string bits;
  std::istringstream hex(dump);
  for (std::string group; hex >> group;) {
    for (char digit : group) {
      const int nibble = std::stoi(std::string(1, digit), nullptr, 16);
      for (int bit = 3; bit >= 0; --bit) bits += (nibble >> bit) & 1 ? '1' : '0';
    }
  }
  bits.erase(bits.find_last_of('1') + 1);
  std::vector<int> elements;
  for (std::size_t i = 0; i < bits.size();) {
    std::size_t end = bits.find_first_not_of(bits[i], i);
    if (end == std::string::npos) end = bits.size();
    elements.push_back(end - i == 1 ? 1 : kCode39WideRatio);
    i = end;
  }
  return elements;
}

TEST(Code39, ElementRunsMatchZint) {
  for (const std::string value :
       {std::string(kAllCharacters), std::string("ABC-123 456.7"), std::string("%+/$ .-"), std::string("0")}) {
    EXPECT_EQ(code39Elements(value), zintElements(value)) << value;
  }
  EXPECT_EQ(code39Elements("a%b+c"), zintElements("%+"));
}

}  // namespace
}  // namespace vekrano::printing
