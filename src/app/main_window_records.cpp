// The commands of the records page: the list, its criteria and the record editor.
#include <QLineEdit>
#include <QRadioButton>

#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/record_data.h"
#include "languages/qt_text.h"
#include "list/list_criteria.h"

namespace vekrano::app {

void TFprincip::connectRecordsPage() {}

void TFprincip::redisplayList() {
  try {
    records_.redisplayList();
  } catch (const std::exception& error) {
    showApplicationError(error);
  }
}

list::ListCriteria TFprincip::criteria() const {
  auto text = [this](const char* name) {
    return languages::fromQt(findChild<QLineEdit*>(name)->text());
  };
  list::ListCriteria criteria{text("TexCb"), text("text1"), text("text2")};
  if (findChild<QRadioButton*>("Ratop")->isChecked()) criteria.top = list::TopCriterion::Topped;
  if (findChild<QRadioButton*>("ranontop")->isChecked()) criteria.top = list::TopCriterion::NotTopped;
  return criteria;
}

}  // namespace vekrano::app
