// Added interface texts of the backup and restore, in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedBackupTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {195, {"Sauvegarde", "Backup", "Salvaguarda", "Copia de seguridad"}},
      {196, {"Restauration", "Restore", "Restauro", "Restauración"}},
      {197, {"Annuler", "Cancel", "Cancelar", "Cancelar"}},
      {198,
       {"La sauvegarde n'a pas abouti : aucune archive n'a été laissée.",
        "The backup did not complete: no archive was left.",
        "A salvaguarda não terminou: nenhum arquivo foi deixado.",
        "La copia de seguridad no terminó: no se dejó ningún archivo."}},
      {199,
       {"La restauration n'a pas abouti : les données n'ont pas été modifiées.",
        "The restore did not complete: the data were left as they were.",
        "O restauro não terminou: os dados não foram alterados.",
        "La restauración no terminó: los datos no se han modificado."}},
      {200,
       {"Cette archive ne contient pas article.dbf.",
        "This archive holds no article.dbf.",
        "Este arquivo não contém article.dbf.",
        "Este archivo no contiene article.dbf."}},
      {201, {"Opération interrompue.", "Operation stopped.", "Operação interrompida.",
             "Operación interrumpida."}},
      {202, {"Fichier introuvable.", "File not found.", "Ficheiro não encontrado.",
             "Archivo no encontrado."}},
      {203,
       {"L'archive ne peut pas remplacer un fichier de la table.",
        "The archive cannot replace one of the table's own files.",
        "O arquivo não pode substituir um ficheiro da tabela.",
        "El archivo no puede sustituir un archivo de la tabla."}},
      {204,
       {"Un autre programme a la table ouverte : fermez-le puis recommencez.",
        "Another program has the table open: close it and try again.",
        "Outro programa tem a tabela aberta: feche-o e tente de novo.",
        "Otro programa tiene la tabla abierta: ciérrelo e inténtelo de nuevo."}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
