// Added interface texts of the list's tools (export of the list, the remembered start position),
// in UTF-8: French, English, Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedListToolTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {300, {"Exporter la liste", "Export the list", "Exportar a lista", "Exportar la lista"}},
      {301, {"Écrire les fiches de la liste dans un fichier CSV",
             "Write the records of the list into a CSV file",
             "Escrever as fichas da lista num ficheiro CSV",
             "Escribir las fichas de la lista en un archivo CSV"}},
      {302, {"Fichier", "File", "Ficheiro", "Archivo"}},
      {303, {"Choisir...", "Choose...", "Escolher...", "Elegir..."}},
      {304, {"Encodage", "Encoding", "Codificação", "Codificación"}},
      {305, {"Fichiers CSV (*.csv)", "CSV files (*.csv)", "Ficheiros CSV (*.csv)",
             "Archivos CSV (*.csv)"}},
      {306, {"Nombre de fiches exportées :", "Number of records exported:",
             "Número de fichas exportadas:", "Número de fichas exportadas:"}},
      {307, {"Exportation terminée", "End of export", "Exportação terminada",
             "Exportación terminada"}},
      {308, {"Le fichier n'est pas choisi", "The file is not chosen", "O ficheiro não foi escolhido",
             "El archivo no está elegido"}},
      {309, {"Exportation de la liste", "Exporting the list", "Exportação da lista",
             "Exportación de la lista"}},
      {310, {"La position de départ n'a pas pu être retenue : ",
             "The start position could not be remembered: ",
             "A posição inicial não pôde ser memorizada: ",
             "No se pudo recordar la posición inicial: "}},
      {311, {"Seulement les fiches sélectionnées", "Only the selected records",
             "Apenas as fichas selecionadas", "Solo las fichas seleccionadas"}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
