#include "CDataObject.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "CellKey.h"
#include "KernelStream.h"
#include "ObjectOwner.h"

namespace {
constexpr std::size_t kDataCellNoticeLimit = 256;  // above this a window reloads instead
}  // namespace

IMPLEMENT_DYNAMIC(CDataObject, CFormula)

CDataObject::CDataObject(QSID id) : CFormula(id) {}

CDataObject::CDataObject(const CDataObject& o)
    : CFormula(o),
      m_rows(o.m_rows),
      m_cols(o.m_cols),
      m_vectorType(o.m_vectorType),
      m_interval(o.m_interval),
      m_rowLen(o.m_rowLen),
      m_values(o.m_values),
      m_flags(o.m_flags),
      m_notes(o.m_notes),
      m_customLabels(o.m_customLabels),
      m_rowLabels(o.m_rowLabels),
      m_colLabels(o.m_colLabels),
      m_corner(o.m_corner),
      m_cumulable(o.m_cumulable),
      m_viewCumulative(o.m_viewCumulative),
      m_developed(o.m_developed) {}

CDataObject& CDataObject::operator=(const CDataObject& o) {
    if (this == &o) return *this;
    CFormula::operator=(o);
    m_rows = o.m_rows;
    m_cols = o.m_cols;
    m_vectorType = o.m_vectorType;
    m_interval = o.m_interval;
    m_rowLen = o.m_rowLen;
    m_values = o.m_values;
    m_flags = o.m_flags;
    m_notes = o.m_notes;
    m_customLabels = o.m_customLabels;
    m_rowLabels = o.m_rowLabels;
    m_colLabels = o.m_colLabels;
    m_corner = o.m_corner;
    m_cumulable = o.m_cumulable;
    m_viewCumulative = o.m_viewCumulative;
    m_developed = o.m_developed;
    return *this;
}

std::unique_ptr<CFormula> CDataObject::Clone() const { return std::make_unique<CDataObject>(*this); }

QSSTATUS CDataObject::SetShape(std::uint16_t rows, std::uint16_t cols, int vectorType,
                               const std::vector<std::uint16_t>& rowLengths) {
    if (vectorType < VT_TRIANGLE || vectorType > VT_COLUMN) return qsk::kFail;
    if (!rowLengths.empty() && rowLengths.size() != rows) return qsk::kFail;
    for (std::uint16_t l : rowLengths)
        if (l > cols) return qsk::kFail;
    std::vector<double> values(static_cast<std::size_t>(rows) * cols, 0.0);
    std::vector<std::uint8_t> flags(values.size(), CF_BLANK);
    for (int r = 0; r < std::min<int>(rows, m_rows); ++r)
        for (int c = 0; c < std::min<int>(cols, m_cols); ++c) {
            const bool valid = rowLengths.empty() || c < rowLengths[r];
            if (!valid) continue;
            values[static_cast<std::size_t>(r) * cols + c] = m_values[Index(r, c)];
            flags[static_cast<std::size_t>(r) * cols + c] = m_flags[Index(r, c)];
        }
    m_rows = rows;
    m_cols = cols;
    m_vectorType = vectorType;
    m_rowLen = rowLengths;
    m_values.swap(values);
    m_flags.swap(flags);
    for (auto it = m_notes.begin(); it != m_notes.end();) {
        const CellKey cell = CellKey::FromPacked(it->first);
        it = LocationIsValid(cell.row, cell.col) ? std::next(it) : m_notes.erase(it);
    }
    m_initialized = true;
    return qsk::kOk;
}

QSSTATUS CDataObject::Resize(std::uint16_t rows, std::uint16_t cols) {
    std::vector<std::uint16_t> lens;
    if (!m_rowLen.empty()) {
        lens.assign(rows, cols);
        for (int r = 0; r < std::min<int>(rows, m_rows); ++r) lens[r] = std::min<std::uint16_t>(m_rowLen[r], cols);
    }
    const QSSTATUS s = SetShape(rows, cols, m_vectorType, lens);
    if (s == qsk::kOk) NotifyAll(XR_LAYOUT, 0);
    return s;
}

QSSTATUS CDataObject::GetMaxRowsCols(std::uint16_t& rows, std::uint16_t& cols) const {
    rows = m_rows;
    cols = m_cols;
    return qsk::kOk;
}

std::uint16_t CDataObject::RowLength(int row) const { return m_rowLen.empty() ? m_cols : m_rowLen[row]; }

QSSTATUS CDataObject::GetNumColsInRow(std::uint16_t row, std::uint16_t& cols) const {
    if (row >= m_rows) return qsk::kOutOfRange;
    cols = RowLength(row);
    return qsk::kOk;
}

QSSTATUS CDataObject::GetNumRowsInCol(std::uint16_t col, std::uint16_t& rows) const {
    if (col >= m_cols) return qsk::kOutOfRange;
    std::uint16_t n = 0;
    for (int r = 0; r < m_rows; ++r)
        if (col < RowLength(r)) ++n;
    rows = n;
    return qsk::kOk;
}

bool CDataObject::LocationIsValid(int row, int col) const {
    return row >= 0 && col >= 0 && row < m_rows && col < m_cols && col < RowLength(row);
}

QSSTATUS CDataObject::SetVectorType(int vectorType) {
    if (vectorType < VT_TRIANGLE || vectorType > VT_COLUMN) return qsk::kFail;
    m_vectorType = vectorType;
    return qsk::kOk;
}

QSSTATUS CDataObject::GetAt(int row, int col, double& value, std::uint8_t& flags) const {
    if (!LocationIsValid(row, col)) return qsk::kOutOfRange;
    const std::size_t i = Index(row, col);
    flags = m_flags[i];
    value = (flags & CF_VALUE) ? m_values[i] : 0.0;
    if (!m_viewCumulative && m_cumulable && col > 0 && (flags & CF_VALUE)) {
        // Incremental view: the difference with the previous column that holds a value.
        for (int c = col - 1; c >= 0; --c)
            if (m_flags[Index(row, c)] & CF_VALUE) {
                value -= m_values[Index(row, c)];
                break;
            }
    }
    return qsk::kOk;
}

QSSTATUS CDataObject::GetAt(int row, int col, double& value, char& flags) const {
    std::uint8_t f = 0;
    const QSSTATUS s = GetAt(row, col, value, f);
    flags = static_cast<char>(f);
    return s;
}

QSSTATUS CDataObject::SetAt(int row, int col, double value, int flag) {
    if (!LocationIsValid(row, col)) return qsk::kOutOfRange;
    if (IsReadOnly()) return qsk::kReadOnly;
    // A cell holding NaN or an infinity would show a number while every
    // calculation leaves it out: such a value is refused.
    if (!std::isfinite(value)) return qsk::kNotFinite;
    std::vector<std::uint32_t> changed;
    if (!m_viewCumulative && m_cumulable) {
        // The incremental value moves this cell and every later cell of the row.
        double current = 0.0;
        std::uint8_t f = 0;
        GetAt(row, col, current, f);
        const double delta = value - current;
        const std::size_t i = Index(row, col);
        // The stored (cumulative) values it gives must be finite too.
        if (!std::isfinite(delta)) return qsk::kNotFinite;
        for (int c = col; c < RowLength(row); ++c) {
            const std::size_t j = Index(row, c);
            if (j != i && !(m_flags[j] & CF_VALUE)) continue;
            double base = m_values[j];
            if (!(m_flags[i] & CF_VALUE)) {
                if (j == i) {
                    base = 0.0;
                    for (int p = col - 1; p >= 0; --p)
                        if (m_flags[Index(row, p)] & CF_VALUE) { base = m_values[Index(row, p)]; break; }
                }
                if (!std::isfinite(base + value)) return qsk::kNotFinite;
            } else if (!std::isfinite(base + delta)) {
                return qsk::kNotFinite;
            }
        }
        if (!(m_flags[i] & CF_VALUE)) {
            double prev = 0.0;
            for (int c = col - 1; c >= 0; --c)
                if (m_flags[Index(row, c)] & CF_VALUE) { prev = m_values[Index(row, c)]; break; }
            m_values[i] = prev + value;
            m_flags[i] = static_cast<std::uint8_t>((m_flags[i] & ~(CF_BLANK | CF_NOTAVAIL)) | CF_VALUE);
            changed.push_back(CellKey{row, col}.Packed());
            // The later cells keep their increments, so their cumulative
            // values grow by the new increment.
            if (value != 0.0)
                for (int c = col + 1; c < RowLength(row); ++c) {
                    const std::size_t j = Index(row, c);
                    if (!(m_flags[j] & CF_VALUE)) continue;
                    m_values[j] += value;
                    changed.push_back(CellKey{row, c}.Packed());
                }
        } else if (delta != 0.0) {
            for (int c = col; c < RowLength(row); ++c) {
                const std::size_t j = Index(row, c);
                if (!(m_flags[j] & CF_VALUE)) continue;
                m_values[j] += delta;
                changed.push_back(CellKey{row, c}.Packed());
            }
        }
    } else {
        const std::size_t i = Index(row, col);
        if ((m_flags[i] & CF_VALUE) && m_values[i] == value) return qsk::kOk;
        m_values[i] = value;
        m_flags[i] = static_cast<std::uint8_t>((m_flags[i] & ~(CF_BLANK | CF_NOTAVAIL)) | CF_VALUE);
        changed.push_back(CellKey{row, col}.Packed());
    }
    if (flag && !changed.empty()) CellsChanged(changed);
    return qsk::kOk;
}

QSSTATUS CDataObject::SetCellBlank(int row, int col, int flag) {
    if (!LocationIsValid(row, col)) return qsk::kOutOfRange;
    if (IsReadOnly()) return qsk::kReadOnly;
    const std::size_t i = Index(row, col);
    if (!(m_flags[i] & (CF_VALUE | CF_NOTAVAIL))) return qsk::kOk;
    m_values[i] = 0.0;
    m_flags[i] = static_cast<std::uint8_t>((m_flags[i] & ~(CF_VALUE | CF_NOTAVAIL)) | CF_BLANK);
    if (flag) CellsChanged({CellKey{row, col}.Packed()});
    return qsk::kOk;
}

QSSTATUS CDataObject::SetCellNotAvail(int row, int col) {
    if (!LocationIsValid(row, col)) return qsk::kOutOfRange;
    if (IsReadOnly()) return qsk::kReadOnly;
    const std::size_t i = Index(row, col);
    m_values[i] = 0.0;
    m_flags[i] = static_cast<std::uint8_t>((m_flags[i] & ~CF_VALUE) | CF_BLANK | CF_NOTAVAIL);
    CellsChanged({CellKey{row, col}.Packed()});
    return qsk::kOk;
}

bool CDataObject::IsCellAvail(int row, int col) const {
    return LocationIsValid(row, col) && !(m_flags[Index(row, col)] & CF_NOTAVAIL);
}

bool CDataObject::HasAnyValue() const {
    return std::any_of(m_flags.begin(), m_flags.end(), [](std::uint8_t f) { return f & CF_VALUE; });
}

bool CDataObject::Mark(int row, int col, std::uint8_t mark) const {
    return LocationIsValid(row, col) && (m_flags[Index(row, col)] & mark);
}

QSSTATUS CDataObject::SetMark(int row, int col, std::uint8_t mark, bool on) {
    if (!LocationIsValid(row, col)) return qsk::kOutOfRange;
    if (mark & (CF_VALUE | CF_BLANK | CF_NOTAVAIL)) return qsk::kFail;
    std::uint8_t& f = m_flags[Index(row, col)];
    const std::uint8_t nf = on ? static_cast<std::uint8_t>(f | mark) : static_cast<std::uint8_t>(f & ~mark);
    if (nf != f) {
        f = nf;
        NotifyAll(XR_CELL, CellKey{row, col}.Notice());
    }
    return qsk::kOk;
}

bool CDataObject::DoesCellHaveNote(int row, int col) const { return m_notes.count(CellKey{row, col}.Packed()) != 0; }

QSSTATUS CDataObject::GetNoteInCell(int row, int col, std::string& note) const {
    auto it = m_notes.find(CellKey{row, col}.Packed());
    if (it == m_notes.end()) return qsk::kFail;
    note = it->second;
    return qsk::kOk;
}

QSSTATUS CDataObject::SetNoteInCell(int row, int col, const std::string& note) {
    if (!LocationIsValid(row, col)) return qsk::kOutOfRange;
    if (note.empty()) return RemoveNoteInCell(row, col);
    m_notes[CellKey{row, col}.Packed()] = note;
    NotifyAll(XR_CELL, CellKey{row, col}.Notice());
    return qsk::kOk;
}

QSSTATUS CDataObject::RemoveNoteInCell(int row, int col) {
    if (!LocationIsValid(row, col)) return qsk::kOutOfRange;
    if (m_notes.erase(CellKey{row, col}.Packed())) NotifyAll(XR_CELL, CellKey{row, col}.Notice());
    return qsk::kOk;
}

QSSTATUS CDataObject::GetLabels(QSStringArray& rowLabels, QSStringArray& colLabels, std::string& corner) const {
    if (m_customLabels) {
        rowLabels = m_rowLabels;
        colLabels = m_colLabels;
        corner = m_corner;
        rowLabels.resize(m_rows);
        colLabels.resize(m_cols);
        return qsk::kOk;
    }
    if (m_pOwner) return m_pOwner->GetObjectLabels(*this, rowLabels, colLabels, corner);
    rowLabels.clear();
    colLabels.clear();
    for (int r = 0; r < m_rows; ++r) rowLabels.push_back(std::to_string(r + 1));
    for (int c = 0; c < m_cols; ++c) colLabels.push_back(std::to_string(c + 1));
    corner = GetIDLongName();
    return qsk::kOk;
}

void CDataObject::SetCustomLabels(const QSStringArray& rows, const QSStringArray& cols, const std::string& corner) {
    m_customLabels = true;
    m_rowLabels = rows;
    m_colLabels = cols;
    m_corner = corner;
    NotifyAll(XR_LAYOUT, 0);
}

void CDataObject::ClearCustomLabels() {
    m_customLabels = false;
    m_rowLabels.clear();
    m_colLabels.clear();
    m_corner.clear();
}

QSSTATUS CDataObject::ViewCumulative(int cumulative, QSSTATUS& status, int notify) {
    status = qsk::kOk;
    const bool want = cumulative != 0;
    if (!want && !m_cumulable) {
        status = qsk::kFail;
        return status;
    }
    if (want != m_viewCumulative) {
        m_viewCumulative = want;
        if (notify) NotifyAll(XR_RELOAD, 0);
    }
    return status;
}

QSSTATUS CDataObject::RemoveAll() {
    if (IsReadOnly()) return qsk::kReadOnly;
    std::vector<std::uint32_t> changed;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < RowLength(r); ++c) {
            std::uint8_t& f = m_flags[Index(r, c)];
            if (f & (CF_VALUE | CF_NOTAVAIL)) {
                f = static_cast<std::uint8_t>((f & ~(CF_VALUE | CF_NOTAVAIL)) | CF_BLANK);
                m_values[Index(r, c)] = 0.0;
                changed.push_back(CellKey{r, c}.Packed());
            }
        }
    if (!changed.empty()) CellsChanged(changed);
    return qsk::kOk;
}

QSSTATUS CDataObject::Cumulate() {
    if (IsReadOnly()) return qsk::kReadOnly;
    std::vector<std::uint32_t> changed;
    for (int r = 0; r < m_rows; ++r) {
        double sum = 0.0;
        for (int c = 0; c < RowLength(r); ++c) {
            const std::size_t i = Index(r, c);
            if (!(m_flags[i] & CF_VALUE)) continue;
            sum += m_values[i];
            if (sum != m_values[i]) {
                m_values[i] = sum;
                changed.push_back(CellKey{r, c}.Packed());
            }
        }
    }
    if (!changed.empty()) CellsChanged(changed);
    return qsk::kOk;
}

QSSTATUS CDataObject::Decumulate() {
    if (IsReadOnly()) return qsk::kReadOnly;
    std::vector<std::uint32_t> changed;
    for (int r = 0; r < m_rows; ++r) {
        double prev = 0.0;
        for (int c = 0; c < RowLength(r); ++c) {
            const std::size_t i = Index(r, c);
            if (!(m_flags[i] & CF_VALUE)) continue;
            const double v = m_values[i];
            if (prev != 0.0) {
                m_values[i] = v - prev;
                changed.push_back(CellKey{r, c}.Packed());
            }
            prev = v;
        }
    }
    if (!changed.empty()) CellsChanged(changed);
    return qsk::kOk;
}

QSSTATUS CDataObject::ZeroOutBlanks() {
    if (IsReadOnly()) return qsk::kReadOnly;
    std::vector<std::uint32_t> changed;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < RowLength(r); ++c) {
            std::uint8_t& f = m_flags[Index(r, c)];
            if (f & CF_VALUE) continue;
            f = static_cast<std::uint8_t>((f & ~(CF_BLANK | CF_NOTAVAIL)) | CF_VALUE);
            m_values[Index(r, c)] = 0.0;
            changed.push_back(CellKey{r, c}.Packed());
        }
    if (!changed.empty()) CellsChanged(changed);
    return qsk::kOk;
}

void CDataObject::Deinitialize() {
    // Dropping the shape too would leave an input array nobody can type
    // into again until the project's structure changes.
    std::vector<std::uint32_t> cleared;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < RowLength(r); ++c) {
            const std::size_t i = Index(r, c);
            if (m_flags[i] & (CF_VALUE | CF_NOTAVAIL)) cleared.push_back(CellKey{r, c}.Packed());
            m_values[i] = 0.0;
            m_flags[i] = CF_BLANK;
        }
    m_initialized = false;
    // Dependents of cells that held values follow.
    if (!cleared.empty()) {
        if (m_pOwner) m_pOwner->SetModifiedFlag(true);
        Changed(cleared);
    }
    NotifyAll(XR_LAYOUT, 0);
}

void CDataObject::SetLayerRelation(CDataObject* a, CDataObject* b, int sign) {
    ClearLayerRelation();
    m_relA = a;
    m_relB = b;
    m_relSign = sign >= 0 ? 1 : -1;
    AddSource(a);
    AddSource(b);
}

void CDataObject::ClearLayerRelation() {
    if (m_relA) RemoveSource(m_relA);
    if (m_relB) RemoveSource(m_relB);
    m_relA = m_relB = nullptr;
}

bool CDataObject::RelationCell(std::size_t i) {
    const CDataObject& a = *m_relA;
    const CDataObject& b = *m_relB;
    const std::uint8_t fa = a.m_flags[i], fb = b.m_flags[i];
    const bool has = (fa | fb) & CF_VALUE;
    const double v =
        has ? ((fa & CF_VALUE) ? a.m_values[i] : 0.0) + m_relSign * ((fb & CF_VALUE) ? b.m_values[i] : 0.0) : 0.0;
    const std::uint8_t marks = m_flags[i] & (CF_FFMIN | CF_ADJCUTOFF | CF_MARK);
    const std::uint8_t nf = static_cast<std::uint8_t>(marks | (has ? CF_VALUE : CF_BLANK));
    if (nf == m_flags[i] && v == m_values[i]) return false;
    m_flags[i] = nf;
    m_values[i] = v;
    return true;
}

bool CDataObject::RelationFits() const {
    return m_relA && m_relB && m_relA->m_rows == m_rows && m_relA->m_cols == m_cols && m_relB->m_rows == m_rows &&
           m_relB->m_cols == m_cols;
}

bool CDataObject::Recalculate() {
    if (!RelationFits()) return false;
    std::vector<std::uint32_t> changed;
    const std::size_t n = m_values.size();
    for (std::size_t i = 0; i < n; ++i)
        if (RelationCell(i)) changed.push_back(CellKey{static_cast<int>(i / m_cols), static_cast<int>(i % m_cols)}.Packed());
    NotifyCells(changed);
    return !changed.empty();
}

CFormula::Change CDataObject::RecalculateChanges() {
    if (!RelationFits()) return Change::None();
    const Change* a = SourceChange(m_relA);
    const Change* b = SourceChange(m_relB);
    std::vector<std::uint32_t> changed;
    if ((a && a->all) || (b && b->all)) {
        const std::size_t n = m_values.size();
        for (std::size_t i = 0; i < n; ++i)
            if (RelationCell(i)) changed.push_back(CellKey{static_cast<int>(i / m_cols), static_cast<int>(i % m_cols)}.Packed());
    } else {
        // Each cell is the sum or difference of the same cell of the two
        // sources: only the cells that changed there can change here.
        std::vector<std::uint32_t> cells;
        for (const Change* c : {a, b})
            if (c) cells.insert(cells.end(), c->cells.begin(), c->cells.end());
        std::sort(cells.begin(), cells.end());
        cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
        for (std::uint32_t k : cells) {
            const auto [r, c] = CellKey::FromPacked(k);
            if (r < m_rows && c < m_cols && RelationCell(Index(r, c))) changed.push_back(k);
        }
    }
    NotifyCells(changed);
    return Change::Cells(std::move(changed));
}

bool CDataObject::PutCell(int row, int col, double value, std::uint8_t flags) {
    const std::size_t i = Index(row, col);
    if (m_flags[i] == flags && m_values[i] == value) return false;
    m_values[i] = value;
    m_flags[i] = flags;
    return true;
}

QSSTATUS CDataObject::SetAllCells(const std::vector<double>& values, const std::vector<std::uint8_t>& flags,
                                  int notify) {
    if (values.size() != m_values.size() || flags.size() != m_flags.size()) return qsk::kFail;
    if (IsReadOnly()) return qsk::kReadOnly;
    for (std::size_t i = 0; i < values.size(); ++i)
        if ((flags[i] & CF_VALUE) && !std::isfinite(values[i])) return qsk::kNotFinite;
    m_values = values;
    m_flags = flags;
    for (int r = 0; r < m_rows; ++r)
        for (int c = RowLength(r); c < m_cols; ++c) {
            m_values[Index(r, c)] = 0.0;
            m_flags[Index(r, c)] = CF_BLANK;
        }
    if (notify) {
        NotifyAll(XR_RELOAD, 0);
        Changed();
    }
    return qsk::kOk;
}

void CDataObject::ReplaceCells(std::vector<double> values, std::vector<std::uint8_t> flags,
                               std::map<std::uint32_t, std::string> notes) {
    if (values.size() != m_values.size() || flags.size() != m_flags.size()) return;
    m_values = std::move(values);
    m_flags = std::move(flags);
    m_notes = std::move(notes);
    for (int r = 0; r < m_rows; ++r)
        for (int c = RowLength(r); c < m_cols; ++c) {
            m_values[Index(r, c)] = 0.0;
            m_flags[Index(r, c)] = CF_BLANK;
        }
    for (auto it = m_notes.begin(); it != m_notes.end();) {
        const CellKey cell = CellKey::FromPacked(it->first);
        it = LocationIsValid(cell.row, cell.col) ? std::next(it) : m_notes.erase(it);
    }
}

void CDataObject::CellsChanged(const std::vector<std::uint32_t>& cells) {
    // A written object holds data again.
    m_initialized = true;
    NotifyCells(cells);
    if (m_pOwner) m_pOwner->SetModifiedFlag(true);
    Changed(cells);
}

void CDataObject::NotifyCells(const std::vector<std::uint32_t>& cells) {
    if (cells.empty() || GetViewedCount() == 0) return;
    if (cells.size() > kDataCellNoticeLimit) {
        NotifyAll(XR_RELOAD, 0);
        return;
    }
    for (std::uint32_t k : cells) NotifyAll(XR_CELL, CellKey::FromPacked(k).Notice());
}

void CDataObject::Write(KernelWriter& w) const {
    CFormula::Write(w);
    w.U16(m_rows);
    w.U16(m_cols);
    w.U8(static_cast<std::uint8_t>(m_vectorType));
    w.I32(m_interval);
    w.U8(static_cast<std::uint8_t>((m_cumulable ? 1 : 0) | (m_viewCumulative ? 2 : 0) | (m_customLabels ? 4 : 0)));
    w.U32(static_cast<std::uint32_t>(m_rowLen.size()));
    for (std::uint16_t l : m_rowLen) w.U16(l);
    // Cells: the flag bytes, then the values of the cells that hold one.
    w.Raw(m_flags.data(), m_flags.size());
    std::size_t held = 0;
    for (std::uint8_t f : m_flags) held += f & CF_VALUE;
    std::uint8_t* out = w.Grow(held * sizeof(double));
    for (std::size_t i = 0; i < m_flags.size(); ++i)
        if (m_flags[i] & CF_VALUE) {
            std::memcpy(out, &m_values[i], sizeof(double));
            out += sizeof(double);
        }
    w.U32(static_cast<std::uint32_t>(m_notes.size()));
    for (const auto& [k, note] : m_notes) {
        w.U32(k);
        w.Str(note);
    }
    if (m_customLabels) {
        w.U32(static_cast<std::uint32_t>(m_rowLabels.size()));
        for (const auto& s : m_rowLabels) w.Str(s);
        w.U32(static_cast<std::uint32_t>(m_colLabels.size()));
        for (const auto& s : m_colLabels) w.Str(s);
        w.Str(m_corner);
    }
}

void CDataObject::Read(KernelReader& r, int version) {
    CFormula::Read(r, version);
    const std::uint16_t rows = r.U16(), cols = r.U16();
    const int vt = r.U8();
    m_interval = r.I32();
    const std::uint8_t f = r.U8();
    const std::uint32_t nLen = r.Count(2);
    if (r.Failed() || vt > VT_COLUMN || (nLen != 0 && nLen != rows)) { r.Fail(); return; }
    std::vector<std::uint16_t> lens(nLen);
    for (auto& l : lens) {
        l = r.U16();
        if (l > cols) r.Fail();
    }
    const std::size_t n = static_cast<std::size_t>(rows) * cols;
    if (r.Failed() || n > r.Left()) { r.Fail(); return; }
    m_rows = rows;
    m_cols = cols;
    m_vectorType = vt;
    m_rowLen = std::move(lens);
    m_flags.assign(n, 0);
    r.Raw(m_flags.data(), n);
    m_values.assign(n, 0.0);
    for (std::size_t i = 0; i < n && !r.Failed(); ++i)
        if (m_flags[i] & CF_VALUE) m_values[i] = r.F64();
    m_cumulable = f & 1;
    m_viewCumulative = f & 2;
    m_customLabels = f & 4;
    m_notes.clear();
    const std::uint32_t nNotes = r.Count(8);
    for (std::uint32_t i = 0; i < nNotes && !r.Failed(); ++i) {
        const std::uint32_t k = r.U32();
        m_notes[k] = r.Str();
    }
    if (m_customLabels) {
        m_rowLabels.assign(r.Count(4), {});
        for (auto& s : m_rowLabels) s = r.Str();
        m_colLabels.assign(r.Count(4), {});
        for (auto& s : m_colLabels) s = r.Str();
        m_corner = r.Str();
    }
}
