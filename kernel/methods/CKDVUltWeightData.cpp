#include "CKDVUltWeightData.h"

#include <cmath>

#include "CArchive.h"
#include "CException.h"
#include "KernelIds.h"

IMPLEMENT_SERIAL(CKDVUltWeightData, CObject, 1)
IMPLEMENT_SERIAL(CKDVUltWeightDataInfo, CObject, 1)

namespace {
void UltWeightCheck(bool ok, const char* what) {
    if (!ok) throw CArchiveException(CArchiveException::genericException, what);
}
bool UltWeightUsable(double w) { return std::isfinite(w) && w >= 0.0; }
}  // namespace

double CKDVUltWeightData::GetLatestData(int k) const {
    return k >= 0 && k < GetLatestCount() ? m_latest[static_cast<std::size_t>(k)] : 0.0;
}

bool CKDVUltWeightData::SetLatestData(int k, double w) {
    if (k < 0 || k >= CKDVUltWeightDataInfo::kMaxLatest) return false;
    if (k >= GetLatestCount()) m_latest.resize(static_cast<std::size_t>(k) + 1, m_allOther);
    m_latest[static_cast<std::size_t>(k)] = w;
    return true;
}

bool CKDVUltWeightData::IsValid() const {
    if (!UltWeightUsable(m_allOther)) return false;
    for (double w : m_latest)
        if (!UltWeightUsable(w)) return false;
    return true;
}

// Layout: I32 id, F64 all-other weight, U32 count, F64 each latest weight.
void CKDVUltWeightData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_id) << m_allOther << static_cast<std::uint32_t>(m_latest.size());
        for (double w : m_latest) ar << w;
        return;
    }
    std::int32_t id = 0;
    double all = 0;
    std::uint32_t n = 0;
    ar >> id >> all >> n;
    UltWeightCheck(UltWeightUsable(all), "ultimate weight");
    UltWeightCheck(n <= static_cast<std::uint32_t>(CKDVUltWeightDataInfo::kMaxLatest), "latest weight count");
    std::vector<double> latest(n);
    for (double& w : latest) {
        ar >> w;
        UltWeightCheck(UltWeightUsable(w), "latest weight");
    }
    m_id = id;
    m_allOther = all;
    m_latest = std::move(latest);
}

bool CKDVUltWeightDataInfo::GetColData(QSID id, CKDVUltWeightData& data) const {
    const QSID key = GetLayerNeutralID(id);
    for (const CKDVUltWeightData& d : m_cols)
        if (d.GetID() == key) {
            data = d;
            return true;
        }
    return false;
}

bool CKDVUltWeightDataInfo::SetColData(const CKDVUltWeightData& data) {
    const QSID key = GetLayerNeutralID(data.GetID());
    if (!key || !data.IsValid() || data.GetLatestCount() > kMaxLatest) return false;
    CKDVUltWeightData d = data;
    d.SetID(key);
    for (CKDVUltWeightData& old : m_cols)
        if (old.GetID() == key) {
            old = d;
            return true;
        }
    m_cols.push_back(d);
    return true;
}

bool CKDVUltWeightDataInfo::RemoveColData(QSID id) {
    const QSID key = GetLayerNeutralID(id);
    for (auto it = m_cols.begin(); it != m_cols.end(); ++it)
        if (it->GetID() == key) {
            m_cols.erase(it);
            return true;
        }
    return false;
}

double CKDVUltWeightDataInfo::WeightAt(QSID id, int row, int rows) const {
    CKDVUltWeightData d;
    if (!GetColData(id, d) || row < 0 || row >= rows) return 0.0;
    // Latest weight k belongs to row rows - N + k, so the newest row takes
    // the last weight even when the report has fewer rows than N.
    const int firstLatest = rows - m_numLatest;
    if (row < firstLatest) return d.GetAllOtherData();
    const int k = row - firstLatest;
    return k < d.GetLatestCount() ? d.GetLatestData(k) : d.GetAllOtherData();
}

// Layout: I32 number of latest periods, I32 layer, U32 count, then each entry.
void CKDVUltWeightDataInfo::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_numLatest) << static_cast<std::int32_t>(m_layer)
           << static_cast<std::uint32_t>(m_cols.size());
        for (CKDVUltWeightData& d : m_cols) d.Serialize(ar);
        return;
    }
    std::int32_t n = 0, layer = 0;
    std::uint32_t count = 0;
    ar >> n >> layer >> count;
    UltWeightCheck(n >= 0 && n <= kMaxLatest, "number of latest periods");
    UltWeightCheck(layer >= 0 && layer <= 5, "weight layer");
    UltWeightCheck(count <= 1000, "weighted table count");
    std::vector<CKDVUltWeightData> cols(count);
    for (CKDVUltWeightData& d : cols) d.Serialize(ar);
    m_numLatest = n;
    m_layer = layer;
    m_cols = std::move(cols);
}
