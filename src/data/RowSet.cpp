#include "data/RowSet.h"

#include <algorithm>
#include <cmath>

#include "data/Database.h"

namespace dbvalue {

bool isNull(const QVariant& v) { return !v.isValid() || v.isNull(); }

static bool isNumber(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Bool: case QMetaType::Short:
        return true;
    default:
        return false;
    }
}

QString toText(const QVariant& v) {
    if (isNull(v)) return QString();
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return QString::number(v.toDouble(), 'g', 15);
    if (v.typeId() == QMetaType::Bool) return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return v.toString();
}

double toDouble(const QVariant& v) {
    if (isNull(v)) return 0.0;
    if (isNumber(v)) return v.toDouble();
    bool ok = false;
    double d = v.toString().trimmed().toDouble(&ok);
    return ok ? d : 0.0;
}

int toInt(const QVariant& v) {
    double d = toDouble(v);
    if (!std::isfinite(d)) return 0;
    return int(std::trunc(d));
}

bool toBool(const QVariant& v) {
    if (isNull(v)) return false;
    if (isNumber(v)) return v.toDouble() != 0.0;
    const QString s = v.toString().trimmed();
    return s.compare(QLatin1String("vrai"), Qt::CaseInsensitive) == 0 ||
           s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || toDouble(v) != 0.0;
}

bool matches(const QVariant& field, const QVariant& wanted, LocateOptions options) {
    if (isNull(wanted)) return isNull(field);
    if (isNull(field)) return false;
    if (isNumber(wanted) && !options.partialKey) {
        bool ok = isNumber(field);
        double f = ok ? field.toDouble() : field.toString().trimmed().toDouble(&ok);
        return ok && f == wanted.toDouble();
    }
    const QString f = toText(field);
    const QString w = toText(wanted);
    const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return options.partialKey ? f.startsWith(w, cs) : f.compare(w, cs) == 0;
}

}  // namespace dbvalue

int RowSet::columnIndex(const QString& name) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool RowSet::hasField(const QString& name) const { return columnIndex(name) >= 0; }

int RowSet::requireColumn(const QString& name) const {
    int i = columnIndex(name);
    if (i < 0) throw DatabaseError(QStringLiteral("Champ '%1' introuvable").arg(name));
    return i;
}

QVariant RowSet::value(const QString& name) const { return value(requireColumn(name)); }

QVariant RowSet::value(int position) const {
    if (position < 0 || position >= columns_.size())
        throw DatabaseError(QStringLiteral("Champ numéro %1 introuvable").arg(position));
    if (cur_ < 0 || cur_ >= int(rows_.size())) return QVariant();
    return rowData(cur_)[size_t(position)];
}

QVariant RowSet::rowValue(int row, int position) const {
    if (row < 0 || row >= int(rows_.size()) || position < 0 || position >= columns_.size())
        return QVariant();
    return rowData(row)[size_t(position)];
}

QVariant RowSet::rowValue(int row, const QString& name) const { return rowValue(row, requireColumn(name)); }

void RowSet::setCursor(int row) {
    const int n = int(rows_.size());
    if (n == 0) {
        cur_ = -1;
        eof_ = bof_ = true;
        return;
    }
    cur_ = std::clamp(row, 0, n - 1);
    bof_ = cur_ == 0;
    eof_ = false;
}

void RowSet::moveTo(int row) {
    beforeMove();
    setCursor(row);
    afterMove();
}

void RowSet::first() {
    moveTo(0);
}

void RowSet::last() {
    moveTo(int(rows_.size()) - 1);
    eof_ = true;
    bof_ = rows_.size() <= 1;
}

void RowSet::next() {
    beforeMove();
    if (cur_ + 1 < int(rows_.size())) {
        ++cur_;
        bof_ = eof_ = false;
        afterMove();
    } else {
        eof_ = true;
    }
}

void RowSet::prior() {
    beforeMove();
    if (cur_ > 0) {
        --cur_;
        bof_ = eof_ = false;
        afterMove();
    } else {
        bof_ = true;
    }
}

bool RowSet::locate(const QString& column, const QVariant& value, LocateOptions options) {
    const int col = requireColumn(column);
    beforeMove();
    // A text search folds the wanted text once and reads each field's text in place.
    const bool byText = !dbvalue::isNull(value) && !(dbvalue::isNumber(value) && !options.partialKey);
    const QString wanted = byText ? dbvalue::toText(value) : QString();
    const Qt::CaseSensitivity cs = options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    auto found = [&](const QVariant& field) {
        if (!byText) return dbvalue::matches(field, value, options);
        if (dbvalue::isNull(field)) return false;
        const QString copy = field.typeId() == QMetaType::QString ? QString() : dbvalue::toText(field);
        const QStringView text = field.typeId() == QMetaType::QString
            ? QStringView(*static_cast<const QString*>(field.constData())) : QStringView(copy);
        return options.partialKey ? text.startsWith(wanted, cs) : text.compare(wanted, cs) == 0;
    };
    const int r = firstMatch(col, found);
    if (r < 0) return false;
    setCursor(r);
    afterMove();
    return true;
}

int RowSet::firstMatch(int position, const std::function<bool(const QVariant&)>& found) const {
    for (int r = 0; r < int(rows_.size()); ++r)
        if (found(rowData(r)[size_t(position)])) return r;
    return -1;
}
