#include "data/Table.h"

#include <QDate>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

#include "data/ColumnWidths.h"
#include "data/Database.h"
#include "data/Query.h"
#include "data/TypedNumber.h"

namespace {

QString quoted(const QString& name) { return QLatin1Char('"') + name + QLatin1Char('"'); }

bool sameValue(const QVariant& a, const QVariant& b) {
    if (dbvalue::isNull(a) || dbvalue::isNull(b)) return dbvalue::isNull(a) && dbvalue::isNull(b);
    return dbvalue::matches(a, b, {});
}

// Runs one statement with its bound values; returns the rows changed.
int runStatement(const QString& sql, const std::vector<QVariant>& values) {
    Query q(sql);
    for (const QVariant& v : values) q.addBindValue(v);
    return q.exec();
}

const QString kBlank = QStringLiteral("        ");

}  // namespace

Table::Table(const QString& tableName, QObject* parent) : QObject(parent), tableName_(tableName) {}

Table::~Table() {
    setMaster(nullptr, QString());
    for (Table* d : details_) d->master_ = nullptr;
}

int Table::textWidth(const QString& column) const { return ColumnTextWidth(tableName_, column); }

// ---------------------------------------------------------------------------------------------
// Opening, reading

void Table::open() {
    if (active_) return;
    if (columns_.isEmpty()) loadColumns();
    linkValue_ = master_ && master_->isActive() && master_->cur_ >= 0 ? master_->value(linkColumn_) : QVariant();
    if (!takeKeptRows()) readRows();
    active_ = true;
    modified_ = false;
    setState(State::Browse);
    setCursor(0);
    emit dataReset();
    afterMove();
}

void Table::loadColumns() {
    Query info(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(tableName_)));
    info.open();
    if (info.isEmpty()) throw DatabaseError(QStringLiteral("Table %1 introuvable").arg(tableName_));
    QStringList keys;
    for (info.first(); !info.eof(); info.next()) {
        columns_ << info.asString("name");
        types_ << info.asString("type").toUpper();
        const int width = textWidth(columns_.last());
        if (width > 0) widths_.insert(columns_.last().toLower(), width);
        if (info.asInt("pk") > 0) keys << info.asString("name");
    }
    keyColumn_ = keys.size() == 1 ? keys.first() : QString();
    keyIsRowid_ = !keyColumn_.isEmpty() && types_[columnIndex(keyColumn_)] == QLatin1String("INTEGER");
}

void Table::readRows() {
    rows_.clear();
    rowids_.clear();
    pages_.clear();
    rowidsChanged();
    readStamp_ = DataStamp();
    const bool linked = master_ != nullptr;
    if (linked && dbvalue::isNull(linkValue_)) return;  // master closed, empty or without id
    // Only the rowids: the engine reads them from the smallest index that holds them.
    const bool sortHere = inRowidOrder();
    CachedStatement st(QStringLiteral("SELECT rowid FROM %1").arg(quoted(tableName_)) + whereSql() +
                       (sortHere ? QString() : orderSql()));
    if (linked) bindSqlValue(st, 1, linkValue_);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) rowids_.push_back(sqlite3_column_int64(st, 0));
    if (rc != SQLITE_DONE) {
        rowids_.clear();
        throwDatabaseError();
    }
    if (sortHere) std::sort(rowids_.begin(), rowids_.end());
    rowidsAscending_ = sortHere || std::is_sorted(rowids_.begin(), rowids_.end());
    rows_.resize(rowids_.size());
    // Rows read inside a transaction may be undone by its rollback, which the stamp would not
    // tell: they are never kept.
    if (!InTransaction()) readStamp_ = CurrentDataStamp();
}

bool Table::inRowidOrder() const { return orderBy_.isEmpty() && (keyColumn_.isEmpty() || keyIsRowid_); }

QString Table::whereSql() const {
    return master_ ? QStringLiteral(" WHERE %1 = ?").arg(quoted(linkColumn_)) : QString();
}

QString Table::orderSql() const {
    if (!orderBy_.isEmpty()) return QStringLiteral(" ORDER BY ") + orderBy_ + QStringLiteral(", rowid");
    if (!keyColumn_.isEmpty()) return QStringLiteral(" ORDER BY ") + quoted(keyColumn_);
    return QStringLiteral(" ORDER BY rowid");
}

QString Table::selectSql() const {
    return QStringLiteral("SELECT rowid, * FROM %1").arg(quoted(tableName_)) + whereSql() + orderSql();
}

// Rows read together, and how many such pages stay in memory.
constexpr int kPageRows = 64;
constexpr size_t kPagesKept = 16;

void Table::fetchRow(int row) const {
    const int page = row / kPageRows;
    const int from = page * kPageRows;
    const int to = std::min(int(rows_.size()), from + kPageRows);
    static const QString marks = [] {
        QStringList m;
        for (int i = 0; i < kPageRows; ++i) m << QStringLiteral("?");
        return m.join(QLatin1Char(','));
    }();
    {
        CachedStatement st(QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid IN (%2)").arg(quoted(tableName_), marks));
        int bound = 0;
        for (int r = from; r < to; ++r)
            if (rows_[r].empty() && rowids_[r] != 0) sqlite3_bind_int64(st, ++bound, rowids_[r]);
        const int stored = std::min(sqlite3_column_count(st) - 1, int(columns_.size()));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const qlonglong rowid = sqlite3_column_int64(st, 0);
            for (int r = from; r < to; ++r) {
                if (rowids_[r] != rowid || !rows_[r].empty()) continue;
                std::vector<QVariant>& values = rows_[r];
                values.reserve(columns_.size());
                for (int c = 0; c < stored; ++c) values.emplace_back(readSqlValue(st, c + 1));
                values.resize(columns_.size());
                break;
            }
        }
        if (rc != SQLITE_DONE) throwDatabaseError();
    }
    // A row deleted by another since the rowids were read shows empty.
    for (int r = from; r < to; ++r)
        if (rows_[r].empty()) rows_[r].resize(columns_.size());
    pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
    pages_.push_back(page);
    // The pages read longest ago are dropped; never the current row's (it may hold an edit) nor
    // the two read last (a caller may still hold a cell of them).
    for (size_t i = 0; pages_.size() > kPagesKept && i + 2 < pages_.size();) {
        const int old = pages_[i];
        if (cur_ >= 0 && old == cur_ / kPageRows) {
            ++i;
            continue;
        }
        const int end = std::min(int(rows_.size()), (old + 1) * kPageRows);
        for (int r = old * kPageRows; r < end; ++r) std::vector<QVariant>().swap(rows_[r]);
        pages_.erase(pages_.begin() + ptrdiff_t(i));
    }
}

std::vector<QVariant>& Table::currentRow() {
    rowData(cur_);
    return rows_[size_t(cur_)];
}

int Table::firstMatch(int position, const std::function<bool(const QVariant&)>& found) const {
    if (rows_.empty() || (master_ && dbvalue::isNull(linkValue_))) return -1;
    // The field alone is read, in the rows' order, up to the first match.
    CachedStatement st(QStringLiteral("SELECT rowid, %1 FROM %2").arg(quoted(columns_[position]), quoted(tableName_)) +
                       whereSql() + orderSql());
    if (master_) bindSqlValue(st, 1, linkValue_);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (!found(readSqlValue(st, 1))) continue;
        const int row = rowOfRowid(sqlite3_column_int64(st, 0));
        if (row >= 0) return row;
    }
    if (rc != SQLITE_DONE) throwDatabaseError();
    return -1;
}

// The rows of the tables closed last, while they still were the database's, by statement.
// A window opened again takes its tables' rows back instead of reading them again when nothing
// was written since; a few tables are kept, the one closed longest ago given up first.
namespace {
struct KeptRows {
    QString sql;
    QVariant link;
    DataStamp stamp;
    int columns = 0;
    std::vector<qlonglong> rowids;
};
constexpr size_t kKeptTables = 8;
std::vector<KeptRows>& keptRows() {
    static std::vector<KeptRows> kept;
    return kept;
}
}  // namespace

void Table::keepRows() {
    std::vector<KeptRows>& kept = keptRows();
    const QString sql = selectSql();
    kept.erase(std::remove_if(kept.begin(), kept.end(),
                              [&](const KeptRows& k) { return k.sql == sql && sameValue(k.link, linkValue_); }),
               kept.end());
    if (kept.size() >= kKeptTables) kept.erase(kept.begin());
    kept.push_back(KeptRows{sql, linkValue_, readStamp_, int(columns_.size()), std::move(rowids_)});
}

bool Table::takeKeptRows() {
    std::vector<KeptRows>& kept = keptRows();
    if (kept.empty()) return false;
    const DataStamp now = CurrentDataStamp();
    // Rows kept from before a write are of no use any more.
    kept.erase(std::remove_if(kept.begin(), kept.end(), [&](const KeptRows& k) { return !(k.stamp == now); }),
               kept.end());
    const QString sql = selectSql();
    auto it = std::find_if(kept.begin(), kept.end(), [&](const KeptRows& k) {
        return k.sql == sql && sameValue(k.link, linkValue_) && k.columns == int(columns_.size());
    });
    if (it == kept.end()) return false;
    rowids_ = std::move(it->rowids);
    rows_.assign(rowids_.size(), {});
    pages_.clear();
    rowidsAscending_ = std::is_sorted(rowids_.begin(), rowids_.end());
    readStamp_ = it->stamp;
    kept.erase(it);
    rowidsChanged();
    return true;
}

void Table::close() {
    if (!active_) return;
    // Rows without pending values, nothing written since they were read: they are kept.
    if (state_ == State::Browse && readStamp_.opening != 0 && databaseIsOpen() && CurrentDataStamp() == readStamp_)
        keepRows();
    rows_.clear();
    rowids_.clear();
    pages_.clear();
    rowidsChanged();
    calcValues_.clear();
    active_ = false;
    modified_ = false;
    setCursor(-1);
    setState(State::Inactive);
    emit dataReset();
    emit currentChanged();
    notifyDetails(true);
}

void Table::refresh() {
    if (!active_) throw DatabaseError(QStringLiteral("La table %1 n'est pas ouverte").arg(tableName_));
    checkBrowseMode();
    const qlonglong rowid = cur_ >= 0 ? rowids_[cur_] : 0;
    const QVariant key = keyColumn_.isEmpty() || cur_ < 0 ? QVariant() : cell(cur_, columnIndex(keyColumn_));
    if (master_) linkValue_ = master_->isActive() && master_->cur_ >= 0 ? master_->value(linkColumn_) : QVariant();
    readRows();
    int row = keyColumn_.isEmpty() ? rowOfRowid(rowid) : findRow(keyColumn_, key);
    setCursor(row < 0 ? cur_ : row);
    emit dataReset();
    computeCalcFields();
    emit currentChanged();
    notifyDetails(false);
}

bool Table::rereadRow(int row, qlonglong rowid) {
    CachedStatement st(QStringLiteral("SELECT rowid, * FROM %1 WHERE rowid = ?").arg(quoted(tableName_)));
    sqlite3_bind_int64(st, 1, rowid);
    if (sqlite3_step(st) != SQLITE_ROW || sqlite3_column_count(st) != int(columns_.size()) + 1) return false;
    std::vector<QVariant> values;
    values.reserve(columns_.size());
    for (int c = 0; c < int(columns_.size()); ++c) values.emplace_back(readSqlValue(st, c + 1));
    rows_[row] = std::move(values);
    return true;
}

int Table::rowOfRowid(qlonglong rowid) const {
    if (rowidsAscending_) {
        // An appended row (rowid 0, at the end) is left out of the halving.
        const auto end = !rowids_.empty() && rowids_.back() == 0 ? rowids_.end() - 1 : rowids_.end();
        const auto it = std::lower_bound(rowids_.begin(), end, rowid);
        return it != end && *it == rowid ? int(it - rowids_.begin()) : -1;
    }
    if (rowIndex_.isEmpty())
        for (int r = int(rowids_.size()) - 1; r >= 0; --r) rowIndex_.insert(rowids_[r], r);
    return rowIndex_.value(rowid, -1);
}

int Table::findRow(const QString& column, const QVariant& key) const {
    if (dbvalue::isNull(key) || !active_) return -1;
    const int col = columnIndex(column);
    if (col < 0) return -1;
    const QString wanted = dbvalue::toText(key);
    // The row being edited answers with its pending values.
    const int editing = isEditing() ? cur_ : -1;
    if (editing >= 0 && dbvalue::toText(rowData(editing)[size_t(col)]) == wanted) return editing;
    if (master_ && dbvalue::isNull(linkValue_)) return -1;
    CachedStatement st(QStringLiteral("SELECT rowid FROM %1 WHERE %2 = ?").arg(quoted(tableName_), quoted(column)) +
                       (master_ ? QStringLiteral(" AND %1 = ?").arg(quoted(linkColumn_)) : QString()));
    bindSqlValue(st, 1, key);
    if (master_) bindSqlValue(st, 2, linkValue_);
    int found = -1;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const int row = rowOfRowid(sqlite3_column_int64(st, 0));
        if (row >= 0 && row != editing && (found < 0 || row < found)) found = row;
    }
    if (rc != SQLITE_DONE) throwDatabaseError();
    return found;
}

// ---------------------------------------------------------------------------------------------
// Moving

void Table::afterMove() {
    computeCalcFields();
    emit currentChanged();
    notifyDetails(true);
    if (onAfterScroll) onAfterScroll(*this);
}

void Table::moveToRow(int row) {
    if (!active_) throw DatabaseError(QStringLiteral("La table %1 n'est pas ouverte").arg(tableName_));
    moveTo(row);
}

bool Table::findKey(const QVariant& key) {
    if (keyColumn_.isEmpty())
        throw DatabaseError(QStringLiteral("La table %1 n'a pas de clé").arg(tableName_));
    checkBrowseMode();
    const int row = findRow(keyColumn_, key);
    if (row < 0) return false;
    setCursor(row);
    afterMove();
    return true;
}

void Table::checkBrowseMode() {
    if (!isEditing()) return;
    writePendingWidgets();
    if (modified_)
        post();
    else
        cancel();
}

// ---------------------------------------------------------------------------------------------
// Editing

void Table::setState(State s) {
    if (state_ == s) return;
    state_ = s;
    emit stateChanged();
}

void Table::append() {
    if (!active_) throw DatabaseError(QStringLiteral("La table %1 n'est pas ouverte").arg(tableName_));
    checkBrowseMode();
    std::vector<QVariant> row(columns_.size());
    assigned_.assign(columns_.size(), false);
    if (master_) {
        const int link = requireColumn(linkColumn_);
        row[link] = linkValue_;
        assigned_[link] = true;
    }
    rowBeforeInsert_ = cur_;
    rows_.push_back(std::move(row));
    rowids_.push_back(0);
    rowidsChanged();
    cur_ = int(rows_.size()) - 1;
    eof_ = bof_ = false;
    modified_ = false;
    setState(State::Insert);
    emit dataReset();
    afterMove();
}

void Table::edit() {
    if (!active_) throw DatabaseError(QStringLiteral("La table %1 n'est pas ouverte").arg(tableName_));
    if (isEditing()) return;
    if (cur_ < 0) {
        append();
        return;
    }
    if (onBeforeEdit) onBeforeEdit(*this);
    saved_ = currentRow();
    modified_ = false;
    setState(State::Edit);
}

void Table::post() {
    if (!isEditing()) return;
    writePendingWidgets();
    if (onBeforePost) onBeforePost(*this);
    const std::vector<QVariant>& row = currentRow();
    qlonglong rowid = rowids_[cur_];
    // An edited row whose place among the rows read cannot change: the table in key (or stored)
    // order, its key and its link to a master as they were.
    auto unchanged = [&](const QString& column) {
        const int c = column.isEmpty() ? -1 : columnIndex(column);
        return c < 0 || (c < int(saved_.size()) && sameValue(saved_[c], row[c]));
    };
    const bool keepsItsPlace = state_ == State::Edit && orderBy_.isEmpty() && unchanged(keyColumn_) &&
                               (!master_ || unchanged(linkColumn_));
    if (state_ == State::Insert) {
        QStringList names, marks;
        std::vector<QVariant> values;
        for (int c = 0; c < columns_.size(); ++c) {
            if (!assigned_[c]) continue;
            names << quoted(columns_[c]);
            marks << QStringLiteral("?");
            values.push_back(row[c]);
        }
        const QString sql = names.isEmpty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(quoted(tableName_))
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(quoted(tableName_), names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        runStatement(sql, values);
        rowid = sqlite3_last_insert_rowid(dbConnection());
    } else {
        // Only the columns that changed are written, so another dataset's changes to the
        // other columns of the row are kept.
        QStringList sets;
        std::vector<QVariant> values;
        for (int c = 0; c < columns_.size(); ++c) {
            if (c < int(saved_.size()) && sameValue(saved_[c], row[c])) continue;
            sets << quoted(columns_[c]) + QStringLiteral(" = ?");
            values.push_back(row[c]);
        }
        values.push_back(rowid);
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                .arg(quoted(tableName_), sets.join(QStringLiteral(", ")));
        if (!sets.isEmpty() && runStatement(sql, values) == 0)
            throw DatabaseError(kBlank + QStringLiteral("L'enregistrement a été supprimé par ailleurs."));
        // An INTEGER PRIMARY KEY is the rowid itself: a changed key moves it.
        if (!keyColumn_.isEmpty() && types_[columnIndex(keyColumn_)] == QLatin1String("INTEGER")) {
            const QVariant key = row[columnIndex(keyColumn_)];
            if (!dbvalue::isNull(key)) rowid = key.toLongLong();
        }
    }
    modified_ = false;
    // Such a row alone is read back (the database's own values); otherwise every row is read
    // again, which finds the posted row's place.
    if (!keepsItsPlace || !rereadRow(cur_, rowid)) {
        readRows();
        const int at = rowOfRowid(rowid);
        setCursor(at >= 0 ? at : cur_);
    }
    setState(State::Browse);
    emit dataReset();
    computeCalcFields();
    emit currentChanged();
    notifyDetails(false);
    if (onAfterPost) onAfterPost(*this);
}

void Table::cancel() {
    if (!isEditing()) return;
    if (state_ == State::Insert) {
        rows_.erase(rows_.begin() + cur_);
        rowids_.erase(rowids_.begin() + cur_);
        rowidsChanged();
        setCursor(rowBeforeInsert_);
        modified_ = false;
        setState(State::Browse);
        emit dataReset();
    } else {
        rows_[cur_] = saved_;
        modified_ = false;
        setState(State::Browse);
        emit fieldChanged(QString());
    }
    computeCalcFields();
    emit currentChanged();
    notifyDetails(false);
}

void Table::remove() {
    if (!active_) throw DatabaseError(QStringLiteral("La table %1 n'est pas ouverte").arg(tableName_));
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (cur_ < 0) throw DatabaseError(kBlank + QStringLiteral("Il n'y a aucun enregistrement à supprimer."));
    if (onBeforeDelete) onBeforeDelete(*this);
    runStatement(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quoted(tableName_)), {rowids_[cur_]});
    const int at = cur_;
    modified_ = false;
    readRows();
    setCursor(at);
    setState(State::Browse);
    emit dataReset();
    afterMove();
}

QVariant Table::convertForColumn(int col, const QVariant& v) const {
    if (dbvalue::isNull(v)) return QVariant();
    const QString& type = types_[col];
    const bool isText = v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray;
    const QString text = isText ? v.toString().trimmed() : QString();
    if (type.contains(QLatin1String("INT"))) {
        if (isText) {
            if (text.isEmpty()) return QVariant();
            if (text.compare(QLatin1String("vrai"), Qt::CaseInsensitive) == 0 ||
                text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return QVariant(qlonglong(1));
            if (text.compare(QLatin1String("faux"), Qt::CaseInsensitive) == 0 ||
                text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return QVariant(qlonglong(0));
            // A control character (a NUL from a paste) would end the number early: refused.
            bool ok = ReadTypedNumber(text).has_value();
            const qlonglong n = ok ? text.toLongLong(&ok) : 0;
            if (ok) return QVariant(n);
            throw DatabaseError(kBlank + QStringLiteral("'%1' n'est pas une valeur entière valide.").arg(text));
        }
        const double d = v.toDouble();
        // A fraction is refused rather than cut, and so is a number no 64-bit integer holds.
        if (std::trunc(d) != d || !std::isfinite(d) || d < -9223372036854775808.0 || d >= 9223372036854775808.0)
            throw DatabaseError(kBlank + QStringLiteral("'%1' n'est pas une valeur entière valide.").arg(v.toString()));
        return QVariant(qlonglong(d));
    }
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB"))) {
        if (isText) {
            if (text.isEmpty()) return QVariant();
            if (const std::optional<double> d = ReadTypedNumber(text)) return QVariant(*d);
            throw DatabaseError(kBlank + QStringLiteral("'%1' n'est pas une valeur numérique valide.").arg(text));
        }
        const double d = v.toDouble();
        if (!std::isfinite(d))
            throw DatabaseError(kBlank + QStringLiteral("'%1' n'est pas une valeur numérique valide.").arg(v.toString()));
        return QVariant(d);
    }
    if (type.contains(QLatin1String("TEXT")) || type.contains(QLatin1String("CHAR"))) {
        QString s;
        if (v.typeId() == QMetaType::QDate) s = v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
        else if (v.typeId() == QMetaType::QTime) s = v.toTime().toString(QStringLiteral("HH:mm:ss"));
        else s = dbvalue::toText(v);
        const int width = widths_.value(columns_[col].toLower(), -1);
        s = CutToWidth(s, width);
        return QVariant(s);
    }
    return v;
}

void Table::setValue(int position, const QVariant& value) {
    if (position < 0 || position >= columns_.size())
        throw DatabaseError(QStringLiteral("Champ numéro %1 introuvable").arg(position));
    setValue(columns_[position], value);
}

void Table::setValue(const QString& name, const QVariant& value) {
    if (calcNames_.contains(name, Qt::CaseInsensitive)) {
        calcValues_.insert(name.toLower(), value);
        if (!inCalc_) emit fieldChanged(name);
        return;
    }
    if (lookups_.contains(name.toLower()))
        throw DatabaseError(QStringLiteral("Le champ %1 ne peut pas être modifié").arg(name));
    const int col = requireColumn(name);
    if (!isEditing())
        throw DatabaseError(QStringLiteral("La table %1 n'est pas en mode édition").arg(tableName_));
    currentRow()[col] = convertForColumn(col, value);
    modified_ = true;
    if (state_ == State::Insert) assigned_[col] = true;
    emit fieldChanged(columns_[col]);
    for (auto it = lookups_.cbegin(); it != lookups_.cend(); ++it)
        if (it->keyColumn.compare(columns_[col], Qt::CaseInsensitive) == 0) emit fieldChanged(it.key());
    computeCalcFields();
    notifyDetails(false);
}

QVariant Table::value(const QString& name) const {
    const int col = columnIndex(name);
    if (col >= 0) return RowSet::value(col);
    const QString key = name.toLower();
    if (lookups_.contains(key)) return lookupValue(cur_, name);
    if (calcNames_.contains(name, Qt::CaseInsensitive)) return calcValues_.value(key);
    throw DatabaseError(QStringLiteral("Champ '%1' introuvable").arg(name));
}

bool Table::hasAnyField(const QString& name) const {
    return hasField(name) || lookups_.contains(name.toLower()) || calcNames_.contains(name, Qt::CaseInsensitive);
}

QString Table::columnType(int position) const { return position >= 0 && position < types_.size() ? types_[position] : QString(); }

// ---------------------------------------------------------------------------------------------
// Lookup and calculated fields

void Table::addLookupField(const QString& name, const QString& keyColumn, Table* source,
                           const QString& sourceKeyColumn, const QString& sourceResultColumn) {
    lookups_.insert(name.toLower(), Lookup{keyColumn, source, sourceKeyColumn, sourceResultColumn});
}

const Table::Lookup* Table::lookup(const QString& name) const {
    auto it = lookups_.constFind(name.toLower());
    return it == lookups_.constEnd() ? nullptr : &*it;
}

QVariant Table::lookupValue(int row, const QString& name) const {
    const Lookup* l = lookup(name);
    if (!l || !l->source || !l->source->isActive() || row < 0 || row >= int(rows_.size())) return QVariant();
    const int col = columnIndex(l->keyColumn);
    if (col < 0) return QVariant();
    const int at = l->source->findRow(l->sourceKeyColumn, cell(row, col));
    return at < 0 ? QVariant() : l->source->rowValue(at, l->sourceResultColumn);
}

void Table::addCalculatedField(const QString& name) {
    if (!calcNames_.contains(name, Qt::CaseInsensitive)) calcNames_ << name;
}

void Table::computeCalcFields() {
    if (inCalc_) return;
    calcValues_.clear();
    if (calcNames_.isEmpty() || !onCalcFields || cur_ < 0) return;
    inCalc_ = true;
    try {
        onCalcFields(*this);
    } catch (...) {
        inCalc_ = false;
        throw;
    }
    inCalc_ = false;
    for (const QString& n : calcNames_) emit fieldChanged(n);
}

// ---------------------------------------------------------------------------------------------
// Master-detail

void Table::setMaster(Table* master, const QString& linkColumn) {
    if (master_) {
        auto& list = master_->details_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    master_ = master;
    linkColumn_ = linkColumn;
    if (master_) master_->details_.push_back(this);
}

void Table::notifyDetails(bool masterMoved) {
    const std::vector<Table*> details = details_;
    for (Table* d : details) d->followMaster(masterMoved);
}

void Table::followMaster(bool masterMoved) {
    if (!active_ || !master_) return;
    const QVariant link = master_->isActive() && master_->cur_ >= 0 ? master_->value(linkColumn_) : QVariant();
    if (!masterMoved && sameValue(link, linkValue_)) return;
    checkBrowseMode();
    linkValue_ = link;
    readRows();
    setCursor(0);
    emit dataReset();
    afterMove();
}

// ---------------------------------------------------------------------------------------------
// Widgets' pending text

int Table::addRecordWriter(std::function<void()> writer) {
    writers_.emplace_back(nextWriterId_, std::move(writer));
    return nextWriterId_++;
}

void Table::removeRecordWriter(int id) {
    writers_.erase(std::remove_if(writers_.begin(), writers_.end(), [id](const auto& w) { return w.first == id; }),
                   writers_.end());
}

void Table::writePendingWidgets() {
    const auto writers = writers_;
    for (const auto& w : writers) w.second();
}
