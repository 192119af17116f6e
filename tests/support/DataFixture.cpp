#include "support/DataFixture.h"

#include <QDir>

#include "SeedLoader.h"
#include "data/Database.h"
#include "frame/AppState.h"

QString fixtureSeedDir() { return QStringLiteral(VIVANDA_SOURCE_DIR "/tests/fixtures/seed"); }

TestDataFolder::TestDataFolder(bool open, const QString& seedDir) : previousCwd_(QDir::currentPath()) {
    if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
    QDir(dir_.path()).mkpath(QStringLiteral("Data"));
    QDir(dir_.path()).mkpath(QStringLiteral("Images"));
    const std::string error = seed::buildDatabase(VIVANDA_SOURCE_DIR "/db/schema.sql",
                                                  seedDir.toStdString(), dbPath().toStdString());
    if (!error.empty()) throw std::runtime_error("fixture database: " + error);
    QDir::setCurrent(dir_.path());
    resetAppState();
    appState().DataDirectory = dataDir();
    appState().ImagesDirectory = dir_.path() + QStringLiteral("/Images");
    if (open) {
        const QString problem = openDatabase(appState().DataDirectory);
        if (!problem.isEmpty()) throw std::runtime_error(problem.toStdString());
    }
}

TestDataFolder::~TestDataFolder() {
    closeDatabase();
    resetAppState();
    QDir::setCurrent(previousCwd_);
}

QString TestDataFolder::dataDir() const { return dir_.path() + QStringLiteral("/Data"); }

QString TestDataFolder::dbPath() const { return dataDir() + QStringLiteral("/vivanda.db"); }
