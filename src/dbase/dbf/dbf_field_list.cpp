// A table from a textual field list, with the corrections of doubtful definitions.
#include "dbase/dbf/dbf_field_list.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "common/code_page.h"
#include "common/format_settings.h"
#include "common/prompts.h"
#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"

namespace vekrano::dbase {
namespace {

constexpr std::size_t kNameSize = 10;
constexpr int kMaxNumericLength = 20;
constexpr int kMaxNumericDecimals = 18;
constexpr int kMaxCharacterLength = 254;

// A definition as its line gives it, length and decimals already bytes.
struct Definition {
  std::string name;
  char type = '\0';
  int length = 0;
  int decimals = 0;

  bool operator==(const Definition&) const = default;
};

std::vector<std::string> splitAtCommas(const std::string& line) {
  std::vector<std::string> items(1);
  for (char c : line) {
    if (c == ',') {
      items.emplace_back();
    } else {
      items.back() += c;
    }
  }
  return items;
}

std::string trimmed(const std::string& text) {
  const auto keep = [](char c) { return static_cast<unsigned char>(c) > ' '; };
  const auto first = std::find_if(text.begin(), text.end(), keep);
  const auto last = std::find_if(text.rbegin(), text.rend(), keep).base();
  return first < last ? std::string(first, last) : std::string();
}

// The item as a decimal integer, read leniently: leading blanks and "+" skipped, thousands
// separators and "$" dropped, stopping at the first other character; limited to 16 bits.
int readInteger(const std::string& item) {
  const char thousands = common::formatSettings().thousandSeparator;
  std::size_t at = 0;
  while (at < item.size() && item[at] == ' ') ++at;
  bool negative = false;
  if (at < item.size() && (item[at] == '+' || item[at] == '-')) negative = item[at++] == '-';
  long value = 0;
  for (; at < item.size(); ++at) {
    const char c = item[at];
    if (c == thousands || c == '$') continue;
    if (c < '0' || c > '9') break;
    value = std::min(value * 10 + (c - '0'), 32768L);
  }
  return static_cast<int>(std::clamp(negative ? -value : value, -32768L, 32767L));
}

int asByte(int value) { return ((value % 256) + 256) % 256; }

std::optional<Definition> parseLine(const std::string& line) {
  const std::vector<std::string> items = splitAtCommas(line);
  if (items.size() != 4) return std::nullopt;
  Definition def;
  def.name = trimmed(items[0]).substr(0, kNameSize);
  def.type = items[1].empty() ? '\0' : items[1][0];
  def.length = asByte(readInteger(items[2]));
  def.decimals = asByte(readInteger(items[3]));
  return def;
}

// Each rule looks at the definition as written.
Definition corrected(const Definition& written) {
  Definition def = written;
  const char t = written.type;
  if (t != 'C' && t != 'D' && t != 'F' && t != 'L' && t != 'M' && t != 'N') def.type = 'C';
  if (t == 'N' && written.length > kMaxNumericLength) def.length = kMaxNumericLength;
  if (t == 'N' && written.decimals > kMaxNumericDecimals) def.decimals = kMaxNumericDecimals;
  if (t == 'N' && written.decimals != 0 && written.length - written.decimals < 2) {
    def.decimals = std::max(written.length - 2, 0);  // never a negative count stored as a byte
  }
  if (t == 'C' && written.length == kMaxCharacterLength + 1) {
    def.length = kMaxCharacterLength;
    def.decimals = 0;
  }
  return def;
}

std::string typeText(char type) { return type == '\0' ? std::string() : std::string(1, type); }

void showCorrection(const std::string& component, const Definition& written, const Definition& used) {
  char text[512];
  std::snprintf(text, sizeof text,
                "Invalid field definition for %s: %s,%s,%d,%d. Will use corrected definition: "
                "%s,%s,%d,%d",
                component.c_str(), written.name.c_str(), typeText(written.type).c_str(), written.length,
                written.decimals, used.name.c_str(), typeText(used.type).c_str(), used.length, used.decimals);
  common::showMessage(common::oemToChar(text));
}

}  // namespace

bool createDbfFromFieldList(const std::string& componentName, const std::vector<std::string>* fieldList,
                            const std::string& fileName) {
  if (fieldList == nullptr) {
    common::showMessage(common::oemToChar("DbfFieldList is Nil trying to create a database"));
    return false;
  }
  if (fieldList->empty()) {
    common::showMessage(common::oemToChar("FieldList.Count is <= 0 trying to create a database"));
    return false;
  }
  std::vector<DbfFieldDef> defs;
  for (const std::string& line : *fieldList) {
    const std::optional<Definition> written = parseLine(line);
    if (!written) return false;
    if (written->type == 'X') continue;
    const Definition used = corrected(*written);
    if (!(used == *written)) showCorrection(componentName, *written, used);
    defs.push_back(DbfFieldDef{used.name, used.type, static_cast<std::uint8_t>(used.length),
                               static_cast<std::uint8_t>(used.decimals)});
  }
  SuspendAutoErrorReporting quiet;
  return CreateDbf(fileName, defs) && dbfErrorCode() == 0;
}

}  // namespace vekrano::dbase
