#include "app/article_table_access.h"

#include "records/restored_table_check.h"

namespace vekrano::app {

ArticleTableAccess::ArticleTableAccess(records::ArticleData& data)
    : access_{[&data] { data.closeData(); }, [&data] { data.openData(); },
              [this, &data] { hold_ = std::make_unique<records::TableHold>(data.programDirectory()); },
              [this] { hold_.reset(); }, [](const std::string& folder) { records::checkRestoredTable(folder); }} {}

}  // namespace vekrano::app
