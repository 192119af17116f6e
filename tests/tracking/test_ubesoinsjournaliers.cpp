#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "data/DbWidgets.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "platform/Modal.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "support/Typing.h"
#include "tracking/Ubesoinsjournaliers.h"

TEST(BasalNeeds, AgeBandsSexesAndActivities) {
    // {weight, age, sex, kcal}. Age 2 rounds up (12 x 386 / 4.185 = 1106.8); age 3 opens the 3 to 9
    // band; the others truncate toward zero (835.5, 836.5, 1826.5, 1348.6, 1307.5); 40 kg at 17
    // gives 1233.99.. in decimal terms and 1234 exactly here.
    const struct { int weight, age; char sex; int kcal; } cases[] = {
        {10, 1, 'M', 1100}, {10, 0, 'F', 1100}, {12, 2, 'M', 1107}, {12, 2, 'F', 1061},
        {15, 3, 'M', 835}, {15, 3, 'F', 836}, {30, 9, 'M', 1176}, {30, 10, 'M', 1176},
        {40, 17, 'F', 1234}, {75, 29, 'M', 1826}, {58, 28, 'F', 1348}, {75, 59, 'M', 1749},
        {55, 30, 'F', 1307}, {70, 60, 'M', 1432}, {70, 99, 'F', 1331}, {70, 40, 'X', 0}};
    for (const auto& c : cases) EXPECT_EQ(BasalNeeds(c.weight, c.age, c.sex), c.kcal) << c.weight << " kg, " << c.age;

    EXPECT_EQ(ActivityCalories(500, 1000000, 1000.0f, true), INT32_MAX);  // no overflow
}

TEST(NeedsInputs, ConversionsAndRanges) {
    FrenchLocaleGuard french;
    // Ages 1 to 125, whole; heights in cm above 25 up to 280, French numbers; weights 1 to 500
    // truncated; the sex by its first letter.
    for (const char* bad : {"0", "126", "trente"}) EXPECT_FALSE(ParseNeedsAge(bad)) << bad;
    EXPECT_EQ(ParseNeedsAge("1"), 1);
    EXPECT_EQ(ParseNeedsAge("125"), 125);
    for (const char* bad : {"25", "281", "1.78"}) EXPECT_FALSE(ParseNeedsHeight(bad)) << bad;
    EXPECT_TRUE(ParseNeedsHeight("25,5"));
    EXPECT_FLOAT_EQ(*ParseNeedsHeight("280"), 2.8f);
    for (const char* bad : {"0,5", "501", "-3", "1e300"}) EXPECT_FALSE(ParseNeedsWeight(bad)) << bad;
    EXPECT_EQ(ParseNeedsWeight("500,9"), 500);
    EXPECT_EQ(ParseNeedsWeight("1"), 1);
    EXPECT_EQ(ParseNeedsSex("femme"), 'F');
    EXPECT_FALSE(ParseNeedsSex(""));
}

namespace {

// The refusals of the typed age, height and weight, with the range each takes.
const QString kAgeRefused = "        Âge non valide !        Valeur attendue : un nombre entier de 1 à 125 ans.";
const QString kHeightRefused = "        Taille non valide !        Valeur attendue : un nombre de 25 à 280 cm.";
const QString kWeightRefused = "        Poids non valide !        Valeur attendue : un nombre de 1 à 500 kg.";

class DailyNeeds : public FormTest {
protected:
    using Check = void (TFBesoinsJournaliers::*)();
    void SetUp() override {
        FormTest::SetUp();
        Query::execute("INSERT INTO t_utilisateurs (Nom, Age, Taille, Poids, Sexe) VALUES (?, 45, 160, 60, 'F')",
                       {QStringLiteral("O'Neil")});
        Query::execute("INSERT INTO t_utilisateurs (Nom, Age, Taille, Poids, Sexe) VALUES (?, 50, 170, 80, 'X')",
                       {QStringLiteral("Zoé")});
        dialog = std::make_unique<TFBesoinsJournaliers>();
    }
    void TearDown() override {
        dialog.reset();
        FormTest::TearDown();
    }
    // Types minutes for an activity, as the grid does, and posts them unless told otherwise.
    void setDuration(int activity, int minutes, bool post = true) {
        ASSERT_TRUE(dialog->TActivite.findKey(activity));
        dialog->TActivite.edit();
        dialog->TActivite.setValue("Duree", minutes);
        if (post) dialog->TActivite.post();
    }
    static int storedMinutes() { return Query::scalar("SELECT SUM(Duree) FROM t_activites").toInt(); }
    void type(QLineEdit* edit, const QString& text, Check check) {
        edit->setText(text);
        (dialog.get()->*check)();
    }
    void pick(const QString& name) {
        const auto found = dialog->LboxUtilisateurs->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        dialog->LboxUtilisateurs->setCurrentItem(found.first());
    }
    QPoint at(const QString& name) const {
        const auto found = dialog->LboxUtilisateurs->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? QPoint() : dialog->LboxUtilisateurs->visualItemRect(found.first()).center();
    }
    // Window activation arrives through the event queue.
    void activate() {
        dialog->activateWindow();
        QApplication::processEvents();
    }

    FrenchLocaleGuard french;
    std::unique_ptr<TFBesoinsJournaliers> dialog;
    MessageLog log;
};

}  // namespace

TEST_F(DailyNeeds, TypedModeChecksAndMessages) {
    TFBesoinsJournaliers& d = *dialog;
    appState().CurrentUserName = QStringLiteral("Jean");
    appState().CurrentUserWeight = 12;
    modal::pushHandler([&](modal::Call&) {
        EXPECT_FALSE(d.EdtAge->isEnabled());
        d.RbtnAutre->setChecked(true);
        EXPECT_TRUE(d.EdtAge->isEnabled());
        EXPECT_FALSE(d.LboxUtilisateurs->isEnabled());
        EXPECT_FALSE(d.DBGActivite->isEnabled());

        // Each refused value is emptied; then a good one.
        for (int i = 0; i < 5; ++i) AnswerNextMessage(log);
        const struct { QLineEdit* edit; Check check; const char *bad, *good; } inputs[] = {
            {d.EdtAge, &TFBesoinsJournaliers::EdtAgeExit, "30,5", "59"},
            {d.EdtTaille, &TFBesoinsJournaliers::EdtTailleExit, "25", "178"},
            {d.EdtPoids, &TFBesoinsJournaliers::EdtPoidsExit, "0,5", "75"}};
        for (const auto& in : inputs) {
            type(in.edit, in.bad, in.check);
            EXPECT_TRUE(in.edit->text().isEmpty()) << in.bad;
            type(in.edit, in.good, in.check);
        }
        EXPECT_EQ(appState().CurrentUserWeight, 12);  // the sex is still missing
        d.EdtSexe->setText("x");                        // checked as it is typed
        EXPECT_TRUE(d.EdtSexe->text().isEmpty());
        EXPECT_TRUE(d.EdtBesoinBasic->text().isEmpty());
        d.EdtSexe->setText("m");
        EXPECT_EQ(d.EdtSexe->text(), QStringLiteral("M"));
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("1749"));
        EXPECT_TRUE(d.DBGActivite->isEnabled());

        // A refused weight never reaches the computation: 30 minutes of walking count 75 kg.
        type(d.EdtPoids, "600", &TFBesoinsJournaliers::EdtPoidsExit);
        setDuration(1, 30);
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("102"));   // 30 x 75 x 0.0455
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("1851"));

        // A weight checked with the three other inputs filled becomes the user's weight and
        // recomputes the activities.
        type(d.EdtPoids, "80", &TFBesoinsJournaliers::EdtPoidsExit);
        EXPECT_EQ(appState().CurrentUserWeight, 80);
        EXPECT_EQ(d.EdtBesoinBasic->text(), QStringLiteral("1807"));     // 11.6 x 80 + 879
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("109"));  // 30 x 80 x 0.0455

        // A new age or sex changes the basal needs; the total keeps the activities.
        const std::function<void()> changes[] = {
            [&] { type(d.EdtAge, "25", &TFBesoinsJournaliers::EdtAgeExit); },
            [&] { d.EdtSexe->setText("f"); },
            [&] { type(d.EdtAge, "70", &TFBesoinsJournaliers::EdtAgeExit); },
            [&] { d.EdtSexe->setText("m"); },
        };
        QString basal = d.EdtBesoinBasic->text();
        for (const auto& change : changes) {
            change();
            EXPECT_NE(d.EdtBesoinBasic->text(), basal);
            basal = d.EdtBesoinBasic->text();
            EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("109")) << basal.toStdString();
            EXPECT_EQ(d.EdtTotalDepense->text().toInt(), basal.toInt() + 109) << basal.toStdString();
        }
        type(d.EdtAge, "59", &TFBesoinsJournaliers::EdtAgeExit);
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(log.texts, (QStringList{kAgeRefused, kHeightRefused, kWeightRefused, Flat(d.MessageTable[4]), kWeightRefused}));
    EXPECT_EQ(d.Validated, 1);
    EXPECT_EQ(d.TotalNeeds, 1807 + 109);
    EXPECT_EQ(appState().CurrentUserName, QStringLiteral("Jean"));  // typed mode never names a user
}

TEST_F(DailyNeeds, ListedUsersAndTheirActivities) {
    TFBesoinsJournaliers& d = *dialog;
    modal::pushHandler([&](modal::Call&) {
        pick("Jean");
        EXPECT_EQ(d.EdtAge->text(), QStringLiteral("35"));
        EXPECT_EQ(d.EdtBesoinBasic->text(), QStringLiteral("1749"));
        EXPECT_EQ(appState().CurrentUserName, QStringLiteral("Jean"));
        EXPECT_EQ(appState().CurrentUserWeight, 75);
        EXPECT_TRUE(d.DBGActivite->isEnabled());
        setDuration(2, 10);  // running: trunc(10 x 75 x 0.1525) = 114
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("114"));
        // The same user clicked again keeps the activities and the total they give.
        QWidget* names = d.LboxUtilisateurs->viewport();
        QTest::mouseClick(names, Qt::LeftButton, {}, at("Jean"));
        EXPECT_EQ(storedMinutes(), 10);
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("1863"));

        // Another user, here by a drag from the first name, starts from no activity; back to
        // 0 minutes gives the basal needs alone.
        QTest::mousePress(names, Qt::LeftButton, {}, at("Jean"));
        QTest::mouseMove(names, at("Marie"));
        QTest::mouseRelease(names, Qt::LeftButton, {}, at("Marie"));
        EXPECT_EQ(appState().CurrentUserName, QStringLiteral("Marie"));
        EXPECT_EQ(storedMinutes(), 0);
        EXPECT_EQ(d.TotalNeeds, 1348);
        setDuration(1, 30);
        EXPECT_EQ(d.TotalNeeds, 1348 + 79);
        setDuration(1, 0);
        EXPECT_TRUE(d.EdtActiviteCalorie->text().isEmpty());
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("1348"));

        pick("O'Neil");  // a name with a quote
        EXPECT_EQ(d.TotalNeeds, 1351);

        // A stored sex that is neither M nor F is refused: no estimate, nothing changes.
        AnswerNextMessage(log);
        pick("Zoé");
        EXPECT_TRUE(d.EdtBesoinBasic->text().isEmpty());
        EXPECT_FALSE(d.DBGActivite->isEnabled());
        EXPECT_EQ(appState().CurrentUserName, QStringLiteral("O'Neil"));
        EXPECT_EQ(appState().CurrentUserWeight, 60);
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(log.texts, QStringList{Flat(d.MessageTable[4])});
    EXPECT_EQ(d.Validated, 1);
    EXPECT_EQ(d.TotalNeeds, 1351);

    // Every opening starts in list mode with empty inputs, a locked grid and no activity;
    // "Annuler" keeps the last estimate.
    Query::execute("UPDATE t_activites SET Duree = 20");
    modal::pushHandler([&](modal::Call&) {
        EXPECT_EQ(storedMinutes(), 0);
        EXPECT_TRUE(d.LboxUtilisateurs->selectedItems().isEmpty());  // the list had the focus: no one picked
        EXPECT_TRUE(d.EdtTotalDepense->text().isEmpty());
        EXPECT_FALSE(d.DBGActivite->isEnabled());
        d.BtnAnnule->click();
    });
    modal::exec(&d);
    EXPECT_EQ(d.Validated, 0);
    EXPECT_EQ(d.TotalNeeds, 1351);
}

TEST_F(DailyNeeds, GridEnterAndOkWriteThePendingDuration) {
    TFBesoinsJournaliers& d = *dialog;
    appState().LanguageCode = 200;   // the activities in English
    modal::pushHandler([&](modal::Call&) {
        EXPECT_EQ(d.DBGActivite->model()->index(0, 0).data().toString(), QStringLiteral("Walking"));
        pick("Jean");
        // A negative duration, or one longer than a day, is refused at Enter and at Ok alike,
        // and stays to be corrected.
        QStringList refusals;
        for (int i = 0; i < 3; ++i)
            modal::pushHandler([&](modal::Call& c) { refusals << static_cast<QMessageBox*>(c.dialog)->text(); });
        setDuration(2, -20, false);
        d.DBGActivite->pressEnter();
        d.BtnOk->click();
        EXPECT_TRUE(d.isVisible());
        d.TActivite.setValue("Duree", 1441);
        d.DBGActivite->pressEnter();
        EXPECT_EQ(refusals, QStringList(3, QStringLiteral("        Durée non valide !")));
        EXPECT_EQ(storedMinutes(), 0);
        d.TActivite.setValue("Duree", 20);  // running: trunc(20 x 75 x 0.1525) = 228
        d.DBGActivite->pressEnter();
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("228"));
        setDuration(3, 10, false);  // cycling, still pending when Ok is clicked
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(d.TotalNeeds, 1749 + 228 + 61);
    EXPECT_EQ(storedMinutes(), 30);

    // Without any activity Ok adds no row to the table.
    Query::execute("DELETE FROM t_activites");
    modal::pushHandler([&](modal::Call&) {
        pick("Marie");
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(d.TotalNeeds, 1348);
    EXPECT_EQ(Query::scalar("SELECT COUNT(*) FROM t_activites").toInt(), 0);

    // An activity worth exactly 1 kcal counts; half a kilocalorie truncates to nothing.
    Query::execute("INSERT INTO t_activites (IdActivite, NomActiviteFrancais, ScaleFactor, Duree, UtilisePoids) "
                   "VALUES (99, 'Lecture', 0.5, 0, 0)");
    modal::pushHandler([&](modal::Call&) {
        pick("Marie");
        const struct { int minutes; const char* shown; int total; } cases[] = {
            {2, "1", 1349}, {1, "", 1348}, {4, "2", 1350}};
        for (const auto& c : cases) {
            setDuration(99, c.minutes);
            EXPECT_EQ(d.EdtActiviteCalorie->text(), QString::fromLatin1(c.shown)) << c.minutes;
            EXPECT_EQ(d.EdtTotalDepense->text().toInt(), c.total) << c.minutes;
        }
        setDuration(99, 2);
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(d.TotalNeeds, 1349);
}

// Typed numbers: a pasted NUL in the age is refused, never read as its first digit; the keypad's
// point reads as the comma; a duration beyond a day is refused in its cell with its range.
TEST_F(DailyNeeds, TypedNumbersTakeThePointAndRefuseWhatIsNoNumber) {
    TFBesoinsJournaliers& d = *dialog;
    DbGrid* grid = d.DBGActivite;
    modal::pushHandler([&](modal::Call&) {
        activate();
        QTest::mouseClick(d.RbtnAutre, Qt::LeftButton, {}, QPoint(6, d.RbtnAutre->height() / 2));
        Paste(d.EdtAge, QString("1") + QChar(0) + "2");
        AnswerNextMessage(log);
        QTest::keyClick(d.EdtAge, Qt::Key_Return);
        EXPECT_TRUE(d.EdtAge->text().isEmpty());
        activate();
        d.EdtAge->setFocus();
        for (const char* text : {"40", "165.5", "65.9", "F"}) TypeAtFocusAndEnter(text);
        EXPECT_FLOAT_EQ(d.NeedsHeight, 1.655f);
        EXPECT_EQ(d.NeedsWeight, 65);
        EXPECT_EQ(d.EdtBesoinBasic->text(), QStringLiteral("1394"));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, 1)).center());
        AnswerNextMessage(log);
        TypeAtFocusAndEnter("1e308");
        EXPECT_EQ(storedMinutes(), 0);
        d.BtnAnnule->click();
    });
    modal::exec(&d);
    ASSERT_EQ(log.count(), 2);
    EXPECT_EQ(log.texts[0], kAgeRefused);
    EXPECT_EQ(log.texts[1].simplified(), "Durée (min) : « 1e308 » n'est pas un nombre entier de 0 à 1440 min.");
}

TEST_F(DailyNeeds, TypedFromTheKeyboardActivitiesCountWhatTheyAddToRest) {
    TFBesoinsJournaliers& d = *dialog;
    DbGrid* grid = d.DBGActivite;
    // Two of the longest names the program ships.
    Query::execute("INSERT INTO t_activites (IdActivite, NomActiviteFrancais, ScaleFactor, Duree, UtilisePoids) "
                   "VALUES (9, ?, 0.06, 0, 1), (10, ?, 0.07, 0, 1)",
                   {QString::fromUtf8("Peindre, tapisser (intérieur)"), QString::fromUtf8("Vélo de promenade (< 16 km/h)")});
    modal::pushHandler([&](modal::Call&) {
        activate();
        QTest::mouseClick(d.RbtnAutre, Qt::LeftButton, {}, QPoint(6, d.RbtnAutre->height() / 2));
        d.EdtAge->setFocus();
        QTest::keyClicks(d.EdtAge, "200");
        AnswerNextMessage(log);
        QTest::keyClick(d.EdtAge, Qt::Key_Return);  // checked, refused, then the next input
        EXPECT_TRUE(d.EdtAge->text().isEmpty());
        EXPECT_EQ(d.focusWidget(), d.EdtTaille);
        TypeAtFocusAndEnter("165");
        EXPECT_EQ(d.focusWidget(), d.EdtPoids);
        QTest::keyClicks(d.EdtPoids, "abc");
        AnswerNextMessage(log);
        activate();            // back from the message box: coming back is not entering
        d.EdtAge->setFocus();  // leaving the weight checks it
        EXPECT_TRUE(d.EdtPoids->text().isEmpty());
        activate();
        for (const char* text : {"40", "", "65", "F"}) TypeAtFocusAndEnter(text);
        EXPECT_EQ(d.EdtBesoinBasic->text(), QStringLiteral("1394"));   // 8.7 x 65 + 829, at rest
        // 8 hours each of sleep (0.95 MET: nothing above rest), office work (1.5 MET) and light
        // standing work (3 MET), typed into their cells.
        for (const char* activity : {"Dormir", "Travail de bureau, assis", "Travail debout, léger"}) {
            const auto found = grid->model()->match(grid->model()->index(0, 0), Qt::DisplayRole,
                                                    QString::fromUtf8(activity), 1, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << activity;
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(found[0].siblingAtColumn(1)).center());
            TypeAtFocusAndEnter("480");
        }
        EXPECT_EQ(d.EdtActiviteCalorie->text(), QStringLiteral("1365"));   // 0 + 273 + 1092
        EXPECT_EQ(d.EdtTotalDepense->text(), QStringLiteral("2759"));
        for (int row = 0; row < grid->model()->rowCount(); ++row)   // every activity name whole
            EXPECT_EQ(grid->elidedCellText(row, 0), QString()) << row;
        d.BtnOk->click();
    });
    modal::exec(&d);
    EXPECT_EQ(log.texts, QStringList({kAgeRefused, kWeightRefused}));
    EXPECT_EQ(d.TotalNeeds, 2759);
}

// "Annuler" then "Ok" side by side, "Ok" ending under the right edge of the activities.
TEST_F(DailyNeeds, AnnulerAndOkSitSideBySideUnderTheActivities) {
    const QRect cancel = dialog->BtnAnnule->geometry(), ok = dialog->BtnOk->geometry();
    EXPECT_EQ(cancel.top(), ok.top());
    EXPECT_LT(cancel.right(), ok.left());
    EXPECT_NEAR(ok.right(), dialog->GbxActivite->geometry().right(), 4);
    EXPECT_LE(ok.right(), dialog->width());
    EXPECT_GT(ok.top(), dialog->GbxActivite->geometry().bottom());
}
