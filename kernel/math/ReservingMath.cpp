#include "ReservingMath.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numeric>
#include <set>

namespace qs::calc {

void Triangle::Resize(int r, int c) {
    rows = r < 0 ? 0 : r;
    cols = c < 0 ? 0 : c;
    values.assign(static_cast<size_t>(rows) * cols, 0.0);
    flags.assign(static_cast<size_t>(rows) * cols, kCellBlank);
}

// ---- CSV ------------------------------------------------------------------------

namespace {

std::vector<std::string> RmSplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> RmSplitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t end = line.find(',', start);
        std::string f = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
        while (!f.empty() && std::isspace(static_cast<unsigned char>(f.front()))) f.erase(f.begin());
        while (!f.empty() && std::isspace(static_cast<unsigned char>(f.back()))) f.pop_back();
        fields.push_back(std::move(f));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return fields;
}

std::string RmLower(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

bool RmParseNumber(const std::string& s, double& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    v = std::strtod(s.c_str(), &end);
    return end && *end == '\0' && std::isfinite(v);
}

// "YYYY" -> months index of the year's last month; "YYYY-MM" -> that month.
bool RmParsePeriodMonths(const std::string& s, long& months) {
    char* end = nullptr;
    long year = std::strtol(s.c_str(), &end, 10);
    if (end == s.c_str()) return false;
    if (*end == '\0') {
        months = year * 12 + 11;
        return true;
    }
    if (*end != '-') return false;
    const char* m = end + 1;
    long month = std::strtol(m, &end, 10);
    if (end == m || month < 1 || month > 12) return false;
    // Anything after the month (a day) does not change the month.
    months = year * 12 + (month - 1);
    return true;
}

void RmFail(std::string* error, const std::string& msg) {
    if (error) *error = msg;
}

}  // namespace

bool ParseLongCsv(const std::string& text, const std::string& valueColumn, Triangle& out,
                  std::string* error) {
    const std::vector<std::string> lines = RmSplitLines(text);
    if (lines.empty()) {
        RmFail(error, "empty file");
        return false;
    }
    const std::vector<std::string> header = RmSplitFields(lines[0]);
    int originCol = -1, devCol = -1, valCol = -1;
    for (int i = 0; i < static_cast<int>(header.size()); ++i) {
        const std::string h = RmLower(header[i]);
        if (h == "origin" || h == "accidentyear") originCol = i;
        else if (h == "development" || h == "developmentyear") devCol = i;
        if (h == RmLower(valueColumn)) valCol = i;
    }
    if (originCol < 0 || devCol < 0 || valCol < 0) {
        RmFail(error, "missing origin, development or value column");
        return false;
    }
    struct Cell {
        long origin;
        long lag;
        double value;
    };
    std::vector<Cell> cells;
    std::set<long> origins;
    for (size_t li = 1; li < lines.size(); ++li) {
        const std::vector<std::string> f = RmSplitFields(lines[li]);
        if (f.size() != header.size()) {
            RmFail(error, "line " + std::to_string(li + 1) + ": wrong field count");
            return false;
        }
        long originMonths = 0, devMonths = 0;
        double v = 0.0;
        if (!RmParsePeriodMonths(f[originCol], originMonths) ||
            !RmParsePeriodMonths(f[devCol], devMonths)) {
            RmFail(error, "line " + std::to_string(li + 1) + ": bad period");
            return false;
        }
        if (f[valCol].empty() || f[valCol] == "NA") continue;
        if (!RmParseNumber(f[valCol], v)) {
            RmFail(error, "line " + std::to_string(li + 1) + ": bad number");
            return false;
        }
        // An origin is a whole year: its periods start in January.
        const long origin = originMonths / 12;
        cells.push_back({origin, devMonths - origin * 12, v});
        origins.insert(origin);
    }
    if (cells.empty()) {
        RmFail(error, "no values");
        return false;
    }
    long minLag = cells[0].lag;
    for (const Cell& c : cells) minLag = std::min(minLag, c.lag);
    long step = 0;
    for (const Cell& c : cells) step = std::gcd(step, c.lag - minLag);
    if (step == 0) step = 12;
    long maxCol = 0;
    for (const Cell& c : cells) maxCol = std::max(maxCol, (c.lag - minLag) / step);
    std::map<long, int> rowOf;
    for (long o : origins) rowOf.emplace(o, static_cast<int>(rowOf.size()));
    out = Triangle{};
    out.Resize(static_cast<int>(origins.size()), static_cast<int>(maxCol + 1));
    out.firstOrigin = static_cast<int>(*origins.begin());
    out.devStepMonths = static_cast<int>(step);
    for (const Cell& c : cells) out.Set(rowOf[c.origin], static_cast<int>((c.lag - minLag) / step), c.value);
    return true;
}

bool ParseGridCsv(const std::string& text, Triangle& out, std::string* error) {
    const std::vector<std::string> lines = RmSplitLines(text);
    if (lines.empty()) {
        RmFail(error, "empty file");
        return false;
    }
    const int cols = static_cast<int>(RmSplitFields(lines[0]).size());
    out = Triangle{};
    out.Resize(static_cast<int>(lines.size()), cols);
    for (int r = 0; r < out.rows; ++r) {
        const std::vector<std::string> f = RmSplitFields(lines[r]);
        if (static_cast<int>(f.size()) != cols) {
            RmFail(error, "line " + std::to_string(r + 1) + ": wrong field count");
            return false;
        }
        for (int c = 0; c < cols; ++c) {
            if (f[c].empty() || f[c] == "NA") continue;
            double v = 0.0;
            if (!RmParseNumber(f[c], v)) {
                RmFail(error, "line " + std::to_string(r + 1) + ": bad number");
                return false;
            }
            out.Set(r, c, v);
        }
    }
    return true;
}

// ---- Factors ------------------------------------------------------------------------

namespace {

// Index of the last cell with a value in a row of flags, -1 for none. Rows of
// a triangle end in a run of blanks, skipped eight flag bytes at a time.
int RmLastValueCol(const unsigned char* f, int cols) {
    int c = cols;
    while (c >= 8) {
        uint64_t w;
        std::memcpy(&w, f + c - 8, 8);
        if (w & 0x0101010101010101ULL) break;
        c -= 8;
    }
    while (c > 0 && !(f[c - 1] & kCellHasValue)) --c;
    return c - 1;
}

}  // namespace

void AgeToAgeFactors(const TriangleRef& cum, double* factors, unsigned char* factorFlags) {
    const int fc = cum.cols - 1;
    if (fc <= 0) return;
    for (int r = 0; r < cum.rows; ++r) {
        const double* v = cum.values + static_cast<size_t>(r) * cum.stride;
        const unsigned char* f = cum.flags + static_cast<size_t>(r) * cum.stride;
        double* out = factors + static_cast<size_t>(r) * fc;
        unsigned char* of = factorFlags + static_cast<size_t>(r) * fc;
        for (int k = 0; k < fc; ++k) {
            if ((f[k] & kCellHasValue) && (f[k + 1] & kCellHasValue) && v[k] != 0.0) {
                out[k] = v[k + 1] / v[k];
                of[k] = kCellHasValue;
            } else {
                out[k] = 0.0;
                of[k] = kCellBlank;
            }
        }
    }
}

Triangle AgeToAgeFactors(const Triangle& cum) {
    Triangle t;
    t.firstOrigin = cum.firstOrigin;
    t.devStepMonths = cum.devStepMonths;
    t.Resize(cum.rows, cum.cols > 0 ? cum.cols - 1 : 0);
    if (t.cols > 0) AgeToAgeFactors(cum.Ref(), t.values.data(), t.flags.data());
    return t;
}

void VolumeWeightedFactors(const TriangleRef& cum, double* ldf, unsigned char* ok,
                           const unsigned char* exclude) {
    const int fc = cum.cols - 1;
    if (fc <= 0) return;
    // Row-wise accumulation walks memory in order; the sums are per column.
    // The loop body has no branch, so the compiler can vectorise it.
    std::vector<double> num(fc, 0.0), den(fc, 0.0);
    std::vector<int> cnt(fc, 0);
    for (int r = 0; r < cum.rows; ++r) {
        const double* v = cum.values + static_cast<size_t>(r) * cum.stride;
        const unsigned char* f = cum.flags + static_cast<size_t>(r) * cum.stride;
        const int end = RmLastValueCol(f, cum.cols);  // factors need k + 1 <= end
        const unsigned char* ex = exclude ? exclude + static_cast<size_t>(r) * fc : nullptr;
        for (int k = 0; k < end; ++k) {
            const double a = v[k], b = v[k + 1];
            const bool use = ((f[k] & f[k + 1] & kCellHasValue) != 0) & (a != 0.0) & !(ex && ex[k]);
            num[k] += use ? b : 0.0;
            den[k] += use ? a : 0.0;
            cnt[k] += use;
        }
    }
    for (int k = 0; k < fc; ++k) {
        const bool good = cnt[k] > 0 && den[k] != 0.0 && std::isfinite(num[k] / den[k]);
        ldf[k] = good ? num[k] / den[k] : 1.0;
        ok[k] = good ? 1 : 0;
    }
}

void SimpleAverageFactors(const TriangleRef& cum, double* ldf, unsigned char* ok,
                          const unsigned char* exclude) {
    const int fc = cum.cols - 1;
    if (fc <= 0) return;
    std::vector<double> sum(fc, 0.0);
    std::vector<int> cnt(fc, 0);
    for (int r = 0; r < cum.rows; ++r) {
        const double* v = cum.values + static_cast<size_t>(r) * cum.stride;
        const unsigned char* f = cum.flags + static_cast<size_t>(r) * cum.stride;
        const unsigned char* ex = exclude ? exclude + static_cast<size_t>(r) * fc : nullptr;
        for (int k = 0; k < fc; ++k) {
            if ((f[k] & f[k + 1] & kCellHasValue) && v[k] != 0.0 && !(ex && ex[k])) {
                sum[k] += v[k + 1] / v[k];
                ++cnt[k];
            }
        }
    }
    for (int k = 0; k < fc; ++k) {
        const bool good = cnt[k] > 0 && std::isfinite(sum[k]);
        ldf[k] = good ? sum[k] / cnt[k] : 1.0;
        ok[k] = good ? 1 : 0;
    }
}

// ---- Least squares -------------------------------------------------------------------

LineFit FitLine(const double* x, const double* y, const double* w, int n) {
    LineFit fit;
    // Two passes about the weighted means: stable when x are large (years).
    double sw = 0.0, sx = 0.0, sy = 0.0;
    int used = 0;
    for (int i = 0; i < n; ++i) {
        const double wi = w ? w[i] : 1.0;
        if (!(wi > 0.0) || !std::isfinite(wi) || !std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
        sw += wi;
        sx += wi * x[i];
        sy += wi * y[i];
        ++used;
    }
    fit.n = used;
    if (used < 2) return fit;
    const double mx = sx / sw, my = sy / sw;
    double sxx = 0.0, sxy = 0.0, syy = 0.0;
    for (int i = 0; i < n; ++i) {
        const double wi = w ? w[i] : 1.0;
        if (!(wi > 0.0) || !std::isfinite(wi) || !std::isfinite(x[i]) || !std::isfinite(y[i])) continue;
        const double dx = x[i] - mx, dy = y[i] - my;
        sxx += wi * dx * dx;
        sxy += wi * dx * dy;
        syy += wi * dy * dy;
    }
    if (!(sxx > 0.0) || !std::isfinite(sxx) || !std::isfinite(sxy)) return fit;
    fit.slope = sxy / sxx;
    fit.intercept = my - fit.slope * mx;
    if (syy > 0.0) {
        const double r2 = (sxy * sxy) / (sxx * syy);
        fit.rSquared = std::clamp(r2, 0.0, 1.0);
    } else {
        fit.rSquared = 1.0;
    }
    fit.ok = std::isfinite(fit.slope) && std::isfinite(fit.intercept);
    if (!fit.ok) fit = LineFit{};
    return fit;
}

// ---- Column statistics --------------------------------------------------------------

ColumnStat ComputeColumnStat(const StatOptions& opt, int n, const double* factor,
                             const unsigned char* usable, const double* volume,
                             const double* userWeight, int projectRow) {
    ColumnStat st;
    // Rows taking part, oldest first.
    std::vector<int> rows;
    rows.reserve(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i) {
        if (!usable[i] || !std::isfinite(factor[i])) continue;
        if (factor[i] == 0.0 && !opt.includeZeros) continue;
        if (opt.weights == StatWeights::Volume && (!volume || !std::isfinite(volume[i]) || volume[i] == 0.0))
            continue;
        rows.push_back(i);
    }
    const int dropFirst = std::max(0, opt.excludeFirst);
    const int dropLast = std::max(0, opt.excludeLast);
    if (dropFirst + dropLast >= static_cast<int>(rows.size())) return st;
    rows.erase(rows.end() - dropLast, rows.end());
    rows.erase(rows.begin(), rows.begin() + dropFirst);
    if (opt.useLast > 0 && static_cast<int>(rows.size()) > opt.useLast)
        rows.erase(rows.begin(), rows.end() - opt.useLast);
    // "Excluding high/low" needs three factors, whatever the statistic: with
    // fewer it has no value (rather than quietly becoming the statistic
    // without the exclusion). A curve also needs two points left to fit.
    if (opt.excludeHighLow && rows.size() < 3) return st;
    if (opt.excludeHighLow) {
        // One highest and one lowest; among equal values the oldest goes.
        size_t hi = 0, lo = 0;
        for (size_t j = 1; j < rows.size(); ++j) {
            if (factor[rows[j]] > factor[rows[hi]]) hi = j;
            if (factor[rows[j]] < factor[rows[lo]]) lo = j;
        }
        if (hi == lo) lo = (hi == 0) ? 1 : 0;
        rows.erase(rows.begin() + std::max(hi, lo));
        rows.erase(rows.begin() + std::min(hi, lo));
    }
    const int m = static_cast<int>(rows.size());
    if (m == 0) return st;

    std::vector<double> w(m, 1.0);
    for (int j = 0; j < m; ++j) {
        switch (opt.weights) {
            case StatWeights::None: break;
            case StatWeights::Volume: w[j] = volume[rows[j]]; break;
            case StatWeights::Time: w[j] = j + 1.0; break;
            case StatWeights::User: {
                // A weight of 0 or below leaves the factor out.
                const double uw = userWeight ? userWeight[rows[j]] : 1.0;
                w[j] = std::isfinite(uw) ? std::max(uw, 0.0) : 1.0;
                break;
            }
        }
    }

    if (opt.type == StatType::Average) {
        double sw = 0.0, swf = 0.0;
        for (int j = 0; j < m; ++j) {
            sw += w[j];
            swf += w[j] * factor[rows[j]];
        }
        if (sw == 0.0 || !std::isfinite(swf / sw)) return st;
        st.valid = true;
        st.used = m;
        st.value = swf / sw;
        return st;
    }

    const bool expCurve = opt.type == StatType::ExponentialCurve;
    std::vector<double> xs, ys, ws;
    for (int j = 0; j < m; ++j) {
        const double f = factor[rows[j]];
        if (expCurve && !(f > 0.0)) continue;  // ln y needs y > 0
        // Negative weights (volume of a negative amount) cannot weight a fit.
        if (!(w[j] > 0.0)) continue;
        xs.push_back(rows[j] + 1.0);
        ys.push_back(expCurve ? std::log(f) : f);
        ws.push_back(w[j]);
    }
    const LineFit fit = FitLine(xs.data(), ys.data(), opt.weights == StatWeights::None ? nullptr : ws.data(),
                                static_cast<int>(xs.size()));
    if (!fit.ok) return st;
    const double xp = projectRow + 1.0;
    if (expCurve) {
        st.slope = fit.slope;
        st.intercept = std::exp(fit.intercept);
        st.slopePercent = (std::exp(fit.slope) - 1.0) * 100.0;
        st.projected = std::exp(fit.intercept + fit.slope * xp);
    } else {
        st.slope = fit.slope;
        st.intercept = fit.intercept;
        st.projected = fit.intercept + fit.slope * xp;
    }
    st.rSquared = fit.rSquared;
    if (!std::isfinite(st.projected) || !std::isfinite(st.intercept) || !std::isfinite(st.slopePercent))
        return ColumnStat{};
    st.valid = true;
    st.used = fit.n;
    st.value = st.projected;
    return st;
}

// ---- Ultimates --------------------------------------------------------------------------

void AgeToUltimate(const double* ldf, int n, double tail, double* atu) {
    double p = tail;
    atu[n < 0 ? 0 : n] = p;
    for (int k = n - 1; k >= 0; --k) {
        p *= ldf[k];
        atu[k] = p;
    }
}

void RatioToUltimate(const double* atu, int n, double* ratio) {
    for (int k = 0; k <= n; ++k) ratio[k] = atu[k] != 0.0 && std::isfinite(1.0 / atu[k]) ? 1.0 / atu[k] : 0.0;
}

void CumulateSelectedFactors(const double* sdf, const unsigned char* sdfHas, int n, double* cum,
                             unsigned char* has) {
    double product = 1.0;
    bool defined = true;
    for (int k = n - 1; k >= 0; --k) {
        const bool cell = sdfHas[k] != 0 && std::isfinite(sdf[k]);
        if (k == n - 1)
            product = SelectedTailFactor(cell, sdf[k]);
        else if (cell && defined)
            product *= sdf[k];
        else
            defined = false;
        defined = defined && std::isfinite(product);
        cum[k] = defined ? product : 0.0;
        has[k] = defined ? 1 : 0;
    }
}

namespace {

UltimateResult RmEstimate(const TriangleRef& cum, const double* ldf, double tail, const double* apriori) {
    UltimateResult res;
    const int n = cum.cols > 0 ? cum.cols - 1 : 0;
    std::vector<double> atu(n + 1);
    AgeToUltimate(ldf, n, tail, atu.data());
    res.latestCol.assign(cum.rows, -1);
    res.latest.assign(cum.rows, 0.0);
    res.ultimate.assign(cum.rows, 0.0);
    res.ibnr.assign(cum.rows, 0.0);
    for (int r = 0; r < cum.rows; ++r) {
        const int c = RmLastValueCol(cum.flags + static_cast<size_t>(r) * cum.stride, cum.cols);
        res.latestCol[r] = c;
        if (c < 0) continue;
        const double latest = cum.values[static_cast<size_t>(r) * cum.stride + c];
        double ult = 0.0;
        if (apriori) {
            const double a = atu[c];
            const double ibnr = (a != 0.0 && std::isfinite(apriori[r])) ? apriori[r] * (1.0 - 1.0 / a) : 0.0;
            ult = latest + ibnr;
        } else {
            ult = latest * atu[c];
        }
        res.latest[r] = latest;
        res.ultimate[r] = ult;
        res.ibnr[r] = ult - latest;
        res.latestTotal += latest;
        res.ultimateTotal += ult;
        res.ibnrTotal += ult - latest;
    }
    return res;
}

}  // namespace

UltimateResult ChainLadder(const TriangleRef& cum, const double* ldf, double tail) {
    return RmEstimate(cum, ldf, tail, nullptr);
}

UltimateResult BornhuetterFerguson(const TriangleRef& cum, const double* ldf, double tail,
                                   const double* apriori) {
    return RmEstimate(cum, ldf, tail, apriori);
}

}  // namespace qs::calc
