#include "CGraphData.h"

#include <algorithm>

#include "GraphOwner.h"
#include "KernelIds.h"
#include "KernelStream.h"

long CGraphData::MakeCode(PartCode part, int index, bool mark) {
    return (mark ? 1000000L : 0L) + static_cast<long>(part) * 1000L + std::clamp(index, 0, 999);
}

void CGraphData::AddCode(long code) {
    if (GetIndexForCode(code) < 0) m_codes.push_back(code);
}

int CGraphData::GetIndexForCode(long code) const {
    auto it = std::find(m_codes.begin(), m_codes.end(), code);
    return it == m_codes.end() ? -1 : static_cast<int>(it - m_codes.begin());
}

std::string CGraphData::GetStyleName(const IGraphOwner* project) const {
    const int kind = GetIDDOType(m_id), dt = GetIDDataType(m_id);
    int pos = CGraphDefaultStyles::ARRAYS;
    if ((kind == 3 || kind == 4) && dt == 1) pos = CGraphDefaultStyles::EXHIBITS;
    else if ((kind == 3 || kind == 4) && dt == 2) pos = CGraphDefaultStyles::METHODS;
    else if ((kind == 3 || kind == 4) && dt == 3) pos = CGraphDefaultStyles::REPORTS;
    else if ((kind == 1 || kind == 2) && (dt == 1 || dt == 7)) pos = CGraphDefaultStyles::SDFS;
    else if ((kind == 1 || kind == 2) && dt == 0) {
        const int index = GetIDIndex(m_id);
        const bool ultimate = kind == 1 && ((index >= qsk::kFirstSelectedUltimate &&
                                             index < qsk::kFirstSelectedUltimate + qsk::kUltimateCount) ||
                                            (index >= qsk::kFirstHistoricalUltimate &&
                                             index < qsk::kFirstHistoricalUltimate + qsk::kUltimateCount));
        if (ultimate) pos = CGraphDefaultStyles::ULTIMATES;
    }
    return project ? project->GetGraphDefaultStyles().GetStyle(pos) : CGraphDefaultStyles::DefaultName(pos);
}

bool CGraphData::operator==(const CGraphData& o) const {
    return m_id == o.m_id && m_codes == o.m_codes && m_name == o.m_name && m_footnote == o.m_footnote &&
           m_status == o.m_status && m_styleRecord == o.m_styleRecord;
}

void CGraphData::Write(KernelWriter& w) const {
    w.I32(m_id);
    w.Str(m_name);
    w.Str(m_footnote);
    w.I32(static_cast<std::int32_t>(m_status));
    w.I32(static_cast<std::int32_t>(m_styleRecord));
    w.U32(static_cast<std::uint32_t>(m_codes.size()));
    for (long c : m_codes) w.I32(static_cast<std::int32_t>(c));
}

bool CGraphData::Read(KernelReader& r) {
    CGraphData d;
    d.m_id = r.I32();
    d.m_name = r.Str();
    d.m_footnote = r.Str();
    d.m_status = r.I32();
    d.m_styleRecord = r.I32();
    const std::uint32_t n = r.Count(4);
    for (std::uint32_t i = 0; i < n && !r.Failed(); ++i) d.m_codes.push_back(r.I32());
    if (r.Failed()) return false;
    *this = std::move(d);
    return true;
}
