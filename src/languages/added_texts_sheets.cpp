// Added interface texts of the catalog and own label sheets, in UTF-8: French, English,
// Portuguese, Spanish.
#include "languages/added_texts.h"

namespace vekrano::languages {

const std::vector<CaptionRow>& addedSheetTexts() {
  // clang-format off
  static const std::vector<CaptionRow> rows = {
      {315, {"Autres planches…", "Other sheets…", "Outras folhas…", "Otras hojas…"}},
      {316, {"Planches d'étiquettes", "Label sheets", "Folhas de etiquetas", "Hojas de etiquetas"}},
      {317, {"Rechercher (marque, référence, taille) :", "Search (brand, part, size):",
             "Procurar (marca, referência, tamanho):", "Buscar (marca, referencia, tamaño):"}},
      {318, {"Planche", "Sheet", "Folha", "Hoja"}},
      {319, {"Description", "Description", "Descrição", "Descripción"}},
      {320, {"Étiquettes", "Labels", "Etiquetas", "Etiquetas"}},
      {321, {"Étiquette (mm)", "Label (mm)", "Etiqueta (mm)", "Etiqueta (mm)"}},
      {322, {"Page", "Page", "Página", "Página"}},
      {323, {"Planche personnelle", "Own sheet", "Folha própria", "Hoja propia"}},
      {324, {"Le catalogue des fabricants n'est pas installé : le paquet glabels-data l'apporte. "
             "Seules vos propres planches sont proposées.",
             "The vendors' catalog is not installed: the package glabels-data brings it. Only "
             "your own sheets are offered.",
             "O catálogo dos fabricantes não está instalado: o pacote glabels-data fornece-o. "
             "Só as suas próprias folhas são propostas.",
             "El catálogo de los fabricantes no está instalado: el paquete glabels-data lo trae. "
             "Solo se ofrecen sus propias hojas."}},
      {325, {"Nouvelle planche…", "New sheet…", "Nova folha…", "Nueva hoja…"}},
      {326, {"Modifier…", "Change…", "Modificar…", "Modificar…"}},
      {327, {"Nom", "Name", "Nome", "Nombre"}},
      {328, {"Autre format (mm)", "Other size (mm)", "Outro tamanho (mm)", "Otro tamaño (mm)"}},
      {329, {"Colonnes × lignes", "Columns × rows", "Colunas × linhas", "Columnas × filas"}},
      {330, {"Première étiquette, depuis le bord gauche × haut (mm)",
             "First label, from the left × top edge (mm)",
             "Primeira etiqueta, a partir da margem esquerda × superior (mm)",
             "Primera etiqueta, desde el borde izquierdo × superior (mm)"}},
      {331, {"Pas horizontal × vertical (mm)", "Pitch across × down (mm)",
             "Passo horizontal × vertical (mm)", "Paso horizontal × vertical (mm)"}},
      {332, {"La planche n'a pas pu être enregistrée : ", "The sheet could not be saved: ",
             "A folha não pôde ser guardada: ", "No se pudo guardar la hoja: "}},
      {333, {"Des étiquettes sortent de la page", "Labels leave the page",
             "Há etiquetas fora da página", "Hay etiquetas fuera de la página"}},
      {334, {"Des étiquettes se chevauchent", "Labels overlap", "Há etiquetas sobrepostas",
             "Hay etiquetas superpuestas"}},
  };
  // clang-format on
  return rows;
}

}  // namespace vekrano::languages
