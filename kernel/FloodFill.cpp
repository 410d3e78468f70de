#include "FloodFill.h"

#include <cmath>
#include <vector>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CFactorSet.h"
#include "CStatistics.h"
#include "CTailFactorAnalysis.h"

namespace qsff {
namespace {

struct SdfCells {
    std::vector<double> v;
    std::vector<bool> has;
    std::vector<bool> atMin;
};

QSSTATUS WriteSdf(CExhibit& ex, const SdfCells& cells) {
    CDataObject* sdf = nullptr;
    if (ex.GetSDFObject(sdf) != 0 || !sdf) return qsk::kFail;
    std::uint16_t rows = 0, cols = 0;
    sdf->GetMaxRowsCols(rows, cols);
    if (rows < 1 || cols != cells.v.size()) return qsk::kFail;
    for (int k = 0; k < cols; ++k) {
        if (cells.has[k] && std::isfinite(cells.v[k])) {
            sdf->SetAt(0, k, cells.v[k]);
            if (cells.atMin[k])
                sdf->SetCellHasFFMin(0, k);
            else
                sdf->SetCellHasNoFFMin(0, k);
        } else {
            sdf->SetCellBlank(0, k);
            sdf->SetCellHasNoFFMin(0, k);
        }
    }
    return qsk::kOk;
}

int SdfColumns(CExhibit& ex) {
    CDataObject* sdf = nullptr;
    if (ex.GetSDFObject(sdf) != 0 || !sdf) return 0;
    std::uint16_t rows = 0, cols = 0;
    sdf->GetMaxRowsCols(rows, cols);
    return rows >= 1 ? cols : 0;
}

SdfCells EmptyCells(int cols) {
    return SdfCells{std::vector<double>(cols, 0.0), std::vector<bool>(cols, false), std::vector<bool>(cols, false)};
}

void ReadRow(const CDataObject& row, SdfCells& out) {
    for (std::size_t k = 0; k < out.v.size(); ++k) {
        double v = 0;
        std::uint8_t f = 0;
        if (row.GetAt(0, static_cast<int>(k), v, f) == 0 && (f & CDataObject::CF_VALUE) && std::isfinite(v)) {
            out.v[k] = v;
            out.has[k] = true;
        }
    }
}

// Fits the tail curves through the body factors; returns the curve used (or
// -1) and writes the tail into cells.
QSSTATUS FillTail(const CFFTailOption& tail, const ExhibitContext& ctx, SdfCells& cells) {
    const int cols = static_cast<int>(cells.v.size());
    const int last = cols - 1;
    switch (tail.m_type) {
    case CFFTailOption::NONE:
        cells.has[last] = false;
        return qsk::kOk;
    case CFFTailOption::SPECIFIED:
        if (!std::isfinite(tail.m_specified) || tail.m_specified <= 0) return qsk::kFail;
        cells.v[last] = tail.m_specified;
        cells.has[last] = true;
        cells.atMin[last] = false;
        return qsk::kOk;
    default:
        break;
    }
    if (tail.m_type < CFFTailOption::INVERSE_POWER || tail.m_type > CFFTailOption::BEST_R2) return qsk::kFail;
    const double first = ctx.firstDevAgeMonths / 12.0;
    const double step = ctx.devPeriodMonths / 12.0;
    CTailFactorAnalysis ta(first, step);
    const int n = last;  // body factors
    if (n < 2) return kTailNotFitted;
    ta.SetNumPoints(n);
    const CFFCRXSetting& s = tail.GetTailSettings();
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < n; ++i) {
            ta.SetValue(c, true, i, cells.has[i] ? cells.v[i] : 0.0);
            ta.SetExclude(c, i, i < s.m_excludeFirst || i >= n - s.m_excludeLast);
        }
        if (c != 1) ta.SetConstant(c, s.m_c);
        const double lastAge = ta.GetAge(n - 1);
        const double cutoff = s.m_cutoffIsVariable ? lastAge + s.m_cutoff * step : s.m_cutoff;
        if (!ta.SetCutoff(c, cutoff)) return kTailNotFitted;
    }
    ta.Calculate();
    int curve = tail.m_type;
    if (curve == CFFTailOption::BEST_R2) {
        curve = -1;
        double best = -1;
        for (int c = 0; c < 3; ++c)
            if (ta.IsCurveFitted(c) && std::isfinite(ta.GetRSquared(c)) && ta.GetRSquared(c) > best) {
                best = ta.GetRSquared(c);
                curve = c;
            }
    }
    if (curve < 0 || !ta.IsCurveFitted(curve) || !std::isfinite(ta.GetTail(curve))) {
        cells.has[last] = false;
        return kTailNotFitted;
    }
    cells.v[last] = ta.GetTail(curve);
    cells.has[last] = true;
    cells.atMin[last] = false;
    if (tail.m_fillMissing)
        for (int i = 0; i < n; ++i)
            if (!cells.has[i]) {
                const double f = ta.GetIncFactor(curve, ta.GetAge(i));
                if (std::isfinite(f)) {
                    cells.v[i] = f;
                    cells.has[i] = true;
                }
            }
    return qsk::kOk;
}

}  // namespace

QSSTATUS StatisticRow(CExhibit& ex, const CFFStat& stat, bool hasPriorRow, std::vector<double>& values,
                      std::vector<bool>& has) {
    values.clear();
    has.clear();
    CDataObject* factors = nullptr;
    if (ex.GetFactorTriangle(factors) != 0 || !factors) return qsk::kFail;
    std::uint16_t rows = 0, cols = 0;
    factors->GetMaxRowsCols(rows, cols);
    if (cols < 1) return qsk::kFail;
    CDataObject* outliers = nullptr;
    if (ex.GetOutliersObject(outliers) != 0) outliers = nullptr;

    unsigned char rec8[8];
    stat.ToRecord(rec8);
    CStatistics::Record rec{};
    for (int i = 0; i < 8; ++i) rec[i] = rec8[i];
    CStatistics st;
    st.SetDefinitions({rec}, 1, 0);
    st.Compute(*factors, ex.GetSource(), outliers, hasPriorRow);

    unsigned short count = 0, nrows = 0;
    st.GetNumStats(count);
    if (count < 1) return qsk::kFail;
    st.GetNumRows(0, nrows);
    unsigned short row = 0;
    // Trend statistics fill from their projected factors.
    for (unsigned short r = 0; r < nrows; ++r) {
        std::string title;
        st.GetRowTitle(0, r, title);
        if (title.find("Projected") != std::string::npos) row = r;
    }
    values.assign(cols - 1, 0.0);
    has.assign(cols - 1, false);
    bool any = false;
    for (unsigned short k = 0; k + 1 < cols; ++k) {
        double v = 0;
        char flag = 0;
        if (st.GetAt(0, row, k, v, flag) == 0 && flag == 0 && std::isfinite(v)) {
            values[k] = v;
            has[k] = true;
            any = true;
        }
    }
    return any ? qsk::kOk : kNoStatistic;
}

QSSTATUS FillExhibitSDF(CExhibit& ex, const CKDVSDFFloodFillOption& rule, const CFactorSet* set, QSID idWithLayer,
                        const ExhibitContext& ctx) {
    if (rule.GetType() == CKDVSDFFloodFillOption::NONE) return qsk::kOk;
    const int cols = SdfColumns(ex);
    if (cols < 1) return qsk::kFail;
    SdfCells cells = EmptyCells(cols);
    QSSTATUS result = qsk::kOk;

    switch (rule.GetType()) {
    case CKDVSDFFloodFillOption::STATISTICS: {
        const CFFStat& st = rule.GetStatData();
        if (st.m_setMin && !std::isfinite(st.m_minValue)) return qsk::kFail;
        std::vector<double> values;
        std::vector<bool> has;
        const QSSTATUS s = StatisticRow(ex, st, ctx.hasPriorRow, values, has);
        if (s != qsk::kOk) return s;
        for (int k = 0; k + 1 < cols; ++k) {
            if (!has[k]) continue;
            cells.has[k] = true;
            cells.v[k] = values[k];
            if (st.m_setMin && values[k] < st.m_minValue) {
                cells.v[k] = st.m_minValue;
                cells.atMin[k] = true;
            }
        }
        result = FillTail(st.GetTailFactor(), ctx, cells);
        if (result != qsk::kOk && result != kTailNotFitted) return result;
        break;
    }
    case CKDVSDFFloodFillOption::HISTORICAL: {
        std::vector<CDataObject*> history;
        ex.GetSelHist(history);
        const int n = rule.GetHistData().m_number;
        if (n < 1 || n > static_cast<int>(history.size()) || !history[n - 1]) return kNoSource;
        ReadRow(*history[n - 1], cells);
        int lastValue = -1;
        for (int k = 0; k < cols; ++k)
            if (cells.has[k]) lastValue = k;
        if (rule.GetHistData().m_fillLast && lastValue >= 0 && lastValue < cols - 1) {
            const double t = cells.v[lastValue];
            const int m = cols - lastValue;
            if (t > 0) {
                const double each = std::pow(t, 1.0 / m);
                for (int k = lastValue; k < cols; ++k) {
                    cells.v[k] = each;
                    cells.has[k] = true;
                }
            }
        }
        break;
    }
    case CKDVSDFFloodFillOption::FACTOR_SET: {
        if (!set) return kNoSource;
        CDataObject* row = nullptr;
        if (const_cast<CFactorSet*>(set)->GetDF(idWithLayer, "", row) != 0 || !row) return kNoSource;
        ReadRow(CFactorSet::FitRow(*row, static_cast<std::uint16_t>(cols)), cells);
        break;
    }
    default:
        return qsk::kFail;
    }
    const QSSTATUS w = WriteSdf(ex, cells);
    return w != qsk::kOk ? w : result;
}

}  // namespace qsff
