#pragma once
// Pieces shared by the formula parser and the formula functions; not part of
// the kernel's interface.
#include <cmath>
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

// The shape that a and b combine to: a scalar goes with anything; equal
// shapes pair cell by cell; a triangle takes a column (one value per row) or
// a row (one value per column) across it; a column and a row make the
// triangle of every pairing. Anything else fails with kShapeMismatch.
// Returns the result (every cell blank) and how its cells find theirs.
struct BroadcastPlan {
    enum Mode { Same, ScalarA, ScalarB, Mixed } mode = Same;
};
Value PlanBroadcast(const Value& a, const Value& b, BroadcastPlan& plan);

// Index into v of the cell that result cell (r, c) of a mixed broadcast reads.
inline std::size_t MixedIndex(const Value& v, int r, int c) {
    switch (v.type) {
        case kColumn: return v.Index(r, 0);
        case kRow: return v.Index(0, c);
        case kScalar: return 0;
        default: return v.Index(r, c);
    }
}

// Walks the cells of the combined shape: cell(out, index in out, index in a,
// index in b) fills each one.
template <class F>
Value Broadcast(const Value& a, const Value& b, F&& cell) {
    BroadcastPlan plan;
    Value out = PlanBroadcast(a, b, plan);
    const std::size_t n = out.v.size();
    switch (plan.mode) {
        case BroadcastPlan::Same:
            for (std::size_t i = 0; i < n; ++i) cell(out, i, i, i);
            break;
        case BroadcastPlan::ScalarA:
            for (std::size_t i = 0; i < n; ++i) cell(out, i, 0, i);
            break;
        case BroadcastPlan::ScalarB:
            for (std::size_t i = 0; i < n; ++i) cell(out, i, i, 0);
            break;
        case BroadcastPlan::Mixed:
            for (int r = 0; r < out.rows; ++r)
                for (int c = 0; c < out.cols; ++c) cell(out, out.Index(r, c), MixedIndex(a, r, c), MixedIndex(b, r, c));
            break;
    }
    return out;
}

// Broadcast with the common cell rule: not available wins, then blank, else
// op of the two values (a result that is not finite is not available).
template <class Op>
Value Combine(const Value& a, const Value& b, Op op) {
    return Broadcast(a, b, [&](Value& out, std::size_t o, std::size_t ia, std::size_t ib) {
        const std::uint8_t fa = a.f[ia], fb = b.f[ib];
        if ((fa | fb) & kNotAvail) {
            out.f[o] = kNotAvail;
        } else if (fa & fb & kHasValue) {
            const double x = op(a.v[ia], b.v[ib]);
            if (std::isfinite(x)) {
                out.v[o] = x;
                out.f[o] = kHasValue;
            } else {
                out.f[o] = kNotAvail;
            }
        }
    });
}

// Applies op to every cell holding a value.
template <class Op>
Value Map(const Value& a, Op op) {
    Value out = a;
    for (std::size_t i = 0; i < out.v.size(); ++i) {
        if (!(out.f[i] & kHasValue)) continue;
        const double x = op(out.v[i]);
        if (std::isfinite(x)) {
            out.v[i] = x;
        } else {
            out.v[i] = 0.0;
            out.f[i] = kNotAvail;
        }
    }
    return out;
}

// Argument helpers.
double ScalarArg(const Value& v, const CallContext& ctx, int position);
int IntArg(const Value& v, const CallContext& ctx, int position);

}  // namespace qsformula::detail
