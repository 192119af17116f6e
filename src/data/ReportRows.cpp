#include "data/ReportRows.h"

#include "data/RowSet.h"

report::ReportData ReportDataOf(const RowSet& rows) {
    report::ReportData data;
    data.columns = rows.columnNames();
    for (int r = 0; r < rows.recordCount(); ++r) {
        QVariantList values;
        values.reserve(rows.columnCount());
        for (int c = 0; c < rows.columnCount(); ++c) values << rows.rowValue(r, c);
        data.rows << values;
    }
    return data;
}
