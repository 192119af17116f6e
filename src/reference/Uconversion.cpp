#include "reference/Uconversion.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "data/NameColumn.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/LongLivedForm.h"
#include "frame/Placement.h"
#include "frame/StaleItem.h"
#include "frame/TextHelpers.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"

TFConversionVM* FConversionVM = nullptr;

namespace {
const char* const kMessages[] = {
    "        Vous devez saisir une quantité !",
    "Erreur de saisie !",
    "        Valeur non valide pour la quantité !",
    "        Vous devez saisir une quantité et cliquer sur le bouton\n        conversion !",
    "        Aucune unité de mesure n'est disponible pour cet aliment !",
    "        Aucun aliment n'est disponible pour la conversion !",
};
constexpr int kHelpContext = 190;
}  // namespace

MeasureDialog::MeasureDialog(QWidget* parent, int helpContext) : QDialog(parent), helpContext_(helpContext) {
    setProperty("HelpContext", helpContext);
    UseProgramFont(this);
    LetFormTakeEnter(this);   // Enter converts, or presses a focused Ok or Annuler (keyPressEvent)
}

void MeasureDialog::connectControls() {
    connect(LboxAliments, &QComboBox::activated, this, [this] { LboxAlimentsClick(); });
    connect(LboxUnites, &QComboBox::activated, this, [this] { LboxUnitesClick(); });
    connect(BtnConversion, &QPushButton::clicked, this, [this] { BtnConversionClick(); });
    connect(BtnAnnule, &QPushButton::clicked, this, [this] { BtnAnnuleClick(); });
}

void MeasureDialog::openLookups() {
    for (int i = 0; i < int(std::size(kMessages)); ++i) MessageTable[i] = QString::fromUtf8(kMessages[i]);

    // The name column is chosen for French, as when every long-lived form was built at start,
    // before the frame first read Langue.dat: the first food's French name, else its first name.
    ::Query probe(QStringLiteral(
        "SELECT NomAlimentFrancais, NomAlimentAnglais, NomAlimentAllemand, NomAlimentItalien, "
        "NomAlimentEspagnol FROM t_densites ORDER BY IdAlimentDensite"));
    probe.open();
    QStringList sample;
    if (!probe.isEmpty())
        for (int i = 0; i < 5; ++i) sample << probe.asString(i);
    // No usable name in the sample row keeps the French column.
    const int column = std::max(ChooseNameColumn(sample, 0), 0);
    NameColumnIndex = column + 1;
    NameColumnName = NameColumnNames(QStringLiteral("NomAliment")).at(column);

    TDensites.setSql(QStringLiteral(
        "SELECT IdAlimentDensite, NomAlimentFrancais, NomAlimentAnglais, NomAlimentAllemand, "
        "NomAlimentItalien, NomAlimentEspagnol, Densite FROM t_densites ORDER BY IdAlimentDensite"));
    TUnites.setSql(QStringLiteral("SELECT IdUnite, NomUnite, ValeurUnite FROM t_unites_mesures ORDER BY IdUnite"));
    readLookups();
}

void MeasureDialog::readLookups() {
    const bool chosen = TDensites.isActive() && TDensites.recNo() >= 0 && LboxAliments->currentIndex() >= 0;
    const QVariant foodId = chosen ? TDensites.value(QStringLiteral("IdAlimentDensite")) : QVariant();
    const QString unit = TUnites.isActive() && TUnites.recNo() >= 0 && LboxUnites->currentIndex() >= 0
                             ? TUnites.asString(QStringLiteral("NomUnite")) : QString();
    TDensites.close();
    TDensites.open();
    QStringList foods;
    for (TDensites.first(); !TDensites.eof(); TDensites.next()) foods << TDensites.asString(NameColumnIndex);
    foods = FillSorted(LboxAliments, foods);
    TUnites.close();
    TUnites.open();
    // Without any food the unit list stays empty and conversions are refused.
    if (!chooseFood(foodId, QString()) && !(!foods.isEmpty() && chooseFood(QVariant(), foods.first()))) {
        LboxAliments->setCurrentIndex(-1);
        LboxUnites->clear();
    }
    if (!unit.isEmpty()) chooseUnit(unit);
    watch_.seen();
}

bool MeasureDialog::chooseFood(const QVariant& id, const QString& name) {
    const bool found = id.isValid() ? TDensites.locate(QStringLiteral("IdAlimentDensite"), id)
                                    : !name.isEmpty() && TDensites.locate(NameColumnName, name, {.caseInsensitive = true});
    if (!found) return false;
    const QString listed = TDensites.asString(NameColumnIndex);
    LboxAliments->setCurrentIndex(LboxAliments->findText(listed, Qt::MatchExactly | Qt::MatchCaseSensitive));
    fillUnitList(listed);
    return true;
}

bool MeasureDialog::chooseUnit(const QString& name) {
    const int index = LboxUnites->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) return false;
    LboxUnites->setCurrentIndex(index);
    TUnites.locate(QStringLiteral("NomUnite"), name, {.caseInsensitive = true});
    return true;
}

void MeasureDialog::refreshIfStale() { watch_.refresh([this] { readLookups(); }); }

bool MeasureDialog::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && isVisible()) refreshIfStale();
    return QDialog::event(e);
}

void MeasureDialog::fillUnitList(const QString& foodName) {
    Query.setSql(QStringLiteral(
        "SELECT NomUnite FROM t_densites, t_densites_unites_mesures, t_unites_mesures "
        "WHERE t_densites_unites_mesures.IdAlimentDensite = t_densites.IdAlimentDensite "
        "AND t_densites_unites_mesures.IdUnite = t_unites_mesures.IdUnite AND t_densites.%1 = ?")
                     .arg(NameColumnName));
    Query.addBindValue(foodName);
    Query.open();
    QStringList units;
    for (Query.first(); !Query.eof(); Query.next()) units << Query.asString(0);
    Query.close();
    units = FillSorted(LboxUnites, units);
    LboxUnites->setCurrentIndex(units.isEmpty() ? -1 : 0);
    if (!units.isEmpty()) TUnites.locate(QStringLiteral("NomUnite"), units.first(), {.caseInsensitive = true});
}

bool MeasureDialog::stillListed(const QComboBox* list, const QString& name, const QString& gone) {
    if (!watch_.stale()) return true;
    readLookups();   // the food and measure chosen before the click stay chosen
    if (list->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) return true;
    SayItemGone(gone, windowTitle());
    return false;
}

void MeasureDialog::LboxAlimentsClick() {
    const QString name = LboxAliments->currentText();
    if (stillListed(LboxAliments, name, QStringLiteral("Cet aliment n'a plus d'unité de mesure dans la base de données.")))
        chooseFood(QVariant(), name);
}

void MeasureDialog::LboxUnitesClick() {
    const QString name = LboxUnites->currentText();
    if (stillListed(LboxUnites, name, QStringLiteral("Cette unité de mesure n'est plus proposée pour cet aliment.")))
        chooseUnit(name);
}

void MeasureDialog::showError(int message, const QString& detail) {
    ShowMessageBox(MessageTable[message] + (detail.isEmpty() ? QString() : QLatin1Char('\n') + detail), MessageTable[1],
                   12, &MessageSwitch, false);
}

std::optional<MeasureDialog::MeasureInput> MeasureDialog::readMeasureInput() {
    const QString text = EdtQuantite->text();
    if (text.isEmpty()) {
        showError(0);
        return std::nullopt;
    }
    const std::optional<double> quantity = CheckTypedNumber(QString(), text, quantityRule_);
    if (!quantity) {
        showRangeError(quantityRule_);
        return std::nullopt;
    }
    // The food and measure as stored now: one removed or renamed meanwhile converts nothing.
    if (watch_.stale()) {
        const QString food = LboxAliments->currentText();
        const QString unit = LboxUnites->currentText();
        readLookups();
        if (LboxAliments->currentText() != food || LboxUnites->currentText() != unit) {
            SayItemGone(QStringLiteral("L'aliment ou l'unité de mesure choisi n'est plus dans la base de données."),
                        windowTitle());
            return std::nullopt;
        }
    }
    // A conversion needs a food and one of its measures.
    if (LboxAliments->currentIndex() < 0 || TDensites.recNo() < 0) {
        showError(5);
        return std::nullopt;
    }
    if (LboxUnites->currentIndex() < 0 || TUnites.recNo() < 0) {
        showError(4);
        return std::nullopt;
    }
    return MeasureInput{*quantity, TUnites.asDouble("ValeurUnite"), TDensites.asDouble("Densite")};
}

void MeasureDialog::BtnAnnuleClick() {
    Validated = 0;
    done(QDialog::Rejected);
}

void MeasureDialog::FormKeyPress(char key) {
    if (key != 13) return;
    BtnConversionClick();
    BtnOk->setFocus();
}

void MeasureDialog::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, helpContext_); }

void MeasureDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        // Enter on a focused Ok or Annuler presses it, so that after a conversion (which moves
        // the focus to Ok) a second Enter hands the result back; anywhere else it converts.
        for (QPushButton* button : {BtnOk, BtnAnnule}) {
            if (focusWidget() == button && button->isEnabled()) {
                button->click();
                return;
            }
        }
        FormKeyPress(13);
        return;
    }
    QDialog::keyPressEvent(e);
}

TFConversionVM::TFConversionVM(QWidget* parent) : MeasureDialog(parent, kHelpContext) {
    setObjectName(QStringLiteral("FConversionVM"));
    setWindowTitle(QStringLiteral("Conversion en grammes"));
    QPalette back = palette();
    back.setColor(QPalette::Window, QColor(213, 206, 206));
    setPalette(back);
    setAutoFillBackground(true);

    LblAliment = PlaceLabel(this, "LblAliment", QStringLiteral("Aliment"), {8, 8, 0, 0}, true);
    LboxAliments = PlaceWidget<QComboBox>(this, "LboxAliments", QRect(8, 24, 296, 22));
    LboxAliments->setToolTip(QStringLiteral("Sélection d'un des aliments"));
    LblUnite = PlaceLabel(this, "LblUnite", QStringLiteral("Unité de mesure"), {8, 54, 0, 0}, true);
    LboxUnites = PlaceWidget<QComboBox>(this, "LboxUnites", QRect(8, 70, 296, 22));
    LboxUnites->setToolTip(QStringLiteral("Sélection de l'unité de mesure"));
    LblQuantite = PlaceLabel(this, "LblQuantite", QStringLiteral("Quantité"), {8, 100, 0, 0}, true);
    EdtQuantite = PlaceEdit(this, "EdtQuantite", {8, 116, 100, 21});
    EdtQuantite->setToolTip(QStringLiteral("Saisie de la quantité pour l'unité de mesure sélectionnée"));
    BtnConversion = PlaceButton(this, "BtnConversion", QStringLiteral("Conversion"), {195, 114, 109, 25}, true);
    BtnConversion->setToolTip(QStringLiteral("Conversion, en grammes, de la quantité"));
    LblPoids = PlaceLabel(this, "LblPoids", QStringLiteral("Poids (en g)"), {8, 144, 0, 0}, true);
    EdtPoids = PlaceEdit(this, "EdtPoids", {8, 160, 100, 21}, true);
    EdtPoids->setToolTip(QStringLiteral("Quantité exprimée en grammes"));
    SetInputColour(EdtPoids, kLockedColour);
    BtnAnnule = PlaceButton(this, "BtnAnnule", QStringLiteral("Annuler"), {8, 196, 75, 25}, true);
    BtnOk = PlaceButton(this, "BtnOk", QStringLiteral("Ok"), {229, 196, 75, 25}, true);
    BtnOk->setToolTip(QStringLiteral(
        "Insertion du poids calculé dans la zone quantité de la grille de saisie des aliments"));
    setTabOrder(LboxAliments, LboxUnites);
    setTabOrder(LboxUnites, EdtQuantite);
    setTabOrder(EdtQuantite, BtnConversion);
    setTabOrder(BtnConversion, EdtPoids);
    setTabOrder(EdtPoids, BtnAnnule);
    setTabOrder(BtnAnnule, BtnOk);

    connectControls();
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    FormCreate();
}

TFConversionVM::~TFConversionVM() {
    if (FConversionVM == this) FConversionVM = nullptr;
}

void TFConversionVM::FormCreate() {
    // Wide enough for the whole title, whichever window opens it.
    MakeFixedDialog(this, 320, 263);
    openLookups();
}

void TFConversionVM::BtnConversionClick() {
    const std::optional<MeasureInput> in = readMeasureInput();
    if (!in) return;
    const double weight = in->unitValue * in->density * in->quantity;
    // The weight goes into a grid's quantity: it keeps within what a quantity may be.
    if (!WithinRule(weight, NumberRules::Grams)) {
        showRangeError(NumberRules::Grams);
        return;
    }
    EdtPoids->setText(QuantityToText(weight));
    ConvertedWeight = weight;
}

void TFConversionVM::BtnOkClick() {
    if (ConvertedWeight > 0 || CalledFromGrid == 0) {
        Validated = 1;
        done(QDialog::Accepted);
        return;
    }
    showError(3);
}

void TFConversionVM::FormShow() {
    EdtQuantite->clear();
    EdtPoids->clear();
    ConvertedWeight = 0;
    for (int i = 0; i < LboxAliments->count(); ++i) {
        if (LboxAliments->itemText(i) != InitialFood) continue;
        LboxAliments->setCurrentIndex(i);
        LboxAlimentsClick();
        break;
    }
}

void TFConversionVM::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (e->spontaneous()) return;
    refreshIfStale();
    FormShow();
}

void ShowConversionFromMenu() {
    LongLivedForm(FConversionVM)->CalledFromGrid = 0;
    FConversionVM->BtnAnnule->setEnabled(false);
    placeOverFrame(FConversionVM, 14);
    modal::exec(FConversionVM);
}

std::optional<double> ConvertForGrid(const QString& foodName) {
    TFConversionVM* dialog = LongLivedForm(FConversionVM);
    dialog->refreshIfStale();   // a food given measures since is offered
    // The dialog lists the foods in the column it chose at its creation; the row's name may be
    // of another language.
    const QStringList columns = NameColumnNames(QStringLiteral("NomAliment"));
    QStringList matches;
    for (const QString& c : columns) matches << QStringLiteral("%1 = ?1").arg(c);
    const QString listed = ::Query::scalar(QStringLiteral("SELECT %1 FROM t_densites WHERE %2 ORDER BY IdAlimentDensite;")
                                               .arg(dialog->NameColumnName, matches.join(QStringLiteral(" OR "))),
                                           {foodName})
                               .toString();
    if (listed.isEmpty() || dialog->LboxAliments->findText(listed, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        ShowMessageBox(QStringLiteral("        L'aliment « %1 »\n        n'a pas d'unité de mesure ménagère :\n"
                                      "        saisissez sa quantité directement en grammes.")
                           .arg(foodName),
                       dialog->windowTitle(), 64, nullptr, false);
        return std::nullopt;
    }
    dialog->CalledFromGrid = 1;
    dialog->InitialFood = listed;
    dialog->BtnAnnule->setEnabled(true);
    modal::exec(dialog);
    if (!dialog->Validated) return std::nullopt;
    return dialog->ConvertedWeight;
}
