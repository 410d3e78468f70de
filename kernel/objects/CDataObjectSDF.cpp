// Age-to-ultimate and ratio-to-ultimate forms of a row of selected factors,
// by the same rule the exhibits derive their rows with.
#include <cmath>

#include "CDataObject.h"
#include "ReservingMath.h"

namespace {
QSSTATUS DataObjectDeriveSDF(CDataObject& row, bool ratio) {
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    if (rows != 1 || row.IsReadOnly()) return qsk::kFail;
    std::vector<double> values(cols, 0.0), v(cols, 0.0), product(cols, 0.0);
    std::vector<std::uint8_t> flags(cols, CDataObject::CF_BLANK);
    std::vector<unsigned char> has(cols, 0), defined(cols, 0);
    for (int k = 0; k < cols; ++k) {
        v[k] = row.RawValue(0, k);
        has[k] = (row.RawFlags(0, k) & CDataObject::CF_VALUE) ? 1 : 0;
    }
    qs::calc::CumulateSelectedFactors(v.data(), has.data(), cols, product.data(), defined.data());
    for (int k = 0; k < cols; ++k) {
        if (!defined[k] || (ratio && product[k] == 0.0)) continue;
        values[k] = ratio ? 1.0 / product[k] : product[k];
        flags[k] = CDataObject::CF_VALUE;
    }
    row.ReplaceCells(std::move(values), std::move(flags), row.GetNotes());
    row.NotifyAll(XR_RELOAD, 0);
    return qsk::kOk;
}
}  // namespace

QSSTATUS CDataObject::CumulateSDF() { return DataObjectDeriveSDF(*this, false); }
QSSTATUS CDataObject::RatioSDF() { return DataObjectDeriveSDF(*this, true); }
