#include "FormulaLanguage.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "FormulaInternal.h"

namespace qsformula {

const char* const kPlusMinusPercent = "\xB1%";

// ---- values ----------------------------------------------------------------

Value Value::Scalar(double x) {
    Value v;
    v.Set(0, 0, x);
    return v;
}

Value Value::BlankScalar() { return Value{}; }

Value Value::Make(int type, int rows, int cols, int interval) {
    Value v;
    v.type = type;
    v.rows = std::max(rows, 0);
    v.cols = std::max(cols, 0);
    v.interval = interval;
    v.v.assign(static_cast<std::size_t>(v.rows) * v.cols, 0.0);
    v.f.assign(v.v.size(), kBlank);
    return v;
}

void Value::Set(int r, int c, double x) {
    const std::size_t i = Index(r, c);
    if (std::isfinite(x)) {
        v[i] = x;
        f[i] = kHasValue;
    } else {
        v[i] = 0.0;
        f[i] = kNotAvail;
    }
}

void Value::SetBlank(int r, int c) {
    v[Index(r, c)] = 0.0;
    f[Index(r, c)] = kBlank;
}

void Value::SetNotAvail(int r, int c) {
    v[Index(r, c)] = 0.0;
    f[Index(r, c)] = kNotAvail;
}

namespace detail {

void Fail(QSSTATUS status, const std::string& message) { throw FormulaError{status, message}; }

namespace {
const char* ShapeName(int type) {
    switch (type) {
        case kTriangle: return "triangle";
        case kRow: return "row";
        case kColumn: return "column";
        default: return "scalar";
    }
}

int CombinedInterval(const Value& a, const Value& b) {
    if (a.interval && b.interval && a.interval != b.interval)
        Fail(kShapeMismatch, "operands have development periods of different lengths");
    return a.interval ? a.interval : b.interval;
}

std::string Dims(const Value& v) {
    return std::string(ShapeName(v.type)) + " " + std::to_string(v.rows) + "x" + std::to_string(v.cols);
}
}  // namespace

Value PlanBroadcast(const Value& a, const Value& b, BroadcastPlan& plan) {
    const int interval = CombinedInterval(a, b);
    Value out;
    if (a.type == kScalar || b.type == kScalar) {
        const Value& big = a.type == kScalar ? b : a;
        out = Value::Make(big.type, big.rows, big.cols, interval);
        out.rowLen = big.rowLen;
        plan.mode = a.type == kScalar ? (b.type == kScalar ? BroadcastPlan::Same : BroadcastPlan::ScalarA)
                                      : BroadcastPlan::ScalarB;
        return out;
    }
    if (a.type == b.type) {
        if (a.rows != b.rows || a.cols != b.cols) Fail(kShapeMismatch, "cannot combine " + Dims(a) + " with " + Dims(b));
        out = Value::Make(a.type, a.rows, a.cols, interval);
        if (!a.rowLen.empty() && !b.rowLen.empty()) {
            out.rowLen.resize(a.rows);
            for (int r = 0; r < a.rows; ++r) out.rowLen[r] = std::min(a.rowLen[r], b.rowLen[r]);
        } else {
            out.rowLen = a.rowLen.empty() ? b.rowLen : a.rowLen;
        }
        plan.mode = BroadcastPlan::Same;
        return out;
    }
    // Triangle with a vector, or a column with a row: the result is a triangle.
    plan.mode = BroadcastPlan::Mixed;
    const bool aTri = a.type == kTriangle, bTri = b.type == kTriangle;
    if (aTri || bTri) {
        const Value& t = aTri ? a : b;
        const Value& vec = aTri ? b : a;
        if ((vec.type == kColumn && vec.rows != t.rows) || (vec.type == kRow && vec.cols != t.cols))
            Fail(kShapeMismatch, "cannot combine " + Dims(a) + " with " + Dims(b));
        out = Value::Make(kTriangle, t.rows, t.cols, interval);
        out.rowLen = t.rowLen;
    } else {
        const Value& col = a.type == kColumn ? a : b;
        const Value& row = a.type == kRow ? a : b;
        out = Value::Make(kTriangle, col.rows, row.cols, interval);
    }
    return out;
}

double ScalarArg(const Value& v, const CallContext& ctx, int position) {
    if (v.type != kScalar) Fail(kBadArguments, ctx.name + ": argument " + std::to_string(position) + " must be a number");
    return (v.f[0] & kHasValue) ? v.v[0] : std::nan("");
}

int IntArg(const Value& v, const CallContext& ctx, int position) {
    const double x = ScalarArg(v, ctx, position);
    if (!std::isfinite(x) || std::fabs(x) > 1e6)
        Fail(kBadArguments, ctx.name + ": argument " + std::to_string(position) + " must be a whole number");
    return static_cast<int>(std::lround(x));
}

}  // namespace detail

// ---- parsing -----------------------------------------------------------------

using detail::Fail;
using detail::FormulaError;

struct Formula::Node {
    enum Kind { Number, Ref, Negate, Binary, Call } kind = Number;
    double number = 0.0;
    QSID id = 0;
    char op = 0;  // + - * / ^ and 'p' for plus-or-minus-percent
    const detail::FunctionDef* fn = nullptr;
    std::string name;
    int suffix = 0;
    std::vector<std::shared_ptr<const Node>> kids;
};

namespace {

struct Token {
    enum Kind { Number, Ref, Op, LParen, RParen, Comma, Func } kind = Number;
    double number = 0.0;
    QSID id = 0;
    char op = 0;
    const detail::FunctionDef* fn = nullptr;
    int suffix = 0;
    std::string text;
};

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

bool ParseNumber(const std::string& s, double& out) {
    if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '.')) return false;
    char* end = nullptr;
    out = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(out);
}

bool ParseRef(const std::string& s, QSID& id) {
    if (s.size() < 3 || (s[0] != 'D' && s[0] != 'd') || (s[1] != 'O' && s[1] != 'o')) return false;
    const std::string digits = s.substr(2);
    std::size_t i = digits[0] == '-' ? 1 : 0;
    if (i >= digits.size()) return false;
    for (std::size_t k = i; k < digits.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(digits[k]))) return false;
    const long long x = std::strtoll(digits.c_str(), nullptr, 10);
    // Wide ids of older projects are stored as their unsigned value.
    if (x < -2147483648LL || x > 4294967295LL) return false;
    id = static_cast<QSID>(static_cast<std::uint32_t>(x));
    return true;
}

std::vector<Token> Lex(const CStringStack& stack) {
    std::vector<std::string> texts;
    for (const auto& t : stack.Tokens()) {
        std::string s = Trim(t);
        if (!s.empty()) texts.push_back(std::move(s));
    }
    std::vector<Token> out;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::string s = texts[i];
        Token tok;
        tok.text = s;
        // A number written with an exponent reaches us split at its sign
        // ("1.5e" "+" "07") because the tokenizer breaks at operator characters.
        if (s.size() >= 2 && (s.back() == 'e' || s.back() == 'E') && i + 2 < texts.size() &&
            (texts[i + 1] == "+" || texts[i + 1] == "-")) {
            double x;
            const std::string merged = s + texts[i + 1] + texts[i + 2];
            if (ParseNumber(merged, x)) {
                tok.kind = Token::Number;
                tok.number = x;
                tok.text = merged;
                out.push_back(tok);
                i += 2;
                continue;
            }
        }
        if (s == "(") {
            tok.kind = Token::LParen;
        } else if (s == ")") {
            tok.kind = Token::RParen;
        } else if (s == ",") {
            tok.kind = Token::Comma;
        } else if (s == "+" || s == "-" || s == "*" || s == "/" || s == "^") {
            tok.kind = Token::Op;
            tok.op = s[0];
        } else if (s == kPlusMinusPercent || s == "\xC2\xB1%") {
            tok.kind = Token::Op;
            tok.op = 'p';
        } else if (ParseNumber(s, tok.number)) {
            tok.kind = Token::Number;
        } else if (ParseRef(s, tok.id)) {
            tok.kind = Token::Ref;
        } else if ((tok.fn = detail::FindFunction(s, &tok.suffix))) {
            tok.kind = Token::Func;
        } else {
            Fail(kUnknownToken, "\"" + s + "\" is no number, operator, function or object");
        }
        out.push_back(tok);
    }
    return out;
}

using NodePtr = std::shared_ptr<const Formula::Node>;

class Parser {
public:
    explicit Parser(std::vector<Token> toks) : m_t(std::move(toks)) {}

    NodePtr Parse() {
        if (m_t.empty()) Fail(kEmptyFormula, "the formula is empty");
        NodePtr n = Expr();
        if (m_pos != m_t.size()) Fail(kSyntax, "unexpected \"" + m_t[m_pos].text + "\"");
        return n;
    }

private:
    static constexpr int kMaxDepth = 200;

    const Token* Peek() const { return m_pos < m_t.size() ? &m_t[m_pos] : nullptr; }
    bool PeekOp(char op) const { return Peek() && Peek()->kind == Token::Op && Peek()->op == op; }
    bool PeekKind(Token::Kind k) const { return Peek() && Peek()->kind == k; }

    struct DepthGuard {
        int& d;
        explicit DepthGuard(int& depth) : d(depth) {
            if (++d > kMaxDepth) Fail(kTooDeep, "the formula is nested too deeply");
        }
        ~DepthGuard() { --d; }
    };

    static NodePtr MakeBinary(char op, NodePtr l, NodePtr r) {
        auto n = std::make_shared<Formula::Node>();
        n->kind = Formula::Node::Binary;
        n->op = op;
        n->kids = {std::move(l), std::move(r)};
        return n;
    }

    // additive: term (('+' | '-' | '±%') term)*
    NodePtr Expr() {
        DepthGuard g(m_depth);
        NodePtr left = Term();
        while (PeekOp('+') || PeekOp('-') || PeekOp('p')) {
            const char op = m_t[m_pos++].op;
            left = MakeBinary(op, left, Term());
        }
        return left;
    }

    // term: unary (('*' | '/') unary)*
    NodePtr Term() {
        NodePtr left = Unary();
        while (PeekOp('*') || PeekOp('/')) {
            const char op = m_t[m_pos++].op;
            left = MakeBinary(op, left, Unary());
        }
        return left;
    }

    // unary: ('-' | '+') unary | power. A power binds tighter: -2^2 is -4.
    NodePtr Unary() {
        DepthGuard g(m_depth);
        if (PeekOp('-') || PeekOp('+')) {
            const char op = m_t[m_pos++].op;
            NodePtr operand = Unary();
            if (op == '+') return operand;
            auto n = std::make_shared<Formula::Node>();
            n->kind = Formula::Node::Negate;
            n->kids = {std::move(operand)};
            return n;
        }
        return Power();
    }

    // power: primary ('^' unary)?  (right-associative; 2^-1 is allowed)
    NodePtr Power() {
        NodePtr base = Primary();
        if (PeekOp('^')) {
            ++m_pos;
            return MakeBinary('^', base, Unary());
        }
        return base;
    }

    NodePtr Primary() {
        const Token* t = Peek();
        if (!t) Fail(kSyntax, "the formula ends where an operand is expected");
        ++m_pos;
        auto n = std::make_shared<Formula::Node>();
        switch (t->kind) {
            case Token::Number:
                n->kind = Formula::Node::Number;
                n->number = t->number;
                return n;
            case Token::Ref:
                n->kind = Formula::Node::Ref;
                n->id = t->id;
                return n;
            case Token::LParen: {
                NodePtr inner = Expr();
                if (!PeekKind(Token::RParen)) Fail(kSyntax, "a closing parenthesis is missing");
                ++m_pos;
                return inner;
            }
            case Token::Func: {
                n->kind = Formula::Node::Call;
                n->fn = t->fn;
                n->name = t->fn->name;
                n->suffix = t->suffix;
                if (PeekKind(Token::LParen)) {
                    ++m_pos;
                    if (PeekKind(Token::RParen)) {
                        ++m_pos;
                    } else {
                        for (;;) {
                            n->kids.push_back(Expr());
                            if (PeekKind(Token::Comma)) {
                                ++m_pos;
                                continue;
                            }
                            if (PeekKind(Token::RParen)) {
                                ++m_pos;
                                break;
                            }
                            Fail(kSyntax, n->name + ": a comma or closing parenthesis is missing");
                        }
                    }
                }
                const int argc = static_cast<int>(n->kids.size());
                if (argc < t->fn->minArgs || argc > t->fn->maxArgs)
                    Fail(kBadArguments, n->name + " takes " + std::to_string(t->fn->minArgs) +
                                            (t->fn->minArgs == t->fn->maxArgs
                                                 ? ""
                                                 : " to " + std::to_string(t->fn->maxArgs)) +
                                            " arguments, not " + std::to_string(argc));
                return n;
            }
            default:
                Fail(kSyntax, "unexpected \"" + t->text + "\"");
        }
    }

    std::vector<Token> m_t;
    std::size_t m_pos = 0;
    int m_depth = 0;
};

void CollectRefs(const Formula::Node& n, std::vector<QSID>& ids) {
    if (n.kind == Formula::Node::Ref && std::find(ids.begin(), ids.end(), n.id) == ids.end()) ids.push_back(n.id);
    for (const auto& k : n.kids) CollectRefs(*k, ids);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Value BinaryOp(char op, const Value& a, const Value& b) {
    switch (op) {
        case '+': return detail::Combine(a, b, [](double x, double y) { return x + y; });
        case '-': return detail::Combine(a, b, [](double x, double y) { return x - y; });
        case '*': return detail::Combine(a, b, [](double x, double y) { return x * y; });
        case '/': return detail::Combine(a, b, [](double x, double y) { return y == 0.0 ? kNaN : x / y; });
        case '^': return detail::Combine(a, b, [](double x, double y) { return std::pow(x, y); });
        default: return detail::Combine(a, b, [](double x, double y) { return x * (1.0 + y / 100.0); });
    }
}

// Functions whose result cell depends only on the same cell of each argument.
bool CellwiseCall(const Formula::Node& n) {
    const std::string& f = n.name;
    return f == "Abs" || f == "Sqrt" || f == "Invert" || (f == "Sum" && n.kids.size() >= 2);
}

// True when the subtree is cellwise over triangles of one shape (common,
// set by the first triangle met) and scalars.
bool ColumnLocalCall(const Formula::Node& n) {
    return n.name == "AdjAvgCaseLoss" || n.name == "AdjAvgCaseALAE";
}

bool CellwiseNode(const Formula::Node& n, const IFormulaResolver& resolver, Shape& common, bool& haveCommon,
                  int depth, bool columnLocal = false) {
    if (depth > 400) return false;
    switch (n.kind) {
        case Formula::Node::Number:
            return true;
        case Formula::Node::Ref: {
            Shape s;
            if (!resolver.ResolveShape(n.id, s)) return false;
            if (s.type == kScalar) return true;
            if (s.type != kTriangle) return false;
            if (!haveCommon) {
                common = s;
                haveCommon = true;
                return true;
            }
            return s == common;
        }
        case Formula::Node::Call:
            if (!CellwiseCall(n) && !(columnLocal && ColumnLocalCall(n))) return false;
            [[fallthrough]];
        case Formula::Node::Negate:
        case Formula::Node::Binary:
            for (const auto& k : n.kids)
                if (!CellwiseNode(*k, resolver, common, haveCommon, depth + 1, columnLocal)) return false;
            return true;
    }
    return false;
}

Value Eval(const Formula::Node& n, const IFormulaResolver& resolver, int depth);

// A cellwise subtree at the given cells: each triangle read as the column of
// those cells, so every operation runs on exactly the cells it would combine
// in the whole triangle.
Value EvalCells(const Formula::Node& n, const IFormulaResolver& resolver, const std::vector<std::pair<int, int>>& cells,
                int depth) {
    if (depth > 400) Fail(kTooDeep, "the formula is nested too deeply");
    switch (n.kind) {
        case Formula::Node::Number:
            return Value::Scalar(n.number);
        case Formula::Node::Ref: {
            Shape s;
            if (!resolver.ResolveShape(n.id, s)) Fail(kUnknownObject, "object " + std::to_string(n.id) + " does not exist");
            Value v;
            const bool ok = s.type == kScalar ? resolver.Resolve(n.id, v) : resolver.ResolveCells(n.id, cells, v);
            if (!ok) Fail(kUnknownObject, "object " + std::to_string(n.id) + " does not exist");
            return v;
        }
        case Formula::Node::Negate:
            return detail::Map(EvalCells(*n.kids[0], resolver, cells, depth + 1), [](double x) { return -x; });
        case Formula::Node::Binary: {
            const Value a = EvalCells(*n.kids[0], resolver, cells, depth + 1);
            const Value b = EvalCells(*n.kids[1], resolver, cells, depth + 1);
            return BinaryOp(n.op, a, b);
        }
        case Formula::Node::Call: {
            std::vector<Value> args;
            args.reserve(n.kids.size());
            for (const auto& k : n.kids) args.push_back(EvalCells(*k, resolver, cells, depth + 1));
            const detail::CallContext ctx{resolver.Info(), n.name, n.suffix};
            return n.fn->impl(args, ctx);
        }
    }
    return Value{};
}

// A column-local subtree on some columns: each triangle read as the
// triangle of those columns.
Value EvalColumns(const Formula::Node& n, const IFormulaResolver& resolver, const std::vector<int>& cols, int depth) {
    if (depth > 400) Fail(kTooDeep, "the formula is nested too deeply");
    switch (n.kind) {
        case Formula::Node::Number:
            return Value::Scalar(n.number);
        case Formula::Node::Ref: {
            Shape s;
            if (!resolver.ResolveShape(n.id, s)) Fail(kUnknownObject, "object " + std::to_string(n.id) + " does not exist");
            Value v;
            const bool ok = s.type == kScalar ? resolver.Resolve(n.id, v) : resolver.ResolveColumns(n.id, cols, v);
            if (!ok) Fail(kUnknownObject, "object " + std::to_string(n.id) + " does not exist");
            return v;
        }
        case Formula::Node::Negate:
            return detail::Map(EvalColumns(*n.kids[0], resolver, cols, depth + 1), [](double x) { return -x; });
        case Formula::Node::Binary: {
            const Value a = EvalColumns(*n.kids[0], resolver, cols, depth + 1);
            const Value b = EvalColumns(*n.kids[1], resolver, cols, depth + 1);
            return BinaryOp(n.op, a, b);
        }
        case Formula::Node::Call: {
            std::vector<Value> args;
            args.reserve(n.kids.size());
            for (const auto& k : n.kids) args.push_back(EvalColumns(*k, resolver, cols, depth + 1));
            const detail::CallContext ctx{resolver.Info(), n.name, n.suffix};
            return n.fn->impl(args, ctx);
        }
    }
    return Value{};
}

// The latest column of each row of a triangle of this shape, as Diagonal finds it.
std::vector<int> LatestColumns(const Shape& t, const ProjectInfo& info) {
    std::vector<int> last(static_cast<std::size_t>(t.rows));
    for (int r = 0; r < t.rows; ++r) {
        int len = t.cols;
        if (!t.rowLen.empty())
            len = t.rowLen[r];
        else if (static_cast<int>(info.rowLen.size()) == t.rows)
            len = std::min(info.rowLen[r], t.cols);
        last[r] = len - 1;
    }
    return last;
}

// Diagonal of a cellwise expression: only the diagonal's cells are
// evaluated. Null (not handled) when the argument is not cellwise.
bool DiagonalOfCells(const Formula::Node& n, const IFormulaResolver& resolver, int depth, Value& out) {
    if (n.kids.size() != 1) return false;
    Shape shape;
    bool have = false;
    if (!CellwiseNode(*n.kids[0], resolver, shape, have, depth + 1) || !have) return false;
    const int back = std::max(n.suffix, 1) - 1;
    const std::vector<int> last = LatestColumns(shape, resolver.Info());
    std::vector<std::pair<int, int>> cells;
    std::vector<int> rowOf;
    for (int r = 0; r < shape.rows; ++r) {
        const int c = last[r] - back;
        if (c >= 0 && c < shape.cols) {
            cells.emplace_back(r, c);
            rowOf.push_back(r);
        }
    }
    out = Value::MakeColumn(shape.rows);
    if (cells.empty()) return true;
    const Value v = EvalCells(*n.kids[0], resolver, cells, depth + 1);
    const bool column = v.type != kScalar;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::size_t from = column ? i : 0;
        out.v[out.Index(rowOf[i], 0)] = v.v[from];
        out.f[out.Index(rowOf[i], 0)] = v.f[from];
    }
    return true;
}

Value Eval(const Formula::Node& n, const IFormulaResolver& resolver, int depth) {
    if (depth > 400) Fail(kTooDeep, "the formula is nested too deeply");
    switch (n.kind) {
        case Formula::Node::Number:
            return Value::Scalar(n.number);
        case Formula::Node::Ref: {
            Value v;
            if (!resolver.Resolve(n.id, v)) Fail(kUnknownObject, "object " + std::to_string(n.id) + " does not exist");
            return v;
        }
        case Formula::Node::Negate:
            return detail::Map(Eval(*n.kids[0], resolver, depth + 1), [](double x) { return -x; });
        case Formula::Node::Binary: {
            const Value a = Eval(*n.kids[0], resolver, depth + 1);
            const Value b = Eval(*n.kids[1], resolver, depth + 1);
            return BinaryOp(n.op, a, b);
        }
        case Formula::Node::Call: {
            // The diagonal of a table or of arithmetic on tables reads only
            // the diagonal's cells.
            Value diagonal;
            if (n.name == "Diagonal" && DiagonalOfCells(n, resolver, depth, diagonal)) return diagonal;
            std::vector<Value> args;
            args.reserve(n.kids.size());
            for (const auto& k : n.kids) args.push_back(Eval(*k, resolver, depth + 1));
            const detail::CallContext ctx{resolver.Info(), n.name, n.suffix};
            return n.fn->impl(args, ctx);
        }
    }
    return Value{};
}

}  // namespace

Formula::Formula() = default;
Formula::~Formula() = default;
Formula::Formula(const Formula&) = default;
Formula& Formula::operator=(const Formula&) = default;

QSSTATUS Formula::Compile(const CStringStack& resolved, std::string* error) {
    m_root.reset();
    m_deps.clear();
    try {
        NodePtr root = Parser(Lex(resolved)).Parse();
        std::vector<QSID> deps;
        CollectRefs(*root, deps);
        m_root = std::move(root);
        m_deps = std::move(deps);
        return qsk::kOk;
    } catch (const FormulaError& e) {
        if (error) *error = e.message;
        return e.status;
    }
}

QSSTATUS Formula::Evaluate(const IFormulaResolver& resolver, Value& out, std::string* error) const {
    if (!m_root) {
        if (error) *error = "the formula is empty";
        return kEmptyFormula;
    }
    try {
        out = Eval(*m_root, resolver, 0);
        return qsk::kOk;
    } catch (const FormulaError& e) {
        if (error) *error = e.message;
        return e.status;
    }
}

bool Formula::IsCellwise(const IFormulaResolver& resolver, Shape& shape) const {
    bool have = false;
    return m_root && CellwiseNode(*m_root, resolver, shape, have, 0) && have;
}

QSSTATUS Formula::EvaluateCells(const IFormulaResolver& resolver, const std::vector<std::pair<int, int>>& cells,
                                Value& out) const {
    if (!m_root) return kEmptyFormula;
    try {
        out = EvalCells(*m_root, resolver, cells, 0);
        return qsk::kOk;
    } catch (const FormulaError& e) {
        return e.status;
    }
}

bool Formula::IsColumnLocal(const IFormulaResolver& resolver, Shape& shape) const {
    bool have = false;
    return m_root && CellwiseNode(*m_root, resolver, shape, have, 0, true) && have;
}

QSSTATUS Formula::EvaluateColumns(const IFormulaResolver& resolver, const std::vector<int>& cols, Value& out) const {
    if (!m_root) return kEmptyFormula;
    try {
        out = EvalColumns(*m_root, resolver, cols, 0);
        return qsk::kOk;
    } catch (const FormulaError& e) {
        return e.status;
    }
}

bool Formula::IsDiagonalOfColumnLocal(const IFormulaResolver& resolver) const {
    if (!m_root || m_root->kind != Node::Call || m_root->name != "Diagonal" || m_root->kids.size() != 1) return false;
    Shape shape;
    bool have = false;
    if (CellwiseNode(*m_root->kids[0], resolver, shape, have, 1)) return false;  // cellwise: read directly
    have = false;
    return CellwiseNode(*m_root->kids[0], resolver, shape, have, 1, true) && have;
}

QSSTATUS Formula::EvaluateDiagonalAtColumns(const IFormulaResolver& resolver, const std::vector<int>& cols,
                                            std::vector<int>& rows, Value& out) const {
    rows.clear();
    Shape shape;
    bool have = false;
    if (!m_root || m_root->kids.size() != 1 ||
        !CellwiseNode(*m_root->kids[0], resolver, shape, have, 1, true) || !have)
        return kBadArguments;
    const int back = std::max(m_root->suffix, 1) - 1;
    const std::vector<int> last = LatestColumns(shape, resolver.Info());
    std::vector<int> position(static_cast<std::size_t>(shape.cols), -1);
    for (std::size_t i = 0; i < cols.size(); ++i)
        if (cols[i] >= 0 && cols[i] < shape.cols) position[static_cast<std::size_t>(cols[i])] = static_cast<int>(i);
    for (int r = 0; r < shape.rows; ++r) {
        const int c = last[r] - back;
        if (c >= 0 && c < shape.cols && position[static_cast<std::size_t>(c)] >= 0) rows.push_back(r);
    }
    out = Value::MakeColumn(static_cast<int>(rows.size()));
    if (rows.empty()) return qsk::kOk;
    try {
        const Value t = EvalColumns(*m_root->kids[0], resolver, cols, 1);
        if (t.type != kTriangle || t.rows != shape.rows || t.cols != static_cast<int>(cols.size())) return kShapeMismatch;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int r = rows[i];
            const std::size_t from = t.Index(r, position[static_cast<std::size_t>(last[r] - back)]);
            out.v[i] = t.v[from];
            out.f[i] = t.f[from];
        }
        return qsk::kOk;
    } catch (const FormulaError& e) {
        return e.status;
    }
}

QSSTATUS Test(const CStringStack& resolved, const IFormulaResolver& resolver, Value* result, std::string* error) {
    Formula f;
    QSSTATUS st = f.Compile(resolved, error);
    if (st) return st;
    Value v;
    st = f.Evaluate(resolver, v, error);
    if (!st && result) *result = std::move(v);
    return st;
}

std::vector<QSID> Dependencies(const CStringStack& resolved) {
    std::vector<QSID> ids;
    for (const auto& t : resolved.Tokens()) {
        QSID id;
        if (ParseRef(Trim(t), id) && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
    return ids;
}

const std::vector<std::string>& FunctionNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> n;
        for (const auto& f : detail::Functions()) n.push_back(f.name);
        return n;
    }();
    return names;
}

bool IsFunctionName(const std::string& token) {
    int suffix = 0;
    return detail::FindFunction(Trim(token), &suffix) != nullptr;
}

}  // namespace qsformula
