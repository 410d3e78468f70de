// Table arithmetic, project arithmetic and structure matching of CProject
// (the text reports are in CProjectReports.cpp).
#include <algorithm>
#include <cmath>
#include <set>

#include "CProject.h"

namespace {
double MathApply(double a, double b, int op) {
    switch (op) {
    case OP_ADD: return a + b;
    case OP_SUBTRACT: return a - b;
    case OP_MULTIPLY: return a * b;
    default: return a / b;
    }
}
}  // namespace

QSSTATUS CProject::PerformTableMath(const QSIDArray& targets, int operation, const QSIDArray& operands,
                                    double& value, QSIDArray& out, std::int32_t& status) {
    out.clear();
    status = 0;
    auto fail = [&](std::int32_t s, const QSIDArray& ids) {
        status = s;
        out = ids;
        return static_cast<QSSTATUS>(qsk::kFail);
    };
    if (operation < OP_ADD || operation > OP_DIVIDE || targets.empty()) return fail(800, targets);

    // Targets: data objects in an entered layer.
    QSIDArray notFound, scalars, noInput, calculated, skipped;
    std::vector<std::pair<QSID, CDataObject*>> work;
    std::set<QSID> targetSet(targets.begin(), targets.end());
    for (QSID t : targets) {
        const unsigned short layer = GetIDLayer(t);
        CFormula* f = FindObject(t, layer);
        if (!f) { notFound.push_back(t); continue; }
        if (dynamic_cast<CScalar*>(f)) { scalars.push_back(t); continue; }
        auto* d = dynamic_cast<CDataObject*>(f);
        if (!d) { noInput.push_back(t); continue; }
        if (d->IsCalculated()) {
            // A calculated table whose sources are all targets follows them:
            // it is skipped and reported, not refused.
            bool fromTargets = !d->GetSources().empty();
            for (CFormula* s : d->GetSources()) {
                QSID sid = s->GetIDNum();
                fromTargets = fromTargets && targetSet.count(sid);
            }
            if (fromTargets) skipped.push_back(t);
            else calculated.push_back(t);
            continue;
        }
        if (d->IsReadOnly() || !d->IsInitialized()) { noInput.push_back(t); continue; }
        work.emplace_back(t, d);
    }
    if (!notFound.empty()) return fail(500, notFound);
    if (!scalars.empty()) return fail(200, scalars);
    if (!calculated.empty()) return fail(100, calculated);
    if (!noInput.empty()) return fail(300, noInput);

    // Operands: data objects of the targets' shape, or scalars.
    struct Operand {
        QSID id;
        const CDataObject* data = nullptr;
        double scalar = 0.0;
    };
    std::vector<Operand> ops;
    QSIDArray srcMissing, srcBad;
    for (QSID o : operands) {
        CFormula* f = FindObject(o, GetIDLayer(o));
        if (!f) { srcMissing.push_back(o); continue; }
        if (auto* s = dynamic_cast<CScalar*>(f)) {
            double v = 0.0;
            if (s->GetValue(v) != qsk::kOk) { srcBad.push_back(o); continue; }
            ops.push_back({o, nullptr, v});
        } else if (auto* d = dynamic_cast<CDataObject*>(f)) {
            ops.push_back({o, d, 0.0});
        } else {
            srcBad.push_back(o);
        }
    }
    if (!srcMissing.empty()) return fail(600, srcMissing);
    if (!srcBad.empty()) return fail(400, srcBad);
    if (ops.empty()) ops.push_back({0, nullptr, value});
    if (!std::isfinite(value) && operands.empty()) return fail(800, {});

    QSIDArray shapeBad;
    for (const auto& [tid, d] : work)
        for (const Operand& op : ops)
            if (op.data) {
                std::uint16_t tr = 0, tc = 0, orr = 0, oc = 0;
                d->GetMaxRowsCols(tr, tc);
                op.data->GetMaxRowsCols(orr, oc);
                if (tr != orr || tc != oc) shapeBad.push_back(op.id);
            }
    if (!shapeBad.empty()) return fail(700, shapeBad);

    // Compute every result before storing any, so a failure changes nothing.
    // A blank operand cell leaves the target cell as it is; a blank target
    // cell stays blank.
    std::vector<std::vector<double>> results;
    QSIDArray failed;
    for (const auto& [tid, d] : work) {
        std::vector<double> v = d->Values();
        const std::vector<std::uint8_t>& f = d->Flags();
        bool bad = false;
        for (std::size_t i = 0; i < v.size() && !bad; ++i) {
            if (!(f[i] & CDataObject::CF_VALUE)) continue;
            for (const Operand& op : ops) {
                double b = op.scalar;
                if (op.data) {
                    if (!(op.data->Flags()[i] & CDataObject::CF_VALUE)) continue;
                    b = op.data->Values()[i];
                }
                if (operation == OP_DIVIDE && b == 0.0) { bad = true; break; }
                v[i] = MathApply(v[i], b, operation);
                if (!std::isfinite(v[i])) { bad = true; break; }
            }
        }
        if (bad) failed.push_back(tid);
        results.push_back(std::move(v));
    }
    if (!failed.empty()) return fail(800, failed);

    std::vector<CFormula*> changed;
    for (std::size_t k = 0; k < work.size(); ++k) {
        CDataObject* d = work[k].second;
        d->ReplaceCells(std::move(results[k]), d->Flags(), d->GetNotes());
        d->NotifyAll(XR_RELOAD, 0);
        changed.push_back(d);
    }
    CFormula::PropagateChanges(changed);
    m_modified = true;
    if (!skipped.empty()) {
        status = 101;
        out = skipped;
    }
    return qsk::kOk;
}

std::uint32_t CProject::MatchProject(const CProject& o) const {
    std::uint32_t bits = 0;
    if (GetStructure().calc1 != o.GetStructure().calc1 || GetStructure().calc2 != o.GetStructure().calc2) bits |= MP_LAYERS;
    if (GetStructure().expLength != o.GetStructure().expLength) bits |= MP_EXP_LENGTH;
    if (GetStructure().devLength != o.GetStructure().devLength) bits |= MP_DEV_LENGTH;
    if (GetStructure().firstDevAge != o.GetStructure().firstDevAge) bits |= MP_FIRST_DEV;
    if (GetStructure().prior != o.GetStructure().prior) bits |= MP_STRUCTURE;
    if (bits & MP_EXP_LENGTH) return bits;
    const int mine = GetStructure().firstYear * 12 + (GetStructure().firstInterval - 1) * GetStructure().expLength;
    const int theirs = o.GetStructure().firstYear * 12 + (o.GetStructure().firstInterval - 1) * o.GetStructure().expLength;
    if ((theirs - mine) % GetStructure().expLength != 0) bits |= MP_INTERVAL;
    if (bits & 0x0FFF) return bits;
    // Entered dates and ages must agree where the periods overlap.
    const int offset = (theirs - mine) / GetStructure().expLength;
    for (int r = 0; r < GetStructure().numExp; ++r) {
        const int orow = r - offset;
        if (orow < 0 || orow >= o.GetStructure().numExp) continue;
        if (CHDate(m_periods.Dates()[r]).Month() != CHDate(o.m_periods.Dates()[orow]).Month()) { bits |= MP_EXP_DATES; break; }
    }
    for (int c = 0; c < std::min(GetStructure().numDev, o.GetStructure().numDev); ++c)
        if (m_periods.Ages()[c] != o.m_periods.Ages()[c]) { bits |= MP_DEV_DATES; break; }
    if (bits) return bits;
    if (offset != 0) bits |= MP_OFFSET_WARN;
    if (GetStructure().numExp != o.GetStructure().numExp || GetStructure().evalExtra != o.GetStructure().evalExtra) bits |= MP_NUM_EXP_WARN;
    if (GetStructure().numDev != o.GetStructure().numDev) bits |= MP_DEV_PERIODS_WARN;
    return bits;
}

QSSTATUS CProject::ProjectMath(const CProject& other, int operation) {
    if (operation != OP_ADD && operation != OP_SUBTRACT) return qsk::kFail;
    if (&other == this) return qsk::kFail;
    if (MatchProject(other) & 0x0FFF & ~(MP_NUM_EXP_WARN | MP_DEV_PERIODS_WARN)) return qsk::kFail;
    const int mine = GetStructure().firstYear * 12 + (GetStructure().firstInterval - 1) * GetStructure().expLength;
    const int theirs = other.GetStructure().firstYear * 12 + (other.GetStructure().firstInterval - 1) * other.GetStructure().expLength;
    const int offset = (theirs - mine) / GetStructure().expLength;  // other's row 0 lies at this row
    std::vector<CFormula*> changed;
    for (auto& [id, e] : m_store) {
        if (!e.layered) continue;
        const ObjectEntry* oe = other.FindEntry(id);
        if (!oe || !oe->layered) continue;
        for (unsigned short l = 1; l <= kLayerCount; ++l) {
            if (IsLayerCalculated(l)) continue;
            auto* d = dynamic_cast<CDataObject*>(e.inst[l].get());
            auto* od = dynamic_cast<const CDataObject*>(oe->inst[l].get());
            if (!d || !od || d->GetVectorType() != od->GetVectorType()) continue;
            std::vector<double> v = d->Values();
            std::vector<std::uint8_t> f = d->Flags();
            std::uint16_t rows = 0, cols = 0;
            d->GetMaxRowsCols(rows, cols);
            bool any = false;
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < cols; ++c) {
                    if (!d->LocationIsValid(r, c)) continue;
                    const int orow = d->GetVectorType() == CDataObject::VT_ROW ? 0 : r - offset;
                    double ov = 0.0;
                    std::uint8_t of = 0;
                    if (od->GetAt(orow, c, ov, of) != qsk::kOk || !(of & CDataObject::CF_VALUE)) continue;
                    if (od->IsViewedCumulative() == false && od->IsCumulable()) ov = od->RawValue(orow, c);
                    const std::size_t i = static_cast<std::size_t>(r) * cols + c;
                    const double base = (f[i] & CDataObject::CF_VALUE) ? v[i] : 0.0;
                    v[i] = MathApply(base, ov, operation);
                    f[i] = static_cast<std::uint8_t>((f[i] & ~CDataObject::CF_BLANK) | CDataObject::CF_VALUE);
                    any = true;
                }
            if (!any) continue;
            d->ReplaceCells(std::move(v), std::move(f), d->GetNotes());
            d->NotifyAll(XR_RELOAD, 0);
            changed.push_back(d);
        }
    }
    CFormula::PropagateChanges(changed);
    m_modified = true;
    return qsk::kOk;
}
