#pragma once
// The rows of a query or a table as a report reads them (see platform/report/Report.h):
//
//   Query q("SELECT NomAliment, QuantiteGramme FROM t_consommation ORDER BY Numero");
//   q.open();
//   report::ReportPlan plan = report::layoutReport(definition, ReportDataOf(q));
#include "platform/report/Report.h"

class RowSet;

// Column names and every row, in order; the cursor does not move.
report::ReportData ReportDataOf(const RowSet& rows);
