#pragma once
// What the project keeps for its summary reports and for the ultimates flood
// fill (docs/kernel/summary-reports.md): per summary report and layer, the
// tables it gathers, which derived columns it shows and the weights of its
// weighted average; per estimate kind and layer, the estimate the ultimates
// flood fill takes as the selected ultimate and the minimum it respects.
#include "CKDVUltWeightData.h"
#include "FloodFillOptions.h"
#include "KernelTypes.h"

struct QSSummaryRptOptions {
    QSIDArray selected;  // the gathered tables, layer-neutral ids, in report order
    int straightAverage = 1;
    int selectedUltimate = 1;
    int weightedAverage = 0;
    int displayWeights = 0;
    CKDVUltWeightDataInfo weights;
    bool operator==(const QSSummaryRptOptions& o) const {
        return selected == o.selected && straightAverage == o.straightAverage &&
               selectedUltimate == o.selectedUltimate && weightedAverage == o.weightedAverage &&
               displayWeights == o.displayWeights && weights == o.weights;
    }
};

struct QSUltFloodFillSetting {
    CKDVUltFloodFillData selected;  // empty: the kind takes no part in the fill
    QSID minimumId = 0;             // the input array whose latest values are the minimum
    int check = 0;                  // non-zero: respect the minimum
    bool operator==(const QSUltFloodFillSetting& o) const {
        return selected == o.selected && minimumId == o.minimumId && check == o.check;
    }
};
