#include "reference/Ueditionaliments.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QValidator>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/NameColumn.h"
#include "data/TypedNumber.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/TextHelpers.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"
#include "reference/NameRules.h"
#include "reference/EditorFoodTables.h"

TFEditionAliments* FEditionAliments = nullptr;

namespace {

constexpr int kHelpContext = 40;

const QString kBlank = QStringLiteral("        ");

// Per-gram columns and the calculated per-100 g fields, in the order of the four edits.
const char* const kPerGram[] = {"CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme"};
const char* const kPer100g[] = {"Calories100Grammes", "Lipides100Grammes", "Protides100Grammes", "Glucides100Grammes"};

QString notFilledText() { return kBlank + QStringLiteral("L'un au moins des champs n'a pas été renseigné."); }

// Typing in a per-100 g edit: a number in the user's locale ("12," on the way to "12,5"), or
// nothing; anything else typed is refused on the spot.
class Per100gValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return input.isEmpty() || ParseNonNegativeNumber(input) ? Acceptable : Invalid;
    }
};

}  // namespace

QString Per100gText(const QVariant& perGram) {
    // No thousands separator: the text is read back when the food is saved.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(dbvalue::toDouble(perGram) * 100.0, 'g', 15);
}

bool MacrosExceed100g(double lipids, double proteins, double carbs) {
    // 33,3 + 33,3 + 33,4 adds up to a hair over 100 in binary.
    return lipids + proteins + carbs > 100.0 + 1e-9;
}

TFEditionAliments::TFEditionAliments(QWidget* parent) : EditorWindow(parent) {
    setObjectName(QStringLiteral("FEditionAliments"));
    FEditionAliments = this;
    buildControls();
    FormCreate();
    OnModuleActivation(this, [this] { FormActivate(); });
}

TFEditionAliments::~TFEditionAliments() {
    if (FEditionAliments == this) FEditionAliments = nullptr;
    if (FoodEditorFoodTable == &TAliments) {
        FoodEditorFoodTable = nullptr;
        FoodEditorSettlePending = nullptr;
    }
}

void TFEditionAliments::buildControls() {
    setWindowTitle(QStringLiteral("Gestion des aliments"));
    setProperty("HelpContext", kHelpContext);
    UseProgramFont(this);

    CboxCatAliments = PlaceWidget<QComboBox>(this, "CboxCatAliments", {8, 8, 200, 21});
    LblRecherche = PlaceLabel(this, "LblRecherche", QStringLiteral("Rechercher"), QRect(8, 37, 0, 0));
    EdtRecherche = PlaceEdit(this, "EdtRecherche", QRect(78, 34, 130, 21));
    LboxAliments = PlaceWidget<QListWidget>(this, "LboxAliments", {8, 60, 200, 212});

    LblNomAliment = PlaceLabel(this, "LblNomAliment", QStringLiteral("Nom de l'aliment"), QRect(218, 8, 0, 0));
    DBEdtNomAliment = PlaceWidget<DbLineEdit>(this, "DBEdtNomAliment", {218, 24, 214, 21});
    DBEdtNomAliment->setField(&TAliments, FoodNameColumn);

    GbxValeurs = PlaceGroup(this, "GbxValeurs", QStringLiteral("Valeurs nutritives pour 100 grammes"), {218, 52, 214, 132});
    const struct {
        const char* label;
        const char* labelName;
        const char* editName;
        QLabel** l;
        QLineEdit** e;
    } values[] = {
        {"Calories (kcal)", "LblCalories", "EdtCalories", &LblCalories, &EdtCalories},
        {"Lipides (g)", "LblLipides", "EdtLipides", &LblLipides, &EdtLipides},
        {"Protides (g)", "LblProtides", "EdtProtides", &LblProtides, &EdtProtides},
        {"Glucides (g)", "LblGlucides", "EdtGlucides", &LblGlucides, &EdtGlucides},
    };
    int y = 24;
    for (const auto& v : values) {
        *v.l = PlaceLabel(GbxValeurs, v.labelName, QString::fromUtf8(v.label), QRect(10, y + 3, 0, 0));
        QLineEdit* edit = PlaceEdit(GbxValeurs, v.editName, QRect(120, y, 84, 21));
        edit->setValidator(new Per100gValidator(edit));
        // A number typed by the user is a change of the food (an emptied edit is not, yet).
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
            if (ParseNonNegativeNumber(text)) FoodModified = true;
        });
        *v.e = edit;
        y += 26;
    }

    LblPoidsMoyen = PlaceLabel(this, "LblPoidsMoyen", QStringLiteral("Poids moyen (g)"), QRect(228, 197, 0, 0));
    DBEdtPoidsMoyen = PlaceWidget<DbLineEdit>(this, "DBEdtPoidsMoyen", {338, 194, 84, 21});
    DBEdtPoidsMoyen->setField(&TAliments, QStringLiteral("PoidsMoyen"));
    DBChboxUsuel = PlaceWidget<DbCheckBox>(this, "DBChboxUsuel", {218, 226, 214, 20});
    DBChboxUsuel->setText(QStringLiteral("Aliment d'usage courant"));
    DBChboxUsuel->setValues(QStringLiteral("Vrai"), QStringLiteral("Faux"));
    DBChboxUsuel->setField(&TAliments, QStringLiteral("Usuel"));

    BtnNouveau = PlaceButton(this, "BtnNouveau", QStringLiteral("Nouveau"), QRect(8, 282, 100, 25));
    BtnEnregistrer = PlaceButton(this, "BtnEnregistrer", QStringLiteral("Enregistrer"), QRect(116, 282, 100, 25));
    BtnSupprimer = PlaceButton(this, "BtnSupprimer", QStringLiteral("Supprimer"), QRect(224, 282, 100, 25));
    BtnQuitter = PlaceButton(this, "BtnQuitter", QStringLiteral("Quitter"), QRect(332, 282, 100, 25));

    DBEdtPoidsMoyen->setCaption(LblPoidsMoyen->text());
    DBEdtPoidsMoyen->setNumberRule(NumberRules::Grams);
    for (DbLineEdit* edit : {DBEdtNomAliment, DBEdtPoidsMoyen})
        connect(edit, &QLineEdit::textEdited, this, [this] {
            FoodModified = true;
            // Typing with no food shown (an empty table) started a new one.
            if (TAliments.state() == Table::State::Insert) NewFood = true;
        });
    connect(DBChboxUsuel, &QCheckBox::clicked, this, [this] { DBChboxUsuelClick(); });
    connect(CboxCatAliments, &QComboBox::activated, this, [this] { CboxCatAlimentsClick(); });
    connect(EdtRecherche, &QLineEdit::textChanged, this, [this] { EdtRechercheChange(); });
    connect(EdtRecherche, &QLineEdit::editingFinished, this, [this] { EdtRechercheExit(); });
    OnListPick(LboxAliments, [this] { LboxAlimentsClick(); });
    connect(BtnNouveau, &QPushButton::clicked, this, [this] { BtnNouveauClick(); });
    connect(BtnEnregistrer, &QPushButton::clicked, this, [this] { BtnEnregistrerClick(); });
    connect(BtnSupprimer, &QPushButton::clicked, this, [this] { BtnSupprimerClick(); });
    connect(BtnQuitter, &QPushButton::clicked, this, [this] { BtnQuitterClick(); });
}

void TFEditionAliments::FormCreate() {
    InCreate = true;
    resize(440, 316);   // a 448 x 350 window with its frame
    for (const char* field : kPer100g) TAliments.addCalculatedField(QString::fromLatin1(field));
    TAliments.onCalcFields = [this](Table&) { TAlimentsCalcFields(); };
    // Closed by the recipe editor: the values of a food no longer shown go too.
    connect(&TAliments, &Table::dataReset, this, [this] {
        if (!TAliments.isActive())
            for (QLineEdit* edit : per100gEdits()) edit->clear();
    });
    FoodEditorFoodTable = &TAliments;
    FoodEditorSettlePending = [this] { return SaveBeforeClosing(); };
    InCreate = false;
    setFixedSize(size());
    FoodEditorActivated = false;
}

QList<QLineEdit*> TFEditionAliments::per100gEdits() const { return {EdtCalories, EdtLipides, EdtProtides, EdtGlucides}; }

void TFEditionAliments::TAlimentsCalcFields() {
    for (int i = 0; i < 4; ++i)
        TAliments.setValue(QString::fromLatin1(kPer100g[i]), TAliments.asDouble(QString::fromLatin1(kPerGram[i])) * 100.0);
    // While a food is being changed or created, the edits hold what the user types.
    if (!TAliments.isEditing()) setPer100gEdits();
}

void TFEditionAliments::setPer100gEdits() {
    const QList<QLineEdit*> edits = per100gEdits();
    for (int i = 0; i < 4; ++i) {
        const QVariant perGram = TAliments.isActive() && TAliments.recNo() >= 0
                                     ? TAliments.value(QString::fromLatin1(kPerGram[i]))
                                     : QVariant();
        edits[i]->setText(Per100gText(perGram));
    }
}

void TFEditionAliments::FormActivate() {
    // The recipe editor may have closed the food table (after settling the pending changes):
    // it is opened again on the food the list shows.
    if (!TAliments.isActive()) {
        NewFood = FoodModified = SaveRequested = false;
        reopenFoodTable();
    }
    TCatAliments.open();
    if (FoodEditorActivated) return;
    chooseNameColumn();
    fillCategories();
    fillFoodList();
    showFood(LboxAliments->count() > 0 ? 0 : -1);
    FoodEditorActivated = true;
}

void TFEditionAliments::reopenFoodTable() {
    TAliments.open();
    if (QListWidgetItem* item = LboxAliments->currentItem(); item && item->isSelected()) locateFood(item->text());
}

void TFEditionAliments::chooseNameColumn() {
    const QStringList columns = NameColumnNames(QStringLiteral("NomAliment"));
    Query.setSql(QStringLiteral("SELECT %1 FROM t_aliments WHERE IdAliment = 1;").arg(columns.join(QStringLiteral(", "))));
    Query.open();
    QStringList names;
    if (!Query.isEmpty())
        for (int i = 0; i < 5; ++i) names << Query.asString(i);
    Query.close();
    const int chosen = ChooseNameColumn(names, appState().LanguageCode);
    if (chosen >= 0) FoodNameColumn = columns[chosen];
    DBEdtNomAliment->setField(&TAliments, FoodNameColumn);
}

void TFEditionAliments::fillCategories() {
    QStringList names;
    for (TCatAliments.first(); !TCatAliments.eof(); TCatAliments.next()) names << TCatAliments.asString(1);
    names = FillSorted(CboxCatAliments, names);
    if (names.isEmpty()) return;
    const QSignalBlocker quiet(CboxCatAliments);
    CboxCatAliments->setCurrentIndex(0);
    TCatAliments.locate(QStringLiteral("NomCategorieFrancais"), names.first(), {.caseInsensitive = true});
    CurrentFoodCategory = TCatAliments.asInt(0);
}

// The foods of the category shown, id and name, in the table's order: the names alone are
// read, not the foods' rows.
static std::vector<std::pair<QVariant, QString>> FoodNamesOfCategory(const QString& nameColumn, int category) {
    ::Query q(QStringLiteral("SELECT IdAliment, %1 FROM t_aliments WHERE IdCatAliment = ? ORDER BY IdAliment").arg(nameColumn),
              {category});
    q.open();
    std::vector<std::pair<QVariant, QString>> foods;
    foods.reserve(size_t(q.recordCount()));
    for (int row = 0; row < q.recordCount(); ++row) foods.emplace_back(q.cell(row, 0), dbvalue::toText(q.cell(row, 1)));
    return foods;
}

void TFEditionAliments::fillFoodList() {
    QStringList names;
    for (const auto& food : FoodNamesOfCategory(FoodNameColumn, CurrentFoodCategory)) names << food.second;
    FillSorted(LboxAliments, names);
}

bool TFEditionAliments::locateFood(const QString& name) {
    // The food of the category shown first, should another category hold the same name.
    for (const auto& food : FoodNamesOfCategory(FoodNameColumn, CurrentFoodCategory))
        if (food.second.compare(name, Qt::CaseInsensitive) == 0 && TAliments.findKey(food.first)) return true;
    return TAliments.locate(FoodNameColumn, name, {.caseInsensitive = true});
}

void TFEditionAliments::showFood(int row) {
    SelectListRow(LboxAliments, row);
    if (row >= 0) locateFood(LboxAliments->item(row)->text());
}

void TFEditionAliments::DBChboxUsuelClick() {
    const QVariant stored = Query::scalar(QStringLiteral("SELECT Usuel FROM t_aliments WHERE IdAliment = ?;"),
                                          {TAliments.value(QStringLiteral("IdAliment"))});
    if (dbvalue::toBool(stored) != DBChboxUsuel->isChecked()) FoodModified = true;
}

QString TFEditionAliments::storedName(const QVariant& id) {
    return Query::scalar(QStringLiteral("SELECT %1 FROM t_aliments WHERE IdAliment = ?;").arg(FoodNameColumn), {id}).toString();
}

bool TFEditionAliments::nameTaken(const QString& name, const QVariant& exceptId) {
    // Compared as the searches compare names: accents and letter case aside.
    QString sql = QStringLiteral("SELECT COUNT(*) FROM t_aliments WHERE FoldAccents(%1) = FoldAccents(?)").arg(FoodNameColumn);
    if (!exceptId.isNull()) sql += QStringLiteral(" AND IdAliment <> ?");
    Query.setSql(sql);
    Query.addBindValue(name);
    if (!exceptId.isNull()) Query.addBindValue(exceptId);
    Query.open();
    const bool taken = Query.asInt(0) > 0;
    Query.close();
    return taken;
}

std::optional<QString> TFEditionAliments::storeFood(const QString& mode, bool& dropTyping) {
    const QString tail = RefusalTail(mode);
    double values[4];
    const QList<QLineEdit*> edits = per100gEdits();
    const QList<QLabel*> labels = {LblCalories, LblLipides, LblProtides, LblGlucides};
    for (int i = 0; i < 4; ++i) {
        if (edits[i]->text().trimmed().isEmpty()) return notFilledText() + tail;
        QString refusal;
        const std::optional<double> v = CheckTypedNumber(
            labels[i]->text(), edits[i]->text(), i == 0 ? NumberRules::CaloriesPer100g : NumberRules::NutrientPer100g,
            &refusal);
        if (!v) return refusal + tail;
        values[i] = *v;
    }
    if (MacrosExceed100g(values[1], values[2], values[3]))
        return kBlank + QStringLiteral("Les quantités cumulées en grammes des lipides, protides et\n") + kBlank +
               QStringLiteral("glucides dépassent 100 grammes.");
    if (!NewFood && !TAliments.asBool(QStringLiteral("DroitsModifUtilisateur"))) {
        ShowMessageBox(kBlank + QStringLiteral("Vous ne pouvez pas modifier cet aliment !\n") + kBlank +
                           QStringLiteral("Vous pouvez uniquement modifier les aliments que vous avez créés !"),
                       QStringLiteral("Modification impossible"), 48, nullptr, false);
        dropTyping = true;   // nothing the user could correct
        return QString();
    }
    // A piece weight is optional; one that is given is a weight (the measures turn pieces into
    // grams with it).
    if (const QString piece = DBEdtPoidsMoyen->text(); !piece.trimmed().isEmpty()) {
        QString refusal;
        if (!CheckTypedNumber(LblPoidsMoyen->text(), piece, NumberRules::Grams, &refusal)) return refusal + tail;
    }
    const EditorName typed = CheckEditorName(DBEdtNomAliment->text());
    if (!typed.refusal.isEmpty()) return typed.refusal + tail;
    const QString& name = typed.name;
    if (name.isEmpty()) return notFilledText() + tail;
    const QVariant id = NewFood ? QVariant() : TAliments.value(QStringLiteral("IdAliment"));
    const QString oldName = NewFood ? QString() : storedName(id);
    // Two foods of one name would send the list's later choices to the wrong one.
    const bool renamed = !NewFood && name != oldName;
    if ((NewFood || renamed) && nameTaken(name, id))
        return kBlank + QStringLiteral("Cet aliment existe déjà.") + tail;
    if (name != DBEdtNomAliment->text()) DBEdtNomAliment->setText(name);

    TAliments.edit();
    TAliments.setValue(FoodNameColumn, name);
    // The other languages show the food too: a new name fills their empty name columns, a
    // rename reaches those that still held the old name.
    for (const QString& column : NameColumnNames(QStringLiteral("NomAliment"))) {
        const QString other = TAliments.asString(column);
        if (column != FoodNameColumn && (other.trimmed().isEmpty() || (!NewFood && other == oldName)))
            TAliments.setValue(column, name);
    }
    for (int i = 0; i < 4; ++i) TAliments.setValue(QString::fromLatin1(kPerGram[i]), 0.01 * values[i]);
    if (NewFood) {
        const QVariant max = Query::scalar(QStringLiteral("SELECT MAX(IdAliment) FROM t_aliments;"));
        TAliments.setValue(QStringLiteral("IdAliment"), dbvalue::toInt(max) + 1);
        TAliments.setValue(QStringLiteral("IdCatAliment"), CurrentFoodCategory);
        if (TAliments.isNull(QStringLiteral("Usuel"))) TAliments.setValue(QStringLiteral("Usuel"), 0);
        TAliments.post();
        fillFoodList();
    } else {
        TAliments.post();
        const int old = FindListItem(LboxAliments, oldName);
        const bool wasSelected = old >= 0 && LboxAliments->currentRow() == old;
        RemoveListItem(LboxAliments, old);
        const int row = InsertSortedItem(LboxAliments, TAliments.asString(FoodNameColumn));
        if (wasSelected) SelectListRow(LboxAliments, row);
    }
    return std::nullopt;
}

bool TFEditionAliments::SaveFoodChanges() { return saveFoodChanges(false); }

bool TFEditionAliments::SaveBeforeClosing() {
    // A change refused for good (a shipped food) is dropped and does not hold the window.
    SaveFoodChanges();
    return !NewFood && !FoodModified;
}

bool TFEditionAliments::saveFoodChanges(bool leaving) {
    if (!NewFood && !FoodModified) return true;
    const QString mode = SaveMode(NewFood);
    bool result = true;
    bool keepTyping = false;
    if (!AskSaveQuestion(mode, QStringLiteral(" de cet aliment ?"))) {
        TAliments.cancel();
        setPer100gEdits();
    } else {
        bool dropTyping = false;
        bool failedWrite = false;
        std::optional<QString> refusal;
        try {
            refusal = storeFood(mode, dropTyping);
        } catch (const DatabaseError& e) {
            // A write that failed (a full disk, another program holding the database): nothing
            // was wrong with the typing, which stays for a retry even when leaving.
            ReportSaveRefusal(e, notFilledText() + RefusalTail(mode));
            refusal = QString();
            failedWrite = true;
        }
        if (refusal) {
            if (!refusal->isEmpty()) ShowSaveError(*refusal);
            result = false;
            // Leaving for another food drops refused values; staying keeps them for correction.
            if ((leaving && !failedWrite) || dropTyping) {
                TAliments.cancel();
                setPer100gEdits();
            } else {
                keepTyping = true;
            }
        }
    }
    if (SaveRequested && !keepTyping) showFood(FindListItem(LboxAliments, TAliments.asString(FoodNameColumn)));
    if (!keepTyping) NewFood = FoodModified = false;
    SaveRequested = false;
    return result;
}

void TFEditionAliments::LboxAlimentsClick() {
    QListWidgetItem* item = LboxAliments->currentItem();
    if (!item) return;
    const QString clicked = item->text();
    if (!saveFoodChanges(true) && typingKept()) {
        SelectListRow(LboxAliments, FindListItem(LboxAliments, storedName(TAliments.value(QStringLiteral("IdAliment")))));
        return;
    }
    // Saving may have rebuilt the list: the clicked food is found again by its name.
    const int row = FindListItem(LboxAliments, clicked);
    if (row >= 0)
        showFood(row);
    else
        SelectListRow(LboxAliments, FindListItem(LboxAliments, TAliments.asString(FoodNameColumn)));
}

void TFEditionAliments::CboxCatAlimentsClick() {
    TCatAliments.locate(QStringLiteral("NomCategorieFrancais"), CboxCatAliments->currentText(), {.caseInsensitive = true});
    if (!TCatAliments.isEmpty()) CurrentFoodCategory = TCatAliments.asInt(0);
    // A new food is filed under the category chosen when it is saved.
    if (NewFood) return;
    if (!saveFoodChanges(true) && typingKept()) return;
    fillFoodList();
    showFood(LboxAliments->count() > 0 ? 0 : -1);
}

void TFEditionAliments::EdtRechercheChange() {
    if (!saveFoodChanges(true) && typingKept()) return;
    SelectListRow(LboxAliments, -1);
    const int found = FindItemByPrefix(ListItems(LboxAliments), EdtRecherche->text());
    if (found >= 0) showFood(found);
}

void TFEditionAliments::EdtRechercheExit() {
    if (LboxAliments->selectedItems().isEmpty() && LboxAliments->count() > 0) SelectListRow(LboxAliments, 0);
}

void TFEditionAliments::BtnNouveauClick() {
    try {
        if (!SaveFoodChanges()) return;
        NewFood = true;
        TAliments.append();
        for (QLineEdit* edit : per100gEdits()) edit->clear();
        FocusAfterModal(DBEdtNomAliment);
    } catch (const DatabaseError&) {
    }
}

void TFEditionAliments::BtnEnregistrerClick() {
    SaveRequested = true;
    SaveFoodChanges();
}

void TFEditionAliments::BtnSupprimerClick() {
    const QString caption = QStringLiteral("Suppression impossible");
    if (!NewFood && TAliments.recNo() >= 0 && !TAliments.asBool(QStringLiteral("DroitsModifUtilisateur"))) {
        ShowMessageBox(kBlank + QStringLiteral("Vous ne pouvez pas supprimer cet aliment !\n") + kBlank +
                           QStringLiteral("Vous pouvez uniquement supprimer les aliments que vous avez\n") + kBlank +
                           QStringLiteral("créés !"),
                       caption, 48, nullptr, false);
        return;
    }
    if (ShowMessageBox(kBlank + QStringLiteral("Voulez-vous vraiment supprimer cet aliment ?"),
                       QStringLiteral("Suppression d'un aliment"), 36, nullptr, false) != 6)
        return;
    if (NewFood) {
        // A food not saved yet is simply dropped.
        TAliments.cancel();
        setPer100gEdits();
        NewFood = FoodModified = false;
        return;
    }
    if (TAliments.recNo() < 0) return;
    const QString name = storedName(TAliments.value(QStringLiteral("IdAliment")));
    try {
        TAliments.remove();
    } catch (const DatabaseError& e) {
        // The recipes that use the food hold it (the database refuses); any other failure
        // says what it is.
        if (DatabaseFailureKind(e) != DatabaseFailure::Constraint) {
            ShowMessageBox(DatabaseFailureText(e), caption, 48, nullptr, false);
            return;
        }
        ShowMessageBox(kBlank + QStringLiteral("Cet aliment est utilisé dans une ou plusieurs recettes, vous\n") + kBlank +
                           QStringLiteral("devez d'abord le retirer de ces recettes avant de le supprimer\n") + kBlank +
                           QStringLiteral("réellement !"),
                       caption, 48, nullptr, false);
        return;
    }
    FoodModified = false;
    RemoveListItem(LboxAliments, FindListItem(LboxAliments, name));
    showFood(LboxAliments->count() > 0 ? 0 : -1);
}

void TFEditionAliments::FormClose() {
    TAliments.close();
    TCatAliments.close();
    if (FoodEditorFoodTable == &TAliments) {
        FoodEditorFoodTable = nullptr;
        FoodEditorSettlePending = nullptr;
    }
}

void TFEditionAliments::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, kHelpContext); }

QWidget* CreateEditionAliments() { return ShowActiveModuleWindow(new TFEditionAliments()); }
