// Added interface texts of the CSV import, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedImportTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {175, {"Lignes non importées:", "Lines not imported:", "Linhas não importadas:",
             "Líneas no importadas:"}},
      {176, {"Premières lignes du fichier en échec:", "First failing lines of the file:",
             "Primeiras linhas do ficheiro com falha:", "Primeras líneas del archivo con error:"}},
      {177, {"Importation arrêtée: numéro de fiche au-delà de 99999",
             "Import stopped: record number above 99999",
             "Importação interrompida: número de ficha acima de 99999",
             "Importación detenida: número de registro superior a 99999"}},
      {178, {"Champs entre guillemets (CSV standard)", "Quoted fields (standard CSV)",
             "Campos entre aspas (CSV padrão)", "Campos entre comillas (CSV estándar)"}},
      {185, {"Importation arrêtée: la table ne peut plus écrire. Ligne du fichier refusée:",
             "Import stopped: the table cannot write any more. File line refused:",
             "Importação interrompida: a tabela já não pode escrever. Linha do ficheiro recusada:",
             "Importación detenida: la tabla ya no puede escribir. Línea del archivo rechazada:"}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
