// Field classes of the table dataset.
#include "dbase/table/tz_fields.h"

#include <cctype>

#include "common/format_settings.h"
#include "common/prompts.h"
#include "dbase/dataset/database_error.h"
#include "dbase/dataset/field_convert.h"

namespace vekrano::dbase {
namespace {

// The platform's text for a field size its class does not accept.
constexpr char kInvalidFieldSize[] = "Taille de champ incorrecte";

void checkNumberSize(const TFieldDef& def) {
  if (def.Size < 0 || def.Size > kMaxTzNumberSize) databaseError(kInvalidFieldSize);
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

}  // namespace

void showInvalidDate() { common::showMessage(kInvalidDateMessage); }

TTzIntegerField::TTzIntegerField(TDataSet& dataSet, const TFieldDef& def) : TIntegerField(dataSet, def) {
  checkNumberSize(def);
}

TTzFloatField::TTzFloatField(TDataSet& dataSet, const TFieldDef& def) : TFloatField(dataSet, def) {
  checkNumberSize(def);
}

std::string emptyDatePattern() {
  std::string pattern = common::formatSettings().shortDateFormat;
  for (char& c : pattern) {
    if (std::isalpha(static_cast<unsigned char>(c))) c = ' ';
  }
  return pattern;
}

std::string TTzDateField::AsString() const { return AsDateTime() == 0 ? std::string() : TDateField::AsString(); }

void TTzDateField::setAsString(const std::string& value) {
  if (IsBlank(value) || value == emptyDatePattern()) {
    setAsDateTime(0);
    return;
  }
  const auto date = textToDateTime(value);
  if (!date) {
    showInvalidDate();
    setAsDateTime(0);
    return;
  }
  setAsDateTime(*date);
}

}  // namespace vekrano::dbase
