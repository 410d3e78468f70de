// The project's calls on its methods and summary reports.
#include <algorithm>

#include "CMethod.h"
#include "CProject.h"
#include "KernelIds.h"
#include "ProjectSummaryReports.h"
#include "SummaryReports.h"

namespace {

QSID SumWithLayer(QSID id, unsigned short layer) {
    QSID k = GetLayerNeutralID(id);
    SetIDLayer(k, layer);
    return k;
}

unsigned short SumLayerOf(QSID id, unsigned short layer) {
    if (layer) return layer;
    const unsigned short l = GetIDLayer(id);
    return l ? l : static_cast<unsigned short>(NET);
}

int SumRows(const CProject& p) {
    return static_cast<int>(ProjectFormulaResolver::InfoOf(p).rowLen.size());
}

CSummaryReport* SumReportOf(const CProject& p, QSID id, unsigned short layer) {
    return dynamic_cast<CSummaryReport*>(p.FindObject(GetLayerNeutralID(id), layer));
}

}  // namespace

QSSTATUS CProject::AddNewObject(CMethod& proto, QSID& id, int user) {
    const bool report = proto.IsReport() || (id && GetIDDataType(id) == 3);
    CMethod copy(proto);
    copy.SetProject(nullptr);
    copy.SetReport(report);
    const QSSTATUS st = AddNewFormulaObject(copy, user ? 4 : 3, report ? 3 : 2,
                                            report ? qsk::kCatReport : qsk::kCatMethod, true, id);
    if (st) return st;
    for (unsigned short l = 1; l <= kLayerCount; ++l)
        if (CFormula* f = FindObject(id, l)) f->AfterLoad();
    return qsk::kOk;
}

bool CProject::IsIDSummaryReport(QSID id) const {
    unsigned short layer = GetIDLayer(id);
    const auto* m = dynamic_cast<const CMethod*>(FindObject(id, layer ? layer : static_cast<unsigned short>(NET)));
    return m && m->IsSummaryReport();
}

QSSTATUS CProject::UltimateMapLookup(QSID ultId, CDataObject*& table) const {
    return CMethod::FindUltimateColumn(*this, ultId, table);
}

namespace qssummary {

QSSTATUS AddSummaryReport(CProject& project, const std::string& name, const std::string& shortName, bool user,
                          QSID& id) {
    CSummaryReport proto;
    proto.SetIDLongName(name);
    proto.SetIDShortName(shortName);
    const QSSTATUS st = project.AddNewFormulaObject(proto, user ? 4 : 3, 3, qsk::kCatReport, true, id);
    if (st) return st;
    for (unsigned short l = 1; l <= kLayerCount; ++l)
        if (CFormula* f = project.FindObject(id, l)) f->AfterLoad();
    return qsk::kOk;
}

QSSTATUS AddStandardSummaryReports(CProject& project) {
    for (const UltKind& k : UltKinds()) {
        if (project.IDExists(k.reportId)) continue;
        QSID id = k.reportId;
        const QSSTATUS st = AddSummaryReport(project, k.name, k.shortName, false, id);
        if (st) return st;
    }
    return qsk::kOk;
}

QSIDArray AvailableTables(const CProject& project) {
    QSIDArray methods, arrays;
    project.ForEachObject([&](QSID baseId, unsigned short layer, CFormula* obj) {
        if (layer > 1) return;
        if (auto* m = dynamic_cast<CMethod*>(obj)) {
            if (!m->IsReport() && m->GetUltID()) methods.push_back(GetLayerNeutralID(m->GetUltID()));
            return;
        }
        auto* d = dynamic_cast<CDataObject*>(obj);
        const int kind = GetIDDOType(baseId);
        if (!d || (kind != 1 && kind != 2) || GetIDDataType(baseId) != 0 || d->GetVectorType() != CDataObject::VT_COLUMN)
            return;
        const int index = GetIDIndex(baseId);
        if (kind == 1 && index >= CProject::kFirstSelectedUltimate &&
            index < CProject::kFirstSelectedUltimate + CProject::kUltimateCount)
            return;  // the selected ultimates are what a report selects into
        arrays.push_back(GetLayerNeutralID(baseId));
    });
    std::sort(methods.begin(), methods.end());
    std::sort(arrays.begin(), arrays.end());
    methods.insert(methods.end(), arrays.begin(), arrays.end());
    return methods;
}

}  // namespace qssummary

QSSTATUS CProject::GetSummaryRptOptions(QSID id, unsigned short layer, QSIDArray& selected, QSIDArray& available,
                                        int& straightAverage, int& selectedUltimate, int& weightedAverage,
                                        CKDVUltWeightDataInfo& weights, int& displayWeights,
                                        std::vector<bool>* flags) const {
    layer = SumLayerOf(id, layer);
    if (layer > kLayerCount) return qsk::kBadLayer;
    if (!IsIDSummaryReport(SumWithLayer(id, layer))) return qsk::kUnknownId;
    QSSummaryRptOptions o;
    if (const QSSummaryRptOptions* stored = FindSummaryRptOptions(SumWithLayer(id, layer))) o = *stored;
    selected = o.selected;
    available = qssummary::AvailableTables(*this);
    straightAverage = o.straightAverage;
    selectedUltimate = o.selectedUltimate;
    weightedAverage = o.weightedAverage;
    displayWeights = o.displayWeights;
    weights = o.weights;
    if (flags) {
        flags->clear();
        const int rows = SumRows(*this);
        for (QSID t : available) {
            std::vector<double> v;
            std::vector<std::uint8_t> f;
            bool any = false;
            if (qssummary::ReadTable(*this, t, layer, rows, v, f))
                for (std::uint8_t c : f) any = any || c == CDataObject::CF_VALUE;
            flags->push_back(any);
        }
    }
    return qsk::kOk;
}

QSSTATUS CProject::SetSummaryRptOptions(QSID id, unsigned short layer, const QSIDArray& selected,
                                        int straightAverage, int selectedUltimate, int weightedAverage,
                                        int displayWeights, const CKDVUltWeightDataInfo& weights) {
    layer = SumLayerOf(id, layer);
    if (layer > kLayerCount) return qsk::kBadLayer;
    if (!IsIDSummaryReport(SumWithLayer(id, layer))) return qsk::kUnknownId;
    if (selected.empty()) return qsk::kFail;
    const QSIDArray available = qssummary::AvailableTables(*this);
    QSSummaryRptOptions o;
    for (QSID t : selected) {
        const QSID key = GetLayerNeutralID(t);
        if (std::find(available.begin(), available.end(), key) == available.end()) return qsk::kUnknownId;
        if (std::find(o.selected.begin(), o.selected.end(), key) != o.selected.end()) return qsk::kFail;
        o.selected.push_back(key);
    }
    o.straightAverage = straightAverage ? 1 : 0;
    o.selectedUltimate = selectedUltimate ? 1 : 0;
    o.weightedAverage = weightedAverage ? 1 : 0;
    o.displayWeights = displayWeights ? 1 : 0;
    if (weights.GetNumLatest() < 0 || weights.GetNumLatest() > CKDVUltWeightDataInfo::kMaxLatest) return qsk::kFail;
    o.weights.SetNumLatest(weights.GetNumLatest());
    o.weights.SetLayer(layer);
    for (int i = 0; i < weights.GetCount(); ++i) {
        const CKDVUltWeightData& d = weights.GetAt(i);
        if (!d.IsValid()) return qsk::kFail;
        // Weights of tables the report no longer gathers are dropped.
        if (std::find(o.selected.begin(), o.selected.end(), GetLayerNeutralID(d.GetID())) != o.selected.end())
            o.weights.SetColData(d);
    }
    const QSID key = SumWithLayer(id, layer);
    auto it = m_summaryRpt.find(key);
    const bool changed = it == m_summaryRpt.end() || !(it->second == o);
    m_summaryRpt[key] = o;
    if (changed) SetModifiedFlag(true);
    if (CSummaryReport* r = SumReportOf(*this, id, layer)) return r->Rebuild(o);
    return qsk::kOk;
}

const QSSummaryRptOptions* CProject::FindSummaryRptOptions(QSID idWithLayer) const {
    auto it = m_summaryRpt.find(idWithLayer);
    return it == m_summaryRpt.end() ? nullptr : &it->second;
}

QSSTATUS CProject::UltimateMapLookup(QSID reportId, int role, CDataObject*& table) const {
    table = nullptr;
    const unsigned short layer = SumLayerOf(reportId, 0);
    if (layer > kLayerCount) return qsk::kBadLayer;
    const CSummaryReport* r = SumReportOf(*this, reportId, layer);
    if (!r) return qsk::kUnknownId;
    if (role < CSummaryReport::CR_STRAIGHT || role > CSummaryReport::CR_SELECTED) return qsk::kFail;
    const int pos = r->FindRole(role);
    if (pos < 0) return qsk::kFail;
    table = const_cast<CSummaryReport*>(r)->GetDataObject(pos + 1);
    return table ? qsk::kOk : qsk::kFail;
}

QSSTATUS CProject::UltimateMapLookup(QSID reportId, QSID tableId, CDataObject*& table,
                                     CKDVUltWeightData& weights) const {
    table = nullptr;
    const unsigned short layer = SumLayerOf(reportId, 0);
    if (layer > kLayerCount) return qsk::kBadLayer;
    const CSummaryReport* r = SumReportOf(*this, reportId, layer);
    if (!r) return qsk::kUnknownId;
    const int pos = r->FindTable(tableId);
    if (pos < 0) return qsk::kFail;
    table = const_cast<CSummaryReport*>(r)->GetDataObject(pos + 1);
    weights = CKDVUltWeightData(GetLayerNeutralID(tableId), 0.0);
    if (const QSSummaryRptOptions* o = FindSummaryRptOptions(SumWithLayer(reportId, layer)))
        o->weights.GetColData(tableId, weights);
    return table ? qsk::kOk : qsk::kFail;
}
