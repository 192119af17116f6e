#pragma once
// A statement and its bound values over the program's connection (see Database.h).
//
//   Query q;
//   q.setSql("SELECT Nom, Poids FROM t_utilisateurs WHERE Nom = ?");
//   q.addBindValue(name);                  // values are bound, never written into the text
//   q.open();                              // SELECT: rows in memory, cursor on the first
//   for (q.first(); !q.eof(); q.next()) use(q.asString("Nom"), q.asInt(1));
//
//   Query u("UPDATE t_activites SET Duree = :d WHERE IdActivite = :id");
//   u.bindValue(":d", 0); u.bindValue(":id", 3);
//   int changed = u.exec();                // any other statement: rows changed
//
// Positional `?` take the addBindValue() values in order (or bind(n, v), 1-based); named
// parameters (:name, @name, $name) take bindValue(). One statement per text (a trailing ';' is
// fine). QVariant types map to SQLite: integers and bool -> INTEGER, double -> REAL, QString ->
// TEXT, QByteArray -> BLOB, QDate -> 'YYYY-MM-DD', QTime -> 'HH:MM:SS', null/invalid -> NULL.
// Failures raise DatabaseError. close() drops the rows; setSql() closes and clears the bindings.
#include <QHash>
#include <QString>
#include <QVariant>
#include <initializer_list>
#include <map>

#include "data/RowSet.h"

class Query : public RowSet {
public:
    Query() = default;
    explicit Query(const QString& sql) : sql_(sql) {}
    Query(const QString& sql, std::initializer_list<QVariant> values);

    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }

    Query& addBindValue(const QVariant& value);
    Query& bind(int position, const QVariant& value);         // 1-based
    Query& bindValue(const QString& name, const QVariant& value);
    void clearBindings();

    void open();    // runs a statement that returns rows; cursor on the first row
    int exec();     // runs the statement; returns the number of rows changed
    void close();
    // open() for a statement whose first column is an integer row id: the ids are appended to
    // `ids` and the rows hold the other columns.
    void openWithIds(std::vector<qlonglong>& ids);
    // Hands the rows over (the query is closed afterwards).
    std::vector<std::vector<QVariant>> takeRows();

    // One-shot helpers.
    static int execute(const QString& sql, std::initializer_list<QVariant> values = {});
    // First field of the first row; null when there is no row.
    static QVariant scalar(const QString& sql, std::initializer_list<QVariant> values = {});

private:
    struct Prepared;
    void run(bool keepRows, std::vector<qlonglong>* ids = nullptr);

    QString sql_;
    std::map<int, QVariant> positional_;
    QHash<QString, QVariant> named_;
    int nextPosition_ = 1;
};

// The id a new row gets: largest `column` of `table` + 1, or 1 when the table is empty
// ("SELECT MAX(column) FROM table"). Table and column are the program's own names, not input.
int NextId(const QString& table, const QString& column);

// Binds one value on a prepared statement (shared with Table). Raises DatabaseError on failure.
struct sqlite3_stmt;
void bindSqlValue(sqlite3_stmt* st, int index, const QVariant& value);
// Reads column `i` of the current result row as a QVariant.
QVariant readSqlValue(sqlite3_stmt* st, int i);
