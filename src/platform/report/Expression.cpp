#include "platform/report/Expression.h"

#include "platform/report/Report.h"

#include <QList>
#include <cmath>
#include <functional>

namespace report {

struct Expression::Node {
    enum Kind { Number, Text, Field, Unary, Binary, Sum, If } kind = Number;
    QString op;           // Unary: "-", "NOT"; Binary: "+", "-", "*", "/", "=", "<>", "<", ">",
                          // "<=", ">=", "AND", "OR"
    QVariant constant;    // Number, Text
    QString name;         // Field
    std::unique_ptr<Node> a, b, c;
};

namespace {

using Node = Expression::Node;

struct Token {
    enum Kind { End, Number, Text, Ident, Symbol } kind = End;
    QString text;
    double number = 0;
};

class Parser {
public:
    explicit Parser(const QString& text) : text_(text) { advance(); }

    std::unique_ptr<Node> parseAll() {
        auto node = parseOr();
        if (node && token_.kind != Token::End) fail(QStringLiteral("symbole inattendu « %1 »").arg(token_.text));
        return error_.isEmpty() ? std::move(node) : nullptr;
    }
    QString error() const { return error_; }

private:
    void fail(const QString& message) {
        if (error_.isEmpty()) error_ = message;
    }

    void advance() {
        while (pos_ < text_.size() && text_.at(pos_).isSpace()) ++pos_;
        token_ = Token();
        if (pos_ >= text_.size()) return;
        const QChar c = text_.at(pos_);
        if (c.isDigit() || (c == QLatin1Char('.') && pos_ + 1 < text_.size() && text_.at(pos_ + 1).isDigit())) {
            const qsizetype start = pos_;
            while (pos_ < text_.size() && (text_.at(pos_).isDigit() || text_.at(pos_) == QLatin1Char('.'))) ++pos_;
            token_.kind = Token::Number;
            token_.text = text_.mid(start, pos_ - start);
            bool ok = false;
            token_.number = token_.text.toDouble(&ok);
            if (!ok) fail(QStringLiteral("nombre non valide « %1 »").arg(token_.text));
            return;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = text_.indexOf(c, pos_ + 1);
            if (end < 0) {
                fail(QStringLiteral("texte non terminé"));
                pos_ = text_.size();
                return;
            }
            token_.kind = Token::Text;
            token_.text = text_.mid(pos_ + 1, end - pos_ - 1);
            pos_ = end + 1;
            return;
        }
        if (c.isLetter() || c == QLatin1Char('_')) {
            const qsizetype start = pos_;
            while (pos_ < text_.size() && (text_.at(pos_).isLetterOrNumber() || text_.at(pos_) == QLatin1Char('_') ||
                                           text_.at(pos_) == QLatin1Char('.')))
                ++pos_;
            token_.kind = Token::Ident;
            token_.text = text_.mid(start, pos_ - start);
            return;
        }
        static const QStringList twoChar = {QStringLiteral("<>"), QStringLiteral("<="), QStringLiteral(">=")};
        const QString two = text_.mid(pos_, 2);
        token_.kind = Token::Symbol;
        if (twoChar.contains(two)) {
            token_.text = two;
            pos_ += 2;
        } else {
            token_.text = QString(c);
            ++pos_;
        }
    }

    bool isSymbol(const char* s) const { return token_.kind == Token::Symbol && token_.text == QLatin1String(s); }
    bool isKeyword(const char* s) const {
        return token_.kind == Token::Ident && token_.text.compare(QLatin1String(s), Qt::CaseInsensitive) == 0;
    }
    void expect(const char* s) {
        if (isSymbol(s))
            advance();
        else
            fail(QStringLiteral("« %1 » attendu").arg(QLatin1String(s)));
    }

    static std::unique_ptr<Node> binary(const QString& op, std::unique_ptr<Node> a, std::unique_ptr<Node> b) {
        auto n = std::make_unique<Node>();
        n->kind = Node::Binary;
        n->op = op;
        n->a = std::move(a);
        n->b = std::move(b);
        return n;
    }

    // A chain of one keyword operator (OR, AND) over operands parsed by `operand`.
    std::unique_ptr<Node> parseKeywordChain(const char* keyword, std::unique_ptr<Node> (Parser::*operand)()) {
        auto left = (this->*operand)();
        while (error_.isEmpty() && isKeyword(keyword)) {
            advance();
            left = binary(QLatin1String(keyword), std::move(left), (this->*operand)());
        }
        return left;
    }
    std::unique_ptr<Node> parseOr() { return parseKeywordChain("OR", &Parser::parseAnd); }
    std::unique_ptr<Node> parseAnd() { return parseKeywordChain("AND", &Parser::parseNot); }
    std::unique_ptr<Node> parseNot() {
        if (!isKeyword("NOT")) return parseComparison();
        advance();
        auto n = std::make_unique<Node>();
        n->kind = Node::Unary;
        n->op = QStringLiteral("NOT");
        n->a = parseNot();
        return n;
    }
    std::unique_ptr<Node> parseComparison() {
        auto left = parseAdditive();
        for (const char* op : {"=", "<>", "<=", ">=", "<", ">"}) {
            if (isSymbol(op)) {
                advance();
                return binary(QLatin1String(op), std::move(left), parseAdditive());
            }
        }
        return left;
    }
    // A chain of two same-level operators (+ and -, * and /) over operands parsed by `operand`.
    std::unique_ptr<Node> parseSymbolChain(const char* op1, const char* op2, std::unique_ptr<Node> (Parser::*operand)()) {
        auto left = (this->*operand)();
        while (error_.isEmpty() && (isSymbol(op1) || isSymbol(op2))) {
            const QString op = token_.text;
            advance();
            left = binary(op, std::move(left), (this->*operand)());
        }
        return left;
    }
    std::unique_ptr<Node> parseAdditive() { return parseSymbolChain("+", "-", &Parser::parseMultiplicative); }
    std::unique_ptr<Node> parseMultiplicative() { return parseSymbolChain("*", "/", &Parser::parseUnary); }
    std::unique_ptr<Node> parseUnary() {
        if (isSymbol("-") || isSymbol("+")) {
            const QString op = token_.text;
            advance();
            auto operand = parseUnary();
            if (op == QLatin1String("+")) return operand;
            auto n = std::make_unique<Node>();
            n->kind = Node::Unary;
            n->op = op;
            n->a = std::move(operand);
            return n;
        }
        return parsePrimary();
    }
    std::unique_ptr<Node> parsePrimary() {
        auto n = std::make_unique<Node>();
        switch (token_.kind) {
        case Token::Number:
            n->kind = Node::Number;
            n->constant = token_.number;
            advance();
            return n;
        case Token::Text:
            n->kind = Node::Text;
            n->constant = token_.text;
            advance();
            return n;
        case Token::Ident: {
            const QString name = token_.text;
            advance();
            if (!isSymbol("(")) {
                if (name.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
                    name.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
                    n->kind = Node::Number;
                    n->constant = name.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0;
                    return n;
                }
                n->kind = Node::Field;
                n->name = name;
                return n;
            }
            advance();
            const QString upper = name.toUpper();
            if (upper == QLatin1String("SUM")) {
                n->kind = Node::Sum;
                n->a = parseOr();
            } else if (upper == QLatin1String("IF")) {
                n->kind = Node::If;
                n->a = parseOr();
                expect(",");
                n->b = parseOr();
                expect(",");
                n->c = parseOr();
            } else {
                fail(QStringLiteral("fonction inconnue « %1 »").arg(name));
            }
            expect(")");
            return n;
        }
        case Token::Symbol:
            if (isSymbol("(")) {
                advance();
                auto inner = parseOr();
                expect(")");
                return inner;
            }
            fail(QStringLiteral("symbole inattendu « %1 »").arg(token_.text));
            return nullptr;
        case Token::End:
            fail(QStringLiteral("expression incomplète"));
            return nullptr;
        }
        return nullptr;
    }

    QString text_;
    qsizetype pos_ = 0;
    Token token_;
    QString error_;
};

bool isText(const QVariant& v) { return v.typeId() == QMetaType::QString; }

// Numeric reading of a value: null is 0, a text that reads as a number is that number.
bool toNumber(const QVariant& v, double& out) {
    if (!v.isValid() || v.isNull()) {
        out = 0;
        return true;
    }
    if (isText(v)) {
        bool ok = false;
        out = v.toString().trimmed().toDouble(&ok);
        return ok;
    }
    bool ok = false;
    out = v.toDouble(&ok);
    return ok;
}

bool truthy(const QVariant& v) {
    if (v.typeId() == QMetaType::Bool) return v.toBool();
    double d = 0;
    return toNumber(v, d) && d != 0;
}

QVariant fieldValue(const Node& node, const EvalContext& ctx) {
    if (!ctx.data || ctx.row < 0 || ctx.row >= ctx.data->rows.size()) return QVariant();
    return ctx.data->value(ctx.row, ctx.data->columnIndex(node.name));
}

QVariant evaluateNode(const Node& node, const EvalContext& ctx);

QVariant compare(const QString& op, const QVariant& a, const QVariant& b) {
    int order = 0;
    double x = 0, y = 0;
    if (isText(a) && isText(b)) {
        order = QString::localeAwareCompare(a.toString(), b.toString());
    } else if (toNumber(a, x) && toNumber(b, y)) {
        order = x < y ? -1 : (x > y ? 1 : 0);
    } else {
        order = QString::localeAwareCompare(a.toString(), b.toString());
    }
    if (op == QLatin1String("=")) return order == 0;
    if (op == QLatin1String("<>")) return order != 0;
    if (op == QLatin1String("<")) return order < 0;
    if (op == QLatin1String(">")) return order > 0;
    if (op == QLatin1String("<=")) return order <= 0;
    return order >= 0;
}

QVariant evaluateBinary(const Node& node, const EvalContext& ctx) {
    if (node.op == QLatin1String("AND")) return truthy(evaluateNode(*node.a, ctx)) && truthy(evaluateNode(*node.b, ctx));
    if (node.op == QLatin1String("OR")) return truthy(evaluateNode(*node.a, ctx)) || truthy(evaluateNode(*node.b, ctx));
    const QVariant a = evaluateNode(*node.a, ctx);
    const QVariant b = evaluateNode(*node.b, ctx);
    const QChar first = node.op.at(0);
    if (first == QLatin1Char('=') || first == QLatin1Char('<') || first == QLatin1Char('>')) return compare(node.op, a, b);
    if (node.op == QLatin1String("+") && (isText(a) || isText(b))) {
        double x = 0, y = 0;
        if (!(toNumber(a, x) && toNumber(b, y))) return a.toString() + b.toString();
    }
    double x = 0, y = 0;
    if (!toNumber(a, x) || !toNumber(b, y)) return QVariant();
    switch (first.toLatin1()) {
    case '+': return x + y;
    case '-': return x - y;
    case '*': return x * y;
    case '/': return y == 0 ? QVariant() : QVariant(x / y);
    default: return QVariant();
    }
}

QVariant evaluateNode(const Node& node, const EvalContext& ctx) {
    switch (node.kind) {
    case Node::Number:
    case Node::Text:
        return node.constant;
    case Node::Field:
        return fieldValue(node, ctx);
    case Node::Unary: {
        const QVariant v = evaluateNode(*node.a, ctx);
        if (node.op == QLatin1String("NOT")) return !truthy(v);
        double x = 0;
        return toNumber(v, x) ? QVariant(-x) : QVariant();
    }
    case Node::Binary:
        return evaluateBinary(node, ctx);
    case Node::Sum: {
        double total = 0;
        EvalContext inner = ctx;
        for (int r = ctx.first; r <= ctx.last; ++r) {
            inner.row = r;
            double x = 0;
            const QVariant v = evaluateNode(*node.a, inner);
            if (v.isValid() && !v.isNull() && toNumber(v, x)) total += x;
        }
        return total;
    }
    case Node::If:
        return truthy(evaluateNode(*node.a, ctx)) ? evaluateNode(*node.b, ctx) : evaluateNode(*node.c, ctx);
    }
    return QVariant();
}

void collectFields(const Node* node, QStringList& names) {
    if (!node) return;
    if (node->kind == Node::Field && !names.contains(node->name)) names << node->name;
    collectFields(node->a.get(), names);
    collectFields(node->b.get(), names);
    collectFields(node->c.get(), names);
}

}  // namespace

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Expression Expression::parse(const QString& text, QString* error) {
    Parser parser(text);
    Expression e;
    e.root_ = parser.parseAll();
    if (error) *error = parser.error();
    return e;
}

QVariant Expression::evaluate(const EvalContext& context) const {
    return root_ ? evaluateNode(*root_, context) : QVariant();
}

QStringList Expression::fieldNames() const {
    QStringList names;
    collectFields(root_.get(), names);
    return names;
}

}  // namespace report
