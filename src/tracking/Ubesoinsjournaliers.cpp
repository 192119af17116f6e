#include "tracking/Ubesoinsjournaliers.h"

#include <QApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <limits>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/NameColumn.h"
#include "data/TypedNumber.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/StaleItem.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"

TFBesoinsJournaliers* FBesoinsJournaliers = nullptr;

namespace {

const char* const kMessages[] = {
    "Erreur de saisie",
    "        Âge non valide !",
    "        Taille non valide !",
    "        Poids non valide !",
    "        Sexe non valide !\n        Les seules valeurs admises sont 'M' (masculin) et 'F' (féminin).",
};
const char* const kBadDuration = "        Durée non valide !";
// The activity grid is wider than the design's 248 pixels, so the longest activity names show
// whole; the dialog and the controls right of the grid move by as much.
constexpr int kWiderGrid = 64;
constexpr double kMinutesInADay = 1440;
constexpr int kHelpContext = 180;

// An extended-precision value truncated toward zero into the 32-bit range.
int32_t truncToInt32(long double v) {
    if (std::isnan(v)) return 0;
    v = std::trunc(v);
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

QString number(int32_t v) { return QString::number(v); }

}  // namespace

int32_t BasalNeeds(int32_t weight, int32_t age, char sex) {
    if (sex != 'M' && sex != 'F') return 0;
    const bool male = sex == 'M';
    const long double w = weight;
    long double v;
    if (age <= 1)
        v = 110.0L * w;
    else if (age == 2)
        v = std::ceil((male ? 386.0L : 370.0L) * w * (1.0L / 4.185L));
    else if (age <= 9)
        v = male ? 22.7L * w + 495.0L : 22.5L * w + 499.0L;
    else if (age <= 17)
        v = male ? 17.5L * w + 651.0L : 12.2L * w + 746.0L;
    else if (age <= 29)
        v = male ? 15.3L * w + 679.0L : 14.7L * w + 496.0L;
    else if (age <= 59)
        v = male ? 11.6L * w + 879.0L : 8.7L * w + 829.0L;
    else
        v = male ? 13.5L * w + 487.0L : 10.5L * w + 596.0L;
    // Kept as a single-precision value before the truncation.
    return truncToInt32(static_cast<float>(v));
}

int32_t ActivityCalories(int32_t weight, int32_t minutes, float factor, bool usesWeight) {
    const long double v = static_cast<long double>(minutes) * (usesWeight ? weight : 1) * factor;
    return truncToInt32(v);
}

int32_t ActivityCalorieSum(const RowSet& activities, int32_t weight) {
    long double sum = 0;
    for (int row = 0; row < activities.recordCount(); ++row) {
        const int32_t minutes = truncToInt32(dbvalue::toDouble(activities.rowValue(row, QStringLiteral("Duree"))));
        const float factor = static_cast<float>(dbvalue::toDouble(activities.rowValue(row, QStringLiteral("ScaleFactor"))));
        const bool usesWeight = dbvalue::toBool(activities.rowValue(row, QStringLiteral("UtilisePoids")));
        sum += ActivityCalories(weight, minutes, factor, usesWeight);
    }
    return truncToInt32(sum);
}

std::optional<int32_t> ParseNeedsAge(const QString& text) {
    const std::optional<double> age = ReadTypedNumber(text);
    if (!age || !WithinRule(*age, NumberRules::NeedsAge)) return std::nullopt;
    return static_cast<int32_t>(*age);
}

std::optional<float> ParseNeedsHeight(const QString& text) {
    const std::optional<double> cm = ReadTypedNumber(text);
    if (!cm) return std::nullopt;
    const float metres = static_cast<float>(*cm * 0.01L);
    if (!(metres > 0.25L && metres <= 2.8L)) return std::nullopt;
    return metres;
}

std::optional<int32_t> ParseNeedsWeight(const QString& text) {
    const std::optional<double> kg = ReadTypedNumber(text);
    // Whole kilograms: 0.5 is 0 and refused, 500.9 is 500 and accepted.
    if (!kg || !(*kg >= 1.0 && *kg < NumberRules::NeedsWeightKg.high + 1)) return std::nullopt;
    return static_cast<int32_t>(std::trunc(*kg));
}

std::optional<char> ParseNeedsSex(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    const QChar first = text.at(0).toUpper();
    if (first != QLatin1Char('M') && first != QLatin1Char('F')) return std::nullopt;
    return first.toLatin1();
}

void ReloadUserList(Table& users, QListWidget* list) {
    users.close();
    users.open();
    QStringList names;
    for (users.first(); !users.eof(); users.next()) names << users.asString("Nom");
    SortForDisplay(names);
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(names);
    list->setCurrentRow(-1);
}

TFBesoinsJournaliers::TFBesoinsJournaliers(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FBesoinsJournaliers"));
    setWindowTitle(QStringLiteral("Besoins journaliers"));
    setProperty("HelpContext", kHelpContext);
    UseProgramFont(this);

    GbxUtilisateur = PlaceGroup(this, "GbxUtilisateur", QStringLiteral("Utilisateur"), {8, 4, 300, 300});
    RbtnSelectionListe = PlaceRadio(GbxUtilisateur, "RbtnSelectionListe", QStringLiteral("Sélection d'un utilisateur"),
                                    {10, 18, 220, 17});
    LboxUtilisateurs = new QListWidget(GbxUtilisateur);
    LboxUtilisateurs->setObjectName(QStringLiteral("LboxUtilisateurs"));
    LboxUtilisateurs->setGeometry(10, 38, 280, 82);
    LboxUtilisateurs->setToolTip(
        QStringLiteral("Sélection d'un des utilisateurs pour déterminer ses besoins caloriques journaliers"));
    RbtnAutre = PlaceRadio(GbxUtilisateur, "RbtnAutre", QStringLiteral("Autre"), {10, 126, 120, 17});
    LblAge = PlaceLabel(GbxUtilisateur, "LblAge", QStringLiteral("Âge"), {10, 150, 0, 0});
    EdtAge = PlaceEdit(GbxUtilisateur, "EdtAge", {10, 166, 60, 21});
    LblTaille = PlaceLabel(GbxUtilisateur, "LblTaille", QStringLiteral("Taille (cm)"), {80, 150, 0, 0});
    EdtTaille = PlaceEdit(GbxUtilisateur, "EdtTaille", {80, 166, 60, 21});
    LblPoids = PlaceLabel(GbxUtilisateur, "LblPoids", QStringLiteral("Poids (kg)"), {150, 150, 0, 0});
    EdtPoids = PlaceEdit(GbxUtilisateur, "EdtPoids", {150, 166, 60, 21});
    LblSexe = PlaceLabel(GbxUtilisateur, "LblSexe", QStringLiteral("Sexe"), {220, 150, 0, 0});
    EdtSexe = PlaceEdit(GbxUtilisateur, "EdtSexe", {220, 166, 60, 21});
    LblBesoinBasic = PlaceLabel(GbxUtilisateur, "LblBesoinBasic", QString(), {10, 200, 280, 28});
    EdtBesoinBasic = PlaceEdit(GbxUtilisateur, "EdtBesoinBasic", {10, 232, 100, 21}, true);

    GbxActivite = PlaceGroup(this, "GbxActivite", QStringLiteral("Activité physique"), {316, 4, 268 + kWiderGrid, 300});
    DBGActivite = new DbGrid(GbxActivite);
    DBGActivite->setObjectName(QStringLiteral("DBGActivite"));
    DBGActivite->setGeometry(10, 18, 248 + kWiderGrid, 210);
    DBGActivite->setToolTip(QStringLiteral("Sélection de l'activité physique par saisie de sa durée en minutes ; "
                                           "chaque activité compte ce qu'elle ajoute à la dépense au repos"));
    DBGActivite->setTable(&TActivite);
    GridColumn activity;
    activity.field = QStringLiteral("NomActiviteFrancais");
    activity.title = QStringLiteral("Activité");
    activity.width = 140;
    activity.readOnly = true;
    activity.fill = true;
    GridColumn duration;
    duration.field = QStringLiteral("Duree");
    duration.title = QStringLiteral("Durée (min)");
    duration.width = 64;
    duration.number = NumberRules::MinutesInDay;
    DBGActivite->setColumns({activity, duration});
    LblCaloriesDepensees = PlaceLabel(GbxActivite, "LblCaloriesDepensees", QStringLiteral("Calories dépensées en plus du repos"), {10, 240, 0, 0});
    EdtActiviteCalorie = PlaceEdit(GbxActivite, "EdtActiviteCalorie", {10, 256, 100, 21}, true);

    LblTotalDepense = PlaceLabel(this, "LblTotalDepense",
        QStringLiteral("Estimation du total des calories dépensées dans la journée (en kilocalories)"), {8, 312, 0, 0});
    EdtTotalDepense = PlaceEdit(this, "EdtTotalDepense", {8, 328, 100, 21}, true);
    BtnAnnule = PlaceButton(this, "BtnAnnule", QStringLiteral("Annuler"), {420 + kWiderGrid, 324, 75, 25});
    BtnOk = PlaceButton(this, "BtnOk", QStringLiteral("Ok"), {505 + kWiderGrid, 324, 75, 25});
    BtnOk->setToolTip(QStringLiteral("Validation de l'estimation des besoins caloriques de la journée"));
    for (QLineEdit* e : {EdtBesoinBasic, EdtActiviteCalorie, EdtTotalDepense}) SetInputColour(e, kLockedColour);

    connect(RbtnSelectionListe, &QRadioButton::toggled, this, [this](bool on) { if (on) RbtnSelectionListeClick(); });
    connect(RbtnAutre, &QRadioButton::toggled, this, [this](bool on) { if (on) RbtnAutreClick(); });
    // A click (also on the user already selected), a drag that ends on another user (the
    // button released over a name: see eventFilter) or a selection from the keyboard. The list
    // taking the focus only marks a current line, which picks no one.
    LboxUtilisateurs->viewport()->installEventFilter(this);
    connect(LboxUtilisateurs, &QListWidget::itemSelectionChanged, this, [this] {
        if (!LboxUtilisateurs->selectedItems().isEmpty() && QApplication::mouseButtons() == Qt::NoButton)
            LboxUtilisateursClick();
    });
    connect(EdtSexe, &QLineEdit::textChanged, this, [this] { EdtSexeChange(); });
    for (QLineEdit* e : {EdtAge, EdtTaille, EdtPoids, EdtSexe}) e->installEventFilter(this);
    connect(DBGActivite, &DbGrid::enterPressed, this, [this] { DBGActiviteKeyPress(13); });
    // The minutes of an activity lie within one day: a negative duration would take calories
    // off the other activities, and the day's 1440 minutes keep every sum far from overflowing.
    // The grid reports the refusal and keeps the typed value to correct.
    TActivite.onBeforePost = [](Table& t) {
        const double minutes = dbvalue::toDouble(t.value(QStringLiteral("Duree")));
        if (!(minutes >= 0 && minutes <= kMinutesInADay)) throw DatabaseError(QString::fromUtf8(kBadDuration));
    };
    TActivite.onAfterPost = [this](Table&) { TActiviteAfterPost(); };
    connect(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connect(BtnAnnule, &QPushButton::clicked, this, [this] { BtnAnnuleClick(); });
    FormCreate();
}

TFBesoinsJournaliers::~TFBesoinsJournaliers() {
    // The grid goes before the table it shows.
    delete DBGActivite;
    DBGActivite = nullptr;
    TActivite.onAfterPost = nullptr;
    if (FBesoinsJournaliers == this) FBesoinsJournaliers = nullptr;
}

void TFBesoinsJournaliers::FormCreate() {
    NeedsFormCreating = 1;
    MakeFixedDialog(this, 600 + kWiderGrid, 391);
    for (int i = 0; i < 5; ++i) MessageTable[i] = QString::fromUtf8(kMessages[i]);
    LblBesoinBasic->setText(QStringLiteral("Estimation des besoins caloriques\nde base en kilocalories (au repos)"));
    NeedsFormCreating = 0;
}

void TFBesoinsJournaliers::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (!e->spontaneous()) FormActivate();
}

void TFBesoinsJournaliers::resetDurations() {
    TActivite.close();
    Query.setSql(QStringLiteral("UPDATE t_activites SET Duree = 0"));
    Query.exec();
    TActivite.open();
}

void TFBesoinsJournaliers::lockInputs(bool locked) {
    for (QLineEdit* e : {EdtAge, EdtTaille, EdtPoids, EdtSexe}) LockInput(e, locked);
}

void TFBesoinsJournaliers::FormActivate() {
    ReloadUserList(TUtilisateurs, LboxUtilisateurs);
    resetDurations();
    // The activities in the interface's language, judged on the first one as every list is.
    const QStringList columns = NameColumnNames(QStringLiteral("NomActivite"));
    QStringList names;
    for (const QString& c : columns) names << (TActivite.isEmpty() ? QString() : TActivite.rowValue(0, c).toString());
    if (const int i = ChooseNameColumn(names, appState().LanguageCode); i >= 0) DBGActivite->setColumnField(0, columns[i]);
    if (!RbtnSelectionListe->isChecked()) RbtnSelectionListe->setChecked(true);  // runs its handler
    LboxUtilisateurs->setEnabled(true);
    LastUserIndex = LboxUtilisateurs->currentRow();
    for (QLineEdit* e : {EdtAge, EdtTaille, EdtPoids, EdtSexe, EdtBesoinBasic, EdtActiviteCalorie, EdtTotalDepense})
        e->clear();
    lockInputs(true);
    DBGActivite->setEnabled(false);
}

void TFBesoinsJournaliers::RbtnSelectionListeClick() {
    {
        const QSignalBlocker quiet(LboxUtilisateurs);
        LboxUtilisateurs->setCurrentRow(-1);
    }
    LastUserIndex = -1;
    LockInput(LboxUtilisateurs, false);
    for (QLineEdit* e : {EdtAge, EdtTaille, EdtPoids, EdtSexe, EdtBesoinBasic, EdtTotalDepense}) e->clear();
    lockInputs(true);
    DBGActivite->setEnabled(false);
}

void TFBesoinsJournaliers::RbtnAutreClick() {
    for (QLineEdit* e : {EdtAge, EdtTaille, EdtPoids, EdtSexe, EdtBesoinBasic}) e->clear();
    lockInputs(false);
    {
        const QSignalBlocker quiet(LboxUtilisateurs);
        LboxUtilisateurs->setCurrentRow(-1);
    }
    LastUserIndex = -1;
    LockInput(LboxUtilisateurs, true);
    resetDurations();
    ActivityCalorieTotal = 0;
    EdtActiviteCalorie->clear();
    DBGActivite->setEnabled(false);
}

void TFBesoinsJournaliers::LboxUtilisateursClick() {
    // A user that cannot be read is passed over without a word.
    try {
        const int selection = LboxUtilisateurs->currentRow();
        if (selection < 0) return;
        // The users as stored now (another program may have changed them since the showing).
        TUtilisateurs.refresh();
        if (!TUtilisateurs.findKey(LboxUtilisateurs->item(selection)->text())) {
            // Gone meanwhile: said, and the list shows the users there are; nothing is estimated.
            ReloadUserList(TUtilisateurs, LboxUtilisateurs);
            LastUserIndex = -1;
            SayItemGone(QStringLiteral("Cet utilisateur n'existe plus dans la base de données."), windowTitle());
            return;
        }
        EdtAge->setText(TUtilisateurs.asString("Age"));
        EdtTaille->setText(TUtilisateurs.asString("Taille"));
        EdtPoids->setText(TUtilisateurs.asString("Poids"));
        EdtSexe->setText(TUtilisateurs.asString("Sexe"));
        const QString sex = TUtilisateurs.asString("Sexe");
        const QChar first = sex.isEmpty() ? QChar() : sex.at(0);
        if (first != QLatin1Char('M') && first != QLatin1Char('F')) {
            // No basal needs for another letter: the user is refused and nothing is estimated.
            EdtBesoinBasic->clear();
            EdtTotalDepense->clear();
            LastUserIndex = -1;
            DBGActivite->setEnabled(false);
            ShowMessageBox(MessageTable[4], MessageTable[0], 12, &MessageSwitch, false);
            return;
        }
        NeedsAge = TUtilisateurs.asInt("Age");
        NeedsHeight = static_cast<float>(TUtilisateurs.asInt("Taille") * 0.01L);
        NeedsWeight = TUtilisateurs.asInt("Poids");
        appState().CurrentUserWeight = NeedsWeight;
        NeedsSex = first.toLatin1();
        BasalCalories = BasalNeeds(NeedsWeight, NeedsAge, NeedsSex);
        appState().CurrentUserName = TUtilisateurs.asString("Nom");
        appState().CurrentUserRow =
            ::Query::scalar(QStringLiteral("SELECT rowid FROM t_utilisateurs WHERE Nom = ?;"), {appState().CurrentUserName})
                .toLongLong();
        EdtBesoinBasic->setText(number(BasalCalories));
        if (selection != LastUserIndex) {
            EdtTotalDepense->setText(number(BasalCalories));
            ActivityCalorieTotal = 0;
            EdtActiviteCalorie->clear();
            TotalNeeds = BasalCalories;
            resetDurations();
        } else {
            // The same user again: the activities stay, and so does the total they give.
            EdtTotalDepense->setText(number(TotalNeeds));
        }
        LastUserIndex = selection;
        DBGActivite->setEnabled(true);
    } catch (...) {
    }
}

bool TFBesoinsJournaliers::holdText(std::initializer_list<const QLineEdit*> inputs) const {
    for (const QLineEdit* e : inputs)
        if (e->text().isEmpty()) return false;
    return true;
}

void TFBesoinsJournaliers::inputError(int message, QLineEdit* input) {
    // The age, height and weight say the range they take.
    const NumberRule* const ranges[] = {nullptr, &NumberRules::NeedsAge, &NumberRules::NeedsHeightCm,
                                        &NumberRules::NeedsWeightKg, nullptr};
    const NumberRule* range = message >= 0 && message < 5 ? ranges[message] : nullptr;
    ShowMessageBox(MessageTable[message] + (range ? QLatin1Char('\n') + NumberRangeHint(*range) : QString()),
                   MessageTable[0], 12, &MessageSwitch, false);
    input->clear();
}

void TFBesoinsJournaliers::needsUpdate() {
    BasalCalories = BasalNeeds(NeedsWeight, NeedsAge, NeedsSex);
    EdtBesoinBasic->setText(number(BasalCalories));
    TotalNeeds = BasalCalories + ActivityCalorieTotal;
    EdtTotalDepense->setText(number(TotalNeeds));
}

void TFBesoinsJournaliers::enableGridAndRefresh() {
    DBGActivite->setEnabled(true);
    writeDurations(true);
}

bool TFBesoinsJournaliers::writeDurations(bool reread) {
    try {
        if (reread) {
            TActivite.refresh();
        } else {
            TActivite.edit();
            TActivite.post();
        }
        return true;
    } catch (const DatabaseError& e) {
        ReportDataError(this, DatabaseFailureText(e));
        return false;
    }
}

// In the typed mode each input is checked when it is entered and when it is left. A refused
// value leaves the estimate as it was: only a checked value reaches the computation.
template <typename T, typename Parse>
bool TFBesoinsJournaliers::checkInput(QLineEdit* input, Parse parse, int message, T& target) {
    if (input->text().isEmpty()) return false;
    const auto value = parse(input->text());
    if (!value) {
        inputError(message, input);
        return false;
    }
    target = *value;
    return true;
}

namespace {
// The value of another input, taken when it converts (its own check has passed already).
template <typename T, typename Parse>
void takeFrom(const QLineEdit* input, Parse parse, T& target) {
    if (const auto value = parse(input->text())) target = *value;
}
}  // namespace

void TFBesoinsJournaliers::EdtAgeExit() {
    if (!checkInput(EdtAge, ParseNeedsAge, 1, NeedsAge)) return;
    if (!holdText({EdtTaille, EdtPoids, EdtSexe})) return;
    takeFrom(EdtPoids, ParseNeedsWeight, NeedsWeight);
    takeFrom(EdtSexe, ParseNeedsSex, NeedsSex);
    needsUpdate();
    enableGridAndRefresh();
}

void TFBesoinsJournaliers::EdtTailleExit() {
    if (!checkInput(EdtTaille, ParseNeedsHeight, 2, NeedsHeight)) return;
    if (holdText({EdtPoids})) takeFrom(EdtPoids, ParseNeedsWeight, NeedsWeight);
    if (!holdText({EdtAge, EdtPoids, EdtSexe})) return;
    takeFrom(EdtSexe, ParseNeedsSex, NeedsSex);
    needsUpdate();
    enableGridAndRefresh();
}

void TFBesoinsJournaliers::EdtPoidsExit() {
    if (!checkInput(EdtPoids, ParseNeedsWeight, 3, NeedsWeight)) return;
    if (holdText({EdtTaille})) takeFrom(EdtTaille, ParseNeedsHeight, NeedsHeight);
    if (!holdText({EdtAge, EdtTaille, EdtSexe})) return;
    appState().CurrentUserWeight = NeedsWeight;
    takeFrom(EdtAge, ParseNeedsAge, NeedsAge);
    takeFrom(EdtSexe, ParseNeedsSex, NeedsSex);
    needsUpdate();
    Recalcul();
    enableGridAndRefresh();
}

void TFBesoinsJournaliers::EdtSexeChange() {
    if (!RbtnAutre->isChecked() || changingSex_ || EdtSexe->text().isEmpty()) return;
    const QString upper = EdtSexe->text().toUpper();
    if (upper != EdtSexe->text()) {
        changingSex_ = true;
        EdtSexe->setText(upper);
        changingSex_ = false;
    }
    const std::optional<char> sex = ParseNeedsSex(upper);
    if (!sex) return inputError(4, EdtSexe);
    NeedsSex = *sex;
    if (holdText({EdtPoids, EdtAge})) {
        takeFrom(EdtAge, ParseNeedsAge, NeedsAge);
        takeFrom(EdtPoids, ParseNeedsWeight, NeedsWeight);
        needsUpdate();
    }
    if (holdText({EdtPoids, EdtTaille, EdtAge})) enableGridAndRefresh();
}

void TFBesoinsJournaliers::checkAndMove(char key, void (TFBesoinsJournaliers::*check)(), QWidget* next) {
    if (key != 13) return;
    (this->*check)();
    next->setFocus();
}

void TFBesoinsJournaliers::EdtAgeKeyPress(char key) { checkAndMove(key, &TFBesoinsJournaliers::EdtAgeExit, EdtTaille); }

void TFBesoinsJournaliers::EdtTailleKeyPress(char key) {
    checkAndMove(key, &TFBesoinsJournaliers::EdtTailleExit, EdtPoids);
}

void TFBesoinsJournaliers::EdtPoidsKeyPress(char key) { checkAndMove(key, &TFBesoinsJournaliers::EdtPoidsExit, EdtSexe); }

void TFBesoinsJournaliers::EdtSexeKeyPress(char key) {
    if (key == 13) DBGActivite->setFocus();
}

void TFBesoinsJournaliers::DBGActiviteKeyPress(char key) {
    // A duration the grid has just refused stays pending, already reported.
    if (key == 13 && !TActivite.isEditing()) writeDurations(true);
}

bool TFBesoinsJournaliers::eventFilter(QObject* watched, QEvent* e) {
    const auto type = e->type();
    if (type == QEvent::MouseButtonRelease && watched == LboxUtilisateurs->viewport()) {
        if (LboxUtilisateurs->itemAt(static_cast<QMouseEvent*>(e)->position().toPoint())) LboxUtilisateursClick();
        return false;
    }
    if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
        // Coming back from a message box or another window is neither entering nor leaving.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        if (watched == EdtAge) EdtAgeExit();
        else if (watched == EdtTaille) EdtTailleExit();
        else if (watched == EdtPoids) EdtPoidsExit();
        else if (watched == EdtSexe && type == QEvent::FocusIn) EdtSexeChange();
        return false;
    }
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        if (watched == EdtAge) EdtAgeKeyPress(13);
        else if (watched == EdtTaille) EdtTailleKeyPress(13);
        else if (watched == EdtPoids) EdtPoidsKeyPress(13);
        else if (watched == EdtSexe) EdtSexeKeyPress(13);
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TFBesoinsJournaliers::recomputeActivities() {
    ActivityCalorieTotal = ActivityCalorieSum(TActivite, NeedsWeight);
    if (ActivityCalorieTotal >= 1) {
        EdtActiviteCalorie->setText(number(ActivityCalorieTotal));
        TotalNeeds = BasalCalories + ActivityCalorieTotal;
    } else {
        EdtActiviteCalorie->clear();
        TotalNeeds = BasalCalories;
    }
    EdtTotalDepense->setText(number(TotalNeeds));
}

void TFBesoinsJournaliers::TActiviteAfterPost() { recomputeActivities(); }

void TFBesoinsJournaliers::Recalcul() { recomputeActivities(); }

void TFBesoinsJournaliers::BtnOkClick() {
    Validated = 1;
    // One more pass through the activities, with a pending duration written first.
    if (TActivite.isActive() && TActivite.recNo() >= 0) {
        if (!writeDurations(false)) return;  // the dialog stays open to correct it
    } else {
        recomputeActivities();
    }
    done(QDialog::Accepted);
}

void TFBesoinsJournaliers::BtnAnnuleClick() {
    Validated = 0;
    done(QDialog::Rejected);
}

void TFBesoinsJournaliers::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, kHelpContext); }
