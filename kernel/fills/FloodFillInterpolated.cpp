// The interpolated flood fill, the fill of one exhibit and the method
// variables fill (docs/kernel/flood-fills.md).
#include <cmath>

#include "CExhibit.h"
#include "CFSLib.h"
#include "CFactorSet.h"
#include "CInterpolateSelection.h"
#include "CInterpolation.h"
#include "CMethod.h"
#include "CProject.h"
#include "FloodFill.h"
#include "FormulaBinding.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "SummaryReports.h"

namespace {
constexpr int kInterpolatedAgesIndex = 804;

bool FfiInterpolate(const CInterpolateSDFFloodFillSelection& sel, CExhibit& ex, const std::vector<double>& ages,
                    const std::vector<double>& wanted, const qsff::InterpolationContext& ctx, std::vector<double>& cum) {
    CDataObject* row = nullptr;
    if (sel.GetInputType() == INPUT_RATIO_TO_ULTIMATE ? ex.GetRatioSDFObject(row) : ex.GetCumSDFObject(row)) return false;
    if (!row) return false;
    std::uint16_t rows = 0, cols = 0;
    row->GetMaxRowsCols(rows, cols);
    if (rows != 1 || cols != ages.size()) return false;
    std::vector<double> input(cols);
    std::vector<unsigned char> flags(cols);
    for (int k = 0; k < cols; ++k) {
        std::uint8_t f = 0;
        row->GetAt(0, k, input[static_cast<std::size_t>(k)], f);
        const bool ok = (f & CDataObject::CF_VALUE) && !(f & CDataObject::CF_NOTAVAIL) &&
                        std::isfinite(input[static_cast<std::size_t>(k)]) && input[static_cast<std::size_t>(k)] > 0;
        flags[static_cast<std::size_t>(k)] = ok ? 1 : 4;
    }
    CInterpolation engine;
    if (!engine.SetInputParams(ages, input, flags, wanted)) return false;
    std::vector<double> result;
    std::vector<unsigned char> resultFlags;
    if (!engine.Interpolate(sel.GetCurveType(), ctx.period, ctx.periodLength, result, resultFlags, ctx.adjustment))
        return false;
    if (result.size() != wanted.size()) return false;
    cum.assign(wanted.size(), NAN);
    for (std::size_t j = 0; j < result.size(); ++j) {
        if (!(resultFlags[j] & 1) || !std::isfinite(result[j]) || result[j] <= 0) continue;
        cum[j] = sel.GetInputType() == INPUT_RATIO_TO_ULTIMATE ? 1.0 / result[j] : result[j];
    }
    return true;
}
}  // namespace

namespace qsff {

std::vector<double> InterpolatedAges(const CProject& project, unsigned short layer) {
    std::vector<double> ages;
    const CDataObject* d = project.FindDataObject(MakeID(1, 1, 0, 0, kInterpolatedAgesIndex), layer);
    if (!d) return ages;
    for (std::size_t i = 0; i < d->Values().size(); ++i)
        if ((d->Flags()[i] & CDataObject::CF_VALUE) && !(d->Flags()[i] & CDataObject::CF_NOTAVAIL) &&
            std::isfinite(d->Values()[i]) && d->Values()[i] > 0)
            ages.push_back(d->Values()[i]);
    return ages;
}

QSSTATUS FillExhibitInterpolatedSDF(CExhibit& ex, const CInterpolateSDFFloodFillOption& rule,
                                    const std::vector<double>& currentAges, const std::vector<double>& wantedAges,
                                    const InterpolationContext& ctx) {
    if (rule.GetType() == CInterpolateSDFFloodFillOption::NONE) return qsk::kOk;
    if (!ex.HasInterpolateSDF() || wantedAges.empty() || wantedAges.size() > 65535) return kNoSource;
    for (std::size_t j = 1; j < wantedAges.size(); ++j)
        if (!(wantedAges[j] > wantedAges[j - 1])) return kNoSource;  // ages must rise
    std::vector<double> cum;
    if (!FfiInterpolate(rule.GetDefault1(), ex, currentAges, wantedAges, ctx, cum) &&
        !FfiInterpolate(rule.GetDefault2(), ex, currentAges, wantedAges, ctx, cum))
        return kNoCurve;
    const std::size_t m = wantedAges.size();
    std::vector<double> v(m, 0.0);
    std::vector<std::uint8_t> f(m, CDataObject::CF_BLANK);
    for (std::size_t j = 0; j < m; ++j) {
        const double x = j + 1 < m ? cum[j] / cum[j + 1] : cum[j];
        if (std::isfinite(x) && x > 0) v[j] = x, f[j] = CDataObject::CF_VALUE;
    }
    CDataObject* sdf = nullptr;
    std::uint16_t rows = 0, cols = 0;
    if (ex.GetInterpolateSDFObject(sdf) || !sdf) return kNoSource;
    sdf->GetMaxRowsCols(rows, cols);
    if (cols != m) {
        ex.SetInterpolateSDF(static_cast<std::uint16_t>(m));
        if (ex.GetInterpolateSDFObject(sdf) || !sdf) return kNoSource;
    }
    return sdf->SetAllCells(v, f, 1);
}

}  // namespace qsff

QSSTATUS CProject::FloodFillInterpolatedSDF(IFloodFillProgress* progress, QSID only) {
    std::vector<std::pair<QSID, const CInterpolateSDFFloodFillOption*>> rules;
    for (const auto& [id, rule] : m_interpFloodFill)
        if (!only || id == only) rules.emplace_back(id, &rule);
    const std::vector<double> current = ProjectFormulaResolver::InfoOf(*this).ages;
    qsff::InterpolationContext ictx;
    {
        std::vector<CInterpolateSelection> selections;
        ENUM_ADJ_UNEARNED_EXPOSURE adjustment = ADJ_FULL_PERIOD_ULTIMATE;
        int display = 0, abbreviate = 0, useInMethods = 0;
        GetInterpolationSelections(selections, &ictx.period, &display, &abbreviate, &useInMethods, &adjustment);
        ictx.adjustment = adjustment;
        PRDLENGTH expLength = PRD_YEAR;
        GetLengthExpPrd(expLength);
        ictx.periodLength = expLength;
    }
    const int total = static_cast<int>(rules.size());
    int done = 0;
    QSSTATUS result = only ? qsk::kUnknownId : qsk::kOk;
    qsff::FillOutcome outcome(progress);
    for (const auto& [id, rule] : rules) {
        KernelPulse();
        const unsigned short layer = GetIDLayer(id);
        auto* ex = layer >= 1 && layer <= kLayerCount ? dynamic_cast<CExhibit*>(FindObject(id, layer)) : nullptr;
        if (progress) {
            if (progress->IsFloodFillCancelled()) {
                outcome.Cancel();
                break;
            }
            progress->OnFloodFillStep(done, total, ex ? ex->GetIDLongName() : std::string());
        }
        ++done;
        if (!ex) {
            // A rule that outlived its exhibit fails unless it asks for nothing.
            if (rule->GetType() != CInterpolateSDFFloodFillOption::NONE) outcome.Fail(std::string(), qsk::kUnknownId);
            continue;
        }
        const QSSTATUS st = qsff::FillExhibitInterpolatedSDF(*ex, *rule, current, qsff::InterpolatedAges(*this, layer), ictx);
        if (only) result = st;
        else outcome.Fail(ex->GetIDLongName(), st);
    }
    if (progress) progress->OnFloodFillStep(done, total, std::string());
    if (done) SetModifiedFlag(true);
    return only ? result : outcome.Status();
}

QSSTATUS CProject::FloodFillSDF(IFloodFillProgress* progress, QSID idWithLayer, ENUM_SDF_TYPE type) {
    if (type == SDF_INTERPOLATED) return FloodFillInterpolatedSDF(progress, idWithLayer);
    auto it = m_sdfFloodFill.find(idWithLayer);
    const unsigned short layer = GetIDLayer(idWithLayer);
    auto* ex = layer >= 1 && layer <= kLayerCount ? dynamic_cast<CExhibit*>(FindObject(idWithLayer, layer)) : nullptr;
    if (it == m_sdfFloodFill.end() || !ex) return qsk::kUnknownId;
    if (progress) progress->OnFloodFillStep(0, 1, ex->GetIDLongName());
    std::uint16_t numDev = 0, firstAge = 0;
    PRDLENGTH devLen = PRD_YEAR;
    GetInfoDevPrd(numDev, devLen, firstAge);
    const qsff::ExhibitContext ctx{devLen, firstAge, GetIncludesPrior()};
    const CKDVSDFFloodFillOption& rule = it->second;
    CFSLib lib;
    CFactorSet* set = nullptr;
    if (rule.GetType() == CKDVSDFFloodFillOption::FACTOR_SET &&
        lib.LoadFile(rule.GetDFLData().GetLibraryName()) == qsk::kOk) {
        lib.GetFactorSet(rule.GetDFLData().GetFactorSetName(), set);
        if (set && !set->CanAdjustSize(numDev, devLen, firstAge, 0, 0, 1)) set = nullptr;
    }
    const QSSTATUS st = rule.GetType() == CKDVSDFFloodFillOption::NONE
                            ? qsk::kOk
                            : qsff::FillExhibitSDF(*ex, rule, set, idWithLayer, ctx);
    if (progress) progress->OnFloodFillStep(1, 1, std::string());
    // A tail that could not be fitted is reported, but the factors were written.
    if (st == qsk::kOk || st == qsff::kTailNotFitted) SetModifiedFlag(true);
    return st;
}

namespace {
// Blank cells take the value held before them along the vector; leading
// blanks the first value. Not-available cells stay as they are. False when
// nothing changes.
bool FfmFillForward(std::vector<double>& v, std::vector<std::uint8_t>& f, const CDataObject& d) {
    bool changed = false;
    int first = -1;
    for (std::size_t i = 0; i < f.size() && first < 0; ++i)
        if ((f[i] & CDataObject::CF_VALUE) && !(f[i] & CDataObject::CF_NOTAVAIL)) first = static_cast<int>(i);
    if (first < 0) return false;
    double last = v[static_cast<std::size_t>(first)];
    std::uint16_t rows = 0, cols = 0;
    d.GetMaxRowsCols(rows, cols);
    for (std::size_t i = 0; i < f.size(); ++i) {
        const int r = cols ? static_cast<int>(i / cols) : 0, c = cols ? static_cast<int>(i % cols) : 0;
        if (!d.LocationIsValid(r, c) || (f[i] & CDataObject::CF_NOTAVAIL)) continue;
        if (f[i] & CDataObject::CF_VALUE) {
            last = v[i];
            continue;
        }
        v[i] = last;
        f[i] = static_cast<std::uint8_t>((f[i] & ~CDataObject::CF_BLANK) | CDataObject::CF_VALUE);
        changed = true;
    }
    return changed;
}
}  // namespace

QSSTATUS CProject::FloodFillMethodVariable(IFloodFillProgress* progress) {
    std::vector<std::pair<CDataObject*, std::string>> targets;
    for (auto& [base, e] : m_store) {
        for (unsigned short l = 1; l <= kLayerCount; ++l) {
            CFormula* obj = e.inst[l].get();
            if (!obj || IsLayerCalculated(l)) continue;
            const int kind = GetIDDOType(base);
            auto* d = dynamic_cast<CDataObject*>(obj);
            if (d && (kind == 1 || kind == 2) && GetIDDataType(base) == 0 && GetIDIndex(base) > 103 &&
                e.subgroup != qsk::kNodeAdjustments && d->GetVectorType() != CDataObject::VT_TRIANGLE &&
                GetIDIndex(base) != kInterpolatedAgesIndex &&  // a list of distinct ages, not a value to spread
                !d->IsReadOnly())
                targets.emplace_back(d, obj->GetIDLongName());
            auto* m = dynamic_cast<CMethod*>(obj);
            if (!m || m->IsReport()) continue;
            for (int k = 0; k < m->GetNumDataObjects(); ++k) {
                CStringStack raw, resolved;
                m->GetColFormula(k, raw, resolved);
                if (raw.IsEmpty() && !m->GetDataObject(k + 1)->IsCalculated())
                    targets.emplace_back(m->GetDataObject(k + 1), m->GetIDLongName() + " - " + m->GetColName(k));
            }
        }
    }
    const int total = static_cast<int>(targets.size());
    int done = 0;
    bool wrote = false;
    qsff::FillOutcome outcome(progress);
    for (auto& [d, name] : targets) {
        KernelPulse();
        if (progress) {
            if (progress->IsFloodFillCancelled()) {
                outcome.Cancel();
                break;
            }
            progress->OnFloodFillStep(done, total, name);
        }
        ++done;
        std::vector<double> v = d->Values();
        std::vector<std::uint8_t> f = d->Flags();
        if (!FfmFillForward(v, f, *d)) continue;
        const QSSTATUS st = d->SetAllCells(v, f, 1);
        if (st == qsk::kOk) wrote = true;
        outcome.Fail(name, st);
    }
    if (progress) progress->OnFloodFillStep(done, total, std::string());
    if (wrote) SetModifiedFlag(true);
    return outcome.Status();
}
