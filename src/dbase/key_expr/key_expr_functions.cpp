// The function table of key expressions and each function's evaluation.
#include "dbase/key_expr/key_expr_functions.h"

#include <algorithm>
#include <cmath>

#include "common/code_page.h"
#include "dbase/dbf_date.h"
#include "dbase/dbf_number.h"
#include "dbase/key_expr/key_expr_dates.h"

namespace vekrano::dbase {
namespace {

constexpr std::size_t kMaxText = 255;
constexpr int kDefaultStrWidth = 10;
constexpr int kMaxRoundDigits = 300;

int asInt(double n) { return clampToInt32(n); }

// Clamps a count of characters to 0..limit.
std::size_t count(double n, std::size_t limit) {
  const int i = asInt(n);
  return i <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(i), limit);
}

std::string rtrim(const std::string& s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string ltrim(const std::string& s) {
  const std::size_t start = s.find_first_not_of(' ');
  return start == std::string::npos ? std::string() : s.substr(start);
}

char soundexDigit(char c) {
  switch (c) {
    case 'B':
    case 'F':
    case 'P':
    case 'V': return '1';
    case 'C':
    case 'G':
    case 'J':
    case 'K':
    case 'Q':
    case 'S':
    case 'X':
    case 'Z': return '2';
    case 'D':
    case 'T': return '3';
    case 'L': return '4';
    case 'M':
    case 'N': return '5';
    case 'R': return '6';
    default: return '0';
  }
}

// American Soundex: the first letter and three digits, H and W not separating equal codes.
std::string soundex(const std::string& text) {
  std::string code;
  char last = '\0';
  for (char raw : text) {
    const char c = raw >= 'a' && raw <= 'z' ? static_cast<char>(raw - 'a' + 'A') : raw;
    if (c < 'A' || c > 'Z') continue;
    const char digit = soundexDigit(c);
    if (code.empty()) {
      code += c;
    } else if (digit != '0' && digit != last) {
      code += digit;
    }
    if (code.size() == 4) break;
    if (c != 'H' && c != 'W') last = digit;
  }
  if (code.empty()) return "0000";
  return code + std::string(4 - code.size(), '0');
}

double roundDown(double n, double digits) {
  const double d = std::clamp(std::trunc(digits), -double(kMaxRoundDigits), double(kMaxRoundDigits));
  const double whole = std::trunc(n);
  const double scale = std::pow(10.0, d);
  return whole + std::trunc((n - whole) * scale) / scale;
}

std::string substring(const std::string& s, double from, double length) {
  const std::size_t start = std::min(count(from - 1, s.size()), s.size());
  return s.substr(start, count(length, s.size() - start));
}

std::string stuff(const std::string& s, double from, double length, const std::string& r) {
  const std::size_t start = std::min(count(from - 1, s.size()), s.size());
  return s.substr(0, start) + r + s.substr(start + count(length, s.size() - start));
}

std::string replicate(const std::string& s, double times) {
  std::string out;
  for (std::size_t i = 0, n = count(times, kMaxText); i < n && out.size() < kMaxText; ++i) out += s;
  return out;
}

// Each function as a lambda over its checked arguments.
using A = ExprValue*;
using C = EvalContext&;

const std::vector<KeyFunction>& functions() {
  // clang-format off
  static const std::vector<KeyFunction> table = {
      {"ABS", {}, {{"N", 'N'}}, [](A a, int, C) { return numberValue(std::fabs(a[0].number)); }},
      {"ASC", {}, {{"C", 'N'}}, [](A a, int, C) {
         return numberValue(a[0].text.empty() ? 0 : static_cast<unsigned char>(a[0].text[0]));
       }},
      {"AT", {}, {{"CC", 'N'}}, [](A a, int, C) {
         const std::size_t at = a[0].text.empty() ? std::string::npos : a[1].text.find(a[0].text);
         return numberValue(at == std::string::npos ? 0 : double(at + 1));
       }},
      {"CDOW", {}, {{"D", 'C'}}, [](A a, int, C) { return textValue(weekdayName(a[0].number)); }},
      {"CHR", {}, {{"N", 'C'}}, [](A a, int, C) {
         return textValue(std::string(1, static_cast<char>(asInt(a[0].number) & 0xFF)));
       }},
      {"CMONTH", {"CMON", "CMONT"}, {{"D", 'C'}},
       [](A a, int, C) { return textValue(monthName(a[0].number)); }},
      {"CTOD", {}, {{"C", 'D'}}, [](A a, int, C) { return dateValue(displayToDay(a[0].text)); }},
      {"DATE", {}, {{"", 'D'}}, [](A, int, C) { return dateValue(julianDay(Today())); }},
      {"DAY", {}, {{"D", 'N'}}, [](A a, int, C) { return numberValue(dayOfMonth(a[0].number)); }},
      {"DELETED", {"DELE", "DELET", "DELETE"}, {{"", 'L'}},
       [](A, int, C c) { return logicalValue(c.record[0] == '*'); }},
      {"DOW", {}, {{"D", 'N'}}, [](A a, int, C) { return numberValue(dayOfWeek(a[0].number)); }},
      {"DTOC", {}, {{"D", 'C'}}, [](A a, int, C) { return textValue(dayToDisplay(a[0].number)); }},
      {"DTOS", {}, {{"D", 'C'}}, [](A a, int, C) { return textValue(dayToStored(a[0].number)); }},
      {"IIF", {}, {{"LCC", 'C'}},
       [](A a, int, C) { return textValue(a[0].logical ? a[1].text : a[2].text); }},
      {"INT", {}, {{"N", 'N'}}, [](A a, int, C) { return numberValue(std::trunc(a[0].number)); }},
      {"LEFT", {}, {{"CN", 'C'}}, [](A a, int, C) {
         return textValue(a[0].text.substr(0, count(a[1].number, a[0].text.size())));
       }},
      {"LEN", {}, {{"C", 'N'}}, [](A a, int, C) { return numberValue(double(a[0].text.size())); }},
      {"LOWER", {"LOWE"}, {{"C", 'C'}},
       [](A a, int, C) { return textValue(common::ansiLower(a[0].text)); }},
      {"LTRIM", {"LTRI"}, {{"C", 'C'}}, [](A a, int, C) { return textValue(ltrim(a[0].text)); }},
      {"MAX", {}, {{"NN", 'N'}, {"DD", 'D'}}, [](A a, int, C) {
         ExprValue v = a[0];
         v.number = std::max(a[0].number, a[1].number);
         return v;
       }},
      {"MIN", {}, {{"NN", 'N'}, {"DD", 'D'}}, [](A a, int, C) {
         ExprValue v = a[0];
         v.number = std::min(a[0].number, a[1].number);
         return v;
       }},
      {"MOD", {}, {{"NN", 'N'}}, [](A a, int, C c) {
         const double divisor = std::trunc(a[1].number);
         if (divisor == 0) {
           c.divideByZero = true;
           return numberValue(0);
         }
         return numberValue(std::fmod(std::trunc(a[0].number), divisor));
       }},
      {"MONTH", {"MONT"}, {{"D", 'N'}}, [](A a, int, C) { return numberValue(monthOf(a[0].number)); }},
      {"RECNO", {"RECN"}, {{"", 'N'}}, [](A, int, C c) { return numberValue(c.recNo); }},
      {"REPLICATE", {"REPL", "REPLI", "REPLIC", "REPLICA", "REPLICAT"}, {{"CN", 'C'}},
       [](A a, int, C) { return textValue(replicate(a[0].text, a[1].number)); }},
      {"RIGHT", {"RIGH"}, {{"CN", 'C'}}, [](A a, int, C) {
         const std::size_t n = count(a[1].number, a[0].text.size());
         return textValue(a[0].text.substr(a[0].text.size() - n));
       }},
      {"ROUND", {"ROUN"}, {{"NN", 'N'}},
       [](A a, int, C) { return numberValue(roundDown(a[0].number, a[1].number)); }},
      {"RTRIM", {"RTRI"}, {{"C", 'C'}}, [](A a, int, C) { return textValue(rtrim(a[0].text)); }},
      {"SOUNDEX", {"SOUN", "SOUND", "SOUNDE"}, {{"C", 'C'}},
       [](A a, int, C) { return textValue(soundex(a[0].text)); }},
      {"SPACE", {"SPAC"}, {{"N", 'C'}},
       [](A a, int, C) { return textValue(std::string(count(a[0].number, kMaxText), ' ')); }},
      {"STR", {}, {{"N", 'C'}, {"NN", 'C'}, {"NNN", 'C'}}, [](A a, int argc, C) {
         const int width = argc > 1 ? int(count(a[1].number, kMaxText)) : kDefaultStrWidth;
         const int decimals = argc > 2 ? int(count(a[2].number, kMaxText)) : 0;
         return textValue(formatNumber(a[0].number, width, decimals));
       }},
      {"STUFF", {"STUF"}, {{"CNNC", 'C'}}, [](A a, int, C) {
         return textValue(stuff(a[0].text, a[1].number, a[2].number, a[3].text));
       }},
      {"SUBSTR", {"SUBS", "SUBST"}, {{"CNN", 'C'}},
       [](A a, int, C) { return textValue(substring(a[0].text, a[1].number, a[2].number)); }},
      {"TRIM", {}, {{"C", 'C'}}, [](A a, int, C) { return textValue(rtrim(a[0].text)); }},
      {"UPPER", {"UPPE"}, {{"C", 'C'}},
       [](A a, int, C) { return textValue(common::ansiUpper(a[0].text)); }},
      {"VAL", {}, {{"C", 'N'}}, [](A a, int, C) { return numberValue(ReadNumber(rtrim(a[0].text))); }},
      {"YEAR", {}, {{"D", 'N'}}, [](A a, int, C) { return numberValue(yearOf(a[0].number)); }},
  };
  // clang-format on
  return table;
}

}  // namespace

const KeyFunction* findKeyFunction(std::string_view name) {
  for (const KeyFunction& f : functions()) {
    if (f.name == name) return &f;
    if (std::find(f.abbreviations.begin(), f.abbreviations.end(), name) != f.abbreviations.end()) {
      return &f;
    }
  }
  return nullptr;
}

char keyFunctionResult(const KeyFunction& function, std::string_view argumentTypes) {
  for (const KeySignature& s : function.signatures) {
    if (s.arguments == argumentTypes) return s.result;
  }
  return '\0';
}

ExprValue numberValue(double n) { return ExprValue{'N', {}, n, false}; }
ExprValue dateValue(double day) { return ExprValue{'D', {}, day, false}; }
ExprValue logicalValue(bool b) { return ExprValue{'L', {}, 0, b}; }

ExprValue textValue(std::string text) {
  if (text.size() > kMaxText) text.resize(kMaxText);
  return ExprValue{'C', std::move(text), 0, false};
}

}  // namespace vekrano::dbase
