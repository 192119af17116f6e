// The history maintenance and display dialogs and the balance window, driven through their
// handlers with the message boxes answered by script.
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QImage>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

#include "data/Database.h"
#include "platform/Modal.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/HistoryRows.h"
#include "support/MessageScript.h"
#include "support/OtherProgram.h"
#include "tracking/Fubilan.h"
#include "tracking/HistoryDays.h"
#include "tracking/Ufaffhistoconso.h"
#include "tracking/Ugesthistoconso.h"
#include "tracking/Uqrafficonsommation.h"

namespace {

const QString kZoe = QStringLiteral("Zoé");
const QString kArc = QStringLiteral("d'Arc");

class HistoryForms : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        bilan = std::make_unique<TFBilan>();
    }
    void TearDown() override {
        bilan.reset();
        FormTest::TearDown();
    }
    void twoUsers() {
        SaveHistoryDay(kZoe, QDate(2025, 3, 14), 60, 1800, 2);
        SaveHistoryDay(kZoe, QDate(2025, 3, 15), 61, 1800, 2);
        SaveHistoryDay(kZoe, QDate(2026, 1, 20), 62, 1800, 2);
        SaveHistoryDay(kArc, QDate(2025, 3, 15), 70, 2000, 1);
    }
    static void pick(QListWidget* list, int row) { list->item(row)->setSelected(true); }
    static void clickRow(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
    }
    // A click into a picker's text, on its day.
    static void clickInto(QDateEdit* picker) {
        QTest::mouseClick(picker->findChild<QLineEdit*>(), Qt::LeftButton, {}, QPoint(2, 5));
    }
    // Clicks into a picker's day and moves it by `days` with the arrow keys.
    static void stepDay(QDateEdit* picker, int days) {
        clickInto(picker);
        for (int i = 0; i < std::abs(days); ++i) QTest::keyClick(picker, days > 0 ? Qt::Key_Up : Qt::Key_Down);
    }
    // The next message box takes the activation, as it does on screen.
    static void boxTakesFocus() {
        modal::pushHandler([](modal::Call& c) { QApplication::setActiveWindow(c.dialog); });
    }
    static QStringList texts(QListWidget* list) {
        QStringList t;
        for (int i = 0; i < list->count(); ++i) t << list->item(i)->text();
        return t;
    }
    // The window becoming active, as on screen.
    static void activate(QWidget& w) {
        QEvent e(QEvent::WindowActivate);
        QApplication::sendEvent(&w, &e);
    }
    // The balance of d'Arc from `from` to `to`, 1000 x 650, once activated.
    TFBilan& showBalance(const QDate& from, const QDate& to) {
        TFBilan& b = *bilan;
        b.NomUtilisateur = kArc;
        b.DateDebut = from;
        b.DateFin = to;
        b.resize(1000, 650);
        activate(b);
        return b;
    }
    // Shows `dialog` through the modal seam and runs `steps` while it is up.
    static void run(QDialog& dialog, std::function<void()> steps) {
        modal::pushHandler([&](modal::Call&) { steps(); });
        modal::exec(&dialog);
    }

    FrenchLocaleGuard french;
    std::unique_ptr<TFBilan> bilan;
    MessageLog log;
};

}  // namespace

TEST_F(HistoryForms, MaintenanceOfAnEmptyAndOfAOneUserHistory) {
    TFGestHistoConso d;
    run(d, [&] {
        EXPECT_EQ(d.LBoxDates->count(), 0);
        AnswerNextMessage(log);
        d.BtnSupprimerClick();
    });
    EXPECT_EQ(log.texts, QStringList{QStringLiteral("        Il n'y a aucun historique à supprimer.")});

    // Every click on a day, the one already chosen too, chooses that day again; the arrows move in
    // the list and Enter there validates.
    for (const QDate& day : {QDate(2025, 1, 10), QDate(2025, 5, 15), QDate(2025, 12, 20)})
        SaveHistoryDay(kArc, day, 70, 2000, 1);
    run(d, [&] {
        QApplication::setActiveWindow(&d);
        EXPECT_EQ(d.LBoxUtilisateurs->count(), 0);
        EXPECT_EQ(texts(d.LBoxDates), (QStringList{"10/01/2025", "15/05/2025", "20/12/2025"}));
        EXPECT_FALSE(d.DateTimePicker->isEnabled());
        QTest::mouseClick(d.BtnSupprimer, Qt::LeftButton);   // nothing checked: nothing happens
        clickRow(d.LBoxDates, 0);
        QTest::mouseClick(d.RBtnSuppTout, Qt::LeftButton);
        AnswerNextMessage(log, "BtnNon");   // keeps everything
        QTest::mouseClick(d.BtnSupprimer, Qt::LeftButton);
        clickRow(d.LBoxDates, 0);
        EXPECT_TRUE(d.RBtnSuppJournee->isChecked());
        QTest::keyClick(d.LBoxDates, Qt::Key_Down);
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        QTest::keyClick(d.LBoxDates, Qt::Key_Return);
        EXPECT_EQ(texts(d.LBoxDates), (QStringList{"10/01/2025", "20/12/2025"}));
        QTest::mouseClick(d.RBtnSuppTout, Qt::LeftButton);
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        QTest::mouseClick(d.BtnSupprimer, Qt::LeftButton);
        EXPECT_EQ(d.LBoxDates->count(), 0);
    });
    EXPECT_EQ(HistoryRowCount("t_histo_consommation") + HistoryRowCount("t_histo_infos_utilisateur"), 0);
    const QString all = QStringLiteral("        Voulez-vous vraiment effectuer la suppression de        l'historique ?");
    const QString done = QStringLiteral("        La suppression a été effectuée !");
    EXPECT_EQ(log.texts.mid(1), (QStringList{all, QStringLiteral("        Voulez-vous vraiment effectuer la suppression "
                                                                 "de la journée ?"), done, all, done}));
    EXPECT_EQ(log.icons, QStringList(log.count(), QStringLiteral("QUESTION")));
}

TEST_F(HistoryForms, MaintenanceOfSeveralUsersByDayAndBeforeADate) {
    twoUsers();
    TFGestHistoConso d;
    run(d, [&] {
        EXPECT_EQ(texts(d.LBoxUtilisateurs), (QStringList{kZoe, kArc}));
        EXPECT_EQ(d.LBoxDates->count(), 0);
        // Before-date kind with no user: refused.
        d.RBtnSuppInfDate->setChecked(true);
        EXPECT_TRUE(d.DateTimePicker->isEnabled());
        AnswerNextMessage(log);
        AnswerNextMessage(log);
        d.BtnSupprimerClick();   // no day listed yet
        pick(d.LBoxUtilisateurs, 0);
        EXPECT_TRUE(d.RBtnSuppTout->isChecked());
        EXPECT_FALSE(d.DateTimePicker->isEnabled());
        EXPECT_EQ(d.LBoxDates->count(), 3);
        d.RBtnSuppJournee->setChecked(true);
        d.BtnSupprimerClick();   // no day selected
        // The 15/03 of Zoé only.
        pick(d.LBoxDates, 1);
        EXPECT_TRUE(d.RBtnSuppJournee->isChecked());
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        d.BtnSupprimerClick();
        EXPECT_EQ(texts(d.LBoxDates), (QStringList{QStringLiteral("14/03/2025"), QStringLiteral("20/01/2026")}));
        // Before 20/01/2026: that day stays.
        d.RBtnSuppInfDate->setChecked(true);
        d.DateTimePicker->setDate(QDate(2026, 1, 20));
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        d.BtnSupprimerClick();
        EXPECT_EQ(texts(d.LBoxDates), QStringList{QStringLiteral("20/01/2026")});
    });
    EXPECT_EQ(log.texts.mid(0, 2), (QStringList{QStringLiteral("        Il n'y a aucun historique à supprimer."),
                                                QStringLiteral("        Vous devez sélectionner une journée ?")}));
    EXPECT_EQ(log.icons, QStringList(log.count(), QStringLiteral("QUESTION")));
    EXPECT_EQ(HistoryRowCount("t_histo_consommation"), 3);   // Zoé's last day and d'Arc's
    EXPECT_EQ(HistoryRowCount("t_histo_infos_utilisateur"), 2);

    // "All" with no user selected, then for d'Arc: the list loses that user.
    log = MessageLog();
    run(d, [&] {
        d.LBoxDates->addItem(QStringLiteral("x"));   // as if a user had been clicked
        d.RBtnSuppTout->setChecked(true);
        AnswerNextMessage(log);
        d.BtnSupprimerClick();
        pick(d.LBoxUtilisateurs, 1);
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        d.BtnSupprimerClick();
        EXPECT_EQ(texts(d.LBoxUtilisateurs), QStringList{kZoe});
        EXPECT_TRUE(d.LBoxUtilisateurs->selectedItems().isEmpty());
        EXPECT_EQ(d.LBoxDates->count(), 0);
    });
    EXPECT_EQ(log.texts.first(), QStringLiteral("        Vous devez sélectionner un utilisateur ?"));
    EXPECT_EQ(HistoryRowCount("t_histo_infos_utilisateur"), 1);

    // A failing deletion says so and keeps both tables.
    Query::execute(QStringLiteral("CREATE TEMP TRIGGER refuse BEFORE DELETE ON t_histo_infos_utilisateur "
                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    log = MessageLog();
    run(d, [&] {
        d.RBtnSuppTout->setChecked(true);
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        d.BtnSupprimerClick();
    });
    EXPECT_TRUE(log.texts.last().contains(QStringLiteral("tel qu'il était"))) << log.texts.last().toStdString();
    EXPECT_EQ(log.icons.last(), QStringLiteral("ERREUR"));
    EXPECT_EQ(HistoryRowCount("t_histo_consommation"), 2);
}

TEST_F(HistoryForms, DisplayOfEmptyAndOneDayHistories) {
    {
        TFAffHistoConso d;
        run(d, [&] {
            AnswerNextMessage(log);
            d.BtnAfficherClick();
        });
    }
    EXPECT_EQ(log.texts, QStringList{QStringLiteral("        Il n'y a aucun historique à afficher.")});

    // One user with a single day: the pickers stay disabled on that day, the balance charts it.
    SaveHistoryDay(QString(), QDate(2025, 3, 15), 70, 2000, 1);
    TFAffHistoConso d;
    run(d, [&] {
        EXPECT_EQ(HistoryUserCount, 1);
        EXPECT_EQ(HistoryDateCount, 1);
        d.RBtnAffBilan->setChecked(true);
        EXPECT_FALSE(d.DTPickerDebut->isEnabled());
        EXPECT_EQ(d.DTPickerDebut->date(), QDate(2025, 3, 15));
        EXPECT_EQ(d.DTPickerFin->date(), QDate(2025, 3, 15));
        d.BtnAfficherClick();
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(bilan->NomUtilisateur, QStringLiteral("Utilisateur"));
    EXPECT_EQ(bilan->DateDebut, QDate(2025, 3, 15));
    EXPECT_EQ(bilan->pos(), QPoint(0, 0));
}

TEST_F(HistoryForms, DisplayOfSeveralUsersPeriodChecksAndADayReport) {
    twoUsers();
    TFQRAffiConsommation report;
    TFAffHistoConso d;
    run(d, [&] {
        QApplication::setActiveWindow(&d);
        EXPECT_EQ(HistoryUserCount, 2);
        EXPECT_EQ(d.LBoxDates->count(), 0);
        pick(d.LBoxUtilisateurs, 1);   // d'Arc, one day
        EXPECT_TRUE(d.RBtnAffJournee->isChecked());
        EXPECT_EQ(d.DTPickerFin->date(), QDate(2025, 3, 15));
        d.RBtnAffBilan->setChecked(true);
        EXPECT_FALSE(d.DTPickerFin->isEnabled());
        pick(d.LBoxUtilisateurs, 0);   // Zoé, three days
        EXPECT_FALSE(d.DTPickerFin->isEnabled());
        d.RBtnAffBilan->setChecked(true);
        EXPECT_TRUE(d.DTPickerFin->isEnabled());
        EXPECT_EQ(d.DTPickerFin->minimumDate(), QDate(2025, 3, 14));
        EXPECT_EQ(d.DTPickerFin->maximumDate(), QDate(2026, 1, 20));
        // Equal dates are accepted (refusals: see below).
        d.DTPickerFin->setDate(QDate(2025, 3, 14));
        d.DTPickerFinExit();
        // A day with none selected; a click on the day chosen, after the period, chooses it again;
        // the arrows move in the list and Enter there shows the 15/03 through the report.
        d.RBtnAffJournee->setChecked(true);
        AnswerNextMessage(log);
        d.BtnAfficherClick();
        QApplication::setActiveWindow(&d);
        clickRow(d.LBoxDates, 0);
        QTest::mouseClick(d.RBtnAffBilan, Qt::LeftButton);
        clickRow(d.LBoxDates, 0);
        EXPECT_TRUE(d.RBtnAffJournee->isChecked());
        QTest::keyClick(d.LBoxDates, Qt::Key_Down);
        modal::pushHandler([&](modal::Call& c) { EXPECT_EQ(c.caption, QStringLiteral("Consommation journalière")); });
        QTest::keyClick(d.LBoxDates, Qt::Key_Enter);
    });
    EXPECT_EQ(log.texts, QStringList{QStringLiteral("        Vous devez sélectionner une journée ?")});
    EXPECT_EQ(report.NomUtilisateur, kZoe);
    EXPECT_EQ(report.TableSource, QStringLiteral("t_histo_consommation"));
    EXPECT_EQ(report.QRAffiConso.item(QStringLiteral("QRLblConsommationJournee"))->text,
              QStringLiteral("Consommation de la journée du 15/03/2025 en calories et différents"));
    // Zoé's balance from the day chosen to her last day.
    TFAffHistoConso balance;
    run(balance, [&] {
        pick(balance.LBoxUtilisateurs, 0);
        balance.RBtnAffBilan->setChecked(true);
        balance.DTPickerDebut->setDate(QDate(2025, 3, 15));
        QTest::mouseClick(balance.BtnAfficher, Qt::LeftButton);
    });
    EXPECT_EQ(std::pair(bilan->DateDebut, bilan->DateFin), std::pair(QDate(2025, 3, 15), QDate(2026, 1, 20)));
}

// A period date refused in one picker puts that picker back and leaves the other as set, although
// the message box takes the focus from the picker clicked into; then the mirror case.
TEST_F(HistoryForms, ARefusedPeriodDateResetsOnlyItsOwnPicker) {
    for (const QDate& day : {QDate(2025, 1, 1), QDate(2025, 1, 31)}) SaveHistoryDay(kArc, day, 70, 2000, 1);
    TFAffHistoConso a;
    run(a, [&] {
        QApplication::setActiveWindow(&a);
        QTest::mouseClick(a.RBtnAffBilan, Qt::LeftButton);
        stepDay(a.DTPickerDebut, 10);
        stepDay(a.DTPickerFin, -25);
        boxTakesFocus();
        clickInto(a.DTPickerDebut);
        EXPECT_EQ(a.DTPickerFin->date(), QDate(2025, 1, 31));
        EXPECT_EQ(a.DTPickerDebut->date(), QDate(2025, 1, 11));
        QApplication::setActiveWindow(&a);
        stepDay(a.DTPickerFin, -15);
        stepDay(a.DTPickerDebut, 10);
        boxTakesFocus();
        clickInto(a.DTPickerFin);
        EXPECT_EQ(a.DTPickerDebut->date(), QDate(2025, 1, 1));
        EXPECT_EQ(a.DTPickerFin->date(), QDate(2025, 1, 16));
    });
}

// The chart is drawn on white: below the toolbar, what is not axis, scale, legend or a point is
// white, whatever the style's own window colour.
TEST_F(HistoryForms, TheBalanceChartIsDrawnOnWhite) {
    SaveHistoryDay(kArc, QDate(2025, 12, 1), 70, 2000, 2);
    TFBilan& b = showBalance(QDate(2025, 11, 1), QDate(2025, 12, 31));
    const QImage image = b.grab().toImage();
    int white = 0, black = 0, all = 0;
    for (int y = b.Panel->height() + 10; y < image.height(); y += 5)
        for (int x = 0; x < image.width(); x += 5, ++all) {
            white += image.pixelColor(x, y) == Qt::white;
            black += image.pixelColor(x, y) == kChartBlack;
        }
    EXPECT_GT(white, all * 9 / 10);
    EXPECT_GT(black, 0);   // the axes are there
}

// Fifty days of d'Arc (the 21st not saved), four pages, driven from the toolbar; every activation
// goes back to page 1 of the calories; printing (to a PDF through the print dialog) draws every
// page's days in landscape, the pages never shown included.
TEST_F(HistoryForms, BalanceWindowPagesChartsAndPrintsEveryPage) {
    for (int i = 0; i < 50; ++i)
        if (i != 20) SaveHistoryDay(kArc, QDate(2025, 12, 1).addDays(i), 70 - i * 0.1, 2000, 2, 5 + i % 3);
    SaveHistoryDay(kZoe, QDate(2025, 12, 10), 60, 1800, 1);
    TFBilan& b = showBalance(QDate(2025, 11, 1), QDate(2026, 1, 31));
    const std::pair<QWidget*, int> toolbar[] = {
        {b.BtnImprimer, 10}, {b.SBtnCalories, 100}, {b.SBtnNutriments, 180}, {b.SBtnPoids, 260}, {b.BtnPremier, 340},
        {b.BtnPrecedant, 381}, {b.EdtQuantieme, 423}, {b.BtnSuivant, 470}, {b.BtnDernier, 511}, {b.BtnFermer, 561}};
    for (const auto& [control, left] : toolbar) EXPECT_EQ(control->x(), left) << control->objectName().toStdString();
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("1\\4"));
    EXPECT_FALSE(b.BtnPremier->isEnabled());
    EXPECT_TRUE(b.BtnDernier->isEnabled());

    QTest::mouseClick(b.BtnDernier, Qt::LeftButton);
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("4\\4"));
    QTest::mouseClick(b.BtnPrecedant, Qt::LeftButton);
    QTest::mouseClick(b.SBtnPoids, Qt::LeftButton);
    EXPECT_EQ(b.PagePlan().textAt({50, 610}), QStringLiteral("31/12/2025"));
    EXPECT_EQ(b.PagePlan().of(ChartOp::Diamond, kChartGrey).size(), 1 + 15);
    // The 21st (index 20) is not saved: page 2 has 14 calorie markers.
    QTest::mouseClick(b.BtnPrecedant, Qt::LeftButton);
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("2\\4"));
    EXPECT_TRUE(b.PagePlan().of(ChartOp::Diamond, kChartRed).isEmpty());   // still the weight
    QTest::mouseClick(b.SBtnCalories, Qt::LeftButton);
    EXPECT_EQ(b.PagePlan().of(ChartOp::Diamond, kChartRed).size(), 1 + 14);
    QTest::mouseClick(b.BtnPrecedant, Qt::LeftButton);
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("1\\4"));
    QTest::mouseClick(b.BtnSuivant, Qt::LeftButton);
    QTest::mouseClick(b.SBtnNutriments, Qt::LeftButton);
    activate(b);
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("1\\4"));
    EXPECT_EQ(b.PagePlan().of(ChartOp::Diamond, kChartRed).size(), 1 + 15);
    EXPECT_TRUE(b.SBtnCalories->isChecked());
    QTest::mouseClick(b.BtnFermer, Qt::LeftButton);
    EXPECT_FALSE(b.isVisible());

    // Printing with no printer goes through the print dialog; the sheets land in a PDF.
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a default printer is set up";
    QTest::mouseClick(b.BtnSuivant, Qt::LeftButton);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("bilan.pdf"));
    auto printTo = [](const QString& file) {
        modal::pushHandler([file](modal::Call& c) {
            auto* dialog = qobject_cast<QPrintDialog*>(c.dialog);
            ASSERT_NE(dialog, nullptr);
            dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            dialog->printer()->setOutputFileName(file);
            c.result = QDialog::Accepted;
        });
    };
    printTo(pdf);
    QTest::mouseClick(b.BtnImprimer, Qt::LeftButton);
    QProcess::execute(QStringLiteral("pdftoppm"), {"-r", "100", "-png", pdf, dir.filePath(QStringLiteral("page"))});
    const QStringList pages = QDir(dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 4);
    for (const QString& name : pages) {
        const QImage page(dir.filePath(name));
        EXPECT_GT(page.width(), page.height()) << name.toStdString();
        // Red calorie markers and lines below the legend.
        int red = 0;
        for (int y = page.height() / 20; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 100 && c.blue() < 100;
            }
        EXPECT_GT(red, 20) << name.toStdString();
    }
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("2\\4"));
    // Coming back from the print dialog keeps the page; a later activation reads the period again.
    activate(b);
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("2\\4"));
    activate(b);
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("1\\4"));
    // Cancelled: nothing printed, nothing said.
    modal::pushHandler([](modal::Call& c) { c.result = QDialog::Rejected; });
    QTest::mouseClick(b.BtnImprimer, Qt::LeftButton);
    // A file that cannot be written: the message, not a crash.
    printTo(dir.filePath(QStringLiteral("absent/bilan.pdf")));
    AnswerNextMessage(log);
    QTest::mouseClick(b.BtnImprimer, Qt::LeftButton);
    EXPECT_EQ(log.texts, QStringList{QStringLiteral("        L'impression du bilan n'a pas pu être effectuée.")});
    EXPECT_EQ(log.icons, QStringList{QStringLiteral("ERREUR")});
    activate(b);   // back from the message

    // A period without any saved day: one empty page, no paging.
    b.DateDebut = b.DateFin = QDate(2030, 1, 1);
    activate(b);
    EXPECT_EQ(b.EdtQuantieme->text(), QStringLiteral("1\\1"));
    EXPECT_FALSE(b.BtnSuivant->isEnabled() || b.BtnDernier->isEnabled() || b.BtnPremier->isEnabled());
    EXPECT_TRUE(b.PagePlan().of(ChartOp::Diamond).size() == 2);   // the legend's two markers
}

// Every kind of deletion drops from the list a user left without any saved day, and only them.
TEST_F(HistoryForms, MaintenanceListsOnlyUsersWithSavedDays) {
    twoUsers();
    TFGestHistoConso d;
    run(d, [&] {
        QApplication::setActiveWindow(&d);
        clickRow(d.LBoxUtilisateurs, 1);   // d'Arc, one day
        clickRow(d.LBoxDates, 0);
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        QTest::mouseClick(d.BtnSupprimer, Qt::LeftButton);
        EXPECT_EQ(texts(d.LBoxUtilisateurs), QStringList{kZoe});
        EXPECT_EQ(d.LBoxDates->count(), 0);
        // Zoé's days before today: all of them.
        clickRow(d.LBoxUtilisateurs, 0);
        QTest::mouseClick(d.RBtnSuppInfDate, Qt::LeftButton);
        AnswerNextMessage(log, "BtnOui");
        AnswerNextMessage(log);
        QTest::mouseClick(d.BtnSupprimer, Qt::LeftButton);
        EXPECT_EQ(d.LBoxUtilisateurs->count(), 0);
        EXPECT_EQ(d.LBoxDates->count(), 0);
    });
    EXPECT_EQ(HistoryRowCount("t_histo_consommation") + HistoryRowCount("t_histo_infos_utilisateur"), 0);
}

// A deletion refused by another program's lock or a read-only database says which, for each kind
// of deletion, and deletes nothing.
TEST_F(HistoryForms, RefusedDeletionsNameTheirCause) {
    twoUsers();
    ASSERT_EQ(openDatabase(folder().dataDir(), 100), QString());   // a short wait for the test
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(folder().dbPath().toUtf8().constData(), &other), SQLITE_OK);
    TFGestHistoConso d;
    for (QRadioButton* kind : {d.RBtnSuppJournee, d.RBtnSuppTout, d.RBtnSuppInfDate}) {
        for (const bool busy : {true, false}) {
            SCOPED_TRACE(kind->objectName().toStdString() + (busy ? " busy" : " read-only"));
            log = MessageLog();
            run(d, [&] {
                QApplication::setActiveWindow(&d);
                clickRow(d.LBoxUtilisateurs, 0);
                clickRow(d.LBoxDates, 0);
                QTest::mouseClick(kind, Qt::LeftButton);
                if (busy) ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
                else Query::execute("PRAGMA query_only = 1");
                AnswerNextMessage(log, "BtnOui");
                AnswerNextMessage(log);
                QTest::mouseClick(d.BtnSupprimer, Qt::LeftButton);
                sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
                Query::execute("PRAGMA query_only = 0");
                EXPECT_EQ(texts(d.LBoxDates).size(), 3);
            });
            ASSERT_EQ(log.count(), 2);
            EXPECT_TRUE(log.texts[1].contains(busy ? QStringLiteral("utilisée par un autre programme")
                                                   : QStringLiteral("lecture seule")))
                << log.texts[1].toStdString();
            EXPECT_EQ(log.icons[1], QStringLiteral("ERREUR"));
            EXPECT_EQ(HistoryRowCount("t_histo_consommation"), 7);
            EXPECT_EQ(HistoryRowCount("t_histo_infos_utilisateur"), 4);
        }
    }
    sqlite3_close(other);
}

// Active again after another program wrote, the dialogs list what the history holds, keeping the
// user and the day chosen; acting on a day gone meanwhile says so and does nothing.
TEST_F(HistoryForms, ListsFollowTheHistoryAndAGoneDayIsSaid) {
    SaveHistoryDay(kArc, QDate(2025, 3, 15), 70, 2000, 1);
    QWidget elsewhere;
    elsewhere.show();
    auto activeAgain = [&](QDialog& d) {
        QApplication::setActiveWindow(&elsewhere);
        QApplication::setActiveWindow(&d);
    };
    const QString db = folder().dbPath();
    TFGestHistoConso g;
    run(g, [&] {
        QApplication::setActiveWindow(&g);
        EXPECT_EQ(g.LBoxUtilisateurs->count(), 0);   // one user: every day listed
        WriteAsAnotherProgram(db, "INSERT INTO t_histo_consommation VALUES ('Zoé', '2025-04-01', 'Pain', 2, 0, 0, 0, "
                                  "100, 1); INSERT INTO t_histo_infos_utilisateur VALUES ('Zoé', '2025-04-01', 60, 1800)");
        activeAgain(g);
        // A second user: the days are now chosen per user, so that no deletion reaches Zoé's.
        EXPECT_EQ(texts(g.LBoxUtilisateurs), (QStringList{kZoe, kArc}));
        EXPECT_EQ(g.LBoxDates->count(), 0);
        QTest::mouseClick(g.BtnQuitter, Qt::LeftButton);
    });

    TFAffHistoConso d;
    run(d, [&] {
        QApplication::setActiveWindow(&d);
        clickRow(d.LBoxUtilisateurs, 0);   // Zoé
        clickRow(d.LBoxDates, 0);
        WriteAsAnotherProgram(db, "INSERT INTO t_histo_consommation VALUES ('Zoé', '2025-03-01', 'Pain', 2, 0, 0, 0, "
                                  "100, 1); DELETE FROM t_histo_consommation WHERE NomUtilisateur = 'd''Arc'");
        activeAgain(d);
        EXPECT_EQ(texts(d.LBoxUtilisateurs), QStringList{kZoe});
        EXPECT_EQ(texts(d.LBoxDates), (QStringList{"01/03/2025", "01/04/2025"}));
        EXPECT_EQ(SelectedDay(d.LBoxDates), QDate(2025, 4, 1));
        // The day chosen is deleted without the dialog becoming active again.
        WriteAsAnotherProgram(db, "DELETE FROM t_histo_consommation WHERE DateConso = '2025-04-01'");
        AnswerNextMessage(log);
        QTest::mouseClick(d.BtnAfficher, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(texts(d.LBoxDates), QStringList{"01/03/2025"});
        QTest::mouseClick(d.BtnQuitter, Qt::LeftButton);
    });
    ASSERT_EQ(log.count(), 1);
    EXPECT_TRUE(log.texts[0].startsWith(QStringLiteral("        Cette journée n'est plus enregistrée"))) << log.texts[0].toStdString();
}
