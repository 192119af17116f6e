#include "data/Query.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <sqlite3.h>

#include "data/Database.h"

void bindSqlValue(sqlite3_stmt* st, int index, const QVariant& v) {
    int rc;
    if (dbvalue::isNull(v)) {
        rc = sqlite3_bind_null(st, index);
    } else {
        switch (v.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::Short:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(st, index, v.toLongLong());
            break;
        case QMetaType::Double: case QMetaType::Float:
            // An infinity would be stored as such and a NaN as an empty value: neither is written.
            if (!std::isfinite(v.toDouble()))
                throw DatabaseError(QStringLiteral("        Une valeur calculée n'est pas un nombre fini :\n"
                                                   "        rien n'a été enregistré."));
            rc = sqlite3_bind_double(st, index, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QDate: {
            const QByteArray t = v.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
            rc = sqlite3_bind_text(st, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QTime: {
            const QByteArray t = v.toTime().toString(QStringLiteral("HH:mm:ss")).toUtf8();
            rc = sqlite3_bind_text(st, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray t = v.toString().toUtf8();
            rc = sqlite3_bind_text(st, index, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK) throwDatabaseError(QStringLiteral("Paramètre %1").arg(index));
}

QVariant readSqlValue(sqlite3_stmt* st, int i) {
    // The column's value taken once, then read without the statement's per-call checks (the
    // connection is used from one thread).
    sqlite3_value* v = sqlite3_column_value(st, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER: return QVariant(qlonglong(sqlite3_value_int64(v)));
    case SQLITE_FLOAT: return QVariant(sqlite3_value_double(v));
    case SQLITE_BLOB: {
        const void* p = sqlite3_value_blob(v);
        return QVariant(QByteArray(static_cast<const char*>(p), sqlite3_value_bytes(v)));
    }
    case SQLITE_NULL: return QVariant();
    default:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v)));
    }
}

// A prepared statement that finalizes itself.
struct Query::Prepared {
    sqlite3_stmt* st = nullptr;
    ~Prepared() { sqlite3_finalize(st); }
};

Query::Query(const QString& sql, std::initializer_list<QVariant> values) : sql_(sql) {
    for (const QVariant& v : values) addBindValue(v);
}

void Query::setSql(const QString& sql) {
    close();
    sql_ = sql;
    clearBindings();
}

Query& Query::addBindValue(const QVariant& value) {
    positional_[nextPosition_++] = value;
    return *this;
}

Query& Query::bind(int position, const QVariant& value) {
    positional_[position] = value;
    nextPosition_ = std::max(nextPosition_, position + 1);
    return *this;
}

Query& Query::bindValue(const QString& name, const QVariant& value) {
    named_[name] = value;
    return *this;
}

void Query::clearBindings() {
    positional_.clear();
    named_.clear();
    nextPosition_ = 1;
}

void Query::close() {
    rows_.clear();
    columns_.clear();
    active_ = false;
    setCursor(-1);
}

void Query::run(bool keepRows, std::vector<qlonglong>* ids) {
    sqlite3* db = dbConnection();
    close();
    const QByteArray text = sql_.toUtf8();
    Prepared p;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &p.st, &tail) != SQLITE_OK)
        throwDatabaseError();
    if (!p.st) throw DatabaseError(QStringLiteral("Instruction SQL vide"));
    for (const char* c = tail; c && *c; ++c)
        if (*c != ';' && !QChar::isSpace(uchar(*c)))
            throw DatabaseError(QStringLiteral("Une seule instruction SQL à la fois"));

    for (const auto& [pos, v] : positional_) bindSqlValue(p.st, pos, v);
    for (auto it = named_.cbegin(); it != named_.cend(); ++it) {
        QByteArray name = it.key().toUtf8();
        if (!name.isEmpty() && name[0] != ':' && name[0] != '@' && name[0] != '$') name.prepend(':');
        int index = sqlite3_bind_parameter_index(p.st, name.constData());
        if (index == 0) throw DatabaseError(QStringLiteral("Paramètre inconnu %1").arg(it.key()));
        bindSqlValue(p.st, index, it.value());
    }

    const int n = sqlite3_column_count(p.st);
    const int first = ids && n > 0 ? 1 : 0;
    if (keepRows)
        for (int i = first; i < n; ++i) columns_ << QString::fromUtf8(sqlite3_column_name(p.st, i));
    int rc;
    while ((rc = sqlite3_step(p.st)) == SQLITE_ROW) {
        if (!keepRows) continue;
        if (first) ids->push_back(sqlite3_column_int64(p.st, 0));
        std::vector<QVariant> row;
        row.reserve(size_t(n - first));
        for (int i = first; i < n; ++i) row.emplace_back(readSqlValue(p.st, i));
        rows_.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        rows_.clear();
        columns_.clear();
        throwDatabaseError();
    }
    if (keepRows) {
        active_ = true;
        setCursor(0);
    }
}

void Query::open() { run(true); }

void Query::openWithIds(std::vector<qlonglong>& ids) { run(true, &ids); }

std::vector<std::vector<QVariant>> Query::takeRows() {
    std::vector<std::vector<QVariant>> rows = std::move(rows_);
    close();
    return rows;
}

int Query::exec() {
    run(false);
    return sqlite3_changes(dbConnection());
}

int Query::execute(const QString& sql, std::initializer_list<QVariant> values) {
    Query q(sql, values);
    return q.exec();
}

QVariant Query::scalar(const QString& sql, std::initializer_list<QVariant> values) {
    Query q(sql, values);
    q.open();
    return q.isEmpty() || q.columnCount() == 0 ? QVariant() : q.value(0);
}

int NextId(const QString& table, const QString& column) {
    return dbvalue::toInt(Query::scalar(QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, table))) + 1;
}
