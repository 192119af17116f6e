#pragma once
// Report expressions: what an expression item prints, and a group's break key.
//
// Syntax (keywords and field names are case-insensitive):
//   numbers 12, 0.5; texts 'abc' or "abc"; field names of the current row (NomAliment,
//   c.NomAliment reads NomAliment when the row has no column of the full name);
//   + - * / and parentheses; comparisons = <> < > <= >=; AND, OR, NOT;
//   SUM(expr): the sum of expr over the detail rows of the band's scope (see ReportLayout.h);
//   IF(condition, a, b): a when the condition holds, else b (only the chosen branch is evaluated).
// A null field counts as 0 in arithmetic and comparisons; '+' joins texts when either side is a
// text. A division by zero or a text in arithmetic gives a null result (the item prints empty).
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace report {

struct ReportData;

// Rows an expression sees: the current row (or -1 when there is none) and the inclusive range of
// detail rows that SUM runs over (empty when last < first).
struct EvalContext {
    const ReportData* data = nullptr;
    int row = -1;
    int first = 0;
    int last = -1;
};

class Expression {
public:
    struct Node;

    Expression();
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    // Parses `text`; on a syntax error returns an invalid expression and sets *error (French).
    static Expression parse(const QString& text, QString* error = nullptr);

    bool isValid() const { return root_ != nullptr; }
    QVariant evaluate(const EvalContext& context) const;
    QStringList fieldNames() const;   // the field names it reads, as written

private:
    std::unique_ptr<Node> root_;
};

}  // namespace report
