#include "CDataObjectUtil.h"

#include <cmath>
#include <vector>

namespace {

QSSTATUS ToSelectedFactors(CDataObject& row, bool ratio) {
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    if (rows != 1 || row.IsReadOnly()) return qsk::kFail;
    std::vector<double> cum(cols, NAN);
    for (int k = 0; k < cols; ++k) {
        const std::uint8_t f = row.RawFlags(0, k);
        const double v = row.RawValue(0, k);
        if (!(f & CDataObject::CF_VALUE) || (f & CDataObject::CF_NOTAVAIL) || !std::isfinite(v) || v <= 0) continue;
        cum[k] = ratio ? 1.0 / v : v;
    }
    std::vector<double> values(cols, 0.0);
    std::vector<std::uint8_t> flags(cols, CDataObject::CF_BLANK);
    for (int k = 0; k < cols; ++k) {
        const double x = k + 1 < cols ? cum[k] / cum[k + 1] : cum[k];
        if (std::isfinite(x) && x > 0) {
            values[k] = x;
            flags[k] = CDataObject::CF_VALUE;
        }
    }
    row.ReplaceCells(std::move(values), std::move(flags), row.GetNotes());
    return qsk::kOk;
}

}  // namespace

QSSTATUS CDataObjectUtil::AdjustResultForCumulative(CDataObject& result) { return ToSelectedFactors(result, false); }
QSSTATUS CDataObjectUtil::AdjustResultForRatioOfUltimate(CDataObject& result) { return ToSelectedFactors(result, true); }
