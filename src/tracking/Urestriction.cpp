#include "tracking/Urestriction.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <optional>

#include "data/TypedNumber.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"

TFRestriction* FRestriction = nullptr;

const char* const kRestrictedColumns[4] = {"CaloriesGramme", "LipidesGramme", "ProtidesGramme", "GlucidesGramme"};

namespace {

const char* const kMessages[8] = {
    "Erreur de saisie",
    "Valeur non valide pour",
    "le nombre de calories",
    "la quantité de lipides",
    "la quantité de protides",
    "la quantité de glucides",
    "        Vous devez sélectionner un comparateur",
    "        Saisie erronée !",
};
constexpr int kCaption = 0;
constexpr int kNegativeHead = 1;
constexpr int kFirstSubject = 2;
constexpr int kComparatorHead = 6;
constexpr int kBadText = 7;

// The shared values of each nutrient, in the order of RestrictionBounds.
constexpr int32_t AppState::* kOps[4] = {&AppState::RestrictionCaloriesOp, &AppState::RestrictionLipidsOp,
                                          &AppState::RestrictionProteinsOp, &AppState::RestrictionCarbsOp};
constexpr int32_t AppState::* kLimits[4] = {&AppState::RestrictionCaloriesLimit, &AppState::RestrictionLipidsLimit,
                                             &AppState::RestrictionProteinsLimit, &AppState::RestrictionCarbsLimit};

// A bound per 100 g: calories, then lipids, proteins and carbohydrates.
const NumberRule& boundRule(int nutrient) {
    return nutrient == 0 ? NumberRules::CaloriesPer100gBound : NumberRules::NutrientPer100gBound;
}

struct NutrientLine {
    const char* caption;
    const char* comparatorHint;
    const char* editHint;
};
const NutrientLine kLines[4] = {
    {"Valeur calorique (kcal)", "Sélection du comparateur pour la valeur calorique",
     "Saisie de la valeur calorique en kilocalories"},
    {"Quantité de lipides (g)", "Sélection du comparateur pour la quantité de lipides",
     "Saisie de la quantité de lipides en grammes"},
    {"Quantité de protides (g)", "Sélection du comparateur pour la quantité de protides",
     "Saisie de la quantité de protides en grammes"},
    {"Quantité de glucides (g)", "Sélection du comparateur pour la quantité de glucides",
     "Saisie de la quantité de glucides en grammes"},
};

// Why "OK" was refused: the message and the nutrient it is about.
struct Refusal {
    int code;   // 0 negative value, 1 value without comparator, 2 not a whole number
    int nutrient;
};

}  // namespace

RestrictionBounds CurrentRestrictionBounds(const AppState& st) {
    RestrictionBounds bounds;
    for (int i = 0; i < 4; ++i) bounds[i] = {st.*kOps[i], st.*kLimits[i]};
    return bounds;
}

void ClearRestrictionValues(AppState& st) {
    for (int i = 0; i < 4; ++i) st.*kOps[i] = st.*kLimits[i] = -1;
}

SqlClause RestrictionClause(const RestrictionBounds& bounds) {
    SqlClause clause;
    for (int i = 0; i < 4; ++i) {
        const RestrictionBound& b = bounds[i];
        if (b.limit == -1 || (b.op != 0 && b.op != 1)) continue;
        clause.text += QStringLiteral(" AND %1*100.0 %2 ?")
                           .arg(QLatin1String(kRestrictedColumns[i]), b.op == 0 ? QStringLiteral("<=") : QStringLiteral(">="));
        clause.values << b.limit;
    }
    return clause;
}

TFRestriction::TFRestriction(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FRestriction"));
    setWindowTitle(QStringLiteral("Limiter la liste des aliments"));
    UseProgramFont(this);

    RgpTypeAliments = PlaceGroup(this, "RgpTypeAliments", QString(), {8, 4, 341, 62});
    QFont bold = RgpTypeAliments->font();
    bold.setBold(true);
    RgpTypeAliments->setFont(bold);
    RbtnAlimentsEtRecettes = PlaceRadio(RgpTypeAliments, "RbtnAlimentsEtRecettes",
                                        QStringLiteral("Aliments simples et recettes"), {12, 12, 320, 20});
    RbtnAlimentsSimples = PlaceRadio(RgpTypeAliments, "RbtnAlimentsSimples",
                                     QStringLiteral("Uniquement les aliments simples "), {12, 34, 320, 20});

    GbxValeurNutritive = PlaceGroup(this, "GbxValeurNutritive", QStringLiteral("Valeur nutritive pour 100 grammes"),
                                    {8, 74, 341, 156});
    QComboBox** boxes[4] = {&CBoxSuppInfCalories, &CBoxSuppInfLipides, &CBoxSuppInfProtides, &CBoxSuppInfGlucides};
    QLineEdit** edits[4] = {&EdtCalories, &EdtLipides, &EdtProtides, &EdtGlucides};
    const char* boxNames[4] = {"CBoxSuppInfCalories", "CBoxSuppInfLipides", "CBoxSuppInfProtides", "CBoxSuppInfGlucides"};
    const char* editNames[4] = {"EdtCalories", "EdtLipides", "EdtProtides", "EdtGlucides"};
    for (int i = 0; i < 4; ++i) {
        const int y = 26 + 32 * i;
        PlaceLabel(GbxValeurNutritive, "", QString::fromUtf8(kLines[i].caption), {10, y + 3, 0, 0});
        auto* box = new QComboBox(GbxValeurNutritive);
        box->setObjectName(QString::fromLatin1(boxNames[i]));
        box->setGeometry(160, y, 96, 22);
        box->setToolTip(QString::fromUtf8(kLines[i].comparatorHint));
        *boxes[i] = box;
        PlaceLabel(GbxValeurNutritive, "", QStringLiteral("à"), {264, y + 3, 0, 0});
        QLineEdit* edit = PlaceEdit(GbxValeurNutritive, editNames[i], {278, y, 52, 22});
        edit->setToolTip(QString::fromUtf8(kLines[i].editHint));
        *edits[i] = edit;
    }
    BtnOK = PlaceButton(this, "BtnOK", QStringLiteral("OK"), {141, 242, 75, 25}, true);

    setTabOrder(CBoxSuppInfCalories, EdtCalories);
    setTabOrder(EdtCalories, CBoxSuppInfLipides);
    setTabOrder(CBoxSuppInfLipides, EdtLipides);
    setTabOrder(EdtLipides, CBoxSuppInfProtides);
    setTabOrder(CBoxSuppInfProtides, EdtProtides);
    setTabOrder(EdtProtides, CBoxSuppInfGlucides);
    setTabOrder(CBoxSuppInfGlucides, EdtGlucides);

    for (QRadioButton* item : {RbtnAlimentsEtRecettes, RbtnAlimentsSimples})
        connect(item, &QRadioButton::clicked, this, [this] { RgpTypeAlimentsClick(); });
    // A comparator counts as soon as it is chosen, by mouse, keyboard or wheel: the value is the
    // one the box would give when left.
    for (int i = 0; i < 4; ++i)
        connect(comparator(i), &QComboBox::currentIndexChanged, this, [this, i] { comparatorLeft(i); });
    connect(BtnOK, &QPushButton::clicked, this, [this] { BtnOKClick(); });
    FormCreate();
}

TFRestriction::~TFRestriction() {
    if (FRestriction == this) FRestriction = nullptr;
}

void TFRestriction::FormCreate() {
    MakeFixedDialog(this, 365, 314);
    for (int i = 0; i < 8; ++i) MessageTable[i] = QString::fromUtf8(kMessages[i]);
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker quiet(comparator(i));
        comparator(i)->addItems({QStringLiteral("Inférieur"), QStringLiteral("Supérieur")});
        comparator(i)->setCurrentIndex(-1);
    }
    RbtnAlimentsEtRecettes->setChecked(true);
}

QComboBox* TFRestriction::comparator(int nutrient) const {
    QComboBox* const boxes[4] = {CBoxSuppInfCalories, CBoxSuppInfLipides, CBoxSuppInfProtides, CBoxSuppInfGlucides};
    return boxes[nutrient];
}

QLineEdit* TFRestriction::boundEdit(int nutrient) const {
    QLineEdit* const edits[4] = {EdtCalories, EdtLipides, EdtProtides, EdtGlucides};
    return edits[nutrient];
}

int TFRestriction::foodTypeIndex() const { return RbtnAlimentsSimples->isChecked() ? 1 : 0; }

void TFRestriction::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormActivate();
}

void TFRestriction::FormActivate() {
    Modified = 0;
    appState().RestrictionFoodType = 0;
    RbtnAlimentsEtRecettes->setChecked(true);
    for (int i = 0; i < 4; ++i) {
        const QSignalBlocker quiet(comparator(i));
        comparator(i)->setCurrentIndex(-1);
        boundEdit(i)->setText(QString());   // also forgets that it was typed in (clear() would not)
    }
    CBoxSuppInfCalories->setFocus();
}

void TFRestriction::RgpTypeAlimentsClick() {
    appState().RestrictionFoodType = foodTypeIndex();
    Modified = 1;
}

void TFRestriction::comparatorLeft(int nutrient) {
    appState().*kOps[nutrient] = comparator(nutrient)->currentIndex();
    Modified = 1;
}

void TFRestriction::CBoxSuppInfCaloriesExit() { comparatorLeft(0); }
void TFRestriction::CBoxSuppInfLipidesExit() { comparatorLeft(1); }
void TFRestriction::CBoxSuppInfProtidesExit() { comparatorLeft(2); }
void TFRestriction::CBoxSuppInfGlucidesExit() { comparatorLeft(3); }

void TFRestriction::BtnOKClick() {
    AppState& st = appState();
    auto check = [&]() -> std::optional<Refusal> {
        for (int i = 0; i < 4; ++i) {
            // Only an edit typed in since the showing gives a value; a refused value is never
            // stored, so it cannot reach the list.
            if (boundEdit(i)->isModified()) {
                const std::optional<double> limit = ReadTypedNumber(boundEdit(i)->text());
                if (!limit || std::trunc(*limit) != *limit) return Refusal{2, i};
                if (!WithinRule(*limit, boundRule(i))) return Refusal{0, i};
                st.*kLimits[i] = int32_t(*limit);
            }
            if (st.*kLimits[i] != -1 && st.*kOps[i] == -1) return Refusal{1, i};
        }
        return std::nullopt;
    };
    const std::optional<Refusal> refused = check();
    if (!refused) {
        Modified = 1;
        done(QDialog::Accepted);
        return;
    }
    const QString& subject = MessageTable[kFirstSubject + refused->nutrient];
    QString text;
    if (refused->code == 0)
        text = MessageTable[kNegativeHead] + QStringLiteral(" ") + subject + QStringLiteral(" !");
    else if (refused->code == 1)
        text = MessageTable[kComparatorHead] + QStringLiteral(" pour une limitation\n        sur ") + subject +
               QStringLiteral(" !");
    else
        text = MessageTable[kBadText];
    if (refused->code != 1) text += QLatin1Char('\n') + NumberRangeHint(boundRule(refused->nutrient));
    ShowMessageBox(text, MessageTable[kCaption], 0x0C, &MessageSwitch, false);
}

void TFRestriction::reject() {
    Modified = 0;
    done(QDialog::Rejected);
}

// The dialog has no page of its own in the help: F1 opens the contents.
void TFRestriction::FormHelp() { OpenHelpPage(this, appState().HelpFilePath, QStringLiteral("index.html")); }

void TFRestriction::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        FormHelp();
        return;
    }
    QDialog::keyPressEvent(e);
}
