#include "FormulaBinding.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "CExhibit.h"
#include "CMethod.h"
#include "CScalar.h"
#include "CellKey.h"
#include "FormulaInternal.h"
#include "KernelIds.h"
#include "KernelStream.h"
#include "ObjectOwner.h"

using qsformula::Value;

// ---- CFormula's formula calls: objects without formulas ----------------------------

QSSTATUS CFormula::GetFormula(CStringStack& raw, CStringStack& resolved) const {
    raw.RemoveAll();
    resolved.RemoveAll();
    return qsk::kOk;
}

QSSTATUS CFormula::SetFormula(const CStringStack&, const CStringStack&) { return qsk::kFail; }

QSSTATUS CFormula::ClearFormula() { return qsk::kOk; }

QSSTATUS CFormula::SetFootnoteString(const std::string& text) {
    if (text == m_footnote) return qsk::kOk;
    m_footnote = text;
    if (!GetDependentObjects().empty() && (SameIDType(m_id, 101010494) || SameIDType(m_id, 101010497))) Changed();
    return qsk::kOk;
}

namespace {

[[maybe_unused]] const bool kUserTableFactoryRegistered = [] {
    CFormula::RegisterFactory(CUserTable::kStorageTag, [] { return std::unique_ptr<CFormula>(new CUserTable()); });
    CFormula::RegisterFactory(CUserExhibit::kStorageTag, [] { return std::unique_ptr<CFormula>(new CUserExhibit()); });
    return true;
}();

constexpr std::uint8_t kMarkBits = CDataObject::CF_FFMIN | CDataObject::CF_ADJCUTOFF | CDataObject::CF_MARK;
constexpr std::uint16_t kFormulaLayoutVersion = 1;

}  // namespace

// ---- resolver ------------------------------------------------------------------------

ProjectFormulaResolver::ProjectFormulaResolver(const IObjectOwner& project, unsigned short layer)
    : m_project(project), m_layer(layer), m_info(InfoOf(project)) {}

const CFormula* ProjectFormulaResolver::Find(QSID id) const {
    auto it = m_local.find(id);
    if (it != m_local.end()) return it->second;
    unsigned short layer = GetIDLayer(id);
    if (!layer) layer = m_layer ? m_layer : static_cast<unsigned short>(NET);
    // A method's column, or its ultimate by the calculated-ultimate id: the
    // method is the object the formula depends on.
    int serial = 0;
    QSID method = CMethod::MethodIDFromColRef(id, serial);
    if (!method && !m_project.IDExists(id)) method = CMethod::MethodIDFromUltID(id);
    if (method) {
        const auto* m = dynamic_cast<const CMethod*>(m_project.FindObject(method, layer));
        if (!m || (serial ? !m->FindColumnBySerial(serial) : !m->GetUltimateColumn())) return nullptr;
        return m;
    }
    return m_project.FindObject(id, layer);
}

namespace {

// The text between the first (or last) "[" and the "]" after it.
std::string AdjustmentParameter(const std::string& text, bool last) {
    const std::size_t open = last ? text.rfind('[') : text.find('[');
    if (open == std::string::npos) return {};
    const std::size_t close = text.find(']', open);
    return close == std::string::npos ? std::string() : text.substr(open + 1, close - open - 1);
}

// A data-adjustment table read by a formula: its footnote ("Data Adjustment
// using Diagonal=[d] and cut off after [a] months") limits the adjustment to
// the base diagonal d and the diagonals before it, and to the ages up to a;
// the cells outside read blank, so the functions leave them as reported.
struct AdjustmentWindow {
    bool active = false;
    int back = 0;  // diagonals newer than the base are left alone
    bool hasCutoff = false;
    long cutoff = -1;
    bool Excludes(int c, int len, const qsformula::ProjectInfo& info) const {
        const bool newer = len - 1 - c < back;
        const bool late = hasCutoff && c < static_cast<int>(info.ages.size()) && info.ages[static_cast<std::size_t>(c)] > cutoff;
        return newer || late;
    }
};

AdjustmentWindow WindowOf(const IObjectOwner& project, const CFormula& table) {
    AdjustmentWindow w;
    std::string note;
    table.GetFootnoteString(note);
    if (note.find('[') == std::string::npos) return w;  // no parameters: the whole table
    w.active = true;
    QSStringArray calendar;
    std::string caption;
    project.GetLabels(calendar, LBL_CALENDAR, caption, -1);
    const std::string diagonal = AdjustmentParameter(note, false);
    for (std::size_t i = 0; i < calendar.size(); ++i)
        if (!diagonal.empty() && calendar[i] == diagonal) w.back = static_cast<int>(calendar.size() - 1 - i);
    const std::string cut = AdjustmentParameter(note, true);
    char* end = nullptr;
    w.cutoff = cut.empty() ? -1 : std::strtol(cut.c_str(), &end, 10);
    w.hasCutoff = !cut.empty() && end != cut.c_str() && w.cutoff > 0;
    return w;
}

void ApplyAdjustmentWindow(const IObjectOwner& project, const CFormula& table, const qsformula::ProjectInfo& info,
                           Value& v) {
    if (v.type != qsformula::kTriangle) return;
    const AdjustmentWindow w = WindowOf(project, table);
    if (!w.active) return;
    for (int r = 0; r < v.rows; ++r) {
        const int len = v.rowLen.empty() ? v.cols : v.rowLen[static_cast<std::size_t>(r)];
        for (int c = 0; c < v.cols; ++c) {
            if (!w.Excludes(c, len, info)) continue;
            v.v[v.Index(r, c)] = 0;
            v.f[v.Index(r, c)] = 0;
        }
    }
}

// One stored cell as Read gives it.
void ReadCell(const CDataObject& d, std::size_t i, double& v, std::uint8_t& f) {
    const std::uint8_t flags = d.Flags()[i];
    v = 0.0;
    f = qsformula::kBlank;
    if (flags & CDataObject::CF_NOTAVAIL) {
        f = qsformula::kNotAvail;
    } else if (flags & CDataObject::CF_VALUE) {
        v = d.Values()[i];
        f = qsformula::kHasValue;
    }
}

bool IsAdjustmentTable(QSID id) { return SameIDType(id, 101010494) || SameIDType(id, 101010497); }

}  // namespace

bool ProjectFormulaResolver::Resolve(QSID id, Value& out) const {
    const CFormula* f = Find(id);
    if (!f) return false;
    if (IsAdjustmentTable(id)) {
        if (!Read(*f, out)) return false;
        ApplyAdjustmentWindow(m_project, *f, m_info, out);
        return true;
    }
    int serial = 0;
    if (CMethod::MethodIDFromColRef(id, serial)) {
        const auto* m = dynamic_cast<const CMethod*>(f);
        const CDataObject* column = m ? m->FindColumnBySerial(serial) : nullptr;
        return column && Read(*column, out);
    }
    return Read(*f, out);
}

bool ProjectFormulaResolver::ResolveShape(QSID id, qsformula::Shape& shape) const {
    int serial = 0;
    if (CMethod::MethodIDFromColRef(id, serial)) return false;
    const CFormula* f = Find(id);
    if (!f) return false;
    if (dynamic_cast<const CScalar*>(f)) {
        shape = qsformula::Shape{};
        return true;
    }
    if (dynamic_cast<const CMethod*>(f) || dynamic_cast<const CExhibit*>(f)) return false;
    const auto* d = dynamic_cast<const CDataObject*>(f);
    if (!d) return false;
    std::uint16_t rows = 0, cols = 0;
    d->GetMaxRowsCols(rows, cols);
    shape = qsformula::Shape{};
    shape.type = qsformula::kTriangle;
    if (d->GetVectorType() == CDataObject::VT_ROW) shape.type = qsformula::kRow;
    if (d->GetVectorType() == CDataObject::VT_COLUMN) shape.type = qsformula::kColumn;
    shape.rows = rows;
    shape.cols = cols;
    shape.interval = shape.type == qsformula::kColumn ? 0 : d->GetInterval();
    if (shape.type == qsformula::kTriangle && !d->GetRowLengths().empty())
        shape.rowLen.assign(d->GetRowLengths().begin(), d->GetRowLengths().end());
    return true;
}

bool ProjectFormulaResolver::ResolveCells(QSID id, const std::vector<std::pair<int, int>>& cells, Value& out) const {
    int serial = 0;
    if (CMethod::MethodIDFromColRef(id, serial)) return false;
    const auto* d = dynamic_cast<const CDataObject*>(Find(id));
    if (!d || d->GetVectorType() != CDataObject::VT_TRIANGLE) return false;
    std::uint16_t rows = 0, cols = 0;
    d->GetMaxRowsCols(rows, cols);
    AdjustmentWindow w;
    if (IsAdjustmentTable(id)) w = WindowOf(m_project, *d);
    const std::vector<std::uint16_t>& lens = d->GetRowLengths();
    out = Value::MakeColumn(static_cast<int>(cells.size()));
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const auto [r, c] = cells[k];
        if (r < 0 || c < 0 || r >= rows || c >= cols) return false;
        ReadCell(*d, static_cast<std::size_t>(r) * cols + c, out.v[k], out.f[k]);
        if (w.active && w.Excludes(c, lens.empty() ? cols : lens[static_cast<std::size_t>(r)], m_info)) {
            out.v[k] = 0;
            out.f[k] = 0;
        }
    }
    return true;
}

bool ProjectFormulaResolver::ResolveColumns(QSID id, const std::vector<int>& cols, Value& out) const {
    int serial = 0;
    if (CMethod::MethodIDFromColRef(id, serial)) return false;
    const auto* d = dynamic_cast<const CDataObject*>(Find(id));
    if (!d || d->GetVectorType() != CDataObject::VT_TRIANGLE) return false;
    std::uint16_t rows = 0, width = 0;
    d->GetMaxRowsCols(rows, width);
    for (int c : cols)
        if (c < 0 || c >= width) return false;
    AdjustmentWindow w;
    if (IsAdjustmentTable(id)) w = WindowOf(m_project, *d);
    const std::vector<std::uint16_t>& lens = d->GetRowLengths();
    const int n = static_cast<int>(cols.size());
    out = Value::Make(qsformula::kTriangle, rows, n, d->GetInterval());
    if (!lens.empty()) out.rowLen.assign(rows, 0);
    for (int r = 0; r < rows; ++r) {
        const int len = lens.empty() ? width : lens[static_cast<std::size_t>(r)];
        for (int i = 0; i < n; ++i) {
            const int c = cols[static_cast<std::size_t>(i)];
            const std::size_t o = out.Index(r, i);
            ReadCell(*d, static_cast<std::size_t>(r) * width + c, out.v[o], out.f[o]);
            if (w.active && w.Excludes(c, len, m_info)) {
                out.v[o] = 0;
                out.f[o] = 0;
            }
            if (!lens.empty() && c < len) ++out.rowLen[static_cast<std::size_t>(r)];
        }
    }
    return true;
}

bool ProjectFormulaResolver::Read(const CFormula& object, Value& out) {
    if (const auto* s = dynamic_cast<const CScalar*>(&object)) {
        double x = 0;
        out = s->GetValue(x) == qsk::kOk ? Value::Scalar(x) : Value::BlankScalar();
        return true;
    }
    if (const auto* m = dynamic_cast<const CMethod*>(&object)) {
        // A method reads as its ultimate column.
        const CDataObject* ult = m->GetUltimateColumn();
        return ult && Read(*ult, out);
    }
    if (const auto* ex = dynamic_cast<const CExhibit*>(&object)) {
        // The exhibit's getters bind it to its source on first use, hence not const.
        auto* e = const_cast<CExhibit*>(ex);
        CDataObject* d = nullptr;
        if (e->GetSDFObject(d) != qsk::kOk || !d) e->GetFactorTriangle(d);
        return d && Read(*d, out);
    }
    const auto* d = dynamic_cast<const CDataObject*>(&object);
    if (!d) return false;
    std::uint16_t rows = 0, cols = 0;
    d->GetMaxRowsCols(rows, cols);
    int type = qsformula::kTriangle;
    if (d->GetVectorType() == CDataObject::VT_ROW) type = qsformula::kRow;
    if (d->GetVectorType() == CDataObject::VT_COLUMN) type = qsformula::kColumn;
    out = Value::Make(type, rows, cols, type == qsformula::kColumn ? 0 : d->GetInterval());
    if (type == qsformula::kTriangle && !d->GetRowLengths().empty())
        out.rowLen.assign(d->GetRowLengths().begin(), d->GetRowLengths().end());
    const auto& values = d->Values();
    const auto& flags = d->Flags();
    for (std::size_t i = 0; i < out.v.size() && i < values.size(); ++i) {
        if (flags[i] & CDataObject::CF_NOTAVAIL) {
            out.f[i] = qsformula::kNotAvail;
        } else if (flags[i] & CDataObject::CF_VALUE) {
            out.v[i] = values[i];
            out.f[i] = qsformula::kHasValue;
        }
    }
    return true;
}

qsformula::ProjectInfo ProjectFormulaResolver::InfoOf(const IObjectOwner& project) {
    qsformula::ProjectInfo info;
    const QSStructure& s = project.GetStructure();
    info.expLength = s.expLength;
    info.devLength = s.devLength;
    for (int c = 0; c < s.numDev; ++c) {
        int months = 0;
        if (project.GetDevPeriod(months, c) != qsk::kOk) months = s.firstDevAge + c * s.devLength;
        info.ages.push_back(months);
    }
    // The staircase every triangle of the project has, read from the paid
    // loss triangle every project holds (a look-up, not a walk: resolvers are
    // made for every calculation).
    if (const CDataObject* d = project.FindDataObject(MakeID(1, 1, 0, 0, 1), NET);
        d && d->GetVectorType() == CDataObject::VT_TRIANGLE) {
        std::uint16_t rows = 0, cols = 0;
        d->GetMaxRowsCols(rows, cols);
        if (rows == s.numExp && cols == s.numDev)
            for (int r = 0; r < rows; ++r)
                info.rowLen.push_back(d->GetRowLengths().empty() ? cols : d->GetRowLengths()[r]);
    }
    if (info.rowLen.empty()) {
        for (int i = 0; i < s.numExp; ++i) {
            const int months = (s.numExp - i) * s.expLength + s.evalExtra;
            int n = 0;
            for (int c = 0; c < s.numDev; ++c)
                if (info.ages[c] <= months || (s.prior && i == 0)) n = c + 1;
            info.rowLen.push_back(n);
        }
    }
    return info;
}

// ---- storing results -----------------------------------------------------------------

std::vector<std::uint32_t> StoreFormulaValue(const Value& value, CDataObject& target) {
    std::uint16_t rows = 0, cols = 0;
    target.GetMaxRowsCols(rows, cols);
    int type = qsformula::kTriangle;
    if (target.GetVectorType() == CDataObject::VT_ROW) type = qsformula::kRow;
    if (target.GetVectorType() == CDataObject::VT_COLUMN) type = qsformula::kColumn;
    const Value shape = Value::Make(type, rows, cols);
    Value fitted;
    bool fits = false;
    try {
        fitted = qsformula::detail::Broadcast(shape, value, [&](Value& out, std::size_t o, std::size_t, std::size_t iv) {
            out.v[o] = value.v[iv];
            out.f[o] = value.f[iv];
        });
        fits = fitted.type == type && fitted.rows == rows && fitted.cols == cols;
    } catch (const qsformula::detail::FormulaError&) {
    }
    std::vector<double> values = target.Values();
    std::vector<std::uint8_t> flags = target.Flags();
    std::vector<std::uint32_t> changed;
    const std::vector<std::uint16_t>& lens = target.GetRowLengths();
    for (int r = 0; r < rows; ++r)
        for (int c = 0, len = lens.empty() ? cols : std::min<int>(lens[r], cols); c < len; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * cols + c;
            double v = 0.0;
            std::uint8_t f = CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL;
            if (fits) {
                if (fitted.f[i] & qsformula::kHasValue) {
                    v = fitted.v[i];
                    f = CDataObject::CF_VALUE;
                } else if (!(fitted.f[i] & qsformula::kNotAvail)) {
                    f = CDataObject::CF_BLANK;
                }
            }
            f = static_cast<std::uint8_t>(f | (flags[i] & kMarkBits));
            if (f != flags[i] || v != values[i]) {
                values[i] = v;
                flags[i] = f;
                changed.push_back(CellKey{r, c}.Packed());
            }
        }
    if (!changed.empty()) target.ReplaceCells(std::move(values), std::move(flags), target.GetNotes());
    return changed;
}

// ---- definition ----------------------------------------------------------------------

QSSTATUS FormulaDefinition::Set(const CStringStack& raw, const CStringStack& resolved) {
    if (raw.IsEmpty()) {
        Clear();
        return qsk::kOk;
    }
    qsformula::Formula f;
    const QSSTATUS st = f.Compile(resolved);
    if (st) return st;
    m_raw = raw;
    m_resolved = resolved;
    m_formula = std::move(f);
    return qsk::kOk;
}

void FormulaDefinition::Clear() {
    m_raw.RemoveAll();
    m_resolved.RemoveAll();
    m_formula = qsformula::Formula();
}

QSSTATUS FormulaDefinition::Get(CStringStack& raw, CStringStack& resolved) const {
    raw = m_raw;
    resolved = m_resolved;
    return qsk::kOk;
}

void FormulaDefinition::Write(KernelWriter& w) const {
    w.U16(kFormulaLayoutVersion);
    m_raw.Write(w);
    m_resolved.Write(w);
}

void FormulaDefinition::Read(KernelReader& r) {
    const std::uint16_t version = r.U16();
    if (version == 0 || version > kFormulaLayoutVersion) {
        r.Fail();
        return;
    }
    CStringStack raw, resolved;
    raw.Read(r);
    resolved.Read(r);
    if (r.Failed()) return;
    // A stored formula that no longer compiles is kept as text (the user can
    // see and correct it); it calculates nothing.
    if (Set(raw, resolved) != qsk::kOk) {
        m_raw = raw;
        m_resolved = resolved;
        m_formula = qsformula::Formula();
    }
}

// ---- user tables ---------------------------------------------------------------------

CUserTable::CUserTable(const CUserTable& o) : CDataObject(o), m_def(o.m_def), m_lastStatus(o.m_lastStatus) {}

CUserTable& CUserTable::operator=(const CUserTable& o) {
    if (this == &o) return *this;
    Unbind();
    CDataObject::operator=(o);
    m_def = o.m_def;
    m_lastStatus = o.m_lastStatus;
    return *this;
}

CUserTable::~CUserTable() { Unbind(); }

QSSTATUS CUserTable::GetFormula(CStringStack& raw, CStringStack& resolved) const { return m_def.Get(raw, resolved); }

QSSTATUS CUserTable::SetFormula(const CStringStack& raw, const CStringStack& resolved) {
    FormulaDefinition keep = m_def;
    const QSSTATUS st = m_def.Set(raw, resolved);
    if (st) return st;
    if (GetOwner()) {
        const QSSTATUS bound = Bind();
        if (bound) {
            m_def = keep;
            Bind();
            return bound;
        }
        Recalculate();
        Changed();
    }
    return qsk::kOk;
}

QSSTATUS CUserTable::ClearFormula() {
    Unbind();
    m_def.Clear();
    m_lastStatus = 0;
    return qsk::kOk;
}

void CUserTable::Unbind() {
    for (CFormula* s : m_formulaSources) RemoveSource(s);
    m_formulaSources.clear();
}

QSSTATUS CUserTable::Bind() {
    Unbind();
    const IObjectOwner* p = GetOwner();
    if (!p || m_def.IsEmpty() || m_def.Compiled().IsEmpty()) return qsk::kOk;
    ProjectFormulaResolver resolver(*p, GetLayer());
    std::vector<CFormula*> sources;
    for (QSID id : m_def.Dependencies()) {
        auto* f = const_cast<CFormula*>(resolver.Find(id));
        if (!f) return qsformula::kUnknownObject;
        sources.push_back(f);
    }
    // Refuse a formula that reads this table or anything calculated from it.
    std::unordered_set<const CFormula*> downstream{this};
    std::vector<const CFormula*> todo{this};
    while (!todo.empty()) {
        const CFormula* f = todo.back();
        todo.pop_back();
        for (const CFormula* d : f->GetDependentObjects())
            if (downstream.insert(d).second) todo.push_back(d);
    }
    for (CFormula* s : sources)
        if (downstream.count(s)) return qsformula::kCircular;
    for (CFormula* s : sources) {
        // An object already a source (a layer relation) stays one when the formula goes.
        const auto& cur = GetSources();
        if (std::find(cur.begin(), cur.end(), s) != cur.end()) continue;
        AddSource(s);
        m_formulaSources.push_back(s);
    }
    return qsk::kOk;
}

void CUserTable::NotifyChanged(const std::vector<std::uint32_t>& changed) {
    if (changed.empty() || !GetViewedCount()) return;
    if (changed.size() > 256) {
        NotifyAll(XR_RELOAD, 0);
    } else {
        for (std::uint32_t k : changed) NotifyAll(XR_CELL, CellKey::FromPacked(k).Notice());
    }
}

std::vector<std::uint32_t> CUserTable::RecalculateWhole() {
    const IObjectOwner* p = GetOwner();
    if (!p) return {};
    ProjectFormulaResolver resolver(*p, GetLayer());
    Value v;
    m_lastStatus = m_def.Compiled().Evaluate(resolver, v);
    if (m_lastStatus) v = Value::Make(qsformula::kScalar, 1, 1), v.f[0] = qsformula::kNotAvail;
    std::vector<std::uint32_t> changed = StoreFormulaValue(v, *this);
    NotifyChanged(changed);
    return changed;
}

bool CUserTable::Recalculate() {
    if (m_def.IsEmpty()) return CDataObject::Recalculate();
    return !RecalculateWhole().empty();
}

CFormula::Change CUserTable::RecalculateChanges() {
    if (m_def.IsEmpty()) return CDataObject::RecalculateChanges();
    const IObjectOwner* p = GetOwner();
    if (!p) return Change::None();
    // A formula that works cell by cell on tables of this table's shape is
    // evaluated at the cells that changed in what it reads, and nowhere else.
    bool whole = m_lastStatus != 0 || GetVectorType() != VT_TRIANGLE;
    std::vector<std::uint32_t> keys;
    for (const CFormula* s : GetSources()) {
        const Change* c = SourceChange(s);
        if (!c || whole) continue;
        if (c->all) whole = true;
        keys.insert(keys.end(), c->cells.begin(), c->cells.end());
    }
    ProjectFormulaResolver resolver(*p, GetLayer());
    qsformula::Shape shape;
    if (!whole && m_def.Compiled().IsCellwise(resolver, shape)) {
        std::uint16_t rows = 0, cols = 0;
        GetMaxRowsCols(rows, cols);
        const std::vector<std::uint16_t>& lens = GetRowLengths();
        const bool same = shape.rows == rows && shape.cols == cols &&
                          std::equal(shape.rowLen.begin(), shape.rowLen.end(), lens.begin(), lens.end());
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        std::vector<std::pair<int, int>> cells;
        for (std::uint32_t k : keys) {
            const auto [r, c] = CellKey::FromPacked(k);
            if (LocationIsValid(r, c)) cells.emplace_back(r, c);
        }
        Value v;
        if (same && (cells.empty() || (m_def.Compiled().EvaluateCells(resolver, cells, v) == qsk::kOk &&
                                       (v.type == qsformula::kScalar || v.Size() == static_cast<int>(cells.size()))))) {
            std::vector<std::uint32_t> changed;
            for (std::size_t i = 0; i < cells.size(); ++i) {
                const auto [r, c] = cells[i];
                const std::size_t from = v.type == qsformula::kScalar ? 0 : i;
                // As StoreFormulaValue stores a cell.
                double x = 0.0;
                std::uint8_t f = CF_BLANK | CF_NOTAVAIL;
                if (v.f[from] & qsformula::kHasValue) {
                    x = v.v[from];
                    f = CF_VALUE;
                } else if (!(v.f[from] & qsformula::kNotAvail)) {
                    f = CF_BLANK;
                }
                f = static_cast<std::uint8_t>(f | (RawFlags(r, c) & kMarkBits));
                if (PutCell(r, c, x, f)) changed.push_back(CellKey{r, c}.Packed());
            }
            NotifyChanged(changed);
            return Change::Cells(std::move(changed));
        }
    }
    // A formula that works column by column (the adjusted average case
    // reserves) is evaluated on the columns that changed.
    if (!whole && m_def.Compiled().IsColumnLocal(resolver, shape)) {
        std::uint16_t rows = 0, cols = 0;
        GetMaxRowsCols(rows, cols);
        const std::vector<std::uint16_t>& lens = GetRowLengths();
        const bool same = shape.rows == rows && shape.cols == cols &&
                          std::equal(shape.rowLen.begin(), shape.rowLen.end(), lens.begin(), lens.end());
        std::vector<int> columns;
        for (std::uint32_t k : keys)
            if (const int col = CellKey::FromPacked(k).col; col < cols) columns.push_back(col);
        std::sort(columns.begin(), columns.end());
        columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
        Value v;
        if (same && (columns.empty() || (m_def.Compiled().EvaluateColumns(resolver, columns, v) == qsk::kOk &&
                                         v.type == qsformula::kTriangle && v.rows == rows &&
                                         v.cols == static_cast<int>(columns.size())))) {
            std::vector<std::uint32_t> changed;
            for (int r = 0; r < rows; ++r)
                for (std::size_t i = 0; i < columns.size(); ++i) {
                    const int c = columns[i];
                    if (!LocationIsValid(r, c)) continue;
                    const std::size_t from = v.Index(r, static_cast<int>(i));
                    double x = 0.0;
                    std::uint8_t f = CF_BLANK | CF_NOTAVAIL;
                    if (v.f[from] & qsformula::kHasValue) {
                        x = v.v[from];
                        f = CF_VALUE;
                    } else if (!(v.f[from] & qsformula::kNotAvail)) {
                        f = CF_BLANK;
                    }
                    f = static_cast<std::uint8_t>(f | (RawFlags(r, c) & kMarkBits));
                    if (PutCell(r, c, x, f))
                        changed.push_back(CellKey{r, c}.Packed());
                }
            NotifyChanged(changed);
            return Change::Cells(std::move(changed));
        }
    }
    return Change::Cells(RecalculateWhole());
}

void CUserTable::AfterLoad() {
    CDataObject::AfterLoad();
    if (m_def.IsEmpty()) return;
    if (Bind() == qsk::kOk) Recalculate();
}

void CUserTable::Write(KernelWriter& w) const {
    CDataObject::Write(w);
    m_def.Write(w);
}

void CUserTable::Read(KernelReader& r, int version) {
    CDataObject::Read(r, version);
    m_def.Read(r);
}

// ---- user exhibits ---------------------------------------------------------------------

CUserExhibit::CUserExhibit(const CUserExhibit& o) : CExhibit(o), m_table(o.m_table) {}

// The table goes before the base: unlink it while both exist.
CUserExhibit::~CUserExhibit() { SetSource(nullptr); }

QSSTATUS CUserExhibit::GetFormula(CStringStack& raw, CStringStack& resolved) const {
    return m_table.GetFormula(raw, resolved);
}

void CUserExhibit::PrepareTable() {
    IObjectOwner* p = GetOwner();
    m_table.SetOwner(p);
    m_table.SetIDNum(GetIDNum());
    if (!p) return;
    const qsformula::ProjectInfo info = ProjectFormulaResolver::InfoOf(*p);
    const std::vector<std::uint16_t> stairs(info.rowLen.begin(), info.rowLen.end());
    std::uint16_t rows = 0, cols = 0;
    m_table.GetMaxRowsCols(rows, cols);
    const auto numDev = static_cast<std::uint16_t>(info.ages.size());
    if (rows != stairs.size() || cols != numDev || m_table.GetRowLengths() != stairs ||
        m_table.GetVectorType() != CDataObject::VT_TRIANGLE)
        m_table.SetShape(static_cast<std::uint16_t>(stairs.size()), numDev, CDataObject::VT_TRIANGLE, stairs);
    m_table.SetInterval(info.devLength);
}

QSSTATUS CUserExhibit::SetFormula(const CStringStack& raw, const CStringStack& resolved) {
    PrepareTable();
    const QSSTATUS st = m_table.SetFormula(raw, resolved);
    if (st) return st;
    if (GetOwner()) SetSource(m_table.HasValidFormula() ? &m_table : nullptr);
    return qsk::kOk;
}

QSSTATUS CUserExhibit::ClearFormula() {
    SetSource(nullptr);
    return m_table.ClearFormula();
}

void CUserExhibit::AfterLoad() {
    // The exhibit's getters call AfterLoad on every use: bind once.
    if (!GetOwner() || !m_table.HasValidFormula() || GetSource() == &m_table) return;
    PrepareTable();
    m_table.AfterLoad();
    SetSource(&m_table);
}

void CUserExhibit::Write(KernelWriter& w) const {
    CExhibit::Write(w);
    m_table.m_def.Write(w);
}

void CUserExhibit::Read(KernelReader& r, int version) {
    CExhibit::Read(r, version);
    FormulaDefinition def;
    def.Read(r);
    if (r.Failed()) return;
    // As read: a formula that no longer compiles stays as text.
    m_table.Unbind();
    m_table.m_def = def;
}

// ---- probe ---------------------------------------------------------------------------

CFormulaProbe::CFormulaProbe(const CFormula* context, const IObjectOwner* project)
    : m_context(context), m_projectCtx(project ? project : (context ? context->GetOwner() : nullptr)) {
    if (context) SetIDNum(context->GetIDNum());
}

QSSTATUS CFormulaProbe::Test(const CStringStack& raw, const CStringStack& resolved, void*) {
    m_vectorType = -1;
    m_interval = 0;
    m_error.clear();
    if (raw.IsEmpty() || resolved.IsEmpty()) {
        m_error = "the formula is empty";
        return qsformula::kEmptyFormula;
    }
    if (!m_projectCtx) {
        m_error = "no project";
        return qsformula::kNoContext;
    }
    ProjectFormulaResolver resolver(*m_projectCtx, m_context ? m_context->GetLayer() : 0);
    // A column formula of a method reads the method's earlier columns.
    if (const auto* method = dynamic_cast<const CMethod*>(m_context))
        for (int pos = 0; pos < method->GetNumDataObjects(); ++pos)
            resolver.AddLocal(method->GetObjID(pos), method->GetDataObject(pos + 1));
    Value v;
    const QSSTATUS st = qsformula::Test(resolved, resolver, &v, &m_error);
    if (st) return st;
    m_vectorType = v.type;
    m_interval = (v.type == qsformula::kTriangle || v.type == qsformula::kRow) ? v.interval : 0;
    return qsk::kOk;
}
