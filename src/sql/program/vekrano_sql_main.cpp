// vekrano-sql DIR [STATEMENT...]: runs SQL statements over the record table of a program
// directory, as the application does, and prints what they give.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "common/code_page.h"
#include "dbase/table_article.h"
#include "dbase/table_dataset.h"
#include "sql/query.h"

namespace {

using vekrano::common::ansiToUtf8;

// Statement text typed on the terminal, held in the engine's character set.
std::string engineText(const std::string& terminal) {
  return vekrano::common::isValidUtf8(terminal) ? vekrano::common::utf8ToAnsi(terminal) : terminal;
}

bool isSelect(const std::string& statement) {
  const std::size_t start = statement.find_first_not_of(" \t\r\n(");
  if (start == std::string::npos) return false;
  const std::string word = vekrano::common::ansiUpper(statement.substr(start, 6));
  return word == "SELECT" || vekrano::common::ansiUpper(statement.substr(start, 9)) == "TRANSFORM";
}

// The rows of the open query: a header of field names, then one line per row, tab-separated.
void printRows(vekrano::sql::TSqlQuery& query) {
  std::string out;
  for (int i = 0; i < query.FieldCount(); ++i) {
    out += (i == 0 ? "" : "\t") + query.Fields(i).FieldName();
  }
  out += '\n';
  for (query.First(); !query.Eof(); query.Next()) {
    for (int i = 0; i < query.FieldCount(); ++i) {
      if (i > 0) out += '\t';
      const vekrano::dbase::TField& field = query.Fields(i);
      if (std::string_view text; field.TextView(text)) {
        out += text;
      } else {
        out += field.AsString();
      }
    }
    out += '\n';
    if (out.size() > 1 << 16) {
      std::fputs(ansiToUtf8(out).c_str(), stdout);
      out.clear();
    }
  }
  std::fputs(ansiToUtf8(out).c_str(), stdout);
}

void run(vekrano::sql::TSqlQuery& query, const std::string& statement) {
  query.Close();
  query.SQL().Clear();
  query.SQL().Add(engineText(statement));
  if (isSelect(statement)) {
    query.Open();
    printRows(query);
    query.Close();
  } else {
    query.ExecSQL();
    std::printf("%d\n", query.ChangedRowCount());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: vekrano-sql DIR [STATEMENT...]\n");
    return 2;
  }
  std::vector<std::string> statements(argv + 2, argv + argc);
  try {
    vekrano::dbase::TTzDbf table("tarticle");
    vekrano::dbase::ConfigureArticleTable(table, argv[1]);
    table.Open();
    vekrano::sql::TSqlQuery query;
    query.DataSets().Add("article", &table);
    query.AutoDisableControls = false;
    if (statements.empty()) {
      for (std::string line; std::getline(std::cin, line);) {
        if (line.find_first_not_of(" \t\r") != std::string::npos) run(query, line);
      }
    } else {
      for (const std::string& statement : statements) run(query, statement);
    }
    query.Close();
    table.Close();
  } catch (const std::exception& error) {
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", ansiToUtf8(error.what()).c_str());
    return 1;
  }
  return 0;
}
