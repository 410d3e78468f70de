#pragma once
// The formula language of user-defined tables, method columns and report
// columns (docs/kernel/formulas.md).
//
// A formula arrives as two token stacks (CStringStack): the raw tokens and
// the resolved tokens. Only the resolved stack is executed: numbers,
// operators (+ - * / ^ and the "plus or minus percent" operator), parentheses,
// commas, function names (Diagonal and DiagonalAsRow may carry an evaluation
// number: "Diagonal2") and object references "DO<id>".
//
// Values have one of four shapes, numbered as the vector types of data
// objects: 0 triangle (rows = exposure periods, columns = development ages),
// 1 row (one value per development age), 2 column (one value per exposure
// period), 3 scalar. Every cell carries a flag byte: 1 holds a value, 4 blank,
// 32 not available (a result that cannot be formed: division by zero, the
// root of a negative number, a curve that cannot be fitted). Blank in gives
// blank out, not available wins over blank, and no NaN or infinity is ever
// handed out as a number.
//
// Objects are read through IFormulaResolver, so the language works without
// the project; ProjectFormulaResolver (FormulaBinding.h) reads a CProject.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CStringStack.h"
#include "KernelTypes.h"

namespace qsformula {

inline constexpr std::uint8_t kHasValue = 1;
inline constexpr std::uint8_t kBlank = 4;
inline constexpr std::uint8_t kNotAvail = 32;

enum VectorType : int { kTriangle = 0, kRow = 1, kColumn = 2, kScalar = 3 };

// Statuses of compiling and running a formula (0 = success).
inline constexpr QSSTATUS kEmptyFormula = 20;   // no tokens
inline constexpr QSSTATUS kSyntax = 21;         // operands and operators out of order, parentheses unbalanced
inline constexpr QSSTATUS kUnknownToken = 22;   // a token that is no number, operator, function or object
inline constexpr QSSTATUS kBadArguments = 23;   // wrong argument count or kind for a function
inline constexpr QSSTATUS kShapeMismatch = 24;  // operands whose shapes or intervals cannot be combined
inline constexpr QSSTATUS kUnknownObject = 25;  // an object the resolver does not know
inline constexpr QSSTATUS kTooDeep = 26;        // nesting beyond what the evaluator accepts

struct Value {
    int type = kScalar;
    int rows = 1;
    int cols = 1;
    // Length in months of the development periods along the columns (rows
    // and triangles); 0 when unknown or without such an axis.
    int interval = 0;
    std::vector<double> v{0.0};
    std::vector<std::uint8_t> f{kBlank};
    // Triangles: cells each row holds (the staircase up to the evaluation
    // diagonal). Empty: every row is full.
    std::vector<int> rowLen;

    static Value Scalar(double x);
    static Value BlankScalar();
    // A value of the shape, every cell blank.
    static Value Make(int type, int rows, int cols, int interval = 0);
    static Value MakeRow(int n, int interval = 0) { return Make(kRow, 1, n, interval); }
    static Value MakeColumn(int n) { return Make(kColumn, n, 1); }

    std::size_t Index(int r, int c) const { return static_cast<std::size_t>(r) * cols + c; }
    bool Has(int r, int c) const { return f[Index(r, c)] & kHasValue; }
    bool IsNotAvail(int r, int c) const { return f[Index(r, c)] & kNotAvail; }
    double At(int r, int c) const { return v[Index(r, c)]; }
    // Stores x, or marks the cell not available when x is not finite.
    void Set(int r, int c, double x);
    void SetBlank(int r, int c);
    void SetNotAvail(int r, int c);
    int RowLength(int r) const { return rowLen.empty() ? cols : rowLen[r]; }
    int Size() const { return rows * cols; }

    // Vectors by position (a row's columns, a column's rows).
    int Length() const { return type == kColumn ? rows : cols; }
    std::size_t VecIndex(int i) const { return type == kColumn ? Index(i, 0) : Index(0, i); }
};

// What the functions need to know of the project's structure.
struct ProjectInfo {
    int expLength = 12;           // months per exposure period
    int devLength = 12;           // months per development period
    std::vector<double> ages;     // development age in months of each column
    std::vector<int> rowLen;      // per exposure period: the columns up to its latest evaluation
};

// The shape of an object's value without its cells.
struct Shape {
    int type = kScalar;
    int rows = 1;
    int cols = 1;
    int interval = 0;
    std::vector<int> rowLen;
    bool operator==(const Shape&) const = default;
};

class IFormulaResolver {
public:
    virtual ~IFormulaResolver() = default;
    // The cells of the object with this id (its layer included, 0 = the
    // layer of the formula's own object). False when there is no such object.
    virtual bool Resolve(QSID id, Value& out) const = 0;
    virtual const ProjectInfo& Info() const = 0;
    // Optional, so a formula can be evaluated at a few cells without reading
    // whole tables: the shape of an object, and its cells at (row, column)
    // pairs gathered into a column of as many values, each read exactly as
    // Resolve reads it. False: not offered (the whole value is read then).
    virtual bool ResolveShape(QSID, Shape&) const { return false; }
    virtual bool ResolveCells(QSID, const std::vector<std::pair<int, int>>&, Value&) const { return false; }
    // The same for whole columns of a triangle: a triangle of its rows and
    // the given columns, in their order (row lengths cut to match).
    virtual bool ResolveColumns(QSID, const std::vector<int>&, Value&) const { return false; }
};

// A compiled formula: parse once, evaluate after every change of a source.
class Formula {
public:
    Formula();
    ~Formula();
    Formula(const Formula&);
    Formula& operator=(const Formula&);

    // Parses the resolved stack. On failure the formula is empty.
    QSSTATUS Compile(const CStringStack& resolved, std::string* error = nullptr);
    bool IsEmpty() const { return !m_root; }
    QSSTATUS Evaluate(const IFormulaResolver& resolver, Value& out, std::string* error = nullptr) const;
    // Every object id the formula reads, once each, in order of appearance.
    const std::vector<QSID>& Dependencies() const { return m_deps; }
    // True when each cell of the result depends only on the same cell of the
    // triangles the formula reads, all of one shape (given in shape), and on
    // scalars: arithmetic, Abs, Sqrt, Invert and Sum of several arguments.
    bool IsCellwise(const IFormulaResolver& resolver, Shape& shape) const;
    // Evaluates a cellwise formula at the given cells only: out is a column
    // with the result of each cell, bit for bit what Evaluate gives there.
    QSSTATUS EvaluateCells(const IFormulaResolver& resolver, const std::vector<std::pair<int, int>>& cells,
                           Value& out) const;
    // True when each column of the result depends only on the same column
    // of the triangles read (all of one shape) and on scalars: the cellwise
    // operations and the adjusted average case functions.
    bool IsColumnLocal(const IFormulaResolver& resolver, Shape& shape) const;
    // Evaluates a column-local formula on the given columns only: out is the
    // triangle of those columns, bit for bit what Evaluate gives there.
    QSSTATUS EvaluateColumns(const IFormulaResolver& resolver, const std::vector<int>& cols, Value& out) const;
    // For a formula Diagonal(X) with X column-local but not cellwise: true,
    // and the diagonal's cells whose columns are among cols (rows receives
    // their rows, out a column with a value for each of them). False for any
    // other formula (status 0) or when the evaluation failed (its status).
    bool IsDiagonalOfColumnLocal(const IFormulaResolver& resolver) const;
    QSSTATUS EvaluateDiagonalAtColumns(const IFormulaResolver& resolver, const std::vector<int>& cols,
                                       std::vector<int>& rows, Value& out) const;

    struct Node;

private:
    std::shared_ptr<const Node> m_root;
    std::vector<QSID> m_deps;
};

// Compiles and evaluates; 0 when the formula can be executed. result (may be
// null) receives the value.
QSSTATUS Test(const CStringStack& resolved, const IFormulaResolver& resolver, Value* result = nullptr,
              std::string* error = nullptr);
// The ids a resolved stack refers to ("DO" tokens), once each.
std::vector<QSID> Dependencies(const CStringStack& resolved);
// The 40 function names in the order the formula page lists them.
const std::vector<std::string>& FunctionNames();
// True for a function name (case ignored), "Diagonal" or "DiagonalAsRow"
// followed by an evaluation number included.
bool IsFunctionName(const std::string& token);
// The plus-or-minus-percent operator as the formula page writes it (byte
// 0xB1 then "%"); its UTF-8 spelling "\xC2\xB1%" is accepted as well.
extern const char* const kPlusMinusPercent;

}  // namespace qsformula
