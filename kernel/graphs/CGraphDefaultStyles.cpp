#include "CGraphDefaultStyles.h"

namespace {
constexpr const char* kGraphDefaultStyleFiles[CGraphDefaultStyles::kCount] = {
    "DEF_ARR.RGS", "DEF_EXH.RGS", "DEF_MET.RGS", "DEF_REP.RGS", "DEF_COL.RGS", "DEF_SDF.RGS"};
}

const char* CGraphDefaultStyles::DefaultName(int kind) {
    return kind >= 0 && kind < kCount ? kGraphDefaultStyleFiles[kind] : "";
}

CGraphDefaultStyles::CGraphDefaultStyles() { Reset(); }

void CGraphDefaultStyles::Reset() {
    for (int i = 0; i < kCount; ++i) m_names[i] = kGraphDefaultStyleFiles[i];
}

std::string CGraphDefaultStyles::GetStyle(int kind) const {
    return kind >= 0 && kind < kCount ? m_names[kind] : std::string();
}

bool CGraphDefaultStyles::SetStyle(int kind, const std::string& name) {
    if (kind < 0 || kind >= kCount) return false;
    m_names[kind] = name;
    return true;
}
