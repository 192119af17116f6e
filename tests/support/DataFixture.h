#pragma once
// Test support: a temporary working folder holding Data/vivanda.db built from db/schema.sql and
// the fixture seed (tests/fixtures/seed/*.tsv), with appState() pointed at it and the database
// opened. Everything is undone at the end: connection closed, appState() reset, working folder
// restored and removed.
//
//   TEST_F(DataTest, Something) { Query q("SELECT COUNT(*) FROM t_aliments"); ... }
//
// or, outside a fixture:  TestDataFolder folder;  (same set-up, undone by its destructor)
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// Folder of the fixture seed files.
QString fixtureSeedDir();

class TestDataFolder {
public:
    // Builds the database from `seedDir` (the fixture seed by default); opens it when `open`.
    explicit TestDataFolder(bool open = true, const QString& seedDir = fixtureSeedDir());
    ~TestDataFolder();
    TestDataFolder(const TestDataFolder&) = delete;
    TestDataFolder& operator=(const TestDataFolder&) = delete;

    QString root() const { return dir_.path(); }       // the working folder
    QString dataDir() const;                            // <root>/Data
    QString dbPath() const;                             // <root>/Data/vivanda.db

private:
    QTemporaryDir dir_;
    QString previousCwd_;
};

class DataTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = std::make_unique<TestDataFolder>(); }
    void TearDown() override { folder_.reset(); }
    TestDataFolder& folder() { return *folder_; }

private:
    std::unique_ptr<TestDataFolder> folder_;
};
