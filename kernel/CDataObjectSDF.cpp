// Age-to-ultimate and ratio-to-ultimate forms of a row of selected factors,
// by the same rule the exhibits derive their rows with.
#include <cmath>

#include "CDataObject.h"

namespace {
QSSTATUS DataObjectDeriveSDF(CDataObject& row, bool ratio) {
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    if (rows != 1 || row.IsReadOnly()) return qsk::kFail;
    std::vector<double> values(cols, 0.0);
    std::vector<std::uint8_t> flags(cols, CDataObject::CF_BLANK);
    double product = 1.0;
    for (int k = cols - 1; k >= 0; --k) {
        const std::uint8_t f = row.RawFlags(0, k);
        const double v = row.RawValue(0, k);
        const bool has = (f & CDataObject::CF_VALUE) && std::isfinite(v);
        if (k == cols - 1) product = (has && v != 0.0) ? v : 1.0;
        else if (has) product *= v;
        else break;
        if (!std::isfinite(product)) break;
        if (ratio && product == 0.0) continue;
        values[k] = ratio ? 1.0 / product : product;
        flags[k] = CDataObject::CF_VALUE;
    }
    row.ReplaceCells(std::move(values), std::move(flags), row.GetNotes());
    row.NotifyAll(XR_RELOAD, 0);
    return qsk::kOk;
}
}  // namespace

QSSTATUS CDataObject::CumulateSDF() { return DataObjectDeriveSDF(*this, false); }
QSSTATUS CDataObject::RatioSDF() { return DataObjectDeriveSDF(*this, true); }
