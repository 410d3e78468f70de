#pragma once
// The summary reports a project holds (SummaryReports.h says what a report
// gathers): adding them, and the tables they may gather.
#include <string>

#include "KernelTypes.h"

class CProject;

namespace qssummary {

// Adds a summary report (system when user is false) with one instance per
// layer; id in: an index to use (0: the next free one), out: its id.
QSSTATUS AddSummaryReport(CProject& project, const std::string& name, const std::string& shortName, bool user,
                          QSID& id);
// Adds the five estimate-kind reports the project does not hold yet.
QSSTATUS AddStandardSummaryReports(CProject& project);
// The tables a summary report may gather: every method's ultimate, then the
// column input arrays other than the selected ultimates (layer-neutral ids).
QSIDArray AvailableTables(const CProject& project);

}  // namespace qssummary
