#include "import_fixture.h"

#include "languages/interface_texts.h"

namespace vekrano::import::testing {

ImportTest::ImportTest() {
  languages::setLanguageNumber(languages::kFrench);
  data.sqlqueryfonction.AutoDisableControls = false;
  data.openData();
}

ImportTest::~ImportTest() { data.closeData(); }

std::string ImportTest::csvFile(const std::string& bytes, const std::string& name) {
  vekrano::testing::writeFileBytes(directory.file(name), bytes);
  return directory.file(name);
}

std::vector<std::string> ImportTest::storedRecords() {
  sql::TSqlQuery& query = data.sqlqueryfonction;
  query.Close();
  query.SQL().Clear();
  query.SQL().Add("select * from article order by num");
  query.Open();
  std::vector<std::string> rows;
  for (query.First(); !query.Eof(); query.Next()) {
    std::string row = query.FieldByName("num").AsString();
    for (const char* name : {"cb", "lib1", "lib2", "quantite", "topp"}) {
      row += "|" + query.FieldByName(name).AsString();
    }
    rows.push_back(row);
  }
  query.Close();
  return rows;
}

}  // namespace vekrano::import::testing
