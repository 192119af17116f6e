#pragma once
// "Recettes de cuisine": the recipe search. Optional criteria (beginning of the recipe's or of an
// ingredient's name, preparation time, theme, everyday ingredients only, bounds on the values per
// 100 g) compose one statement (RecipeSearch.h); the names found fill a sorted list, and the
// chosen recipe prints for a number of servings on the recipe sheet (Uqraffirecette.h).
// A module window of the frame, created on demand and freed when closed.
#include <QString>
#include <QVariant>
#include <QWidget>
#include <optional>

#include "data/DataWatch.h"
#include "data/Query.h"
#include "reference/RecipeSearch.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

class TFRecettes : public QWidget {
    Q_OBJECT
public:
    explicit TFRecettes(QWidget* parent = nullptr);
    ~TFRecettes() override;

    // Components
    QGroupBox* GbxCriteres = nullptr;
    QRadioButton* RBtnRecettes = nullptr;
    QRadioButton* RBtnIngredient = nullptr;
    QLabel* LblDebutNom = nullptr;
    QLineEdit* EdtDebutNom = nullptr;
    QLabel* LblDureePreparation = nullptr;
    QComboBox* CBoxSuppInfDuree = nullptr;
    QLineEdit* EdtDureePreparation = nullptr;
    QLabel* LblCategories = nullptr;
    QComboBox* CboxCategories = nullptr;
    QCheckBox* ChBoxIngredientsCourant = nullptr;
    QLabel* LblCalories = nullptr;
    QComboBox* CBoxSuppInfCalories = nullptr;
    QLineEdit* EdtCalories = nullptr;
    QLabel* LblLipides = nullptr;
    QComboBox* CBoxSuppInfLipides = nullptr;
    QLineEdit* EdtLipides = nullptr;
    QLabel* LblProtides = nullptr;
    QComboBox* CBoxSuppInfProtides = nullptr;
    QLineEdit* EdtProtides = nullptr;
    QLabel* LblGlucides = nullptr;
    QComboBox* CBoxSuppInfGlucides = nullptr;
    QLineEdit* EdtGlucides = nullptr;
    QGroupBox* GbxResultat = nullptr;
    QListWidget* LboxRecettes = nullptr;
    QPushButton* BtnAfficher = nullptr;
    QLabel* LblNbParts = nullptr;
    QComboBox* CBoxNbParts = nullptr;
    QPushButton* BtnRechercher = nullptr;
    QPushButton* BtnReinitialiser = nullptr;
    QPushButton* BtnQuitter = nullptr;

    // The window's scratch statement.
    ::Query Query;

    // Unit state: the columns of the interface language, chosen at every activation.
    QString FoodNameColumn = QStringLiteral("NomAlimentFrancais");
    QString RecipeNameColumn = QStringLiteral("NomRecetteFrancais");
    QString RecipeDescColumn = QStringLiteral("DescRecetteFrancais");
    QString CategoryNameColumn = QStringLiteral("NomCategorieFrancais");
    bool InCreate = false;

    // Handlers
    void FormCreate();
    void FormActivate();
    void FormClose();
    bool FormCanResize() const { return InCreate; }
    void FormHelp();
    void BtnRechercherClick();
    void BtnAfficherClick();   // also a double click in the list
    void LboxRecettesClick();
    void BtnReinitialiserClick();
    void BtnQuitterClick();

    // The criteria as the controls hold them.
    RecipeSearchCriteria Criteria() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void chooseNameColumns();
    // The name columns, the themes and the results of the last search read again, the theme and
    // the recipe chosen kept where they still are.
    void readLists();
    // Lists the recipes that `criteria` find (the recipe chosen stays chosen when found again);
    // false, with the list untouched, when the search is refused or the database refuses it.
    bool listResults(const RecipeSearchCriteria& criteria, bool sayRefusal);

    DataWatch watch_;
    int listedLanguage_ = -1;
    std::optional<RecipeSearchCriteria> lastSearch_;   // of the results listed
    QVariant chosenRecipeId_;                           // IdRecette of the recipe chosen in them
};

extern TFRecettes* FRecettes;

// Opens or raises the recipe search (menu item RechercheRecettes, start-up module 1).
QWidget* CreateRecettes();
