// Each French text of the dataset layer and the interface text that words it in every language.
#include "app/database_error_text.h"

#include <string_view>
#include <utility>

#include "common/format_text.h"
#include "dbase/dataset/database_error.h"
#include "languages/interface_texts.h"

namespace vekrano::app {

namespace {

constexpr std::pair<std::string_view, int> kWordings[] = {
    {dbase::kFieldNotFound, 245},     {dbase::kNotEditing, 246},      {dbase::kFieldReadOnly, 247},
    {dbase::kDataSetClosed, 248},     {dbase::kDataSetReadOnly, 249}, {dbase::kDataSetEmpty, 250},
    {dbase::kFieldTypeMismatch, 251}, {dbase::kInvalidInteger, 252},  {dbase::kInvalidFloat, 253},
    {dbase::kInvalidBoolean, 254},    {dbase::kInvalidDate, 255},
};

}  // namespace

std::string interfaceText(const std::exception& error) {
  const auto* database = dynamic_cast<const dbase::EDatabaseError*>(&error);
  if (database == nullptr) return error.what();
  for (const auto& [pattern, id] : kWordings) {
    if (database->Pattern() != pattern) continue;
    const std::string wording = languages::GetText(id);
    // Before a language is chosen there is no wording: the engine's own text stands.
    if (wording.empty()) break;
    const std::vector<std::string>& arguments = database->Arguments();
    return common::formatText(wording, {arguments.size() > 0 ? arguments[0] : std::string(),
                                        arguments.size() > 1 ? arguments[1] : std::string()});
  }
  return error.what();
}

}  // namespace vekrano::app
