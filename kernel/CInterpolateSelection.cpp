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
    m_curve = CInterpolationUtil::GetCurveIndices(static_cast<ENUM_CURVE_TYPE>(curve)) >= 0
                  ? static_cast<ENUM_CURVE_TYPE>(curve)
                  : CURVE_EXPONENTIAL;
    m_input = CInterpolationUtil::GetInputIndices(static_cast<ENUM_INPUT_TYPE>(input)) >= 0
                  ? static_cast<ENUM_INPUT_TYPE>(input)
                  : INPUT_CUMULATIVE;
}
