#include "CExhibit.h"

#include <algorithm>
#include <cmath>

#include "CArchive.h"
#include "CellKey.h"
#include "ExhibitOwner.h"
#include "KernelIds.h"
#include "KernelStream.h"

namespace {

constexpr std::uint16_t kExhibitLayoutVersion = 1;

[[maybe_unused]] const bool kExhibitFactoryRegistered = [] {
    CFormula::RegisterFactory(CExhibit::kStorageTag, [] { return std::unique_ptr<CFormula>(new CExhibit()); });
    return true;
}();

std::vector<std::unique_ptr<CDataObject>> CopyHistory(const std::vector<std::unique_ptr<CDataObject>>& from) {
    std::vector<std::unique_ptr<CDataObject>> to;
    for (const auto& d : from) to.push_back(std::make_unique<CDataObject>(*d));
    return to;
}

// The project's exhibit settings reach an exhibit through its owner, when
// the owner keeps any.
const IExhibitOwner* ExhibitOwnerOf(const CFormula& object) {
    return dynamic_cast<const IExhibitOwner*>(object.GetOwner());
}

}  // namespace

CExhibit::CExhibit(QSID id) : CFormula(id) { LinkInternals(); }

CExhibit::CExhibit(const CExhibit& o)
    : CFormula(o),
      m_sourceId(o.m_sourceId),
      m_hasStatistics(o.m_hasStatistics),
      m_hasSDF(o.m_hasSDF),
      m_factors(o.m_factors),
      m_outliers(o.m_outliers),
      m_userWeights(o.m_userWeights),
      m_stats(o.m_stats),
      m_sdf(o.m_sdf),
      m_cumSdf(o.m_cumSdf),
      m_ratioSdf(o.m_ratioSdf),
      m_crx(o.m_crx ? std::make_unique<CTailFactorAnalysis>(*o.m_crx) : nullptr),
      m_selHist(CopyHistory(o.m_selHist)),
      m_hasInterpSDF(o.m_hasInterpSDF),
      m_interpSdf(o.m_interpSdf),
      m_interpCumSdf(o.m_interpCumSdf),
      m_interpRatioSdf(o.m_interpRatioSdf) {
    LinkInternals();
}

CExhibit& CExhibit::operator=(const CExhibit& o) {
    if (this == &o) return *this;
    CFormula::operator=(o);
    SetSource(nullptr);
    m_sourceId = o.m_sourceId;
    m_hasStatistics = o.m_hasStatistics;
    m_hasSDF = o.m_hasSDF;
    m_factors = o.m_factors;
    m_outliers = o.m_outliers;
    m_userWeights = o.m_userWeights;
    m_stats = o.m_stats;
    m_sdf = o.m_sdf;
    m_cumSdf = o.m_cumSdf;
    m_ratioSdf = o.m_ratioSdf;
    m_crx = o.m_crx ? std::make_unique<CTailFactorAnalysis>(*o.m_crx) : nullptr;
    m_selHist = CopyHistory(o.m_selHist);
    m_hasInterpSDF = o.m_hasInterpSDF;
    m_interpSdf = o.m_interpSdf;
    m_interpCumSdf = o.m_interpCumSdf;
    m_interpRatioSdf = o.m_interpRatioSdf;
    m_statsInterval = -1;  // the next calculation is a full one
    LinkInternals();
    return *this;
}

CExhibit::~CExhibit() {
    // The member objects go before the base: unlink them while both exist.
    RemoveSource(&m_sdf);
    RemoveSource(&m_outliers);
    RemoveSource(&m_userWeights);
    RemoveSource(&m_interpSdf);
    SetSource(nullptr);
}

std::unique_ptr<CFormula> CExhibit::Clone() const { return std::make_unique<CExhibit>(*this); }

void CExhibit::LinkInternals() {
    // Editing the selections, the outlier marks or the user's weights
    // recalculates the exhibit.
    AddSource(&m_sdf);
    AddSource(&m_outliers);
    AddSource(&m_userWeights);
    AddSource(&m_interpSdf);
    for (CDataObject* d : {&m_factors, &m_cumSdf, &m_ratioSdf, &m_interpCumSdf, &m_interpRatioSdf}) d->SetReadOnly(true);
    m_factors.SetDeveloped(true);
    // Factors and the rows derived from the selections read as factors,
    // three decimals; they are never stored, so this is their only format.
    for (CDataObject* d : {&m_factors, &m_cumSdf, &m_ratioSdf, &m_interpCumSdf, &m_interpRatioSdf}) {
        d->SetFixed(true);
        d->SetDecimals(3);
    }
}

QSSTATUS CExhibit::SetSourceID(QSID id) {
    m_sourceId = id;
    SetSource(nullptr);
    if (const IObjectOwner* p = GetOwner()) {
        const unsigned short layer = GetIDLayer(id) ? GetIDLayer(id) : GetLayer();
        CDataObject* d = p->FindDataObject(id, layer);
        if (!d) return qsk::kUnknownId;
        SetSource(d);
    }
    return qsk::kOk;
}

void CExhibit::SetSource(CDataObject* source) {
    if (m_source == source) {
        if (source) Recalculate();
        return;
    }
    if (m_source) RemoveSource(m_source);
    m_source = source;
    if (m_source) {
        AddSource(m_source);
        Recalculate();
    }
}

void CExhibit::SetHasStatistics(bool on) {
    m_hasStatistics = on;
    RecalcStatistics();
}

void CExhibit::SetStatsDefs(const std::vector<CStatistics::Record>& records, int excludePrior, int abbreviate) {
    m_stats.SetDefinitions(records, excludePrior, abbreviate);
    RecalcStatistics();
}

void CExhibit::SetHasSDF(bool on) { m_hasSDF = on; }

void CExhibit::AfterLoad() {
    // An exhibit given statistics without definitions of its own (a new
    // one from the table wizard) computes the project's.
    if (m_hasStatistics && m_stats.GetDefinitions().empty())
        if (const IExhibitOwner* p = ExhibitOwnerOf(*this)) {
            const QSExhibitSettings& s = p->GetExhibitSettings();
            // Only active definitions count (inactive ones are not kept).
            bool active = false;
            for (const CStatistics::Record& rec : s.statsDefs) active = active || rec[0] != 0;
            if (active) {
                m_stats.SetDefinitions(s.statsDefs, s.excludePrior, s.abbreviate);
                RecalcStatistics();
            }
        }
    if (m_sourceId && !m_source) SetSourceID(m_sourceId);
}

QSSTATUS CExhibit::GetFactorTriangle(CDataObject*& factors) {
    AfterLoad();
    // The factors are labelled by the project's periods.
    m_factors.SetOwner(GetOwner());
    factors = &m_factors;
    return qsk::kOk;
}

QSSTATUS CExhibit::GetStatistics(CStatistics*& statistics) {
    AfterLoad();
    statistics = m_hasStatistics ? &m_stats : nullptr;
    return m_hasStatistics ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetOutliersObject(CDataObject*& outliers) {
    outliers = m_hasStatistics ? &m_outliers : nullptr;
    return m_hasStatistics ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetUserWeightsObject(CDataObject*& weights) {
    weights = m_hasStatistics ? &m_userWeights : nullptr;
    return m_hasStatistics ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetSDFObject(CDataObject*& sdf) {
    AfterLoad();
    sdf = m_hasSDF ? &m_sdf : nullptr;
    return m_hasSDF ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetCumSDFObject(CDataObject*& cumulative) {
    AfterLoad();
    cumulative = m_hasSDF ? &m_cumSdf : nullptr;
    return m_hasSDF ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetRatioSDFObject(CDataObject*& ratio) {
    AfterLoad();
    ratio = m_hasSDF ? &m_ratioSdf : nullptr;
    return m_hasSDF ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetSelHist(std::vector<CDataObject*>& history) {
    history.clear();
    for (const auto& d : m_selHist) history.push_back(d.get());
    return qsk::kOk;
}

QSSTATUS CExhibit::RollSelectionsToHistory(bool clearSelected) {
    auto copy = std::make_unique<CDataObject>(m_sdf);
    copy->SetReadOnly(true);
    m_selHist.insert(m_selHist.begin(), std::move(copy));
    if (static_cast<int>(m_selHist.size()) > kMaxHistory) m_selHist.resize(kMaxHistory);
    if (clearSelected) {
        m_sdf.SetAllCells(std::vector<double>(m_sdf.Values().size(), 0.0),
                          std::vector<std::uint8_t>(m_sdf.Flags().size(), CDataObject::CF_BLANK), 1);
    }
    NotifyAll(XR_LAYOUT, 0);
    return qsk::kOk;
}

bool CExhibit::HasDFs() const {
    const IExhibitOwner* p = ExhibitOwnerOf(*this);
    if (!p) return false;
    for (const QSFactorSetRef& f : p->GetExhibitSettings().factorSets)
        if (f.set.FindDF(GetIDNum())) return true;
    return false;
}

QSSTATUS CExhibit::GetDFs(std::vector<CDataObject*>& rows) {
    rows.clear();
    m_dfRows.clear();
    const IExhibitOwner* p = ExhibitOwnerOf(*this);
    if (!p) return qsk::kFail;
    std::uint16_t sr = 0, cols = 0;
    m_sdf.GetMaxRowsCols(sr, cols);
    for (const QSFactorSetRef& f : p->GetExhibitSettings().factorSets) {
        const CDataObject* row = f.set.FindDF(GetIDNum());
        if (!row) continue;
        auto copy = std::make_unique<CDataObject>(CFactorSet::FitRow(*row, cols ? cols : f.set.GetNumDevPrds()));
        copy->SetIDLongName(f.set.GetName());
        copy->SetIDShortName(f.set.GetName());
        copy->SetReadOnly(true);
        rows.push_back(copy.get());
        m_dfRows.push_back(std::move(copy));
    }
    return qsk::kOk;
}

QSSTATUS CExhibit::SetInterpolateSDF(std::uint16_t cols) {
    m_hasInterpSDF = cols > 0;
    if (!m_hasInterpSDF) {
        for (CDataObject* d : {&m_interpSdf, &m_interpCumSdf, &m_interpRatioSdf}) {
            d->SetReadOnly(false);
            d->SetShape(0, 0, CDataObject::VT_ROW);
        }
        m_interpCumSdf.SetReadOnly(true);
        m_interpRatioSdf.SetReadOnly(true);
        return qsk::kOk;
    }
    for (CDataObject* d : {&m_interpSdf, &m_interpCumSdf, &m_interpRatioSdf}) {
        const bool ro = d != &m_interpSdf;
        d->SetReadOnly(false);
        d->SetShape(1, cols, CDataObject::VT_ROW);
        d->SetReadOnly(ro);
    }
    DeriveRows(m_interpSdf, m_interpCumSdf, m_interpRatioSdf);
    return qsk::kOk;
}

QSSTATUS CExhibit::GetInterpolateSDFObject(CDataObject*& sdf) {
    sdf = m_hasInterpSDF ? &m_interpSdf : nullptr;
    return m_hasInterpSDF ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetInterpolateCumSDFObject(CDataObject*& cumulative) {
    cumulative = m_hasInterpSDF ? &m_interpCumSdf : nullptr;
    return m_hasInterpSDF ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetInterpolateRatioSDFObject(CDataObject*& ratio) {
    ratio = m_hasInterpSDF ? &m_interpRatioSdf : nullptr;
    return m_hasInterpSDF ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::GetCRXObject(CTailFactorAnalysis*& analysis) {
    analysis = m_crx.get();
    return analysis ? qsk::kOk : qsk::kFail;
}

QSSTATUS CExhibit::InitCRXObject() {
    if (!m_crx) m_crx = std::make_unique<CTailFactorAnalysis>();
    return qsk::kOk;
}

int CExhibit::DeleteCRXObject() {
    if (!m_crx) return 0;
    m_crx.reset();
    return 1;
}

// ---- calculation -----------------------------------------------------------------

void CExhibit::ShapeFromSource() {
    std::uint16_t rows = 0, cols = 0;
    m_source->GetMaxRowsCols(rows, cols);
    const std::vector<std::uint16_t>& lens = m_source->GetRowLengths();
    std::uint16_t fr = 0, fc = 0;
    m_factors.GetMaxRowsCols(fr, fc);
    if (fr != rows || fc != cols || m_factors.GetRowLengths() != lens) {
        m_factors.SetReadOnly(false);
        m_factors.SetShape(rows, cols, CDataObject::VT_TRIANGLE, lens);
        m_factors.SetReadOnly(true);
        m_outliers.SetShape(rows, cols, CDataObject::VT_TRIANGLE, lens);
    }
    // The weights keep their shape apart: an exhibit loaded without weights
    // has none yet.
    std::uint16_t wr = 0, wc = 0;
    m_userWeights.GetMaxRowsCols(wr, wc);
    if (wr != rows || wc != cols || m_userWeights.GetRowLengths() != lens)
        m_userWeights.SetShape(rows, cols, CDataObject::VT_TRIANGLE, lens);
    std::uint16_t sr = 0, sc = 0, cr = 0, cc = 0, rr = 0, rc = 0;
    m_sdf.GetMaxRowsCols(sr, sc);
    m_cumSdf.GetMaxRowsCols(cr, cc);
    m_ratioSdf.GetMaxRowsCols(rr, rc);
    if (sr != 1 || sc != cols) m_sdf.SetShape(1, cols, CDataObject::VT_ROW);
    // A loaded exhibit has its selections but not their derived rows.
    if (cr != 1 || cc != cols || rr != 1 || rc != cols) {
        for (CDataObject* d : {&m_cumSdf, &m_ratioSdf}) {
            d->SetReadOnly(false);
            d->SetShape(1, cols, CDataObject::VT_ROW);
            d->SetReadOnly(true);
        }
    }
}

void CExhibit::RecalcFactors() {
    std::uint16_t rows = 0, cols = 0;
    m_factors.GetMaxRowsCols(rows, cols);
    std::vector<double> values(static_cast<size_t>(rows) * cols, 0.0);
    std::vector<std::uint8_t> flags(values.size(), CDataObject::CF_BLANK);
    std::uint16_t srcRows = 0, srcCols = 0;
    m_source->GetMaxRowsCols(srcRows, srcCols);
    const qs::calc::TriangleRef cum{m_source->Values().data(), m_source->Flags().data(), srcRows, srcCols, srcCols};
    if (srcRows == rows && srcCols == cols && cols > 1) {
        // Factor columns 0 .. cols-2 of the same row layout; the last column
        // (the tail column) stays blank.
        std::vector<double> f(static_cast<size_t>(rows) * (cols - 1));
        std::vector<unsigned char> ff(f.size());
        qs::calc::AgeToAgeFactors(cum, f.data(), ff.data());
        const std::vector<std::uint16_t>& lens = m_factors.GetRowLengths();
        for (int r = 0; r < rows; ++r) {
            const int len = lens.empty() ? cols : lens[r];
            for (int k = 0; k + 1 < cols && k < len; ++k) {
                const size_t src = static_cast<size_t>(r) * (cols - 1) + k;
                if (!(ff[src] & qs::calc::kCellHasValue)) continue;
                values[static_cast<size_t>(r) * cols + k] = f[src];
                flags[static_cast<size_t>(r) * cols + k] = CDataObject::CF_VALUE;
            }
        }
    }
    m_factors.ReplaceCells(std::move(values), std::move(flags), {});
    m_factors.NotifyAll(XR_RELOAD, 0);
}

void CExhibit::RecalcStatistics(const std::vector<unsigned char>* columns) {
    if (!m_hasStatistics) return;
    const bool prior = GetOwner() && GetOwner()->GetStructure().prior;
    const int interval = m_source ? m_source->GetInterval() : 12;
    if (prior != m_statsPrior || interval != m_statsInterval) columns = nullptr;
    m_stats.SetPeriodLength(interval);
    m_stats.Compute(m_factors, m_source, &m_outliers, prior, columns, &m_userWeights);
    m_statsPrior = prior;
    m_statsInterval = interval;
}

bool CExhibit::ShapeFitsSource() const {
    if (!m_source) return false;
    std::uint16_t rows = 0, cols = 0, fr = 0, fc = 0, orows = 0, ocols = 0, sr = 0, sc = 0;
    m_source->GetMaxRowsCols(rows, cols);
    m_factors.GetMaxRowsCols(fr, fc);
    m_outliers.GetMaxRowsCols(orows, ocols);
    m_sdf.GetMaxRowsCols(sr, sc);
    std::uint16_t cr = 0, cc = 0;
    m_cumSdf.GetMaxRowsCols(cr, cc);
    return fr == rows && fc == cols && orows == rows && ocols == cols && sr == 1 && sc == cols && cr == 1 &&
           cc == cols && cols > 1 && m_factors.GetRowLengths() == m_source->GetRowLengths();
}

void CExhibit::UpdateFactorsAround(int row, int col, std::vector<unsigned char>& columns,
                                   std::vector<std::uint32_t>& changed) {
    std::uint16_t rows = 0, cols = 0;
    m_factors.GetMaxRowsCols(rows, cols);
    if (row < 0 || col < 0 || row >= rows || col >= cols) return;
    // The amount is a factor's numerator in column col - 1, its denominator
    // and volume weight in column col.
    columns[static_cast<std::size_t>(col)] = 1;
    if (col > 0) columns[static_cast<std::size_t>(col) - 1] = 1;
    const std::vector<std::uint16_t>& lens = m_factors.GetRowLengths();
    const int len = lens.empty() ? cols : lens[static_cast<std::size_t>(row)];
    for (int k = std::max(col - 1, 0); k <= col; ++k) {
        if (k + 1 >= cols || k >= len) continue;
        // As RecalcFactors (qs::calc::AgeToAgeFactors) forms each factor.
        const std::uint8_t f0 = m_source->RawFlags(row, k), f1 = m_source->RawFlags(row, k + 1);
        const double v0 = m_source->RawValue(row, k);
        double value = 0.0;
        std::uint8_t flags = CDataObject::CF_BLANK;
        if ((f0 & qs::calc::kCellHasValue) && (f1 & qs::calc::kCellHasValue) && v0 != 0.0) {
            value = m_source->RawValue(row, k + 1) / v0;
            flags = CDataObject::CF_VALUE;
        }
        if (m_factors.PutCell(row, k, value, flags))
            changed.push_back(CellKey{row, k}.Packed());
    }
}

CFormula::Change CExhibit::RecalculateChanges() {
    const Change* src = m_source ? SourceChange(m_source) : nullptr;
    const Change* marks = SourceChange(&m_outliers);
    const Change* weights = SourceChange(&m_userWeights);
    if (!m_source || !ShapeFitsSource() || (src && src->all) || (marks && marks->all) || (weights && weights->all)) {
        Recalculate();
        return Change{};
    }
    std::uint16_t rows = 0, cols = 0;
    m_factors.GetMaxRowsCols(rows, cols);
    std::vector<unsigned char> columns(cols, 0);
    std::vector<std::uint32_t> changed;
    bool any = false;
    if (src)
        for (std::uint32_t k : src->cells) {
            const auto [row, col] = CellKey::FromPacked(k);
            UpdateFactorsAround(row, col, columns, changed);
            any = true;
        }
    for (const Change* c : {marks, weights})
        if (c)
            for (std::uint32_t k : c->cells)
                if (const int col = CellKey::FromPacked(k).col; col < cols) {
                    columns[static_cast<std::size_t>(col)] = 1;
                    any = true;
                }
    if (any) RecalcStatistics(&columns);
    if (!changed.empty() && m_factors.GetViewedCount()) {
        if (changed.size() > 256)
            m_factors.NotifyAll(XR_RELOAD, 0);
        else
            for (std::uint32_t k : changed) m_factors.NotifyAll(XR_CELL, CellKey::FromPacked(k).Notice());
    }
    RecalcSelections();
    NotifyAll(XR_RELOAD, 0);
    // Formulas read the selections (the factors when there are none).
    Change result;
    const Change* sel = SourceChange(&m_sdf);
    result.valueChanged = m_hasSDF ? (sel && sel->Any()) : !changed.empty();
    return result;
}

void CExhibit::RecalcSelections() {
    DeriveRows(m_sdf, m_cumSdf, m_ratioSdf);
    if (m_hasInterpSDF) DeriveRows(m_interpSdf, m_interpCumSdf, m_interpRatioSdf);
}

void CExhibit::DeriveRows(const CDataObject& sdf, CDataObject& cumulative, CDataObject& ratioRow) {
    std::uint16_t rows = 0, cols = 0;
    sdf.GetMaxRowsCols(rows, cols);
    std::uint16_t cr = 0, cc = 0;
    cumulative.GetMaxRowsCols(cr, cc);
    if (cr != rows || cc != cols) return;
    std::vector<double> cum(cols, 0.0), ratio(cols, 0.0);
    std::vector<std::uint8_t> cumFlags(cols, CDataObject::CF_BLANK), ratioFlags(cols, CDataObject::CF_BLANK);
    if (rows > 0) {
        // The kernel's one rule for cumulating selections (a blank or zero
        // tail counts as 1; a blank factor leaves its age and every earlier
        // one without a value).
        std::vector<double> v(cols, 0.0), product(cols, 0.0);
        std::vector<unsigned char> has(cols, 0), defined(cols, 0);
        for (int k = 0; k < cols; ++k) {
            std::uint8_t f = 0;
            sdf.GetAt(0, k, v[k], f);
            has[k] = (f & CDataObject::CF_VALUE) ? 1 : 0;
        }
        qs::calc::CumulateSelectedFactors(v.data(), has.data(), cols, product.data(), defined.data());
        for (int k = 0; k < cols; ++k) {
            if (!defined[k]) continue;
            cum[k] = product[k];
            cumFlags[k] = CDataObject::CF_VALUE;
            if (product[k] != 0.0) {
                ratio[k] = 1.0 / product[k];
                ratioFlags[k] = CDataObject::CF_VALUE;
            }
        }
    }
    cumulative.ReplaceCells(std::move(cum), std::move(cumFlags), {});
    ratioRow.ReplaceCells(std::move(ratio), std::move(ratioFlags), {});
    cumulative.NotifyAll(XR_RELOAD, 0);
    ratioRow.NotifyAll(XR_RELOAD, 0);
}

bool CExhibit::Recalculate() {
    if (m_source) {
        ShapeFromSource();
        RecalcFactors();
        RecalcStatistics();
    }
    RecalcSelections();
    NotifyAll(XR_RELOAD, 0);
    return true;
}

// ---- storage ---------------------------------------------------------------------

void CExhibit::Write(KernelWriter& w) const {
    CFormula::Write(w);
    w.U16(kExhibitLayoutVersion);
    w.I32(m_sourceId);
    w.U8(static_cast<std::uint8_t>((m_hasStatistics ? 1 : 0) | (m_hasSDF ? 2 : 0) | (m_crx ? 4 : 0) |
                                   (m_hasInterpSDF ? 8 : 0) | (m_selHist.empty() ? 0 : 16) |
                                   (m_userWeights.HasAnyValue() ? 32 : 0)));
    const std::vector<CStatistics::Definition>& defs = m_stats.GetDefinitions();
    w.U32(static_cast<std::uint32_t>(defs.size()));
    for (const CStatistics::Definition& d : defs) {
        const CStatistics::Record rec = d.Encode();
        w.Raw(rec.data(), rec.size());
    }
    w.I32(m_stats.GetExcludePrior());
    w.I32(m_stats.GetAbbreviate());
    m_outliers.Write(w);
    m_sdf.Write(w);
    if (m_crx) {
        std::vector<std::uint8_t> bytes;
        CArchive ar(bytes, CArchive::store);
        m_crx->Serialize(ar);
        ar.Close();
        w.Blob(bytes);
    }
    if (m_hasInterpSDF) m_interpSdf.Write(w);
    if (!m_selHist.empty()) {
        w.U32(static_cast<std::uint32_t>(m_selHist.size()));
        for (const auto& d : m_selHist) d->Write(w);
    }
    // Last, and only once the user gave a weight: an exhibit without
    // weights is stored as before.
    if (m_userWeights.HasAnyValue()) m_userWeights.Write(w);
}

void CExhibit::Read(KernelReader& r, int version) {
    CFormula::Read(r, version);
    if (r.U16() != kExhibitLayoutVersion) {
        r.Fail();
        return;
    }
    m_sourceId = r.I32();
    const std::uint8_t flags = r.U8();
    m_hasStatistics = flags & 1;
    m_hasSDF = flags & 2;
    const std::uint32_t n = r.Count(9);
    std::vector<CStatistics::Record> records(n);
    for (CStatistics::Record& rec : records) r.Raw(rec.data(), rec.size());
    const int excludePrior = r.I32();
    const int abbreviate = r.I32();
    m_stats.SetDefinitions(records, excludePrior, abbreviate);
    m_outliers.Read(r, version);
    m_sdf.Read(r, version);
    m_crx.reset();
    if ((flags & 4) && !r.Failed()) {
        std::vector<std::uint8_t> bytes = r.Blob();
        if (r.Failed()) return;
        try {
            auto crx = std::make_unique<CTailFactorAnalysis>();
            CArchive ar(bytes, CArchive::load);
            crx->Serialize(ar);
            m_crx = std::move(crx);
        } catch (const CException&) {
            r.Fail();
        }
    }
    m_hasInterpSDF = false;
    if ((flags & 8) && !r.Failed()) {
        CDataObject interp;
        interp.Read(r, version);
        std::uint16_t ir = 0, ic = 0;
        interp.GetMaxRowsCols(ir, ic);
        if (!r.Failed() && ir == 1 && ic > 0) {
            SetInterpolateSDF(ic);
            m_interpSdf.SetAllCells(interp.Values(), interp.Flags(), 0);
        } else {
            r.Fail();
        }
    }
    m_selHist.clear();
    if ((flags & 16) && !r.Failed()) {
        const std::uint32_t n = r.Count(8);
        if (n > kMaxHistory) r.Fail();
        for (std::uint32_t i = 0; i < n && !r.Failed(); ++i) {
            auto d = std::make_unique<CDataObject>();
            d->Read(r, version);
            d->SetReadOnly(true);
            m_selHist.push_back(std::move(d));
        }
    }
    m_userWeights = CDataObject();
    if ((flags & 32) && !r.Failed()) {
        CDataObject weights;
        weights.Read(r, version);
        std::uint16_t wr = 0, wc = 0, orows = 0, ocols = 0;
        weights.GetMaxRowsCols(wr, wc);
        m_outliers.GetMaxRowsCols(orows, ocols);
        bool finite = true;
        for (std::size_t i = 0; i < weights.Values().size(); ++i)
            finite = finite && (!(weights.Flags()[i] & CDataObject::CF_VALUE) || std::isfinite(weights.Values()[i]));
        if (!r.Failed() && wr == orows && wc == ocols && finite)
            m_userWeights = weights;
        else
            r.Fail();
    }
    if (!r.Failed()) RecalcSelections();
}
