#pragma once
// Base of the consumption window's widget tests: a fresh data folder and unit state, the
// first-steps text switched off, French numbers, message boxes answered through the modal seam
// (every box must have been answered when the test ends), the window freed at the end.
#include <QPalette>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

#include "frame/AppState.h"
#include "support/FormTest.h"
#include "support/FrenchLocale.h"
#include "support/MessageScript.h"
#include "tracking/Uconsojournaliere.h"

class ConsoWindowTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        TFConsoJournaliere::ResetUnitState();
        appState().SwitchConsumptionInfo = 0;
    }
    void TearDown() override {
        form.reset();
        FormTest::TearDown();
    }
    // Creates the window and runs its first activation.
    TFConsoJournaliere& open() {
        form = std::make_unique<TFConsoJournaliere>();
        form->FormActivate();
        return *form;
    }
    static QColor baseColour(QWidget* w) { return w->palette().color(QPalette::Base); }

    FrenchLocaleGuard french;
    std::unique_ptr<TFConsoJournaliere> form;
    MessageLog log;
};
