#pragma once
// A write made by another program on the same database file, through a connection of its own
// (the program sees it only through what the engine tells of other connections' commits).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QString>

inline void WriteAsAnotherProgram(const QString& dbPath, const char* sql) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(dbPath.toUtf8().constData(), &other), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(other, sql, nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(other);
}
