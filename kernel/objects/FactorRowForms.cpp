#include "FactorRowForms.h"

#include <cmath>

namespace qsk {
namespace {

bool HasValue(const CDataObject& row, int col) {
    return (row.RawFlags(0, col) & CDataObject::CF_VALUE) != 0 && std::isfinite(row.RawValue(0, col));
}

// The age-to-ultimate factor from col through the tail; false when a factor
// on the way is blank.
bool AgeToUltimate(const CDataObject& row, int col, double& product) {
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    const int last = cols - 1;
    product = (HasValue(row, last) && row.RawValue(0, last) != 0.0) ? row.RawValue(0, last) : 1.0;
    if (col == last) return HasValue(row, last);
    for (int k = last - 1; k >= col; --k) {
        if (!HasValue(row, k)) return false;
        product *= row.RawValue(0, k);
    }
    return std::isfinite(product);
}

bool ValidForm(int form) { return form == kAgeToAge || form == kAgeToUltimate || form == kRatioToUltimate; }

}  // namespace

QSSTATUS GetFactorInForm(const CDataObject& row, int form, int col, double& value, std::uint8_t& flags) {
    if (!ValidForm(form)) return kFail;
    if (form == kAgeToAge) return row.GetAt(0, col, value, flags);
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    if (rows != 1 || col < 0 || col >= cols) return kOutOfRange;
    double product = 0.0;
    value = 0.0;
    flags = CDataObject::CF_BLANK;
    if (!AgeToUltimate(row, col, product)) return kOk;
    if (form == kRatioToUltimate) {
        if (product == 0.0) return kOk;
        product = 1.0 / product;
    }
    value = product;
    flags = CDataObject::CF_VALUE;
    return kOk;
}

QSSTATUS SetFactorInForm(CDataObject& row, int form, int col, double value) {
    if (!ValidForm(form) || !std::isfinite(value)) return kFail;
    if (form == kAgeToAge) return row.SetAt(0, col, value, 1);
    std::uint16_t rows = 0, cols = 0;
    row.GetMaxRowsCols(rows, cols);
    if (rows != 1 || col < 0 || col >= cols) return kOutOfRange;
    double ultimate = value;
    if (form == kRatioToUltimate) {
        if (value == 0.0) return kFail;
        ultimate = 1.0 / value;
    }
    if (ultimate == 0.0 || !std::isfinite(ultimate)) return kFail;
    if (col == cols - 1) return row.SetAt(0, col, ultimate, 1);
    double later = 0.0;
    if (!AgeToUltimate(row, col + 1, later) || later == 0.0) return kFail;
    return row.SetAt(0, col, ultimate / later, 1);
}

}  // namespace qsk
