// Every caption, hint and column title of the main window in each language, spelled out.
#include <QAbstractButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <filesystem>

#include "languages/interface_texts.h"
#include "shell_fixture.h"

namespace vekrano::app::testing {
namespace {

constexpr bool kCaption = true;
constexpr bool kHint = false;

struct Expected {
  const char* control;
  bool caption;
  const char* text;
};

const std::vector<Expected> kFrenchTexts = {
    {"spCharge", kHint, "Charger une sauvegarde"},
    {"spSauve", kHint, "Faire une sauvegarde"},
    {"sbinfos", kCaption, "Infos"},
    {"sbinfos", kHint, "Informations sur le logiciel"},
    {"spAide", kCaption, "Aide"},
    {"spAide", kHint, "Voir l aide"},
    {"Tabcompte", kCaption, "Gestion des fiches"},
    {"Tabimpression", kCaption, "Impression"},
    {"tabpara", kCaption, "Parametres"},
    {"gbcritere", kCaption, "Restreindre l'affichage aux fiches correspondant aux criteres suivants"},
    {"TexCbEditLabel", kCaption, "Code Barre"},
    {"text1EditLabel", kCaption, "Texte 1 "},
    {"text2EditLabel", kCaption, "Texte 2 "},
    {"gbtop", kCaption, "Critere sur la zone top"},
    {"sAjout", kCaption, "Ajouter"},
    {"sAjout", kHint, "Ajouter une fiche code barre"},
    {"smodif", kCaption, "Voir/modifier"},
    {"smodif", kHint, "Voir/modifier la fiche code barre selectionnée"},
    {"bimport", kCaption, "Importation"},
    {"bimport", kHint, "Importer à partir d'un fichier texte"},
    {"SpeedButton1", kHint, "Réafficher la liste des fiches par rapport aux criteres"},
    {"gpImp", kCaption, "Paramétrage de l'impression"},
    {"Labtypeeti", kCaption, "Type d'étiquettes"},
    {"topimpTexte1", kCaption, "Imprimer le texte1"},
    {"topimpTexte2", kCaption, "Imprimer le texte2"},
    {"gbcritsup", kCaption, "Critère supplémentaire"},
    {"Ratoutefiche", kCaption, "Imprimer toutes les fiches"},
    {"Rafichem", kCaption, "Imprimer seulement les fiches correspondant aux critères"},
    {"Rafichesel", kCaption, "Seulement les fiches sélectionnées"},
    {"gbpcodbar", kCaption, "Imprimer les codes barres"},
    {"btimprime", kCaption, "Lancer l'impression"},
    {"Squitter", kHint, "Quitter le Logiciel"},
    {"tabopdiv", kCaption, "Opérations diverses"},
    {"btappliquer", kCaption, "Appliquer"},
    {"gpopexe", kCaption, "Opérations exceptionnelles"},
    {"sdetruiretoutedonnee", kCaption, "Reinitialiser toutes les données"},
    {"Ratop", kCaption, "Fiches topées"},
    {"ranontop", kCaption, "Fiches non topées"},
    {"Ratoutes", kCaption, "Toutes les fiches"},
    {"majoutcompte", kCaption, "Ajouter"},
    {"mvisumodifcompte", kCaption, "Voir/modifier"},
    {"msupprimecompte", kCaption, "Supprimer"},
    {"ssupprime", kCaption, "Supprimer"},
    {"ssupprime", kHint, "Supprimer la fiche code barre sélectionné"},
    {"Changerletop1", kCaption, "Changer le top"},
    {"Gimprimante", kCaption, "Imprimante"},
    {"s:1", kCaption, "Code Barre"},
    {"s:2", kCaption, "Texte 1"},
    {"s:3", kCaption, "Texte 2"},
    {"s:4", kCaption, "Qtite"},
    {"s:5", kCaption, "Top"},
};

const std::vector<Expected> kEnglishTexts = {
    {"spCharge", kHint, "Load"},
    {"spSauve", kHint, "Save the datas"},
    {"sbinfos", kCaption, "Infos"},
    {"sbinfos", kHint, "Informations about the software"},
    {"spAide", kCaption, "Help"},
    {"spAide", kHint, "View the help file"},
    {"Tabcompte", kCaption, "Datas"},
    {"Tabimpression", kCaption, "Printing"},
    {"tabpara", kCaption, "Parameters"},
    {"gbcritere", kCaption, "Selection criterias"},
    {"TexCbEditLabel", kCaption, "Barcod"},
    {"text1EditLabel", kCaption, "Text 1"},
    {"text2EditLabel", kCaption, "Text 2"},
    {"gbtop", kCaption, "Criteria on top flag\""},
    {"sAjout", kCaption, "Add"},
    {"sAjout", kHint, "Add a barcod"},
    {"smodif", kCaption, "View/Modif"},
    {"smodif", kHint, "View/Modif the selected barcod"},
    {"bimport", kCaption, "Import Datas"},
    {"bimport", kHint, "Import from textfile"},
    {"SpeedButton1", kHint, "Refresh the list with using the criterias"},
    {"gpImp", kCaption, "Printing parameters"},
    {"Labtypeeti", kCaption, "Labels style"},
    {"topimpTexte1", kCaption, "Print Text 1"},
    {"topimpTexte2", kCaption, "Print Text 2"},
    {"gbcritsup", kCaption, "Printing Criteria "},
    {"Ratoutefiche", kCaption, "Print all the barcods"},
    {"Rafichem", kCaption, "Print only the barcods corresponding to the criterias"},
    {"Rafichesel", kCaption, "Only the selected records"},
    {"gbpcodbar", kCaption, "Print the barcod"},
    {"btimprime", kCaption, "Print the barcod"},
    {"Squitter", kHint, "Quit"},
    {"tabopdiv", kCaption, "Parameters"},
    {"btappliquer", kCaption, "Confirm"},
    {"gpopexe", kCaption, "Special operations"},
    {"sdetruiretoutedonnee", kCaption, "Erase all the datas"},
    {"Ratop", kCaption, "With Flag"},
    {"ranontop", kCaption, "With Flag off"},
    {"Ratoutes", kCaption, "All the Barcods"},
    {"majoutcompte", kCaption, "Add"},
    {"mvisumodifcompte", kCaption, "View/Modif"},
    {"msupprimecompte", kCaption, "Delete"},
    {"ssupprime", kCaption, "Delete"},
    {"ssupprime", kHint, "Delete the current barcod"},
    {"Changerletop1", kCaption, "Change the value of the flag field"},
    {"Gimprimante", kCaption, "Printer"},
    {"s:1", kCaption, "Barcod"},
    {"s:2", kCaption, "Text 1"},
    {"s:3", kCaption, "Text 2"},
    {"s:4", kCaption, "Qtity"},
    {"s:5", kCaption, "Flag"},
};

const std::vector<Expected> kPortugueseTexts = {
    {"spCharge", kHint, "Abrir"},
    {"spSauve", kHint, "Guardar"},
    {"sbinfos", kCaption, "Infos"},
    {"sbinfos", kHint, "Informações sobre o programa"},
    {"spAide", kCaption, "Ajuda"},
    {"spAide", kHint, "Ver o ficheiro de ajuda"},
    {"Tabcompte", kCaption, "Gestão das fichas"},
    {"Tabimpression", kCaption, "Imprimir"},
    {"tabpara", kCaption, "Parâmetros"},
    {"gbcritere", kCaption, "Restringir a amostra das fichas correspondendo aos critérios seguintes"},
    {"TexCbEditLabel", kCaption, "Código Barra"},
    {"text1EditLabel", kCaption, "Texto 1"},
    {"text2EditLabel", kCaption, "Texto 2"},
    {"gbtop", kCaption, "Critério sobre a zona top"},
    {"sAjout", kCaption, "Adicionar"},
    {"sAjout", kHint, "Adicionar um código Barra"},
    {"smodif", kCaption, "Ver/Modificar"},
    {"smodif", kHint, "Ver/Modificar o código de barras seleccionado"},
    {"bimport", kCaption, "Importar"},
    {"bimport", kHint, "Importar a partir de um ficheiro de texto"},
    {"SpeedButton1", kHint, "Refrescar a lista usando os critérios"},
    {"gpImp", kCaption, "Parametrização da impressão"},
    {"Labtypeeti", kCaption, "Tipo de etiquetas"},
    {"topimpTexte1", kCaption, "Imprimir o texto1"},
    {"topimpTexte2", kCaption, "Imprimir o texto2"},
    {"gbcritsup", kCaption, "Critério suplementar"},
    {"Ratoutefiche", kCaption, "Imprimir todas as fichas"},
    {"Rafichem", kCaption, "Imprimir apenas as fichas correspondendo aos critérios"},
    {"Rafichesel", kCaption, "Apenas as fichas selecionadas"},
    {"gbpcodbar", kCaption, "Imprimir os códigos de barras"},
    {"btimprime", kCaption, "Lançar a impressão"},
    {"Squitter", kHint, "Sair"},
    {"tabopdiv", kCaption, "Operações diversas"},
    {"btappliquer", kCaption, "Aplicar"},
    {"gpopexe", kCaption, "Operações especiais"},
    {"sdetruiretoutedonnee", kCaption, "Reinicialisar os dados"},
    {"Ratop", kCaption, "Fichas topadas"},
    {"ranontop", kCaption, "Fichas não topadas"},
    {"Ratoutes", kCaption, "Todas as fichas"},
    {"majoutcompte", kCaption, "Adicionar"},
    {"mvisumodifcompte", kCaption, "Ver/Modificar"},
    {"msupprimecompte", kCaption, "Apagar"},
    {"ssupprime", kCaption, "Apagar"},
    {"ssupprime", kHint, "Apagar o código de barras seleccionado"},
    {"Changerletop1", kCaption, "Mudar o top"},
    {"Gimprimante", kCaption, "Impressora"},
    {"s:1", kCaption, "Código de barras"},
    {"s:2", kCaption, "Texto 1"},
    {"s:3", kCaption, "Texto 2"},
    {"s:4", kCaption, "Qdade"},
    {"s:5", kCaption, "Top"},
};

const std::vector<Expected> kSpanishTexts = {
    {"spCharge", kHint, "Abrir"},
    {"spSauve", kHint, "Guardar"},
    {"sbinfos", kCaption, "Infos"},
    {"sbinfos", kHint, "Informaciones sobre el software"},
    {"spAide", kCaption, "Ayuda"},
    {"spAide", kHint, "Ayuda"},
    {"Tabcompte", kCaption, "Datos"},
    {"Tabimpression", kCaption, "Impresión"},
    {"tabpara", kCaption, "Parámetros"},
    {"gbcritere", kCaption, "criterias de la selección"},
    {"TexCbEditLabel", kCaption, "Codigos barra"},
    {"text1EditLabel", kCaption, "Texto 1"},
    {"text2EditLabel", kCaption, "Texto 2"},
    {"gbtop", kCaption, "Criterios en campo top"},
    {"sAjout", kCaption, "Agregue"},
    {"sAjout", kHint, "Agregue codigos de barra"},
    {"smodif", kCaption, "Ver/Modificarse"},
    {"smodif", kHint, "Ver/modificarse el codigo de barra seleccionado"},
    {"bimport", kCaption, "Importación Datos"},
    {"bimport", kHint, "Importación de archivos"},
    {"SpeedButton1", kHint, "Restaure la lista con usar los criterias"},
    {"gpImp", kCaption, "Parámetros de la impresión"},
    {"Labtypeeti", kCaption, "tipo de etiquetas"},
    {"topimpTexte1", kCaption, "Imprima el texto 1"},
    {"topimpTexte2", kCaption, "Imprima el texto 2"},
    {"gbcritsup", kCaption, "Criterias de la impresión"},
    {"Ratoutefiche", kCaption, "Imprima todos los codigos da barra"},
    {"Rafichem", kCaption, "Imprima solamente los codigos da barra que corresponden a los criterias"},
    {"Rafichesel", kCaption, "Solo las fichas seleccionadas"},
    {"gbpcodbar", kCaption, "Imprima los codigos da barra"},
    {"btimprime", kCaption, "Imprima codigos de barra"},
    {"Squitter", kHint, "Quit"},
    {"tabopdiv", kCaption, "Parámetros"},
    {"btappliquer", kCaption, "Confirme"},
    {"gpopexe", kCaption, "Operaciones especiales"},
    {"sdetruiretoutedonnee", kCaption, "Borre todos los datas ?"},
    {"Ratop", kCaption, "con top"},
    {"ranontop", kCaption, "Sin top"},
    {"Ratoutes", kCaption, "Todos los codigos de barra"},
    {"majoutcompte", kCaption, "Agregue"},
    {"mvisumodifcompte", kCaption, "Ver/Modificarse"},
    {"msupprimecompte", kCaption, "Suprimar"},
    {"ssupprime", kCaption, "Suprimar"},
    {"ssupprime", kHint, "Suprima el codigo de barra"},
    {"Changerletop1", kCaption, "Cambie el valor del top"},
    {"Gimprimante", kCaption, "Impresora"},
    {"s:1", kCaption, "Codigo de barra"},
    {"s:2", kCaption, "Texto 1"},
    {"s:3", kCaption, "Texto 2"},
    {"s:4", kCaption, "Ctidad"},
    {"s:5", kCaption, "Top"},
};
// The language group reads the same in every language; its Portuguese button is spelled unlike
// the one of the language choice window.
const std::vector<Expected> kLanguageGroupTexts = {
    {"GLangue", kCaption, "Langue"},       {"lfrancais", kCaption, "Français"}, {"langlais", kCaption, "English"},
    {"lportugais", kCaption, "Portugues"}, {"lespagnol", kCaption, "Espanol"},
};

void expectTexts(const TFprincip& window, const std::vector<Expected>& texts) {
  for (const Expected& e : texts) {
    QString actual = e.caption ? captionOf(window, e.control) : hintOf(window, e.control);
    EXPECT_EQ(actual.toStdString(), std::string(e.text)) << e.control << (e.caption ? " caption" : " hint");
  }
}

class Captions : public ShellTest {};

TEST_F(Captions, EachLanguageChosenAtTheFirstRun) {
  const std::vector<Expected>* expected[] = {&kFrenchTexts, &kEnglishTexts, &kPortugueseTexts, &kSpanishTexts};
  for (int language = 1; language <= 4; ++language) {
    SCOPED_TRACE(language);
    std::filesystem::remove(directory.file("VEKRANO.PAR"));
    desktop.choice = language;
    start();
    EXPECT_EQ(languages::languageNumber(), language);
    expectTexts(*window, *expected[language - 1]);
    expectTexts(*window, kLanguageGroupTexts);
    stop();
  }
}

TEST_F(Captions, AppliedAgainWhenTheLanguageIsApplied) {
  desktop.choice = 2;
  TFprincip& w = start();
  expectTexts(w, kEnglishTexts);
  w.findChild<QRadioButton*>("lportugais")->setChecked(true);
  w.findChild<QAbstractButton*>("btappliquer")->click();
  expectTexts(w, kPortugueseTexts);
  w.findChild<QRadioButton*>("lfrancais")->setChecked(true);
  w.btappliquerClick();
  expectTexts(w, kFrenchTexts);
}

}  // namespace
}  // namespace vekrano::app::testing
