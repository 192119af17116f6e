#include "seed/SeedDb.h"

#include <QList>
#include <QString>

#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace seedtest {

SeedDb::SeedDb() {
    const std::string path = std::string(VIVANDA_BINARY_DIR) + "/shipped/vivanda.db";
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error_ = db_ ? sqlite3_errmsg(db_) : "cannot open " + path;
        sqlite3_close(db_);
        db_ = nullptr;
    }
}

SeedDb::~SeedDb() { sqlite3_close(db_); }

std::vector<Row> SeedDb::rows(const std::string& sql) {
    std::vector<Row> out;
    error_.clear();
    sqlite3_stmt* st = nullptr;
    if (!db_ || sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        error_ = db_ ? sqlite3_errmsg(db_) : "no database";
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
    if (result.empty() || result.front().empty()) {
        ADD_FAILURE() << "no value from: " << sql << " " << error_;
        return std::nan("");
    }
    return number(result.front().begin()->second, sql);
}

std::vector<std::string> readSourceLines(const std::string& relativePath) {
    std::ifstream in(std::string(VIVANDA_SOURCE_DIR) + "/" + relativePath);
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
        std::vector<std::string> fields;
        std::istringstream in(line + '\t');  // the sentinel keeps a trailing empty field
        for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
        if (header.empty()) {
            header = fields;
            continue;
        }
        Row& row = out.emplace_back();
        for (size_t i = 0; i < header.size(); ++i) row[header[i]] = i < fields.size() ? fields[i] : "";
    }
    return out;
}

std::map<std::string, std::vector<std::string>> readUsdaExtract() {
    std::map<std::string, std::vector<std::string>> usda;
    for (const std::string& line : readSourceLines("db/sources/usda-sr28/ABBREV.txt")) {
        std::vector<std::string> f;
        std::istringstream in(line + '^');
        for (std::string field; std::getline(in, field, '^');)
            f.push_back(field.size() > 1 && field.front() == '~' ? field.substr(1, field.size() - 2) : field);
        usda[f[0]] = f;
    }
    return usda;
}

std::string foldedName(const std::string& utf8) {
    return QString::fromUtf8(utf8.c_str()).toCaseFolded().toStdString();
}

double toNumber(const std::string& text) {
    if (text.empty()) return 0;
    size_t used = 0;
    const double value = std::stod(text, &used);
    if (used != text.size()) throw std::invalid_argument("not a number: '" + text + "'");
    return value;
}

double number(const std::string& text, const std::string& what) {
    double value = std::nan("");
    try {
        if (!text.empty()) value = toNumber(text);
    } catch (const std::exception&) {
    }
    if (!std::isfinite(value)) ADD_FAILURE() << what << ": '" << text << "' is not a number";
    return std::isfinite(value) ? value : std::nan("");
}

double number(const Row& row, const std::string& column) {
    auto it = row.find(column);
    if (it == row.end()) {
        ADD_FAILURE() << "no column " << column;
        return std::nan("");
    }
    return number(it->second, column);
}

double number(const Row& row, const std::string& column, double otherwise) {
    auto it = row.find(column);
    return it == row.end() || it->second.empty() ? otherwise : number(it->second, column);
}

void SeedTest::expectNone(const std::string& sql, const std::string& why) {
    const std::vector<Row> found = db.rows(sql);
    ASSERT_EQ(db.error(), "") << sql;
    std::string first;
    for (const auto& [column, value] : found.empty() ? Row() : found.front()) first += column + "=" + value + " ";
    EXPECT_TRUE(found.empty()) << why << " (" << found.size() << " rows, first: " << first << ")";
}

void SeedTest::expectNamesFitAndUnique(const std::string& table, const std::string& key, const std::string& column,
                                       size_t width) {
    std::map<std::string, std::string> seen;
    for (const Row& row : db.rows("SELECT " + key + ", " + column + " FROM " + table)) {
        const std::string& name = row.at(column);
        if (name.empty()) continue;
        if (width > 0)
            EXPECT_LE(QString::fromStdString(name).toUcs4().size(), qsizetype(width))
                << table << " " << row.at(key) << ": " << column << " '" << name << "'";
        auto [it, inserted] = seen.emplace(foldedName(name), row.at(key));
        EXPECT_TRUE(inserted) << table << " " << row.at(key) << ": " << column << " '" << name << "' repeats row "
                              << it->second;
    }
}

}  // namespace seedtest
