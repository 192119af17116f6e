#include "SeedLoader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace seed {

std::vector<std::string> splitFields(const std::string& line) {
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

static void chomp(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

std::string loadSeedFile(sqlite3* db, const std::string& path) {
    std::ifstream in(path);
    if (!in) return "cannot read " + path;
    std::string line;
    if (!std::getline(in, line)) return "";
    chomp(line);
    const auto cols = splitFields(line);
    std::string sql = "INSERT INTO \"" + fs::path(path).stem().string() + "\" (";
    for (size_t i = 0; i < cols.size(); ++i) sql += (i ? ", \"" : "\"") + cols[i] + "\"";
    sql += ") VALUES (";
    for (size_t i = 0; i < cols.size(); ++i) sql += i ? ", ?" : "?";
    sql += ")";
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        return path + ": " + sqlite3_errmsg(db);
    std::string error;
    for (int lineNo = 2; error.empty() && std::getline(in, line); ++lineNo) {
        chomp(line);
        if (line.empty()) continue;
        const auto fields = splitFields(line);
        const std::string where = path + ":" + std::to_string(lineNo) + ": ";
        if (fields.size() != cols.size()) {
            error = where + std::to_string(fields.size()) + " fields, expected " + std::to_string(cols.size());
            break;
        }
        sqlite3_reset(st);
        for (size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].empty())
                sqlite3_bind_null(st, int(i + 1));
            else
                sqlite3_bind_text(st, int(i + 1), fields[i].c_str(), -1, SQLITE_TRANSIENT);
        }
        if (sqlite3_step(st) != SQLITE_DONE) error = where + sqlite3_errmsg(db);
    }
    sqlite3_finalize(st);
    return error;
}

std::string buildDatabase(const std::string& schemaPath, const std::string& seedDir,
                          const std::string& outPath) {
    std::ifstream schemaFile(schemaPath);
    if (!schemaFile) return "cannot read " + schemaPath;
    std::stringstream schema;
    schema << schemaFile.rdbuf();
    std::error_code ec;
    fs::remove(outPath, ec);
    sqlite3* db = nullptr;
    if (sqlite3_open(outPath.c_str(), &db) != SQLITE_OK) {
        std::string msg = "open " + outPath + ": " + sqlite3_errmsg(db);
        sqlite3_close(db);
        return msg;
    }
    std::string error;
    char* err = nullptr;
    if (sqlite3_exec(db, schema.str().c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        error = std::string("schema: ") + (err ? err : "?");
        sqlite3_free(err);
    }
    std::vector<fs::path> files;
    if (error.empty() && fs::exists(seedDir))
        for (const auto& e : fs::directory_iterator(seedDir))
            if (e.path().extension() == ".tsv") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    if (error.empty()) sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const auto& path : files) {
        if (!error.empty()) break;
        error = loadSeedFile(db, path.string());
    }
    if (error.empty() && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        error = std::string("commit: ") + sqlite3_errmsg(db);
    sqlite3_close(db);
    if (!error.empty()) fs::remove(outPath, ec);
    return error;
}

}  // namespace seed
