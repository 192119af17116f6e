// Builds the shipped database: runs schema.sql, then loads every <table>.tsv of the seed folder.
// Seed format: UTF-8, tab-separated, first line = column names; an empty field is NULL;
// escapes \t, \n and \\ inside a field. Column affinity turns numeric text into numbers.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

static std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\t') {
            out.push_back(cur);
            cur.clear();
        } else if (c == '\\' && i + 1 < line.size()) {
            char n = line[++i];
            cur += n == 't' ? '\t' : n == 'n' ? '\n' : n;
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

static void check(int rc, sqlite3* db, const std::string& what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::cerr << "dbgen: " << what << ": " << sqlite3_errmsg(db) << "\n";
        std::exit(1);
    }
}

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: vivanda_dbgen schema.sql seed-folder out.db\n";
        return 2;
    }
    std::ifstream schemaFile(argv[1]);
    if (!schemaFile) {
        std::cerr << "dbgen: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::stringstream schema;
    schema << schemaFile.rdbuf();
    fs::remove(argv[3]);
    sqlite3* db = nullptr;
    check(sqlite3_open(argv[3], &db), db, "open");
    char* err = nullptr;
    if (sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::cerr << "dbgen: schema: " << err << "\n";
        return 1;
    }
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    std::vector<fs::path> files;
    if (fs::exists(argv[2]))
        for (auto& e : fs::directory_iterator(argv[2]))
            if (e.path().extension() == ".tsv") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const auto& path : files) {
        std::ifstream in(path);
        std::string line;
        if (!std::getline(in, line)) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto cols = splitTabs(line);
        std::string sql = "INSERT INTO " + path.stem().string() + " (";
        for (size_t i = 0; i < cols.size(); ++i) sql += (i ? ", " : "") + cols[i];
        sql += ") VALUES (";
        for (size_t i = 0; i < cols.size(); ++i) sql += i ? ", ?" : "?";
        sql += ")";
        sqlite3_stmt* st = nullptr;
        check(sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr), db, path.string());
        int lineNo = 1;
        while (std::getline(in, line)) {
            ++lineNo;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            auto fields = splitTabs(line);
            if (fields.size() != cols.size()) {
                std::cerr << "dbgen: " << path.string() << ":" << lineNo << ": " << fields.size()
                          << " fields, expected " << cols.size() << "\n";
                return 1;
            }
            sqlite3_reset(st);
            for (size_t i = 0; i < fields.size(); ++i) {
                if (fields[i].empty())
                    sqlite3_bind_null(st, int(i + 1));
                else
                    sqlite3_bind_text(st, int(i + 1), fields[i].c_str(), -1, SQLITE_TRANSIENT);
            }
            check(sqlite3_step(st), db, path.string() + ":" + std::to_string(lineNo));
        }
        sqlite3_finalize(st);
    }
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
    return 0;
}
