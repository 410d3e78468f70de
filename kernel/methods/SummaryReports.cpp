#include "SummaryReports.h"

#include <algorithm>
#include <cmath>

#include "CArchive.h"
#include "CException.h"
#include "CellKey.h"
#include "FormulaBinding.h"
#include "KernelIds.h"
#include "KernelStream.h"
#include "MethodOwner.h"

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

std::uint8_t SumCellState(std::uint8_t f) {
    if (f & CDataObject::CF_NOTAVAIL) return kSumNA;
    if (f & CDataObject::CF_VALUE) return CDataObject::CF_VALUE;
    return CDataObject::CF_BLANK;
}

int SumRows(const IObjectOwner& p) {
    return static_cast<int>(ProjectFormulaResolver::InfoOf(p).rowLen.size());
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
    const IObjectOwner* p = GetOwner();
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
    const IObjectOwner* p = GetOwner();
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
            if (CMethod::FindUltimateColumn(*p, SumWithLayer(id, GetLayer()), t) == qsk::kOk && t) d = t->GetDisplayType();
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
                if (const CellKey cell = CellKey::FromPacked(key); cell.row < rows && cell.col == 0) notes[key] = text;
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
    const IObjectOwner* p = GetOwner();
    if (!p || m_roles.size() != static_cast<std::size_t>(GetNumDataObjects())) return;
    const int rows = SumRows(*p);
    const unsigned short layer = GetLayer();
    const auto* reports = dynamic_cast<const IMethodOwner*>(p);
    const QSSummaryRptOptions* opt = reports ? reports->FindSummaryRptOptions(SumWithLayer(GetIDNum(), layer)) : nullptr;
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
    const IObjectOwner* p = GetOwner();
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

bool ReadTable(const IObjectOwner& project, QSID id, unsigned short layer, int rows, std::vector<double>& values,
               std::vector<std::uint8_t>& flags) {
    values.assign(static_cast<std::size_t>(std::max(rows, 0)), 0.0);
    flags.assign(static_cast<std::size_t>(std::max(rows, 0)), CDataObject::CF_BLANK);
    const CDataObject* d = nullptr;
    if (SumIsUltimateId(id)) {
        CDataObject* t = nullptr;
        if (CMethod::FindUltimateColumn(project, SumWithLayer(id, layer), t) != qsk::kOk) return false;
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
