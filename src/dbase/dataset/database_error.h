// The database error of the dataset layer and the texts it carries, in French and Windows-1252.
// The windows show them in the interface language; the engines and tools keep them as here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/exception.h"

namespace vekrano::dbase {

class EDatabaseError : public common::Exception {
 public:
  using common::Exception::Exception;
  // `message` made from `pattern`, one of the texts below, with `arguments` in place of its "%s".
  EDatabaseError(const std::string& message, std::string_view pattern, std::vector<std::string> arguments)
      : common::Exception(message), pattern_(pattern), arguments_(std::move(arguments)) {}

  // The text the message was made from (empty when it was given whole), so that a window can
  // word it in the interface language; and what stood for its "%s".
  const std::string& Pattern() const { return pattern_; }
  const std::vector<std::string>& Arguments() const { return arguments_; }

 private:
  std::string pattern_;
  std::vector<std::string> arguments_;
};

// "%s" stands for the name or value the message is about.
inline constexpr char kFieldNotFound[] = "Champ '%s' non trouv\xE9";
inline constexpr char kNotEditing[] =
    "L'ensemble de donn\xE9"
    "es n'est pas en mode Edition ou Insertion";
inline constexpr char kFieldReadOnly[] = "Impossible de modifier le champ '%s'";
inline constexpr char kDataSetClosed[] =
    "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9"
    "es ferm\xE9";
inline constexpr char kDataSetReadOnly[] =
    "Impossible de modifier un ensemble de donn\xE9"
    "es en lecture seule";
inline constexpr char kDataSetEmpty[] =
    "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9"
    "es vide";
// Conversions a field class does not offer, and texts that do not read as the field's type.
inline constexpr char kFieldTypeMismatch[] =
    "Le champ '%s' ne peut pas \xEAtre lu ou \xE9"
    "crit en tant que %s";
inline constexpr char kInvalidInteger[] = "'%s' n'est pas une valeur enti\xE8re correcte";
inline constexpr char kInvalidFloat[] = "'%s' n'est pas une valeur flottante correcte";
inline constexpr char kInvalidBoolean[] =
    "'%s' n'est pas une valeur bool\xE9"
    "enne correcte";
inline constexpr char kInvalidDate[] = "'%s' n'est pas une date correcte";

// Raises EDatabaseError with `pattern`, each "%s" replaced in order by `first` and `second`.
[[noreturn]] void databaseError(std::string_view pattern, std::string_view first = {}, std::string_view second = {});

}  // namespace vekrano::dbase
