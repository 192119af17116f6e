// Test entry: runs headless unless a display platform was asked for, with a QApplication alive
// for the widget tests, the modal seam in script mode and no update check.
#include <QApplication>
#include <gtest/gtest.h>

#include "frame/UpdateCheck.h"
#include "platform/Modal.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    modal::setScripted(true);
    // The frame's activations never reach for the network in tests.
    SetUpdateCheckEnabled(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
