#include "CFactorSet.h"

#include <cmath>

#include "KernelIds.h"
#include "KernelStream.h"

namespace {
std::uint16_t ClampFactorSetCount(std::uint16_t n) {
    if (n < 1) return 1;
    return n > CFactorSet::kMaxDevPrds ? CFactorSet::kMaxDevPrds : n;
}
}  // namespace

CFactorSet::CFactorSet(const std::string& name, const std::string& description, std::uint16_t numDevPrds,
                       PRDLENGTH devPrdLength, std::uint16_t firstDevPrd)
    : m_name(name),
      m_description(description),
      m_numDevPrds(ClampFactorSetCount(numDevPrds)),
      m_devPrdLength(IsValidLength(devPrdLength) ? devPrdLength : PRD_YEAR),
      m_firstDevPrd(firstDevPrd < 1 ? 1 : firstDevPrd) {}

CFactorSet::CFactorSet(const CFactorSet& other) = default;
CFactorSet& CFactorSet::operator=(const CFactorSet& other) = default;

QSSTATUS CFactorSet::GetDevPrdLabels(QSStringArray& labels) const {
    labels.clear();
    for (int k = 0; k < m_numDevPrds; ++k) {
        if (k + 1 == m_numDevPrds)
            labels.push_back("Tail");
        else
            labels.push_back(std::to_string(m_firstDevPrd + k * static_cast<int>(m_devPrdLength)));
    }
    return qsk::kOk;
}

void CFactorSet::ShapeRow(CDataObject& row, std::uint16_t count) {
    row.SetShape(1, count, CDataObject::VT_ROW);
}

CDataObject CFactorSet::FitRow(const CDataObject& row, std::uint16_t count) {
    CDataObject out;
    ShapeRow(out, count);
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    if (rows == 0 || cols == 0 || count == 0) return out;
    auto copyCell = [&](int from, int to) {
        double v = 0;
        std::uint8_t f = 0;
        if (row.GetAt(0, from, v, f) == 0 && (f & CDataObject::CF_VALUE) && std::isfinite(v)) out.SetAt(0, to, v);
    };
    // Factors keep their column; the tail always lands in the last cell.
    const int body = std::min<int>(cols - 1, count - 1);
    for (int k = 0; k < body; ++k) copyCell(k, k);
    copyCell(cols - 1, count - 1);
    return out;
}

QSSTATUS CFactorSet::GetDF(const QSID& id, const std::string&, CDataObject*& row) {
    row = nullptr;
    auto it = m_rows.find(id);
    if (it == m_rows.end()) return qsk::kUnknownId;
    row = &it->second.values;
    return qsk::kOk;
}

const CDataObject* CFactorSet::FindDF(const QSID& id) const {
    auto it = m_rows.find(id);
    return it == m_rows.end() ? nullptr : &it->second.values;
}

QSSTATUS CFactorSet::SetDF(const QSID& id, const std::string& name, const CDataObject& row) {
    if (GetIDLayer(id) < 1 || GetIDLayer(id) > kLayerCount) return qsk::kBadLayer;
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    CDataObject copy;
    ShapeRow(copy, m_numDevPrds);
    // A row of the set's own width is copied cell for cell (the grid writes
    // such rows); any other row is fitted with its tail kept last.
    if (rows >= 1 && cols == m_numDevPrds) {
        for (int k = 0; k < cols; ++k) {
            double v = 0;
            std::uint8_t f = 0;
            if (row.GetAt(0, k, v, f) == 0 && (f & CDataObject::CF_VALUE) && std::isfinite(v)) copy.SetAt(0, k, v);
        }
    } else if (rows >= 1 && cols > 0) {
        copy = FitRow(row, m_numDevPrds);
    }
    Row& r = m_rows[id];
    r.name = name;
    r.values = std::move(copy);
    return qsk::kOk;
}

QSSTATUS CFactorSet::RemoveDF(const QSID& id, const std::string&) {
    return m_rows.erase(id) ? qsk::kOk : qsk::kUnknownId;
}

QSSTATUS CFactorSet::GetDFList(const std::uint16_t& layer, QSIDArray& ids, QSStringArray& names) const {
    ids.clear();
    names.clear();
    for (const auto& [id, row] : m_rows) {
        if (GetIDLayer(id) != layer) continue;
        ids.push_back(id);
        names.push_back(row.name);
    }
    return qsk::kOk;
}

void CFactorSet::ClearFactorSet() {
    for (auto& [id, row] : m_rows) {
        row.values = CDataObject();
        ShapeRow(row.values, m_numDevPrds);
    }
}

QSSTATUS CFactorSet::Redim(bool clear, const std::uint16_t& count, const PRDLENGTH& length, const std::uint16_t& first) {
    if (count < 1 || count > kMaxDevPrds || !IsValidLength(length) || first < 1) return qsk::kFail;
    for (auto& [id, row] : m_rows) {
        CDataObject out;
        ShapeRow(out, count);
        if (!clear) {
            for (int k = 0; k + 1 < count; ++k) {
                // The old column of the same age, if any (the tail excluded).
                const int age = first + k * static_cast<int>(length);
                const int delta = age - m_firstDevPrd;
                if (delta < 0 || delta % m_devPrdLength != 0) continue;
                const int old = delta / m_devPrdLength;
                if (old + 1 >= m_numDevPrds) continue;
                double v = 0;
                std::uint8_t f = 0;
                if (row.values.GetAt(0, old, v, f) == 0 && (f & CDataObject::CF_VALUE)) out.SetAt(0, k, v);
            }
            double v = 0;
            std::uint8_t f = 0;
            if (row.values.GetAt(0, m_numDevPrds - 1, v, f) == 0 && (f & CDataObject::CF_VALUE))
                out.SetAt(0, count - 1, v);
        }
        row.values = std::move(out);
    }
    m_numDevPrds = count;
    m_devPrdLength = length;
    m_firstDevPrd = first;
    return qsk::kOk;
}

QSSTATUS CFactorSet::AddNewEval() {
    if (m_numDevPrds >= kMaxDevPrds) return qsk::kFail;
    const std::uint16_t count = m_numDevPrds + 1;
    for (auto& [id, row] : m_rows) {
        CDataObject out;
        ShapeRow(out, count);
        for (int k = 0; k < m_numDevPrds; ++k) {
            double v = 0;
            std::uint8_t f = 0;
            if (row.values.GetAt(0, k, v, f) != 0 || !(f & CDataObject::CF_VALUE)) continue;
            out.SetAt(0, k + 1 == m_numDevPrds ? count - 1 : k, v);
        }
        row.values = std::move(out);
    }
    m_numDevPrds = count;
    return qsk::kOk;
}

bool CFactorSet::CanAdjustSize(std::uint16_t numDevPrds, PRDLENGTH length, std::uint16_t first, std::uint16_t,
                               int, int allowCountChange) const {
    if (length != m_devPrdLength || first != m_firstDevPrd || numDevPrds < 1) return false;
    return allowCountChange != 0 || numDevPrds == m_numDevPrds;
}

bool CFactorSet::CompareDFList(const CFactorSet& other) const {
    if (m_numDevPrds != other.m_numDevPrds || m_rows.size() != other.m_rows.size()) return false;
    auto a = m_rows.begin();
    auto b = other.m_rows.begin();
    for (; a != m_rows.end(); ++a, ++b) {
        if (a->first != b->first) return false;
        for (int k = 0; k < m_numDevPrds; ++k) {
            double va = 0, vb = 0;
            std::uint8_t fa = 0, fb = 0;
            a->second.values.GetAt(0, k, va, fa);
            b->second.values.GetAt(0, k, vb, fb);
            const bool ha = fa & CDataObject::CF_VALUE, hb = fb & CDataObject::CF_VALUE;
            if (ha != hb || (ha && va != vb)) return false;
        }
    }
    return true;
}

void CFactorSet::Write(KernelWriter& w) const {
    w.Str(m_name);
    w.Str(m_description);
    w.U16(m_numDevPrds);
    w.U16(m_devPrdLength);
    w.U16(m_firstDevPrd);
    w.U32(static_cast<std::uint32_t>(m_rows.size()));
    for (const auto& [id, row] : m_rows) {
        w.I32(id);
        w.Str(row.name);
        for (int k = 0; k < m_numDevPrds; ++k) {
            double v = 0;
            std::uint8_t f = 0;
            const bool has = row.values.GetAt(0, k, v, f) == 0 && (f & CDataObject::CF_VALUE) && std::isfinite(v);
            w.U8(has ? 1 : 0);
            w.F64(has ? v : 0.0);
        }
    }
}

bool CFactorSet::Read(KernelReader& r) {
    CFactorSet s;
    s.m_name = r.Str();
    s.m_description = r.Str();
    const std::uint16_t count = r.U16();
    const std::uint16_t length = r.U16();
    const std::uint16_t first = r.U16();
    const std::uint32_t rows = r.U32();
    if (r.Failed() || s.m_name.empty() || count < 1 || count > kMaxDevPrds || !IsValidLength(length) || first < 1)
        return false;
    // Each row takes at least its id, its name's count and 9 bytes per cell.
    if (rows > r.Left() / (8 + 9 * static_cast<std::size_t>(count))) return false;
    s.m_numDevPrds = count;
    s.m_devPrdLength = static_cast<PRDLENGTH>(length);
    s.m_firstDevPrd = first;
    for (std::uint32_t i = 0; i < rows; ++i) {
        const QSID id = r.I32();
        Row row;
        row.name = r.Str();
        ShapeRow(row.values, count);
        for (int k = 0; k < count; ++k) {
            const std::uint8_t has = r.U8();
            const double v = r.F64();
            if (has > 1 || (has && !std::isfinite(v))) return false;
            if (has) row.values.SetAt(0, k, v);
        }
        const unsigned short layer = GetIDLayer(id);
        if (r.Failed() || layer < 1 || layer > kLayerCount || s.m_rows.count(id)) return false;
        s.m_rows.emplace(id, std::move(row));
    }
    *this = std::move(s);
    return true;
}
