#include "tracking/Ucalcimc.h"

#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <exception>
#include <limits>

#include "data/TypedNumber.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "frame/StaleItem.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"
#include "tracking/Ubesoinsjournaliers.h"

TFCalcIMC* FCalcIMC = nullptr;

namespace {
const char* const kMessages[6] = {
    "Erreur de saisie",
    "        Taille non valide !",
    "        Poids non valide !",
    "        Vous devez choisir un utilisateur ou saisir une taille et\n        un poids avant le calcul !",
    "        La taille de cet utilisateur n'est pas renseignée !\n"
    "        Complétez sa fiche dans la gestion des utilisateurs.",
    "        Le poids de cet utilisateur n'est pas renseigné !\n"
    "        Complétez sa fiche dans la gestion des utilisateurs.",
};
constexpr int kHelpContext = 270;

// Lower bounds of the classes, from the top; below the last one, "Dénutrition grade V".
struct BodyMassBand {
    long double from;
    const char* text;
};
const BodyMassBand kBands[] = {
    {40, "Obésité grade III : Obésité massive ou morbide"},
    {35, "Obésité grade II : Obésité sévère"},
    {30, "Obésité grade I : Obésité modérée ou commune"},
    {25, "Surpoids"},
    {18.5L, "Normal"},
    {17, "Dénutrition grade I"},
    {16, "Dénutrition grade II"},
    {13, "Dénutrition grade III"},
    {10, "Dénutrition grade IV"},
};
}  // namespace

std::optional<float> ParseImcWeight(const QString& text) {
    const std::optional<double> kg = ReadTypedNumber(text);
    if (!kg || !WithinRule(*kg, NumberRules::NeedsWeightKg)) return std::nullopt;   // 1 to 500 kg
    return static_cast<float>(*kg);
}

std::optional<double> BodyMassIndex(float weight, float height) {
    if (!(weight > 0 && height > 0)) return std::nullopt;
    const long double index =
        static_cast<long double>(weight) / (static_cast<long double>(height) * static_cast<long double>(height));
    if (!std::isfinite(index) || index > std::numeric_limits<int32_t>::max()) return std::nullopt;
    // A single-precision height is off by a few parts in a hundred million; four decimals
    // are far finer than any class bound and far coarser than that noise.
    return static_cast<double>(std::round(index * 10000) / 10000);
}

QString BodyMassIndexText(double index) { return QLocale().toString(std::floor(index * 10) / 10, 'f', 1); }

QString BodyMassClass(double index) {
    for (const BodyMassBand& band : kBands)
        if (index >= band.from) return QString::fromUtf8(band.text);
    return QStringLiteral("Dénutrition grade V");
}

TFCalcIMC::TFCalcIMC(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FCalcIMC"));
    setWindowTitle(QStringLiteral("Calcul de l'IMC"));
    setProperty("HelpContext", kHelpContext);
    UseProgramFont(this);

    GbxUtilisateur = PlaceGroup(this, "GbxUtilisateur", QStringLiteral("Utilisateur"), {8, 4, 331, 226});
    RbtnSelectionListe = PlaceRadio(GbxUtilisateur, "RbtnSelectionListe", QStringLiteral("Sélection d'un utilisateur"),
                                    {10, 18, 240, 17});
    LboxUtilisateurs = new QListWidget(GbxUtilisateur);
    LboxUtilisateurs->setObjectName(QStringLiteral("LboxUtilisateurs"));
    LboxUtilisateurs->setGeometry(10, 38, 311, 96);
    RbtnAutre = PlaceRadio(GbxUtilisateur, "RbtnAutre", QStringLiteral("Autre"), {10, 140, 120, 17});
    LblTaille = PlaceLabel(GbxUtilisateur, "LblTaille", QStringLiteral("Taille (cm)"), {10, 166, 0, 0});
    EdtTaille = PlaceEdit(GbxUtilisateur, "EdtTaille", {10, 182, 80, 21});
    LblPoids = PlaceLabel(GbxUtilisateur, "LblPoids", QStringLiteral("Poids (kg)"), {110, 166, 0, 0});
    EdtPoids = PlaceEdit(GbxUtilisateur, "EdtPoids", {110, 182, 80, 21});

    GbxIMC = PlaceGroup(this, "GbxIMC", QStringLiteral("IMC"), {8, 236, 331, 116});
    LblIMC = PlaceLabel(GbxIMC, "LblIMC", QStringLiteral("IMC"), {10, 20, 0, 0});
    EdtIMC = PlaceEdit(GbxIMC, "EdtIMC", {10, 36, 60, 21}, true);
    Button1 = PlaceButton(GbxIMC, "Button1", QStringLiteral("Calcul"), {246, 34, 75, 25});
    LblCommentaire = PlaceLabel(GbxIMC, "LblCommentaire", QStringLiteral("Commentaire"), {10, 64, 0, 0});
    EdtCommentaire = PlaceEdit(GbxIMC, "EdtCommentaire", {10, 80, 311, 21}, true);
    for (QLineEdit* e : {EdtIMC, EdtCommentaire}) LockAsDisplay(e);
    BtnOk = PlaceButton(this, "BtnOk", QStringLiteral("Ok"), {264, 364, 75, 25});

    connect(RbtnSelectionListe, &QRadioButton::toggled, this, [this](bool on) { if (on) RbtnSelectionListeClick(); });
    connect(RbtnAutre, &QRadioButton::toggled, this, [this](bool on) { if (on) RbtnAutreClick(); });
    connect(LboxUtilisateurs, &QListWidget::itemSelectionChanged, this, [this] {
        if (!LboxUtilisateurs->selectedItems().isEmpty()) LboxUtilisateursClick();
    });
    for (QLineEdit* e : {EdtTaille, EdtPoids}) {
        e->installEventFilter(this);
        connect(e, &QLineEdit::textEdited, this, [this] { clearResult(); });
    }
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    FormCreate();
}

TFCalcIMC::~TFCalcIMC() {
    if (FCalcIMC == this) FCalcIMC = nullptr;
}

void TFCalcIMC::FormCreate() {
    MakeFixedDialog(this, 347 + 8, 401 + 34);
    for (int i = 0; i < 6; ++i) MessageTable[i] = QString::fromUtf8(kMessages[i]);
}

void TFCalcIMC::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormActivate();
}

void TFCalcIMC::FormActivate() {
    ReloadUserList(TUtilisateurs, LboxUtilisateurs);
    watch_.seen();
    if (RbtnSelectionListe->isChecked())
        RbtnSelectionListeClick();
    else
        RbtnSelectionListe->setChecked(true);   // runs its handler
    LboxUtilisateurs->setEnabled(true);
    for (QLineEdit* e : {EdtTaille, EdtPoids, EdtCommentaire}) e->clear();
    for (QLineEdit* e : {EdtTaille, EdtPoids}) LockInput(e, true);
}

void TFCalcIMC::clearResult() {
    EdtIMC->clear();
    EdtCommentaire->clear();
}

void TFCalcIMC::selectUser(const QString& name) {
    const QSignalBlocker quiet(LboxUtilisateurs);
    LboxUtilisateurs->setCurrentRow(-1);
    LboxUtilisateurs->clearSelection();
    if (name.isEmpty()) return;
    const QList<QListWidgetItem*> found = LboxUtilisateurs->findItems(name, Qt::MatchExactly);
    if (!found.isEmpty()) LboxUtilisateurs->setCurrentItem(found.first());
}

void TFCalcIMC::reloadUsers(const QString& keep) {
    ReloadUserList(TUtilisateurs, LboxUtilisateurs);
    watch_.seen();
    selectUser(keep);
}

void TFCalcIMC::refreshUsers() {
    reloadUsers(shownUser_);
    followShownUser();
}

void TFCalcIMC::followShownUser() {
    const QString shown = shownUser_;
    if (shown.isEmpty()) return;
    if (LboxUtilisateurs->selectedItems().isEmpty() || !TUtilisateurs.findKey(shown)) {
        // Renamed or deleted meanwhile: its figures are no one's any more.
        shownUser_.clear();
        for (QLineEdit* e : {EdtTaille, EdtPoids}) e->clear();
        clearResult();
        return;
    }
    if (EdtTaille->text() == TUtilisateurs.asString("Taille") && EdtPoids->text() == TUtilisateurs.asString("Poids"))
        return;
    LboxUtilisateursClick();   // the stored height and weight, and no result computed from the old ones
}

bool TFCalcIMC::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && isVisible()) watch_.refresh([this] { refreshUsers(); });
    return QDialog::event(e);
}

void TFCalcIMC::RbtnSelectionListeClick() {
    selectUser(QString());
    shownUser_.clear();
    LockInput(LboxUtilisateurs, false);
    for (QLineEdit* e : {EdtTaille, EdtPoids}) {
        e->clear();
        LockInput(e, true);
    }
    clearResult();
}

void TFCalcIMC::RbtnAutreClick() {
    for (QLineEdit* e : {EdtTaille, EdtPoids}) {
        e->clear();
        LockInput(e, false);
    }
    selectUser(QString());
    shownUser_.clear();
    LockInput(LboxUtilisateurs, true);
    clearResult();
}

void TFCalcIMC::LboxUtilisateursClick() {
    // A user that cannot be read is passed over without a word.
    try {
        const int selection = LboxUtilisateurs->currentRow();
        if (selection < 0) return;
        const QString picked = LboxUtilisateurs->item(selection)->text();
        if (watch_.stale()) reloadUsers(picked);
        if (!TUtilisateurs.findKey(picked)) {
            // Renamed or deleted since the list was read: the list now says what is stored, the
            // user shown before stays chosen with the same figures.
            selectUser(shownUser_);
            followShownUser();
            SayItemGone(QStringLiteral("Cet utilisateur n'existe plus dans la base de données."), windowTitle());
            return;
        }
        EdtTaille->setText(TUtilisateurs.asString("Taille"));
        EdtPoids->setText(TUtilisateurs.asString("Poids"));
        ImcHeight = static_cast<float>(TUtilisateurs.asInt("Taille") * 0.01L);
        ImcWeight = static_cast<float>(TUtilisateurs.asInt("Poids"));
        shownUser_ = picked;
        clearResult();
    } catch (const std::exception&) {
    }
}

void TFCalcIMC::inputError(int message, QLineEdit* input) {
    ShowMessageBox(MessageTable[message], MessageTable[0], 0x0C, &MessageSwitch, false);
    input->clear();
}

// A refused height or weight is never taken: the last accepted one stays in force.
void TFCalcIMC::inputLeft(QLineEdit* left, QLineEdit* other) {
    struct Input {
        std::optional<float> (*parse)(const QString&);
        float* target;
        int message;
    };
    auto inputOf = [this](QLineEdit* e) {
        return e == EdtTaille ? Input{ParseNeedsHeight, &ImcHeight, 1} : Input{ParseImcWeight, &ImcWeight, 2};
    };
    if (left->text().isEmpty()) return;
    const Input in = inputOf(left);
    const std::optional<float> value = in.parse(left->text());
    if (!value) {
        inputError(in.message, left);
        return;
    }
    *in.target = *value;
    // The other value, when its edit holds one (already checked when it was left).
    const Input otherIn = inputOf(other);
    if (const std::optional<float> otherValue = otherIn.parse(other->text())) *otherIn.target = *otherValue;
}

void TFCalcIMC::EdtTailleExit() { inputLeft(EdtTaille, EdtPoids); }

void TFCalcIMC::EdtPoidsExit() { inputLeft(EdtPoids, EdtTaille); }

void TFCalcIMC::Button1Click() {
    // A listed user whose profile lacks the height or the weight: say which, and show no
    // result (an earlier user's would pass for this one's).
    const bool listedUser = RbtnSelectionListe->isChecked() && !LboxUtilisateurs->selectedItems().isEmpty();
    const int missing = listedUser && !(ImcHeight > 0) ? 4 : listedUser && !(ImcWeight > 0) ? 5 : 0;
    const std::optional<double> index = BodyMassIndex(ImcWeight, ImcHeight);
    if (missing || !index) {
        EdtIMC->clear();
        EdtCommentaire->clear();
        ShowMessageBox(MessageTable[missing ? missing : 3], MessageTable[0], 0x0C, &MessageSwitch, false);
        return;
    }
    EdtIMC->setText(BodyMassIndexText(*index));
    EdtCommentaire->setText(BodyMassClass(*index));
}

void TFCalcIMC::BtnOkClick() { done(QDialog::Accepted); }

void TFCalcIMC::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, kHelpContext); }

bool TFCalcIMC::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusOut) {
        // Going to a message box or another window is not leaving the edit.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == EdtTaille) EdtTailleExit();
            else if (watched == EdtPoids) EdtPoidsExit();
        }
    }
    return QDialog::eventFilter(watched, e);
}

void ShowCalcIMCFromMenu() {
    placeOverFrame(LongLivedForm(FCalcIMC), 14);
    modal::exec(FCalcIMC);
}
