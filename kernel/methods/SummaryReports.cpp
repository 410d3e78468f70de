#include "SummaryReports.h"

#include <algorithm>
#include <cmath>

#include "CArchive.h"
#include "CException.h"
#include "CProject.h"
#include "FloodFill.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "KernelStream.h"

namespace {

[[maybe_unused]] const bool kSummaryReportFactoryRegistered = [] {
    CFormula::RegisterFactory(CSummaryReport::kStorageTag,
                              [] { return std::unique_ptr<CFormula>(new CSummaryReport()); });
    return true;
}();

constexpr std::uint16_t kSummaryLayoutVersion = 1;
constexpr std::uint8_t kSumNA = CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL;

bool SumIsUltimateId(QSID id) {
    const int kind = GetIDDOType(id);
    return (kind == 1 || kind == 2) && GetIDDataType(id) == 2;
}

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

std::uint8_t SumCellState(std::uint8_t f) {
    if (f & CDataObject::CF_NOTAVAIL) return kSumNA;
    if (f & CDataObject::CF_VALUE) return CDataObject::CF_VALUE;
    return CDataObject::CF_BLANK;
}

int SumRows(const CProject& p) {
    return static_cast<int>(ProjectFormulaResolver::InfoOf(p).rowLen.size());
}

CSummaryReport* SumReportOf(const CProject& p, QSID id, unsigned short layer) {
    return dynamic_cast<CSummaryReport*>(p.FindObject(GetLayerNeutralID(id), layer));
}

}  // namespace

// ---------------------------------------------------------------- the report

CSummaryReport::CSummaryReport(QSID id) : CMethod(id) {
    SetSummaryReport(true);
    SetMethodType(MT_OTHER);
}

CSummaryReport::CSummaryReport(const CSummaryReport& o)
    : CMethod(o), m_roles(o.m_roles), m_colSources(o.m_colSources) {}

CSummaryReport& CSummaryReport::operator=(const CSummaryReport& o) {
    if (this == &o) return *this;
    UnbindTables();
    CMethod::operator=(o);
    m_roles = o.m_roles;
    m_colSources = o.m_colSources;
    return *this;
}

CSummaryReport::~CSummaryReport() { UnbindTables(); }

int CSummaryReport::GetColRole(int pos) const {
    return pos >= 0 && pos < static_cast<int>(m_roles.size()) ? m_roles[static_cast<std::size_t>(pos)] : -1;
}
QSID CSummaryReport::GetColSource(int pos) const {
    return pos >= 0 && pos < static_cast<int>(m_colSources.size()) ? m_colSources[static_cast<std::size_t>(pos)] : 0;
}
int CSummaryReport::FindRole(int role) const {
    for (std::size_t k = 0; k < m_roles.size(); ++k)
        if (m_roles[k] == role) return static_cast<int>(k);
    return -1;
}
int CSummaryReport::FindTable(QSID tableId) const {
    const QSID key = GetLayerNeutralID(tableId);
    for (std::size_t k = 0; k < m_roles.size(); ++k)
        if (m_roles[k] == CR_TABLE && m_colSources[k] == key) return static_cast<int>(k);
    return -1;
}

void CSummaryReport::UnbindTables() {
    // A source that was deleted has already left the source list.
    for (CFormula* s : m_tableSources) {
        const auto& now = GetSources();
        if (std::find(now.begin(), now.end(), s) != now.end()) RemoveSource(s);
    }
    m_tableSources.clear();
}

void CSummaryReport::BindTables() {
    UnbindTables();
    CProject* p = GetProject();
    if (!p) return;
    for (std::size_t k = 0; k < m_roles.size(); ++k) {
        if (m_roles[k] != CR_TABLE) continue;
        const QSID id = m_colSources[k];
        CFormula* f = SumIsUltimateId(id) ? p->FindObject(CMethod::MethodIDFromUltID(id), GetLayer())
                                          : p->FindObject(id, GetLayer());
        if (!f || f == this) continue;
        const auto& now = GetSources();
        if (std::find(now.begin(), now.end(), f) != now.end()) continue;
        AddSource(f);
        m_tableSources.push_back(f);
    }
    // The kind's selected ultimates: an edit there reaches the report.
    const qssummary::UltKind* kind = qssummary::FindUltKind(GetIDNum());
    if (kind && FindRole(CR_SELECTED) >= 0)
        if (CDataObject* arr = p->FindDataObject(MakeID(1, 1, 0, 0, kind->selectedArray), GetLayer())) {
            const auto& now = GetSources();
            if (std::find(now.begin(), now.end(), arr) == now.end()) {
                AddSource(arr);
                m_tableSources.push_back(arr);
            }
        }
}

QSSTATUS CSummaryReport::Rebuild(const QSSummaryRptOptions& options) {
    CProject* p = GetProject();
    if (!p) return qsk::kFail;
    // The selected ultimates survive a new layout.
    std::unique_ptr<CDataObject> kept;
    if (const int sel = FindRole(CR_SELECTED); sel >= 0) kept = std::make_unique<CDataObject>(*GetDataObject(sel + 1));
    UnbindTables();
    m_roles.clear();
    m_colSources.clear();
    while (GetNumDataObjects() > 0) RemoveColDef(GetNumDataObjects() - 1);

    const CStringStack none;
    auto add = [&](const std::string& name, int role, QSID source, int display) {
        const int pos = GetNumDataObjects();
        if (AddNewCol(pos, name, none, none) != qsk::kOk) return false;
        SetColHeader(pos, name);
        SetObjDisplayType(pos, display);
        SetObjTotalType(pos, TT_SUM);
        m_roles.push_back(role);
        m_colSources.push_back(source);
        return true;
    };
    int display = DT_CURRENCY;
    bool ok = true;
    for (QSID id : options.selected) {
        std::string name;
        const QSID named = SumIsUltimateId(id) ? CMethod::MethodIDFromUltID(id) : id;
        p->GetLongNameFromID(GetLayerNeutralID(named), name);
        const CFormula* f = SumIsUltimateId(id) ? nullptr : p->FindObject(id, GetLayer());
        int d = f ? f->GetDisplayType() : DT_CURRENCY;
        if (SumIsUltimateId(id)) {
            CDataObject* t = nullptr;
            if (p->UltimateMapLookup(SumWithLayer(id, GetLayer()), t) == qsk::kOk && t) d = t->GetDisplayType();
        }
        if (&id == &options.selected.front()) display = d;
        ok = ok && add(name.empty() ? std::to_string(id) : name, CR_TABLE, GetLayerNeutralID(id), d);
    }
    if (ok && options.straightAverage) ok = add("Straight Average", CR_STRAIGHT, 0, display);
    if (ok && options.weightedAverage) ok = add("Weighted Average", CR_WEIGHTED, 0, display);
    if (ok && options.selectedUltimate) ok = add("Selected Ultimate", CR_SELECTED, 0, display);
    if (!ok) return qsk::kFail;

    if (const int sel = FindRole(CR_SELECTED); sel >= 0) {
        CDataObject* col = GetDataObject(sel + 1);
        if (!kept) {
            // A new selected column starts from the kind's selected ultimates.
            if (const qssummary::UltKind* kind = qssummary::FindUltKind(GetIDNum()))
                if (CDataObject* arr = p->FindDataObject(MakeID(1, 1, GetLayer(), 0, kind->selectedArray), GetLayer()))
                    kept = std::make_unique<CDataObject>(*arr);
        }
        if (kept) {
            std::uint16_t rows = 0, cols = 0;
            col->GetMaxRowsCols(rows, cols);
            std::vector<double> v(rows, 0.0);
            std::vector<std::uint8_t> f(rows, CDataObject::CF_BLANK);
            std::map<std::uint32_t, std::string> notes;
            for (int r = 0; r < rows; ++r) {
                if (!kept->LocationIsValid(r, 0)) continue;
                v[static_cast<std::size_t>(r)] = kept->RawValue(r, 0);
                f[static_cast<std::size_t>(r)] = kept->RawFlags(r, 0);
            }
            for (const auto& [key, text] : kept->GetNotes())
                if (static_cast<int>(key >> 16) < rows && (key & 0xFFFF) == 0) notes[key] = text;
            col->ReplaceCells(std::move(v), std::move(f), std::move(notes));
        }
    }
    // A column carried over from the array is in step with it; kept
    // selections of the report win over the array.
    m_syncValues.clear();
    m_syncFlags.clear();
    BindTables();
    Recalculate();
    NotifyAll(XR_LAYOUT, 0);
    Changed();
    return qsk::kOk;
}

void CSummaryReport::FillColumns() {
    CProject* p = GetProject();
    if (!p || m_roles.size() != static_cast<std::size_t>(GetNumDataObjects())) return;
    const int rows = SumRows(*p);
    const unsigned short layer = GetLayer();
    const QSSummaryRptOptions* opt = p->FindSummaryRptOptions(SumWithLayer(GetIDNum(), layer));
    std::vector<std::vector<double>> vals, wts;
    std::vector<std::vector<std::uint8_t>> flags;
    bool changed = false;
    auto store = [&](int pos, const std::vector<double>& v, const std::vector<std::uint8_t>& f) {
        CDataObject* d = GetDataObject(pos + 1);
        std::uint16_t r = 0, c = 0;
        d->GetMaxRowsCols(r, c);
        if (r != rows || c != 1 || d->GetVectorType() != CDataObject::VT_COLUMN)
            d->SetShape(static_cast<std::uint16_t>(rows), 1, CDataObject::VT_COLUMN);
        if (d->Values() == v && d->Flags() == f) return;
        d->SetReadOnly(false);  // read-only to the user, not to the report
        d->SetAllCells(v, f, 0);
        changed = true;
    };
    for (std::size_t k = 0; k < m_roles.size(); ++k) {
        if (m_roles[k] != CR_TABLE) continue;
        std::vector<double> v;
        std::vector<std::uint8_t> f;
        if (!qssummary::ReadTable(*p, m_colSources[k], layer, rows, v, f)) {
            // A table that is gone shows as not available and leaves the averages.
            v.assign(static_cast<std::size_t>(rows), 0.0);
            f.assign(static_cast<std::size_t>(rows), kSumNA);
            store(static_cast<int>(k), v, f);
            continue;
        }
        store(static_cast<int>(k), v, f);
        std::vector<double> w(static_cast<std::size_t>(rows), 0.0);
        if (opt)
            for (int r = 0; r < rows; ++r) w[static_cast<std::size_t>(r)] = opt->weights.WeightAt(m_colSources[k], r, rows);
        vals.push_back(std::move(v));
        flags.push_back(std::move(f));
        wts.push_back(std::move(w));
    }
    std::vector<double> out;
    std::vector<std::uint8_t> outFlags;
    if (const int pos = FindRole(CR_STRAIGHT); pos >= 0) {
        qssummary::StraightAverage(vals, flags, out, outFlags);
        out.resize(static_cast<std::size_t>(rows), 0.0);
        outFlags.resize(static_cast<std::size_t>(rows), CDataObject::CF_BLANK);
        store(pos, out, outFlags);
    }
    if (const int pos = FindRole(CR_WEIGHTED); pos >= 0) {
        qssummary::WeightedAverage(vals, flags, wts, out, outFlags);
        out.resize(static_cast<std::size_t>(rows), 0.0);
        outFlags.resize(static_cast<std::size_t>(rows), CDataObject::CF_BLANK);
        store(pos, out, outFlags);
    }
    if (changed && GetViewedCount()) NotifyAll(XR_RELOAD, 0);
}

void CSummaryReport::SyncSelected() {
    CProject* p = GetProject();
    const qssummary::UltKind* kind = qssummary::FindUltKind(GetIDNum());
    const int sel = FindRole(CR_SELECTED);
    if (m_syncing || !p || !kind || sel < 0) return;
    CDataObject* col = GetDataObject(sel + 1);
    CDataObject* arr = p->FindDataObject(MakeID(1, 1, 0, 0, kind->selectedArray), GetLayer());
    if (!col || !arr || arr->IsReadOnly() || arr->Values().size() != col->Values().size()) return;
    const bool colEdited = col->Values() != m_syncValues || col->Flags() != m_syncFlags;
    if (arr->Values() != col->Values() || arr->Flags() != col->Flags()) {
        m_syncing = true;
        if (colEdited) {
            arr->SetAllCells(col->Values(), col->Flags(), 1);
        } else {
            col->ReplaceCells(arr->Values(), arr->Flags(), col->GetNotes());
            if (GetViewedCount()) NotifyAll(XR_RELOAD, 0);
        }
        m_syncing = false;
    }
    m_syncValues = col->Values();
    m_syncFlags = col->Flags();
}

bool CSummaryReport::Recalculate() {
    FillColumns();
    SyncSelected();
    const bool changed = CMethod::Recalculate();
    for (int k = 0; k < GetNumDataObjects(); ++k)
        if (CDataObject* d = GetDataObject(k + 1)) d->SetReadOnly(GetColRole(k) != CR_SELECTED);
    return changed;
}

void CSummaryReport::AfterLoad() {
    CMethod::AfterLoad();
    BindTables();
    Recalculate();
}

void CSummaryReport::Write(KernelWriter& w) const {
    CMethod::Write(w);
    w.U16(kSummaryLayoutVersion);
    w.U32(static_cast<std::uint32_t>(m_roles.size()));
    for (std::size_t k = 0; k < m_roles.size(); ++k) {
        w.I32(m_roles[k]);
        w.I32(m_colSources[k]);
    }
}

void CSummaryReport::Read(KernelReader& r, int version) {
    CMethod::Read(r, version);
    if (r.Failed()) return;
    const std::uint16_t layout = r.U16();
    const std::uint32_t n = r.Count(8);
    if (r.Failed() || layout == 0 || layout > kSummaryLayoutVersion ||
        n != static_cast<std::uint32_t>(GetNumDataObjects())) {
        r.Fail();
        return;
    }
    std::vector<int> roles(n);
    std::vector<QSID> sources(n);
    for (std::uint32_t k = 0; k < n; ++k) {
        roles[k] = r.I32();
        sources[k] = r.I32();
        if (roles[k] < CR_TABLE || roles[k] > CR_SELECTED || (roles[k] == CR_TABLE && sources[k] <= 0)) r.Fail();
    }
    if (r.Failed()) return;
    SetSummaryReport(true);
    m_roles = std::move(roles);
    m_colSources = std::move(sources);
}

// ---------------------------------------------------------------- helpers

namespace qssummary {

const std::vector<UltKind>& UltKinds() {
    static const std::vector<UltKind> kinds = {
        {301003003, 23, 11, "Ultimate Loss Estimates", "ULE", "Loss"},
        {301003012, 24, 10, "Ultimate ALAE Estimates", "UAE", "ALAE"},
        {301003021, 25, 19, "Ultimate Claims Estimates", "UCE", "Claims"},
        {301003028, 26, 20, "Ultimate S&S Estimates", "USE", "S&S"},
        {301003056, 27, 40, "Ultimate Premium Estimates", "UPE", "Premium"},
    };
    return kinds;
}

const UltKind* FindUltKind(QSID id) {
    const QSID key = GetLayerNeutralID(id);
    for (const UltKind& k : UltKinds())
        if (k.reportId == key) return &k;
    return nullptr;
}

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

bool ReadTable(const CProject& project, QSID id, unsigned short layer, int rows, std::vector<double>& values,
               std::vector<std::uint8_t>& flags) {
    values.assign(static_cast<std::size_t>(std::max(rows, 0)), 0.0);
    flags.assign(static_cast<std::size_t>(std::max(rows, 0)), CDataObject::CF_BLANK);
    const CDataObject* d = nullptr;
    if (SumIsUltimateId(id)) {
        CDataObject* t = nullptr;
        if (project.UltimateMapLookup(SumWithLayer(id, layer), t) != qsk::kOk) return false;
        d = t;
    } else {
        d = project.FindDataObject(GetLayerNeutralID(id), layer);
        if (d && d->GetVectorType() != CDataObject::VT_COLUMN) d = nullptr;
    }
    if (!d) return false;
    for (int r = 0; r < rows; ++r) {
        if (!d->LocationIsValid(r, 0)) continue;
        double v = 0;
        std::uint8_t f = 0;
        d->GetAt(r, 0, v, f);
        const std::uint8_t s = SumCellState(f);
        flags[static_cast<std::size_t>(r)] = (s == CDataObject::CF_VALUE && !std::isfinite(v)) ? kSumNA : s;
        if (flags[static_cast<std::size_t>(r)] == CDataObject::CF_VALUE) values[static_cast<std::size_t>(r)] = v;
    }
    return true;
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

void StraightAverage(const std::vector<std::vector<double>>& values,
                     const std::vector<std::vector<std::uint8_t>>& flags, std::vector<double>& out,
                     std::vector<std::uint8_t>& outFlags) {
    std::size_t rows = 0;
    for (const auto& f : flags) rows = std::max(rows, f.size());
    out.assign(rows, 0.0);
    outFlags.assign(rows, CDataObject::CF_BLANK);
    for (std::size_t r = 0; r < rows; ++r) {
        double sum = 0;
        int n = 0;
        bool na = false;
        for (std::size_t j = 0; j < values.size(); ++j) {
            if (r >= flags[j].size()) continue;
            if (flags[j][r] & CDataObject::CF_NOTAVAIL) na = true;
            else if (flags[j][r] & CDataObject::CF_VALUE) sum += values[j][r], ++n;
        }
        if (na) outFlags[r] = kSumNA;
        else if (n > 0 && std::isfinite(sum / n)) out[r] = sum / n, outFlags[r] = CDataObject::CF_VALUE;
        else if (n > 0) outFlags[r] = kSumNA;
    }
}

void WeightedAverage(const std::vector<std::vector<double>>& values,
                     const std::vector<std::vector<std::uint8_t>>& flags,
                     const std::vector<std::vector<double>>& weights, std::vector<double>& out,
                     std::vector<std::uint8_t>& outFlags) {
    std::size_t rows = 0;
    for (const auto& f : flags) rows = std::max(rows, f.size());
    out.assign(rows, 0.0);
    outFlags.assign(rows, CDataObject::CF_BLANK);
    for (std::size_t r = 0; r < rows; ++r) {
        double sw = 0, swx = 0;
        bool na = false;
        for (std::size_t j = 0; j < values.size(); ++j) {
            const double w = j < weights.size() && r < weights[j].size() ? weights[j][r] : 0.0;
            if (r >= flags[j].size() || !(w > 0.0) || !std::isfinite(w)) continue;
            if (flags[j][r] & CDataObject::CF_NOTAVAIL) na = true;
            else if (flags[j][r] & CDataObject::CF_VALUE) sw += w, swx += w * values[j][r];
        }
        if (na) outFlags[r] = kSumNA;
        else if (sw > 0.0 && std::isfinite(swx / sw)) out[r] = swx / sw, outFlags[r] = CDataObject::CF_VALUE;
        else if (sw > 0.0) outFlags[r] = kSumNA;
    }
}

// Layout (an archive): U32 count, per report I32 id with layer, U32 table
// count and I32 each, I32 straight, I32 selected, I32 weighted, I32 display
// weights, the weights (CKDVUltWeightDataInfo); then U32 count, per kind I32
// kind id with layer, the chosen estimate (CKDVUltFloodFillData), I32
// minimum id, I32 check.
std::vector<std::uint8_t> SaveState(const std::map<QSID, QSSummaryRptOptions>& reports,
                                    const std::map<QSID, QSUltFloodFillSetting>& ultFills) {
    std::vector<std::uint8_t> bytes;
    CArchive ar(bytes, CArchive::store);
    ar << static_cast<std::uint32_t>(reports.size());
    for (const auto& [id, o] : reports) {
        ar << static_cast<std::int32_t>(id) << static_cast<std::uint32_t>(o.selected.size());
        for (QSID t : o.selected) ar << static_cast<std::int32_t>(t);
        ar << static_cast<std::int32_t>(o.straightAverage) << static_cast<std::int32_t>(o.selectedUltimate)
           << static_cast<std::int32_t>(o.weightedAverage) << static_cast<std::int32_t>(o.displayWeights);
        const_cast<CKDVUltWeightDataInfo&>(o.weights).Serialize(ar);
    }
    ar << static_cast<std::uint32_t>(ultFills.size());
    for (const auto& [id, s] : ultFills) {
        ar << static_cast<std::int32_t>(id);
        const_cast<CKDVUltFloodFillData&>(s.selected).Serialize(ar);
        ar << static_cast<std::int32_t>(s.minimumId) << static_cast<std::int32_t>(s.check);
    }
    ar.Close();
    return bytes;
}

bool LoadState(const std::vector<std::uint8_t>& bytes, std::map<QSID, QSSummaryRptOptions>& reports,
               std::map<QSID, QSUltFloodFillSetting>& ultFills) {
    reports.clear();
    ultFills.clear();
    try {
        std::vector<std::uint8_t> copy = bytes;
        CArchive ar(copy, CArchive::load);
        auto flag = [&] {
            std::int32_t v = 0;
            ar >> v;
            if (v != 0 && v != 1) throw CArchiveException(CArchiveException::genericException, "summary flag");
            return static_cast<int>(v);
        };
        std::uint32_t n = 0;
        ar >> n;
        if (n > ar.GetBytesRemaining() / 8) return false;
        for (std::uint32_t i = 0; i < n; ++i) {
            std::int32_t id = 0;
            std::uint32_t count = 0;
            ar >> id >> count;
            if (count > ar.GetBytesRemaining() / 4) return false;
            QSSummaryRptOptions o;
            o.selected.resize(count);
            for (QSID& t : o.selected) {
                std::int32_t v = 0;
                ar >> v;
                t = v;
            }
            o.straightAverage = flag();
            o.selectedUltimate = flag();
            o.weightedAverage = flag();
            o.displayWeights = flag();
            o.weights.Serialize(ar);
            reports[id] = std::move(o);
        }
        ar >> n;
        if (n > ar.GetBytesRemaining() / 8) return false;
        for (std::uint32_t i = 0; i < n; ++i) {
            std::int32_t id = 0, minimum = 0;
            QSUltFloodFillSetting s;
            ar >> id;
            s.selected.Serialize(ar);
            ar >> minimum;
            s.minimumId = minimum;
            s.check = flag();
            ultFills[id] = std::move(s);
        }
        return ar.GetBytesRemaining() == 0;
    } catch (const CException&) {
        reports.clear();
        ultFills.clear();
        return false;
    }
}

}  // namespace qssummary

// ---------------------------------------------------------------- project calls

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
