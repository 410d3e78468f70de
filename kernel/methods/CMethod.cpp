#include "CMethod.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_set>

#include "CellKey.h"
#include "KernelIds.h"
#include "KernelStream.h"
#include "ObjectOwner.h"
#include "ReservingMath.h"

using qsformula::Value;

namespace {

[[maybe_unused]] const bool kMethodFactoryRegistered = [] {
    CFormula::RegisterFactory(CMethod::kStorageTag, [] { return std::unique_ptr<CFormula>(new CMethod()); });
    return true;
}();

constexpr std::uint16_t kMethodLayoutVersion = 1;
// Column ids: kind 9 (no project object has it), the column's serial in the
// instance field; only the method's own formulas resolve them.
constexpr int kColumnKind = 9;

// A column of this method (no method index); kind 9 ids with an index name a
// column of another method (GetColRefID).
bool IsMethodColumnID(QSID id) { return id > 0 && GetIDDOType(id) == kColumnKind && GetIDIndex(id) == 0; }

// Reads every column-shaped operand as its total, so a formula over totals
// gives a ratio of totals rather than a total of ratios.
class MethodTotalsResolver : public qsformula::IFormulaResolver {
public:
    explicit MethodTotalsResolver(const ProjectFormulaResolver& inner) : m_inner(inner) {}
    bool Resolve(QSID id, Value& out) const override {
        if (!m_inner.Resolve(id, out)) return false;
        if (out.type != qsformula::kColumn) return true;
        double sum = 0;
        bool any = false, notAvail = false;
        for (int i = 0; i < out.rows; ++i) {
            if (out.IsNotAvail(i, 0)) notAvail = true;
            else if (out.Has(i, 0)) sum += out.At(i, 0), any = true;
        }
        Value s = Value::Scalar(sum);
        if (notAvail) s.f[0] = qsformula::kNotAvail;
        else if (!any) s = Value::BlankScalar();
        out = s;
        return true;
    }
    const qsformula::ProjectInfo& Info() const override { return m_inner.Info(); }

private:
    const ProjectFormulaResolver& m_inner;
};

}  // namespace

CMethod::CMethod(QSID id) : CFormula(id) {}

CMethod::CMethod(const CMethod& o)
    : CFormula(o), m_methodType(o.m_methodType), m_basis(o.m_basis), m_ultPos(o.m_ultPos), m_links(o.m_links),
      m_report(o.m_report), m_summary(o.m_summary) {
    for (const Column& c : o.m_cols) {
        Column n;
        n.serial = c.serial;
        n.name = c.name;
        n.header = c.header;
        n.def = c.def;
        n.stats = c.stats;
        n.totalType = c.totalType;
        n.hidden = c.hidden;
        n.data = std::make_unique<CDataObject>(*c.data);
        n.data->ClearSources();
        m_cols.push_back(std::move(n));
    }
}

CMethod& CMethod::operator=(const CMethod& o) {
    if (this == &o) return *this;
    CMethod copy(o);
    Unbind();
    CFormula::operator=(o);
    m_methodType = copy.m_methodType;
    m_basis = copy.m_basis;
    m_ultPos = copy.m_ultPos;
    m_links = copy.m_links;
    m_report = copy.m_report;
    m_summary = copy.m_summary;
    m_cols = std::move(copy.m_cols);
    return *this;
}

CMethod::~CMethod() { Unbind(); }

QSSTATUS CMethod::SetMethodType(int type) {
    if (type < MT_DEVELOPMENT || type > MT_OTHER) return qsk::kFail;
    m_methodType = type;
    return qsk::kOk;
}

QSSTATUS CMethod::SetBasis(int basis) {
    if (basis != 0 && basis != 1) return qsk::kFail;
    if (basis == m_basis) return qsk::kOk;
    m_basis = basis;
    for (Column& c : m_cols) ShapeColumn(*c.data);
    if (GetOwner()) Recalculate();
    return qsk::kOk;
}

QSSTATUS CMethod::SetUltPos(int pos) {
    if (pos < -1 || pos >= GetNumDataObjects()) return qsk::kFail;
    if (pos == m_ultPos) return qsk::kOk;
    m_ultPos = pos;
    // What reads the method's ultimate reads another column now.
    if (GetOwner()) Changed();
    return qsk::kOk;
}

CMethod::Column* CMethod::Col(int pos) {
    return pos >= 0 && pos < GetNumDataObjects() ? &m_cols[static_cast<std::size_t>(pos)] : nullptr;
}
const CMethod::Column* CMethod::Col(int pos) const {
    return pos >= 0 && pos < GetNumDataObjects() ? &m_cols[static_cast<std::size_t>(pos)] : nullptr;
}

CDataObject* CMethod::GetDataObject(int number) {
    Column* c = Col(number - 1);
    return c ? c->data.get() : nullptr;
}
const CDataObject* CMethod::GetDataObject(int number) const {
    const Column* c = Col(number - 1);
    return c ? c->data.get() : nullptr;
}

QSID CMethod::ColumnID(int serial) const { return MakeID(kColumnKind, serial, 0, 0, 0); }

int CMethod::NextSerial() const {
    for (int s = 1; s <= kMaxColumns; ++s) {
        bool used = false;
        for (const Column& c : m_cols) used = used || c.serial == s;
        if (!used) return s;
    }
    return 0;
}

QSID CMethod::GetObjID(int pos) const {
    const Column* c = Col(pos);
    return c ? ColumnID(c->serial) : 0;
}

void CMethod::ShapeColumn(CDataObject& data) const {
    if (const IObjectOwner* p = GetOwner()) ShapeColumn(data, ProjectFormulaResolver::InfoOf(*p));
}

void CMethod::ShapeColumn(CDataObject& data, const qsformula::ProjectInfo& info) const {
    IObjectOwner* p = GetOwner();
    if (!p) return;
    data.SetOwner(p);
    const auto rows = static_cast<std::uint16_t>(m_basis == 1 ? info.ages.size() : info.rowLen.size());
    std::uint16_t r = 0, c = 0;
    data.GetMaxRowsCols(r, c);
    if (r != rows || c != 1 || data.GetVectorType() != CDataObject::VT_COLUMN)
        data.SetShape(rows, 1, CDataObject::VT_COLUMN);
}

QSSTATUS CMethod::CheckFormula(const FormulaDefinition& def, int pos) const {
    for (QSID id : def.Dependencies()) {
        if (IsMethodColumnID(id)) {
            bool earlier = false;
            for (int k = 0; k < pos && k < GetNumDataObjects(); ++k) earlier = earlier || GetObjID(k) == id;
            if (!earlier) return qsformula::kUnknownObject;
        } else if (const IObjectOwner* p = GetOwner()) {
            ProjectFormulaResolver resolver(*p, GetLayer());
            const CFormula* f = resolver.Find(id);
            if (!f) return qsformula::kUnknownObject;
            // Another method's column must not be calculated from this one.
            if (f == this || (GetIDNum() && DependsOnThis(*f))) return qsformula::kCircular;
        }
    }
    return qsk::kOk;
}

bool CMethod::DependsOnThis(const CFormula& object) const {
    std::unordered_set<const CFormula*> seen{this};
    std::vector<const CFormula*> todo{this};
    while (!todo.empty()) {
        const CFormula* f = todo.back();
        todo.pop_back();
        for (const CFormula* d : f->GetDependentObjects()) {
            if (d == &object) return true;
            if (seen.insert(d).second) todo.push_back(d);
        }
    }
    return false;
}

QSSTATUS CMethod::AddNewCol(int pos, const std::string& name, const CStringStack& raw,
                            const CStringStack& resolved) {
    if (pos < 0 || pos > GetNumDataObjects()) return qsk::kFail;
    const int serial = NextSerial();
    if (!serial) return qsk::kNameTaken;
    Column c;
    c.serial = serial;
    c.name = name;
    if (!raw.IsEmpty()) {
        const QSSTATUS st = c.def.Set(raw, resolved);
        if (st) return st;
        const QSSTATUS chk = CheckFormula(c.def, pos);
        if (chk) return chk;
    }
    c.data = std::make_unique<CDataObject>(ColumnID(serial));
    c.data->SetVectorType(CDataObject::VT_COLUMN);
    ShapeColumn(*c.data);
    m_cols.insert(m_cols.begin() + pos, std::move(c));
    if (m_ultPos >= pos) ++m_ultPos;
    if (GetOwner()) {
        Bind();
        Recalculate();
        Changed();
    }
    return qsk::kOk;
}

QSSTATUS CMethod::SetColFormula(int pos, const CStringStack& raw, const CStringStack& resolved) {
    Column* c = Col(pos);
    if (!c) return qsk::kFail;
    FormulaDefinition def;
    if (!raw.IsEmpty()) {
        const QSSTATUS st = def.Set(raw, resolved);
        if (st) return st;
        const QSSTATUS chk = CheckFormula(def, pos);
        if (chk) return chk;
    }
    c->def = def;
    if (GetOwner()) {
        Bind();
        Recalculate();
        Changed();
    }
    return qsk::kOk;
}

QSSTATUS CMethod::GetColFormula(int pos, CStringStack& raw, CStringStack& resolved) const {
    const Column* c = Col(pos);
    if (!c) return qsk::kFail;
    return c->def.Get(raw, resolved);
}

int CMethod::RemoveColDef(int pos) {
    const Column* c = Col(pos);
    if (!c) return 1;
    const QSID id = ColumnID(c->serial);
    for (const Column& other : m_cols)
        for (QSID d : other.def.Dependencies())
            if (d == id) return 1;
    // Nor while a formula outside the method reads it by its reference.
    if (IsColumnReadElsewhere(pos)) return 1;
    Unbind();  // the column may be a source of the method
    m_cols.erase(m_cols.begin() + pos);
    if (m_ultPos == pos) m_ultPos = -1;
    else if (m_ultPos > pos) --m_ultPos;
    if (GetOwner()) {
        Bind();
        Recalculate();
        Changed();
    }
    return 0;
}

bool CMethod::IsColumnReadElsewhere(int pos) const {
    const QSID ref = GetColRefID(pos);
    if (!ref) return false;
    auto names = [ref](const CStringStack& resolved) {
        for (int i = 0; i < resolved.GetSize(); ++i) {
            std::string t;
            resolved.GetAt(i, t);
            if (t.size() < 3 || t.compare(0, 2, "DO") != 0) continue;
            char* end = nullptr;
            QSID id = static_cast<QSID>(std::strtol(t.c_str() + 2, &end, 10));
            if (!end || *end) continue;
            SetIDLayer(id, 0);
            if (id == ref) return true;
        }
        return false;
    };
    CStringStack raw, resolved;
    for (const CFormula* d : GetDependentObjects()) {
        if (const auto* m = dynamic_cast<const CMethod*>(d)) {
            for (int k = 0; k < m->GetNumDataObjects(); ++k)
                if (m->GetColFormula(k, raw, resolved) == qsk::kOk && names(resolved)) return true;
        } else if (d->GetFormula(raw, resolved) == qsk::kOk && names(resolved)) {
            return true;
        }
    }
    return false;
}

std::string CMethod::GetColName(int pos) const { const Column* c = Col(pos); return c ? c->name : std::string(); }
QSSTATUS CMethod::SetColName(int pos, const std::string& name) {
    Column* c = Col(pos);
    if (!c) return qsk::kFail;
    c->name = name;
    return qsk::kOk;
}
std::string CMethod::GetColHeader(int pos) const { const Column* c = Col(pos); return c ? c->header : std::string(); }
QSSTATUS CMethod::SetColHeader(int pos, const std::string& header) {
    Column* c = Col(pos);
    if (!c) return qsk::kFail;
    c->header = header;
    return qsk::kOk;
}
int CMethod::GetObjDisplayType(int pos) const { const Column* c = Col(pos); return c ? c->data->GetDisplayType() : 0; }
QSSTATUS CMethod::SetObjDisplayType(int pos, int type) {
    Column* c = Col(pos);
    if (!c || type < DT_NUMBER || type > DT_PERCENT) return qsk::kFail;
    c->data->SetDisplayType(type);
    return qsk::kOk;
}
short CMethod::GetObjDecimal(int pos) const {
    const Column* c = Col(pos);
    short d = 0;
    if (c) c->data->GetDecimals(d);
    return d;
}
QSSTATUS CMethod::SetObjDecimal(int pos, short decimals) {
    Column* c = Col(pos);
    return c ? c->data->SetDecimals(decimals) : qsk::kFail;
}
bool CMethod::IsObjHidden(int pos) const { const Column* c = Col(pos); return c && c->hidden; }
QSSTATUS CMethod::SetObjHidden(int pos, bool hidden) {
    Column* c = Col(pos);
    if (!c) return qsk::kFail;
    c->hidden = hidden;
    return qsk::kOk;
}
int CMethod::GetObjStats(int pos) const { const Column* c = Col(pos); return c ? c->stats : 0; }
QSSTATUS CMethod::SetObjStats(int pos, int bits) {
    Column* c = Col(pos);
    if (!c || (bits & ~(ST_AVERAGE | ST_LTREND | ST_EXPCURVE))) return qsk::kFail;
    c->stats = bits;
    if (GetOwner()) Recalculate();
    return qsk::kOk;
}
QSSTATUS CMethod::SetObjStats(int pos, bool average, bool ltrend, bool expcurve) {
    return SetObjStats(pos, (average ? ST_AVERAGE : 0) | (ltrend ? ST_LTREND : 0) | (expcurve ? ST_EXPCURVE : 0));
}
int CMethod::GetObjTotalType(int pos) const { const Column* c = Col(pos); return c ? c->totalType : TT_NONE; }
QSSTATUS CMethod::SetObjTotalType(int pos, int type) {
    Column* c = Col(pos);
    if (!c || type < TT_NONE || type > TT_FORMULA) return qsk::kFail;
    c->totalType = type;
    if (GetOwner()) Recalculate();
    return qsk::kOk;
}

bool CMethod::HasTotals() const {
    for (const Column& c : m_cols) if (c.totalType != TT_NONE) return true;
    return false;
}
bool CMethod::HasAverages() const {
    for (const Column& c : m_cols) if (c.stats & ST_AVERAGE) return true;
    return false;
}
bool CMethod::HasLTrends() const {
    for (const Column& c : m_cols) if (c.stats & ST_LTREND) return true;
    return false;
}
bool CMethod::HasExpCurves() const {
    for (const Column& c : m_cols) if (c.stats & ST_EXPCURVE) return true;
    return false;
}

QSSTATUS CMethod::GetTotals(std::vector<const double*>& out) const {
    out.clear();
    for (const Column& c : m_cols) out.push_back(c.hasTotal ? &c.total : nullptr);
    return qsk::kOk;
}
QSSTATUS CMethod::GetAverages(std::vector<const double*>& out) const {
    out.clear();
    for (const Column& c : m_cols) out.push_back(c.hasAverage ? &c.average : nullptr);
    return qsk::kOk;
}
QSSTATUS CMethod::GetLTrends(std::vector<const double*>& out) const {
    out.clear();
    for (const Column& c : m_cols) out.push_back(c.hasLFit ? c.lfit : nullptr);
    return qsk::kOk;
}
QSSTATUS CMethod::GetExpCurves(std::vector<const double*>& out) const {
    out.clear();
    for (const Column& c : m_cols) out.push_back(c.hasEFit ? c.efit : nullptr);
    return qsk::kOk;
}

QSID CMethod::GetUltID() const {
    if (m_ultPos < 0 || m_ultPos >= GetNumDataObjects() || !GetIDNum()) return 0;
    const QSID id = GetIDNum();
    const int kind = GetIDDOType(id);
    if (kind != 3 && kind != 4) return 0;
    return MakeID(kind - 2, 1, GetIDLayer(id), 2, GetIDIndex(id));
}

QSID CMethod::GetColRefID(int pos) const {
    const Column* c = Col(pos);
    const QSID id = GetIDNum();
    const int kind = GetIDDOType(id);
    if (!c || (kind != 3 && kind != 4)) return 0;
    return MakeID(kColumnKind, c->serial, 0, GetIDDataType(id) + (kind == 4 ? 4 : 0), GetIDIndex(id));
}

QSID CMethod::MethodIDFromColRef(QSID ref, int& serial) {
    serial = 0;
    if (ref <= 0 || GetIDDOType(ref) != kColumnKind || GetIDIndex(ref) == 0) return 0;
    const int dt = GetIDDataType(ref);
    if (dt != 2 && dt != 3 && dt != 6 && dt != 7) return 0;
    serial = GetIDInstance(ref);
    return MakeID(dt >= 4 ? 4 : 3, 1, GetIDLayer(ref), dt % 4, GetIDIndex(ref));
}

const CDataObject* CMethod::FindColumnBySerial(int serial) const {
    for (const Column& c : m_cols)
        if (c.serial == serial) return c.data.get();
    return nullptr;
}

const CDataObject* CMethod::GetUltimateColumn() const {
    const Column* c = Col(m_ultPos);
    return c ? c->data.get() : nullptr;
}

QSID CMethod::MethodIDFromUltID(QSID ultId) {
    const int kind = GetIDDOType(ultId);
    if ((kind != 1 && kind != 2) || GetIDDataType(ultId) != 2) return 0;
    return MakeID(kind + 2, 1, GetIDLayer(ultId), 2, GetIDIndex(ultId));
}

QSSTATUS CMethod::GetLabels(QSStringArray& rows, QSStringArray& cols, std::string& title) const {
    rows.clear();
    cols.clear();
    title = GetIDLongName();
    if (const IObjectOwner* p = GetOwner()) {
        QSStringArray exposure, development, exhibit;
        std::string word;
        const QSSTATUS st = p->GetLabels(exposure, development, exhibit, word);
        if (st) return st;
        rows = m_basis == 1 ? development : exposure;
    }
    for (const Column& c : m_cols) cols.push_back(c.header.empty() ? c.name : c.header);
    return qsk::kOk;
}

QSSTATUS CMethod::GetColStatus(int pos) const {
    const Column* c = Col(pos);
    return c ? c->status : qsk::kFail;
}

std::vector<int> CMethod::GetRowsLeftOutOfTotal(int pos) const {
    const Column* c = Col(pos);
    return c ? c->leftOut : std::vector<int>{};
}

void CMethod::NoteRowsLeftOutOfTotals() {
    ClearMessages();
    // The rows where some totalled column holds a value: each total should
    // cover them all.
    std::vector<char> covered;
    auto holds = [](const CDataObject& d, int r) {
        double v = 0;
        std::uint8_t f = 0;
        return d.GetAt(r, 0, v, f) == qsk::kOk && (f & CDataObject::CF_VALUE) && !(f & CDataObject::CF_NOTAVAIL);
    };
    for (const Column& c : m_cols) {
        if (c.totalType != TT_SUM) continue;
        std::uint16_t rows = 0, cols = 0;
        c.data->GetMaxRowsCols(rows, cols);
        covered.resize(std::max<std::size_t>(covered.size(), rows), 0);
        for (int r = 0; r < rows; ++r)
            if (holds(*c.data, r)) covered[static_cast<std::size_t>(r)] = 1;
    }
    bool any = false;
    for (Column& c : m_cols) {
        c.leftOut.clear();
        if (c.totalType != TT_SUM) continue;
        for (std::size_t r = 0; r < covered.size(); ++r)
            if (covered[r] && !holds(*c.data, static_cast<int>(r))) c.leftOut.push_back(static_cast<int>(r));
        any = any || !c.leftOut.empty();
    }
    if (!any) return;
    QSStringArray labels;
    if (const IObjectOwner* p = GetOwner()) {
        QSStringArray development, exhibit;
        std::string word;
        if (p->GetLabels(labels, development, exhibit, word) != qsk::kOk) labels.clear();
        if (m_basis == 1) labels = development;
    }
    for (Column& c : m_cols) {
        if (c.leftOut.empty()) continue;
        std::string text = "The total of " + c.name + " leaves out ";
        for (std::size_t i = 0; i < c.leftOut.size(); ++i) {
            const std::size_t r = static_cast<std::size_t>(c.leftOut[i]);
            if (i) text += ", ";
            text += r < labels.size() ? labels[r] : std::to_string(r + 1);
        }
        AddMessage(text + ".");
    }
}

void CMethod::Unbind() {
    for (CFormula* s : m_bound) RemoveSource(s);
    m_bound.clear();
}

void CMethod::Bind() {
    Unbind();
    const IObjectOwner* p = GetOwner();
    if (!p) return;
    ProjectFormulaResolver resolver(*p, GetLayer());
    for (const Column& c : m_cols) {
        // An edit of an entered column recalculates the columns after it.
        if (c.def.IsEmpty()) {
            AddSource(c.data.get());
            m_bound.push_back(c.data.get());
        }
        for (QSID id : c.def.Dependencies()) {
            if (IsMethodColumnID(id)) continue;
            auto* f = const_cast<CFormula*>(resolver.Find(id));
            if (!f || f == this) continue;
            bool known = false;
            for (CFormula* s : GetSources()) known = known || s == f;
            if (known) continue;
            AddSource(f);
            m_bound.push_back(f);
        }
    }
}

void CMethod::ComputeSummaries(Column& c, const ProjectFormulaResolver& resolver, int pos) {
    c.hasTotal = c.hasAverage = c.hasLFit = c.hasEFit = false;
    std::uint16_t rows = 0, cols = 0;
    c.data->GetMaxRowsCols(rows, cols);
    std::vector<double> xs, ys, lx, ly;
    double sum = 0;
    bool notAvail = false;
    for (int r = 0; r < rows; ++r) {
        double v = 0;
        std::uint8_t f = 0;
        c.data->GetAt(r, 0, v, f);
        if (f & CDataObject::CF_NOTAVAIL) { notAvail = true; continue; }
        if (!(f & CDataObject::CF_VALUE)) continue;
        sum += v;
        xs.push_back(r + 1.0);
        ys.push_back(v);
        if (v > 0) lx.push_back(r + 1.0), ly.push_back(std::log(v));
    }
    // A total over a column with no values is blank, not 0: a method whose
    // factors are missing must not show a reserve of 0.
    const bool anyValue = !ys.empty();
    if (c.totalType == TT_SUM && !notAvail && anyValue) {
        c.total = sum;
        c.hasTotal = true;
    } else if (c.totalType == TT_FORMULA && !c.def.IsEmpty()) {
        MethodTotalsResolver totals(resolver);
        Value v;
        if (c.def.Compiled().Evaluate(totals, v) == qsk::kOk) {
            double t = 0;
            bool any = false, na = false;
            for (int i = 0; i < v.Size(); ++i) {
                if (v.f[static_cast<std::size_t>(i)] & qsformula::kNotAvail) na = true;
                else if (v.f[static_cast<std::size_t>(i)] & qsformula::kHasValue) t += v.v[static_cast<std::size_t>(i)], any = true;
            }
            if (any && !na && std::isfinite(t)) c.total = t, c.hasTotal = true;
        }
    } else if (c.totalType == TT_FORMULA && !notAvail && anyValue) {
        c.total = sum;  // an entered column has no formula to total by
        c.hasTotal = true;
    }
    (void)pos;
    if ((c.stats & ST_AVERAGE) && !ys.empty() && !notAvail) {
        c.average = sum / static_cast<double>(ys.size());
        c.hasAverage = true;
    }
    if (c.stats & ST_LTREND) {
        const qs::calc::LineFit fit = qs::calc::FitLine(xs.data(), ys.data(), nullptr, static_cast<int>(xs.size()));
        if (fit.ok) {
            c.lfit[0] = fit.slope;
            c.lfit[1] = fit.intercept;
            c.lfit[2] = fit.rSquared;
            c.hasLFit = true;
        }
    }
    if (c.stats & ST_EXPCURVE) {
        const qs::calc::LineFit fit = qs::calc::FitLine(lx.data(), ly.data(), nullptr, static_cast<int>(lx.size()));
        const double trend = (std::exp(fit.slope) - 1.0) * 100.0, icpt = std::exp(fit.intercept);
        if (fit.ok && std::isfinite(trend) && std::isfinite(icpt)) {
            c.efit[0] = trend;
            c.efit[1] = icpt;
            c.efit[2] = fit.rSquared;
            c.hasEFit = true;
        }
    }
}

bool CMethod::Recalculate() {
    const IObjectOwner* p = GetOwner();
    if (!p) return false;
    ProjectFormulaResolver resolver(*p, GetLayer());
    bool changed = false;
    for (std::size_t k = 0; k < m_cols.size(); ++k) {
        Column& c = m_cols[k];
        ShapeColumn(*c.data, resolver.Info());
        c.data->SetReadOnly(!c.def.IsEmpty());
        if (!c.def.IsEmpty() && !c.def.Compiled().IsEmpty()) {
            Value v;
            c.status = c.def.Compiled().Evaluate(resolver, v);
            if (c.status) v = Value::Make(qsformula::kScalar, 1, 1), v.f[0] = qsformula::kNotAvail;
            if (!StoreFormulaValue(v, *c.data).empty()) changed = true;
        }
        resolver.AddLocal(ColumnID(c.serial), c.data.get());
        ComputeSummaries(c, resolver, static_cast<int>(k));
    }
    NoteRowsLeftOutOfTotals();
    if (changed && GetViewedCount()) NotifyAll(XR_RELOAD, 0);
    return changed;
}

CFormula::Change CMethod::RecalculateChanges() {
    const IObjectOwner* p = GetOwner();
    if (!p) return Change::None();
    // The columns of the triangles' cells that changed; anything else that
    // changed (a selection, a vector, a scalar, an entered column) takes the
    // whole recalculation.
    std::vector<int> columns;
    bool whole = false;
    for (const CFormula* s : GetSources()) {
        const Change* c = SourceChange(s);
        if (!c || !c->valueChanged) continue;
        const auto* d = dynamic_cast<const CDataObject*>(s);
        if (c->all || !d || d->GetVectorType() != CDataObject::VT_TRIANGLE) {
            whole = true;
            break;
        }
        for (std::uint32_t k : c->cells) columns.push_back(CellKey::FromPacked(k).col);
    }
    ProjectFormulaResolver resolver(*p, GetLayer());
    bool partial = false;
    if (!whole)
        for (const Column& c : m_cols)
            partial = partial || (!c.def.IsEmpty() && c.status == 0 && c.def.Compiled().IsDiagonalOfColumnLocal(resolver));
    if (whole || !partial) {
        Recalculate();
        return Change{};
    }
    std::sort(columns.begin(), columns.end());
    columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
    // The diagonal of a column-by-column table changes only in the rows
    // whose latest cell lies in a changed column: those rows are evaluated,
    // the other columns (vectors) are recalculated whole.
    bool changed = false;
    for (std::size_t k = 0; k < m_cols.size(); ++k) {
        Column& c = m_cols[k];
        ShapeColumn(*c.data, resolver.Info());
        c.data->SetReadOnly(!c.def.IsEmpty());
        if (!c.def.IsEmpty() && !c.def.Compiled().IsEmpty()) {
            std::vector<int> rows;
            Value v;
            std::uint16_t nr = 0, nc = 0;
            c.data->GetMaxRowsCols(nr, nc);
            if (c.status == 0 && nc == 1 && c.def.Compiled().IsDiagonalOfColumnLocal(resolver) &&
                c.def.Compiled().EvaluateDiagonalAtColumns(resolver, columns, rows, v) == qsk::kOk) {
                for (std::size_t i = 0; i < rows.size(); ++i) {
                    if (rows[i] >= nr) continue;
                    // As StoreFormulaValue stores a cell.
                    double x = 0.0;
                    std::uint8_t f = CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL;
                    if (v.f[i] & qsformula::kHasValue) {
                        x = v.v[i];
                        f = CDataObject::CF_VALUE;
                    } else if (!(v.f[i] & qsformula::kNotAvail)) {
                        f = CDataObject::CF_BLANK;
                    }
                    const std::uint8_t marks =
                        c.data->RawFlags(rows[i], 0) & (CDataObject::CF_FFMIN | CDataObject::CF_ADJCUTOFF | CDataObject::CF_MARK);
                    if (c.data->PutCell(rows[i], 0, x, static_cast<std::uint8_t>(f | marks))) changed = true;
                }
            } else {
                Value whole;
                c.status = c.def.Compiled().Evaluate(resolver, whole);
                if (c.status) whole = Value::Make(qsformula::kScalar, 1, 1), whole.f[0] = qsformula::kNotAvail;
                if (!StoreFormulaValue(whole, *c.data).empty()) changed = true;
            }
        }
        resolver.AddLocal(ColumnID(c.serial), c.data.get());
        ComputeSummaries(c, resolver, static_cast<int>(k));
    }
    NoteRowsLeftOutOfTotals();
    if (changed && GetViewedCount()) NotifyAll(XR_RELOAD, 0);
    return Change{};
}

void CMethod::AfterLoad() {
    if (!GetOwner()) return;
    Bind();
    Recalculate();
}

void CMethod::Write(KernelWriter& w) const {
    CFormula::Write(w);
    w.U16(kMethodLayoutVersion);
    w.I32(m_methodType);
    w.I32(m_basis);
    w.I32(m_ultPos);
    w.U8(static_cast<std::uint8_t>((m_report ? 1 : 0) | (m_summary ? 2 : 0)));
    w.U32(static_cast<std::uint32_t>(m_links.size()));
    for (QSID id : m_links) w.I32(id);
    w.U32(static_cast<std::uint32_t>(m_cols.size()));
    for (const Column& c : m_cols) {
        w.U16(static_cast<std::uint16_t>(c.serial));
        w.Str(c.name);
        w.Str(c.header);
        c.def.Write(w);
        w.U8(static_cast<std::uint8_t>(c.stats));
        w.U8(static_cast<std::uint8_t>(c.totalType));
        w.U8(c.hidden ? 1 : 0);
        const std::size_t at = w.BeginBlob();
        c.data->Write(w);
        w.EndBlob(at);
    }
}

void CMethod::Read(KernelReader& r, int version) {
    CFormula::Read(r, version);
    const std::uint16_t layout = r.U16();
    if (layout == 0 || layout > kMethodLayoutVersion) {
        r.Fail();
        return;
    }
    const int type = r.I32(), basis = r.I32(), ult = r.I32();
    const std::uint8_t kindFlags = r.U8();
    QSIDArray links(r.Count(4));
    for (QSID& id : links) id = r.I32();
    const std::uint32_t n = r.Count(8);
    if (r.Failed() || n > static_cast<std::uint32_t>(kMaxColumns) || type < 0 || type > MT_OTHER ||
        (basis != 0 && basis != 1) || ult < -1 || ult >= static_cast<int>(n)) {
        r.Fail();
        return;
    }
    std::vector<Column> cols;
    for (std::uint32_t k = 0; k < n; ++k) {
        Column c;
        c.serial = r.U16();
        c.name = r.Str();
        c.header = r.Str();
        c.def.Read(r);
        c.stats = r.U8();
        c.totalType = r.U8();
        c.hidden = r.U8() != 0;
        const std::vector<std::uint8_t> blob = r.Blob();
        if (r.Failed() || c.serial < 1 || c.serial > kMaxColumns || c.totalType > TT_FORMULA || c.stats > 7) {
            r.Fail();
            return;
        }
        for (const Column& prev : cols)
            if (prev.serial == c.serial) { r.Fail(); return; }
        KernelReader inner(blob);
        c.data = std::make_unique<CDataObject>(ColumnID(c.serial));
        c.data->Read(inner, version);
        if (inner.Failed()) {
            r.Fail();
            return;
        }
        cols.push_back(std::move(c));
    }
    Unbind();
    m_methodType = type;
    m_basis = basis;
    m_ultPos = ult;
    m_report = kindFlags & 1;
    m_summary = kindFlags & 2;
    m_links = std::move(links);
    m_cols = std::move(cols);
}

QSSTATUS CMethod::FindUltimateColumn(const IObjectOwner& owner, QSID ultId, CDataObject*& table) {
    table = nullptr;
    const QSID methodId = MethodIDFromUltID(ultId);
    if (!methodId) return qsk::kUnknownId;
    unsigned short layer = GetIDLayer(ultId);
    auto* m = dynamic_cast<CMethod*>(owner.FindObject(methodId, layer ? layer : static_cast<unsigned short>(NET)));
    if (!m || m->GetUltPos() < 0) return qsk::kUnknownId;
    table = m->GetDataObject(m->GetUltPos() + 1);
    return table ? qsk::kOk : qsk::kUnknownId;
}
