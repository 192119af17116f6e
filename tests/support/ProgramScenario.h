#pragma once
// The whole program over the fixture data, driven as its user drives it: the frame shown and
// active, windows opened from its menu, clicks and keys on the widgets, modal windows answered
// through the modal seam while they are up. Everything is undone at the end.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDateEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app/Startup.h"
#include "data/Query.h"
#include "frame/AppState.h"
#include "frame/FormWidgets.h"
#include "frame/UVivanda.h"
#include "platform/Modal.h"
#include "support/DataFixture.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "support/Typing.h"
#include "tracking/Fubilan.h"
#include "tracking/Ugesthistoconso.h"
#include "tracking/Uconsojournaliere.h"
#include "tracking/Useldate.h"

class ProgramScenario : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::make_unique<TestDataFolder>(false);
        modal::clearHandlers();
        TFConsoJournaliere::ResetUnitState();
        CreateLongLivedForms();
        AppState& st = appState();
        st.StartupModule = 0;
        st.SwitchConsumptionInfo = st.SwitchRecipeInfo = 0;
        st.SwitchCarbsBelowMinimum = 0;
        FVivanda->resize(1000, 750);
        FVivanda->show();
        FVivanda->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(FVivanda));
    }
    void TearDown() override {
        delete FVivanda;
        // The forms the frame owned and that keep no watch on their own end.
        FSelDate = nullptr;
        FBilan = nullptr;
        FGestHistoConso = nullptr;
        ExpectModalScriptDone();
        folder.reset();
    }

    // The module window a menu item opens (or raises), made the active child window.
    template <typename Form>
    Form& menu(const char* item, const char* windowName) {
        FVivanda->menuItem(QString::fromLatin1(item))->trigger();
        QApplication::processEvents();
        auto* form = qobject_cast<Form*>(FVivanda->FindChildForm(QString::fromLatin1(windowName)));
        EXPECT_NE(form, nullptr) << windowName;
        return *form;
    }
    // A modal window opened from a menu item; `steps` run while it is up.
    static void menuDialog(const char* item, std::function<void(QDialog*)> steps) {
        modal::pushHandler([steps](modal::Call& c) {
            QApplication::setActiveWindow(c.dialog);
            steps(c.dialog);
        });
        FVivanda->menuItem(QString::fromLatin1(item))->trigger();
        settle();
    }
    // `steps` run while the next modal window is up (then it must have been closed by them).
    static void whileUp(std::function<void(modal::Call&)> steps) {
        modal::pushHandler([steps](modal::Call& c) {
            QApplication::setActiveWindow(c.dialog);
            steps(c);
        });
    }
    // Comes back to a module window, as a click on its title does.
    static void backTo(QWidget* form) {
        FVivanda->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(form->parentWidget()));
        QApplication::processEvents();
    }
    // The events a modal window's end left behind; the frame active again when no window is
    // (a window manager gives the activation back to the window under a closed one).
    static void settle() {
        QApplication::processEvents();
        QApplication::processEvents();
        QWidget* active = QApplication::activeWindow();
        if (active && active->isVisible()) return;
        // The modal window still up, else the frame.
        QWidget* next = FVivanda && FVivanda->isVisible() ? FVivanda : nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && qobject_cast<QDialog*>(w)) next = w;
        if (next) QApplication::setActiveWindow(next);
    }
    // A click on a widget: on a radio button or a check box, on its mark.
    static void click(QWidget* w) {
        const bool mark = qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w);
        QTest::mouseClick(w, Qt::LeftButton, {}, mark ? QPoint(7, w->height() / 2) : QPoint());
        settle();
    }
    static void clickItem(QListWidget* list, const QString& text) {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text.toStdString();
        list->scrollToItem(found[0]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found[0]).center());
    }
    // An item of a drop-down list chosen from the keyboard: the list focused, then the arrows
    // (each item passed through is chosen in turn, as on screen).
    static void choose(QComboBox* combo, const QString& text) {
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setFocus();
        while (combo->currentIndex() != index) {
            const int before = combo->currentIndex();
            QTest::keyClick(combo, combo->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
            ASSERT_NE(combo->currentIndex(), before);
        }
        QApplication::processEvents();
    }
    static void key(QWidget* w, Qt::Key k) {
        QTest::keyClick(w, k);
        settle();
    }
    static QString selected(const QListWidget* list) {
        const QListWidgetItem* item = list->currentItem();
        return item && item->isSelected() ? item->text() : QString();
    }
    // One column of a table's rows in the order given, as text.
    static QStringList column(const QString& sql, std::initializer_list<QVariant> values = {}) {
        QStringList out;
        Query q(sql, values);
        q.open();
        for (const auto& row : q.takeRows()) out << row.at(0).toString();
        return out;
    }

    FrenchLocaleGuard french;
    std::unique_ptr<TestDataFolder> folder;
    MessageLog log;
};
