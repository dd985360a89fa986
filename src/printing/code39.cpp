// The character table of Code 39 and the expansion of a value into bar and space widths.
#include "printing/code39.h"

#include <array>

namespace vekrano::printing {
namespace {

struct Code39Character {
  char character;
  const char* pattern;
};

// Elements bar, space, bar, ... bar; three of the nine are wide.
constexpr std::array<Code39Character, 44> kTable = {{
    {'0', "nnnwwnwnn"}, {'1', "wnnwnnnnw"}, {'2', "nnwwnnnnw"}, {'3', "wnwwnnnnn"}, {'4', "nnnwwnnnw"},
    {'5', "wnnwwnnnn"}, {'6', "nnwwwnnnn"}, {'7', "nnnwnnwnw"}, {'8', "wnnwnnwnn"}, {'9', "nnwwnnwnn"},
    {'A', "wnnnnwnnw"}, {'B', "nnwnnwnnw"}, {'C', "wnwnnwnnn"}, {'D', "nnnnwwnnw"}, {'E', "wnnnwwnnn"},
    {'F', "nnwnwwnnn"}, {'G', "nnnnnwwnw"}, {'H', "wnnnnwwnn"}, {'I', "nnwnnwwnn"}, {'J', "nnnnwwwnn"},
    {'K', "wnnnnnnww"}, {'L', "nnwnnnnww"}, {'M', "wnwnnnnwn"}, {'N', "nnnnwnnww"}, {'O', "wnnnwnnwn"},
    {'P', "nnwnwnnwn"}, {'Q', "nnnnnnwww"}, {'R', "wnnnnnwwn"}, {'S', "nnwnnnwwn"}, {'T', "nnnnwnwwn"},
    {'U', "wwnnnnnnw"}, {'V', "nwwnnnnnw"}, {'W', "wwwnnnnnn"}, {'X', "nwnnwnnnw"}, {'Y', "wwnnwnnnn"},
    {'Z', "nwwnwnnnn"}, {'-', "nwnnnnwnw"}, {'.', "wwnnnnwnn"}, {' ', "nwwnnnwnn"}, {'$', "nwnwnwnnn"},
    {'/', "nwnwnnnwn"}, {'+', "nwnnnwnwn"}, {'%', "nnnwnwnwn"}, {'*', "nwnnwnwnn"},
}};

constexpr char kStartStop = '*';

// Each character's place in kTable, or -1: every bar of every label looks its character up.
constexpr std::array<signed char, 256> kPlaces = [] {
  std::array<signed char, 256> places{};
  places.fill(-1);
  for (std::size_t i = 0; i < kTable.size(); ++i) {
    places[static_cast<unsigned char>(kTable[i].character)] = static_cast<signed char>(i);
  }
  return places;
}();

void appendCharacter(std::vector<int>& elements, char c) {
  for (char element : code39Pattern(c)) {
    elements.push_back(element == 'w' ? kCode39WideRatio : 1);
  }
}

}  // namespace

std::string_view code39Pattern(char c) {
  const int place = kPlaces[static_cast<unsigned char>(c)];
  return place < 0 ? std::string_view() : kTable[place].pattern;
}

std::string code39Encodable(std::string_view value) {
  std::string kept;
  for (char c : value) {
    if (c != kStartStop && !code39Pattern(c).empty()) kept += c;
  }
  return kept;
}

std::vector<int> code39Elements(std::string_view value) {
  std::vector<int> elements;
  elements.reserve(10 * (value.size() + 2));
  appendCharacter(elements, kStartStop);
  for (char c : code39Encodable(value)) {
    elements.push_back(1);
    appendCharacter(elements, c);
  }
  elements.push_back(1);
  appendCharacter(elements, kStartStop);
  return elements;
}

}  // namespace vekrano::printing
