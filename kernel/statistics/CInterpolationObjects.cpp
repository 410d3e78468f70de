// CInterpolation over data objects: the curve arithmetic stays with the
// numbers (math/), the reading and writing of cells here.
#include <cmath>

#include "CDataObject.h"
#include "CInterpolation.h"
#include "ReservingMath.h"

namespace {

// Cells of a data object in row-major order, with their value bits.
void InterpCells(const CDataObject& d, std::vector<double>& values, std::vector<unsigned char>& flags) {
    std::uint16_t rows = 0, cols = 0;
    d.GetMaxRowsCols(rows, cols);
    values.clear();
    flags.clear();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            if (!d.LocationIsValid(r, c)) continue;
            double v = 0.0;
            std::uint8_t f = 0;
            d.GetAt(r, c, v, f);
            values.push_back(v);
            flags.push_back((f & CDataObject::CF_VALUE) ? qs::calc::kCellHasValue : qs::calc::kCellBlank);
        }
    }
}

}  // namespace

bool CInterpolation::SetInputParams(const CDataObject* currentPeriods, const CDataObject* input,
                                    const CDataObject* interpolatePeriods) {
    m_ready = false;
    m_wanted.clear();
    if (!currentPeriods || !input || !interpolatePeriods) return false;
    std::vector<double> ages, values, wanted;
    std::vector<unsigned char> ageFlags, valueFlags, wantedFlags;
    InterpCells(*currentPeriods, ages, ageFlags);
    InterpCells(*input, values, valueFlags);
    InterpCells(*interpolatePeriods, wanted, wantedFlags);
    if (ages.size() != values.size()) return false;
    for (size_t i = 0; i < ages.size(); ++i)
        if (!(ageFlags[i] & qs::calc::kCellHasValue)) valueFlags[i] = qs::calc::kCellBlank;
    for (size_t i = 0; i < wanted.size(); ++i)
        if (!(wantedFlags[i] & qs::calc::kCellHasValue)) wanted[i] = NAN;
    return SetInputParams(ages, values, valueFlags, wanted);
}

bool CInterpolation::Interpolate(ENUM_CURVE_TYPE curve, ENUM_PERIOD period, int periodLength, CDataObject*& result,
                                 int adjustment) const {
    result = nullptr;
    std::vector<double> values;
    std::vector<unsigned char> flags;
    if (!Interpolate(curve, period, periodLength, values, flags, adjustment)) return false;
    auto d = new CDataObject();
    d->SetShape(1, static_cast<std::uint16_t>(values.size()), CDataObject::VT_ROW);
    std::vector<std::uint8_t> f(flags.begin(), flags.end());
    d->SetAllCells(values, f, 0);
    // A value at an age outside the known ones is an extrapolation: its
    // cell says so.
    for (std::size_t j : AgesOutsideRange())
        if (j < values.size()) d->SetNoteInCell(0, static_cast<int>(j), OutsideRangeNote(j));
    d->SetInitialized(true);
    result = d;
    return true;
}
