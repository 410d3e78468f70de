#pragma once
// One interpolation row of the exhibits: its position among the rows, the
// curve fitted and the form of the factors it is fitted to.
#include "CInterpolationUtil.h"
#include "CObject.h"

class CInterpolateSelection : public CObject {
    DECLARE_SERIAL(CInterpolateSelection)

public:
    // The schema stored beside the class name where selections are framed as
    // objects (the project and the interpolation defaults file).
    static constexpr unsigned short kSchema = 1;

    CInterpolateSelection() = default;
    CInterpolateSelection(int order, ENUM_CURVE_TYPE curve, ENUM_INPUT_TYPE input)
        : m_order(order), m_curve(curve), m_input(input) {}

    int GetOrder() const { return m_order; }
    void SetOrder(int order) { m_order = order; }
    ENUM_CURVE_TYPE GetCurveType() const { return m_curve; }
    void SetCurveType(ENUM_CURVE_TYPE curve) { m_curve = curve; }
    ENUM_INPUT_TYPE GetInputType() const { return m_input; }
    void SetInputType(ENUM_INPUT_TYPE input) { m_input = input; }

    bool operator==(const CInterpolateSelection& o) const {
        return m_order == o.m_order && m_curve == o.m_curve && m_input == o.m_input;
    }

    // Order, curve code and input code as three 32-bit integers. A code that
    // is not a known curve or input loads as the default (Exponential,
    // Cumulative), so a damaged file cannot carry an unknown type further.
    void Serialize(CArchive& ar) override;

private:
    int m_order = 1;
    ENUM_CURVE_TYPE m_curve = CURVE_EXPONENTIAL;
    ENUM_INPUT_TYPE m_input = INPUT_CUMULATIVE;
};
