#include "frame/Ufastuces.h"

#include <QCheckBox>
#include <algorithm>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>

#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "frame/StringTable.h"
#include "frame/UVivanda.h"
#include "frame/Uapropos.h"
#include "frame/Umessages.h"
#include "frame/WebLinks.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"
#include "platform/RtfReader.h"
#include "reference/EditorFoodTables.h"

TFAstuces* FAstuces = nullptr;

namespace {

const FirstStepsModule kModules[kFirstStepsModules] = {
    {"Presentation_Vivanda.rtf", "Astuce_Vivanda_", 4, "Premiers pas avec Vivanda"},
    {"Presentation_module_rech_recettes.rtf", "Astuce_module_rech_recettes_", 4,
     "Premiers pas avec Vivanda - Module de recherche des recettes"},
    {"Presentation_module_gest_recettes.rtf", "Astuce_module_gest_recettes_", 6,
     "Premiers pas avec Vivanda - Module de gestion des recettes"},
    {"Presentation_module_gest_aliments.rtf", "Astuce_module_gest_aliments_", 4,
     "Premiers pas avec Vivanda - Module de gestion des aliments"},
    {"Presentation_module_gest_profils.rtf", "Astuce_module_gest_profils_", 3,
     "Premiers pas avec Vivanda - Module de gestion des utilisateurs"},
    {"Presentation_module_gest_conso.rtf", "Astuce_module_gest_conso_", 4,
     "Premiers pas avec Vivanda - Module de gestion des apports nutritionnels"},
};

// Help pages of the tips, by tip (rows 1 to 6) and module (columns 0 to 5); 0 = none.
const int kTipHelpContexts[6][kFirstStepsModules] = {
    {0, 0, 0, 0, 0, 0},
    {0, 140, 90, 40, 30, 0},
    {0, 140, 100, 40, 30, 170},
    {0, 140, 60, 40, 0, 150},
    {0, 0, 90, 0, 0, 0},
    {0, 0, 110, 0, 0, 0},
};

}  // namespace

const FirstStepsModule& FirstStepsModuleInfo(int module) {
    return kModules[qBound(0, module, kFirstStepsModules - 1)];
}

QString FirstStepsFile(int module, int tip) {
    const FirstStepsModule& m = FirstStepsModuleInfo(module);
    const QString name = tip <= 0 ? QString::fromLatin1(m.overview)
                                  : QString::fromLatin1(m.tipPrefix) + QString::number(tip) + QStringLiteral(".rtf");
    return QStringLiteral("Aide/") + name;
}

TipHelp TipHelpFor(int tip, int module) {
    TipHelp help;
    if (tip < 1 || tip > 6 || module < 0 || module >= kFirstStepsModules) return help;
    if (module == 0) {
        if (tip == 1) help.page = LoadString(90);
        if (tip == 3) help.page = MakerSiteAddress(QStringLiteral("Pages_fr/newsletter.html"));
        if (tip == 4) help.page = MakerSiteAddress(QStringLiteral("Pages_fr/Donnez_votre_avis_programmes.php?Prog=Vivanda"));
        return help;
    }
    help.helpContext = kTipHelpContexts[tip - 1][module];
    return help;
}

bool TipHelpEnabled(int tip, int module) {
    return (tip == 1 && module == 0) || (tip == 2 && module >= 1 && module <= 4) || tip >= 3;
}

QString MissingTextFileMessage(const QString& path, bool withFolder) {
    const QString name = withFolder ? QDir::toNativeSeparators(path)
                                    : QLatin1Char('"') + QFileInfo(path).fileName() + QLatin1Char('"');
    return QStringLiteral("Le fichier ") + name + QString::fromUtf8(" n'a pas été trouvé !\n") +
           QString::fromUtf8("Si ce fichier a été déplacé ou supprimé, réinstallez le logiciel pour pouvoir y "
                             "accéder de nouveau !");
}

TFAstuces::TFAstuces(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FAstuces"));
    setProperty("HelpContext", 20);
    UseProgramFont(this);
    setWindowTitle(QString::fromLatin1(kModules[0].caption));

    Image1 = PlaceWidget<QLabel>(this, "Image1", QRect(0, 0, 542, 446));
    RichEdit = PlaceWidget<QTextEdit>(this, "RichEdit", QRect(242, 14, 290, 379));
    RichEdit->setReadOnly(true);
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Panel = PlaceGroup(this, "Panel", QString::fromUtf8("Sélection du module"), QRect(12, 14, 220, 420));
    RbtnVivanda = PlaceRadio(Panel, "RbtnVivanda", QStringLiteral("Vivanda"), QRect(12, 18, 0, 0));
    RbtnRechRecette = PlaceRadio(Panel, "RbtnRechRecette", QString(), QRect(12, 48, 0, 0));
    RbtnGestRecette =
        PlaceRadio(Panel, "RbtnGestRecette", QStringLiteral("Gestion des recettes de cuisine"), QRect(12, 78, 0, 0));
    RbtnGestAlim = PlaceRadio(Panel, "RbtnGestAlim", QStringLiteral("Gestion des aliments"), QRect(12, 108, 0, 0));
    RbtnEnrProfil = PlaceRadio(Panel, "RbtnEnrProfil", QStringLiteral("Gestion des utilisateurs"), QRect(12, 138, 0, 0));
    RbtnGestApp = PlaceRadio(Panel, "RbtnGestApp", QString(), QRect(12, 168, 0, 0));
    LblRechRecette = PlaceLabel(Panel, "LblRechRecette", QString(), QRect(31, 44, 0, 0));
    LblGestApp = PlaceLabel(Panel, "LblGestApp", QString(), QRect(31, 164, 0, 0));
    BtnInfo = PlaceButton(Panel, "BtnInfo", QStringLiteral("Vue d'ensemble"), QRect(20, 254, 180, 25));
    BtnAstuces = PlaceButton(Panel, "BtnAstuces", QStringLiteral("Astuces"), QRect(20, 305, 180, 25));
    BtnDemarrer = PlaceButton(Panel, "BtnDemarrer", QString::fromUtf8("Lancer le module sélectionné"),
                              QRect(20, 356, 180, 25));
    Image2 = PlaceWidget<QLabel>(Panel, "Image2", QRect(94, 208, 32, 32));
    Image2->setPixmap(VivandaLogo());
    CbxSelModule = PlaceWidget<QCheckBox>(Panel, "CbxSelModule", QRect(14, 390, 16, 16));
    LblDemarrer = PlaceLabel(Panel, "LblDemarrer", QString(), QRect(32, 386, 0, 0));

    // The window is wide enough for its longest caption; the text pane takes the extra width.
    int longest = 0;
    for (const FirstStepsModule& m : kModules)
        longest = std::max(longest, CaptionWidth(QString::fromUtf8(m.caption), font()));
    const int extra = std::max(0, longest + kTitleBarRoom - 542);
    RichEdit->resize(290 + extra, 379);
    Image1->resize(542 + extra, 446);
    BtnPred = PlaceButton(this, "BtnPred", QString::fromUtf8("Astuce précédente"), QRect(242, 409, 120, 25));
    BtnAide = PlaceButton(this, "BtnAide", QStringLiteral("?"), QRect(375 + extra / 2, 409, 25, 25));
    BtnSuivant = PlaceButton(this, "BtnSuivant", QStringLiteral("Astuce suivante"), QRect(412 + extra, 409, 120, 25));

    // The module buttons run their handler on every click, also on the one already chosen;
    // a tick given from code runs it where the window says so.
    for (int m = 0; m < kFirstStepsModules; ++m)
        connect(moduleButton(m), &QRadioButton::clicked, this, [this, m] { moduleClicked(m); });
    connect(BtnInfo, &QPushButton::clicked, this, &TFAstuces::BtnInfoClick);
    connect(BtnAstuces, &QPushButton::clicked, this, &TFAstuces::BtnAstucesClick);
    connect(BtnDemarrer, &QPushButton::clicked, this, &TFAstuces::BtnDemarrerClick);
    connect(BtnPred, &QPushButton::clicked, this, &TFAstuces::BtnPredClick);
    connect(BtnAide, &QPushButton::clicked, this, &TFAstuces::BtnAideClick);
    connect(BtnSuivant, &QPushButton::clicked, this, &TFAstuces::BtnSuivantClick);
    // Ticking the box, by a click or from code, runs its handler; a box left as it was does not.
    connect(CbxSelModule, &QCheckBox::toggled, this, &TFAstuces::CbxSelModuleClick);
    // A click on a module's or the box's text counts as a click on it.
    for (QLabel* label : {LblRechRecette, LblGestApp, LblDemarrer}) label->installEventFilter(this);

    setFixedSize(542 + extra, 446);
    FormCreate();
}

TFAstuces::~TFAstuces() {
    if (FAstuces == this) FAstuces = nullptr;
}

void TFAstuces::FormCreate() {
    // Dialog border with its close box; no maximise box.
    UseDialogFrame(this);
    MessageTable[0] = QString::fromUtf8("Erreur sélection");
    MessageTable[1] = QString::fromUtf8("        Vous devez sélectionner un module pour afficher sa\n        présentation, "
                                        "ses astuces ou pour le démarrer !");
    MessageTable[4] = LoadString(173).left(200);
    MessageTable[5] = LoadString(174).left(200);
    LblRechRecette->setText(QStringLiteral("Recherche de recettes de\ncuisine"));
    LblGestApp->setText(QStringLiteral("Gestion de vos apports\nnutritionnels journaliers"));
    LblDemarrer->setText(QStringLiteral("Toujours démarrer Vivanda avec\nle module sélectionné"));
    for (QLabel* label : {LblRechRecette, LblGestApp, LblDemarrer}) label->adjustSize();
}

QRadioButton* TFAstuces::moduleButton(int module) const {
    QRadioButton* const buttons[] = {RbtnVivanda, RbtnRechRecette, RbtnGestRecette,
                                     RbtnGestAlim, RbtnEnrProfil, RbtnGestApp};
    return module >= 0 && module < kFirstStepsModules ? buttons[module] : nullptr;
}

void TFAstuces::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

bool TFAstuces::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        QAbstractButton* target = watched == LblRechRecette ? static_cast<QAbstractButton*>(RbtnRechRecette)
                                  : watched == LblGestApp   ? static_cast<QAbstractButton*>(RbtnGestApp)
                                  : watched == LblDemarrer  ? static_cast<QAbstractButton*>(CbxSelModule)
                                                            : nullptr;
        if (target && target->isEnabled()) target->click();
    }
    return QDialog::eventFilter(watched, e);
}

void TFAstuces::FormActivate() {
    // Every showing starts on the program's own overview.
    if (!RbtnVivanda->isChecked()) {
        RbtnVivanda->setChecked(true);  // the other buttons untick themselves
        RbtnVivandaClick();
    }
    BtnAstuces->setEnabled(true);
    DisableTipNavigation();
    BtnDemarrer->setEnabled(false);
    CbxSelModule->setEnabled(false);
    loadText(FirstStepsFile(0), false);
    SelectedModule = 0;
}

void TFAstuces::moduleClicked(int module) {
    const bool changed = SelectedModule != module;
    SelectedModule = module;
    if (changed) BtnInfoClick();
    BtnAstuces->setEnabled(true);
    BtnDemarrer->setEnabled(module >= 1);
    CbxSelModule->setEnabled(module >= 1);
    CbxSelModule->setChecked(module == appState().StartupModule);
    setWindowTitle(QString::fromUtf8(FirstStepsModuleInfo(module).caption));
}

bool TFAstuces::selectionMissing(bool moduleOnly) {
    for (int m = moduleOnly ? 1 : 0; m < kFirstStepsModules; ++m)
        if (moduleButton(m)->isChecked()) return false;
    ShowMessageBox(MessageTable[1], MessageTable[0], 64, nullptr, false);
    DisableTipNavigation();
    return true;
}

void TFAstuces::BtnInfoClick() {
    if (selectionMissing(false)) return;
    loadText(FirstStepsFile(SelectedModule), false);
    AppState& st = appState();
    // Having read a module's overview, its first-steps message is no longer needed.
    if (SelectedModule == 1) {
        st.SwitchRecipeInfo = 0;
        st.OptionsDirty = 1;
    } else if (SelectedModule == 5) {
        st.SwitchConsumptionInfo = 0;
        st.OptionsDirty = 1;
    }
    DisableTipNavigation();
}

void TFAstuces::BtnAstucesClick() {
    loadText(FirstStepsFile(SelectedModule, 1), false);
    AppState& st = appState();
    if (SelectedModule == 1) st.SwitchRecipeInfo = 0;
    if (SelectedModule == 5) st.SwitchConsumptionInfo = 0;
    CurrentTip = 1;
    EnableTipNavigation();
    UpdateHelpButton(1, SelectedModule);
}

void TFAstuces::BtnSuivantClick() {
    const int count = FirstStepsModuleInfo(SelectedModule).tips;
    if (CurrentTip < count) {
        ++CurrentTip;
        loadText(FirstStepsFile(SelectedModule, CurrentTip), true);
        if (CurrentTip == count) BtnSuivant->setEnabled(false);
        if (CurrentTip > 1) BtnPred->setEnabled(true);
    }
    UpdateHelpButton(CurrentTip, SelectedModule);
}

void TFAstuces::BtnPredClick() {
    const int count = FirstStepsModuleInfo(SelectedModule).tips;
    if (CurrentTip > 1) {
        --CurrentTip;
        loadText(FirstStepsFile(SelectedModule, CurrentTip), true);
        if (CurrentTip == 1) BtnPred->setEnabled(false);
        if (CurrentTip < count) BtnSuivant->setEnabled(true);
    }
    UpdateHelpButton(CurrentTip, SelectedModule);
}

void TFAstuces::EnableTipNavigation() {
    BtnPred->setEnabled(CurrentTip != 1);
    BtnAide->setEnabled(true);
    BtnSuivant->setEnabled(true);
}

void TFAstuces::DisableTipNavigation() {
    BtnPred->setEnabled(false);
    BtnAide->setEnabled(false);
    BtnSuivant->setEnabled(false);
}

void TFAstuces::UpdateHelpButton(int tip, int module) { BtnAide->setEnabled(TipHelpEnabled(tip, module)); }

void TFAstuces::BtnAideClick() {
    const TipHelp help = TipHelpFor(CurrentTip, SelectedModule);
    if (!help.page.isEmpty())
        OpenPageOrSay(help.page, MessageTable[4], MessageTable[5]);
    else if (help.helpContext > 0)
        OpenHelpTopic(this, appState().HelpFilePath, help.helpContext);
}

void TFAstuces::BtnDemarrerClick() {
    if (selectionMissing(true)) return;
    const int module = SelectedModule;
    // The two food editors never hold t_aliments at once: the other one gives its table up
    // first, and when it keeps edits it could not save, the module is not started.
    if (module == 2 && !ReleaseFoodEditorFoodTable()) return;
    if (module == 3 && !ReleaseRecipeEditorFoodTable()) return;
    accept();
    DisableTipNavigation();
    if (FVivanda) FVivanda->OpenOrRaiseModule(module);
}

void TFAstuces::CbxSelModuleClick() {
    if (!CbxSelModule->isChecked()) return;
    AppState& st = appState();
    st.StartupModule = SelectedModule;
    st.OptionsDirty = 1;
}

void TFAstuces::loadText(const QString& path, bool missingWithFolder) {
    QTextDocument* document = RichEdit->document();
    if (!rtf::loadFile(path, document)) RichEdit->setPlainText(MissingTextFileMessage(path, missingWithFolder));
    QFont font = RichEdit->font();
    font.setPointSize(10);
    document->setDefaultFont(font);
    RichEdit->moveCursor(QTextCursor::Start);
}

void ShowAstucesFromMenu() {
    placeOverFrame(LongLivedForm(FAstuces), 60);
    modal::exec(FAstuces);
}
