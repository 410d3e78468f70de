#pragma once
// Conversions of interpolation results into the form the exhibits select
// in. An interpolation yields, at rising ages a_0 < ... < a_(m-1), either
// age-to-ultimate factors C_j or ratios to ultimate r_j (C_j = 1 / r_j). The
// exhibits select factors from each age to the next, so both become
//
//     F_j = C_j / C_(j+1)  for j < m - 1,      F_(m-1) = C_(m-1)  (the tail)
//
// whose products give the interpolated age-to-ultimate factors back: the same
// rule the interpolated flood fill writes its selections with
// (docs/kernel/flood-fills.md). A cell whose C, or whose neighbour's C, is
// missing, not finite or not positive becomes blank.
#include "CDataObject.h"

class CDataObjectUtil {
public:
    // Both work in place on a one-row object and fail (changing nothing)
    // for any other shape or a read-only object.
    static QSSTATUS AdjustResultForCumulative(CDataObject& result);
    static QSSTATUS AdjustResultForRatioOfUltimate(CDataObject& result);
};
