#include "seed/SeedDb.h"

#include <QList>
#include <QString>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace seedtest {

std::string stagedDatabasePath() { return std::string(VIVANDA_BINARY_DIR) + "/stage/Data/vivanda.db"; }

SeedDb::SeedDb() {
    if (sqlite3_open_v2(stagedDatabasePath().c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error_ = db_ ? sqlite3_errmsg(db_) : "cannot open " + stagedDatabasePath();
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

SeedDb::~SeedDb() { sqlite3_close(db_); }

std::vector<Row> SeedDb::rows(const std::string& sql) {
    std::vector<Row> out;
    if (!db_) return out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        error_ = sqlite3_errmsg(db_);
        return out;
    }
    while (sqlite3_step(st) == SQLITE_ROW) {
        Row row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            const unsigned char* text = sqlite3_column_text(st, i);
            row[sqlite3_column_name(st, i)] = text ? reinterpret_cast<const char*>(text) : "";
        }
        out.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    return out;
}

double SeedDb::scalar(const std::string& sql) {
    auto result = rows(sql);
    if (result.empty() || result.front().empty()) return 0;
    return std::stod("0" + result.front().begin()->second);
}

static std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

static std::string sourcePath(const std::string& relativePath) {
    return std::string(VIVANDA_SOURCE_DIR) + "/" + relativePath;
}

bool sourceFileExists(const std::string& relativePath) {
    return std::filesystem::exists(sourcePath(relativePath));
}

std::vector<std::string> readSourceLines(const std::string& relativePath) {
    std::ifstream in(sourcePath(relativePath));
    std::vector<std::string> out;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] != '#') out.push_back(line);
    }
    return out;
}

std::vector<Row> readSourceTsv(const std::string& relativePath) {
    std::vector<Row> out;
    std::vector<std::string> header;
    for (const std::string& line : readSourceLines(relativePath)) {
        auto fields = splitTabs(line);
        if (header.empty()) {
            header = fields;
            continue;
        }
        Row row;
        for (size_t i = 0; i < header.size(); ++i) row[header[i]] = i < fields.size() ? fields[i] : "";
        out.push_back(std::move(row));
    }
    return out;
}

size_t characterCount(const std::string& utf8) {
    return size_t(QString::fromUtf8(utf8.c_str()).toUcs4().size());
}

std::string foldedName(const std::string& utf8) {
    return QString::fromUtf8(utf8.c_str()).toCaseFolded().toStdString();
}

double number(const Row& row, const std::string& column) { return std::stod("0" + row.at(column)); }

void expectNamesFitAndUnique(SeedDb& db, const std::string& table, const std::string& key,
                             const std::string& column, size_t width) {
    std::map<std::string, std::string> seen;
    for (const Row& row : db.rows("SELECT " + key + ", " + column + " FROM " + table)) {
        const std::string& name = row.at(column);
        if (name.empty()) continue;
        if (width > 0)
            EXPECT_LE(characterCount(name), width) << table << " " << row.at(key) << ": " << column << " '" << name << "'";
        auto [it, inserted] = seen.emplace(foldedName(name), row.at(key));
        EXPECT_TRUE(inserted) << table << " " << row.at(key) << ": " << column << " '" << name << "' repeats row "
                              << it->second;
    }
}

}  // namespace seedtest
