#pragma once
// Fixture for the tests that drive a form over the test database: the modal script starts
// empty, and by the end every modal show found its answer and every queued answer was used.
#include <gtest/gtest.h>

#include "platform/Modal.h"
#include "support/DataFixture.h"

class FormTest : public DataTest {
protected:
    void SetUp() override {
        DataTest::SetUp();
        modal::clearHandlers();
    }
    void TearDown() override {
        EXPECT_EQ(modal::unexpectedShows(), 0);
        EXPECT_EQ(modal::pendingHandlers(), 0);
        modal::clearHandlers();
        DataTest::TearDown();
    }
};
