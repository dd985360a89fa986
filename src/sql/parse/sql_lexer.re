// The SQL scanner: longest match, and the earliest rule among equally long ones.
#include <string>

#include "sql/parse/sql_keywords.h"
#include "sql/parse/sql_parser.h"
#include "sql/parse/sql_token_values.h"

namespace vekrano::sql {
namespace {

// Token codes of the scanner that the keyword table does not give.
constexpr int kName = 257;
constexpr int kUnsignedInteger = 258;
constexpr int kSignedInteger = 259;
constexpr int kNumber = 260;
constexpr int kString = 261;
constexpr int kIllegal = 292;
constexpr int kWhere = 302;
constexpr int kKeywordsEndingWhere[] = {299, 313, 303, 365};  // SELECT, GROUP, ORDER, PIVOT
constexpr std::size_t kShortestDate = 10;  // "#" date "#", both signs included

// A serial number as the expression text of a date: wrapped inside a WHERE clause.
std::string dateText(const SqlParseContext& context, double serial) {
  const std::string text = serialText(serial);
  return context.insideWhere ? "DummyDate(" + text + ")" : text;
}

int wordToken(SqlParseContext& context, std::string& text) {
  if (text.size() == 3 && (text[0] | 0x20) == 'n' && (text[1] | 0x20) == 'o' &&
      (text[2] | 0x20) == 'w') {
    text = dateText(context, currentDateTimeSerial());
    return kNumber;
  }
  const std::optional<int> code = sqlKeywordCode(text);
  if (!code) return kName;
  if (*code == kWhere) context.insideWhere = true;
  for (int ending : kKeywordsEndingWhere) {
    if (*code == ending) context.insideWhere = false;
  }
  return *code;
}

}  // namespace

int scanSqlToken(SqlParseContext& context, std::string& text) {
  for (;;) {
    context.tokenStart = context.cursor;
    const char* const start = context.cursor;
    auto token = [&](int code) {
      text.assign(start, context.cursor);
      return code;
    };
    /*!re2c
      re2c:api:style = free-form;
      re2c:define:YYCTYPE = "unsigned char";
      re2c:define:YYCURSOR = "context.cursor";
      re2c:define:YYMARKER = "context.marker";
      re2c:define:YYLIMIT = "context.limit";
      re2c:define:YYPEEK = "static_cast<unsigned char>(*context.cursor)";
      re2c:define:YYSKIP = "++context.cursor;";
      re2c:define:YYBACKUP = "context.marker = context.cursor;";
      re2c:define:YYRESTORE = "context.cursor = context.marker;";
      re2c:define:YYLESSTHAN = "context.limit - context.cursor < @@{len}";
      re2c:yyfill:enable = 0;
      re2c:eof = 0;

      letter = [A-Za-z\x80-\xFF];
      digit = [0-9];

      $ { text.clear(); return 0; }

      letter (letter | digit | "_")* {
        text.assign(start, context.cursor);
        return wordToken(context, text);
      }
      "/*" [^*]* "*/" { continue; }
      "[*" [^*]* "*]" { continue; }
      "--" [^-]* "--" { continue; }
      "[" [^\]]* "]" { return token(kName); }
      digit+ "." digit* | [+-] digit+ "." digit+ | "." digit+ ([Ee] [+-] digit+)? {
        return token(kNumber);
      }
      digit+ { return token(kUnsignedInteger); }
      [+-] digit+ { return token(kSignedInteger); }
      "$" [0-9A-Fa-f]+ {
        const std::optional<std::string> value =
            hexLiteralValue(std::string_view(start + 1, context.cursor - start - 1));
        if (!value) return token(kIllegal);
        text = *value;
        return kNumber;
      }
      ("'" [^']* "'")+ | (["] [^"]* ["])+ { return token(kString); }
      "#" [^#]* "#" {
        const std::size_t length = static_cast<std::size_t>(context.cursor - start);
        if (length < kShortestDate) continue;
        const std::optional<int> serial =
            readDateLiteral(std::string_view(start + 1, length - 2), context.dateFormat());
        if (!serial) return token(kIllegal);
        text = dateText(context, *serial);
        return kNumber;
      }
      "," { return token(262); }
      "(" { return token(263); }
      ")" { return token(264); }
      "[" { return token(265); }
      "]" { return token(266); }
      ">" { return token(274); }
      "<" { return token(275); }
      "." { return token(267); }
      ":" { return token(269); }
      ";" { return token(268); }
      "=" { return token(272); }
      "*" { return token(284); }
      "+" { return token(281); }
      "-" { return token(282); }
      "^" { return token(290); }
      "/" { return token(283); }
      "<>" { return token(273); }
      ">=" { return token(276); }
      "<=" { return token(277); }
      "||" { text = "+"; return 281; }
      " " | "\n" | "\t" { continue; }
      * { return token(kIllegal); }
    */
  }
}

}  // namespace vekrano::sql
