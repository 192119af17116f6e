#include "app/Startup.h"

#include <QApplication>
#include <exception>

#include "frame/AppState.h"
#include "frame/UVivanda.h"
#include "platform/HelpKey.h"
#include "platform/HelpViewer.h"
#include "reference/Uconversion.h"

namespace {

// Errors that escape an event handler are shown in a standard box and the program goes on.
class VivandaApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* e) override {
        try {
            return QApplication::notify(receiver, e);
        } catch (const std::exception& ex) {
            ReportUnexpectedError(QString::fromUtf8(ex.what()));
        }
        return false;
    }
};

}  // namespace

void CreateLongLivedForms() {
    new TFVivanda();
    FConversionVM = new TFConversionVM();
    FVivanda->RegisterMenuAction(QStringLiteral("ConversionVM"), ShowConversionFromMenu);
}

int runVivanda(int argc, char** argv) {
    VivandaApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vivanda"));
    try {
        CreateLongLivedForms();
    } catch (const std::exception& ex) {
        ReportUnexpectedError(QString::fromUtf8(ex.what()));
        return 1;
    }
    // The help key opens the help page of the form that has the focus.
    InstallHelpKey([](QWidget* form, int context) {
        OpenHelpTopic(form, appState().HelpFilePath, context);
    });
    FVivanda->show();
    return app.exec();
}
