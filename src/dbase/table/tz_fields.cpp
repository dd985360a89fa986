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

void CheckNumberSize(const TFieldDef& def) {
  if (def.Size < 0 || def.Size > kMaxTzNumberSize) DatabaseError(kInvalidFieldSize);
}

bool IsBlank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

}  // namespace

void ShowInvalidDate() { common::showMessage(kInvalidDateMessage); }

TTzIntegerField::TTzIntegerField(TDataSet& dataSet, const TFieldDef& def) : TIntegerField(dataSet, def) {
  CheckNumberSize(def);
}

TTzFloatField::TTzFloatField(TDataSet& dataSet, const TFieldDef& def) : TFloatField(dataSet, def) {
  CheckNumberSize(def);
}

std::string EmptyDatePattern() {
  std::string pattern = common::formatSettings().shortDateFormat;
  for (char& c : pattern) {
    if (std::isalpha(static_cast<unsigned char>(c))) c = ' ';
  }
  return pattern;
}

std::string TTzDateField::AsString() const { return AsDateTime() == 0 ? std::string() : TDateField::AsString(); }

void TTzDateField::SetAsString(const std::string& value) {
  if (IsBlank(value) || value == EmptyDatePattern()) {
    SetAsDateTime(0);
    return;
  }
  const auto date = TextToDateTime(value);
  if (!date) {
    ShowInvalidDate();
    SetAsDateTime(0);
    return;
  }
  SetAsDateTime(*date);
}

}  // namespace vekrano::dbase
