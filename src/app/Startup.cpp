#include "app/Startup.h"

#include <QApplication>

int runVivanda(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vivanda"));
    return 0;
}
