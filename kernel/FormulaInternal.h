#pragma once
// Pieces shared by the formula parser and the formula functions; not part of
// the kernel's interface.
#include <functional>
#include <string>
#include <vector>

#include "FormulaLanguage.h"

namespace qsformula::detail {

struct FormulaError {
    QSSTATUS status;
    std::string message;
};
[[noreturn]] void Fail(QSSTATUS status, const std::string& message);

struct CallContext {
    const ProjectInfo& info;
    const std::string& name;
    int suffix;  // the evaluation number written after Diagonal/DiagonalAsRow; 0 when none
};

using FunctionImpl = Value (*)(const std::vector<Value>& args, const CallContext& ctx);
struct FunctionDef {
    const char* name;
    int minArgs;
    int maxArgs;
    bool takesSuffix;
    FunctionImpl impl;
};
// The functions in the order of FunctionNames().
const std::vector<FunctionDef>& Functions();
// The function a token names (case ignored); suffix receives a trailing
// evaluation number (0 when none). Null when the token is no function.
const FunctionDef* FindFunction(const std::string& token, int* suffix);

// Walks the cells of the shape that a and b combine to: a scalar goes with
// anything; equal shapes pair cell by cell; a triangle takes a column (one
// value per row) or a row (one value per column) across it; a column and a
// row make the triangle of every pairing. cell(out, index in out, index in a,
// index in b) fills each cell. Anything else fails with kShapeMismatch.
Value Broadcast(const Value& a, const Value& b,
                const std::function<void(Value&, std::size_t, std::size_t, std::size_t)>& cell);
// Broadcast with the common cell rule: not available wins, then blank, else
// op of the two values (a result that is not finite is not available).
Value Combine(const Value& a, const Value& b, double (*op)(double, double));
// Applies op to every cell holding a value.
Value Map(const Value& a, double (*op)(double));

// Argument helpers.
double ScalarArg(const Value& v, const CallContext& ctx, int position);
int IntArg(const Value& v, const CallContext& ctx, int position);

}  // namespace qsformula::detail
