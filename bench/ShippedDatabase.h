#pragma once
// Benchmarks' working folder: Data/vivanda.db built from the schema and the shipped reference
// rows, opened as the program's connection; closed and removed at the end.
#include <QDir>
#include <QTemporaryDir>
#include <stdexcept>

#include "SeedLoader.h"
#include "data/Database.h"
#include "frame/AppState.h"

class ShippedDatabase {
public:
    ShippedDatabase() {
        const QString data = dir_.filePath(QStringLiteral("Data"));
        QDir().mkpath(data);
        const std::string source = VIVANDA_SOURCE_DIR;
        const std::string problem = seed::buildDatabase(source + "/db/schema.sql", source + "/db/seed",
                                                        (data + QStringLiteral("/vivanda.db")).toStdString());
        if (!problem.empty()) throw std::runtime_error(problem);
        appState().DataDirectory = data;
        const QString opened = openDatabase(appState().DataDirectory);
        if (!opened.isEmpty()) throw std::runtime_error(opened.toStdString());
    }
    ~ShippedDatabase() { closeDatabase(); }
    ShippedDatabase(const ShippedDatabase&) = delete;
    ShippedDatabase& operator=(const ShippedDatabase&) = delete;

private:
    QTemporaryDir dir_;
};
