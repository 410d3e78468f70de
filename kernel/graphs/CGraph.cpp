// Graphs: definition, catalogue, selections and the record form
// (docs/kernel/graphs.md).
#include "CGraph.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "CDataObject.h"
#include "CExhibit.h"
#include "CGraphIterators.h"
#include "CMethod.h"
#include "CScalar.h"
#include "GraphOwner.h"
#include "KernelIds.h"
#include "KernelStream.h"

namespace {
[[maybe_unused]] const bool kGraphFactoryRegistered = [] {
    CFormula::RegisterFactory(CGraph::kStorageTag, [] { return std::unique_ptr<CFormula>(new CGraph()); });
    return true;
}();

constexpr char kGraphRecordMagic[4] = {'Q', 'S', 'G', 'R'};
constexpr std::uint32_t kGraphRecordVersion = 1;

// Kinds of table by id, as the element lists know them.
enum GraphTableKind { GTK_NONE, GTK_ARRAY, GTK_EXHIBIT, GTK_NAMEDROWS, GTK_SDFTABLE, GTK_SCALAR };

GraphTableKind GraphKindOfTable(QSID id) {
    const int kind = GetIDDOType(id), dt = GetIDDataType(id);
    if ((kind == 1 || kind == 2) && (dt == 0 || dt == 8)) return GTK_ARRAY;
    if ((kind == 3 || kind == 4) && dt == 1) return GTK_EXHIBIT;
    if ((kind == 3 || kind == 4) && (dt == 2 || dt == 3)) return GTK_NAMEDROWS;
    if ((kind == 1 || kind == 2) && (dt == 1 || dt == 7)) return GTK_SDFTABLE;
    if (kind == 5 || kind == 6) return GTK_SCALAR;
    return GTK_NONE;
}

void GraphWriteStrings(KernelWriter& w, const std::set<std::string>& s) {
    w.U32(static_cast<std::uint32_t>(s.size()));
    for (const auto& x : s) w.Str(x);
}

bool GraphReadStrings(KernelReader& r, std::set<std::string>& s) {
    const std::uint32_t n = r.Count(4);
    for (std::uint32_t i = 0; i < n && !r.Failed(); ++i) s.insert(r.Str());
    return !r.Failed();
}

// A data object's cells as shown (view transform applied) into an element.
void GraphFillFromObject(const CDataObject& d, const IObjectOwner* project, CGraph::Element& e) {
    std::uint16_t rows = 0, cols = 0;
    d.GetMaxRowsCols(rows, cols);
    QSStringArray rl, cl;
    std::string corner;
    if (project) project->GetObjectLabels(d, rl, cl, corner);
    else d.GetLabels(rl, cl, corner);
    rl.resize(rows);
    cl.resize(cols);
    for (int r = 0; r < rows; ++r)
        if (rl[r].empty()) rl[r] = std::to_string(r + 1);
    for (int c = 0; c < cols; ++c)
        if (cl[c].empty()) cl[c] = std::to_string(c + 1);
    auto cell = [&](int r, int c, double& v) {
        std::uint8_t f = 0;
        if (!d.LocationIsValid(r, c) || d.GetAt(r, c, v, f) != qsk::kOk) return false;
        return (f & CDataObject::CF_VALUE) && !(f & (CDataObject::CF_BLANK | CDataObject::CF_NOTAVAIL));
    };
    std::string cap;
    QSStringArray dummy;
    const int vt = d.GetVectorType();
    if (vt == CDataObject::VT_TRIANGLE) {
        e.triangle = true;
        e.rows = rows;
        e.cols = cols;
        e.rowLabels = rl;
        e.colLabels = cl;
        e.values.assign(static_cast<std::size_t>(rows) * cols, 0.0);
        e.has.assign(e.values.size(), 0);
        e.rowLen.assign(rows, 0);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                double v = 0;
                if (d.LocationIsValid(r, c)) e.rowLen[r] = c + 1;
                if (cell(r, c, v)) {
                    e.values[static_cast<std::size_t>(r) * cols + c] = v;
                    e.has[static_cast<std::size_t>(r) * cols + c] = 1;
                }
            }
        if (project) {
            project->GetLabels(dummy, LBL_EXPOSURE, e.rowCaption, -1);
            project->GetLabels(dummy, LBL_DEVELOPMENT, e.colCaption, -1);
        }
        return;
    }
    // A vector: its points along the columns of the element.
    const bool column = vt == CDataObject::VT_COLUMN;
    const int n = column ? rows : cols;
    e.triangle = false;
    e.rows = 1;
    e.cols = n;
    e.colLabels = column ? rl : cl;
    e.values.assign(n, 0.0);
    e.has.assign(n, 0);
    for (int i = 0; i < n; ++i) {
        double v = 0;
        if (cell(column ? i : 0, column ? 0 : i, v)) {
            e.values[i] = v;
            e.has[i] = 1;
        }
    }
    if (project) project->GetLabels(dummy, column ? LBL_EXPOSURE : LBL_DEVELOPMENT, e.colCaption, -1);
}

// A row of values with the exhibit's age-to-age labels.
void GraphFillRow(const std::vector<std::pair<bool, double>>& cells, const IObjectOwner* project, CGraph::Element& e) {
    QSStringArray labels;
    std::string cap;
    if (project) project->GetLabels(labels, LBL_EXHIBIT, cap, -1);
    e.triangle = false;
    e.rows = 1;
    e.cols = static_cast<int>(cells.size());
    e.colCaption = cap;
    e.colLabels.resize(cells.size());
    e.values.assign(cells.size(), 0.0);
    e.has.assign(cells.size(), 0);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        e.colLabels[i] = i < labels.size() ? labels[i] : std::to_string(i + 1);
        if (cells[i].first) {
            e.values[i] = cells[i].second;
            e.has[i] = 1;
        }
    }
}
}  // namespace

// ---------------------------------------------------------------- inserter

void CGraphTableInserter::Add(long id) { m_ids.push_back(static_cast<QSID>(id)); }

void CGraphTableInserter::Finalize() {
    std::vector<QSID> ids;
    ids.swap(m_ids);
    m_graph->SetTables(ids);
}

// ---------------------------------------------------------------- life

CGraph::CGraph(QSID id) : CFormula(id) { m_data.SetID(id); }

CGraph::CGraph(const CGraph& other) : CFormula(other) { CopyDefinition(other); }

CGraph& CGraph::operator=(const CGraph& other) {
    if (this != &other) {
        CFormula::operator=(other);
        CopyDefinition(other);
    }
    return *this;
}

CGraph::~CGraph() = default;

std::unique_ptr<CFormula> CGraph::Clone() const { return std::make_unique<CGraph>(*this); }

void CGraph::CopyDefinition(const CGraph& o) {
    m_tables = o.m_tables;
    m_data = o.m_data;
    m_styleName = o.m_styleName;
    m_viewLayer = o.m_viewLayer;
    m_seriesType = o.m_seriesType;
    m_series = o.m_series;
    m_forceComposite = o.m_forceComposite;
    m_adjustY = o.m_adjustY;
    m_hiddenSeries = o.m_hiddenSeries;
    m_hiddenLabels = o.m_hiddenLabels;
}

void CGraph::SetViewLayer(unsigned short layer) {
    if (layer >= 1 && layer <= kLayerCount) m_viewLayer = layer;
}

CGraphData* CGraph::GetTableData(int table) {
    return table >= 0 && table < GetNumTables() ? &m_tables[table] : nullptr;
}

std::vector<long> CGraph::DefaultCodes(QSID tableId) const {
    const IObjectOwner* p = GetOwner();
    switch (GraphKindOfTable(tableId)) {
    case GTK_ARRAY: {
        const CDataObject* d = p ? p->FindDataObject(tableId, GetIDLayer(tableId) ? 0 : m_viewLayer) : nullptr;
        const int vt = d ? d->GetVectorType() : CDataObject::VT_TRIANGLE;
        return {CGraphData::MakeCode(vt == CDataObject::VT_ROW      ? PART_ROW
                                     : vt == CDataObject::VT_COLUMN ? PART_COLUMN
                                                                    : PART_TRIANGLE)};
    }
    case GTK_EXHIBIT: return {CGraphData::MakeCode(PART_EXHIBIT)};
    case GTK_NAMEDROWS: {
        const auto* m = p ? dynamic_cast<const CMethod*>(p->FindObject(tableId, GetIDLayer(tableId) ? 0 : m_viewLayer))
                          : nullptr;
        const int pos = m && m->GetUltPos() >= 0 ? m->GetUltPos() : 0;
        return {CGraphData::MakeCode(PART_NAMEDROW, pos)};
    }
    case GTK_SDFTABLE: return {CGraphData::MakeCode(PART_ROW)};
    case GTK_SCALAR: return {CGraphData::MakeCode(PART_SCALAR)};
    default: return {};
    }
}

void CGraph::SetTables(const std::vector<QSID>& ids) {
    std::vector<CGraphData> tables;
    for (QSID id : ids) {
        bool dup = false;
        for (const auto& t : tables) dup = dup || t.GetID() == id;
        if (dup) continue;
        CGraphData d(id);
        bool kept = false;
        for (const auto& t : m_tables)
            if (t.GetID() == id) {
                d = t;
                kept = true;
                break;
            }
        if (!kept)
            for (long c : DefaultCodes(id)) d.AddCode(c);
        tables.push_back(d);
    }
    m_tables = std::move(tables);
    if (m_tables.size() > 1) m_forceComposite = false;
    Catalogue(true);
    Touch(true);
}

bool CGraph::CanForceComposite() const { return m_tables.size() == 1 && IsDataTriangular(); }

bool CGraph::SetCompositeMode(int mode, bool notify) {
    if (mode != 1 && mode != 2) return false;
    const bool on = mode == 1;
    if (on && !m_forceComposite && !CanForceComposite()) return false;
    if (on == m_forceComposite) return true;
    m_forceComposite = on;
    Catalogue(false);
    if (notify) Touch(true);
    else m_dirty = true;
    return true;
}

bool CGraph::IsLayerDependent() const {
    for (const auto& t : m_tables)
        if (GetIDLayer(t.GetID()) == 0) return true;
    return false;
}

void CGraph::SetStyleName(const std::string& name) {
    if (name == m_styleName) return;
    m_styleName = name;
    Touch(false);
}

std::string CGraph::CreateDisplayName(QSID tableId, int index) const {
    const IObjectOwner* p = GetOwner();
    const auto* m = p ? dynamic_cast<const CMethod*>(p->FindObject(tableId, GetIDLayer(tableId) ? 0 : m_viewLayer))
                      : nullptr;
    if (!m || index < 0 || index >= m->GetNumDataObjects()) return {};
    std::string name = m->GetColName(index);
    if (name.empty()) name = m->GetColHeader(index);
    if (name.empty()) name = "Column " + std::to_string(index + 1);
    return name;
}

bool CGraph::TableAvailable(int table) const {
    const IObjectOwner* p = GetOwner();
    if (!p || table < 0 || table >= GetNumTables()) return false;
    const QSID id = m_tables[table].GetID();
    return p->FindObject(id, GetIDLayer(id) ? 0 : m_viewLayer) != nullptr;
}

std::string CGraph::TableName(int table) const {
    if (table < 0 || table >= GetNumTables()) return {};
    const QSID id = m_tables[table].GetID();
    const IObjectOwner* p = GetOwner();
    std::string name;
    if (!p || p->GetLongNameFromID(id, name) != qsk::kOk || name.empty()) name = "Table " + std::to_string(id);
    if (const unsigned short l = GetIDLayer(id); l && p) {
        std::string ln;
        p->GetNameLayer(ln, l);
        name += " (" + ln + ")";
    }
    return name;
}

// ---------------------------------------------------------------- catalogue

void CGraph::ResolveTable(int table, std::vector<Element>& out) const {
    const IObjectOwner* p = GetOwner();
    if (!p) return;
    const CGraphData& td = m_tables[table];
    const QSID id = td.GetID();
    const unsigned short layer = GetIDLayer(id) ? GetIDLayer(id) : m_viewLayer;
    const CFormula* f = p->FindObject(id, layer);
    if (!f) return;
    const std::string base = TableName(table);
    for (long code : td.GetCodes()) {
        const int part = CGraphData::GetPartOfCode(code), index = CGraphData::GetIndexOfCode(code);
        Element e;
        e.table = table;
        e.code = code;
        e.name = base;
        bool ok = false;
        if (const auto* d = dynamic_cast<const CDataObject*>(f)) {
            if (part == PART_TRIANGLE || part == PART_ROW || part == PART_COLUMN) {
                GraphFillFromObject(*d, p, e);
                ok = true;
            }
        } else if (const auto* s = dynamic_cast<const CScalar*>(f)) {
            if (part == PART_SCALAR) {
                double v = 0;
                const bool has = s->GetValue(v) == qsk::kOk;
                GraphFillRow({{has, v}}, nullptr, e);
                e.colLabels = {f->GetIDShortName().empty() ? f->GetIDLongName() : f->GetIDShortName()};
                ok = true;
            }
        } else if (const auto* ex = dynamic_cast<const CExhibit*>(f)) {
            auto* x = const_cast<CExhibit*>(ex);  // the exhibit's getters hand out its own objects
            CDataObject* obj = nullptr;
            if (part == PART_EXHIBIT && x->GetFactorTriangle(obj) == qsk::kOk && obj) {
                GraphFillFromObject(*obj, p, e);
                QSStringArray labels;
                std::string cap;
                p->GetLabels(labels, LBL_EXHIBIT, cap, -1);
                for (std::size_t c = 0; c < e.colLabels.size() && c < labels.size(); ++c) e.colLabels[c] = labels[c];
                ok = true;
            } else if (part == PART_SDF && x->GetSDFObject(obj) == qsk::kOk && obj) {
                GraphFillFromObject(*obj, p, e);
                QSStringArray labels;
                std::string cap;
                p->GetLabels(labels, LBL_EXHIBIT, cap, -1);
                for (std::size_t c = 0; c < e.colLabels.size() && c < labels.size(); ++c) e.colLabels[c] = labels[c];
                e.name += " - Selected Development Factors";
                ok = true;
            } else if (part == PART_STATISTIC) {
                CStatistics* st = nullptr;
                unsigned short count = 0, cols = 0;
                if (x->GetStatistics(st) == qsk::kOk && st && st->GetNumStats(count) == 0 && index < count) {
                    st->GetMaxCols(cols);
                    std::vector<std::pair<bool, double>> cells(cols);
                    for (unsigned short c = 0; c < cols; ++c) {
                        char flag = 4;
                        double v = 0;
                        st->GetAt(static_cast<unsigned short>(index), 0, c, v, flag);
                        cells[c] = {flag == 0, v};
                    }
                    GraphFillRow(cells, p, e);
                    std::string sn;
                    st->GetStatName(static_cast<unsigned short>(index), sn, 0);
                    e.name += " - " + sn;
                    ok = true;
                }
            } else if (part == PART_CURVE) {
                CTailFactorAnalysis* crx = nullptr;
                if (x->GetCRXObject(crx) == qsk::kOk && crx && index >= 0 && index < 4 &&
                    crx->IsCurveFitted(index)) {
                    std::vector<std::pair<bool, double>> cells;
                    for (double v : crx->GetCurveRow(index)) cells.emplace_back(std::isfinite(v), v);
                    GraphFillRow(cells, p, e);
                    e.name += " - " + crx->GetCurveName(index, 0);
                    ok = true;
                }
            } else if (part == PART_SELHIST) {
                std::vector<CDataObject*> hist;
                if (x->GetSelHist(hist) == qsk::kOk && index >= 0 && index < static_cast<int>(hist.size()) &&
                    hist[index]) {
                    GraphFillFromObject(*hist[index], p, e);
                    QSStringArray labels;
                    std::string cap;
                    p->GetLabels(labels, LBL_EXHIBIT, cap, -1);
                    for (std::size_t c = 0; c < e.colLabels.size() && c < labels.size(); ++c)
                        e.colLabels[c] = labels[c];
                    e.name += " - Selection " + std::to_string(index + 1);
                    ok = true;
                }
            }
        } else if (const auto* m = dynamic_cast<const CMethod*>(f)) {
            if (part == PART_NAMEDROW) {
                if (const CDataObject* d = m->GetDataObject(index + 1)) {
                    GraphFillFromObject(*d, p, e);
                    e.name += " - " + CreateDisplayName(id, index);
                    ok = true;
                }
            }
        }
        // Development factor sets are the factor libraries' and draw nothing here.
        if (ok) out.push_back(std::move(e));
    }
}

void CGraph::Catalogue(bool rewire) {
    m_cataloguing = true;
    std::vector<Element> elements;
    for (int t = 0; t < GetNumTables(); ++t) ResolveTable(t, elements);
    m_elements = std::move(elements);
    if (rewire && m_live) {
        ClearSources();
        if (const IObjectOwner* p = GetOwner())
            for (const auto& t : m_tables) {
                const QSID id = t.GetID();
                if (CFormula* f = p->FindObject(id, GetIDLayer(id) ? 0 : m_viewLayer)) AddSource(f);
            }
    }
    if (m_seriesType == SERIES_NONE) m_seriesType = SERIES_ROWS;

    // Every series of every element for the orientation.
    auto triangleSeries = [&](const Element& e, int ei, std::vector<Series>& out, bool prefix) {
        const std::string pre = prefix ? e.name + ": " : std::string();
        if (m_seriesType == SERIES_ROWS) {
            for (int r = 0; r < e.rows; ++r) out.push_back({pre + e.rowLabels[r], ei, 1, r});
        } else if (m_seriesType == SERIES_COLUMNS) {
            for (int c = 0; c < e.cols; ++c) out.push_back({pre + e.colLabels[c], ei, 2, c});
        } else {
            int diagonals = 0;
            for (int len : e.rowLen) diagonals = std::max(diagonals, len);
            // Oldest evaluation first; index j counts back from each row's last cell.
            for (int k = 0; k < diagonals; ++k) {
                const int j = diagonals - 1 - k;
                out.push_back({pre + "Diagonal " + std::to_string(k + 1), ei, 3, j});
            }
        }
    };
    m_allSeries.clear();
    m_dataSeries.clear();
    m_choices.clear();
    const bool prefix = m_elements.size() > 1;
    if (!IsGraphMultiTables()) {
        for (int ei = 0; ei < static_cast<int>(m_elements.size()); ++ei) {
            const Element& e = m_elements[ei];
            if (e.triangle) triangleSeries(e, ei, m_allSeries, prefix);
            else m_allSeries.push_back({e.name, ei, 0, 0});
        }
        m_dataSeries = m_allSeries;
    } else {
        for (int ei = 0; ei < static_cast<int>(m_elements.size()); ++ei) {
            const Element& e = m_elements[ei];
            if (e.triangle && m_choices.empty()) {
                std::vector<Series> s;
                triangleSeries(e, ei, s, false);
                for (const auto& x : s) m_choices.push_back(x.name);
            }
        }
        if (m_series < 0 || m_series >= static_cast<long>(m_choices.size())) m_series = 0;
        for (int ei = 0; ei < static_cast<int>(m_elements.size()); ++ei) {
            const Element& e = m_elements[ei];
            if (!e.triangle) {
                m_dataSeries.push_back({e.name, ei, 0, 0});
                continue;
            }
            std::vector<Series> s;
            triangleSeries(e, ei, s, false);
            if (m_series < static_cast<long>(s.size())) {
                Series x = s[m_series];
                x.name = e.name;
                m_dataSeries.push_back(x);
            }
        }
    }
    // The point labels in order of first appearance.
    m_labels.clear();
    std::set<std::string> seen;
    const auto& all = IsGraphMultiTables() ? m_dataSeries : m_allSeries;
    for (const auto& s : all)
        for (const auto& [label, v] : SeriesPoints(s))
            if (seen.insert(label).second) m_labels.push_back(label);
    if (IsGraphMultiTables()) {
        // Every choice of a triangle contributes its labels, so the points stay put while choosing.
        for (const auto& e : m_elements)
            if (e.triangle) {
                const QSStringArray& l = m_seriesType == SERIES_ROWS ? e.colLabels : e.rowLabels;
                for (const auto& x : l)
                    if (seen.insert(x).second) m_labels.push_back(x);
            }
    }
    m_cataloguing = false;
}

std::vector<CGraph::Point> CGraph::SeriesPoints(const Series& s) const {
    std::vector<Point> pts;
    if (s.element < 0 || s.element >= static_cast<int>(m_elements.size())) return pts;
    const Element& e = m_elements[s.element];
    auto at = [&](int r, int c) -> const double* {
        const std::size_t i = static_cast<std::size_t>(r) * e.cols + c;
        return i < e.has.size() && e.has[i] ? &e.values[i] : nullptr;
    };
    switch (s.kind) {
    case 0:
        for (int c = 0; c < e.cols; ++c) pts.emplace_back(e.colLabels[c], at(0, c));
        break;
    case 1:
        if (s.index < e.rows)
            for (int c = 0; c < e.rowLen[s.index]; ++c) pts.emplace_back(e.colLabels[c], at(s.index, c));
        break;
    case 2:
        for (int r = 0; r < e.rows; ++r)
            if (s.index < e.rowLen[r]) pts.emplace_back(e.rowLabels[r], at(r, s.index));
        break;
    case 3:
        for (int r = 0; r < e.rows; ++r) {
            const int c = e.rowLen[r] - 1 - s.index;
            if (c >= 0) pts.emplace_back(e.rowLabels[r], at(r, c));
        }
        break;
    }
    return pts;
}

bool CGraph::IsSeriesHidden(const Series& s) const {
    return !IsGraphMultiTables() && m_hiddenSeries.count(s.name) != 0;
}

void CGraph::CatalogData() { Catalogue(true); }

void CGraph::RecatalogAndRefresh() {
    Catalogue(true);
    Fire(4);
    Fire(3);
}

int CGraph::GetNumDataRows() const {
    int n = 0;
    for (const auto& l : m_labels)
        if (IsLabelShown(l)) ++n;
    return n;
}

void CGraph::GetRowLabels(QSStringArray& labels) const {
    labels.clear();
    for (const auto& l : m_labels)
        if (IsLabelShown(l)) labels.push_back(l);
}

void CGraph::GetXAxisLabel(std::string& text, bool /*xy*/) const {
    text.clear();
    for (const auto& s : m_dataSeries) {
        const Element& e = m_elements[s.element];
        text = s.kind == 1 || s.kind == 0 ? e.colCaption : e.rowCaption;
        if (!text.empty()) return;
    }
}

std::string CGraph::GetSeriesName() const {
    if (IsGraphMultiTables())
        return m_series >= 0 && m_series < static_cast<long>(m_choices.size()) ? m_choices[m_series] : std::string();
    if (!IsDataTriangular()) return {};
    switch (m_seriesType) {
    case SERIES_COLUMNS: return "Columns";
    case SERIES_DIAGONALS: return "Diagonals";
    default: return "Rows";
    }
}

bool CGraph::GetCompositeMaxMin(int series, const QSStringArray& rowLabels, double& max, double& min) const {
    if (series < 0 || series >= GetNumDataColumns()) return false;
    const Series& s = m_dataSeries[series];
    std::vector<Series> candidates{s};
    if (IsGraphMultiTables() && s.kind != 0) {
        // Every choice, so the axis holds while the user steps through them.
        const Element& e = m_elements[s.element];
        const int n = s.kind == 1 ? e.rows : s.kind == 2 ? e.cols : static_cast<int>(m_choices.size());
        candidates.clear();
        for (int i = 0; i < n; ++i) candidates.push_back({s.name, s.element, s.kind, i});
    }
    const std::set<std::string> want(rowLabels.begin(), rowLabels.end());
    bool any = false;
    for (const auto& c : candidates)
        for (const auto& [label, v] : SeriesPoints(c)) {
            if (!v || !want.count(label)) continue;
            if (std::isnan(max) || *v > max) max = *v;
            if (std::isnan(min) || *v < min) min = *v;
            any = true;
        }
    return any;
}

bool CGraph::IsDataTriangular() const {
    for (const auto& e : m_elements)
        if (e.triangle) return true;
    return false;
}

// ---------------------------------------------------------------- selections

bool CGraph::SetSeriesType(SeriesTypeEnum type, bool notify) {
    if (type != SERIES_ROWS && type != SERIES_COLUMNS && type != SERIES_DIAGONALS) return false;
    if (type == m_seriesType) return true;
    m_seriesType = type;
    m_hiddenSeries.clear();
    m_hiddenLabels.clear();
    m_series = 0;
    Catalogue(false);
    if (notify) Touch(true);
    else m_dirty = true;
    return true;
}

bool CGraph::SetSeries(long series) {
    if (series < 0 || (IsGraphMultiTables() && series >= static_cast<long>(m_choices.size()))) return false;
    if (series == m_series) return true;
    m_series = series;
    Catalogue(false);
    m_dirty = true;
    return true;
}

void CGraph::SelectSeries(const std::string& name, bool on) {
    if (IsGraphMultiTables()) {
        for (std::size_t i = 0; i < m_choices.size(); ++i)
            if (m_choices[i] == name && on) {
                SetSeries(static_cast<long>(i));
                Touch(false);
            }
        return;
    }
    const bool changed = on ? m_hiddenSeries.erase(name) != 0 : m_hiddenSeries.insert(name).second;
    if (changed) Touch(false);
}

void CGraph::SelectLabel(const std::string& label, bool on) {
    const bool changed = on ? m_hiddenLabels.erase(label) != 0 : m_hiddenLabels.insert(label).second;
    if (changed) Touch(false);
}

void CGraph::SaveSelections() {
    m_saved.type = m_seriesType;
    m_saved.series = m_series;
    m_saved.hiddenSeries = m_hiddenSeries;
    m_saved.hiddenLabels = m_hiddenLabels;
    m_saved.saved = true;
}

void CGraph::RestoreSelections() {
    if (!m_saved.saved) return;
    m_seriesType = m_saved.type;
    m_series = m_saved.series;
    m_hiddenSeries = m_saved.hiddenSeries;
    m_hiddenLabels = m_saved.hiddenLabels;
    Catalogue(false);
}

bool CGraph::SetSeriesForPrinting(int index, bool last, int& seriesCount) {
    seriesCount = static_cast<int>(m_choices.size());
    if (!IsGraphMultiTables() || index < 0 || index >= seriesCount) return false;
    m_series = last ? seriesCount - 1 - index : index;
    Catalogue(false);
    return true;
}

bool CGraph::SetSeriesForPrinting(SeriesTypeEnum type, int count, bool last) {
    if (IsGraphMultiTables() || !IsDataTriangular() || count == 0) return false;
    if (type != SERIES_ROWS && type != SERIES_COLUMNS && type != SERIES_DIAGONALS) return false;
    if (count < 0) {
        if (m_seriesType != type) return false;
        count = -count;
    }
    m_seriesType = type;
    Catalogue(false);
    m_hiddenSeries.clear();
    m_hiddenLabels.clear();
    // The first (or last) count series of each triangle are shown.
    std::vector<std::vector<const Series*>> perElement(m_elements.size());
    for (const auto& s : m_allSeries)
        if (s.kind != 0) perElement[s.element].push_back(&s);
    bool any = false;
    for (auto& list : perElement) {
        const int n = static_cast<int>(list.size());
        for (int i = 0; i < n; ++i) {
            const bool shown = last ? i >= n - count : i < count;
            if (!shown) m_hiddenSeries.insert(list[i]->name);
            else any = true;
        }
    }
    return any;
}

void CGraph::SetAdjustYAxis(int on) {
    if ((on != 0) == m_adjustY) return;
    m_adjustY = on != 0;
    Touch(false);
}

// ---------------------------------------------------------------- state

bool CGraph::SaveToMaster(QSID id) {
    if (id == -1) {
        if (!m_master) return false;
        m_master->CopyDefinition(*this);
        m_master->Catalogue(false);
        m_dirty = false;
        m_saveAsNew = false;
        if (IObjectOwner* owner = GetOwner()) owner->SetModifiedFlag(true);
        return true;
    }
    // A table's graph is kept by an owner that keeps graphs.
    auto* p = dynamic_cast<IGraphOwner*>(GetOwner());
    if (!p || id <= 0) return false;
    const QSID table = DelGraphIDOf(id);
    if (IsGraphID(table) || !p->IDExists(table)) return false;
    CGraph* master = p->GetTableGraph(table);
    if (!master) {
        const QSID gid = GetGraphIDOf(GetLayerNeutralID(table));
        auto g = std::make_unique<CGraph>(gid);
        g->SetOwner(p);
        master = p->KeepTableGraph(gid, std::move(g));
    }
    master->CopyDefinition(*this);
    master->Catalogue(false);
    m_master = master;
    m_dirty = false;
    m_saveAsNew = false;
    p->SetModifiedFlag(true);
    return true;
}

bool CGraph::Lock() {
    if (m_cataloguing) return false;
    if (m_locks++ == 0) Fire(1);
    return true;
}

void CGraph::Unlock() {
    if (m_locks > 0 && --m_locks == 0) Fire(2);
}

void CGraph::SetEventReceiver(CGraphAttrEvent* receiver) {
    if (receiver && std::find(m_receivers.begin(), m_receivers.end(), receiver) == m_receivers.end())
        m_receivers.push_back(receiver);
}

void CGraph::RemoveEventReceiver(CGraphAttrEvent* receiver) {
    m_receivers.erase(std::remove(m_receivers.begin(), m_receivers.end(), receiver), m_receivers.end());
}

void CGraph::Fire(int event) {
    const std::vector<CGraphAttrEvent*> receivers = m_receivers;  // a receiver may leave while told
    for (CGraphAttrEvent* r : receivers) {
        if (std::find(m_receivers.begin(), m_receivers.end(), r) == m_receivers.end()) continue;
        switch (event) {
        case 1: r->OnGraphLocked(this); break;
        case 2: r->OnGraphUnlocked(this); break;
        case 3: r->OnGraphChanged(this); break;
        case 4: r->OnGraphCatalogued(this); break;
        case 5: r->OnGraphModified(this); break;
        }
    }
}

void CGraph::Touch(bool catalogued) {
    m_dirty = true;
    if (catalogued) Fire(4);
    Fire(3);
    Fire(5);
}

bool CGraph::Recalculate() {
    // A table changed: the same tables, new values.
    Catalogue(false);
    NotifyAll(XR_RELOAD, 0);
    Fire(3);
    return false;
}

// ---------------------------------------------------------------- storage

void CGraph::Write(KernelWriter& w) const {
    CFormula::Write(w);
    w.U16(m_viewLayer);
    w.Str(m_styleName);
    w.I32(m_seriesType);
    w.I32(static_cast<std::int32_t>(m_series));
    w.U8(static_cast<std::uint8_t>((m_forceComposite ? 1 : 0) | (m_adjustY ? 2 : 0)));
    m_data.Write(w);
    w.U32(static_cast<std::uint32_t>(m_tables.size()));
    for (const auto& t : m_tables) t.Write(w);
    GraphWriteStrings(w, m_hiddenSeries);
    GraphWriteStrings(w, m_hiddenLabels);
}

void CGraph::Read(KernelReader& r, int version) {
    CFormula::Read(r, version);
    const unsigned short layer = r.U16();
    std::string style = r.Str();
    const int type = r.I32();
    const long series = r.I32();
    const std::uint8_t flags = r.U8();
    CGraphData data;
    if (!data.Read(r)) return r.Fail();
    std::vector<CGraphData> tables(r.Count(12));
    for (auto& t : tables)
        if (!t.Read(r)) return r.Fail();
    std::set<std::string> hs, hl;
    if (!GraphReadStrings(r, hs) || !GraphReadStrings(r, hl)) return r.Fail();
    if (layer < 1 || layer > kLayerCount || type < SERIES_ROWS || type > SERIES_DIAGONALS || series < 0)
        return r.Fail();
    m_viewLayer = layer;
    m_styleName = std::move(style);
    m_seriesType = static_cast<SeriesTypeEnum>(type);
    m_series = series;
    m_forceComposite = flags & 1;
    m_adjustY = (flags & 2) != 0;
    m_data = data;
    m_tables = std::move(tables);
    m_hiddenSeries = std::move(hs);
    m_hiddenLabels = std::move(hl);
}

std::vector<std::uint8_t> CGraph::ToRecord() const {
    KernelWriter w;
    w.Raw(kGraphRecordMagic, 4);
    w.U32(kGraphRecordVersion);
    w.I32(GetIDNum());
    w.Str(GetIDLongName());
    w.Str(GetIDShortName());
    const std::size_t at = w.BeginBlob();
    Write(w);
    w.EndBlob(at);
    return w.Bytes();
}

int CGraph::FromRecord(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kGraphRecordMagic, 4) != 0) return 0;
    KernelReader r(bytes);
    char magic[4];
    r.Raw(magic, 4);
    const std::uint32_t version = r.U32();
    if (version < 1 || version > kGraphRecordVersion) return -1;
    const QSID id = r.I32();
    const std::string longName = r.Str(), shortName = r.Str();
    const std::vector<std::uint8_t> body = r.Blob();
    if (r.Failed() || r.Left() != 0) return -1;
    CGraph g(id);
    KernelReader br(body);
    g.Read(br, static_cast<int>(version));
    if (br.Failed() || br.Left() != 0) return -1;
    CopyDefinition(g);
    CFormula::operator=(g);
    SetIDNum(id);
    SetIDLongName(longName);  // an empty name is refused and stays empty
    SetIDShortName(shortName);
    return 1;
}

// ---------------------------------------------------------------- iterators

std::string CTableAdapter::GetName() const { return m_graph->TableName(m_table); }

long CTableAdapter::GetID() const {
    const CGraphData* d = m_graph->GetTableData(m_table);
    return d ? d->GetID() : 0;
}

std::string CTableAdapter::GetLayerName() const {
    const unsigned short l = GetIDLayer(static_cast<QSID>(GetID()));
    static const char* const names[] = {"Current", "Net", "Gross", "Ceded", "Direct", "Assumed"};
    return l <= kLayerCount ? names[l] : "Unknown";
}

std::string CSeriesTypeAdapter::GetName() const {
    switch (m_type) {
    case SERIES_ROWS: return "Rows";
    case SERIES_COLUMNS: return "Columns";
    case SERIES_DIAGONALS: return "Diagonals";
    default: return {};
    }
}

bool CSeriesTypeAdapter::Select(bool on) { return !on || m_graph->SetSeriesType(m_type, true); }

bool CSeriesAdapter::Select(bool on) {
    m_graph->SelectSeries(m_name, on);
    return true;
}

bool CSeriesAdapter::IsSelected() const {
    if (m_choice >= 0) return m_graph->GetSeries() == m_choice;
    for (const auto& s : m_graph->GetCataloguedSeries())
        if (s.name == m_name) return !m_graph->IsSeriesHidden(s);
    return false;
}

bool CLabelAdapter::Select(bool on) {
    m_graph->SelectLabel(m_label, on);
    return true;
}

CDataSeriesAdapter::CDataSeriesAdapter(CGraph* graph, const CGraph::Series& series)
    : m_graph(graph), m_name(series.name), m_hidden(graph->IsSeriesHidden(series)) {
    for (const auto& [label, v] : graph->SeriesPoints(series))
        if (v) m_points.emplace(label, *v);
}

bool CDataSeriesAdapter::GetNextPoint(double& value, const std::string& rowLabel) {
    auto it = m_points.find(rowLabel);
    if (it == m_points.end()) {
        value = 0.0;
        return true;
    }
    value = it->second;
    return false;
}

CTableIterator::CTableIterator(CGraph* graph) {
    for (int t = 0; graph && t < graph->GetNumTables(); ++t) m_items.push_back(std::make_unique<CTableAdapter>(graph, t));
}

CSeriesTypeIterator::CSeriesTypeIterator(CGraph* graph) {
    if (!graph || !graph->IsDataTriangular()) return;
    for (SeriesTypeEnum t : {SERIES_ROWS, SERIES_COLUMNS, SERIES_DIAGONALS})
        m_items.push_back(std::make_unique<CSeriesTypeAdapter>(graph, t));
}

CSeriesIteratorImpl::CSeriesIteratorImpl(CGraph* graph) {
    if (!graph) return;
    if (graph->IsGraphMultiTables()) {
        const QSStringArray& choices = graph->GetSeriesChoices();
        for (std::size_t i = 0; i < choices.size(); ++i)
            m_items.push_back(std::make_unique<CSeriesAdapter>(graph, choices[i], static_cast<int>(i)));
        return;
    }
    for (const auto& s : graph->GetCataloguedSeries()) m_items.push_back(std::make_unique<CSeriesAdapter>(graph, s.name, -1));
}

CLabelIterator::CLabelIterator(CGraph* graph) {
    if (!graph) return;
    for (const auto& l : graph->GetAllLabels()) m_items.push_back(std::make_unique<CLabelAdapter>(graph, l));
}

CDataSeriesIter::CDataSeriesIter(CGraph* graph) {
    if (!graph) return;
    for (const auto& s : graph->GetDataSeries()) m_items.push_back(std::make_unique<CDataSeriesAdapter>(graph, s));
}
