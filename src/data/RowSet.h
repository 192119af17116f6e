#pragma once
// Rows held in memory with a current row: the reading side shared by Query and Table.
//
// Cursor rules (as the forms expect): after open the cursor stands on the first row; an empty
// result has eof() and bof() both true. next() on the last row leaves it there and sets eof();
// prior() on the first row sets bof(). The usual scan is
//   for (q.first(); !q.eof(); q.next()) { ... q.asString("Nom") ... }
// Fields are read by name (case-insensitive, as SQL names) or by position (0-based). A null
// reads as "" / 0 / false; isNull() tells. Reading an unknown field raises DatabaseError.
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

// Options of locate(): caseInsensitive compares texts ignoring case (accents count);
// partialKey matches a field that starts with the value.
struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;
};

// Conversions of a stored value, shared by every reader.
namespace dbvalue {
QString toText(const QVariant& v);   // null -> "", 2.5 -> "2.5", 3.0 -> "3"
int toInt(const QVariant& v);        // null or not a number -> 0; 2.7 -> 2
double toDouble(const QVariant& v);  // null or not a number -> 0
bool toBool(const QVariant& v);      // non-zero number, or "Vrai"/"True"/"1" ignoring case
bool isNull(const QVariant& v);
// Whether `field` matches `wanted` under the options (numbers compare as numbers).
bool matches(const QVariant& field, const QVariant& wanted, LocateOptions options);
}  // namespace dbvalue

class RowSet {
public:
    virtual ~RowSet() = default;

    bool isActive() const { return active_; }
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    bool isEmpty() const { return rows_.empty(); }
    int recordCount() const { return int(rows_.size()); }
    int recNo() const { return cur_; }   // index of the current row, -1 without one

    // Navigation. On a Table a move first posts (or cancels) a pending edit.
    void first();
    void last();
    void next();
    void prior();
    // Searches from the first row for the first row whose `column` matches `value`; the current
    // row changes only when one is found.
    bool locate(const QString& column, const QVariant& value, LocateOptions options = {});

    // Columns of the result (for a Table: the table's columns in their stored order).
    const QStringList& columnNames() const { return columns_; }
    int columnCount() const { return int(columns_.size()); }
    int columnIndex(const QString& name) const;   // -1 when absent
    bool hasField(const QString& name) const;

    // Values of the current row (a Table also answers its lookup and calculated fields by name).
    virtual QVariant value(const QString& name) const;
    QVariant value(int position) const;
    QString asString(const QString& name) const { return dbvalue::toText(value(name)); }
    int asInt(const QString& name) const { return dbvalue::toInt(value(name)); }
    double asDouble(const QString& name) const { return dbvalue::toDouble(value(name)); }
    bool asBool(const QString& name) const { return dbvalue::toBool(value(name)); }
    bool isNull(const QString& name) const { return dbvalue::isNull(value(name)); }
    QString asString(int position) const { return dbvalue::toText(value(position)); }
    int asInt(int position) const { return dbvalue::toInt(value(position)); }
    double asDouble(int position) const { return dbvalue::toDouble(value(position)); }
    bool asBool(int position) const { return dbvalue::toBool(value(position)); }
    bool isNull(int position) const { return dbvalue::isNull(value(position)); }

    // Any row without moving the cursor (grids, lookups); row in 0..recordCount()-1.
    QVariant rowValue(int row, int position) const;
    QVariant rowValue(int row, const QString& name) const;
    // The position of a column; raises DatabaseError when there is none.
    int requireColumn(const QString& name) const;
    // The same value without a copy, for the loops over every row; both indexes must be valid.
    // On a Table the reference holds until another row is read (rows are read a page at a time).
    const QVariant& cell(int row, int position) const { return rowData(row)[size_t(position)]; }

protected:
    // Hooks for Table: beforeMove may post or cancel (and raise to stop the move);
    // afterMove runs once the cursor stands on its new row.
    virtual void beforeMove() {}
    virtual void afterMove() {}
    void moveTo(int row);   // beforeMove, set the cursor, afterMove
    void setCursor(int row);  // no hooks: cursor and eof/bof after a (re)load
    // The values of `row`, read first when they are not in memory (a Table reads its rows when
    // they are first used; an empty row stands for one not read yet).
    const std::vector<QVariant>& rowData(int row) const {
        const std::vector<QVariant>& r = rows_[size_t(row)];
        if (r.empty()) fetchRow(row);
        return rows_[size_t(row)];
    }
    virtual void fetchRow(int /*row*/) const {}
    // The first row from which `found` is true for the field at `position`, or -1 (locate's search).
    virtual int firstMatch(int position, const std::function<bool(const QVariant&)>& found) const;

    QStringList columns_;
    mutable std::vector<std::vector<QVariant>> rows_;
    int cur_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    bool active_ = false;
};
