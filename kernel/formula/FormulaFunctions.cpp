// The 40 functions of the formula language. docs/kernel/formulas.md gives
// each one's arguments, result shape, formula and the technique it serves.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "CInterpolation.h"
#include "FormulaInternal.h"
#include "ReservingMath.h"

namespace qsformula::detail {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void CopyCell(Value& out, std::size_t o, const Value& in, std::size_t i) {
    out.v[o] = in.v[i];
    out.f[o] = in.f[i];
}

// The lines a running calculation walks: each row of a triangle or row
// vector along its columns (up to the row's length), or the single line of a
// column vector down its rows.
std::vector<std::vector<std::size_t>> Lines(const Value& v) {
    std::vector<std::vector<std::size_t>> lines;
    if (v.type == kColumn) {
        lines.emplace_back();
        for (int r = 0; r < v.rows; ++r) lines.back().push_back(v.Index(r, 0));
    } else {
        for (int r = 0; r < v.rows; ++r) {
            lines.emplace_back();
            for (int c = 0; c < v.RowLength(r); ++c) lines.back().push_back(v.Index(r, c));
        }
    }
    return lines;
}

void RequireType(const Value& v, const CallContext& ctx, int position, std::initializer_list<int> types,
                 const char* what) {
    if (std::find(types.begin(), types.end(), v.type) == types.end())
        Fail(kBadArguments, ctx.name + ": argument " + std::to_string(position) + " must be " + what);
}

// Column of the latest evaluation of each exposure period.
int LatestCol(const ProjectInfo& info, int row) { return info.rowLen[static_cast<std::size_t>(row)] - 1; }

void RequireRowsMatchProject(const Value& v, const CallContext& ctx) {
    if (static_cast<int>(ctx.info.rowLen.size()) != v.rows)
        Fail(kShapeMismatch, ctx.name + ": " + std::to_string(v.rows) + " rows where the project has " +
                                 std::to_string(ctx.info.rowLen.size()) + " exposure periods");
}

// ---- elementwise ------------------------------------------------------------

Value FnAbs(const std::vector<Value>& a, const CallContext&) { return Map(a[0], [](double x) { return std::fabs(x); }); }

Value FnSqrt(const std::vector<Value>& a, const CallContext&) {
    return Map(a[0], [](double x) { return x < 0 ? kNaN : std::sqrt(x); });
}

Value FnInvert(const std::vector<Value>& a, const CallContext&) {
    return Map(a[0], [](double x) { return x == 0 ? kNaN : 1.0 / x; });
}

Value FnRound(const std::vector<Value>& a, const CallContext& ctx) {
    const int digits = a.size() > 1 ? IntArg(a[1], ctx, 2) : 0;
    if (digits < -15 || digits > 15) Fail(kBadArguments, ctx.name + ": decimals must lie from -15 to 15");
    const double p = std::pow(10.0, digits);
    return Map(a[0], [p](double x) { return std::round(x * p) / p; });
}

Value FnZeroOutBlanks(const std::vector<Value>& a, const CallContext&) {
    Value out = a[0];
    for (int r = 0; r < out.rows; ++r)
        for (int c = 0; c < out.RowLength(r); ++c)
            if (out.f[out.Index(r, c)] == kBlank) out.Set(r, c, 0.0);
    return out;
}

Value FnIfInterpolate(const std::vector<Value>& a, const CallContext&) {
    const Value& base = a[0];
    const Value& interp = a[1];
    return Broadcast(base, interp, [&](Value& out, std::size_t o, std::size_t ib, std::size_t ii) {
        if (interp.f[ii] & kHasValue)
            CopyCell(out, o, interp, ii);
        else
            CopyCell(out, o, base, ib);
    });
}

// ---- totals and extremes ---------------------------------------------------------

// Total of the cells at idx: blank when none holds a value, not available
// when any is.
void TotalInto(const Value& in, const std::vector<std::size_t>& idx, Value& out, int r, int c) {
    double s = 0;
    bool any = false;
    for (std::size_t i : idx) {
        if (in.f[i] & kNotAvail) return out.SetNotAvail(r, c);
        if (in.f[i] & kHasValue) {
            s += in.v[i];
            any = true;
        }
    }
    if (any) out.Set(r, c, s);
}

std::vector<std::size_t> AllCells(const Value& v) {
    std::vector<std::size_t> idx;
    for (int r = 0; r < v.rows; ++r)
        for (int c = 0; c < v.cols; ++c) idx.push_back(v.Index(r, c));
    return idx;
}

Value FnSum(const std::vector<Value>& a, const CallContext&) {
    if (a.size() == 1) {
        const Value& x = a[0];
        if (x.type == kTriangle) {
            Value out = Value::MakeColumn(x.rows);
            for (int r = 0; r < x.rows; ++r) {
                std::vector<std::size_t> idx;
                for (int c = 0; c < x.cols; ++c) idx.push_back(x.Index(r, c));
                TotalInto(x, idx, out, r, 0);
            }
            return out;
        }
        Value out = Value::BlankScalar();
        TotalInto(x, AllCells(x), out, 0, 0);
        return out;
    }
    // Several arguments: cell by cell, a blank counting as 0 beside a value.
    Value acc = a[0];
    for (std::size_t k = 1; k < a.size(); ++k) {
        const Value& b = a[k];
        const Value prev = acc;
        acc = Broadcast(prev, b, [&](Value& out, std::size_t o, std::size_t ia, std::size_t ib) {
            const std::uint8_t fa = prev.f[ia], fb = b.f[ib];
            if ((fa | fb) & kNotAvail) {
                out.f[o] = kNotAvail;
            } else if (!((fa | fb) & kHasValue)) {
                out.f[o] = kBlank;
            } else {
                out.v[o] = ((fa & kHasValue) ? prev.v[ia] : 0.0) + ((fb & kHasValue) ? b.v[ib] : 0.0);
                out.f[o] = std::isfinite(out.v[o]) ? kHasValue : kNotAvail;
                if (out.f[o] == kNotAvail) out.v[o] = 0.0;
            }
        });
    }
    return acc;
}

Value FnMatrixTotal(const std::vector<Value>& a, const CallContext&) {
    Value out = Value::BlankScalar();
    TotalInto(a[0], AllCells(a[0]), out, 0, 0);
    return out;
}

Value Extreme(const std::vector<Value>& a, bool wantMax) {
    if (a.size() == 1) {
        const Value& x = a[0];
        Value out = Value::BlankScalar();
        bool any = false;
        double best = 0;
        for (std::size_t i = 0; i < x.v.size(); ++i) {
            if (x.f[i] & kNotAvail) {
                out.SetNotAvail(0, 0);
                return out;
            }
            if (!(x.f[i] & kHasValue)) continue;
            if (!any || (wantMax ? x.v[i] > best : x.v[i] < best)) best = x.v[i];
            any = true;
        }
        if (any) out.Set(0, 0, best);
        return out;
    }
    Value acc = a[0];
    for (std::size_t k = 1; k < a.size(); ++k) {
        if (wantMax)
            acc = Combine(acc, a[k], [](double x, double y) { return std::max(x, y); });
        else
            acc = Combine(acc, a[k], [](double x, double y) { return std::min(x, y); });
    }
    return acc;
}

Value FnMax(const std::vector<Value>& a, const CallContext&) { return Extreme(a, true); }
Value FnMin(const std::vector<Value>& a, const CallContext&) { return Extreme(a, false); }

// ---- running sums and products ------------------------------------------------------

Value FnCumulate(const std::vector<Value>& a, const CallContext&) {
    Value out = a[0];
    for (const auto& line : Lines(out)) {
        double s = 0;
        bool lost = false;  // a not-available cell makes every later sum unknown
        for (std::size_t i : line) {
            if (lost || (out.f[i] & kNotAvail)) {
                lost = true;
                out.v[i] = 0;
                out.f[i] = kNotAvail;
            } else if (out.f[i] & kHasValue) {
                s += out.v[i];
                out.v[i] = s;
            }
        }
    }
    return out;
}

Value FnDecumulate(const std::vector<Value>& a, const CallContext&) {
    Value out = a[0];
    const Value& in = a[0];
    for (const auto& line : Lines(out)) {
        double prev = 0;
        bool prevLost = false;
        for (std::size_t i : line) {
            if (in.f[i] & kNotAvail) {
                prevLost = true;
            } else if (in.f[i] & kHasValue) {
                if (prevLost) {
                    out.v[i] = 0;
                    out.f[i] = kNotAvail;
                } else {
                    out.v[i] = in.v[i] - prev;
                }
                prev = in.v[i];
                prevLost = false;
            }
        }
    }
    return out;
}

// Age-to-age factors (last cell the tail) to age-to-ultimate factors: the
// product from each age through the tail, by the kernel's one rule for
// selections (qs::calc::SelectedTailFactor: a blank or zero tail counts as
// 1). A factor that is missing leaves every age before it without a
// product; a tail that is not available makes every product unknown.
Value CumulateFactors(const Value& in, const CallContext& ctx, int position) {
    RequireType(in, ctx, position, {kRow, kTriangle, kScalar}, "a row of factors");
    Value out = in;
    for (const auto& line : Lines(out)) {
        double p = 1;
        std::uint8_t lost = 0;
        for (auto it = line.rbegin(); it != line.rend(); ++it) {
            const std::size_t i = *it;
            const bool tail = it == line.rbegin();
            if (!lost && !(in.f[i] & kHasValue) && (!tail || (in.f[i] & kNotAvail)))
                lost = (in.f[i] & kNotAvail) ? kNotAvail : kBlank;
            if (lost) {
                out.v[i] = 0;
                out.f[i] = lost;
                continue;
            }
            if (tail) {
                p = qs::calc::SelectedTailFactor((in.f[i] & kHasValue) != 0, in.v[i]);
                out.v[i] = p;
                out.f[i] = kHasValue;
                continue;
            }
            p *= in.v[i];
            out.v[i] = p;
            if (!std::isfinite(p)) {
                out.v[i] = 0;
                out.f[i] = kNotAvail;
                lost = kNotAvail;
            }
        }
    }
    return out;
}

Value FnCumulateSDF(const std::vector<Value>& a, const CallContext& ctx) { return CumulateFactors(a[0], ctx, 1); }

Value FnDecumulateCDF(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& in = a[0];
    RequireType(in, ctx, 1, {kRow, kTriangle, kScalar}, "a row of factors");
    Value out = in;
    for (const auto& line : Lines(out)) {
        for (std::size_t k = 0; k + 1 < line.size(); ++k) {
            const std::size_t i = line[k], j = line[k + 1];
            const std::uint8_t fl = in.f[i] | in.f[j];
            if (fl & kNotAvail) {
                out.v[i] = 0;
                out.f[i] = kNotAvail;
            } else if (!(in.f[i] & in.f[j] & kHasValue)) {
                out.v[i] = 0;
                out.f[i] = kBlank;
            } else if (in.v[j] == 0) {
                out.v[i] = 0;
                out.f[i] = kNotAvail;
            } else {
                out.v[i] = in.v[i] / in.v[j];
            }
        }
    }
    return out;
}

// ---- by age and by exposure period -------------------------------------------------

// A row by development age read at each exposure period's latest age.
Value RowAtLatestAges(const Value& row, const CallContext& ctx) {
    const auto& len = ctx.info.rowLen;
    Value out = Value::MakeColumn(static_cast<int>(len.size()));
    for (int r = 0; r < out.rows; ++r) {
        const int k = LatestCol(ctx.info, r);
        if (k < 0) continue;  // the period has no evaluation yet
        if (k >= row.cols) {
            out.SetNotAvail(r, 0);
            continue;
        }
        CopyCell(out, out.Index(r, 0), row, row.Index(0, k));
    }
    return out;
}

Value FnConvertRowToCol(const std::vector<Value>& a, const CallContext& ctx) {
    RequireType(a[0], ctx, 1, {kRow}, "a row");
    return RowAtLatestAges(a[0], ctx);
}

Value FnConvertSDFToCol(const std::vector<Value>& a, const CallContext& ctx) {
    RequireType(a[0], ctx, 1, {kRow}, "a row of factors");
    return RowAtLatestAges(CumulateFactors(a[0], ctx, 1), ctx);
}

template <class Op>
Value ApplyFactors(const Value& x, const Value& f, const CallContext& ctx, Op op) {
    if (x.type == kColumn && f.type == kRow) {
        RequireRowsMatchProject(x, ctx);
        return Combine(x, RowAtLatestAges(f, ctx), op);
    }
    return Combine(x, f, op);
}

Value FnDevelop(const std::vector<Value>& a, const CallContext& ctx) {
    return ApplyFactors(a[0], a[1], ctx, [](double x, double f) { return x * f; });
}

Value FnUndevelop(const std::vector<Value>& a, const CallContext& ctx) {
    return ApplyFactors(a[0], a[1], ctx, [](double x, double f) { return f == 0 ? kNaN : x / f; });
}

// Latest column of each row of a triangle: its own staircase, else the
// project's when the rows match, else the full row.
std::vector<int> TriangleLatest(const Value& t, const ProjectInfo& info) {
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

Value FnDiagonal(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& t = a[0];
    RequireType(t, ctx, 1, {kTriangle}, "a triangle");
    const int back = std::max(ctx.suffix, 1) - 1;
    const auto last = TriangleLatest(t, ctx.info);
    Value out = Value::MakeColumn(t.rows);
    for (int r = 0; r < t.rows; ++r) {
        const int c = last[r] - back;
        if (c >= 0 && c < t.cols) CopyCell(out, out.Index(r, 0), t, t.Index(r, c));
    }
    return out;
}

Value FnDiagonalAsRow(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& t = a[0];
    RequireType(t, ctx, 1, {kTriangle}, "a triangle");
    const int back = std::max(ctx.suffix, 1) - 1;
    const auto last = TriangleLatest(t, ctx.info);
    Value out = Value::MakeRow(t.cols, t.interval);
    // Several rows can end in one column (old periods that stopped at the
    // last age): the newest of them stands for the evaluation.
    for (int r = 0; r < t.rows; ++r) {
        const int c = last[r] - back;
        if (c >= 0 && c < t.cols) CopyCell(out, out.Index(0, c), t, t.Index(r, c));
    }
    return out;
}

Value FnShift(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& x = a[0];
    const int n = IntArg(a[1], ctx, 2);
    if (x.type == kScalar) return x;
    Value out = x;
    std::fill(out.v.begin(), out.v.end(), 0.0);
    std::fill(out.f.begin(), out.f.end(), kBlank);
    if (x.type == kColumn) {
        for (int r = 0; r < x.rows; ++r)
            if (r - n >= 0 && r - n < x.rows) CopyCell(out, out.Index(r, 0), x, x.Index(r - n, 0));
        return out;
    }
    for (int r = 0; r < x.rows; ++r) {
        const int len = x.RowLength(r);
        for (int c = 0; c < len; ++c)
            if (c - n >= 0 && c - n < len) CopyCell(out, out.Index(r, c), x, x.Index(r, c - n));
    }
    return out;
}

Value FnGetSystemDevelopmentAges(const std::vector<Value>&, const CallContext& ctx) {
    Value out = Value::MakeRow(static_cast<int>(ctx.info.ages.size()), ctx.info.devLength);
    for (int c = 0; c < out.cols; ++c) out.Set(0, c, ctx.info.ages[c]);
    return out;
}

// ---- trend and averages -----------------------------------------------------------

Value FnTrend(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& x = a[0];
    const double rate = ScalarArg(a[1], ctx, 2);
    if (a.size() == 3) {
        const Value& years = a[2];
        const Value factor = Map(years, [rate](double y) { return std::pow(1.0 + rate, y); });
        if (!std::isfinite(rate)) return Combine(x, Value::BlankScalar(), [](double p, double) { return p; });
        return Combine(x, factor, [](double p, double q) { return p * q; });
    }
    RequireType(x, ctx, 1, {kColumn, kTriangle}, "a column or triangle (or give the years as a third argument)");
    Value factor = Value::MakeColumn(x.rows);
    for (int r = 0; r < x.rows; ++r) {
        if (!std::isfinite(rate)) continue;  // a blank rate leaves blanks
        const double years = (x.rows - 1 - r) * ctx.info.expLength / 12.0;
        factor.Set(r, 0, std::pow(1.0 + rate, years));
    }
    return Combine(x, factor, [](double p, double q) { return p * q; });
}

// Weighted average of each line: a column or row gives a scalar, a triangle
// one value per development column. decay < 1 weights each older available
// value down by that ratio (the newest has weight 1 times its own weight).
Value WeightedAverage(const Value& x, const Value* w, double decay, const CallContext& ctx) {
    Value weights = Value::Make(x.type, x.rows, x.cols);
    if (w) {
        weights = Broadcast(x, *w, [&](Value& out, std::size_t o, std::size_t, std::size_t iw) {
            CopyCell(out, o, *w, iw);
        });
        if (weights.type != x.type || weights.rows != x.rows || weights.cols != x.cols)
            Fail(kShapeMismatch, ctx.name + ": the weights do not fit the values");
    } else {
        std::fill(weights.v.begin(), weights.v.end(), 1.0);
        std::fill(weights.f.begin(), weights.f.end(), kHasValue);
    }
    std::vector<std::vector<std::size_t>> lines;
    Value out;
    if (x.type == kTriangle) {
        out = Value::MakeRow(x.cols, x.interval);
        for (int c = 0; c < x.cols; ++c) {
            lines.emplace_back();
            for (int r = 0; r < x.rows; ++r) lines.back().push_back(x.Index(r, c));
        }
    } else {
        out = Value::BlankScalar();
        lines.push_back(AllCells(x));
    }
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const int oc = static_cast<int>(l);
        double sw = 0, swx = 0, d = 1;
        bool any = false, lost = false;
        for (auto it = lines[l].rbegin(); it != lines[l].rend(); ++it) {
            const std::size_t i = *it;
            if ((x.f[i] | weights.f[i]) & kNotAvail) {
                lost = true;
                break;
            }
            if (!(x.f[i] & weights.f[i] & kHasValue)) continue;
            sw += weights.v[i] * d;
            swx += weights.v[i] * d * x.v[i];
            d *= decay;
            any = true;
        }
        if (lost || (any && sw == 0))
            out.SetNotAvail(0, oc);
        else if (any)
            out.Set(0, oc, swx / sw);
    }
    return out;
}

Value FnWeightedAvg(const std::vector<Value>& a, const CallContext& ctx) {
    return WeightedAverage(a[0], a.size() > 1 ? &a[1] : nullptr, 1.0, ctx);
}

Value FnWeightedAvgWithDecay(const std::vector<Value>& a, const CallContext& ctx) {
    const double decay = ScalarArg(a[1], ctx, 2);
    if (!(decay > 0 && decay <= 1)) Fail(kBadArguments, ctx.name + ": the decay must lie above 0 and at most 1");
    return WeightedAverage(a[0], a.size() > 2 ? &a[2] : nullptr, decay, ctx);
}

// ---- fitted curves --------------------------------------------------------------

struct CurveForm {
    // y -> linear scale (NaN where the point cannot enter), x -> linear
    // scale, and back from the fitted line.
    double (*ty)(double);
    double (*tx)(double);
    double (*back)(double);
};

const CurveForm kLinearForm{[](double y) { return y; }, [](double x) { return x; }, [](double z) { return z; }};
const CurveForm kExponentialForm{[](double y) { return y > 0 ? std::log(y) : kNaN; }, [](double x) { return x; },
                                 [](double z) { return std::exp(z); }};
const CurveForm kInversePowerForm{[](double y) { return y > 1 ? std::log(y - 1) : kNaN; },
                                  [](double x) { return x > 0 ? std::log(x) : kNaN; },
                                  [](double z) { return 1 + std::exp(z); }};
const CurveForm kWeibullForm{[](double y) { return y > 1 ? std::log(-std::log(1 - 1 / y)) : kNaN; },
                             [](double x) { return x > 0 ? std::log(x) : kNaN; },
                             [](double z) {
                                 const double q = 1 - std::exp(-std::exp(z));
                                 return q > 0 ? 1 / q : kNaN;
                             }};

Value Fit(const Value& in, const CurveForm& form, const CallContext& ctx) {
    RequireType(in, ctx, 1, {kRow, kColumn, kTriangle}, "a row, column or triangle");
    Value out = in;
    out.rowLen.clear();
    // Lines with their x: a column down its rows (1, 2, ...), a row along the
    // development ages, a triangle down each column.
    struct Line {
        std::vector<std::size_t> idx;
        std::vector<double> x;
    };
    std::vector<Line> lines;
    if (in.type == kColumn) {
        lines.emplace_back();
        for (int r = 0; r < in.rows; ++r) {
            lines.back().idx.push_back(in.Index(r, 0));
            lines.back().x.push_back(r + 1);
        }
    } else if (in.type == kRow) {
        const bool ages = static_cast<int>(ctx.info.ages.size()) == in.cols;
        const double step = in.interval ? in.interval : 12;
        lines.emplace_back();
        for (int c = 0; c < in.cols; ++c) {
            lines.back().idx.push_back(in.Index(0, c));
            lines.back().x.push_back(ages ? ctx.info.ages[c] : (c + 1) * step);
        }
    } else {
        for (int c = 0; c < in.cols; ++c) {
            lines.emplace_back();
            for (int r = 0; r < in.rows; ++r) {
                lines.back().idx.push_back(in.Index(r, c));
                lines.back().x.push_back(r + 1);
            }
        }
    }
    for (const Line& line : lines) {
        std::vector<double> xs, ys;
        for (std::size_t k = 0; k < line.idx.size(); ++k) {
            const std::size_t i = line.idx[k];
            if (!(in.f[i] & kHasValue)) continue;
            const double tx = form.tx(line.x[k]), ty = form.ty(in.v[i]);
            if (std::isfinite(tx) && std::isfinite(ty)) {
                xs.push_back(tx);
                ys.push_back(ty);
            }
        }
        const qs::calc::LineFit fit = qs::calc::FitLine(xs.data(), ys.data(), nullptr, static_cast<int>(xs.size()));
        for (std::size_t k = 0; k < line.idx.size(); ++k) {
            const std::size_t i = line.idx[k];
            const double tx = form.tx(line.x[k]);
            const double y = fit.ok && std::isfinite(tx) ? form.back(fit.intercept + fit.slope * tx) : kNaN;
            out.v[i] = std::isfinite(y) ? y : 0.0;
            out.f[i] = std::isfinite(y) ? kHasValue : kNotAvail;
        }
    }
    return out;
}

Value FnFitLinear(const std::vector<Value>& a, const CallContext& ctx) { return Fit(a[0], kLinearForm, ctx); }
Value FnFitExponential(const std::vector<Value>& a, const CallContext& ctx) { return Fit(a[0], kExponentialForm, ctx); }
Value FnFitWeibull(const std::vector<Value>& a, const CallContext& ctx) { return Fit(a[0], kWeibullForm, ctx); }
Value FnFitInversePower(const std::vector<Value>& a, const CallContext& ctx) {
    return Fit(a[0], kInversePowerForm, ctx);
}

// ---- interpolation ------------------------------------------------------------------

Value Interpolate(const std::vector<Value>& a, const CallContext& ctx, ENUM_CURVE_TYPE curve) {
    const Value& cdf = a[0];
    const Value& ages = a[1];
    RequireType(cdf, ctx, 1, {kRow}, "a row of age-to-ultimate factors");
    const auto& sysAges = ctx.info.ages;
    if (static_cast<int>(sysAges.size()) != cdf.cols)
        Fail(kShapeMismatch, ctx.name + ": the factors do not have one value per development age");
    RequireType(ages, ctx, 2, {kScalar, kRow, kColumn}, "ages in months (a number, row or column)");
    std::vector<double> wanted;
    for (std::size_t i = 0; i < ages.v.size(); ++i)
        if (ages.f[i] & kHasValue) wanted.push_back(ages.v[i]);
    Value out = ages;
    CInterpolation interp;
    std::vector<double> result;
    std::vector<unsigned char> flags;
    const bool ok = interp.SetInputParams(sysAges, cdf.v, cdf.f, wanted) &&
                    interp.Interpolate(curve, PERIOD_ACCIDENT, ctx.info.expLength, result, flags, 0);
    std::size_t k = 0;
    for (std::size_t i = 0; i < ages.v.size(); ++i) {
        if (!(ages.f[i] & kHasValue)) continue;
        if (ok && (flags[k] & kHasValue) && std::isfinite(result[k])) {
            out.v[i] = result[k];
        } else {
            out.v[i] = 0;
            out.f[i] = kNotAvail;
        }
        ++k;
    }
    return out;
}

Value FnInterpolateLinear(const std::vector<Value>& a, const CallContext& ctx) {
    return Interpolate(a, ctx, CURVE_LINEAR);
}
Value FnInterpolateExponential(const std::vector<Value>& a, const CallContext& ctx) {
    return Interpolate(a, ctx, CURVE_EXPONENTIAL);
}
Value FnInterpolateWeibull(const std::vector<Value>& a, const CallContext& ctx) {
    return Interpolate(a, ctx, CURVE_WEIBULL);
}
Value FnInterpolateInversePower(const std::vector<Value>& a, const CallContext& ctx) {
    return Interpolate(a, ctx, CURVE_INVERSE_POWER);
}

// ---- payments and present values ---------------------------------------------------

// Shares of the amount unpaid at the latest age that fall in each later
// development period t = 1 .. C (C = the pattern's length), from a pattern of
// cumulative ratios paid to ultimate. What the pattern leaves unpaid after its
// last age falls in the period after it. False when a ratio is missing.
bool PayoutShares(const Value& pattern, int latest, std::vector<double>& shares) {
    const int n = pattern.cols;
    shares.assign(static_cast<std::size_t>(n), 0.0);
    latest = std::min(latest, n - 1);
    auto paid = [&](int k, double& p) {
        if (k < 0) {
            p = 0;
            return true;
        }
        if (!(pattern.f[pattern.Index(0, k)] & kHasValue)) return false;
        p = pattern.v[pattern.Index(0, k)];
        return true;
    };
    double now;
    if (!paid(latest, now)) return false;
    const double unpaid = 1.0 - now;
    if (n == 0) return false;
    if (unpaid <= 1e-12) {
        shares[0] = 1.0;  // nothing left by the pattern: whatever is reserved is paid next
        return true;
    }
    double prev = now;
    for (int t = 1; t <= n; ++t) {
        const int k = latest + t;
        double cur;
        if (k < n) {
            if (!paid(k, cur)) return false;
        } else if (k == n) {
            cur = 1.0;
        } else {
            break;
        }
        shares[t - 1] = (cur - prev) / unpaid;
        prev = cur;
    }
    return true;
}

Value FnPayout(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& reserve = a[0];
    const Value& pattern = a[1];
    RequireType(reserve, ctx, 1, {kColumn}, "a column of amounts by exposure period");
    RequireType(pattern, ctx, 2, {kRow}, "a row of cumulative ratios paid");
    RequireRowsMatchProject(reserve, ctx);
    Value out = Value::Make(kTriangle, reserve.rows, pattern.cols, ctx.info.devLength);
    std::vector<double> shares;
    for (int r = 0; r < reserve.rows; ++r) {
        const std::uint8_t fr = reserve.f[reserve.Index(r, 0)];
        if (fr & kNotAvail) {
            for (int c = 0; c < out.cols; ++c) out.SetNotAvail(r, c);
            continue;
        }
        if (!(fr & kHasValue)) continue;
        if (!PayoutShares(pattern, LatestCol(ctx.info, r), shares)) {
            for (int c = 0; c < out.cols; ++c) out.SetNotAvail(r, c);
            continue;
        }
        for (int c = 0; c < out.cols; ++c) out.Set(r, c, reserve.v[reserve.Index(r, 0)] * shares[c]);
    }
    return out;
}

Value FnPVFactors(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& pattern = a[0];
    RequireType(pattern, ctx, 1, {kRow}, "a row of cumulative ratios paid");
    const double rate = ScalarArg(a[1], ctx, 2);
    const int rows = static_cast<int>(ctx.info.rowLen.size());
    Value out = Value::MakeColumn(rows);
    if (!std::isfinite(rate)) return out;  // a blank rate leaves blanks
    std::vector<double> shares;
    const double years = ctx.info.devLength / 12.0;
    for (int r = 0; r < rows; ++r) {
        if (rate <= -1 || !PayoutShares(pattern, LatestCol(ctx.info, r), shares)) {
            out.SetNotAvail(r, 0);
            continue;
        }
        // Payments in the middle of each future development period.
        double pv = 0;
        for (std::size_t t = 0; t < shares.size(); ++t)
            if (shares[t] != 0) pv += shares[t] * std::pow(1 + rate, -(t + 0.5) * years);
        out.Set(r, 0, pv);
    }
    return out;
}

// ---- tail ---------------------------------------------------------------------------

Value FnSpreadTail(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& sdf = a[0];
    RequireType(sdf, ctx, 1, {kRow}, "a row of factors");
    const int n = IntArg(a[1], ctx, 2);
    const int c = sdf.cols;
    if (n < 1 || n > c - 1)
        Fail(kBadArguments, ctx.name + ": the tail can be spread over 1 to " + std::to_string(c - 1) + " ages");
    Value out = sdf;
    const std::size_t ti = sdf.Index(0, c - 1);
    if (!(sdf.f[ti] & kHasValue)) return out;
    const double tail = sdf.v[ti];
    for (int k = c - 1 - n; k < c - 1; ++k) {
        if (!(sdf.f[sdf.Index(0, k)] & kHasValue)) continue;
        if (tail <= 0)
            out.SetNotAvail(0, k);
        else
            out.Set(0, k, sdf.At(0, k) * std::pow(tail, 1.0 / n));
    }
    if (tail <= 0)
        out.SetNotAvail(0, c - 1);
    else
        out.Set(0, c - 1, 1.0);
    return out;
}

// ---- average case reserve adjustment -------------------------------------------------

// Restates the case reserves of every earlier period at the average case
// reserve of the latest evaluation in its development column, brought back by
// the annual severity trend, times the period's own open claims. Returns the
// adjusted incurred triangle (paid + adjusted case reserves).
Value AdjustedIncurred(const std::vector<Value>& a, const CallContext& ctx) {
    const Value& paid = a[0];
    const Value& inc = a[1];
    const Value& open = a[2];
    for (int k = 0; k < 3; ++k) RequireType(a[k], ctx, k + 1, {kTriangle}, "a triangle");
    if (inc.rows != paid.rows || inc.cols != paid.cols || open.rows != paid.rows || open.cols != paid.cols)
        Fail(kShapeMismatch, ctx.name + ": the three triangles differ in size");
    // The trend: one annual rate, or a triangle of rates by cell (the
    // data-adjustment table): a cell is restated only where the triangle
    // holds a rate, by its own rate, and the newest such cell of a column
    // gives the average.
    const bool byCell = a[3].type == kTriangle;
    if (byCell && (a[3].rows != paid.rows || a[3].cols != paid.cols))
        Fail(kShapeMismatch, ctx.name + ": the trend triangle differs in size");
    const double trend = byCell ? 0.0 : ScalarArg(a[3], ctx, 4);
    auto rateAt = [&](int r, int c, double& rate) {
        if (!byCell) return rate = trend, true;
        const std::uint8_t f = a[3].f[a[3].Index(r, c)];
        if (!(f & kHasValue) || (f & kNotAvail)) return false;
        rate = a[3].At(r, c);
        return std::isfinite(rate);
    };
    Value out = Value::Make(kTriangle, paid.rows, paid.cols, paid.interval ? paid.interval : inc.interval);
    out.rowLen = inc.rowLen.empty() ? paid.rowLen : inc.rowLen;
    const double yearsPerRow = ctx.info.expLength / 12.0;
    for (int c = 0; c < paid.cols; ++c) {
        auto has = [&](int r) {
            return (paid.f[paid.Index(r, c)] & inc.f[inc.Index(r, c)] & open.f[open.Index(r, c)] & kHasValue) != 0;
        };
        auto lost = [&](int r) {
            return ((paid.f[paid.Index(r, c)] | inc.f[inc.Index(r, c)] | open.f[open.Index(r, c)]) & kNotAvail) != 0;
        };
        double rate = 0;
        int anchor = -1;
        for (int r = paid.rows - 1; r >= 0 && anchor < 0; --r)
            if (has(r) && rateAt(r, c, rate)) anchor = r;
        for (int r = 0; r < paid.rows; ++r) {
            if (lost(r)) {
                out.SetNotAvail(r, c);
                continue;
            }
            if (!has(r)) continue;
            const double anchorOpen = anchor >= 0 ? open.At(anchor, c) : 0.0;
            if (anchorOpen == 0 || !rateAt(r, c, rate) || !std::isfinite(rate) || rate <= -1.0) {
                // No open claims at the base evaluation (no average to restate
                // by), or a cell outside the adjustment: left as reported.
                out.Set(r, c, inc.At(r, c));
                continue;
            }
            const double avg = (inc.At(anchor, c) - paid.At(anchor, c)) / anchorOpen;
            const double adjAvg = avg / std::pow(1 + rate, (anchor - r) * yearsPerRow);
            out.Set(r, c, paid.At(r, c) + adjAvg * open.At(r, c));
        }
    }
    return out;
}

// Age-to-age factors laid out as the exhibits lay them: the source's shape,
// factor (i, k) = C(i, k+1) / C(i, k), each row's last cell without a factor.
Value AgeToAge(const Value& t) {
    Value out = Value::Make(kTriangle, t.rows, t.cols, t.interval);
    out.rowLen = t.rowLen;
    for (int r = 0; r < out.rows; ++r)
        for (int c = 0; c + 1 < t.RowLength(r); ++c) {
            const std::size_t i = t.Index(r, c), j = t.Index(r, c + 1);
            if ((t.f[i] | t.f[j]) & kNotAvail)
                out.SetNotAvail(r, c);
            else if (t.f[i] & t.f[j] & kHasValue)
                out.Set(r, c, t.v[i] == 0 ? kNaN : t.v[j] / t.v[i]);
        }
    return out;
}

Value FnAdjAvgCase(const std::vector<Value>& a, const CallContext& ctx) { return AdjustedIncurred(a, ctx); }
Value FnAdjAvgCaseFactors(const std::vector<Value>& a, const CallContext& ctx) {
    return AgeToAge(AdjustedIncurred(a, ctx));
}

constexpr int kMany = 64;

}  // namespace

const std::vector<FunctionDef>& Functions() {
    static const std::vector<FunctionDef> fns = {
        {"Abs", 1, 1, false, FnAbs},
        {"AdjAvgCaseALAE", 4, 4, false, FnAdjAvgCase},
        {"AdjAvgCaseLoss", 4, 4, false, FnAdjAvgCase},
        {"AdjAvgCaseALAEFactors", 4, 4, false, FnAdjAvgCaseFactors},
        {"AdjAvgCaseLossFactors", 4, 4, false, FnAdjAvgCaseFactors},
        {"ConvertRowToCol", 1, 1, false, FnConvertRowToCol},
        {"ConvertSDFToCol", 1, 1, false, FnConvertSDFToCol},
        {"Cumulate", 1, 1, false, FnCumulate},
        {"CumulateSDF", 1, 1, false, FnCumulateSDF},
        {"Decumulate", 1, 1, false, FnDecumulate},
        {"DecumulateCDF", 1, 1, false, FnDecumulateCDF},
        {"Develop", 2, 2, false, FnDevelop},
        {"Diagonal", 1, 1, true, FnDiagonal},
        {"DiagonalAsRow", 1, 1, true, FnDiagonalAsRow},
        {"FitLinear", 1, 1, false, FnFitLinear},
        {"FitExponential", 1, 1, false, FnFitExponential},
        {"FitWeibull", 1, 1, false, FnFitWeibull},
        {"FitInversePower", 1, 1, false, FnFitInversePower},
        {"GetSystemDevelopmentAges", 0, 0, false, FnGetSystemDevelopmentAges},
        {"IfInterpolate", 2, 2, false, FnIfInterpolate},
        {"InterpolateLinear", 2, 2, false, FnInterpolateLinear},
        {"InterpolateExponential", 2, 2, false, FnInterpolateExponential},
        {"InterpolateWeibull", 2, 2, false, FnInterpolateWeibull},
        {"InterpolateInversePower", 2, 2, false, FnInterpolateInversePower},
        {"Invert", 1, 1, false, FnInvert},
        {"MatrixTotal", 1, 1, false, FnMatrixTotal},
        {"Max", 1, kMany, false, FnMax},
        {"Min", 1, kMany, false, FnMin},
        {"Payout", 2, 2, false, FnPayout},
        {"PVFactors", 2, 2, false, FnPVFactors},
        {"Round", 1, 2, false, FnRound},
        {"Shift", 2, 2, false, FnShift},
        {"SpreadTail", 2, 2, false, FnSpreadTail},
        {"Sqrt", 1, 1, false, FnSqrt},
        {"Sum", 1, kMany, false, FnSum},
        {"Trend", 2, 3, false, FnTrend},
        {"Undevelop", 2, 2, false, FnUndevelop},
        {"WeightedAvg", 1, 2, false, FnWeightedAvg},
        {"WeightedAvgWithDecay", 2, 3, false, FnWeightedAvgWithDecay},
        {"ZeroOutBlanks", 1, 1, false, FnZeroOutBlanks},
    };
    return fns;
}

const FunctionDef* FindFunction(const std::string& token, int* suffix) {
    auto equalNoCase = [](const std::string& a, const char* b, std::size_t n) {
        if (a.size() < n) return false;
        for (std::size_t i = 0; i < n; ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    };
    *suffix = 0;
    const FunctionDef* best = nullptr;
    for (const auto& f : Functions()) {
        const std::size_t n = std::char_traits<char>::length(f.name);
        if (!equalNoCase(token, f.name, n)) continue;
        if (token.size() == n) {
            *suffix = 0;
            return &f;
        }
        // Diagonal2, DiagonalAsRow3: the evaluation number written after the name.
        if (!f.takesSuffix) continue;
        const std::string rest = token.substr(n);
        if (rest.size() > 2 || !std::all_of(rest.begin(), rest.end(), [](char ch) {
                return std::isdigit(static_cast<unsigned char>(ch));
            }))
            continue;
        const int k = std::stoi(rest);
        if (k < 1) continue;
        *suffix = k;
        best = &f;
    }
    return best;
}

}  // namespace qsformula::detail
