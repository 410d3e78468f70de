#include "FloodFillOptions.h"

#include <cmath>

#include "CArchive.h"
#include "CException.h"

IMPLEMENT_SERIAL(CFFCRXSetting, CObject, 1)
IMPLEMENT_SERIAL(CFFTailOption, CObject, 1)
IMPLEMENT_SERIAL(CFFStat, CObject, 1)
IMPLEMENT_SERIAL(CFFHistorical, CObject, 1)
IMPLEMENT_SERIAL(CFFDFL, CObject, 1)
IMPLEMENT_SERIAL(CKDVSDFFloodFillOption, CObject, 1)
IMPLEMENT_SERIAL(CInterpolateSDFFloodFillSelection, CObject, 1)
IMPLEMENT_SERIAL(CInterpolateSDFFloodFillOption, CObject, 1)
IMPLEMENT_SERIAL(CKDVUltFloodFillData, CObject, 1)

namespace {
// Loading refuses values no dialog could have stored, so a damaged project
// never carries them into a fill.
void FFCheck(bool ok, const char* what) {
    if (!ok) throw CArchiveException(CArchiveException::genericException, what);
}
double FFReadFinite(CArchive& ar, const char* what) {
    double v = 0;
    ar >> v;
    FFCheck(std::isfinite(v), what);
    return v;
}
int FFReadInt(CArchive& ar, int lo, int hi, const char* what) {
    std::int32_t v = 0;
    ar >> v;
    FFCheck(v >= lo && v <= hi, what);
    return v;
}
bool FFReadBool(CArchive& ar) {
    bool v = false;
    ar >> v;
    return v;
}
}  // namespace

bool CFFCRXSetting::operator==(const CFFCRXSetting& o) const {
    return m_cutoffIsVariable == o.m_cutoffIsVariable && m_cutoff == o.m_cutoff &&
           m_excludeFirst == o.m_excludeFirst && m_excludeLast == o.m_excludeLast && m_c == o.m_c;
}

void CFFCRXSetting::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_cutoffIsVariable << m_cutoff << static_cast<std::int32_t>(m_excludeFirst)
           << static_cast<std::int32_t>(m_excludeLast) << m_c;
        return;
    }
    CFFCRXSetting s;
    s.m_cutoffIsVariable = FFReadBool(ar);
    s.m_cutoff = FFReadFinite(ar, "tail cutoff");
    s.m_excludeFirst = FFReadInt(ar, 0, 1000, "tail exclude first");
    s.m_excludeLast = FFReadInt(ar, 0, 1000, "tail exclude last");
    s.m_c = FFReadFinite(ar, "tail c");
    *this = s;
}

bool CFFTailOption::operator==(const CFFTailOption& o) const {
    return m_type == o.m_type && m_showAllCurves == o.m_showAllCurves && m_fillMissing == o.m_fillMissing &&
           m_specified == o.m_specified && m_settings == o.m_settings;
}

void CFFTailOption::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_type) << m_showAllCurves << m_fillMissing << m_specified;
        m_settings.Serialize(ar);
        return;
    }
    CFFTailOption t;
    t.m_type = FFReadInt(ar, INVERSE_POWER, NONE, "tail type");
    t.m_showAllCurves = FFReadBool(ar);
    t.m_fillMissing = FFReadBool(ar);
    t.m_specified = FFReadFinite(ar, "tail value");
    t.m_settings.Serialize(ar);
    *this = t;
}

bool CFFStat::operator==(const CFFStat& o) const {
    return m_avgType == o.m_avgType && m_weighting == o.m_weighting && m_includeZeros == o.m_includeZeros &&
           m_excludeHighLow == o.m_excludeHighLow && m_excludeFirst == o.m_excludeFirst &&
           m_excludeLast == o.m_excludeLast && m_useLast == o.m_useLast && m_setMin == o.m_setMin &&
           m_minValue == o.m_minValue && m_tail == o.m_tail;
}

void CFFStat::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_avgType) << static_cast<std::int32_t>(m_weighting) << m_includeZeros
           << m_excludeHighLow << static_cast<std::int32_t>(m_excludeFirst) << static_cast<std::int32_t>(m_excludeLast)
           << static_cast<std::int32_t>(m_useLast) << m_setMin << m_minValue;
        m_tail.Serialize(ar);
        return;
    }
    CFFStat s;
    s.m_avgType = FFReadInt(ar, 0, 4, "statistic type");
    s.m_weighting = FFReadInt(ar, 0, 3, "statistic weighting");
    s.m_includeZeros = FFReadBool(ar);
    s.m_excludeHighLow = FFReadBool(ar);
    s.m_excludeFirst = FFReadInt(ar, 0, 1000, "exclude first");
    s.m_excludeLast = FFReadInt(ar, 0, 1000, "exclude last");
    s.m_useLast = FFReadInt(ar, 0, 1000, "use last");
    s.m_setMin = FFReadBool(ar);
    s.m_minValue = FFReadFinite(ar, "minimum");
    s.m_tail.Serialize(ar);
    *this = s;
}

void CFFStat::ToRecord(unsigned char b[8]) const {
    b[0] = 1;
    b[1] = static_cast<unsigned char>(m_avgType);
    b[2] = m_includeZeros ? 1 : 0;
    b[3] = m_excludeHighLow ? 1 : 0;
    b[4] = static_cast<unsigned char>(std::min(m_excludeFirst, 255));
    b[5] = static_cast<unsigned char>(std::min(m_excludeLast, 255));
    b[6] = static_cast<unsigned char>(std::min(m_useLast, 255));
    b[7] = static_cast<unsigned char>(m_weighting);
}

CFFStat CFFStat::FromRecord(const unsigned char* b, std::size_t count) {
    CFFStat s;
    if (!b || count < 8) return s;
    s.m_avgType = b[1];
    s.m_includeZeros = b[2] != 0;
    s.m_excludeHighLow = b[3] != 0;
    s.m_excludeFirst = b[4];
    s.m_excludeLast = b[5];
    s.m_useLast = b[6];
    s.m_weighting = b[7] <= 3 ? b[7] : 0;
    return s;
}

void CFFHistorical::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_number) << static_cast<std::int32_t>(m_fillLast);
        return;
    }
    CFFHistorical h;
    h.m_number = FFReadInt(ar, 1, 1000, "historical selection");
    h.m_fillLast = FFReadInt(ar, 0, 1, "fill last cells");
    *this = h;
}

void CFFDFL::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_library << m_description << m_factorSet;
        return;
    }
    CFFDFL d;
    d.m_library = ar.ReadStringValue();
    d.m_description = ar.ReadStringValue();
    d.m_factorSet = ar.ReadStringValue();
    *this = d;
}

bool CKDVSDFFloodFillOption::operator==(const CKDVSDFFloodFillOption& o) const {
    return m_type == o.m_type && m_stat == o.m_stat && m_hist == o.m_hist && m_dfl == o.m_dfl;
}

void CKDVSDFFloodFillOption::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_type);
        m_stat.Serialize(ar);
        m_hist.Serialize(ar);
        m_dfl.Serialize(ar);
        return;
    }
    CKDVSDFFloodFillOption o;
    o.m_type = FFReadInt(ar, STATISTICS, NONE, "flood fill type");
    o.m_stat.Serialize(ar);
    o.m_hist.Serialize(ar);
    o.m_dfl.Serialize(ar);
    *this = o;
}

void CInterpolateSDFFloodFillSelection::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_curve) << static_cast<std::int32_t>(m_input);
        return;
    }
    const int curve = FFReadInt(ar, CURVE_LINEAR, CURVE_INVERSE_POWER, "interpolation curve");
    const int input = FFReadInt(ar, INPUT_CUMULATIVE, INPUT_RATIO_TO_ULTIMATE, "interpolation input");
    m_curve = static_cast<ENUM_CURVE_TYPE>(curve);
    m_input = static_cast<ENUM_INPUT_TYPE>(input);
}

void CInterpolateSDFFloodFillOption::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_type);
        m_default1.Serialize(ar);
        m_default2.Serialize(ar);
        return;
    }
    CInterpolateSDFFloodFillOption o;
    o.m_type = FFReadInt(ar, INTERPOLATE, NONE, "interpolated fill type");
    o.m_default1.Serialize(ar);
    o.m_default2.Serialize(ar);
    *this = o;
}

void CKDVUltFloodFillData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<std::int32_t>(m_id) << static_cast<std::int32_t>(m_column)
           << static_cast<std::int32_t>(m_layer) << m_name;
        return;
    }
    CKDVUltFloodFillData d;
    std::int32_t id = 0;
    ar >> id;
    d.m_id = id;
    d.m_column = FFReadInt(ar, 0, 65535, "ultimate column");
    d.m_layer = FFReadInt(ar, 0, kLayerCount, "ultimate layer");
    d.m_name = ar.ReadStringValue();
    *this = d;
}
