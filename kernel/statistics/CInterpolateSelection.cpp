#include "CInterpolateSelection.h"

#include "CArchive.h"

IMPLEMENT_SERIAL(CInterpolateSelection, CObject, CInterpolateSelection::kSchema)

void CInterpolateSelection::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << static_cast<int32_t>(m_order) << static_cast<int32_t>(m_curve) << static_cast<int32_t>(m_input);
        return;
    }
    int32_t order = 0, curve = 0, input = 0;
    ar >> order >> curve >> input;
    m_order = order;
    // Checked as integers first: a stored code outside the enumeration is
    // never made one.
    m_curve = curve >= CURVE_LINEAR && curve <= CURVE_INVERSE_POWER ? static_cast<ENUM_CURVE_TYPE>(curve)
                                                                     : CURVE_EXPONENTIAL;
    m_input = input >= INPUT_CUMULATIVE && input <= INPUT_RATIO_TO_ULTIMATE ? static_cast<ENUM_INPUT_TYPE>(input)
                                                                           : INPUT_CUMULATIVE;
}
