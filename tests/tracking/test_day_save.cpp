// The day's save without the window: the history write and its all-or-nothing rule, the weight
// check and the numbers read from the edits; and the date dialog's weight and "Ok" protocol.
#include <QCalendarWidget>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "data/Database.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "platform/HelpViewer.h"
#include "platform/Modal.h"
#include "support/DataFixture.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "tracking/DaySave.h"
#include "tracking/Useldate.h"

namespace {

void setDay(std::initializer_list<std::pair<const char*, double>> rows) {
    Query::execute(QStringLiteral("DELETE FROM t_consommation"));
    int numero = 0;
    for (const auto& [name, quantity] : rows)
        Query::execute(QStringLiteral("INSERT INTO t_consommation VALUES (?, 0.5, 0.1, 0.2, 0.3, ?, ?)"),
                       {QString::fromUtf8(name), quantity, numero++});
}

QStringList savedFoods(const QString& user, const QDate& day) {
    Query q(QStringLiteral("SELECT NomAliment, QuantiteGramme FROM t_histo_consommation "
                           "WHERE NomUtilisateur = ? AND DateConso = ? ORDER BY Numero"),
            {user, day});
    q.open();
    QStringList foods;
    for (q.first(); !q.eof(); q.next()) foods << q.asString(0) + QLatin1Char('=') + q.asString(1);
    return foods;
}

int infoRows(const QString& user, const QDate& day) {
    return Query::scalar(QStringLiteral("SELECT COUNT(*) FROM t_histo_infos_utilisateur "
                                        "WHERE NomUtilisateur = ? AND DateConso = ?"),
                         {user, day})
        .toInt();
}

const QDate kDay(2026, 3, 14);

}  // namespace

TEST_F(DataTest, SavingADayTwiceKeepsOnlyTheSecondSave) {
    const QString user = QStringLiteral("Zoé d'Arc");
    setDay({{"Pomme", 150}, {"Pain", 80}});
    SaveProgress progress;
    WriteSavedDay({user, kDay, 70, 1800}, progress);
    // Another day of the same user and the same day of someone else stay as they are.
    WriteSavedDay({user, kDay.addDays(1), 71, 1900}, progress);
    WriteSavedDay({QStringLiteral("Jean"), kDay, 75, 2000}, progress);

    setDay({{"Riz", 200}});
    WriteSavedDay({user, kDay, 72.5, 1700}, progress);
    EXPECT_EQ(progress.location, QStringLiteral("C2.0-10"));

    EXPECT_EQ(savedFoods(user, kDay), QStringList{QStringLiteral("Riz=200")});
    EXPECT_EQ(infoRows(user, kDay), 1);
    Query info(QStringLiteral("SELECT DateConso, Poids, ObjectifCalorique FROM t_histo_infos_utilisateur "
                              "WHERE NomUtilisateur = ? AND DateConso = ?"),
               {user, kDay});
    info.open();
    EXPECT_EQ(info.asString(0), QStringLiteral("2026-03-14"));
    EXPECT_DOUBLE_EQ(info.asDouble(1), 72.5);
    EXPECT_DOUBLE_EQ(info.asDouble(2), 1700);

    EXPECT_EQ(savedFoods(user, kDay.addDays(1)).size(), 2);
    EXPECT_EQ(savedFoods(QStringLiteral("Jean"), kDay).size(), 2);
    EXPECT_EQ(infoRows(QStringLiteral("Jean"), kDay), 1);
}

TEST_F(DataTest, AFailedSaveLeavesTheEarlierSaveOfThatDay) {
    setDay({{"Pomme", 150}, {"Pain", 80}});
    SaveProgress progress;
    WriteSavedDay({QStringLiteral("Jean"), kDay, 75, 2000}, progress);

    // The copy of the rows fails: the deletions before it must not stay.
    Query::execute(QStringLiteral("CREATE TEMP TRIGGER copy_fails BEFORE INSERT ON t_histo_consommation "
                                  "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    setDay({{"Riz", 200}});
    EXPECT_THROW(WriteSavedDay({QStringLiteral("Jean"), kDay, 80, 2500}, progress), DatabaseError);
    EXPECT_EQ(progress.location, QStringLiteral("C2.0-9"));
    EXPECT_EQ(savedFoods(QStringLiteral("Jean"), kDay),
              (QStringList{QStringLiteral("Pomme=150"), QStringLiteral("Pain=80")}));
    EXPECT_EQ(Query::scalar(QStringLiteral("SELECT Poids FROM t_histo_infos_utilisateur WHERE NomUtilisateur = ?"),
                            {QStringLiteral("Jean")})
                  .toDouble(),
              75);
    Query::execute(QStringLiteral("DROP TRIGGER copy_fails"));
}

TEST(DaySave, WeightAndNumbersOfTheEdits) {
    FrenchLocaleGuard french;
    for (const char* good : {"", "0", "72,5", "250"}) EXPECT_TRUE(IsAcceptableDayWeight(QString::fromLatin1(good))) << good;
    for (const char* bad : {"300", "-1", "250,5", "abc", "72.5x"})
        EXPECT_FALSE(IsAcceptableDayWeight(QString::fromLatin1(bad))) << bad;

    double v = -1;
    ASSERT_TRUE(DaySaveNumber(QStringLiteral("72,5"), &v));
    EXPECT_DOUBLE_EQ(v, 72.5);
    ASSERT_TRUE(DaySaveNumber(QString(), &v));
    EXPECT_DOUBLE_EQ(v, 0);
    EXPECT_FALSE(DaySaveNumber(QStringLiteral("12a"), &v));

    EXPECT_EQ(DaySaveUserName(QString()), QStringLiteral("Utilisateur"));
    EXPECT_EQ(DaySaveUserName(QStringLiteral("Marie")), QStringLiteral("Marie"));
    EXPECT_TRUE(ErrorReportAddress(QStringLiteral("C2.0-6NE10")).endsWith(
        QStringLiteral("/Pages_fr/recup-erreurs-Vivanda.php?err=C2.0-6NE10")));
}

TEST(SelDate, RefusedWeightKeepsTheDialogOpenForOneClick) {
    FrenchLocaleGuard french;
    modal::clearHandlers();
    TFSelDate dialog;
    MessageLog log;
    modal::pushHandler([&](modal::Call& c) {
        // A weight out of range: refused, emptied, and the click that left the edit does not close.
        dialog.EdtPoids->setText(QStringLiteral("300"));
        AnswerNextMessage(log);
        dialog.EdtPoidsExit();
        EXPECT_TRUE(dialog.EdtPoids->text().isEmpty());
        dialog.BtnOkClick();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.Validated, 0);
        // A decimal comma is accepted and "Ok" closes.
        dialog.EdtPoids->setText(QStringLiteral("72,5"));
        dialog.EdtPoidsExit();
        dialog.BtnOkClick();
        EXPECT_FALSE(dialog.isVisible());
        c.result = dialog.result();
    });
    EXPECT_EQ(modal::exec(&dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.Validated, 1);
    EXPECT_EQ(log.texts, QStringList{QStringLiteral("        Valeur non valide pour un poids !")});
    EXPECT_EQ(log.captions, QStringList{QStringLiteral("Erreur de saisie")});

    // Shown again and closed by its close box: not validated, whatever the last showing did.
    modal::pushHandler([&](modal::Call&) {
        EXPECT_EQ(dialog.Validated, 0);
        dialog.reject();
    });
    modal::exec(&dialog);
    EXPECT_EQ(dialog.Validated, 0);
    EXPECT_EQ(modal::unexpectedShows(), 0);
}

TEST(SelDate, HelpKeyOpensTheHelpContents) {
    appState().HelpFilePath = QStringLiteral(VIVANDA_SOURCE_DIR "/resources/help");
    TFSelDate dialog;
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_NE(currentHelpWindow(), nullptr);
    EXPECT_EQ(currentHelpWindow()->browser()->source().fileName(), QStringLiteral("index.html"));
    EXPECT_FALSE(currentHelpWindow()->browser()->toPlainText().isEmpty());
    resetAppState();
}
