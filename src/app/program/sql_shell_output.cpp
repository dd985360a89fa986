// The rows of a query as tab-separated text, written a block at a time.
#include "app/program/sql_shell_output.h"

#include <string>
#include <string_view>

#include "common/code_page.h"
#include "common/format_settings.h"

namespace vekrano::app {

void printRows(sql::TSqlQuery& query, std::FILE* out) {
  // Scripts and spreadsheets read numbers with a decimal point, as the sqlite3 shell writes them.
  const common::SeparatorGuard decimalPoint('.', common::formatSettings().thousandSeparator);
  std::string text;
  for (int i = 0; i < query.FieldCount(); ++i) {
    text += (i == 0 ? "" : "\t") + query.Fields(i).FieldName();
  }
  text += '\n';
  for (query.First(); !query.Eof(); query.Next()) {
    for (int i = 0; i < query.FieldCount(); ++i) {
      if (i > 0) text += '\t';
      const dbase::TField& field = query.Fields(i);
      if (std::string_view view; field.textView(view)) {
        text += view;
      } else {
        text += field.AsString();
      }
    }
    text += '\n';
    if (text.size() > 1 << 16) {
      std::fputs(common::ansiToUtf8(text).c_str(), out);
      text.clear();
    }
  }
  std::fputs(common::ansiToUtf8(text).c_str(), out);
}

}  // namespace vekrano::app
