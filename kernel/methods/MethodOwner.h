#pragma once
// The owner of methods and reports: ExhibitOwner.h's owner with the options
// of its summary reports.
#include "ExhibitOwner.h"
#include "SummaryReportOptions.h"

class IMethodOwner : public IExhibitOwner {
public:
    // The options of the summary report id (with its layer); null when it has none.
    virtual const QSSummaryRptOptions* FindSummaryRptOptions(QSID idWithLayer) const = 0;
};
