#include "reference/Ueditionutilisateurs.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "data/Database.h"
#include "data/DbWidgets.h"
#include "data/Query.h"
#include "data/TypedNumber.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "frame/Umessages.h"
#include "platform/HelpViewer.h"
#include "reference/NameRules.h"
#include "reference/UserNames.h"

TFEditionUtilisateurs* FEditionUtilisateurs = nullptr;

namespace {

constexpr int kHelpContext = 30;

const QString kBlank = QStringLiteral("        ");

QString invalidValueText(const QString& mode, const QString& detail = QString()) {
    return kBlank + QStringLiteral("Erreur sur un ou plusieurs champs, valeur absente ou non\n") + kBlank +
           QStringLiteral("valide.") + (detail.isEmpty() ? QString() : QStringLiteral("\n") + detail) + RefusalTail(mode);
}

QString existsText(const QString& mode) {
    return QStringLiteral("Cet utilisateur existe déjà !\n") + mode + QStringLiteral(" annulée !");
}


}  // namespace

QString UserValueProblem(const QString& age, const QString& height, const QString& weight, const QString& sex) {
    const struct {
        const QString& text;
        const char* field;
        const NumberRule& rule;
    } ranges[] = {{age, "Âge", NumberRules::Age}, {height, "Taille (cm)", NumberRules::HeightCm},
                  {weight, "Poids (kg)", NumberRules::WeightKg}};
    for (const auto& r : ranges) {
        QString refusal;
        if (!CheckTypedNumber(QString::fromUtf8(r.field), r.text, r.rule, &refusal)) return refusal;
    }
    const QString s = sex.trimmed().toUpper();
    if (s != QLatin1String("M") && s != QLatin1String("F"))
        return kBlank + QStringLiteral("Sexe : F (féminin) ou M (masculin) est attendu.");
    return QString();
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
        edit->setCaption(caption);
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { userChanged(edit); });
        return edit;
    };
    DBEdtNom = placeField("LblNom", QStringLiteral("Nom"), "DBEdtNom", 8, 170, QStringLiteral("Nom"), &LblNom);
    DBEdtAge = placeField("LblAge", QStringLiteral("Âge"), "DBEdtAge", 52, 60, QStringLiteral("Age"), &LblAge);
    DBEdtTaille = placeField("LblTaille", QStringLiteral("Taille (cm)"), "DBEdtTaille", 96, 60,
                             QStringLiteral("Taille"), &LblTaille);
    DBEdtPoids = placeField("LblPoids", QStringLiteral("Poids (kg)"), "DBEdtPoids", 140, 60,
                            QStringLiteral("Poids"), &LblPoids);
    DBEdtAge->setNumberRule(NumberRules::Age);
    DBEdtTaille->setNumberRule(NumberRules::HeightCm);
    DBEdtPoids->setNumberRule(NumberRules::WeightKg);
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
    // Typing with no user shown (an empty table) started a new one.
    if (TUtilisateurs.state() == Table::State::Insert) NewUser = true;
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
                       QStringLiteral("Premiers pas avec la gestion des utilisateurs"), 4, nullptr, false);
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
        bool failedWrite = false;
        const std::optional<QString> refusal = storeUser(mode, failedWrite);
        if (refusal) {
            if (!refusal->isEmpty()) ShowSaveError(*refusal);
            result = false;
            // Leaving for another user drops refused values; a write that failed keeps the typing
            // for a retry, and so does staying.
            if (leaving && !failedWrite)
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

bool TFEditionUtilisateurs::nameTaken(const QString& name, const QString& ownName) {
    // As food and recipe names: letter case, accents and surrounding blanks aside.
    return UserNameTaken(name, ownName);
}

bool TFEditionUtilisateurs::askMoveDays(const QString& oldName, const QString& newName) {
    const int days = Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_histo_infos_utilisateur WHERE NomUtilisateur = ?"),
                                   {oldName})
                         .toInt();
    if (days == 0) return false;
    // Two days of one date under one name would make one day of two.
    const bool clashes = SavedDaysClash(oldName, newName);
    const QString saved = days == 1 ? QStringLiteral("une journée enregistrée") : QStringLiteral("%1 journées enregistrées").arg(days);
    const QString caption = QStringLiteral("Journées enregistrées");
    if (clashes) {
        ShowMessageBox(kBlank + QStringLiteral("%1 a %2 ;\n").arg(oldName, saved) + kBlank +
                           QStringLiteral("le nom %1 en a déjà aux mêmes dates.\n").arg(newName) + kBlank +
                           (days == 1 ? QStringLiteral("Cette journée reste sous le nom %1.")
                                      : QStringLiteral("Les journées restent sous le nom %1."))
                               .arg(oldName),
                       caption, 48, nullptr, false);
        return false;
    }
    const bool one = days == 1;
    return ShowMessageBox(kBlank + QStringLiteral("%1 a %2.\n").arg(oldName, saved) + kBlank +
                              (one ? QStringLiteral("Voulez-vous la passer au nom %1 ?\n")
                                   : QStringLiteral("Voulez-vous les passer au nom %1 ?\n"))
                                  .arg(newName) +
                              kBlank +
                              (one ? QStringLiteral("(Non : elle reste sous le nom %1.)")
                                   : QStringLiteral("(Non : elles restent sous le nom %1.)"))
                                  .arg(oldName),
                          caption, 36, nullptr, false) == 6;
}

std::optional<QString> TFEditionUtilisateurs::storeUser(const QString& mode, bool& failedWrite) {
    const EditorName typed = CheckEditorName(DBEdtNom->text());
    if (!typed.refusal.isEmpty()) return typed.refusal + RefusalTail(mode);
    if (typed.name.isEmpty()) return invalidValueText(mode, kBlank + QStringLiteral("Nom : le nom est vide."));
    const QString oldName = NewUser ? QString() : OldUserName;
    const bool renamed = !NewUser && typed.name != oldName;
    if ((NewUser || renamed) && nameTaken(typed.name, oldName)) return existsText(mode);
    const QString problem = UserValueProblem(DBEdtAge->text(), DBEdtTaille->text(), DBEdtPoids->text(), DBEdtSexe->text());
    if (!problem.isEmpty()) return invalidValueText(mode, problem);
    if (typed.name != DBEdtNom->text()) DBEdtNom->setText(typed.name);
    const bool moveDays = renamed && askMoveDays(oldName, typed.name);

    const QList<DbLineEdit*> edits{DBEdtNom, DBEdtAge, DBEdtTaille, DBEdtPoids, DBEdtSexe};
    QStringList typedValues;
    for (DbLineEdit* edit : edits) typedValues << edit->text();
    try {
        Transaction transaction;
        TUtilisateurs.edit();
        // The name as stored is the one checked: the edit's typing may have reached the row
        // before it was trimmed (the edit left for another before "Enregistrer").
        TUtilisateurs.setValue(QStringLiteral("Nom"), typed.name);
        TUtilisateurs.post();
        if (moveDays) MoveSavedDays(oldName, typed.name);
        transaction.commit();
    } catch (const DatabaseError& e) {
        failedWrite = true;
        // Posted, then undone with the rest: the row takes the typing back for a retry.
        if (!TUtilisateurs.isEditing()) {
            TUtilisateurs.refresh();
            if (NewUser) {
                TUtilisateurs.append();
            } else {
                TUtilisateurs.findKey(oldName);
                TUtilisateurs.edit();
            }
            for (int i = 0; i < edits.size(); ++i) TUtilisateurs.setValue(edits[i]->field(), typedValues[i]);
        }
        ReportSaveRefusal(e, invalidValueText(mode));
        return QString();
    }
    // The list follows: a new name is added, a renamed user's entry replaced.
    if (!NewUser) RemoveListItem(LboxUtilisateurs, FindListItem(LboxUtilisateurs, oldName));
    SelectListRow(LboxUtilisateurs, InsertSortedItem(LboxUtilisateurs, TUtilisateurs.asString(QStringLiteral("Nom"))));
    return std::nullopt;
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
        FocusAfterModal(DBEdtNom);
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
