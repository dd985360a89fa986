// The database error of the dataset layer and the texts it carries. The first five texts are the
// platform's own and stay in French whatever the interface language; texts are Windows-1252.
#pragma once

#include <string>
#include <string_view>

#include "common/exception.h"

namespace vekrano::dbase {

class EDatabaseError : public common::Exception {
 public:
  using common::Exception::Exception;
};

// "%s" stands for the name or value the message is about.
inline constexpr char kFieldNotFound[] = "Champ '%s' non trouv\xE9";
inline constexpr char kNotEditing[] = "L'ensemble de donn\xE9" "es n'est pas en mode Edition ou Insertion";
inline constexpr char kFieldReadOnly[] = "Impossible de modifier le champ '%s'";
inline constexpr char kDataSetClosed[] =
    "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9" "es ferm\xE9";
inline constexpr char kDataSetReadOnly[] =
    "Impossible de modifier un ensemble de donn\xE9" "es en lecture seule";
inline constexpr char kDataSetEmpty[] =
    "Impossible d'effectuer cette op\xE9ration sur un ensemble de donn\xE9" "es vide";
// Conversions a field class does not offer, and texts that do not read as the field's type.
inline constexpr char kFieldTypeMismatch[] = "Le champ '%s' ne peut pas \xEAtre lu ou \xE9" "crit en tant que %s";
inline constexpr char kInvalidInteger[] = "'%s' n'est pas une valeur enti\xE8re correcte";
inline constexpr char kInvalidFloat[] = "'%s' n'est pas une valeur flottante correcte";
inline constexpr char kInvalidBoolean[] = "'%s' n'est pas une valeur bool\xE9" "enne correcte";
inline constexpr char kInvalidDate[] = "'%s' n'est pas une date correcte";

// Raises EDatabaseError with `pattern`, each "%s" replaced in order by `first` and `second`.
[[noreturn]] void DatabaseError(std::string_view pattern, std::string_view first = {},
                                std::string_view second = {});

}  // namespace vekrano::dbase
