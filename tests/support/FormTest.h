#pragma once
// Fixtures for the tests that drive forms: the modal script starts empty, and by the end every
// modal show found its answer and every queued answer was used.
#include <QStringList>
#include <gtest/gtest.h>

#include "frame/AppState.h"
#include "platform/Modal.h"
#include "support/DataFixture.h"

// Checks the modal script was answered exactly, then empties it.
inline void ExpectModalScriptDone() {
    EXPECT_EQ(modal::unexpectedShows(), 0) << modal::shownCaptions().join(" | ").toStdString();
    EXPECT_EQ(modal::pendingHandlers(), 0);
    modal::clearHandlers();
}

// A form without the database, over a fresh process state.
class ModalTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetAppState();
        modal::clearHandlers();
    }
    void TearDown() override {
        ExpectModalScriptDone();
        resetAppState();
    }
};

// A form over the test database.
class FormTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        modal::clearHandlers();
    }
    void TearDown() override {
        ExpectModalScriptDone();
        DataTest::TearDown();
    }
};
