#include "frame/Uoptions.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/Placement.h"
#include "platform/Modal.h"

TFOptions* FOptions = nullptr;

namespace {

// One line of a group box: a check box at left 7 and its two-line label at left 23.
QCheckBox* addSwitch(QGroupBox* group, const char* boxName, const char* labelName, int top,
                     QLabel** label) {
    auto* box = new QCheckBox(group);
    box->setObjectName(QString::fromLatin1(boxName));
    box->setGeometry(7, top + 6, 14, 16);
    *label = new QLabel(group);
    (*label)->setObjectName(QString::fromLatin1(labelName));
    (*label)->setTextFormat(Qt::PlainText);
    (*label)->move(23, top);
    return box;
}

void setLabel(QLabel* label, const char* text) {
    label->setText(QString::fromUtf8(text));
    label->adjustSize();
}

// Gives the labels one smaller font when the desktop's font is too wide for their group boxes.
void fitLabels(std::initializer_list<QLabel*> labels) {
    auto tooWide = [&labels] {
        for (QLabel* label : labels)
            if (label->width() > label->parentWidget()->width() - label->x() - 4) return true;
        return false;
    };
    QFont font = (*labels.begin())->font();
    while (tooWide() && font.pointSizeF() > 6) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        for (QLabel* label : labels) {
            label->setFont(font);
            label->adjustSize();
        }
    }
}

}  // namespace

TFOptions::TFOptions(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FOptions"));
    setWindowTitle(QStringLiteral("Affichage des messages d'alerte"));
    UseProgramFont(this);

    Image = PlaceWidget<QLabel>(this, "Image", QRect(0, 0, 381, 282));

    GbxRecette = PlaceGroup(this, "GbxRecette", QStringLiteral("Recettes de cuisine"), QRect(8, 11, 364, 53));
    ChbxRecettes = addSwitch(GbxRecette, "ChbxRecettes", "LblRecettes", 18, &LblRecettes);

    GbxConsoJournaliere = PlaceGroup(this, "GbxConsoJournaliere", QString::fromUtf8("Consommation journalière"),
                                     QRect(8, 75, 364, 156));
    ChbxConsoJournaliere =
        addSwitch(GbxConsoJournaliere, "ChbxConsoJournaliere", "LblConsoJournaliere", 18, &LblConsoJournaliere);
    ChbxCalSupObjectif =
        addSwitch(GbxConsoJournaliere, "ChbxCalSupObjectif", "LblCalSupObjectif", 52, &LblCalSupObjectif);
    ChbxObjectifPasBon =
        addSwitch(GbxConsoJournaliere, "ChbxObjectifPasBon", "LblObjectifPasBon", 86, &LblObjectifPasBon);
    ChbxGlucidesPasBon =
        addSwitch(GbxConsoJournaliere, "ChbxGlucidesPasBon", "LblGlucidesPasBon", 120, &LblGlucidesPasBon);

    BtnOk = new QPushButton(QStringLiteral("Ok"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    QFont bold = font();
    bold.setBold(true);
    BtnOk->setFont(bold);
    BtnOk->setGeometry(153, 245, 75, 25);

    // Like a click, a change made from code stores the box's state.
    connect(ChbxRecettes, &QCheckBox::toggled, this, &TFOptions::ChbxRecettesClick);
    connect(ChbxConsoJournaliere, &QCheckBox::toggled, this, &TFOptions::ChbxConsoJournaliereClick);
    connect(ChbxCalSupObjectif, &QCheckBox::toggled, this, &TFOptions::ChbxCalSupObjectifClick);
    connect(ChbxObjectifPasBon, &QCheckBox::toggled, this, &TFOptions::ChbxObjectifPasBonClick);
    connect(ChbxGlucidesPasBon, &QCheckBox::toggled, this, &TFOptions::ChbxGlucidesPasBonClick);
    connect(BtnOk, &QPushButton::clicked, this, &TFOptions::BtnOkClick);

    setFixedSize(381, 282);
    FormCreate();
}

void TFOptions::FormCreate() {
    UseDialogFrame(this);
    setLabel(LblRecettes, "Afficher le message d'information sur l'utilisation du module\n'Recettes de cuisine'.");
    setLabel(LblConsoJournaliere,
             "Afficher le message d'information sur l'utilisation du module\n'Consommation journalière'.");
    setLabel(LblCalSupObjectif,
             "Afficher le message d'alerte quand le total des calories est supérieur à\nl'objectif calorique.");
    setLabel(LblObjectifPasBon,
             "Afficher le message d'alerte quand l'objectif calorique est inférieur aux\n"
             "besoins journaliers dans des proportions déconseillées.");
    setLabel(LblGlucidesPasBon,
             "Afficher le message d'alerte quand le taux de glucides est inférieur au\nminimum recommandé.");
    fitLabels({LblRecettes, LblConsoJournaliere, LblCalSupObjectif, LblObjectifPasBon, LblGlucidesPasBon});
}

void TFOptions::FormActivate() { Modified = 0; }

void TFOptions::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TFOptions::store(QCheckBox* box, uint8_t& switchByte) {
    switchByte = box->isChecked() ? 1 : 0;
    Modified = 1;
}

void TFOptions::ChbxRecettesClick() { store(ChbxRecettes, SwitchRecipeInfo); }
void TFOptions::ChbxConsoJournaliereClick() { store(ChbxConsoJournaliere, SwitchConsumptionInfo); }
void TFOptions::ChbxCalSupObjectifClick() { store(ChbxCalSupObjectif, SwitchCaloriesAboveObjective); }
void TFOptions::ChbxObjectifPasBonClick() { store(ChbxObjectifPasBon, SwitchObjectiveBelowNeeds); }
void TFOptions::ChbxGlucidesPasBonClick() { store(ChbxGlucidesPasBon, SwitchCarbsBelowMinimum); }

void TFOptions::BtnOkClick() { accept(); }

void RunOptionsExchange() {
    if (!FOptions) FOptions = new TFOptions();
    TFOptions* dialog = FOptions;
    AppState& st = appState();
    // Each box in turn takes its switch; a box that changes state stores it through its handler.
    const struct {
        uint8_t& setting;
        uint8_t& copy;
        QCheckBox* box;
    } switches[] = {
        {st.SwitchRecipeInfo, dialog->SwitchRecipeInfo, dialog->ChbxRecettes},
        {st.SwitchConsumptionInfo, dialog->SwitchConsumptionInfo, dialog->ChbxConsoJournaliere},
        {st.SwitchCaloriesAboveObjective, dialog->SwitchCaloriesAboveObjective, dialog->ChbxCalSupObjectif},
        {st.SwitchCarbsBelowMinimum, dialog->SwitchCarbsBelowMinimum, dialog->ChbxGlucidesPasBon},
        {st.SwitchObjectiveBelowNeeds, dialog->SwitchObjectiveBelowNeeds, dialog->ChbxObjectifPasBon},
    };
    for (const auto& s : switches) {
        s.copy = s.setting;
        s.box->setChecked(s.copy != 0);
    }
    placeOverFrame(dialog, 14);
    modal::exec(dialog);  // showing it clears Modified
    if (dialog->Modified == 0) return;
    st.OptionsDirty = dialog->Modified;
    st.SwitchReserved = dialog->SwitchReserved;
    for (const auto& s : switches) s.setting = s.copy;
}
