#include "reference/Ueditionutilisateurs.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"

TFEditionUtilisateurs* FEditionUtilisateurs = nullptr;

namespace {

constexpr int kHelpContext = 30;

const QString kBlank = QStringLiteral("        ");

// A whole number in [low, high] typed in an edit.
bool inRange(const QString& text, int low, int high) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n >= low && n <= high;
}

QString invalidValueText(const QString& mode) {
    return kBlank + QStringLiteral("Erreur sur un ou plusieurs champs, valeur absente ou non\n") + kBlank +
           QStringLiteral("valide.") + RefusalTail(mode);
}

}  // namespace

bool UserValuesValid(const QString& age, const QString& height, const QString& weight, const QString& sex) {
    const QString s = sex.trimmed().toUpper();
    return inRange(age, 0, 125) && inRange(height, 40, 272) && inRange(weight, 2, 500) &&
           (s == QLatin1String("M") || s == QLatin1String("F"));
}

TFEditionUtilisateurs::TFEditionUtilisateurs(QWidget* parent) : EditorWindow(parent) {
    setObjectName(QStringLiteral("FEditionUtilisateurs"));
    FEditionUtilisateurs = this;
    buildControls();
    FormCreate();
    OnModuleActivation(this, [this] { FormActivate(); });
}

TFEditionUtilisateurs::~TFEditionUtilisateurs() {
    if (FEditionUtilisateurs == this) FEditionUtilisateurs = nullptr;
}

void TFEditionUtilisateurs::buildControls() {
    setWindowTitle(QStringLiteral("Gestion des utilisateurs"));
    setProperty("HelpContext", kHelpContext);
    UseProgramFont(this);

    LboxUtilisateurs = PlaceWidget<QListWidget>(this, "LboxUtilisateurs", {8, 8, 170, 232});

    auto placeField = [this](const char* labelName, const QString& caption, const char* editName, int y, int width,
                             const QString& field, QLabel** label) {
        *label = PlaceLabel(this, labelName, caption, QRect(190, y, 0, 0));
        auto* edit = PlaceWidget<DbLineEdit>(this, editName, {190, y + 16, width, 21});
        edit->setField(&TUtilisateurs, field);
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { userChanged(edit); });
        return edit;
    };
    DBEdtNom = placeField("LblNom", QStringLiteral("Nom"), "DBEdtNom", 8, 170, QStringLiteral("Nom"), &LblNom);
    DBEdtAge = placeField("LblAge", QStringLiteral("Age"), "DBEdtAge", 52, 60, QStringLiteral("Age"), &LblAge);
    DBEdtTaille = placeField("LblTaille", QStringLiteral("Taille (cm)"), "DBEdtTaille", 96, 60,
                             QStringLiteral("Taille"), &LblTaille);
    DBEdtPoids = placeField("LblPoids", QStringLiteral("Poids (kg)"), "DBEdtPoids", 140, 60,
                            QStringLiteral("Poids"), &LblPoids);
    DBEdtSexe = placeField("LblSexe", QStringLiteral("Sexe"), "DBEdtSexe", 184, 30, QStringLiteral("Sexe"), &LblSexe);
    DBEdtSexe->setToolTip(QStringLiteral("Sexe : F (Feminin), M (Masculin)"));

    BtnNouveau = PlaceButton(this, "BtnNouveau", QStringLiteral("Nouveau"), QRect(8, 252, 84, 25));
    BtnEnregistrer = PlaceButton(this, "BtnEnregistrer", QStringLiteral("Enregistrer"), QRect(97, 252, 84, 25));
    BtnSupprimer = PlaceButton(this, "BtnSupprimer", QStringLiteral("Supprimer"), QRect(186, 252, 84, 25));
    BtnQuitter = PlaceButton(this, "BtnQuitter", QStringLiteral("Quitter"), QRect(275, 252, 84, 25));

    connect(BtnNouveau, &QPushButton::clicked, this, [this] { BtnNouveauClick(); });
    connect(BtnEnregistrer, &QPushButton::clicked, this, [this] { BtnEnregistrerClick(); });
    connect(BtnSupprimer, &QPushButton::clicked, this, [this] { BtnSupprimerClick(); });
    connect(BtnQuitter, &QPushButton::clicked, this, [this] { BtnQuitterClick(); });
    OnListPick(LboxUtilisateurs, [this] { LboxUtilisateursClick(); });

    // The name as stored when the row's editing begins: the list entry a rename replaces.
    TUtilisateurs.onBeforeEdit = [this](Table& t) { OldUserName = t.asString(QStringLiteral("Nom")); };
}

void TFEditionUtilisateurs::FormCreate() {
    InCreate = true;
    resize(369, 286);   // a 377 x 320 window with its frame
    InCreate = false;
    setFixedSize(size());
    UserEditorActivated = false;
}

void TFEditionUtilisateurs::userChanged(DbLineEdit* edit) {
    UserModified = true;
    if (edit == DBEdtSexe) {
        const QString upper = DBEdtSexe->text().toUpper();
        if (upper != DBEdtSexe->text()) {
            const int at = DBEdtSexe->cursorPosition();
            DBEdtSexe->setText(upper);
            DBEdtSexe->setCursorPosition(at);
        }
    }
}

void TFEditionUtilisateurs::FormActivate() {
    // A row still being edited keeps its flags, so leaving it asks the question first.
    if (!TUtilisateurs.isEditing()) NewUser = UserModified = SaveRequested = false;
    TUtilisateurs.open();
    if (UserEditorActivated) return;
    QStringList names;
    for (TUtilisateurs.first(); !TUtilisateurs.eof(); TUtilisateurs.next()) names << TUtilisateurs.asString(QStringLiteral("Nom"));
    FillSorted(LboxUtilisateurs, names);
    if (LboxUtilisateurs->count() > 0)
        showUser(0);
    else
        ShowMessageBox(kBlank + QStringLiteral("Pour créer un nouvel utilisateur cliquez sur \"Nouveau\"."),
                       QStringLiteral("Premier pas avec la gestion des utilisateurs"), 4, nullptr, false);
    UserEditorActivated = true;
}

void TFEditionUtilisateurs::showUser(int row) {
    SelectListRow(LboxUtilisateurs, row);
    if (row >= 0) TUtilisateurs.findKey(LboxUtilisateurs->item(row)->text());
}

bool TFEditionUtilisateurs::SaveUserChanges() { return saveUserChanges(false); }

bool TFEditionUtilisateurs::SaveBeforeClosing() {
    SaveUserChanges();
    return !NewUser && !UserModified;
}

bool TFEditionUtilisateurs::saveUserChanges(bool leaving) {
    if (!NewUser && !UserModified) return true;
    const QString mode = SaveMode(NewUser);
    bool result = true;
    bool keepTyping = false;
    if (!AskSaveQuestion(mode, QStringLiteral(" de cet utilisateur ?"))) {
        TUtilisateurs.cancel();
    } else {
        const QString name = DBEdtNom->text();
        QString refusal;
        bool busy = false;
        if (NewUser && FindListItem(LboxUtilisateurs, name) >= 0)
            refusal = QStringLiteral("Cet utilisateur existe déja !\n") + mode + QStringLiteral(" annulée !");
        else if (name.trimmed().isEmpty() ||
                 !UserValuesValid(DBEdtAge->text(), DBEdtTaille->text(), DBEdtPoids->text(), DBEdtSexe->text()))
            refusal = invalidValueText(mode);
        if (refusal.isEmpty()) {
            try {
                TUtilisateurs.edit();
                TUtilisateurs.post();
            } catch (const DatabaseError& e) {
                // Refused by the table (a name already stored under the key), or held by another
                // program: then nothing was wrong with the typing, which stays even when leaving.
                busy = IsDatabaseBusy(e);
                refusal = invalidValueText(mode);
            }
        }
        if (refusal.isEmpty()) {
            // The list follows: a new name is added, a renamed user's entry replaced.
            if (!NewUser) RemoveListItem(LboxUtilisateurs, FindListItem(LboxUtilisateurs, OldUserName));
            SelectListRow(LboxUtilisateurs, InsertSortedItem(LboxUtilisateurs, TUtilisateurs.asString(QStringLiteral("Nom"))));
        } else {
            if (busy)
                ReportDatabaseBusy();
            else
                ShowSaveError(refusal);
            result = false;
            // Leaving for another user drops the typing; staying keeps it for correction.
            if (leaving && !busy)
                TUtilisateurs.cancel();
            else
                keepTyping = true;
        }
    }
    if (SaveRequested && !keepTyping) showUser(FindListItem(LboxUtilisateurs, TUtilisateurs.asString(QStringLiteral("Nom"))));
    if (!keepTyping) NewUser = UserModified = false;
    SaveRequested = false;
    return result;
}

void TFEditionUtilisateurs::LboxUtilisateursClick() {
    QListWidgetItem* item = LboxUtilisateurs->currentItem();
    if (!item) return;
    const QString clicked = item->text();
    try {
        if (!saveUserChanges(true) && (NewUser || UserModified)) {
            // The typing was kept: the user stays on the row it belongs to.
            SelectListRow(LboxUtilisateurs, FindListItem(LboxUtilisateurs, OldUserName));
            return;
        }
        // A rename may have taken the clicked entry away: the saved user is shown then.
        const int row = FindListItem(LboxUtilisateurs, clicked);
        if (row >= 0)
            showUser(row);
        else
            SelectListRow(LboxUtilisateurs, FindListItem(LboxUtilisateurs, TUtilisateurs.asString(QStringLiteral("Nom"))));
    } catch (const DatabaseError&) {
    }
}

void TFEditionUtilisateurs::BtnNouveauClick() {
    try {
        if (!SaveUserChanges()) return;
        NewUser = true;
        TUtilisateurs.append();
        DBEdtNom->setFocus();
    } catch (const DatabaseError&) {
    }
}

void TFEditionUtilisateurs::BtnEnregistrerClick() {
    SaveRequested = true;
    SaveUserChanges();
}

void TFEditionUtilisateurs::BtnSupprimerClick() {
    if (ShowMessageBox(kBlank + QStringLiteral("Voulez-vous vraiment supprimer cet utilisateur ?"),
                       QStringLiteral("Suppression d'un utilisateur"), 36, nullptr, false) != 6)
        return;
    if (NewUser) {
        // A user not saved yet is simply dropped.
        TUtilisateurs.cancel();
    } else if (!TUtilisateurs.isEmpty()) {
        TUtilisateurs.cancel();
        const QString name = TUtilisateurs.asString(QStringLiteral("Nom"));
        TUtilisateurs.remove();
        RemoveListItem(LboxUtilisateurs, FindListItem(LboxUtilisateurs, name));
    }
    NewUser = UserModified = false;
    showUser(LboxUtilisateurs->count() > 0 ? 0 : -1);
}

void TFEditionUtilisateurs::FormClose() { TUtilisateurs.close(); }

void TFEditionUtilisateurs::FormHelp() { OpenHelpTopic(this, appState().HelpFilePath, kHelpContext); }

QWidget* CreateEditionUtilisateurs() { return ShowActiveModuleWindow(new TFEditionUtilisateurs()); }
