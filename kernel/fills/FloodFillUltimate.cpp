// The ultimates flood fill and its options (CProject calls; what a fill
// writes is in docs/kernel/summary-reports.md).
#include <cmath>

#include "CProject.h"
#include "FloodFill.h"
#include "FormulaBinding.h"
#include "KernelGlobals.h"
#include "KernelIds.h"
#include "SummaryReports.h"

namespace {

QSID UffWithLayer(QSID id, unsigned short layer) {
    QSID k = GetLayerNeutralID(id);
    SetIDLayer(k, layer);
    return k;
}

constexpr const char* kUffNoChoice = "(None)";

// The latest value a row of the minimum array holds: the last cell of a
// triangle's row (its latest evaluation), or the cell of a column.
bool UffLatestOf(const CDataObject& d, int row, double& value) {
    std::uint16_t rows = 0, cols = 0;
    d.GetMaxRowsCols(rows, cols);
    if (row >= rows || cols == 0 || d.GetVectorType() == CDataObject::VT_ROW) return false;
    std::uint16_t n = cols;
    if (d.GetVectorType() == CDataObject::VT_TRIANGLE) d.GetNumColsInRow(static_cast<std::uint16_t>(row), n);
    if (n == 0) return false;
    std::uint8_t f = 0;
    if (d.GetAt(row, n - 1, value, f) != qsk::kOk) return false;
    return (f & CDataObject::CF_VALUE) && !(f & CDataObject::CF_NOTAVAIL) && std::isfinite(value);
}

}  // namespace

int CProject::GetUltFloodFillOption(QSID kindId, unsigned short& layer, std::vector<CKDVUltFloodFillData*>& candidates,
                                    CKDVUltFloodFillData& selected, QSID& minimumId, int& check) const {
    const qssummary::UltKind* kind = qssummary::FindUltKind(kindId);
    if (!kind) return 0;
    if (layer == 0) layer = NET;
    if (layer > kLayerCount) return 0;
    candidates.push_back(new CKDVUltFloodFillData(0, 0, layer, kUffNoChoice));
    if (const auto* r = dynamic_cast<const CSummaryReport*>(FindObject(kind->reportId, layer))) {
        for (int k = 0; k < r->GetNumDataObjects(); ++k) {
            const int role = r->GetColRole(k);
            if (role == CSummaryReport::CR_TABLE)
                candidates.push_back(new CKDVUltFloodFillData(r->GetColSource(k), 0, layer, r->GetColName(k)));
            else if (role == CSummaryReport::CR_STRAIGHT || role == CSummaryReport::CR_WEIGHTED)
                candidates.push_back(new CKDVUltFloodFillData(kind->reportId, role, layer, r->GetColName(k)));
        }
    }
    auto it = m_ultFloodFill.find(UffWithLayer(kind->reportId, layer));
    if (it != m_ultFloodFill.end()) {
        selected = it->second.selected;
        minimumId = it->second.minimumId;
        check = it->second.check;
    } else {
        selected = CKDVUltFloodFillData(0, 0, layer, kUffNoChoice);
        minimumId = MakeID(1, 1, 0, 0, kind->minimumArray);
        check = 0;
    }
    return 1;
}

int CProject::SetUltFloodFillOption(QSID kindId, unsigned short& layer, CKDVUltFloodFillData selected, QSID minimumId,
                                    int check) {
    const qssummary::UltKind* kind = qssummary::FindUltKind(kindId);
    if (!kind) return 0;
    if (layer == 0) layer = NET;
    if (layer > kLayerCount) return 0;
    QSUltFloodFillSetting s;
    if (selected.IsEmpty()) selected = CKDVUltFloodFillData(0, 0, layer, kUffNoChoice);
    selected.m_id = GetLayerNeutralID(selected.m_id);
    selected.m_layer = layer;
    s.selected = selected;
    s.minimumId = GetLayerNeutralID(minimumId);
    s.check = check ? 1 : 0;
    QSUltFloodFillSetting& slot = m_ultFloodFill[UffWithLayer(kind->reportId, layer)];
    if (!(slot == s)) {
        slot = s;
        SetModifiedFlag(true);
    }
    return 1;
}

bool CProject::IsUltimateSetWithFloodFill(QSID idWithLayer) const {
    const qssummary::UltKind* kind = qssummary::FindUltKind(idWithLayer);
    if (!kind) return false;
    const unsigned short layer = GetIDLayer(idWithLayer) ? GetIDLayer(idWithLayer) : static_cast<unsigned short>(NET);
    auto it = m_ultFloodFill.find(UffWithLayer(kind->reportId, layer));
    return it != m_ultFloodFill.end() && !it->second.selected.IsEmpty();
}

QSSTATUS CProject::FloodFillUltimate(IFloodFillProgress* progress) {
    struct Target {
        const qssummary::UltKind* kind;
        unsigned short layer;
        QSUltFloodFillSetting setting;
    };
    std::vector<Target> targets;
    for (const qssummary::UltKind& k : qssummary::UltKinds())
        for (unsigned short l = 1; l <= kLayerCount; ++l) {
            auto it = m_ultFloodFill.find(UffWithLayer(k.reportId, l));
            // Calculated layers follow their sources; they take no input.
            if (it != m_ultFloodFill.end() && !it->second.selected.IsEmpty() && !IsLayerCalculated(l))
                targets.push_back({&k, l, it->second});
        }
    const int total = static_cast<int>(targets.size());
    int done = 0;
    bool wrote = false;
    qsff::FillOutcome outcome(progress);
    for (const Target& t : targets) {
        KernelPulse();
        auto* report = dynamic_cast<CSummaryReport*>(FindObject(t.kind->reportId, t.layer));
        if (progress) {
            if (progress->IsFloodFillCancelled()) {
                outcome.Cancel();
                break;
            }
            progress->OnFloodFillStep(done, total, report ? report->GetIDLongName() : std::string());
        }
        ++done;
        if (!report) {
            outcome.Fail(std::string(), qsk::kUnknownId);
            continue;
        }
        const int selPos = report->FindRole(CSummaryReport::CR_SELECTED);
        if (selPos < 0) {
            outcome.Fail(report->GetIDLongName(), qsff::kNoTarget);
            continue;
        }
        CDataObject* target = report->GetDataObject(selPos + 1);
        std::uint16_t rows = 0, cols = 0;
        target->GetMaxRowsCols(rows, cols);
        // The chosen estimate as a column of the report's rows.
        std::vector<double> v;
        std::vector<std::uint8_t> f;
        const CKDVUltFloodFillData& c = t.setting.selected;
        if (c.m_column == 0) {
            if (!qssummary::ReadTable(*this, c.m_id, t.layer, rows, v, f)) {
                outcome.Fail(report->GetIDLongName(), qsff::kNoSource);
                continue;
            }
        } else {
            const int pos = report->FindRole(c.m_column);
            if (pos < 0 || (c.m_column != CSummaryReport::CR_STRAIGHT && c.m_column != CSummaryReport::CR_WEIGHTED)) {
                outcome.Fail(report->GetIDLongName(), qsff::kNoSource);
                continue;
            }
            const CDataObject* src = report->GetDataObject(pos + 1);
            v.assign(src->Values().begin(), src->Values().end());
            f.assign(src->Flags().begin(), src->Flags().end());
            v.resize(rows, 0.0);
            f.resize(rows, CDataObject::CF_BLANK);
            for (std::uint8_t& x : f)
                x = (x & CDataObject::CF_NOTAVAIL) ? std::uint8_t(CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL)
                    : (x & CDataObject::CF_VALUE) ? std::uint8_t(CDataObject::CF_VALUE)
                                                  : std::uint8_t(CDataObject::CF_BLANK);
        }
        // The minimum: an ultimate is never below what is already reported.
        const CDataObject* minimum = t.setting.check ? FindDataObject(t.setting.minimumId, t.layer) : nullptr;
        if (minimum)
            for (int r = 0; r < rows; ++r) {
                double m = 0;
                if ((f[static_cast<std::size_t>(r)] & CDataObject::CF_VALUE) && UffLatestOf(*minimum, r, m) &&
                    v[static_cast<std::size_t>(r)] < m) {
                    v[static_cast<std::size_t>(r)] = m;
                    f[static_cast<std::size_t>(r)] |= CDataObject::CF_FFMIN;
                }
            }
        if (const QSSTATUS st = target->SetAllCells(v, f, 1)) {
            outcome.Fail(report->GetIDLongName(), st);
            continue;
        }
        wrote = true;
        // The kind's selected ultimate array takes the same values.
        if (CDataObject* arr = FindDataObject(MakeID(1, 1, 0, 0, t.kind->selectedArray), t.layer);
            arr && !arr->IsReadOnly()) {
            std::uint16_t ar = 0, ac = 0;
            arr->GetMaxRowsCols(ar, ac);
            if (ac == 1) {
                std::vector<double> av(v);
                std::vector<std::uint8_t> af(f);
                av.resize(ar, 0.0);
                af.resize(ar, CDataObject::CF_BLANK);
                arr->SetAllCells(av, af, 1);
            }
        }
    }
    if (progress) progress->OnFloodFillStep(done, total, std::string());
    if (wrote) SetModifiedFlag(true);
    return outcome.Status();
}
