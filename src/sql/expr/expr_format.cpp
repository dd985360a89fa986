// FORMATFLOAT pictures and FORMAT specifications.
#include "sql/expr/expr_format.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "common/format_settings.h"
#include "sql/errors.h"
#include "sql/expr/expr_convert.h"
#include "sql/expr_messages.h"
#include "sql/expr/expression.h"
#include "sql/program/statement_text.h"

namespace vekrano::sql {
namespace {

// `value` in fixed notation with `decimals` digits after the point, '.' as the point; halves
// are rounded away from zero where the scaled value is still exact enough to tell.
std::string fixed(double value, int decimals) {
  const double scale = std::pow(10.0, decimals);
  if (decimals <= 15 && std::fabs(value * scale) < 1e15) value = std::round(value * scale) / scale;
  char buffer[400];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return error == std::errc() ? std::string(buffer, end) : floatToText(value);
}

// Digits of an unsigned integer text with `separator` between groups of three.
std::string grouped(const std::string& digits, char separator) {
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += separator;
    text += digits[i];
  }
  return text;
}

// `number` (unsigned, '.' point) with the process-wide decimal separator and optional grouping.
std::string localised(const std::string& number, bool thousands) {
  const common::FormatSettings& settings = common::formatSettings();
  const std::size_t point = number.find('.');
  std::string whole = number.substr(0, point);
  std::string text = thousands ? grouped(whole, settings.thousandSeparator) : whole;
  if (point != std::string::npos) text += settings.decimalSeparator + number.substr(point + 1);
  return text;
}

bool isQuote(char c) { return c == '"' || c == '\''; }

std::vector<std::string> sections(std::string_view picture) {
  std::vector<std::string> parts(1);
  for (std::size_t i = 0; i < picture.size();) {
    if (picture[i] == ';') {
      parts.emplace_back();
      ++i;
      continue;
    }
    const std::size_t end = isQuote(picture[i]) ? quotedRun(picture, i).end : i + 1;
    parts.back() += picture.substr(i, end - i);
    i = end;
  }
  return parts;
}

// One section of a picture, taken apart.
struct Picture {
  std::string prefix;
  std::string suffix;
  int integerZeros = 0;  // integer digits always shown
  int minDecimals = 0;
  int maxDecimals = 0;
  bool hasPoint = false;
  bool thousands = false;
  int exponentDigits = -1;  // -1: no exponent
  bool exponentPlus = false;
  char exponentLetter = 'E';
};

Picture parsePicture(std::string_view section) {
  Picture picture;
  bool seenDigit = false;
  bool inExponent = false;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (isQuote(c)) {
      const QuotedRun run = quotedRun(section, i);
      (seenDigit ? picture.suffix : picture.prefix) += run.inside;
      i = run.end - 1;
      continue;
    }
    const bool exponentStart =
        (c == 'E' || c == 'e') && i + 1 < section.size() && (section[i + 1] == '+' || section[i + 1] == '-');
    if (exponentStart && !inExponent) {
      inExponent = true;
      picture.exponentLetter = c;
      picture.exponentPlus = section[++i] == '+';
      picture.exponentDigits = 0;
    } else if (inExponent && c == '0') {
      ++picture.exponentDigits;
    } else if (c == '0' || c == '#') {
      seenDigit = true;
      if (picture.hasPoint) {
        ++picture.maxDecimals;
        if (c == '0') picture.minDecimals = picture.maxDecimals;
      } else if (c == '0' || picture.integerZeros > 0) {
        ++picture.integerZeros;
      }
    } else if (c == '.' && !picture.hasPoint) {
      picture.hasPoint = true;
      seenDigit = true;
    } else if (c == ',') {
      picture.thousands = true;
    } else {
      (seenDigit ? picture.suffix : picture.prefix) += c;
    }
  }
  return picture;
}

std::string applyPicture(const Picture& picture, double magnitude) {
  int exponent = 0;
  if (picture.exponentDigits >= 0 && magnitude != 0) {
    const int integerPlaces = std::max(picture.integerZeros, 1);
    exponent = static_cast<int>(std::floor(std::log10(magnitude))) - (integerPlaces - 1);
    magnitude /= std::pow(10.0, exponent);
  }
  std::string number = fixed(magnitude, picture.maxDecimals);
  std::size_t point = number.find('.');
  if (point != std::string::npos) {
    std::size_t keep = number.size();
    while (keep > point + 1 + picture.minDecimals && number[keep - 1] == '0') --keep;
    number.resize(keep == point + 1 ? point : keep);
  }
  point = number.find('.');
  std::string whole = number.substr(0, point);
  if (whole == "0" && picture.integerZeros == 0) whole.clear();
  if (static_cast<int>(whole.size()) < picture.integerZeros) {
    whole.insert(0, picture.integerZeros - whole.size(), '0');
  }
  std::string text = localised(whole + (point == std::string::npos ? "" : number.substr(point)), picture.thousands);
  if (picture.exponentDigits >= 0) {
    std::string digits = std::to_string(std::abs(exponent));
    if (static_cast<int>(digits.size()) < picture.exponentDigits) {
      digits.insert(0, picture.exponentDigits - digits.size(), '0');
    }
    text += picture.exponentLetter;
    text += exponent < 0 ? "-" : (picture.exponentPlus ? "+" : "");
    text += digits;
  }
  return picture.prefix + text + picture.suffix;
}

[[noreturn]] void invalidFormat(std::string_view format) {
  throw EExpression(common::formatText(messages::kFormatInvalid, {format}));
}

std::string padded(std::string text, int width, bool left) {
  if (static_cast<int>(text.size()) >= width) return text;
  const std::string blanks(width - text.size(), ' ');
  return left ? text + blanks : blanks + text;
}

// One value by its conversion type.
std::string convert(char type, int precision, const TExpression& value, std::string_view format) {
  const TExprType valueType = value.exprType();
  const bool integral = valueType == ttInteger || valueType == ttBoolean;
  switch (type) {
    case 'd':
    case 'u':
    case 'x': {
      if (!integral) invalidFormat(format);
      const std::int32_t number = value.AsInteger();
      std::string digits;
      if (type == 'x') {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "%X", static_cast<std::uint32_t>(number));
        digits = buffer;
      } else {
        digits = type == 'u' ? std::to_string(static_cast<std::uint32_t>(number))
                             : std::to_string(std::llabs(static_cast<long long>(number)));
      }
      if (precision > static_cast<int>(digits.size())) digits.insert(0, precision - digits.size(), '0');
      return (type == 'd' && number < 0 ? "-" : "") + digits;
    }
    case 'e':
    case 'f':
    case 'g':
    case 'n':
    case 'm': {
      if (valueType != ttFloat) invalidFormat(format);
      const double number = value.AsFloat();
      if (type == 'g') return floatToText(number);
      if (type == 'e') {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*E", precision < 0 ? 14 : std::max(precision - 1, 0), number);
        std::string text = buffer;
        const std::size_t dot = text.find('.');
        if (dot != std::string::npos) text[dot] = common::formatSettings().decimalSeparator;
        return text;
      }
      const std::string digits = fixed(std::fabs(number), precision < 0 ? 2 : precision);
      return (std::signbit(number) && number != 0 ? "-" : "") + localised(digits, type != 'f');
    }
    case 's': {
      std::string text = value.AsString();
      if (precision >= 0 && precision < static_cast<int>(text.size())) text.resize(precision);
      return text;
    }
    default: invalidFormat(format);
  }
}

// Digits at `pos`, advancing it; -1 when there are none.
int readCount(std::string_view format, std::size_t& pos) {
  int value = -1;
  while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
    value = std::min((value < 0 ? 0 : value) * 10 + (format[pos++] - '0'), 100000);
  }
  return value;
}

}  // namespace

std::string formatFloat(std::string_view picture, double value) {
  const std::vector<std::string> parts = sections(picture);
  if (picture.empty() || !std::isfinite(value)) return floatToText(value);
  std::string section = parts[0];
  bool signShown = value < 0;
  if (value < 0 && parts.size() > 1 && !parts[1].empty()) {
    section = parts[1];
    signShown = false;
  } else if (value == 0 && parts.size() > 2 && !parts[2].empty()) {
    section = parts[2];
  }
  const Picture parsed = parsePicture(section);
  std::string text = applyPicture(parsed, std::fabs(value));
  // A negative value that rounds to zero digits shows no sign.
  const bool allZero = text.find_first_of("123456789") == std::string::npos;
  return (signShown && !allZero ? "-" : "") + text;
}

std::string formatValues(std::string_view format, const std::vector<const TExpression*>& values) {
  std::string text;
  std::size_t next = 0;
  std::size_t pos = 0;
  while (pos < format.size()) {
    const char c = format[pos++];
    if (c != '%') {
      text += c;
      continue;
    }
    if (pos < format.size() && format[pos] == '%') {
      text += '%';
      ++pos;
      continue;
    }
    int number = readCount(format, pos);
    if (pos < format.size() && format[pos] == ':') {
      next = number < 0 ? 0 : static_cast<std::size_t>(number);
      ++pos;
      number = -1;
    }
    const bool left = pos < format.size() && format[pos] == '-';
    if (left) ++pos;
    const int width = number >= 0 ? number : readCount(format, pos);
    int precision = -1;
    if (pos < format.size() && format[pos] == '.') {
      ++pos;
      precision = std::max(readCount(format, pos), 0);
    }
    if (pos >= format.size() || next >= values.size()) invalidFormat(format);
    const char type = static_cast<char>(std::tolower(static_cast<unsigned char>(format[pos++])));
    text += padded(convert(type, precision, *values[next++], format), width, left);
  }
  return text;
}

}  // namespace vekrano::sql
