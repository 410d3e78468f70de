#include "FloodFill.h"

#include <cmath>
#include <vector>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CFactorSet.h"
#include "CStatistics.h"
#include "CTailFactorAnalysis.h"
#include "KernelGlobals.h"

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
    // The whole row is written first and its dependents (the exhibit, the
    // methods reading its selections) recalculate once, not once per cell.
    std::vector<std::uint32_t> changed;
    for (int k = 0; k < cols; ++k) {
        const double before = sdf->RawValue(0, k);
        const std::uint8_t beforeFlags = sdf->RawFlags(0, k);
        if (cells.has[k] && std::isfinite(cells.v[k])) {
            sdf->SetAt(0, k, cells.v[k], 0);
            if (cells.atMin[k])
                sdf->SetCellHasFFMin(0, k);
            else
                sdf->SetCellHasNoFFMin(0, k);
        } else {
            sdf->SetCellBlank(0, k, 0);
            sdf->SetCellHasNoFFMin(0, k);
        }
        if ((sdf->RawFlags(0, k) & ~CDataObject::CF_FFMIN) != (beforeFlags & ~CDataObject::CF_FFMIN) ||
            sdf->RawValue(0, k) != before)
            changed.push_back(static_cast<std::uint32_t>(k));  // row 0
    }
    if (!changed.empty()) sdf->CellsChanged(changed);
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

// Fits the tail curves through the body factors and writes the tail into
// cells. When no curve can be fitted the tail cell keeps what cells holds
// (the caller put the exhibit's current tail there) and kTailNotFitted says so.
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
    if (curve < 0 || !ta.IsCurveFitted(curve) || !std::isfinite(ta.GetTail(curve))) return kTailNotFitted;
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
    CDataObject* weights = nullptr;
    if (ex.GetUserWeightsObject(weights) != 0) weights = nullptr;

    unsigned char rec8[8];
    stat.ToRecord(rec8);
    CStatistics::Record rec{};
    for (int i = 0; i < 8; ++i) rec[i] = rec8[i];
    CStatistics st;
    st.SetDefinitions({rec}, 1, 0);
    st.Compute(*factors, ex.GetSource(), outliers, hasPriorRow, nullptr, weights);

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
        // A curve that cannot be fitted must not take away a tail the user
        // typed: the current tail stands unless a curve replaces it.
        if (CDataObject* sdf = nullptr; ex.GetSDFObject(sdf) == 0 && sdf) {
            double tail = 0;
            std::uint8_t f = 0;
            if (sdf->GetAt(0, cols - 1, tail, f) == 0 && (f & CDataObject::CF_VALUE) && std::isfinite(tail)) {
                cells.v[cols - 1] = tail;
                cells.has[cols - 1] = true;
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

// ---- the project's rules and fills ----------------------------------------------

#include "CArchive.h"
#include "CFSLib.h"
#include "CProject.h"
#include "KernelIds.h"
#include "ObjectMaps.h"

namespace qsff {

std::vector<std::uint8_t> SaveRules(const std::map<QSID, CKDVSDFFloodFillOption>& sdf,
                                    const std::map<QSID, CInterpolateSDFFloodFillOption>& interp) {
    std::vector<std::uint8_t> bytes;
    CArchive ar(bytes, CArchive::store);
    ar << static_cast<std::uint32_t>(sdf.size());
    for (const auto& [id, rule] : sdf) {
        ar << static_cast<std::int32_t>(id);
        const_cast<CKDVSDFFloodFillOption&>(rule).Serialize(ar);
    }
    ar << static_cast<std::uint32_t>(interp.size());
    for (const auto& [id, rule] : interp) {
        ar << static_cast<std::int32_t>(id);
        const_cast<CInterpolateSDFFloodFillOption&>(rule).Serialize(ar);
    }
    ar.Close();
    return bytes;
}

bool LoadRules(const std::vector<std::uint8_t>& bytes, std::map<QSID, CKDVSDFFloodFillOption>& sdf,
               std::map<QSID, CInterpolateSDFFloodFillOption>& interp) {
    sdf.clear();
    interp.clear();
    try {
        std::vector<std::uint8_t> copy = bytes;
        CArchive ar(copy, CArchive::load);
        std::uint32_t n = 0;
        ar >> n;
        if (n > ar.GetBytesRemaining() / 8) return false;
        for (std::uint32_t i = 0; i < n; ++i) {
            std::int32_t id = 0;
            ar >> id;
            sdf[id].Serialize(ar);
        }
        ar >> n;
        if (n > ar.GetBytesRemaining() / 8) return false;
        for (std::uint32_t i = 0; i < n; ++i) {
            std::int32_t id = 0;
            ar >> id;
            interp[id].Serialize(ar);
        }
        return ar.GetBytesRemaining() == 0;
    } catch (const CException&) {
        sdf.clear();
        interp.clear();
        return false;
    }
}

}  // namespace qsff

namespace {
template <class Rule>
QSSTATUS FFGetRules(const std::map<QSID, Rule>& rules, CMapLongToOb& map) {
    for (const auto& [id, rule] : rules) map.SetAt(id, new Rule(rule));
    return qsk::kOk;
}
template <class Rule>
bool FFSetRules(std::map<QSID, Rule>& rules, const CMapLongToOb& map) {
    std::map<QSID, Rule> next;
    for (const auto& [id, obj] : map)
        if (const auto* rule = dynamic_cast<const Rule*>(obj)) next.emplace(id, *rule);
    const bool changed = next != rules;
    rules = std::move(next);
    return changed;
}
}  // namespace

QSSTATUS CProject::GetRegularSDFFloodFillOption(CMapLongToOb& map) const { return FFGetRules(m_sdfFloodFill, map); }
QSSTATUS CProject::GetInterpolateSDFFloodFillOption(CMapLongToOb& map) const {
    return FFGetRules(m_interpFloodFill, map);
}
QSSTATUS CProject::SetRegularSDFFloodFillOption(const CMapLongToOb& map) {
    if (FFSetRules(m_sdfFloodFill, map)) SetModifiedFlag(true);
    return qsk::kOk;
}
QSSTATUS CProject::SetInterpolateSDFFloodFillOption(const CMapLongToOb& map) {
    if (FFSetRules(m_interpFloodFill, map)) SetModifiedFlag(true);
    return qsk::kOk;
}

bool CProject::IsSDFSetWithFloodFill(QSID idWithLayer) const {
    auto it = m_sdfFloodFill.find(idWithLayer);
    return it != m_sdfFloodFill.end() && it->second.GetType() != CKDVSDFFloodFillOption::NONE;
}

CExhibit* CProject::FloodFillTarget(QSID id) const {
    const unsigned short layer = GetIDLayer(id);
    if (layer < 1 || layer > kLayerCount) return nullptr;
    if (auto* ex = dynamic_cast<CExhibit*>(FindObject(id, layer))) return ex;
    // A table: the first exhibit made from it.
    CExhibit* found = nullptr;
    ForEachObject([&](QSID, unsigned short l, CFormula* obj) {
        auto* ex = dynamic_cast<CExhibit*>(obj);
        if (found || !ex || l != layer) return;
        QSID src = ex->GetSourceID();
        SetIDLayer(src, layer);
        if (src == id) found = ex;
    });
    return found;
}

std::vector<QSID> CProject::FloodFillTargets(const QSIDArray* ids) const {
    if (ids) return *ids;
    std::vector<QSID> all;
    ForEachObject([&](QSID baseId, unsigned short layer, CFormula* obj) {
        if (!dynamic_cast<CExhibit*>(obj) || layer < 1) return;
        QSID id = baseId;
        SetIDLayer(id, layer);
        all.push_back(id);
    });
    return all;
}

QSSTATUS CProject::FloodFillSDF(IFloodFillProgress* progress, ENUM_SDF_TYPE type) {
    if (type == SDF_INTERPOLATED) return FloodFillInterpolatedSDF(progress, 0);
    if (type != SDF_SELECTED) return qsk::kFail;
    std::uint16_t numDev = 0, firstAge = 0;
    PRDLENGTH devLen = PRD_YEAR;
    GetInfoDevPrd(numDev, devLen, firstAge);
    const qsff::ExhibitContext ctx{devLen, firstAge, GetIncludesPrior()};
    std::map<std::string, std::unique_ptr<CFSLib>> libraries;  // one load per library and run
    const int total = static_cast<int>(m_sdfFloodFill.size());
    int done = 0;
    qsff::FillOutcome outcome(progress);
    for (const auto& [id, rule] : m_sdfFloodFill) {
        KernelPulse();
        CExhibit* ex = FloodFillTarget(id);
        if (progress) {
            if (progress->IsFloodFillCancelled()) {
                outcome.Cancel();
                break;
            }
            progress->OnFloodFillStep(done, total, ex ? ex->GetIDLongName() : std::string());
        }
        ++done;
        if (rule.GetType() == CKDVSDFFloodFillOption::NONE) continue;
        if (!ex) {
            // The rule outlived its exhibit.
            outcome.Fail(std::string(), qsk::kUnknownId);
            continue;
        }
        const CFactorSet* set = nullptr;
        if (rule.GetType() == CKDVSDFFloodFillOption::FACTOR_SET) {
            auto& lib = libraries[rule.GetDFLData().GetLibraryName()];
            if (!lib) {
                lib = std::make_unique<CFSLib>();
                if (lib->LoadFile(rule.GetDFLData().GetLibraryName()) != qsk::kOk) lib->Clear();
            }
            CFactorSet* found = nullptr;
            lib->GetFactorSet(rule.GetDFLData().GetFactorSetName(), found);
            if (found && !found->CanAdjustSize(numDev, devLen, firstAge, 0, 0, 1)) found = nullptr;
            set = found;
        }
        outcome.Fail(ex->GetIDLongName(), qsff::FillExhibitSDF(*ex, rule, set, id, ctx));
    }
    if (progress) progress->OnFloodFillStep(done, total, std::string());
    if (done) SetModifiedFlag(true);
    return outcome.Status();
}

QSSTATUS CProject::FillProjFromStat(const std::vector<std::uint8_t>& stat, const QSIDArray* ids) {
    if (stat.size() < 8) return qsk::kFail;
    std::uint16_t numDev = 0, firstAge = 0;
    PRDLENGTH devLen = PRD_YEAR;
    GetInfoDevPrd(numDev, devLen, firstAge);
    const qsff::ExhibitContext ctx{devLen, firstAge, GetIncludesPrior()};
    CKDVSDFFloodFillOption rule(CKDVSDFFloodFillOption::STATISTICS);
    rule.GetStatData() = CFFStat::FromRecord(stat.data(), stat.size());
    int filled = 0;
    for (QSID id : FloodFillTargets(ids)) {
        KernelPulse();
        CExhibit* ex = FloodFillTarget(id);
        CDataObject* sdf = nullptr;
        if (!ex || ex->GetSDFObject(sdf) != 0 || !sdf) continue;
        // The statistic has no tail: the one the user selected stays.
        std::uint16_t rows = 0, cols = 0;
        sdf->GetMaxRowsCols(rows, cols);
        double tail = 0;
        std::uint8_t flags = 0;
        const bool hasTail = cols > 0 && sdf->GetAt(0, cols - 1, tail, flags) == 0 && (flags & CDataObject::CF_VALUE);
        CKDVSDFFloodFillOption r = rule;
        r.GetStatData().GetTailFactor().m_type = hasTail ? CFFTailOption::SPECIFIED : CFFTailOption::NONE;
        r.GetStatData().GetTailFactor().m_specified = hasTail ? tail : 1.0;
        if (qsff::FillExhibitSDF(*ex, r, nullptr, id, ctx) == qsk::kOk) ++filled;
    }
    if (filled) SetModifiedFlag(true);
    return filled ? qsk::kOk : qsk::kFail;
}

QSSTATUS CProject::FillProjFromFS(const CFactorSet& set, const QSIDArray* ids) {
    std::uint16_t numDev = 0, firstAge = 0;
    PRDLENGTH devLen = PRD_YEAR;
    GetInfoDevPrd(numDev, devLen, firstAge);
    if (!set.CanAdjustSize(numDev, devLen, firstAge, 0, 0, 1)) return qsk::kFail;
    const qsff::ExhibitContext ctx{devLen, firstAge, GetIncludesPrior()};
    const CKDVSDFFloodFillOption rule(CKDVSDFFloodFillOption::FACTOR_SET);
    int filled = 0;
    for (QSID id : FloodFillTargets(ids)) {
        KernelPulse();
        CExhibit* ex = FloodFillTarget(id);
        if (!ex) continue;
        // Rows are kept under the exhibit's own id.
        QSID key = ex->GetIDNum();
        SetIDLayer(key, GetIDLayer(id));
        if (qsff::FillExhibitSDF(*ex, rule, &set, key, ctx) == qsk::kOk) ++filled;
    }
    if (filled) SetModifiedFlag(true);
    return filled ? qsk::kOk : qsff::kNoSource;
}

QSSTATUS CProject::FillFSFromProj(CFactorSet& set, const QSIDArray* ids) {
    std::uint16_t numDev = 0, firstAge = 0;
    PRDLENGTH devLen = PRD_YEAR;
    GetInfoDevPrd(numDev, devLen, firstAge);
    if (!set.CanAdjustSize(numDev, devLen, firstAge, 0, 0, 1)) return qsk::kFail;
    CFactorSet next = set;
    int copied = 0;
    for (QSID id : FloodFillTargets(ids)) {
        KernelPulse();
        CExhibit* ex = FloodFillTarget(id);
        CDataObject* sdf = nullptr;
        if (!ex || ex->GetSDFObject(sdf) != 0 || !sdf) continue;
        QSID key = ex->GetIDNum();
        SetIDLayer(key, GetIDLayer(id));
        if (next.SetDF(key, ex->GetIDLongName(), *sdf) == qsk::kOk) ++copied;
    }
    if (!copied) return qsff::kNoSource;
    set = next;
    return qsk::kOk;
}
